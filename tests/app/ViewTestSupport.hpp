#pragma once
// A document with the three sample tensile tests imported (unprocessed),
// and small helpers for the view tests.
#include <QApplication>
#include <QImage>
#include <string>

#include "TestSupport.hpp"
#include "document/Document.hpp"
#include "editing/ReadRawDataForm.hpp"
#include "plot/PlotCurves.hpp"

namespace olm::test {

inline std::string SamplePath(const std::string& name) {
  return std::string(OLM_SAMPLES_DIR) + "/" + name;
}

// Imports samples 1 to count as replicates 1 to count (x strain, y stress).
inline bool ImportSamples(COLMDoc& doc, int count = 3) {
  struct Sample {
    const char* file;
    bool comma, tab;
    int headerLines;
  };
  static const Sample kSamples[] = {{"tensile_1.csv", true, false, 2},
                                    {"tensile_2.dat", false, false, 2},
                                    {"tensile_3.txt", false, true, 3}};
  for (int i = 0; i < count; ++i) {
    CReadRawDataForm form;
    form.comma = kSamples[i].comma;
    form.tab = kSamples[i].tab;
    form.blank = true;
    form.columns = 3;
    form.xColumn = 2;
    form.yColumn = 3;
    form.headerLines = kSamples[i].headerLines;
    form.dataId = "Specimen " + std::to_string(i + 1);
    form.path = SamplePath(kSamples[i].file);
    if (!doc.Import(form)) return false;
  }
  return true;
}

// The device point of a replicate's raw point (1-based row) in a graph.
inline CDevicePoint RawPointAt(const COLMDoc& doc, const CGraph& graph, int replicate, size_t i) {
  const CCurveView c = CurvePoints(doc.Database(), replicate, kCurveRaw);
  return graph.WorldToDevice(c.x[(i - 1) * c.stride], c.y[(i - 1) * c.stride]);
}

// The row of a replicate's largest raw y.
inline size_t PeakRow(const COLMDoc& doc, int replicate) {
  const CCurveView c = CurvePoints(doc.Database(), replicate, kCurveRaw);
  size_t best = 0;
  for (size_t i = 1; i < c.count; ++i)
    if (c.y[i * c.stride] > c.y[best * c.stride]) best = i;
  return best + 1;
}

// Pixels of exactly one colour.
inline int CountColour(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++n;
  return n;
}

}  // namespace olm::test
