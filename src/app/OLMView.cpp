#include "app/OLMView.hpp"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <new>

#include "app/DataDialogs.hpp"
#include "app/OLMViewDialogs.hpp"
#include "plot/PlotPainter.hpp"
#include "ui/UiText.hpp"

namespace olm {

namespace {

CDevicePoint ToDevice(QPoint p) {
  return {p.x(), p.y()};
}

// One wheel notch zooms by this factor.
constexpr double kWheelZoom = 1.25;

}  // namespace

COLMView::COLMView(COLMDoc& doc, QWidget* parent) : QWidget(parent), m_doc(doc) {
  setAccessibleName(tr("Plot"));
  setMinimumSize(50, 50);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  m_rubberBand = new QRubberBand(QRubberBand::Rectangle, this);
  CreateActions();
  m_doc.AddObserver(this);
  UpdateActions();
}

COLMView::~COLMView() {
  if (m_drag.IsDragging()) CancelDrag();
  m_doc.RemoveObserver(this);
}

void COLMView::CreateActions() {
  struct Spec {
    ViewCommand id;
    const char* text;
    bool checkable;
  };
  static const Spec kSpecs[] = {
      {ViewCommand::GraphLinear, "Graph: Linear", true},
      {ViewCommand::GraphLogX, "Graph: Log X - Linear Y", true},
      {ViewCommand::GraphLogY, "Graph: Linear X - Log Y", true},
      {ViewCommand::GraphLogLog, "Graph: Log X - Log Y", true},
      {ViewCommand::ZoomIn, "Zoom in", true},
      {ViewCommand::ZoomOut, "Zoom out", false},
      {ViewCommand::PointCoordinates, "Get point coordinates", true},
      {ViewCommand::MoveCurve, "Move curve (Raw data)", true},
      {ViewCommand::ShowXAxis, "Show X-axis", true},
      {ViewCommand::ShowYAxis, "Show Y-axis", true},
      {ViewCommand::ToggleGraph, "Toggle graph display", false},
      {ViewCommand::ResizePlots, "Resize the plots", false},
      {ViewCommand::CopyToClipboard, "Copy to clipboard", false},
      {ViewCommand::BestFitPlot, "Best fit plot", false},
  };
  m_kindGroup = new QActionGroup(this);
  for (const Spec& spec : kSpecs) {
    const QString text = QString::fromLatin1(spec.text);
    auto* action = new QAction(text, this);
    action->setToolTip(text);
    action->setStatusTip(text);
    action->setCheckable(spec.checkable);
    m_actions[static_cast<size_t>(spec.id)] = action;
    addAction(action);
  }
  const auto at = [this](ViewCommand id) { return Action(id); };
  for (int kind = 0; kind < CGraph::kAxisKinds; ++kind) {
    QAction* action = at(static_cast<ViewCommand>(kind));
    m_kindGroup->addAction(action);
    action->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + kind)));
    connect(action, &QAction::triggered, this, [this, kind] { SetAxisKind(kind); });
  }
  at(ViewCommand::ZoomIn)->setShortcut(QKeySequence::ZoomIn);
  QList<QKeySequence> zoomOut = QKeySequence::keyBindings(QKeySequence::ZoomOut);
  zoomOut.append(QKeySequence(Qt::CTRL | Qt::Key_0));
  at(ViewCommand::ZoomOut)->setShortcuts(zoomOut);
  at(ViewCommand::ZoomIn)->setIcon(QIcon::fromTheme(QStringLiteral("zoom-in")));
  at(ViewCommand::ZoomOut)->setIcon(QIcon::fromTheme(QStringLiteral("zoom-fit-best")));
  at(ViewCommand::CopyToClipboard)->setIcon(QIcon::fromTheme(QStringLiteral("edit-copy")));

  connect(at(ViewCommand::ZoomIn), &QAction::triggered, this, &COLMView::ToggleZoomMode);
  connect(at(ViewCommand::ZoomOut), &QAction::triggered, this, &COLMView::ZoomOut);
  connect(at(ViewCommand::PointCoordinates), &QAction::triggered, this, &COLMView::TogglePointMode);
  connect(at(ViewCommand::MoveCurve), &QAction::triggered, this, &COLMView::ToggleMoveCurveMode);
  connect(at(ViewCommand::ShowXAxis), &QAction::triggered, this, &COLMView::ToggleXAxis);
  connect(at(ViewCommand::ShowYAxis), &QAction::triggered, this, &COLMView::ToggleYAxis);
  connect(at(ViewCommand::ToggleGraph), &QAction::triggered, this, &COLMView::ToggleGraphDisplay);
  connect(at(ViewCommand::ResizePlots), &QAction::triggered, this, &COLMView::ResizePlots);
  connect(at(ViewCommand::CopyToClipboard), &QAction::triggered, this, &COLMView::CopyToClipboard);
  connect(at(ViewCommand::BestFitPlot), &QAction::triggered, this, &COLMView::BestFitPlot);
}

