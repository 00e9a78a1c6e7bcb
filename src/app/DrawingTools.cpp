#include "app/DrawingTools.hpp"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>
#include <algorithm>
#include <cmath>

#include "app/DrawingAttributesDlg.hpp"
#include "plot/ElementDrawing.hpp"
#include "plot/PlotPainter.hpp"

namespace olm {

namespace {

// A handle is grabbed within this many pixels of its point.
constexpr int kHandleReach = 5;
// A press and release closer than this do not create a two-point object.
constexpr int kMinDrag = 3;
// A drag shorter than this (Manhattan) is still a click.
constexpr int kClickSlop = 2;
// "Zoom in on drawing objects" by a click zooms by this factor.
constexpr double kClickZoom = 2.0;

QIcon MakeIcon(const std::function<void(QPainter&)>& draw) {
  QPixmap pixmap(24, 24);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1.5));
  draw(p);
  return QIcon(pixmap);
}

QIcon ShapeIcon(int shape) {
  return MakeIcon([shape](QPainter& p) {
    bool closed = true;
    const CDeviceRect box{3, 3, 21, 21};
    const std::vector<CDevicePoint> outline = WingDingOutline(shape, box, &closed);
    p.setBrush(QColor(0x20, 0x60, 0xC0));
    if (outline.empty()) {
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QRect(3, 3, 18, 18));
      p.setBrush(Qt::black);
      p.drawEllipse(QRect(10, 10, 4, 4));
      return;
    }
    QPolygon poly;
    for (const CDevicePoint& d : outline) poly << QPoint(d.x, d.y);
    if (closed)
      p.drawPolygon(poly);
    else
      p.drawPolyline(poly);
  });
}

QIcon ToolIcon(DrawingTool tool) {
  const QColor fill(0x20, 0x60, 0xC0);
  switch (tool) {
    case DrawingTool::Select:
      return MakeIcon([](QPainter& p) {
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygon({QPoint(6, 3), QPoint(6, 19), QPoint(10, 15), QPoint(13, 21),
                                QPoint(15, 20), QPoint(12, 14), QPoint(17, 14)}));
      });
    case DrawingTool::SelectPoint:
      return MakeIcon([](QPainter& p) {
        p.drawLine(4, 20, 18, 6);
        p.setBrush(Qt::black);
        p.drawRect(15, 3, 6, 6);
        p.drawRect(2, 17, 5, 5);
      });
    case DrawingTool::FilledRectangle:
      return MakeIcon([fill](QPainter& p) {
        p.setBrush(fill);
        p.drawRect(3, 5, 18, 14);
      });
    case DrawingTool::FilledCircle:
      return MakeIcon([fill](QPainter& p) {
        p.setBrush(fill);
        p.drawEllipse(3, 3, 18, 18);
      });
    case DrawingTool::TransparentRectangle:
      return MakeIcon([](QPainter& p) { p.drawRect(3, 5, 18, 14); });
    case DrawingTool::TransparentCircle:
      return MakeIcon([](QPainter& p) { p.drawEllipse(3, 3, 18, 18); });
    case DrawingTool::Polygon:
      return MakeIcon([](QPainter& p) {
        p.drawPolygon(
            QPolygon({QPoint(4, 18), QPoint(8, 4), QPoint(20, 7), QPoint(16, 14), QPoint(20, 21)}));
      });
    case DrawingTool::Shape:
      return ShapeIcon(5);
    case DrawingTool::Line:
      return MakeIcon([](QPainter& p) { p.drawLine(4, 20, 20, 4); });
    case DrawingTool::Arrow:
      return MakeIcon([](QPainter& p) {
        p.drawLine(4, 20, 20, 4);
        p.setBrush(Qt::black);
        p.drawPolygon(QPolygon({QPoint(20, 4), QPoint(12, 7), QPoint(17, 12)}));
      });
    case DrawingTool::Text:
      return MakeIcon([](QPainter& p) {
        QFont f;
        f.setPixelSize(20);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, QStringLiteral("T"));
      });
    case DrawingTool::Bezier:
      return MakeIcon([](QPainter& p) {
        QPainterPath path(QPointF(3, 20));
        path.cubicTo(QPointF(6, 0), QPointF(16, 26), QPointF(21, 4));
        p.drawPath(path);
      });
    case DrawingTool::ObjectZoom:
    case DrawingTool::ObjectPan:
      break;
  }
  if (tool == DrawingTool::ObjectZoom)
    return MakeIcon([](QPainter& p) {
      p.drawEllipse(3, 3, 13, 13);
      p.drawLine(9, 6, 9, 13);
      p.drawLine(6, 9, 13, 9);
      p.setPen(QPen(Qt::black, 3));
      p.drawLine(15, 15, 21, 21);
    });
  return MakeIcon([](QPainter& p) {
    p.drawLine(12, 2, 12, 22);
    p.drawLine(2, 12, 22, 12);
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygon({QPoint(12, 1), QPoint(9, 5), QPoint(15, 5)}));
    p.drawPolygon(QPolygon({QPoint(12, 23), QPoint(9, 19), QPoint(15, 19)}));
    p.drawPolygon(QPolygon({QPoint(1, 12), QPoint(5, 9), QPoint(5, 15)}));
    p.drawPolygon(QPolygon({QPoint(23, 12), QPoint(19, 9), QPoint(19, 15)}));
  });
}

