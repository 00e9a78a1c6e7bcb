#pragma once
// What the tool dialogs (distribution analysis, MAT213 input data, failure
// surface) share: message boxes for the messages of engine code, long work
// on a worker thread with its messages collected and shown afterwards, the
// x-y chart they draw through the plot painter, and the result viewers.
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "numerics/UserInterface.hpp"
#include "plot/PlotCanvas.hpp"

class QDialog;
class QLineEdit;
class QImage;

namespace olm::app {

// A fatal message of engine code inside a tool: the tool stops what it was
// doing, the program goes on.
class CToolFatal : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Engine messages as message boxes over a dialog.
class CToolMessageBoxes : public IUserInterface {
 public:
  explicit CToolMessageBoxes(QWidget* parent) : m_parent(parent) {}
  void Show(MessageKind kind, std::string_view text) override;
  bool Ask(std::string_view text, QuestionKind kind, std::string_view title,
           bool* stopAsking) override;
  // Shows the message and throws CToolFatal.
  void Fatal(std::string_view text) override;
  void Terminate(int status) override;

 private:
  QWidget* m_parent;
};

// Installs CToolMessageBoxes for the lifetime of a dialog.
class CScopedToolMessages {
 public:
  explicit CScopedToolMessages(QWidget* parent) : m_boxes(parent), m_scope(m_boxes) {}

 private:
  CToolMessageBoxes m_boxes;
  CScopedUserInterface m_scope;
};

// Runs work on a worker thread while a progress dialog with Cancel (shown
// after a short delay) keeps the window responsive.  The engine's messages
// of the work are collected and shown afterwards, here on the user-interface
// thread.  Returns false when the user cancelled: the work is then left to
// finish on its own thread, its messages are dropped and the caller must
// discard its result.  An exception of the work is shown as an error
// message (true is returned: the work ended).
bool RunToolWork(QWidget* parent, const QString& label, const std::function<void()>& work);

// One curve of a tool chart.
struct CToolChartSeries {
  std::string name;
  std::vector<double> x, y;
  uint32_t colour = 0x000000;  // 0x00BBGGRR
  int penStyle = kPenSolid;
  int width = 2;
  int markerKind = 0;  // markers at the points (1..10), 0 none
  bool line = true;
};

struct CToolChart {
  std::string title, xTitle, yTitle;
  std::vector<CToolChartSeries> series;
  bool showLegend = true;
  // Shown in the frame when there is no series with points.
  std::string emptyText = "Need at least one set of values to plot.";
  // Window limits are rounded to single precision (as the graph stores them).
  bool singlePrecisionWindow = false;

  bool HasPoints() const;
};

// The colour of series k (a fixed, distinguishable palette).
uint32_t ToolChartColour(int k);

// Draws the chart into the rectangle: white background, grid, curves,
// frame, axes and titles, legend.
void PaintToolChart(IPlotCanvas& canvas, const CDeviceRect& rect, const CToolChart& chart);
QImage ToolChartImage(int width, int height, const CToolChart& chart);
// Writes the chart as PNG, SVG or PDF (by the extension) through a temporary
// file; false with *error set when it cannot.
bool ExportToolChart(const QString& path, int width, int height, const CToolChart& chart,
                     QString* error);

// A widget showing a tool chart.
class CToolChartView : public QWidget {
  Q_OBJECT
 public:
  explicit CToolChartView(QWidget* parent = nullptr);
  void SetChart(CToolChart chart);
  const CToolChart& Chart() const { return m_chart; }
  QSize sizeHint() const override { return {480, 360}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CToolChart m_chart;
};

// Opens a result file in the text viewer, as a window of its own kept above
// owner (a dialog) while the owner is open.
void ShowResultFile(QWidget* owner, const QString& path);
// Hands the owner's viewer windows to the owner's parent, so that they stay
// open after the owner (a dialog) closes.
void KeepResultViewers(QWidget* owner);

// Gives the dialog its remembered size and place (QSettings entry `entry`;
// a place off every screen is brought onto one) and remembers them again
// when it closes.  The tool dialogs keep theirs under "ToolDialogs/" key.
void RememberDialogGeometry(QDialog* dialog, const QString& entry);
void RememberToolGeometry(QDialog* dialog, const QString& key);

// A number as the dialogs show it ("%g").
QString ToolNumber(double value);
// Reads a number field: plain "C" locale numbers only.  False for anything else.
bool ReadToolNumber(const QString& text, double& value);
// Reads a dialog's number field; when it holds no number says "Please enter
// a number." and selects the field for the correction.
bool ReadToolField(QLineEdit* edit, double& value);

// A file dialog of Qt's own (the same on every desktop, and reachable by
// widget tests): an open or save dialog with the title, filter and default
// suffix, starting at startPath.  "" when cancelled.
QString AskToolFile(QWidget* parent, bool save, const QString& title, const QString& filter,
                    const QString& defaultSuffix = {}, const QString& startPath = {});

}  // namespace olm::app
