#pragma once
// The drawing tools of the plot view: creating, selecting, moving,
// reshaping, editing and stacking annotation objects, and the zoom and pan
// of the drawing layer.
//
// CDrawingController hooks into COLMView (IViewToolHook) and takes the left
// mouse button, the keys and the overlay painting while a drawing tool is
// chosen and the view is in none of its own modes (zoom, point
// coordinates, move curve).  Every change of the objects goes through
// COLMDoc as one undo step: creation (AddObject), a move or reshape drag
// (BeginEdit .. EndEdit with a live preview), a nudge, an attribute change,
// a depth command, a deletion and a paste (Modify).  Selection changes are
// view changes (ModifyView).
//
// Points are kept in world coordinates; a move is applied in the axes' own
// units (logarithms on a log axis), so an object keeps its shape on the
// screen on every axis kind.
#include <QLineEdit>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <array>
#include <memory>
#include <vector>

#include "app/OLMView.hpp"

class QAction;
class QActionGroup;
class QToolBar;

namespace olm {

enum class DrawingTool {
  Select,
  SelectPoint,
  FilledRectangle,
  FilledCircle,
  TransparentRectangle,
  TransparentCircle,
  Polygon,
  Shape,  // the specialized shape chosen in the fly-out
  Line,
  Arrow,
  Text,
  Bezier,
  ObjectZoom,
  ObjectPan,
};
inline constexpr int kDrawingToolCount = static_cast<int>(DrawingTool::ObjectPan) + 1;

enum class DrawingCommand {
  EditLine,
  EditPolygon,
  EditText,
  ZoomOut,
  BringForward,
  BringToFront,
  PushBackOne,
  PushToBack,
  Delete,
  Copy,
  Paste,
};
inline constexpr int kDrawingCommandCount = static_cast<int>(DrawingCommand::Paste) + 1;

// Number of specialized shapes in the fly-out, and its columns.
inline constexpr int kShapeCount = 11;
inline constexpr int kShapeColumns = 7;

// The attributes new objects get.
struct CDrawingAttributes {
  uint32_t lineColour = 0x000000;  // 0x00BBGGRR
  uint32_t fillColour = 0xC0E0F0;  // light yellow
  int32_t lineWidth = 1;
  int32_t lineStyle = 0;
  int32_t arrowMode = kArrowEnd;  // of "Line with arrow"
  CTextFont font;
};

// The private clipboard format of a copied object.
inline constexpr const char* kDrawingMimeType = "application/x-olm-drawing-object";

class CDrawingController : public QObject, public IViewToolHook, public IDocObserver {
  Q_OBJECT

 public:
  // Installs itself as the view's tool hook; owned by the view.
  CDrawingController(COLMView& view, COLMDoc& doc);
  ~CDrawingController() override;

  // The controller of a view, created on first use.
  static CDrawingController& Of(COLMView& view);

  DrawingTool Tool() const { return m_tool; }
  // Chooses a tool (and for Shape, the shape number 1..11).
  void SetTool(DrawingTool tool);
  int ShapeNumber() const { return m_shape; }
  void SetShapeNumber(int shape);

  QAction* ToolAction(DrawingTool tool) const { return m_tools[static_cast<size_t>(tool)]; }
  QAction* CommandAction(DrawingCommand c) const { return m_commands[static_cast<size_t>(c)]; }
  // The commands the main window puts in its Edit menu, in order.
  QList<QAction*> EditActions() const;

  CDrawingAttributes& Attributes() { return m_attributes; }

  // The commands, as the actions run them.
  void EditLineAttributes();
  void EditPolygonAttributes();
  void EditText();
  void DepthCommand(DrawingCommand c);
  void DeleteSelected();
  void CopySelected();
  void Paste();
  // Moves the selected objects by a screen distance (one undo step).
  void Nudge(int dx, int dy);

  // The in-place text editor of the Text tool while it is open.
  QLineEdit* TextEditor() const { return m_textEditor; }

  // IViewToolHook
  bool MousePress(QMouseEvent* event) override;
  bool MouseMove(QMouseEvent* event) override;
  bool MouseRelease(QMouseEvent* event) override;
  bool MouseDoubleClick(QMouseEvent* event) override;
  bool KeyPress(QKeyEvent* event) override;
  void PaintOverlay(QPainter& painter) override;
  void ExtendContextMenu(QMenu& menu, QPoint p) override;

  void DocumentChanged(unsigned changes) override;

 private:
  enum class Drag { None, Create, Vertices, Move, Handle, Band, Pan, Zoom };

  void CreateActions();
  void UpdateActions();
  // Whether the hook takes mouse events now.
  bool Active() const;
  void Cancel();
  CScreenMap ScreenMap() const;
  CPoint3 World(QPoint p) const;
  QPoint Screen(const CPoint3& p) const;
  // The object (index) and defining point under p among the selected
  // objects' handles; false when none.
  bool HandleAt(QPoint p, int* object, int* point) const;
  int IndexOf(const CGraphicElement* e) const;
  // The object the current tool creates from its screen points, or null.
  std::unique_ptr<CGraphicElement> Build(const std::vector<QPoint>& points) const;
  void Commit(std::unique_ptr<CGraphicElement> object, const char* name);
  void FinishVertices();
  void SelectInBand(QRect band, bool add);
  // Applies the screen shift to the drag's original points in EditObjects().
  void ApplyShift(QPoint delta);
  void OpenTextEditor(QPoint p);
  void CommitText();
  void CreateText(const std::string& text);

  COLMView& m_view;
  COLMDoc& m_doc;
  DrawingTool m_tool = DrawingTool::Select;
  int m_shape = 4;
  CDrawingAttributes m_attributes;
  std::array<QAction*, kDrawingToolCount> m_tools{};
  std::array<QAction*, kDrawingCommandCount> m_commands{};
  QActionGroup* m_toolGroup = nullptr;

  Drag m_drag = Drag::None;
  QPoint m_start, m_last;
  bool m_moved = false;
  bool m_shift = false;
  std::vector<QPoint> m_points;  // creation points (screen)
  // Move and reshape: the objects' indices and their points when the drag
  // began; the handle's object and point.
  std::vector<std::pair<int, std::vector<CPoint3>>> m_original;
  int m_handlePoint = -1;
  QPointer<QLineEdit> m_textEditor;
  CPoint3 m_textAnchor;
};

// The drawing toolbar: every tool in its order (checkable, exclusive), the
// specialized-shape fly-out, the attribute commands and the drawing-layer
// zoom and pan.
QToolBar* CreateDrawingToolBar(QWidget* parent, COLMView& view);

// The Edit-menu commands of the drawing objects: the depth commands,
// "Delete", "Copy" and "Paste" (standard shortcuts while the view has the
// focus).
QList<QAction*> DrawingEditActions(COLMView& view);

}  // namespace olm