QIcon CommandIcon(DrawingCommand c) {
  switch (c) {
    case DrawingCommand::EditLine:
      return MakeIcon([](QPainter& p) {
        for (int i = 0; i < 3; ++i) {
          p.setPen(QPen(Qt::black, 1 + 2 * i));
          p.drawLine(3, 5 + 7 * i, 21, 5 + 7 * i);
        }
      });
    case DrawingCommand::EditPolygon:
      return MakeIcon([](QPainter& p) {
        p.setBrush(QColor(0xF0, 0xB0, 0x20));
        p.drawPolygon(QPolygon({QPoint(3, 19), QPoint(8, 4), QPoint(20, 6), QPoint(18, 20)}));
        p.setBrush(QColor(0x20, 0x60, 0xC0));
        p.drawRect(13, 13, 9, 9);
      });
    case DrawingCommand::EditText:
      return MakeIcon([](QPainter& p) {
        QFont f;
        f.setPixelSize(17);
        f.setItalic(true);
        p.setFont(f);
        p.drawText(QRect(0, 0, 18, 20), Qt::AlignCenter, QStringLiteral("A"));
        p.setPen(QPen(QColor(0xC0, 0x30, 0x30), 2));
        p.drawLine(13, 21, 22, 12);
      });
    case DrawingCommand::ZoomOut:
      return MakeIcon([](QPainter& p) {
        p.drawEllipse(3, 3, 13, 13);
        p.drawLine(6, 9, 13, 9);
        p.setPen(QPen(Qt::black, 3));
        p.drawLine(15, 15, 21, 21);
      });
    default:
      return {};
  }
}

const CGraph& GraphOf(COLMView& view) {
  return view.State().Graph();
}

// A world point moved by a screen distance, in the axes' own units.
CPoint3 ShiftPoint(const CGraph& g, const CPoint3& p, QPoint delta) {
  CPoint3 q = p;
  const double du = delta.x() * g.XScale(), dv = -delta.y() * g.YScale();
  if (g.IsXLog()) {
    if (p.x > 0) q.x = p.x * std::pow(10.0, du);
  } else {
    q.x = p.x + du;
  }
  if (g.IsYLog()) {
    if (p.y > 0) q.y = p.y * std::pow(10.0, dv);
  } else {
    q.y = p.y + dv;
  }
  return q;
}

std::string ObjectBytes(const CGraphicElement& e) {
  CMemorySink sink;
  CProjectWriter out(sink);
  out.WriteInt(e.TypeCode());
  e.Store(out);
  out.Finish();
  return sink.Bytes();
}

std::unique_ptr<CGraphicElement> ObjectFromBytes(const std::string& bytes) {
  try {
    CMemorySource source(bytes);
    CProjectReader in(source);
    std::unique_ptr<CGraphicElement> e = CreateGraphicElement(in.ReadInt());
    if (!e) return nullptr;
    e->Load(in);
    return e;
  } catch (const std::exception&) {
    return nullptr;
  }
}

bool IsTwoPointTool(DrawingTool t) {
  switch (t) {
    case DrawingTool::FilledRectangle:
    case DrawingTool::FilledCircle:
    case DrawingTool::TransparentRectangle:
    case DrawingTool::TransparentCircle:
    case DrawingTool::Shape:
    case DrawingTool::Line:
    case DrawingTool::Arrow:
      return true;
    default:
      return false;
  }
}

}  // namespace

// ---------------------------------------------------------------------------

CDrawingController::CDrawingController(COLMView& view, COLMDoc& doc)
    : QObject(&view), m_view(view), m_doc(doc) {
  setObjectName(QStringLiteral("DrawingController"));
  CreateActions();
  m_view.SetToolHook(this);
  m_doc.AddObserver(this);
  UpdateActions();
}

CDrawingController::~CDrawingController() {
  // Owned by the view: the view is being destroyed and is not touched.
  if (m_moved && (m_drag == Drag::Move || m_drag == Drag::Handle) && m_doc.IsEditing())
    m_doc.EndEdit(false);
  m_doc.RemoveObserver(this);
}

CDrawingController& CDrawingController::Of(COLMView& view) {
  auto* c = view.findChild<CDrawingController*>(QString(), Qt::FindDirectChildrenOnly);
  if (!c) c = new CDrawingController(view, view.Document());
  return *c;
}