void COLMView::UpdateActions() {
  const CReplicateDB& db = m_doc.Database();
  const bool data = db.GetReplicateCount() > 0;
  const int mode = m_state.GetMode();
  Action(static_cast<ViewCommand>(m_state.GetAxisKind()))->setChecked(true);
  Action(ViewCommand::ZoomIn)->setChecked(mode == CPlotView::kModeZoom);
  Action(ViewCommand::PointCoordinates)->setChecked(mode == CPlotView::kModePointCoordinates);
  Action(ViewCommand::MoveCurve)->setChecked(mode == CPlotView::kModeMoveCurve);
  Action(ViewCommand::ShowXAxis)->setChecked(GetDisplayFlag(db.plotSettings, kFlagShowXAxis));
  Action(ViewCommand::ShowYAxis)->setChecked(GetDisplayFlag(db.plotSettings, kFlagShowYAxis));
  for (ViewCommand id : {ViewCommand::ZoomIn, ViewCommand::ZoomOut, ViewCommand::PointCoordinates,
                         ViewCommand::ShowXAxis, ViewCommand::ShowYAxis, ViewCommand::ResizePlots,
                         ViewCommand::BestFitPlot})
    Action(id)->setEnabled(data);
  Action(ViewCommand::MoveCurve)
      ->setEnabled(mode == CPlotView::kModeMoveCurve || (data && CPlotView::CanMoveCurves(db)));
}

void COLMView::DocumentChanged(unsigned changes) {
  if (changes & (kChangeData | kChangeSettings | kChangeObjects))
    Invalidate();
  else if (changes & kChangeMarks)
    update();  // the marks are drawn over the buffer
  UpdateActions();
}

void COLMView::Invalidate() {
  m_bufferValid = false;
  update();
}

bool COLMView::HasPlot() const {
  return m_drewPlot;
}

namespace {
// An image to paint the plot on (one pixel at least, as a widget may have no
// size yet).
QImage PlotImage(QSize size) {
  return QImage(std::max(1, size.width()), std::max(1, size.height()), QImage::Format_RGB32);
}
}  // namespace

CPlotPaintResult COLMView::RenderQuietly(QImage& image, const CPlotPaintOptions& options) {
  // Messages of the paint (a refused log window) were shown when the axis
  // kind was chosen; a paint never opens a window.
  CMessageCollector quiet;
  CScopedThreadUserInterface scope(quiet);
  return RenderPlotInto(image, m_state, m_doc.Database(), m_doc.Objects(), options);
}

QImage COLMView::RenderImage(QSize size) {
  QImage image = PlotImage(size);
  const CPlotPaintResult result = RenderQuietly(image, m_state.PaintOptions());
  if (size == this->size()) {
    m_drewPlot = result.drewPlot;
  } else {
    // The graph was laid out for another size: lay it out for the widget
    // again before the next mouse point is mapped.
    m_bufferValid = false;
  }
  return image;
}

