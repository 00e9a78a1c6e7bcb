#pragma once
// Drawing the annotation objects in world coordinates through a graph's
// mapping, so that they move and scale with zooming.
//
// Choices where the objects' fields leave the drawing open:
// - Lines use their own pen style (0 solid .. 4 dash-dot-dot); the other
//   shapes a solid pen.  Pens are the object's line colour and width;
//   interiors are filled with the fill colour unless the object is
//   transparent.  Lines and open curves are never filled.
// - An arrow head is value1 pixels long (12 when not positive, at most 200)
//   and value2 pixels wide on each side (a third of the length when not
//   positive); flag1 set fills it, otherwise it is drawn as two strokes.
// - Text is anchored at its top-left corner with a transparent background;
//   its font is the object's font at the object zoom (height divided by the
//   zoom), a height of 0 meaning 12 pixels.
// - The specialized shapes are drawn in the box of their two points: 1 arrow
//   right, 2 arrow left, 3 arrow up, 4 arrow down, 5 five-pointed star,
//   6 diamond, 7 triangle, 8 cross, 9 check mark, 10 hexagon, 11 ring with
//   a centre dot; any other number draws the box itself.
// - Selection marks are 7-pixel black squares on the defining points.
#include "plot/Graph.hpp"
#include "plot/GraphicElements.hpp"

namespace olm {

struct CElementDrawOptions {
  double zoom = 1.0;        // zoom of the drawing layer; text heights are divided by it
  double fontScale = 1.0;   // device pixels per screen pixel of a font height
  int lineWidthFactor = 1;  // printing line-width factor
};

void DrawGraphicElement(IPlotCanvas& canvas, const CGraph& graph, const CGraphicElement& element,
                        const CElementDrawOptions& options = {});
void DrawSelectionMarks(IPlotCanvas& canvas, const CGraph& graph, const CGraphicElement& element);

// The font a text object draws with.
CFontSpec TextObjectFont(const CText& text, double zoom, double fontScale);

// The outline of a specialized shape in the box (left, top, right, bottom);
// open shapes (cross, check mark) are returned as polylines with `closed`
// false.  Shape 11 (ring) is returned empty: it is drawn as ellipses.
std::vector<CDevicePoint> WingDingOutline(int shape, const CDeviceRect& box, bool* closed);

}  // namespace olm