void CDrawingController::CreateActions() {
  struct ToolSpec {
    DrawingTool id;
    const char* text;
  };
  static const ToolSpec kTools[] = {
      {DrawingTool::Select, "Select Tool"},
      {DrawingTool::SelectPoint, "Select Point"},
      {DrawingTool::FilledRectangle, "Draw Filled Rectangle"},
      {DrawingTool::FilledCircle, "Draw Filled Circle"},
      {DrawingTool::TransparentRectangle, "Draw Transparent Rectangle"},
      {DrawingTool::TransparentCircle, "Draw Transparent Circle"},
      {DrawingTool::Polygon, "Polygon"},
      {DrawingTool::Shape, "Specialized shapes"},
      {DrawingTool::Line, "Draw Line"},
      {DrawingTool::Arrow, "Line with arrow"},
      {DrawingTool::Text, "Text"},
      {DrawingTool::Bezier, "Cubic Bezier curve"},
      {DrawingTool::ObjectZoom, "Zoom in on drawing objects"},
      {DrawingTool::ObjectPan, "Pan"},
  };
  m_toolGroup = new QActionGroup(this);
  m_toolGroup->setExclusive(true);
  for (const ToolSpec& spec : kTools) {
    const QString text = QString::fromLatin1(spec.text);
    auto* action = new QAction(ToolIcon(spec.id), text, this);
    action->setToolTip(text);
    action->setStatusTip(text);
    action->setCheckable(true);
    m_toolGroup->addAction(action);
    m_tools[static_cast<size_t>(spec.id)] = action;
    const DrawingTool id = spec.id;
    connect(action, &QAction::triggered, this, [this, id] { SetTool(id); });
  }
  ToolAction(DrawingTool::Select)->setChecked(true);

  struct CommandSpec {
    DrawingCommand id;
    const char* text;
  };
  static const CommandSpec kCommands[] = {
      {DrawingCommand::EditLine, "Edit line attributes"},
      {DrawingCommand::EditPolygon, "Edit all polygon attributes"},
      {DrawingCommand::EditText, "Edit text"},
      {DrawingCommand::ZoomOut, "Zoom out"},
      {DrawingCommand::BringForward, "Bring to Front"},
      {DrawingCommand::BringToFront, "Bring to Front of Page"},
      {DrawingCommand::PushBackOne, "Push Back One"},
      {DrawingCommand::PushToBack, "Push to Back of Page"},
      {DrawingCommand::Delete, "Delete"},
      {DrawingCommand::Copy, "Copy"},
      {DrawingCommand::Paste, "Paste"},
  };
  for (const CommandSpec& spec : kCommands) {
    const QString text = QString::fromLatin1(spec.text);
    auto* action = new QAction(CommandIcon(spec.id), text, this);
    action->setToolTip(text);
    action->setStatusTip(text);
    m_commands[static_cast<size_t>(spec.id)] = action;
  }
  const auto at = [this](DrawingCommand c) { return CommandAction(c); };
  connect(at(DrawingCommand::EditLine), &QAction::triggered, this,
          &CDrawingController::EditLineAttributes);
  connect(at(DrawingCommand::EditPolygon), &QAction::triggered, this,
          &CDrawingController::EditPolygonAttributes);
  connect(at(DrawingCommand::EditText), &QAction::triggered, this, &CDrawingController::EditText);
  connect(at(DrawingCommand::ZoomOut), &QAction::triggered, &m_view, &COLMView::ZoomOut);
  for (DrawingCommand c : {DrawingCommand::BringForward, DrawingCommand::BringToFront,
                           DrawingCommand::PushBackOne, DrawingCommand::PushToBack})
    connect(at(c), &QAction::triggered, this, [this, c] { DepthCommand(c); });
  connect(at(DrawingCommand::Delete), &QAction::triggered, this,
          &CDrawingController::DeleteSelected);
  connect(at(DrawingCommand::Copy), &QAction::triggered, this, &CDrawingController::CopySelected);
  connect(at(DrawingCommand::Paste), &QAction::triggered, this, &CDrawingController::Paste);

  // The edit commands' standard keys work while the view has the focus.
  at(DrawingCommand::Delete)->setShortcut(QKeySequence::Delete);
  at(DrawingCommand::Copy)->setShortcut(QKeySequence::Copy);
  at(DrawingCommand::Paste)->setShortcut(QKeySequence::Paste);
  at(DrawingCommand::BringToFront)->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
  at(DrawingCommand::PushToBack)->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B));
  at(DrawingCommand::Delete)->setIcon(QIcon::fromTheme(QStringLiteral("edit-delete")));
  for (DrawingCommand c : {DrawingCommand::BringForward, DrawingCommand::BringToFront,
                           DrawingCommand::PushBackOne, DrawingCommand::PushToBack,
                           DrawingCommand::Delete, DrawingCommand::Copy, DrawingCommand::Paste}) {
    at(c)->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_view.addAction(at(c));
  }
}

QList<QAction*> CDrawingController::EditActions() const {
  return {CommandAction(DrawingCommand::BringForward), CommandAction(DrawingCommand::BringToFront),
          CommandAction(DrawingCommand::PushBackOne),  CommandAction(DrawingCommand::PushToBack),
          CommandAction(DrawingCommand::Delete),       CommandAction(DrawingCommand::Copy),
          CommandAction(DrawingCommand::Paste)};
}

void CDrawingController::UpdateActions() {
  const CGEList& objects = m_doc.Objects();
  const bool current = objects.Current() != nullptr;
  for (DrawingCommand c :
       {DrawingCommand::BringForward, DrawingCommand::BringToFront, DrawingCommand::PushBackOne,
        DrawingCommand::PushToBack, DrawingCommand::Copy})
    CommandAction(c)->setEnabled(current);
  CommandAction(DrawingCommand::Delete)->setEnabled(objects.SelectedCount() > 0);
}

void CDrawingController::DocumentChanged(unsigned changes) {
  if (changes & kChangeObjects) UpdateActions();
}

void CDrawingController::SetTool(DrawingTool tool) {
  Cancel();
  m_tool = tool;
  ToolAction(tool)->setChecked(true);
  CPlotView& state = m_view.State();
  // A drawing tool ends the view's own modes.
  switch (state.GetMode()) {
    case CPlotView::kModeZoom:
      if (tool != DrawingTool::Select) m_view.ToggleZoomMode();
      break;
    case CPlotView::kModePointCoordinates:
      if (tool != DrawingTool::Select) m_view.TogglePointMode();
      break;
    case CPlotView::kModeMoveCurve:
      if (tool != DrawingTool::Select) m_view.ToggleMoveCurveMode();
      break;
    default:
      break;
  }
  const int wanted = tool == DrawingTool::ObjectZoom  ? CPlotView::kModeObjectZoom
                     : tool == DrawingTool::ObjectPan ? CPlotView::kModeObjectPan
                                                      : CPlotView::kModeNone;
  const int mode = state.GetMode();
  if (mode == CPlotView::kModeObjectZoom || mode == CPlotView::kModeObjectPan)
    state.ToggleObjectMode(mode);
  if (wanted != CPlotView::kModeNone && state.GetMode() == CPlotView::kModeNone)
    state.ToggleObjectMode(wanted);
  if (tool == DrawingTool::Select || tool == DrawingTool::SelectPoint)
    m_view.unsetCursor();
  else if (tool == DrawingTool::ObjectPan)
    m_view.setCursor(Qt::OpenHandCursor);
  else
    m_view.setCursor(Qt::CrossCursor);
  m_view.update();
}