void COLMView::EnsureBuffer() {
  if (m_bufferValid && m_buffer.size() == size()) return;
  try {
    RenderBuffer();
  } catch (const std::bad_alloc&) {
    // A paint must not end the program: an empty picture and a word why.
    m_buffer = QImage(size(), QImage::Format_RGB32);
    m_buffer.fill(Qt::white);
    m_drewPlot = false;
    m_bufferValid = true;
    emit statusMessage(tr("There is not enough memory to draw the plot."));
  }
}

void COLMView::RenderBuffer() {
  if (m_drag.IsDragging() && m_dragBackground.size() == size()) {
    m_buffer = m_dragBackground;
    CPlotPaintOptions options = m_state.PaintOptions();
    options.onlyReplicate = m_drag.Replicate();
    RenderCurvesOver(m_buffer, m_state, m_doc.Database(), options);
    m_bufferValid = true;
    return;
  }
  // At the same size the buffer is painted over instead of allocated again.
  if (m_buffer.size() != PlotImage(size()).size()) m_buffer = PlotImage(size());
  m_drewPlot = RenderQuietly(m_buffer, m_state.PaintOptions()).drewPlot;
  m_bufferValid = true;
}

void COLMView::paintEvent(QPaintEvent*) {
  EnsureBuffer();
  QPainter painter(this);
  painter.drawImage(0, 0, m_buffer);
  PaintZoneBorders(painter);
  if (m_toolHook) m_toolHook->PaintOverlay(painter);
}

std::vector<int> COLMView::ZoneBorderColumns() const {
  std::vector<int> columns;
  const CReplicateDB& db = m_doc.Database();
  const int r = ZoneMarkedReplicate();
  if (!m_drewPlot || r < 1 || r > db.GetReplicateCount()) return columns;
  const CReplicate& rep = db.Replicate(r);
  const CGraph& graph = m_state.Graph();
  const CDeviceRect frame = graph.Frame();
  const double y = graph.DeviceToWorld(frame.left, frame.bottom).y;  // any y inside
  for (int z = 1; z <= std::min(rep.zoneCount, CReplicate::kMaxZones); ++z)
    for (const double x : {rep.GetZoneStart(z), rep.GetZoneEnd(z)}) {
      if (!std::isfinite(x) || (graph.IsXLog() && x <= 0)) continue;
      const int px = graph.WorldToDevice(x, y).x;
      if (px >= frame.left && px <= frame.right &&
          std::find(columns.begin(), columns.end(), px) == columns.end())
        columns.push_back(px);
    }
  return columns;
}

void COLMView::PaintZoneBorders(QPainter& painter) {
  const std::vector<int> columns = ZoneBorderColumns();
  if (columns.empty()) return;
  // The zone borders of the replicate the zone dialog shows, as dashed
  // lines across the frame.
  const CDeviceRect frame = m_state.Graph().Frame();
  painter.save();
  painter.setPen(QPen(QColor(0, 128, 0), 1, Qt::DashLine));
  for (const int px : columns) painter.drawLine(px, frame.top, px, frame.bottom);
  painter.restore();
}

void COLMView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  m_bufferValid = false;
}

// ---------------------------------------------------------------------------
// Commands.

void COLMView::SetAxisKind(int kind) {
  if (kind < 0 || kind >= CGraph::kAxisKinds) return;
  const CPlotSettings& s = m_doc.PlotSettings();
  // The new kind takes the plot limits now, so that a log axis that cannot
  // show them warns once; the kind then keeps its previous window.
  if (m_doc.Database().GetReplicateCount() > 0 &&
      CountVisibleCurves(m_doc.Database(), m_state.GetPlotKind()) > 0)
    m_state.Graph(kind).SetWorldWindow(s.plotXMin, s.plotYMin, s.plotXMax, s.plotYMax);
  m_state.SetAxisKind(kind);
  emit statusMessage(QString::fromLatin1(CGraph::KindCommand(kind)));
  UpdateActions();
  Invalidate();
}

