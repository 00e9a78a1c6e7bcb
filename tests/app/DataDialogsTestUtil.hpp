#pragma once
// Shared set-up of the data dialogs' widget tests: documents with replicates
// read from the samples or made up in memory.
#include <string>
#include <vector>

#include "TestSupport.hpp"
#include "document/Document.hpp"

namespace olm::test {

inline std::string SamplePath(const std::string& name) {
  return std::string(OLM_SAMPLES_DIR) + "/" + name;
}

// The import settings of a file, as `olm reduce` takes them.
struct CImportCase {
  std::string path;
  int columns, x, y, headers;
  CDelimiterSet delimiters;
  bool decimalComma = false;
};

inline CReadRawDataForm FormOf(const CImportCase& c, const std::string& title = "t") {
  CReadRawDataForm form;
  form.blank = c.delimiters.blank;
  form.comma = c.delimiters.comma;
  form.tab = c.delimiters.tab;
  form.other = c.delimiters.other ? std::string(1, c.delimiters.other) : std::string();
  form.columns = c.columns;
  form.xColumn = c.x;
  form.yColumn = c.y;
  form.headerLines = c.headers;
  form.decimalComma = c.decimalComma;
  form.path = c.path;
  form.dataId = title;
  return form;
}

// The three sample tensile tests as the demo reads them.
inline std::vector<CImportCase> SampleCases() {
  return {{SamplePath("tensile_1.csv"), 3, 2, 3, 2, {false, true, false, '\0'}},
          {SamplePath("tensile_2.dat"), 3, 2, 3, 2, {true, false, false, '\0'}},
          {SamplePath("tensile_3.txt"), 3, 2, 3, 3, {false, false, true, '\0'}}};
}

// A document holding the three samples, each with one zone over its range.
inline void LoadSamples(COLMDoc& doc) {
  for (const CImportCase& c : SampleCases()) {
    CReadRawDataForm form = FormOf(c, "sample");
    ASSERT_TRUE(doc.Import(form));
  }
  ASSERT_TRUE(doc.ApplyZonesToAll({}));
}

// Adds a replicate of n rows made up in memory: x = i, y = sin-like curve,
// a third column 10 * i.
inline void AddMadeUpReplicate(COLMDoc& doc, int n, const std::string& title = "big") {
  doc.Modify("Made up", kChangeData, [&](CReplicateDB& db, CGEList&) {
    const int r = db.AddReplicate();
    CReplicate& rep = db.Replicate(r);
    rep.columnCount = 3;
    rep.pointCount = n;
    rep.ResizeColumnTexts(3);
    rep.headings(1) = "x";
    rep.units(1) = "mm";
    rep.raw.SetSize(n, 3);
    for (int i = 1; i <= n; ++i) {
      rep.raw(i, 1) = i;
      rep.raw(i, 2) = 0.5 * i + (i % 7) * 0.25;
      rep.raw(i, 3) = 10.0 * i;
    }
    rep.SetTitle(title);
    rep.SetXYColumns(1, 2);
    rep.zoneCount = 1;
    rep.SetZoneStart(1, 1);
    rep.SetZoneEnd(1, n);
    db.ComputeExtents(true);
    return true;
  });
}

}  // namespace olm::test
