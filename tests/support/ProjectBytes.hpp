#pragma once
// Project files assembled byte by byte, field by field, for layout tests and
// for files of the older versions 0.911 and 0.912.
#include <string>

#include "ByteBuilder.hpp"

namespace olm::test {

// The default logical font of the plot settings: height, weight 700,
// quality 2, face "Arial".
inline void DefaultSettingsFont(CBytes& b, int32_t height) {
  b.I32(height).I32(0).I32(0).I32(0).I32(700);
  b.U8(0).U8(0).U8(0).U8(0).U8(0).U8(0).U8(2).U8(0);
  b.Text("Arial");
}

// The plot settings record of a freshly cleared database, fields 1 to 38.
inline std::string DefaultPlotSettingsBytes() {
  CBytes b;
  b.Text("").I32(0);
  DefaultSettingsFont(b, -30);  // 1-3 title
  b.Text("").I32(0);            // 4-5
  b.Text("").I32(0);
  DefaultSettingsFont(b, -20);                    // 6-8 x label
  b.Text("").I32(0);                              // 9-10
  b.Text("").I32(0).Text("").I32(0);              // 11-14 y labels
  b.F32(0.0f);                                    // 15
  b.Text("").I32(0);                              // 16-17
  DefaultSettingsFont(b, -20);                    // 18
  b.Text("").I32(0);                              // 19-20
  for (int k = 0; k < 3; ++k) b.Text("").I32(0);  // 21-26
  for (int row = 1; row <= 60; ++row)             // 27: colour, marker, line style, width, shown
    b.I32(row <= 4 ? row : 0).I32(0).I32(2).I32(2).I32(0);
  b.I32(0).I32(2).I32(2).I32(0).I32(10);                         // row 61
  for (int v : {10, 2, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0}) b.I32(v);  // 28
  b.I32(0).I32(0).I32(0);                                        // 29
  for (int k = 0; k < 8; ++k) b.F32(0.0f);                       // 30
  b.Text("%-g").Text("%-g");                                     // 31-32
  for (int v : {0, 1, 1, 1, 1, 1, 1, 1}) b.I32(v);               // 33
  for (double v : {0.1, 0.1, 0.9, 0.9}) b.F64(v);                // 34
  b.I32(5).I32(5).I32(5).I32(0);                                 // 35-38
  return b.Str();
}

// The 16 extents of a cleared database: x minima, x maxima, y minima, y maxima.
inline void ClearedExtents(CBytes& b) {
  for (int e = 0; e < 2; ++e) {
    for (int k = 0; k < 4; ++k) b.F64(1e20);
    for (int k = 0; k < 4; ++k) b.F64(-1e20);
  }
}

// One replicate "Specimen A": 3 points of 2 columns ("Strain" [mm/mm],
// "Stress" [MPa]; units only from version 0.912), one zone (moving median of
// 5 points, repeated twice, linear fit, Chauvenet outliers, tolerance 1e-9)
// from 0 to 2, unprocessed.
inline void SmallReplicate(CBytes& b, double version) {
  b.Text("Specimen A").U8(1);
  b.I32(3).I32(2).I32(1).I32(2).I32(0).I32(1);  // points, columns, x, y, smoothed, zones
  b.F64(0.0).F64(0.0);                          // fitted area, smoothed area
  b.Text("Strain");
  if (version >= 0.912) b.Text("mm/mm");
  b.Text("Stress");
  if (version >= 0.912) b.Text("MPa");
  b.I32(3).I32(2);  // raw matrix, column by column
  for (double v : {0.0, 1.0, 2.0, 10.0, 20.0, 15.0}) b.F64(v);
  // zone: repeats, points, order, method; fit type, degree, coefficients; outliers; tolerance
  b.I32(2).I32(5).I32(3).I32(1).I32(1).I32(1).I32(6);
  for (int k = 0; k < 6; ++k) b.F64(0.0);
  b.I32(1).F64(1e-9);
  b.U8(0).I32(0).I32(2);  // not smoothed, no smoothed data
  b.U8(0).I32(0).I32(2);  // not fitted, no fitted data
  b.I32(6).I32(5);        // coefficients
  for (int k = 0; k < 30; ++k) b.F64(0.0);
  b.I32(0).I32(2);  // no outliers
  for (int v = 0; v < 6; ++v) {
    b.I32(5);
    for (int k = 0; k < 5; ++k) b.F64(0.0);
  }
  b.I32(5);
  for (int k = 0; k < 5; ++k) b.I32(0);
  b.I32(5).F64(0.0).F64(0.0).F64(0.0).F64(0.0).F64(0.0);  // zone start
  b.I32(5).F64(2.0).F64(0.0).F64(0.0).F64(0.0).F64(0.0);  // zone end
  for (int v = 0; v < 3; ++v) {                           // R-squared, fitted area, smoothed area
    b.I32(5);
    for (int k = 0; k < 5; ++k) b.F64(0.0);
  }
}

// A whole project of the given version holding SmallReplicate, no best-fit
// curve, the default plot settings, report flags from 0.913 on (flag 2 set,
// flag 3 stored as 2, which is not 1) and no drawing objects.
inline std::string SmallProjectBytes(double version, bool withObjects = true) {
  CBytes b;
  b.F64(version).I32(1).U8(0).U8(0).U8(0);
  SmallReplicate(b, version);
  b.I32(0);  // best-fit points
  for (int k = 0; k < 6; ++k) b.F64(0.0);
  ClearedExtents(b);
  b.Append(DefaultPlotSettingsBytes());
  if (version >= 0.913)
    for (int v : {0, 1, 2, 0, 0, 0, 0, 0, 0, 0}) b.I32(v);
  if (withObjects) b.I32(0).I32(0);  // object count, greatest depth
  return b.Str();
}

}  // namespace olm::test