void COLMView::ToggleZoomMode() {
  m_state.ToggleZoomMode();
  UpdateActions();
}

void COLMView::ZoomOut() {
  m_doc.ModifyView(kChangeData, [this](CReplicateDB& db, CGEList&) {
    m_state.ZoomOut(db);
    return true;
  });
}

void COLMView::TogglePointMode() {
  m_state.TogglePointMode();
  UpdateActions();
}

void COLMView::ToggleMoveCurveMode() {
  if (m_state.GetMode() == CPlotView::kModeMoveCurve) {
    // Leaving returns to the raw-data plot and the full extent.
    m_doc.ModifyView(kChangeData, [this](CReplicateDB& db, CGEList&) {
      return m_state.ToggleMoveCurveMode(db);
    });
  } else if (!CPlotView::CanMoveCurves(m_doc.Database())) {
    emit statusMessage(tr("Curves can be moved only before the data are smoothed or fitted."));
  } else {
    // Entering the mode does not change the database.
    m_doc.ModifyView(0, [this](CReplicateDB& db, CGEList&) {
      m_state.ToggleMoveCurveMode(db);
      return true;
    });
  }
  UpdateActions();
}

void COLMView::ToggleXAxis() {
  m_doc.Modify("Show X-axis", kChangeSettings, [this](CReplicateDB& db, CGEList&) {
    m_state.ToggleXAxis(db);
    return true;
  });
}

void COLMView::ToggleYAxis() {
  m_doc.Modify("Show Y-axis", kChangeSettings, [this](CReplicateDB& db, CGEList&) {
    m_state.ToggleYAxis(db);
    return true;
  });
}

void COLMView::ToggleGraphDisplay() {
  m_state.ToggleGraphDisplay();
  Invalidate();
}

void COLMView::ResizePlots() {
  m_doc.ResizePlots();
}

void COLMView::CopyToClipboard() {
  EnsureBuffer();
  QClipboard* clipboard = QApplication::clipboard();
  clipboard->clear();
  clipboard->setImage(m_buffer);
  emit statusMessage(tr("The plot was copied to the clipboard."));
}