void CDrawingController::SetShapeNumber(int shape) {
  if (shape >= 1 && shape <= kShapeCount) m_shape = shape;
}

bool CDrawingController::Active() const {
  const int mode = m_view.State().GetMode();
  return mode == CPlotView::kModeNone || mode == CPlotView::kModeObjectZoom ||
         mode == CPlotView::kModeObjectPan;
}

void CDrawingController::Cancel() {
  if (m_moved && (m_drag == Drag::Move || m_drag == Drag::Handle) && m_doc.IsEditing())
    m_doc.EndEdit(false);
  m_drag = Drag::None;
  m_moved = false;
  m_points.clear();
  m_original.clear();
  if (m_textEditor) {
    m_textEditor->hide();
    m_textEditor->deleteLater();
    m_textEditor = nullptr;
  }
  m_view.update();
}

CScreenMap CDrawingController::ScreenMap() const {
  const CGraph* g = &GraphOf(m_view);
  return [g](double x, double y) {
    const CDevicePoint d = g->WorldToDevice(x, y);
    return CScreenPoint{static_cast<double>(d.x), static_cast<double>(d.y)};
  };
}

CPoint3 CDrawingController::World(QPoint p) const {
  const CWorldPoint w = GraphOf(m_view).DeviceToWorld(p.x(), p.y());
  return {w.x, w.y, 0.0};
}

QPoint CDrawingController::Screen(const CPoint3& p) const {
  const CDevicePoint d = GraphOf(m_view).WorldToDevice(p.x, p.y);
  return {d.x, d.y};
}

int CDrawingController::IndexOf(const CGraphicElement* e) const {
  const auto& objects = m_doc.Objects().Objects();
  for (size_t i = 0; i < objects.size(); ++i)
    if (objects[i].get() == e) return static_cast<int>(i);
  return -1;
}

bool CDrawingController::HandleAt(QPoint p, int* object, int* point) const {
  const auto& objects = m_doc.Objects().Objects();
  // The front-most objects are the last in paint order: search those first.
  const std::vector<const CGraphicElement*> order = m_doc.Objects().PaintOrder();
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    if (!(*it)->selected) continue;
    const std::vector<CPoint3> points = (*it)->GetEndPoints();
    for (size_t k = 0; k < points.size(); ++k) {
      const QPoint s = Screen(points[k]);
      if (std::abs(s.x() - p.x()) <= kHandleReach && std::abs(s.y() - p.y()) <= kHandleReach) {
        *object = IndexOf(*it);
        *point = static_cast<int>(k);
        return *object >= 0 && *object < static_cast<int>(objects.size());
      }
    }
  }
  return false;
}

std::unique_ptr<CGraphicElement> CDrawingController::Build(
    const std::vector<QPoint>& points) const {
  std::unique_ptr<CGraphicElement> e;
  switch (m_tool) {
    case DrawingTool::FilledRectangle:
    case DrawingTool::TransparentRectangle:
      e = std::make_unique<CRectangle>();
      e->transparent = m_tool == DrawingTool::TransparentRectangle;
      break;
    case DrawingTool::FilledCircle:
    case DrawingTool::TransparentCircle:
      e = std::make_unique<CCircle>();
      e->transparent = m_tool == DrawingTool::TransparentCircle;
      break;
    case DrawingTool::Shape: {
      auto w = std::make_unique<CWingDing>();
      w->shape = m_shape;
      e = std::move(w);
      break;
    }
    case DrawingTool::Line:
    case DrawingTool::Arrow: {
      auto line = std::make_unique<CSLine>();
      line->lineStyle = m_attributes.lineStyle;
      line->arrowMode = m_tool == DrawingTool::Line            ? kArrowNone
                        : m_attributes.arrowMode == kArrowNone ? kArrowEnd
                                                               : m_attributes.arrowMode;
      e = std::move(line);
      break;
    }
    case DrawingTool::Polygon:
      e = std::make_unique<CPolygon>();
      break;
    case DrawingTool::Bezier:
      e = std::make_unique<CCubicBezier>();
      break;
    default:
      return nullptr;
  }
  e->fillColour = m_attributes.fillColour;
  e->lineColour = m_attributes.lineColour;
  e->lineWidth = m_attributes.lineWidth;
  std::vector<CPoint3> world;
  world.reserve(points.size());
  for (QPoint p : points) world.push_back(World(p));
  if (!e->SetEndPoints(world)) return nullptr;
  return e;
}

void CDrawingController::Commit(std::unique_ptr<CGraphicElement> object, const char* name) {
  if (!object) return;
  m_doc.AddObject(std::move(object));
  emit m_view.statusMessage(tr("%1 added.").arg(QString::fromLatin1(name)));
}

void CDrawingController::FinishVertices() {
  // A double click may have added its point twice.
  std::vector<QPoint> points;
  for (QPoint p : m_points)
    if (points.empty() || (p - points.back()).manhattanLength() > kClickSlop) points.push_back(p);
  m_points.clear();
  m_drag = Drag::None;
  if (m_tool == DrawingTool::Polygon && points.size() >= 3) Commit(Build(points), "Polygon");
  m_view.update();
}

void CDrawingController::SelectInBand(QRect band, bool add) {
  const CScreenMap map = ScreenMap();
  m_doc.ModifyView(kChangeObjects, [&](CReplicateDB&, CGEList& objects) {
    if (!add) objects.ClearSelection();
    for (int i = 0; i < objects.GetCount(); ++i) {
      CGraphicElement& e = objects.At(i);
      if (!e.visible) continue;
      bool inside = true;
      for (const CPoint3& p : e.GetEndPoints()) {
        const CScreenPoint s = map(p.x, p.y);
        inside = inside && band.contains(QPoint(static_cast<int>(s.x), static_cast<int>(s.y)));
      }
      if (inside) objects.Select(&e, true);
    }
    return true;
  });
}

