// The editor under bad requests: bounded reformat, and a failed allocation
// reported without a crash and without changing the data.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ChildProcess.hpp"
#include "TestSupport.hpp"
#include "editing/EditCommands.hpp"
#include "engine/Reformat.hpp"

namespace olm::test {
namespace {

// One replicate of n rows: x = i, y = 2 i.
void AddLine(CReplicateDB& db, int n) {
  const int r = db.AddReplicate();
  CReplicate& rep = db.Replicate(r);
  rep.SetTitle("line");
  rep.columnCount = 2;
  rep.pointCount = n;
  rep.ResizeColumnTexts(2);
  rep.raw.SetSize(n, 2);
  for (int i = 1; i <= n; ++i) rep.raw(i, 1) = i, rep.raw(i, 2) = 2.0 * i;
  rep.SetXYColumns(1, 2);
  db.plotSettings.SetShown(r, kCurveRaw, true);
}

TEST(EditorLimitsTest, ReformatToAMillionfoldPointCountIsRefusedAtOnce) {
  CRecordingUi ui;
  CReplicateDB db;
  AddLine(db, 11);
  CReplicate& rep = db.Replicate(1);
  rep.zoneCount = 1;
  rep.SetZoneStart(1, 1), rep.SetZoneEnd(1, 11);
  rep.Zone(1).fit.type = kFitPolynomial, rep.Zone(1).fit.degree = 1;
  ASSERT_TRUE(db.Process()) << ui.Last();
  CRawDataEditor editor(db);
  ui.Clear();
  // Once 15 GB and a kill; the count is refused before anything is allocated.
  EXPECT_FALSE(editor.Apply("reformat, 1, 1, 2, 1e9"));
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Invalid number of points"});
  EXPECT_FALSE(editor.Apply(Format("reformat, 1, 1, 2, %d", kMaxReformatPoints + 1)));
  EXPECT_EQ(rep.smoothedData.GetRows(), 11);
  EXPECT_TRUE(editor.Apply("reformat, 1, 1, 2, 21")) << ui.Last();
  EXPECT_EQ(rep.smoothedData.GetRows(), 21);
}

#if defined(__SANITIZE_ADDRESS__)
#define OLM_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OLM_UNDER_ASAN 1
#endif
#endif

TEST(EditorLimitsTest, AnExpressionWithoutMemoryIsReportedAndChangesNothing) {
#ifdef OLM_UNDER_ASAN
  GTEST_SKIP() << "an address-space limit does not work with AddressSanitizer";
#else
  // Four million rows: every column copy is 32 MB.  With 8 MB of address
  // space to spare no copy can be made: once a segmentation fault.
  const ChildOutcome outcome = RunInChild([] {
    CRecordingUi ui;
    CReplicateDB db;
    AddLine(db, 4000000);
    CRawDataEditor editor(db);
    if (!LowerLimit(RLIMIT_AS, static_cast<rlim_t>(AddressSpace() + (8 << 20)))) return 10;
    for (const char* command :
         {"ds1_c3_raw = ds1_c2_raw * 2 + ds1_c1_raw", "ds1_c2_raw = ds1_c2_raw + 1",
          "createrep, copy, raw, 1, 1, 1, 2"}) {
      ui.Clear();
      if (editor.Apply(command)) return 11;
      if (ui.Last() != "Not enough memory for this command; the data were not changed.") {
        std::fprintf(stderr, "%s: %s\n", command, ui.Last().c_str());
        return 12;
      }
    }
    const CReplicate& rep = db.Replicate(1);
    if (db.GetReplicateCount() != 1 || rep.columnCount != 2 || rep.raw.GetColumns() != 2 ||
        rep.raw(4000000, 2) != 8000000.0)
      return 13;
    return 0;
  });
  EXPECT_TRUE(outcome.exited) << "signal " << outcome.signal;
  EXPECT_EQ(outcome.status, 0);
#endif
}

}  // namespace
}  // namespace olm::test
