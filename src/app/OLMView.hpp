#pragma once
// COLMView: the plot view.  It paints the document through the same canvas
// code as `olm plot` into a buffer that is kept until the document or the
// view state changes (so the rubber band and the coordinate read-out do not
// repaint the curves), and binds the view commands, the mouse operations
// and the context menu to the toolkit-free plot-view state.
//
// Every change of the document goes through COLMDoc: zoom, wheel zoom and
// panning change the plot limits as view changes (not undone, the document
// stays unmodified); a curve drag is one edit (BeginEdit .. EndEdit) with a
// live preview, so it is one undo step; the other commands are the
// document's typed operations.
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <array>

#include "app/OLMViewDialogs.hpp"
#include "document/Document.hpp"
#include "plot/CurveOperations.hpp"
#include "plot/PlotView.hpp"

class QAction;
class QActionGroup;
class QKeyEvent;
class QMenu;
class QMouseEvent;
class QPainter;
class QRubberBand;

namespace olm {

// A tool that takes over the view's mouse, keys, overlay painting and
// context menu while it is active (the drawing tools).  Each handler
// returns true when it used the event; the view then does nothing more.
class IViewToolHook {
 public:
  virtual ~IViewToolHook() = default;
  virtual bool MousePress(QMouseEvent* event) = 0;
  virtual bool MouseMove(QMouseEvent* event) = 0;
  virtual bool MouseRelease(QMouseEvent* event) = 0;
  virtual bool MouseDoubleClick(QMouseEvent* event) = 0;
  virtual bool KeyPress(QKeyEvent* event) = 0;
  // Paints over the plot picture (live outlines, selection handles).
  virtual void PaintOverlay(QPainter& painter) = 0;
  // Adds the tool's commands to the context menu built at a client point.
  virtual void ExtendContextMenu(QMenu& menu, QPoint p) = 0;
};

// The view commands the main window puts in its data toolbar and menus.
enum class ViewCommand {
  GraphLinear,
  GraphLogX,
  GraphLogY,
  GraphLogLog,
  ZoomIn,
  ZoomOut,
  PointCoordinates,
  MoveCurve,
  ShowXAxis,
  ShowYAxis,
  ToggleGraph,
  ResizePlots,
  CopyToClipboard,
  BestFitPlot,
};
inline constexpr int kViewCommandCount = static_cast<int>(ViewCommand::BestFitPlot) + 1;

class COLMView : public QWidget, public IDocObserver {
  Q_OBJECT

 public:
  explicit COLMView(COLMDoc& doc, QWidget* parent = nullptr);
  ~COLMView() override;

  COLMDoc& Document() { return m_doc; }
  // The view state: axis kind, plot kind, interaction mode.
  CPlotView& State() { return m_state; }
  // Device columns of the zone borders the plot marks while the zone dialog
  // shows a replicate (none otherwise).
  std::vector<int> ZoneBorderColumns() const;
  // The picture at a size (clipboard, export).
  QImage RenderImage(QSize size);
  // The action of a view command (owned by the view).
  QAction* Action(ViewCommand id) const { return m_actions[static_cast<size_t>(id)]; }

  // The commands, as the actions run them.
  void SetAxisKind(int kind);
  void ToggleZoomMode();
  void ZoomOut();
  void TogglePointMode();
  void ToggleMoveCurveMode();
  void ToggleXAxis();
  void ToggleYAxis();
  void ToggleGraphDisplay();
  void ResizePlots();
  void CopyToClipboard();
  void BestFitPlot();
  // "Delete Curve" at the last right-button point.
  void DeleteCurve();
  // Zooms by factor (above 1 zooms in) about a client point, and pans by a
  // client-pixel distance; both keep the saved full extent.
  void ZoomAbout(QPoint centre, double factor);
  void PanBy(QPoint delta);

  // The world point of a client point as the coordinate pane shows it.
  QString CoordinateText(QPoint p);
  // The curve-move dialog of the point-coordinates mode, while open.
  CCurveMoveDlg* CurveMoveDialog() const { return m_moveDialog; }
  // The context menu at a client point (built fresh each time).
  QMenu* CreateContextMenu(QPoint p);

  void DocumentChanged(unsigned changes) override;

  // The tool hook (not owned; null removes it).
  void SetToolHook(IViewToolHook* hook) { m_toolHook = hook; }
  // Lays the graph out for the widget's size; true when a plot is drawn, so
  // that client points map to world points.
  bool PreparePlot() {
    EnsureBuffer();
    return m_drewPlot;
  }

 signals:
  // The world point under the mouse, for the status bar's coordinate pane.
  void coordinatesChanged(const QString& text);
  // A one-line result for the status bar's message pane.
  void statusMessage(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void CreateActions();
  void UpdateActions();
  void Invalidate();
  // Renders the buffer when it is stale, so that the graph's layout matches
  // the widget before a mouse point is mapped.
  void EnsureBuffer();
  void RenderBuffer();
  // Paints the plot over image with messages collected, not shown.
  CPlotPaintResult RenderQuietly(QImage& image, const CPlotPaintOptions& options);
  bool HasPlot() const;
  void CancelDrag();
  void PaintDragBackground();
  void PaintZoneBorders(QPainter& painter);
  void SetPlotLimits(double xMin, double xMax, double yMin, double yMax);

  COLMDoc& m_doc;
  CPlotView m_state;
  std::array<QAction*, kViewCommandCount> m_actions{};
  QActionGroup* m_kindGroup = nullptr;
  QImage m_buffer;
  bool m_bufferValid = false;
  // While a curve is dragged: the plot without that curve, painted once at
  // the press; each step draws the curve alone over a copy.
  QImage m_dragBackground;
  bool m_drewPlot = false;
  QRubberBand* m_rubberBand = nullptr;
  QPoint m_zoomStart;
  bool m_zooming = false;
  bool m_panning = false;
  QPoint m_panLast;
  CCurveDrag m_drag;
  QPointer<CCurveMoveDlg> m_moveDialog;
  IViewToolHook* m_toolHook = nullptr;
};

}  // namespace olm