void CDrawingController::ApplyShift(QPoint delta) {
  const CGraph& g = GraphOf(m_view);
  CGEList& objects = m_doc.EditObjects();
  for (const auto& [index, original] : m_original) {
    if (index < 0 || index >= objects.GetCount()) continue;
    std::vector<CPoint3> points = original;
    if (m_drag == Drag::Handle) {
      const auto k = static_cast<size_t>(m_handlePoint);
      if (k < points.size()) points[k] = ShiftPoint(g, original[k], delta);
    } else {
      for (CPoint3& p : points) p = ShiftPoint(g, p, delta);
    }
    objects.At(index).SetEndPoints(points);
  }
  m_doc.NotifyEdit(kChangeObjects);
}

void CDrawingController::OpenTextEditor(QPoint p) {
  if (m_textEditor) CommitText();
  m_textAnchor = World(p);
  m_textEditor = new QLineEdit(&m_view);
  m_textEditor->setObjectName(QStringLiteral("DrawingTextEditor"));
  m_textEditor->setAccessibleName(tr("Text"));
  QFont font(QString::fromStdString(m_attributes.font.font.faceName));
  const int height = m_attributes.font.font.height;
  font.setPixelSize(height == 0 ? 12 : std::abs(height));
  m_textEditor->setFont(font);
  m_textEditor->setFrame(false);
  m_textEditor->move(p);
  m_textEditor->resize(240, m_textEditor->sizeHint().height());
  connect(m_textEditor, &QLineEdit::returnPressed, this, &CDrawingController::CommitText);
  m_textEditor->show();
  m_textEditor->setFocus();
}

void CDrawingController::CommitText() {
  if (!m_textEditor) return;
  const std::string text = m_textEditor->text().toStdString();
  m_textEditor->hide();
  m_textEditor->deleteLater();
  m_textEditor = nullptr;
  m_view.setFocus();
  CreateText(text);
}

void CDrawingController::CreateText(const std::string& text) {
  if (text.empty()) return;
  auto object = std::make_unique<CText>();
  object->text = text;
  object->font = m_attributes.font;
  object->SetTextSize(m_attributes.font.font.height, m_attributes.font.font.width);
  object->lineColour = m_attributes.lineColour;
  object->fillColour = m_attributes.fillColour;
  object->SetEndPoints({m_textAnchor});
  Commit(std::move(object), "Text");
}

// ---------------------------------------------------------------------------
// Mouse and keys.

bool CDrawingController::MousePress(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !Active()) return false;
  if (!m_view.PreparePlot()) return false;
  const QPoint p = event->position().toPoint();
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  m_start = m_last = p;
  m_moved = false;
  m_shift = shift;
  switch (m_tool) {
    case DrawingTool::Select:
    case DrawingTool::SelectPoint: {
      int object = -1, point = -1;
      if (!shift && HandleAt(p, &object, &point)) {
        m_drag = Drag::Handle;
        m_handlePoint = point;
        m_original = {{object, m_doc.Objects().At(object).GetEndPoints()}};
        return true;
      }
      CGraphicElement* hit = m_doc.Objects().HitTest({double(p.x()), double(p.y())}, ScreenMap());
      if (hit) {
        m_doc.ModifyView(kChangeObjects, [&](CReplicateDB&, CGEList& objects) {
          objects.Select(hit, shift || hit->selected);
          return true;
        });
        if (m_tool == DrawingTool::Select) {
          m_drag = Drag::Move;
          m_original.clear();
          for (int i = 0; i < m_doc.Objects().GetCount(); ++i)
            if (m_doc.Objects().At(i).selected)
              m_original.emplace_back(i, m_doc.Objects().At(i).GetEndPoints());
        }
      } else {
        if (!shift && m_doc.Objects().SelectedCount() > 0)
          m_doc.ModifyView(kChangeObjects, [](CReplicateDB&, CGEList& objects) {
            objects.ClearSelection();
            return true;
          });
        if (m_tool == DrawingTool::Select) m_drag = Drag::Band;
      }
      return true;
    }
    case DrawingTool::Text:
      OpenTextEditor(p);
      return true;
    case DrawingTool::Polygon:
    case DrawingTool::Bezier:
      m_drag = Drag::Vertices;
      m_points.push_back(p);
      if (m_tool == DrawingTool::Bezier && m_points.size() == 4) {
        Commit(Build(m_points), "Cubic Bezier curve");
        m_points.clear();
        m_drag = Drag::None;
      }
      m_view.update();
      return true;
    case DrawingTool::ObjectZoom:
      m_drag = Drag::Zoom;
      return true;
    case DrawingTool::ObjectPan:
      m_drag = Drag::Pan;
      m_view.setCursor(Qt::ClosedHandCursor);
      return true;
    default:
      if (IsTwoPointTool(m_tool)) {
        m_drag = Drag::Create;
        m_points = {p};
      }
      return true;
  }
}

bool CDrawingController::MouseMove(QMouseEvent* event) {
  if (m_drag == Drag::None) return false;
  const QPoint p = event->position().toPoint();
  const QPoint previous = m_last;
  m_last = p;
  switch (m_drag) {
    case Drag::Move:
    case Drag::Handle:
      if (!m_moved) {
        if ((p - m_start).manhattanLength() < kClickSlop) return true;
        if (!m_doc.BeginEdit(m_drag == Drag::Move ? "Move Objects" : "Reshape Object",
                             kChangeObjects)) {
          m_drag = Drag::None;
          return true;
        }
        m_moved = true;
      }
      ApplyShift(p - m_start);
      return true;
    case Drag::Pan:
      m_view.PanBy(p - previous);
      return true;
    default:
      m_view.update();
      return true;
  }
}

