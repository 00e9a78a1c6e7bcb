#include <gtest/gtest.h>

#include <tuple>

#include "FlowRuleSamples.hpp"
#include "TestSupport.hpp"
#include "composites/FlowRuleModel.hpp"

namespace olm::test {
namespace {

// Twelve two-point curves, ids from..to.
std::string Curves(int from = 1, int to = 12) {
  std::string out;
  for (int id = from; id <= to; ++id)
    out += Format("*define_curve id %d\n0 %d\n0.01 %d\n", id, 10 * id, 10 * id + 5);
  return out;
}

std::string Read(const std::string& text, CFlowRuleModel& model, const std::string& base = "") {
  return ReadFlowRuleModelText(text, base, model);
}

TEST(FlowRuleModelTest, ReadsCurvesAndSettings) {
  CFlowRuleModel m;
  const std::string text =
      "** comment line\n"
      "   ** indented comment\n"
      "*define_curve, id, 3\n"
      "0.0,\t100.0\n"
      "\n"
      "0.01 , 120  0.02 130\n" +
      Curves(1, 2) + Curves(4, 12) +
      "*map\nmaster 5\nslave 9\n"
      "*plastic\npoisson ratios 0.3, 0.45, 0.35\ng 12 -0.2\n"
      "*off axis\nvalues 30 45 60\ng 55 2 0.5\ng66 0 4\n"
      "*end\nanything after the end is not read\n";
  ASSERT_EQ(Read(text, m), "");
  EXPECT_EQ(m.DefinedCount(), 12);
  ASSERT_EQ(m.x[2].GetSize(), 3);
  EXPECT_EQ(std::tuple(m.x[2](3), m.y[2](2), m.y[11](2)), std::tuple(0.02, 120.0, 125.0));
  EXPECT_EQ(std::tuple(m.master, m.slave, m.assumed, m.assumedValue),
            std::tuple(5, 9, int(kG12), -0.2));
  EXPECT_EQ(m.poisson[1], 0.45);
  EXPECT_EQ(std::pair(m.angle[0], m.angle[2]), std::pair(30.0, 60.0));
  EXPECT_EQ(std::pair(m.boundsGiven[0], m.boundsGiven[1]), std::pair(false, true));
  // Bounds are given in either order.
  EXPECT_EQ(std::tuple(m.lower[1], m.upper[1], m.upper[2]), std::tuple(0.5, 2.0, 4.0));
}

TEST(FlowRuleModelTest, ReadingAgainReplacesTheModelAndRestoresTheDefaults) {
  CRecordingUi ui;
  CFlowRuleModel m;
  ASSERT_EQ(Read(FormatFlowRuleCurves(SampleModel()) + "*map\nmaster 3\n", m), "");
  ASSERT_EQ(Read(Curves(), m), "");
  EXPECT_TRUE(ui.messages.empty());  // no container complaints
  EXPECT_EQ(std::pair(m.x[4].GetSize(), m.y[4](2)), std::pair(2, 55.0));
  EXPECT_EQ(std::tuple(m.master, m.slave, m.assumed, m.angle[1]), std::tuple(1, 7, -1, 45.0));
  EXPECT_EQ(Read(Curves(1, 11), m), "Could not find and read 12 curve data.\n");
  EXPECT_EQ(m.DefinedCount(), 11);
}

TEST(FlowRuleModelTest, IncludedFiles) {
  CTempDir dir;
  CFlowRuleModel m;
  dir.Write("curves.k", Curves(2, 12));
  ASSERT_EQ(Read("*include curves.k\n" + Curves(1, 1) + "*end\n", m, dir.Path()), "");
  EXPECT_EQ(m.DefinedCount(), 12);
  const std::string main = dir.Write("main.k", Curves(1, 1) + "*include \"curves.k\"\n*end\n");
  ASSERT_EQ(ReadFlowRuleModel(main, m), "");  // relative to the including file
  EXPECT_EQ(m.DefinedCount(), 12);
  // Lines ending in carriage returns, in both files.
  std::string crlf;
  for (char c : Curves(2, 12)) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  dir.Write("crlf.k", crlf);
  ASSERT_EQ(Read("*include crlf.k\r\n*define_curve id 1\r\n0 1\r\n1 2\r\n*end\r\n", m, dir.Path()),
            "");
  EXPECT_EQ(m.DefinedCount(), 12);
  EXPECT_EQ(m.y[11](2), 125.0);
  // No include inside an included file; an included file's line numbers are its own.
  dir.Write("inner.k", Curves(7, 12));
  dir.Write("outer.k", Curves(2, 6) + "*include inner.k\n");
  EXPECT_EQ(Read(Curves(1, 1) + "*include outer.k\n", m, dir.Path()),
            "*include command cannot be used inside an include file.\n");
  dir.Write("bad.k", "** curves\n*define_curve id 1\n0 10\nbad\n");
  EXPECT_EQ(Read("**\n*include bad.k\n", m, dir.Path()), "Input read error on line 4\n");
  // Files that cannot be opened; an include without a name.
  EXPECT_EQ(ReadFlowRuleModel(dir.File("none.k"), m), "Unable to open input file.\n");
  EXPECT_EQ(Read("*include none.k\n", m, dir.Path()), "Unable to open input file.\n");
  EXPECT_EQ(Read("\n*include\n", m, dir.Path()), "Input read error on line 2\n");
}

TEST(FlowRuleModelTest, CurveCountAndIdMessages) {
  CFlowRuleModel m;
  const std::string missing = "Could not find and read 12 curve data.\n";
  // Curves after *end are not read; no plastic flow, or no stress, is not enough data.
  const std::pair<std::string, std::string> cases[] = {
      {Curves(1, 11), missing},
      {Curves(1, 11) + "*end\n" + Curves(12, 12), missing},
      {Curves(1, 3) + Curves(3, 12), "Curve 3 defined more than once."},
      {Curves(1, 4) + "*define_curve id 5\n0 10\n" + Curves(6, 12),
       "Curve 5 has insufficient data."},
      {Curves(1, 11) + "*define_curve id 12\n*end\n", "Curve 12 has insufficient data."},
      {"*define_curve id 2\n0.01 10 -0.01 20\n", "Curve 2 has insufficient data."},
      {"*define_curve id 2\n0 0 0.01 0\n", "Curve 2 has insufficient data."},
      {"*define_curve id 13\n", "Invalid curve id.\n"},
      {"*define_curve id 0\n", "Invalid curve id.\n"},
      {Curves() + "*map\nmaster 7\n", "Invalid curve id.\n"},
      {Curves() + "*map\nslave 6\n", "Invalid curve id.\n"},
      {Curves() + "*plastic\ng 11 1\ng 22 1\n", "Only assume one of the first six G-values.\n"},
      {Curves() + "*plastic\ng 13 -0.1\n*plastic\ng11 1\n",
       "Only assume one of the first six G-values.\n"}};
  for (const auto& [text, message] : cases) EXPECT_EQ(Read(text, m), message) << text;
}

TEST(FlowRuleModelTest, ReadErrorsNameTheLine) {
  CFlowRuleModel m;
  // Lines 1-3 are fine; data before any keyword is an error.
  const std::string head = "** model\n*define_curve id 1\n0 10\n";
  for (const char* line4 : {"0.01 1x\n", "0.01 10 0.02\n", "*unknown\n"})
    EXPECT_EQ(Read(head + line4, m), "Input read error on line 4\n") << line4;
  for (const char* text : {"1 2\n", "*define_curve id x\n", "*define_curve\n", "*off side\n"})
    EXPECT_EQ(Read(text, m), "Input read error on line 1\n") << text;
  for (const char* text :
       {"*plastic\npoisson 0.3 0.3\n", "*plastic\ng 44 1\n", "*plastic\ncolour red\n",
        "*off axis\nvalues 45 90 45\n", "*off axis\ng 44 1\n", "*map\nmaster\n",
        "*define_curve id 1\n0 nan\n", "*define_curve id 1\n0 1e999\n"})
    EXPECT_EQ(Read(text, m), "Input read error on line 2\n") << text;
}

TEST(FlowRuleModelTest, FormattedModelReadsBackTheSame) {
  const CFlowRuleModel original = SampleModel();
  CFlowRuleModel m;
  ASSERT_EQ(Read(FormatFlowRuleCurves(original) + FormatFlowRuleSettings(original), m), "");
  for (int c = 0; c < 12; ++c) {
    ASSERT_EQ(m.x[c].GetSize(), original.x[c].GetSize());
    for (int i = 1; i <= m.x[c].GetSize(); ++i) {
      EXPECT_NEAR(m.x[c](i), original.x[c](i), 1e-9 * std::fabs(original.x[c](i)));
      EXPECT_NEAR(m.y[c](i), original.y[c](i), 1e-9 * std::fabs(original.y[c](i)));
    }
  }
  EXPECT_EQ(std::tie(m.master, m.assumed, m.poisson, m.lower, m.upper),
            std::tie(original.master, original.assumed, original.poisson, original.lower,
                     original.upper));
}

}  // namespace
}  // namespace olm::test
