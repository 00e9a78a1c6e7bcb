#pragma once
// The plot view's curve operations, free of any widget: picking a curve
// under the mouse, "Delete Curve", the typed shift of the "Move Curve"
// dialog, the drag shift of the move-curve mode and the best-fit request.
//
// Messages and questions go through the user-interface routine.  Each
// operation returns whether the document changed (the caller then marks it
// modified and updates the views).
#include <optional>
#include <string>
#include <vector>

#include "engine/BestFit.hpp"
#include "engine/Database.hpp"
#include "plot/Graph.hpp"

namespace olm {

class CPlotView;

// The world size of one pixel at a device point: the distance to the
// neighbouring pixels' world points, the larger of the two sides in each
// direction (the two differ on a log axis).
struct CPickTolerance {
  double x = 0.0, y = 0.0;
};
CPickTolerance OnePixelTolerance(const CGraph& graph, int px, int py);

// The replicate whose shown curve passes within one pixel of the device
// point (nearest point first; raw, then smoothed, then fitted curves), or 0.
int HitTestCurve(const CReplicateDB& db, const CGraph& graph, CDevicePoint p);

// "Delete Curve" at the last right-button point: "Cannot find a curve" when
// nothing is there; otherwise the question "Deleting curve: %d." and, on
// Yes, the replicate leaves processing (its active flag is cleared; its data
// stay) and the extents and plot limits are recomputed.
bool DeleteCurveAt(CReplicateDB& db, const CGraph& graph, CDevicePoint p);

// The rules of the "Move Curve" dialog: a replicate ("1" .. "N"), offsets X
// and Y, and the one-pixel accuracy shown read-only.
class CCurveMoveForm {
 public:
  int replicate = 0;  // 0: none chosen
  double x = 0.0, y = 0.0;
  CPickTolerance accuracy;

  // Opened by a click in point-coordinates mode: X and Y are the clicked
  // world point, the replicate the one found there (none when none is).
  void OpenAt(const CReplicateDB& db, const CGraph& graph, CDevicePoint p);
  // The "Replicate" choices.
  static std::vector<std::string> ReplicateChoices(const CReplicateDB& db);
  // The "1-pixel accuracy" text.
  std::string AccuracyText() const;
  // "Apply": adds X and Y to every raw point of the replicate, clears the
  // database's smoothed and fitted flags and recomputes the extents and plot
  // limits.  Without a replicate chosen shows "Choose the replicate to move."
  // and changes nothing.  The dialog stays open.
  bool Apply(CReplicateDB& db) const;
};

// Dragging a replicate's raw curve in the move-curve mode.
class CCurveDrag {
 public:
  // Left button down: the replicate under the point, or "Cannot find a
  // curve".  True when a drag started.
  bool Press(const CReplicateDB& db, const CGraph& graph, CDevicePoint p);
  // Mouse move while dragging: the world distance from the previous point
  // is added to every raw point of the replicate and the extents are
  // recomputed (those of the other replicates are gathered at the first
  // move only: they do not change during the drag).  True when the curve
  // moved.
  bool Move(CReplicateDB& db, const CGraph& graph, CDevicePoint p);
  // Left button up: ends the drag; true when one was under way (the
  // document is then modified).
  bool Release();

  bool IsDragging() const { return m_dragging; }
  int Replicate() const { return m_replicate; }

 private:
  bool m_dragging = false;
  int m_replicate = 0;
  CDevicePoint m_previous;
  std::optional<CExtents> m_others;  // of the other replicates, from the first move
};

// Adds dx and dy to the x and y values of every raw point of a replicate.
void ShiftRawCurve(CReplicateDB& db, int replicate, double dx, double dy);

// "Best fit plot" after the dialog's "Proceed".
enum class BestFitOutcome {
  kRefused,  // a field failed its check: the dialog stays, nothing changed
  kFailed,   // "Best fit procedure was not successful"
  kBuilt,    // "Best fit procedure was successful"; the view shows the best-fit plot
};
// The document is modified unless the request was refused.
BestFitOutcome RequestBestFit(CReplicateDB& db, const CBestFitForm& form, CPlotView& view);

}  // namespace olm