bool CDrawingController::MouseRelease(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || m_drag == Drag::None) return false;
  const QPoint p = event->position().toPoint();
  m_last = p;
  const Drag drag = m_drag;
  switch (drag) {
    case Drag::Create:
      if ((p - m_start).manhattanLength() >= kMinDrag)
        Commit(Build({m_start, p}), ToolAction(m_tool)->text().toLatin1().constData());
      m_points.clear();
      break;
    case Drag::Move:
    case Drag::Handle:
      if (m_moved) {
        ApplyShift(p - m_start);
        m_doc.EndEdit(true);
      }
      m_moved = false;
      m_original.clear();
      break;
    case Drag::Band:
      if ((p - m_start).manhattanLength() >= kMinDrag)
        SelectInBand(QRect(m_start, p).normalized(), m_shift);
      break;
    case Drag::Zoom:
      if (std::abs(p.x() - m_start.x()) >= kMinDrag && std::abs(p.y() - m_start.y()) >= kMinDrag) {
        const CDevicePoint down{m_start.x(), m_start.y()}, up{p.x(), p.y()};
        m_doc.ModifyView(kChangeData, [&](CReplicateDB& db, CGEList&) {
          return m_view.State().Zoom(db, down, up);
        });
      } else {
        m_view.ZoomAbout(p, kClickZoom);
      }
      // The zoom ends the mode; the tool stays.
      if (m_tool == DrawingTool::ObjectZoom && m_view.State().GetMode() == CPlotView::kModeNone)
        m_view.State().ToggleObjectMode(CPlotView::kModeObjectZoom);
      break;
    case Drag::Pan:
      m_view.setCursor(Qt::OpenHandCursor);
      break;
    default:
      break;
  }
  if (drag != Drag::Vertices) m_drag = Drag::None;
  m_view.update();
  return true;
}

bool CDrawingController::MouseDoubleClick(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return false;
  if (m_tool == DrawingTool::Polygon && m_drag == Drag::Vertices) {
    m_points.push_back(event->position().toPoint());
    FinishVertices();
    return true;
  }
  if (!Active() || !m_view.PreparePlot()) return false;
  const QPoint p = event->position().toPoint();
  if (m_tool == DrawingTool::Text) {
    // The text typed in the "Edit Text" dialog instead of in place.
    Cancel();
    m_textAnchor = World(p);
    CTextDlg dialog(m_attributes, std::string(), &m_view);
    if (dialog.exec() == QDialog::Accepted) {
      m_attributes.font = dialog.Values().font;
      CreateText(dialog.Text());
    }
    return true;
  }
  if (m_tool == DrawingTool::Select || m_tool == DrawingTool::SelectPoint) {
    // A double click on an object opens its attribute dialog.
    if (m_drag == Drag::Move && m_moved) return true;
    m_drag = Drag::None;
    CGraphicElement* hit = m_doc.Objects().HitTest({double(p.x()), double(p.y())}, ScreenMap());
    if (!hit) return true;
    if (!hit->selected)
      m_doc.ModifyView(kChangeObjects, [&](CReplicateDB&, CGEList& objects) {
        objects.Select(hit);
        return true;
      });
    if (hit->TypeCode() == kGEText)
      EditText();
    else if (hit->TypeCode() == kGELine || hit->TypeCode() == kGECubicBezier)
      EditLineAttributes();
    else
      EditPolygonAttributes();
    return true;
  }
  // A double click is two clicks for the other tools.
  return MousePress(event);
}

bool CDrawingController::KeyPress(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      if (m_drag != Drag::None || m_textEditor) {
        Cancel();
        return true;
      }
      if (m_tool != DrawingTool::Select) {
        SetTool(DrawingTool::Select);
        return true;
      }
      return false;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (m_tool == DrawingTool::Polygon && m_drag == Drag::Vertices) {
        FinishVertices();
        return true;
      }
      return false;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
      if (!Active() || m_drag != Drag::None || m_doc.Objects().SelectedCount() == 0) return false;
      const int k = event->key();
      Nudge(k == Qt::Key_Left    ? -1
            : k == Qt::Key_Right ? 1
                                 : 0,
            k == Qt::Key_Up     ? -1
            : k == Qt::Key_Down ? 1
                                : 0);
      return true;
    }
    default:
      return false;
  }
}

void CDrawingController::PaintOverlay(QPainter& painter) {
  if (!m_view.PreparePlot()) return;
  const CGraph& g = GraphOf(m_view);
  CQtPlotCanvas canvas(painter);
  canvas.SetAntialiasing(true);
  if (m_drag == Drag::Create) {
    if (auto e = Build({m_start, m_last})) DrawGraphicElement(canvas, g, *e);
  }
  for (const CGraphicElement* e : m_doc.Objects().PaintOrder())
    if (e->selected) DrawSelectionMarks(canvas, g, *e);
  canvas.SetAntialiasing(false);
  QPen dashed(Qt::black, 1, Qt::DashLine);
  painter.setPen(dashed);
  painter.setBrush(Qt::NoBrush);
  if (m_drag == Drag::Vertices && !m_points.empty()) {
    QPolygon poly;
    for (QPoint p : m_points) poly << p;
    poly << m_last;
    painter.drawPolyline(poly);
  } else if (m_drag == Drag::Band || m_drag == Drag::Zoom) {
    painter.drawRect(QRect(m_start, m_last).normalized());
  }
}

