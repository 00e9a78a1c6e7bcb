#pragma once
// A processed project of several replicates with annotation objects of all
// seven kinds, for round-trip tests and seed files.
#include <cmath>

#include "TestSupport.hpp"
#include "plot/Project.hpp"

namespace olm::test {

// Three replicates (the second inactive and of three columns), zones as
// given, processed; then the fitted curves, coefficients, outliers, best-fit
// curve, report flags and plot settings filled in as a fitted project holds
// them.  pointsPerReplicate controls the size.
inline void FillProcessedProject(CProject& project, int pointsPerReplicate = 40) {
  CReplicateDB& db = project.Database();
  db.title = "Round trip";
  for (int r = 1; r <= 3; ++r) {
    const int slot = db.AddReplicate();
    CReplicate& rep = db.Replicate(slot);
    const int cols = r == 2 ? 3 : 2;
    rep.SetTitle("Specimen " + std::to_string(r) + " \xE9");  // Latin-1 byte kept as is
    rep.columnCount = cols;
    rep.ResizeColumnTexts(cols);
    for (int c = 1; c <= cols; ++c) {
      rep.headings(c) = "Column " + std::to_string(c);
      rep.units(c) = c == 1 ? "mm" : "N";
    }
    rep.SetXYColumns(1, cols);
    rep.pointCount = pointsPerReplicate;
    rep.raw.SetSize(pointsPerReplicate, cols);
    for (int i = 1; i <= pointsPerReplicate; ++i) {
      const double x = 0.1 * (i - 1);
      rep.raw(i, 1) = x;
      if (cols == 3) rep.raw(i, 2) = i;
      rep.raw(i, cols) = r * std::sin(x) + 0.01 * i;
    }
    rep.zoneCount = 2;
    const double mid = 0.1 * (pointsPerReplicate / 2), end = 0.1 * (pointsPerReplicate - 1);
    rep.SetZoneStart(1, 0.0);
    rep.SetZoneEnd(1, mid);
    rep.SetZoneStart(2, mid);
    rep.SetZoneEnd(2, end);
    rep.Zone(1).smoothing = {1, 5, 3, kSmoothNone};
    rep.Zone(2).tolerance = 1e-12;
    db.plotSettings.SetShown(slot, kCurveRaw, true);
  }
  db.Replicate(2).SetActive(false);
  db.ComputeExtents(true);
  db.RefreshPlotLimits(false);
  if (!db.Process()) return;

  for (int r = 1; r <= 3; ++r) {
    CReplicate& rep = db.Replicate(r);
    if (!rep.IsActive()) continue;
    rep.fitted = true;
    rep.fitData.Assign(rep.smoothedData);
    for (int z = 1; z <= rep.zoneCount; ++z) {
      rep.Zone(z).fit.type = z == 1 ? kFitPolynomial : kFitPowerLaw;
      rep.Zone(z).fit.degree = 2;
      for (int c = 1; c <= 3; ++c) rep.coefficients(c, z) = 0.5 * c + z;
      rep.rSquared(z) = 0.99 - 0.01 * z;
      rep.zoneFittedArea(z) = 1.5 * z;
      rep.zoneInts(z) = z;
    }
    rep.outliers.SetSize(2, rep.columnCount);
    rep.outliers.Set(0.0);
    rep.outliers(1, 1) = 0.3;
    rep.outliers(2, rep.columnCount) = -7.0;
    rep.outlierCount = 2;
    db.plotSettings.SetShown(r, kCurveFitted, true);
  }
  db.bestFitX.SetSize(4);
  db.bestFitY.SetSize(4);
  for (int i = 1; i <= 4; ++i) {
    db.bestFitX(i) = i;
    db.bestFitY(i) = i * i;
  }
  db.storedDoubles = {1, 2, 3, 4, 5, 6};
  db.SetReportFlag(1, true);
  db.SetReportFlag(6, true);
  db.plotSettings.graphTitle = "Tensile tests";
  db.plotSettings.xAxisLabel = "Strain";
  db.plotSettings.Style(2).markerKind = 3;
  db.ComputeExtents(true);

  CGEList& objects = project.Objects();
  auto line = std::make_unique<CSLine>();
  line->SetEndPoints({{0.5, 1.0, 0}, {1.5, 0.2, 0}});
  line->arrowMode = kArrowEnd;
  line->endArrow = {12, 8, 1, 0, 0};
  line->lineColour = 0x0000FF;
  objects.Add(std::move(line));
  auto rect = std::make_unique<CRectangle>();
  rect->SetEndPoints({{0.1, 0.1, 0}, {0.9, 0.6, 0}});
  rect->transparent = 1;
  rect->depth = 2;
  objects.Add(std::move(rect));
  auto circle = std::make_unique<CCircle>();
  circle->SetEndPoints({{2, 0, 0}, {2.5, 0.5, 0}});
  circle->fillColour = 0x00FF00;
  circle->value1 = 0.25;
  objects.Add(std::move(circle));
  auto text = std::make_unique<CText>();
  text->text = "Necking starts here";
  text->SetEndPoints({{3, 0.5, 0}});
  text->SetTextSize(-16, 0);
  text->font.font.faceName = "DejaVu Sans";
  text->name = "label";
  objects.Add(std::move(text));
  auto bezier = std::make_unique<CCubicBezier>();
  bezier->SetEndPoints({{0, 0, 0}, {1, 2, 0}, {2, -1, 0}, {3, 1, 0}});
  bezier->value = 5;
  objects.Add(std::move(bezier));
  auto polygon = std::make_unique<CPolygon>();
  polygon->SetEndPoints({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5, 1.5, 0}});
  polygon->depth = 1;
  objects.Add(std::move(polygon));
  auto shape = std::make_unique<CWingDing>();
  shape->shape = 9;
  shape->SetEndPoints({{1, 1, 0}, {1.2, 1.3, 0}});
  objects.Add(std::move(shape));
}

}  // namespace olm::test
