#pragma once
// What the plot view draws for a database, on any canvas.
//
// The paint: the background; nothing more without replicates or without a
// visible curve.  Otherwise the plot settings are applied to the graph (the
// placement fractions, fonts, colours, titles, grid switches, divisions,
// formats), the world window is set from the plot limits, the frame laid
// out, and then, in this order: the annotation objects (back to front), the
// curves of every replicate (raw, smoothed, fitted) with their markers and
// label samples, the best-fit curve in the best-fit plot, the grid, the
// frame with the titles and axis numbers, the zero lines, and the selection
// marks of selected objects.  A hidden graph keeps only the annotations.
//
// Choices where the drawing is not fixed otherwise:
// - Curves are drawn without edge smoothing in their settings' pen: palette
//   colour, pen style and width.  As with classic cosmetic pens, a dashed or
//   dotted style applies to one-pixel curves; wider curves draw solid, so
//   the default style (dotted, width 2) draws a solid two-pixel line.
// - Markers show when the settings' "show graph markers" switch is on and
//   the curve's marker kind is 1..10 (see DrawMarker), at the marker size.
// - The plot reads three of the settings' further display switches: show
//   x-axis (the zero line y = 0), show y-axis (x = 0) and label curves.
// - Curve labels ("Raw-%d", "Smt-%d", "Fit-%d" text objects reading the
//   replicate's name and "-R", "-S" or "-F") are placed for each paint
//   before the objects are drawn, on copies: painting never changes the
//   document's objects.  Their slots are stacked in the
//   lower right corner of the frame, slot 1 on top; each label carries the
//   curve's colour and has a short sample of the curve's pen and marker
//   drawn left of it.  With the label switch off every curve label is
//   hidden.
// - The best-fit curve is drawn black, solid, three pixels wide, labelled
//   by the "Best Fit" text object.
// - Large curves are thinned for drawing (see CGraph::AppendPolyline) when
//   their pen is solid, which draws the same pixels; a dash pattern follows
//   the length of the path, so dashed and dotted curves are drawn whole.
// - Annotation objects and text are drawn with smoothed edges.
// - Printing multiplies every line width by the line-width factor and every
//   font height by the font scale.
#include <memory>
#include <string>
#include <vector>

#include "engine/Database.hpp"
#include "plot/Graph.hpp"
#include "plot/GraphicList.hpp"
#include "plot/PlotCurves.hpp"

namespace olm {

// What the view plots.  Any other kind draws no replicate.
enum PlotKind { kRawDataPlot = 0, kBestFitPlot = 2 };

inline constexpr const char* kBestFitLabel = "Best Fit";

struct CPlotPaintOptions {
  int plotKind = kRawDataPlot;
  bool hideGraph = false;
  bool thin = true;  // thin large curves to their per-column extremes
  bool printing = false;
  int lineWidthFactor = 1;     // with printing
  double fontScale = 1.0;      // multiplies the font heights
  double objectZoom = 1.0;     // zoom of the drawing layer (text heights)
  bool selectionMarks = true;  // handles of selected objects: on screen, not on paper or in files
  // Replicate filters of the curves (0: none): the view leaves a dragged
  // curve out of its background and then draws that curve alone over it.
  int skipReplicate = 0;
  int onlyReplicate = 0;
};

struct CPlotPaintResult {
  bool drewPlot = false;       // more than the background
  bool windowAccepted = true;  // false: the plot limits were refused
  int visibleCurves = 0;       // counted as the paint counts them
  size_t polylinePoints = 0;   // device points handed to the canvas for curves
};

// The visible curves of the raw-data and best-fit plots (the best-fit curve
// counts in the best-fit plot when it has points); 0 for any other kind.
int CountVisibleCurves(const CReplicateDB& db, int plotKind);

// The pen of a curve from its style row, with the cosmetic-pen rule.
CPenSpec CurvePen(const CPlotSettings& settings, int replicate, int kind);
CPenSpec BestFitPen();
// The palette colour of an index (black when outside the palette).
uint32_t PaletteColour(const CPlotSettings& settings, int index);

// Copies the settings that shape the picture into the graph.
void ApplyPlotSettings(CGraph& graph, const CPlotSettings& settings, double fontScale = 1.0);
// The font measures of the graph's fonts on the canvas.
CGraphFontMeasures MeasureGraphFonts(IPlotCanvas& canvas, const CGraph& graph);
// The font of the curve labels.
CFontSpec CurveLabelFont(double fontScale);

// The curve labels of one paint, placed for the laid-out graph without
// changing the document's objects: copies of the label objects ("Raw-%d",
// "Smt-%d", "Fit-%d", "Best Fit") carrying this paint's text, colour and
// slot, and the stored label objects the paint leaves out.
struct CCurveLabels {
  std::vector<std::unique_ptr<CText>> labels;    // shown, in slot order
  std::vector<const CGraphicElement*> replaced;  // stored objects a placed copy stands for
  std::vector<const CGraphicElement*> hidden;    // stored labels not drawn
  // The placed label of an identifier, or null when it is not shown.
  const CText* Find(const std::string& identifier) const;
};
CCurveLabels PlaceCurveLabels(const CReplicateDB& db, const CGEList& objects, const CGraph& graph,
                              IPlotCanvas& canvas, const CPlotPaintOptions& options);
// The objects a paint draws, back to front: the visible stored objects with
// the placed labels standing in for their stored objects, and the labels
// that have none.
std::vector<const CGraphicElement*> PaintOrder(const CGEList& objects, const CCurveLabels& labels);

// Draws the visible curves the options' replicate filters let through on a
// laid-out graph, in order (the best fit last, unless one replicate is asked
// for), with the label samples of `labels` when given; returns the device
// points drawn as lines.
size_t PaintCurves(IPlotCanvas& canvas, const CGraph& graph, const CReplicateDB& db,
                   const CPlotPaintOptions& options, const CCurveLabels* labels);

// Paints; reads the database and objects and changes neither.
CPlotPaintResult PaintPlot(IPlotCanvas& canvas, const CDeviceRect& rect, const CReplicateDB& db,
                           const CGEList& objects, CGraph& graph, const CPlotPaintOptions& options);

}  // namespace olm