void CDrawingController::ExtendContextMenu(QMenu& menu, QPoint p) {
  if (Active() && m_view.PreparePlot()) {
    CGraphicElement* hit = m_doc.Objects().HitTest({double(p.x()), double(p.y())}, ScreenMap());
    if (hit && !hit->selected)
      m_doc.ModifyView(kChangeObjects, [&](CReplicateDB&, CGEList& objects) {
        objects.Select(hit);
        return true;
      });
    else if (hit)
      m_doc.ModifyView(kChangeObjects, [&](CReplicateDB&, CGEList& objects) {
        objects.Select(hit, true);
        return true;
      });
  }
  UpdateActions();
  menu.addSeparator();
  for (DrawingCommand c : {DrawingCommand::BringForward, DrawingCommand::BringToFront,
                           DrawingCommand::PushBackOne, DrawingCommand::PushToBack})
    menu.addAction(CommandAction(c));
  menu.addSeparator();
  for (DrawingCommand c : {DrawingCommand::Delete, DrawingCommand::Copy, DrawingCommand::Paste})
    menu.addAction(CommandAction(c));
  menu.addSeparator();
  for (DrawingCommand c :
       {DrawingCommand::EditLine, DrawingCommand::EditPolygon, DrawingCommand::EditText})
    menu.addAction(CommandAction(c));
}

// ---------------------------------------------------------------------------
// Commands.

void CDrawingController::Nudge(int dx, int dy) {
  if (!m_view.PreparePlot() || m_doc.Objects().SelectedCount() == 0) return;
  const CGraph& g = GraphOf(m_view);
  m_doc.Modify("Nudge Objects", kChangeObjects, [&](CReplicateDB&, CGEList& objects) {
    for (int i = 0; i < objects.GetCount(); ++i) {
      CGraphicElement& e = objects.At(i);
      if (!e.selected) continue;
      std::vector<CPoint3> points = e.GetEndPoints();
      for (CPoint3& p : points) p = ShiftPoint(g, p, QPoint(dx, dy));
      e.SetEndPoints(points);
    }
    return true;
  });
}

void CDrawingController::EditLineAttributes() {
  CDrawingAttributes values = m_attributes;
  if (const CGraphicElement* e = m_doc.Objects().Current()) {
    values.lineColour = e->lineColour;
    values.lineWidth = e->lineWidth;
    if (const auto* line = dynamic_cast<const CSLine*>(e)) {
      values.lineStyle = line->lineStyle;
      values.arrowMode = line->arrowMode;
    }
  }
  CLineAttributesDlg dialog(values, &m_view);
  if (dialog.exec() != QDialog::Accepted) return;
  const CDrawingAttributes v = dialog.Values();
  m_attributes.lineColour = v.lineColour;
  m_attributes.lineWidth = v.lineWidth;
  m_attributes.lineStyle = v.lineStyle;
  m_attributes.arrowMode = v.arrowMode;
  if (m_doc.Objects().SelectedCount() == 0) return;
  m_doc.Modify("Line Attributes", kChangeObjects, [&](CReplicateDB&, CGEList& objects) {
    for (int i = 0; i < objects.GetCount(); ++i) {
      CGraphicElement& e = objects.At(i);
      if (!e.selected) continue;
      e.lineColour = v.lineColour;
      e.lineWidth = v.lineWidth;
      if (auto* line = dynamic_cast<CSLine*>(&e)) {
        line->lineStyle = v.lineStyle;
        line->arrowMode = v.arrowMode;
      }
    }
    return true;
  });
}

void CDrawingController::EditPolygonAttributes() {
  CDrawingAttributes values = m_attributes;
  bool transparent = false;
  if (const CGraphicElement* e = m_doc.Objects().Current()) {
    values.lineColour = e->lineColour;
    values.lineWidth = e->lineWidth;
    values.fillColour = e->fillColour;
    transparent = e->transparent != 0;
  }
  CPolygonAttributesDlg dialog(values, transparent, &m_view);
  if (dialog.exec() != QDialog::Accepted) return;
  const CDrawingAttributes v = dialog.Values();
  const bool clear = dialog.Transparent();
  m_attributes.lineColour = v.lineColour;
  m_attributes.lineWidth = v.lineWidth;
  m_attributes.fillColour = v.fillColour;
  if (m_doc.Objects().SelectedCount() == 0) return;
  m_doc.Modify("Polygon Attributes", kChangeObjects, [&](CReplicateDB&, CGEList& objects) {
    for (int i = 0; i < objects.GetCount(); ++i) {
      CGraphicElement& e = objects.At(i);
      if (!e.selected) continue;
      e.lineColour = v.lineColour;
      e.lineWidth = v.lineWidth;
      e.fillColour = v.fillColour;
      e.transparent = clear ? 1 : 0;
    }
    return true;
  });
}

void CDrawingController::EditText() {
  // The current object when it is text, otherwise the first selected text.
  const CText* target = dynamic_cast<const CText*>(m_doc.Objects().Current());
  if (!target || !target->selected) {
    target = nullptr;
    for (const auto& e : m_doc.Objects().Objects())
      if (e->selected && (target = dynamic_cast<const CText*>(e.get()))) break;
  }
  CDrawingAttributes values = m_attributes;
  if (target) values.font = target->font;
  CTextDlg dialog(values, target ? target->text : std::string(), &m_view);
  dialog.text->setEnabled(target != nullptr);
  if (dialog.exec() != QDialog::Accepted) return;
  const CDrawingAttributes v = dialog.Values();
  m_attributes.font = v.font;
  if (!target) return;
  const int index = IndexOf(target);
  const std::string text = dialog.Text();
  m_doc.Modify("Edit Text", kChangeObjects, [&](CReplicateDB&, CGEList& objects) {
    for (int i = 0; i < objects.GetCount(); ++i) {
      auto* t = dynamic_cast<CText*>(&objects.At(i));
      if (!t || !t->selected) continue;
      t->font = v.font;
      t->SetTextSize(v.font.font.height, v.font.font.width);
      if (i == index && !text.empty()) t->text = text;
    }
    return true;
  });
}