void COLMView::BestFitPlot() {
  CBestFitDlg dialog(this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (m_doc.BestFit(dialog.Form())) {
    m_state.SetPlotKind(kBestFitPlot);
    Invalidate();
  }
}

void COLMView::DeleteCurve() {
  EnsureBuffer();
  const CDevicePoint p = m_state.lastRightClick;
  const int r = m_drewPlot ? HitTestCurve(m_doc.Database(), m_state.Graph(), p) : 0;
  if (r == 0) {
    ShowMessage("Cannot find a curve");
    return;
  }
  if (!AskUser(Format("Deleting curve: %d.", r), QuestionKind::YesNo)) return;
  if (m_doc.DeleteCurve(r)) emit statusMessage(tr("Replicate %1 left processing.").arg(r));
}

void COLMView::SetPlotLimits(double xMin, double xMax, double yMin, double yMax) {
  const float x0 = static_cast<float>(xMin), x1 = static_cast<float>(xMax);
  const float y0 = static_cast<float>(yMin), y1 = static_cast<float>(yMax);
  // A window collapsed by float precision, or beyond the float range, is
  // not taken.
  if (!(x0 < x1) || !(y0 < y1) || !std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(y0) ||
      !std::isfinite(y1))
    return;
  m_doc.ModifyView(kChangeData, [=](CReplicateDB& db, CGEList&) {
    CPlotSettings& s = db.plotSettings;
    s.plotXMin = x0, s.plotXMax = x1, s.plotYMin = y0, s.plotYMax = y1;
    return true;
  });
}

void COLMView::ZoomAbout(QPoint centre, double factor) {
  EnsureBuffer();
  if (!m_drewPlot || !(factor > 0)) return;
  const CGraph& g = m_state.Graph();
  const CDeviceRect& f = g.Frame();
  // In the window's own units (logarithms on a log axis) the mapping is
  // linear, so the point under the cursor stays where it is.
  const double u = g.WindowXMin() + (centre.x() - f.left) * g.XScale();
  const double v = g.WindowYMin() + (f.bottom - centre.y()) * g.YScale();
  double x0 = u - (u - g.WindowXMin()) / factor, x1 = u + (g.WindowXMax() - u) / factor;
  double y0 = v - (v - g.WindowYMin()) / factor, y1 = v + (g.WindowYMax() - v) / factor;
  if (g.IsXLog()) x0 = std::pow(10.0, x0), x1 = std::pow(10.0, x1);
  if (g.IsYLog()) y0 = std::pow(10.0, y0), y1 = std::pow(10.0, y1);
  SetPlotLimits(x0, x1, y0, y1);
}

void COLMView::PanBy(QPoint delta) {
  EnsureBuffer();
  if (!m_drewPlot || delta.isNull()) return;
  const CGraph& g = m_state.Graph();
  const double du = -delta.x() * g.XScale(), dv = delta.y() * g.YScale();
  double x0 = g.WindowXMin() + du, x1 = g.WindowXMax() + du;
  double y0 = g.WindowYMin() + dv, y1 = g.WindowYMax() + dv;
  if (g.IsXLog()) x0 = std::pow(10.0, x0), x1 = std::pow(10.0, x1);
  if (g.IsYLog()) y0 = std::pow(10.0, y0), y1 = std::pow(10.0, y1);
  SetPlotLimits(x0, x1, y0, y1);
}

QString COLMView::CoordinateText(QPoint p) {
  EnsureBuffer();
  if (!m_drewPlot) return {};
  const CWorldPoint w = m_state.Graph().DeviceToWorldPoint(ToDevice(p));
  return QStringLiteral("%1, %2").arg(ui::NumberText(w.x), ui::NumberText(w.y));
}

// ---------------------------------------------------------------------------
// Mouse and keys.

void COLMView::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (m_toolHook && !m_panning && m_toolHook->MousePress(event)) return;
  if (event->button() == Qt::MiddleButton) {
    m_panning = true;
    m_panLast = p;
    setCursor(Qt::ClosedHandCursor);
    return;
  }
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  EnsureBuffer();
  m_state.mouseDown = ToDevice(p);
  switch (m_state.GetMode()) {
    case CPlotView::kModeZoom:
      m_zooming = true;
      m_zoomStart = p;
      m_rubberBand->setGeometry(QRect(p, QSize()));
      m_rubberBand->show();
      break;
    case CPlotView::kModePointCoordinates: {
      if (!m_drewPlot) break;
      CCurveMoveForm form;
      form.OpenAt(m_doc.Database(), m_state.Graph(), ToDevice(p));
      if (!m_moveDialog) {
        m_moveDialog = new CCurveMoveDlg(m_doc, this);
        m_moveDialog->setAttribute(Qt::WA_DeleteOnClose);
      }
      m_moveDialog->Open(form);
      m_moveDialog->show();
      m_moveDialog->raise();
      emit statusMessage(CoordinateText(p));
      break;
    }
    case CPlotView::kModeMoveCurve:
      if (!m_drewPlot) break;
      // Analysed data cannot be moved any more (the mode was entered before).
      if (!CPlotView::CanMoveCurves(m_doc.Database())) {
        emit statusMessage(tr("Curves can be moved only before the data are smoothed or fitted."));
        break;
      }
      if (m_drag.Press(m_doc.Database(), m_state.Graph(), ToDevice(p))) {
        if (!m_doc.BeginEdit("Move Curve", kChangeData)) {
          m_drag.Release();
          break;
        }
        PaintDragBackground();
        setCursor(Qt::SizeAllCursor);
      }
      break;
    default:
      break;
  }
}

