#pragma once
// The state of the plot view, free of any widget: the four axis-kind graphs
// and the current kind, the plot kind, the interaction mode, the mouse
// points and the hide-graph switch, with the view's plot commands.  The
// desktop view binds its menu, toolbar and mouse to these.
//
// Commands return true when the view must repaint (and, where noted, when
// the document changed and must be marked modified).
//
// A zoom whose two corners share a device row or column would collapse the
// window to a line; it is ignored (the mode still returns to none).
#include <array>
#include <memory>

#include "plot/Graph.hpp"
#include "plot/PlotScene.hpp"

namespace olm {

class CPlotView {
 public:
  // Interaction modes (toolbar buttons toggle them).
  enum Mode {
    kModeNone = 0,
    kModeZoom = 1,
    kModePointCoordinates = 2,
    kModeMoveCurve = 3,
    kModeObjectZoom = 4,
    kModeObjectPan = 5,
  };

  CPlotView();

  // The graph of the current axis kind, and of any kind.
  CGraph& Graph() { return *m_graphs[static_cast<size_t>(m_axisKind)]; }
  const CGraph& Graph() const { return *m_graphs[static_cast<size_t>(m_axisKind)]; }
  CGraph& Graph(int kind) { return *m_graphs[static_cast<size_t>(kind)]; }

  int GetAxisKind() const { return m_axisKind; }
  // "Graph: Linear" (0) .. "Graph: Log X - Log Y" (3).  False for another
  // number (the kind stays).
  bool SetAxisKind(int kind);

  int GetPlotKind() const { return m_plotKind; }
  void SetPlotKind(int kind) { m_plotKind = kind; }

  int GetMode() const { return m_mode; }
  // "Zoom in": zoom mode, or back to none when already zooming.
  void ToggleZoomMode() { ToggleMode(kModeZoom); }
  // "Get point coordinates".
  void TogglePointMode() { ToggleMode(kModePointCoordinates); }
  // Drawing-object zoom (4) and pan (5).
  void ToggleObjectMode(int mode);
  // Whether "Move curve (Raw data)" may enter its mode: only while the
  // database is neither smoothed nor fitted.
  static bool CanMoveCurves(const CReplicateDB& db);
  // "Move curve (Raw data)": enters mode 3 when allowed (false, nothing
  // changed, otherwise); pressed again it leaves the mode, returns to the
  // raw-data plot and restores the full extent as "Zoom out" does.
  bool ToggleMoveCurveMode(CReplicateDB& db);

  // The zoom of two device corners (mouse down and up in zoom mode): each is
  // converted to world values and clamped to the window; the new plot limits
  // (stored as floats) span them.  The mode returns to none.  True when the
  // plot limits changed.
  bool Zoom(CReplicateDB& db, CDevicePoint down, CDevicePoint up);
  // "Zoom out": the saved full extent over the plot limits.
  void ZoomOut(CReplicateDB& db);
  // "Show X-axis" / "Show Y-axis": flip the zero-line switches.
  void ToggleXAxis(CReplicateDB& db);
  void ToggleYAxis(CReplicateDB& db);
  // "Toggle graph display".
  void ToggleGraphDisplay() { m_hideGraph = !m_hideGraph; }
  bool IsGraphHidden() const { return m_hideGraph; }
  // "Resize the plots": extents recomputed and the plot limits forced to
  // them.  The document is then modified.
  void ResizePlots(CReplicateDB& db);

  // The paint options of this view's state.
  CPlotPaintOptions PaintOptions() const;
  // Paints the document with the current graph.
  CPlotPaintResult Paint(IPlotCanvas& canvas, const CDeviceRect& rect, const CReplicateDB& db,
                         const CGEList& objects, CPlotPaintOptions options);
  CPlotPaintResult Paint(IPlotCanvas& canvas, const CDeviceRect& rect, const CReplicateDB& db,
                         const CGEList& objects) {
    return Paint(canvas, rect, db, objects, PaintOptions());
  }

  // Mouse points the view keeps (client coordinates).
  CDevicePoint mouseDown, mouseUp, lastRightClick;

 private:
  void ToggleMode(int mode) { m_mode = m_mode == mode ? kModeNone : mode; }

  std::array<std::unique_ptr<CGraph>, CGraph::kAxisKinds> m_graphs;
  int m_axisKind = CGraph::kLinear;
  int m_plotKind = kRawDataPlot;
  int m_mode = kModeNone;
  bool m_hideGraph = false;
};

}  // namespace olm
