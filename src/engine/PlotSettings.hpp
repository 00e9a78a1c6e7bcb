#pragma once
// The plot settings record: everything the user chooses about the look of the
// main plot.  It lives inside the database, is cleared with it and is stored in
// the project file.  Several fields have no defined meaning beyond being
// stored and reloaded unchanged; they are kept under neutral names.
#include <array>
#include <cstdint>
#include <string>

#include "engine/Methods.hpp"

namespace olm {

// A logical font as the project file stores it.
struct CLogFont {
  int32_t height = 0;
  int32_t width = 0;
  int32_t escapement = 0;
  int32_t orientation = 0;
  int32_t weight = 0;
  uint8_t italic = 0;
  uint8_t underline = 0;
  uint8_t strikeOut = 0;
  uint8_t charSet = 0;
  uint8_t outPrecision = 0;
  uint8_t clipPrecision = 0;
  uint8_t quality = 0;
  uint8_t pitchAndFamily = 0;
  std::string faceName;

  bool operator==(const CLogFont&) const = default;
};

// One row of the per-curve style table.
struct CCurveStyle {
  int32_t colourIndex = 0;  // into the palette
  int32_t markerKind = 0;
  int32_t lineStyleIndex = 2;  // into the pen-style table
  int32_t lineWidth = 2;
  int32_t display = 0;  // non-zero: drawn, listed in the legend, checked in the tree

  bool operator==(const CCurveStyle&) const = default;
};

// A text entry with its integer companion (stored, meaning not fixed).
struct CTextEntry {
  std::string text;
  int32_t value = 0;
  bool operator==(const CTextEntry&) const = default;
};

class CPlotSettings {
 public:
  static constexpr int kCurveRows = 60;  // 20 replicates x 3 kinds
  static constexpr int kStoredCurveRows = 61;

  CPlotSettings() { Reset(); }

  // Every field back to its default.
  void Reset();

  // Row (1..60) of replicate r (1..20) and curve kind k.
  static int CurveRow(int replicate, int kind) { return 3 * (replicate - 1) + kind + 1; }
  CCurveStyle& Style(int row) { return curveStyles[static_cast<size_t>(row - 1)]; }
  const CCurveStyle& Style(int row) const { return curveStyles[static_cast<size_t>(row - 1)]; }

  // The display switch of replicate r's curve of the kind; replicates outside
  // 1..20 are never shown.
  bool IsShown(int replicate, int kind) const;
  void SetShown(int replicate, int kind, bool shown);
  // True when any of the replicate's three curves is shown.
  bool IsReplicateShown(int replicate) const;

  // Refreshes the plot limits from data extents: when the four plot limits
  // equal the four model limits (the user never changed them), or when forced,
  // both are set to the extents.
  void RefreshPlotLimits(double xMin, double xMax, double yMin, double yMax, bool force);

  bool operator==(const CPlotSettings&) const = default;

  // Stored fields, in file order.
  std::string graphTitle;                           // 1
  int32_t graphTitleColour = 0;                     // 2
  CLogFont graphTitleFont;                          // 3
  CTextEntry entry2;                                // 4, 5
  std::string xAxisLabel;                           // 6
  int32_t xAxisLabelColour = 0;                     // 7
  CLogFont xAxisLabelFont;                          // 8
  CTextEntry entry4;                                // 9, 10
  std::string yAxisLabelLeft;                       // 11
  int32_t yAxisLabelLeftColour = 0;                 // 12
  std::string yAxisLabelRight;                      // 13
  int32_t yAxisLabelRightColour = 0;                // 14
  float rightAxisScale = 0.0f;                      // 15
  CTextEntry entry7;                                // 16, 17
  CLogFont thirdFont;                               // 18
  CTextEntry entry8;                                // 19, 20
  std::array<CTextEntry, 3> entries9to11;           // 21-26
  std::array<CCurveStyle, kCurveRows> curveStyles;  // 27 (61 rows on disk)
  std::array<int32_t, 12> layout{};                 // 28
  std::array<int32_t, 3> further{};                 // 29
  // 30: plot x min, plot x max, plot y min, plot y max, then the model limits.
  float plotXMin = 0, plotXMax = 0, plotYMin = 0, plotYMax = 0;
  float modelXMin = 0, modelXMax = 0, modelYMin = 0, modelYMax = 0;
  std::string xAxisFormat;  // 31, at most 20 characters
  std::string yAxisFormat;  // 32
  // 33: show markers, x gridlines, y gridlines, legend, three further, ticks outside.
  std::array<int32_t, 8> displayFlags{};
  // 34: left and top margins (0..0.2), right and bottom edges (0.8..1.0).
  std::array<double, 4> borders{};
  int32_t xDivisions = 5;      // 35, 5..25
  int32_t yDivisions = 5;      // 36, 5..25
  int32_t markerSize = 5;      // 37, 2..10
  int32_t xLabelRotation = 0;  // 38, tenths of a degree

  // Not stored; reset with the record.
  std::array<uint32_t, 16> palette{};    // 0x00BBGGRR
  std::array<int32_t, 5> penStyles{};    // solid, dash, dot, dash-dot, dash-dot-dot
  std::array<int32_t, 4> placement{};    // 150, 850, 100, 900
  std::array<int32_t, 5> smallTable{};   // 1..5
  std::array<int32_t, 11> indexTable{};  // 0..10

 private:
  struct NoReset {};
  // Member defaults only; Reset() completes them.
  explicit CPlotSettings(NoReset) {}
};

}  // namespace olm