void COLMView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (m_panning) {
    const QPoint delta = p - m_panLast;
    m_panLast = p;
    PanBy(delta);
  } else if (m_zooming) {
    m_rubberBand->setGeometry(QRect(m_zoomStart, p).normalized());
  } else if (m_toolHook && m_toolHook->MouseMove(event)) {
  } else if (m_drag.IsDragging()) {
    if (m_drag.Move(m_doc.EditDatabase(), m_state.Graph(), ToDevice(p)))
      m_doc.NotifyEdit(kChangeData);
  }
  emit coordinatesChanged(CoordinateText(p));
}

void COLMView::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (event->button() == Qt::MiddleButton && m_panning) {
    m_panning = false;
    unsetCursor();
    return;
  }
  if (m_toolHook && m_toolHook->MouseRelease(event)) return;
  if (event->button() != Qt::LeftButton) return;
  m_state.mouseUp = ToDevice(p);
  if (m_zooming) {
    m_zooming = false;
    m_rubberBand->hide();
    const CDevicePoint down = ToDevice(m_zoomStart), up = ToDevice(p);
    m_doc.ModifyView(kChangeData,
                     [&](CReplicateDB& db, CGEList&) { return m_state.Zoom(db, down, up); });
    UpdateActions();
  } else if (m_drag.IsDragging()) {
    m_drag.Release();
    m_dragBackground = QImage();
    unsetCursor();
    m_doc.EndEdit(true);
    emit statusMessage(tr("Replicate %1 moved.").arg(m_drag.Replicate()));
  }
}

void COLMView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (m_toolHook && m_toolHook->MouseDoubleClick(event)) return;
  QWidget::mouseDoubleClickEvent(event);
}

void COLMView::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y();
  if (steps == 0) return;
  ZoomAbout(event->position().toPoint(), std::pow(kWheelZoom, steps / 120.0));
  event->accept();
}

void COLMView::PaintDragBackground() {
  CPlotPaintOptions options = m_state.PaintOptions();
  options.skipReplicate = m_drag.Replicate();
  m_dragBackground = PlotImage(size());
  RenderQuietly(m_dragBackground, options);
}

void COLMView::CancelDrag() {
  m_drag.Release();
  m_dragBackground = QImage();
  unsetCursor();
  if (m_doc.IsEditing()) m_doc.EndEdit(false);
}

void COLMView::keyPressEvent(QKeyEvent* event) {
  if (m_toolHook && m_toolHook->KeyPress(event)) return;
  if (event->key() != Qt::Key_Escape) {
    QWidget::keyPressEvent(event);
    return;
  }
  if (m_drag.IsDragging()) {
    CancelDrag();
  } else if (m_zooming) {
    m_zooming = false;
    m_rubberBand->hide();
  } else if (m_state.GetMode() == CPlotView::kModeZoom) {
    ToggleZoomMode();
  } else if (m_state.GetMode() == CPlotView::kModePointCoordinates) {
    TogglePointMode();
  } else if (m_state.GetMode() == CPlotView::kModeMoveCurve) {
    ToggleMoveCurveMode();
  }
}

void COLMView::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  emit coordinatesChanged(QString());
}

QMenu* COLMView::CreateContextMenu(QPoint p) {
  m_state.lastRightClick = ToDevice(p);
  auto* menu = new QMenu(this);
  const bool data = m_doc.Database().GetReplicateCount() > 0;
  // "Move Curve" and "Delete points from curve" do nothing; they are listed
  // disabled.
  menu->addAction(tr("Move Curve"))->setEnabled(false);
  QAction* del = menu->addAction(tr("Delete Curve"), this, &COLMView::DeleteCurve);
  del->setEnabled(data && !m_doc.IsEditing());
  menu->addAction(tr("Delete points from curve"))->setEnabled(false);
  menu->addAction(tr("Curve Data (and slope)"), this, &COLMView::Invalidate);
  menu->addSeparator();
  for (int kind = 0; kind < CGraph::kAxisKinds; ++kind)
    menu->addAction(Action(static_cast<ViewCommand>(kind)));
  if (m_toolHook) m_toolHook->ExtendContextMenu(*menu, p);
  return menu;
}

void COLMView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = CreateContextMenu(event->pos());
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

}  // namespace olm
