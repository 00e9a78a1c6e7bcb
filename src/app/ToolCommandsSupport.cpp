#include "app/ToolCommandsSupport.hpp"

#include <QFileDialog>
#include <QLineEdit>
#include <QFileInfo>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QSettings>
#include <algorithm>
#include <cmath>
#include <memory>

#include "app/TaskRunner.hpp"
#include "numerics/OutputFile.hpp"
#include "numerics/TextFields.hpp"
#include "plot/Graph.hpp"
#include "plot/PlotPainter.hpp"
#include "plot/PlotScene.hpp"
#include "ui/TextViewer.hpp"
#include "ui/UiText.hpp"

namespace olm::app {

using ui::ToQString;
using ui::ToStdString;

// --- Message boxes --------------------------------------------------------

void CToolMessageBoxes::Show(MessageKind kind, std::string_view text) {
  const QString caption = QStringLiteral("OLM");
  const QString message = ToQString(text).trimmed();
  if (kind == MessageKind::Error)
    QMessageBox::warning(m_parent, caption, message);
  else
    QMessageBox::information(m_parent, caption, message);
}

bool CToolMessageBoxes::Ask(std::string_view text, QuestionKind kind, std::string_view title,
                            bool* stopAsking) {
  if (stopAsking) *stopAsking = false;
  const QString caption = title.empty() ? QStringLiteral("OLM") : ToQString(title);
  const auto buttons = kind == QuestionKind::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                   : QMessageBox::Ok | QMessageBox::Cancel;
  const auto answer = QMessageBox::question(m_parent, caption, ToQString(text), buttons);
  return answer == QMessageBox::Yes || answer == QMessageBox::Ok;
}

void CToolMessageBoxes::Fatal(std::string_view text) {
  QMessageBox::critical(m_parent, QStringLiteral("OLM"), ToQString(text));
  throw CToolFatal(std::string(text));
}

void CToolMessageBoxes::Terminate(int status) {
  throw CToolFatal("The tool stopped with status " + std::to_string(status) + ".");
}

// --- Messages of worker threads --------------------------------------------

bool RunToolWork(QWidget* parent, const QString& label, const std::function<void()>& work) {
  CTaskOptions options;
  options.label = label;
  options.title = QObject::tr("Working");
  options.showAfterMs = 400;
  options.showMessages = false;  // only when the work was not cancelled
  options.busy = true;
  std::string failure;  // what an exception of the work said
  std::vector<CCollectedMessage> messages;
  const bool kept = RunWork(
      parent,
      [&](IProgress&) {
        try {
          work();
        } catch (const CCollectedFatal&) {
          // The message is among the collected ones.
        } catch (const std::exception& e) {
          failure = e.what();
        } catch (...) {
          failure = "Unknown error.";
        }
        return true;
      },
      options, &messages);
  // The engines cannot be interrupted: a cancelled run is waited for and
  // dropped with its messages.
  if (!kept) return false;
  for (const CCollectedMessage& m : messages) UserInterface().Show(m.kind, m.text);
  if (!failure.empty()) ShowMessage(failure, MessageKind::Error);
  return true;
}

// --- Charts -----------------------------------------------------------------

bool CToolChart::HasPoints() const {
  return std::any_of(series.begin(), series.end(),
                     [](const CToolChartSeries& s) { return !s.x.empty() && !s.y.empty(); });
}

uint32_t ToolChartColour(int k) {
  // Blue, red, green, orange, purple, brown, teal, magenta (0x00BBGGRR).
  static const uint32_t colours[] = {0xB4771F, 0x2827D6, 0x2CA02C, 0x0E7FFF,
                                     0xBD6794, 0x4B568C, 0xCFBE17, 0xC277E3};
  return colours[static_cast<size_t>(k) % (sizeof colours / sizeof colours[0])];
}

void PaintToolChart(IPlotCanvas& canvas, const CDeviceRect& rect, const CToolChart& chart) {
  CLinear<double> graph;
  CGraphAppearance& a = graph.Appearance();
  a.title = chart.title;
  a.xTitle = chart.xTitle;
  a.yTitle = chart.yTitle;
  a.titleFont = {"Arial", 17, 700};
  a.axisTitleFont = {"Arial", 14, 700};
  a.yTitleFont = {"Arial", 14, 700};
  a.numberFont = {"Arial", 12, 400};
  a.legendFont = {"Arial", 12, 400};
  canvas.SetAntialiasing(false);
  graph.DrawBackground(canvas, rect);
  if (!chart.HasPoints()) {
    canvas.Text((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2, chart.emptyText,
                a.numberFont, 0x000000, kAlignHCenter | kAlignVCenter);
    return;
  }

  double xMin = HUGE_VAL, xMax = -HUGE_VAL, yMin = HUGE_VAL, yMax = -HUGE_VAL;
  for (const CToolChartSeries& s : chart.series) {
    const size_t n = std::min(s.x.size(), s.y.size());
    for (size_t i = 0; i < n; ++i) {
      if (!std::isfinite(s.x[i]) || !std::isfinite(s.y[i])) continue;
      xMin = std::min(xMin, s.x[i]);
      xMax = std::max(xMax, s.x[i]);
      yMin = std::min(yMin, s.y[i]);
      yMax = std::max(yMax, s.y[i]);
    }
  }
  if (!(xMin <= xMax && yMin <= yMax)) {
    canvas.Text((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2, chart.emptyText,
                a.numberFont, 0x000000, kAlignHCenter | kAlignVCenter);
    return;
  }
  if (chart.singlePrecisionWindow) {
    xMin = static_cast<float>(xMin), xMax = static_cast<float>(xMax);
    yMin = static_cast<float>(yMin), yMax = static_cast<float>(yMax);
  }
  graph.SetWorldWindow(xMin, yMin, xMax, yMax);
  graph.SetPlacement(0.01, 0.01, 0.99, 0.99);
  graph.showLegend = chart.showLegend;
  for (const CToolChartSeries& s : chart.series)
    graph.legend.push_back(
        {s.name, {s.line ? s.penStyle : kPenSolid, s.width, s.colour}, s.markerKind});
  graph.SetAxisFormats("%.4g", "%.4g");
  const CGraphFontMeasures measures = MeasureGraphFonts(canvas, graph);
  graph.Layout(rect, measures);
  // Room on the left for the widest y number and the y-axis title, which
  // the frame's fixed margin of nine characters does not always give.
  int widest = 0;
  for (const CAxisLabel& l : graph.YAxisMarks().labels)
    widest = std::max(widest, canvas.TextWidth(l.text, a.numberFont));
  const int titleHeight = chart.yTitle.empty() ? 0 : canvas.Metrics(a.yTitleFont).LineHeight();
  const int needed = widest + graph.MajorTickLength() + measures.charWidth + titleHeight * 3 / 2;
  const int extra = needed - (graph.Frame().left - rect.left);
  if (extra > 0 && rect.Width() > 0) {
    graph.SetPlacement(0.01 + static_cast<double>(extra) / rect.Width(), 0.01, 0.99, 0.99);
    graph.Layout(rect, measures);
  }

  graph.DrawGrid(canvas);
  std::vector<CDevicePoint> points;
  for (const CToolChartSeries& s : chart.series) {
    const size_t n = std::min(s.x.size(), s.y.size());
    if (n == 0) continue;
    const CCurveView curve{s.x.data(), s.y.data(), 1, n};
    canvas.SetPen({s.penStyle, s.width, s.colour});
    canvas.SetBrush(false);
    if (s.line) {
      points.clear();
      graph.AppendPolyline(curve, s.penStyle == kPenSolid, points);
      if (points.size() > 1) canvas.Polyline(points.data(), points.size());
    }
    if (s.markerKind > 0) {
      canvas.SetPen({kPenSolid, 1, s.colour});
      points.clear();
      graph.AppendMarkerPoints(curve, points);
      for (const CDevicePoint& p : points) DrawMarker(canvas, p, s.markerKind, 7, s.colour);
    }
  }
  graph.DrawFrame(canvas);
  graph.DrawXAxis(canvas);
  graph.DrawYAxis(canvas);
  graph.DrawZeroLines(canvas, true, true);
  graph.DrawLegend(canvas);
}

QImage ToolChartImage(int width, int height, const CToolChart& chart) {
  QImage image(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  CQtPlotCanvas canvas(painter);
  PaintToolChart(canvas, {0, 0, image.width(), image.height()}, chart);
  painter.end();
  return image;
}

bool ExportToolChart(const QString& path, int width, int height, const CToolChart& chart,
                     QString* error) {
  const PlotFileFormat format = PlotFileFormatOf(ToStdString(path));
  const auto fail = [&](const QString& why) {
    if (error) *error = why;
    return false;
  };
  if (format == PlotFileFormat::kUnknown)
    return fail(QObject::tr("Unknown picture type \"%1\": use .png, .svg or .pdf.")
                    .arg(QFileInfo(path).suffix().toLower()));
  QByteArray bytes;
  if (!RenderPicture(
          format, width, height, ToQString(chart.title),
          [&](QPainter& painter, const QRect& rect) {
            CQtPlotCanvas canvas(painter);
            PaintToolChart(canvas, {rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1},
                           chart);
          },
          bytes))
    return fail(QObject::tr("Cannot write %1.").arg(path));
  std::string why;
  if (!WriteTextFile(ToStdString(path),
                     std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), {},
                     &why))
    return fail(ToQString(why));
  return true;
}

CToolChartView::CToolChartView(QWidget* parent) : QWidget(parent) {
  setMinimumSize(240, 180);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CToolChartView::SetChart(CToolChart chart) {
  m_chart = std::move(chart);
  update();
}

void CToolChartView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  CQtPlotCanvas canvas(painter);
  PaintToolChart(canvas, {0, 0, width(), height()}, m_chart);
}

// --- Result viewers ------------------------------------------------------------

void ShowResultFile(QWidget* owner, const QString& path) {
  ui::CTextViewer::ShowFile(path, owner);
}

void KeepResultViewers(QWidget* owner) {
  if (!owner) return;
  QWidget* heir = owner->parentWidget();
  const auto viewers = owner->findChildren<ui::CTextViewer*>(Qt::FindDirectChildrenOnly);
  for (ui::CTextViewer* viewer : viewers) {
    const bool visible = viewer->isVisible();
    viewer->setParent(heir, Qt::Window);
    if (visible) viewer->show();
  }
}

void RememberToolGeometry(QDialog* dialog, const QString& key) {
  RememberDialogGeometry(dialog, QStringLiteral("ToolDialogs/") + key);
}

void RememberDialogGeometry(QDialog* dialog, const QString& entry) {
  const QByteArray saved = QSettings().value(entry).toByteArray();
  if (!saved.isEmpty()) dialog->restoreGeometry(saved);
  QObject::connect(dialog, &QDialog::finished, dialog,
                   [dialog, entry] { QSettings().setValue(entry, dialog->saveGeometry()); });
}

QString ToolNumber(double value) {
  return ui::NumberText(value, "%g");
}

bool ReadToolNumber(const QString& text, double& value) {
  return ParseFiniteNumber(ToStdString(text.trimmed()), value);
}

bool ReadToolField(QLineEdit* edit, double& value) {
  if (ReadToolNumber(edit->text(), value)) return true;
  ShowMessage("Please enter a number.", MessageKind::Information);
  edit->setFocus();
  edit->selectAll();
  return false;
}

QString AskToolFile(QWidget* parent, bool save, const QString& title, const QString& filter,
                    const QString& defaultSuffix, const QString& startPath) {
  QFileDialog dialog(parent, title, startPath, filter);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!defaultSuffix.isEmpty()) dialog.setDefaultSuffix(defaultSuffix);
  if (!startPath.isEmpty() && !QFileInfo(startPath).isDir()) dialog.selectFile(startPath);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

}  // namespace olm::app