void CDrawingController::DepthCommand(DrawingCommand c) {
  if (!m_doc.Objects().Current()) return;
  const QString name = CommandAction(c)->text();
  m_doc.Modify(name.toStdString(), kChangeObjects, [c](CReplicateDB&, CGEList& objects) {
    switch (c) {
      case DrawingCommand::BringForward:
        return objects.BringForward();
      case DrawingCommand::BringToFront:
        return objects.BringToFront();
      case DrawingCommand::PushBackOne:
        return objects.PushBackOne();
      case DrawingCommand::PushToBack:
        return objects.PushToBack();
      default:
        return false;
    }
  });
}

void CDrawingController::DeleteSelected() {
  if (m_doc.Objects().SelectedCount() == 0) return;
  m_doc.Modify("Delete Objects", kChangeObjects,
               [](CReplicateDB&, CGEList& objects) { return objects.DeleteSelected() > 0; });
}

void CDrawingController::CopySelected() {
  const CGraphicElement* current = m_doc.Objects().Current();
  if (!current) return;
  // The system clipboard gets it too, so that it pastes into another project.
  auto* mime = new QMimeData;
  mime->setData(QString::fromLatin1(kDrawingMimeType),
                QByteArray::fromStdString(ObjectBytes(*current)));
  QApplication::clipboard()->setMimeData(mime);
  m_doc.ModifyView(0, [](CReplicateDB&, CGEList& objects) { return objects.Copy(); });
  emit m_view.statusMessage(tr("The object was copied."));
}

void CDrawingController::Paste() {
  const QMimeData* mime = QApplication::clipboard()->mimeData();
  const QString format = QString::fromLatin1(kDrawingMimeType);
  if (mime && mime->hasFormat(format)) {
    std::unique_ptr<CGraphicElement> object = ObjectFromBytes(mime->data(format).toStdString());
    if (!object) {
      ShowMessage("The clipboard holds a drawing object that cannot be read; nothing was pasted.");
      return;
    }
    m_doc.Modify("Paste", kChangeObjects, [&](CReplicateDB&, CGEList& objects) {
      objects.ClearSelection();
      objects.Select(objects.Add(std::move(object)));
      return true;
    });
    return;
  }
  m_doc.Modify("Paste", kChangeObjects,
               [](CReplicateDB&, CGEList& objects) { return objects.Paste(); });
}

// ---------------------------------------------------------------------------

QToolBar* CreateDrawingToolBar(QWidget* parent, COLMView& view) {
  CDrawingController& c = CDrawingController::Of(view);
  auto* bar = new QToolBar(QObject::tr("Drawing"), parent);
  bar->setObjectName(QStringLiteral("DrawingToolBar"));
  for (DrawingTool t : {DrawingTool::Select, DrawingTool::SelectPoint, DrawingTool::FilledRectangle,
                        DrawingTool::FilledCircle, DrawingTool::TransparentRectangle,
                        DrawingTool::TransparentCircle, DrawingTool::Polygon})
    bar->addAction(c.ToolAction(t));

  // The specialized shapes: a button that draws the chosen shape, with a
  // grid of the shapes under its arrow.
  auto* shapes = new QToolButton(bar);
  shapes->setObjectName(QStringLiteral("SpecializedShapes"));
  shapes->setDefaultAction(c.ToolAction(DrawingTool::Shape));
  shapes->setPopupMode(QToolButton::MenuButtonPopup);
  auto* menu = new QMenu(shapes);
  auto* grid = new QWidget(menu);
  auto* layout = new QGridLayout(grid);
  layout->setSpacing(1);
  layout->setContentsMargins(2, 2, 2, 2);
  for (int shape = 1; shape <= kShapeCount; ++shape) {
    auto* b = new QToolButton(grid);
    b->setObjectName(QStringLiteral("Shape%1").arg(shape));
    b->setIcon(ShapeIcon(shape));
    b->setAutoRaise(true);
    b->setToolTip(QObject::tr("Shape %1").arg(shape));
    b->setAccessibleName(b->toolTip());
    layout->addWidget(b, (shape - 1) / kShapeColumns, (shape - 1) % kShapeColumns);
    QObject::connect(b, &QToolButton::clicked, &c, [&c, menu, shape] {
      c.SetShapeNumber(shape);
      c.ToolAction(DrawingTool::Shape)->setIcon(ShapeIcon(shape));
      c.SetTool(DrawingTool::Shape);
      menu->close();
    });
  }
  auto* holder = new QWidgetAction(menu);
  holder->setDefaultWidget(grid);
  menu->addAction(holder);
  shapes->setMenu(menu);
  bar->addWidget(shapes);

  for (DrawingTool t :
       {DrawingTool::Line, DrawingTool::Arrow, DrawingTool::Text, DrawingTool::Bezier})
    bar->addAction(c.ToolAction(t));
  for (DrawingCommand k :
       {DrawingCommand::EditLine, DrawingCommand::EditPolygon, DrawingCommand::EditText})
    bar->addAction(c.CommandAction(k));
  bar->addAction(c.ToolAction(DrawingTool::ObjectZoom));
  bar->addAction(c.CommandAction(DrawingCommand::ZoomOut));
  bar->addAction(c.ToolAction(DrawingTool::ObjectPan));
  return bar;
}

QList<QAction*> DrawingEditActions(COLMView& view) {
  return CDrawingController::Of(view).EditActions();
}

}  // namespace olm
