#include "distribution/DistributionFiles.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "TestSupport.hpp"

namespace olm {
namespace {

CDistributionInput Parse(const std::string& text) {
  std::istringstream in(text);
  return ReadDistributionInput(in);
}

// Expects a read failure with the fixed message and a detail containing part.
template <class Read = CDistributionInput (*)(const std::string&)>
void ExpectReadError(const std::string& text, const std::string& part, Read read = Parse) {
  try {
    read(text);
    ADD_FAILURE() << "no error for:\n" << text;
  } catch (const CDistributionError& e) {
    EXPECT_STREQ(e.what(), "Error reading input file ...");
    EXPECT_NE(e.Detail().find(part), std::string::npos) << e.Detail();
  }
}

const std::string kHead = "*heading\nsome title\n*data\n";

TEST(DistributionInputFile, WriterProducesTheFixedLayout) {
  std::ostringstream out;
  CDistributionOptions o;
  o.weibull2p = 1;
  o.weibull3p = 11;
  o.generalizedExponentialBound = 0.5;
  WriteDistributionInput(out, {434.7, 451.125, 1e-7}, o, 200.0, 600.0);
  EXPECT_EQ(out.str(),
            "*heading\n\n*data\n434.7\n451.125\n1e-07\n*distribution\nweibull2p, 1\n"
            "weibull3p, 11\nnormal\nlognormal\ngamma\ngeneralizedexponential,0.5\n*minmax\n"
            "200, 600\n*end\n");
}

TEST(DistributionInputFile, RoundTripRequestsSixFitsAndKeepsEveryDigit) {
  test::CTempDir dir;
  const std::string path = dir.File("input.dat");
  CDistributionOptions o;
  o.weibull3p = 1;
  o.generalizedExponentialBound = 0.25;
  const std::vector<double> sample = {434.71234567, 1.0 / 3.0, 508.3, 283.2, 399.0};
  ASSERT_TRUE(WriteDistributionInput(path, sample, o, 100.0, 700.5));
  const CDistributionInput in = ReadDistributionInput(path);
  EXPECT_EQ(in.sample, sample);  // shortest round-trip text: no digit lost
  ASSERT_EQ(in.requests.size(), 6u);
  const int order[] = {kWeibull2P, kWeibull3P, kNormal,
                       kLognormal, kGamma,     kGeneralizedExponential};
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(in.requests[i].code, order[i]);
  EXPECT_EQ(std::tuple(in.requests[0].option, in.requests[1].option, in.requests[5].option),
            std::tuple(0.0, 1.0, 0.25));
  EXPECT_EQ(std::pair(in.lower, in.upper), std::pair(100.0, 700.5));
  const CDistributionOptions back = OptionsOf(in);
  EXPECT_EQ(std::pair(back.weibull3p, back.generalizedExponentialBound), std::pair(1, 0.25));
  const CDistributionInputSize size = SizeDistributionInput(path);
  EXPECT_EQ(std::pair(size.sampleSize, size.distributionCount), std::pair(5, 6));
  // A whole-number option beyond any int selects nothing (found by fuzzing:
  // it was converted to int unchecked).
  CDistributionInput huge = in;
  huge.requests[0].option = 1e59;
  huge.requests[1].option = -1e300;
  const CDistributionOptions none = OptionsOf(huge);
  EXPECT_EQ(std::pair(none.weibull2p, none.weibull3p), std::pair(0, 0));
}

TEST(DistributionInputFile, KeywordsInAnyCaseBothSeparatorsAndCarriageReturns) {
  const CDistributionInput in = Parse(
      "*HEADING\nTitle\n*Data\n1.5\n2.5, ignored\n*DISTRIBUTION\nWeibull2P, 1\n"
      "WEIBULL3P 11\nNormal\nLogNormal\nGAMMA\nGeneralizedExponential,2\n*MinMax\n0.5 9.5\n");
  EXPECT_EQ(in.heading, "Title");
  EXPECT_EQ(in.sample, (std::vector<double>{1.5, 2.5}));
  ASSERT_EQ(in.requests.size(), 6u);
  EXPECT_EQ(std::pair(in.requests[1].code, in.requests[3].code),
            std::pair(int(kWeibull3P), int(kLognormal)));
  EXPECT_EQ(std::tuple(in.requests[0].option, in.requests[1].option, in.requests[5].option),
            std::tuple(1.0, 11.0, 2.0));
  EXPECT_EQ(std::pair(in.lower, in.upper), std::pair(0.5, 9.5));
  // Line ends with carriage returns.
  const CDistributionInput cr =
      Parse("*heading\r\n\r\n*data\r\n3\r\n*distribution\r\nweibull2p, 1\r\n*minmax\r\n1,2\r\n");
  EXPECT_EQ(cr.sample, std::vector<double>{3.0});
  EXPECT_EQ(cr.requests[0].option, 1.0);
  // The first three lines are skipped whatever they hold.
  const CDistributionInput skipped =
      Parse("title\n*data\n7\n4\n*distribution\nnormal\n*minmax\n1,2\n");
  EXPECT_EQ(skipped.sample, std::vector<double>{4.0});
  test::CTempDir dir;
  EXPECT_EQ(SizeDistributionInput(
                dir.Write("s.dat", "title\n*data\n7\n4\n5\n*distribution\nnormal\n*minmax\n1,2\n"))
                .sampleSize,
            2);
  // An empty data section gives an empty sample.
  const CDistributionInput empty = Parse(kHead + "*distribution\nnormal\n*minmax\n1, 2\n*end\n");
  EXPECT_TRUE(empty.sample.empty());
  ASSERT_EQ(empty.requests.size(), 1u);
  EXPECT_EQ(empty.requests[0].option, 0.0);
}

TEST(DistributionInputFile, MalformedFilesFailWithTheFixedMessage) {
  ExpectReadError(kHead + "1\n*distribution\nnormal\n", "no \"*minmax\" line");
  ExpectReadError(kHead + "1\nnormal\n*minmax\n1,2\n", "no \"*distribution\" line");
  ExpectReadError(kHead + "1\nabc\n*distribution\nnormal\n*minmax\n1,2\n",
                  "line 5: the sample value \"abc\" is not a number.");
  ExpectReadError(kHead + "1\nnan\n*distribution\nnormal\n*minmax\n1,2\n", "\"nan\"");
  ExpectReadError(kHead + "1\n\n*distribution\nnormal\n*minmax\n1,2\n",
                  "line 5: the sample value is missing.");
  ExpectReadError(kHead + "1\n*distribution\nweibull\n*minmax\n1,2\n",
                  "line 6: unknown distribution \"weibull\".");
  ExpectReadError(kHead + "1\n*distribution\ngeneralizedexponential\n*minmax\n1,2\n",
                  "upper bound of the rate is missing");
  ExpectReadError(kHead + "1\n*distribution\nweibull2p, x\n*minmax\n1,2\n", "\"x\"");
  ExpectReadError(kHead + "1\n*distribution\nweibull3p, 1.5\n*minmax\n1,2\n", "not a whole number");
  ExpectReadError(kHead + "1\n*distribution\nnormal\n*minmax\n", "range line is missing");
  ExpectReadError(kHead + "1\n*distribution\nnormal\n*minmax\n1\n", "upper limit is missing");
  ExpectReadError(kHead + "1\n*distribution\nweibull2p\n*minmax\n1,2\n",
                  "line 6: the option is missing.");
  ExpectReadError(kHead + "1\n*distribution\nweibull3p\n*minmax\n1,2\n",
                  "line 6: the option is missing.");
  ExpectReadError("*heading\n\n", "line 3: the line is missing.");
  ExpectReadError("", "line 1: the line is missing.");
}

TEST(DistributionInputFile, MissingOrUnwritableFilesAreReported) {
  ExpectReadError("/no/such/file.dat", "cannot open",
                  [](const std::string& path) { return ReadDistributionInput(path); });
  EXPECT_THROW(SizeDistributionInput("/no/such/file.dat"), CDistributionError);
  std::string error;
  EXPECT_FALSE(WriteDistributionInput("/no/such/dir/in.dat", {1.0}, {}, 0, 1, &error));
  EXPECT_NE(error.find("Cannot write /no/such/dir/in.dat"), std::string::npos) << error;
}

class DistributionReport : public ::testing::Test {
 protected:
  static std::string Report(const CDistributionInput& in) {
    CDistributionAnalysis a;
    EXPECT_TRUE(a.Run(in));
    std::ostringstream out;
    WriteDistributionReport(out, a);
    return out.str();
  }
};

TEST_F(DistributionReport, BannerNotationsBlocksTableAndPairs) {
  const std::string text =
      Report({"", {3.1, 4.2, 5.0, 3.9, 4.4, 4.8, 4.1}, {{kNormal, 0}, {kGamma, 0}}, 2.0, 6.0});
  const auto lines = test::SplitLines(text);
  ASSERT_GT(lines.size(), 1000u);
  EXPECT_EQ(lines[0], "\t\t------------------------------------------");
  EXPECT_EQ(lines[1], "\t\t     Probability Distribution Functions   ");
  EXPECT_EQ(lines[2].size(), lines[1].size());
  EXPECT_EQ(lines[3].size(), lines[1].size());
  EXPECT_EQ(lines[4], lines[0]);
  EXPECT_EQ(lines[5], " NOTATIONS ");
  EXPECT_EQ(lines[6], " --------- ");
  EXPECT_EQ(lines[7], " Normal                  =  N  ");
  EXPECT_EQ(lines[10], " Generalized Exponential =  GE ");
  EXPECT_EQ(lines[13], " Gamma                   =  G  ");
  EXPECT_EQ(lines[15], "Cumulative Distributive Function      =  CDF ");
  EXPECT_NE(text.find("\n NORMAL DISTRIBUTION \n---------------------\n Shape Parameter "),
            std::string::npos);
  EXPECT_NE(text.find("\n GAMMA DISTRIBUTION \n--------------------\n"), std::string::npos);
  EXPECT_EQ(text.find("Minimized Value"), std::string::npos);  // no optimizer fits
  // Label in a field of 16, value in a field of 12: the labels are 17
  // characters, so every labelled line is 29 characters long.
  EXPECT_NE(text.find(" KS Distance     " + std::string(12 - 8, ' ')), std::string::npos);
  int labelled = 0;
  for (const std::string& line : lines) {
    for (const char* label : {" Shape Parameter ", " Scale Parameter ", " KS Distance     ",
                              " AD Distance     ", " Chi-Square      "}) {
      if (line.rfind(label, 0) != 0) continue;
      ++labelled;
      EXPECT_EQ(line.size(), 29u) << line;
    }
  }
  EXPECT_EQ(labelled, 10);  // five lines in each of the two blocks
  EXPECT_NE(text.find("\n\n Chi-Square      "), std::string::npos);
  const size_t table = text.find("\n\n ALL DISTRIBUTION \n -------------------- \n");
  ASSERT_NE(table, std::string::npos);
  const std::string header =
      "       Strength           NPDF           NCDF          LNPDF          LNCDF"
      "          WEPDF          WECDF         WE3PDF         WE3CDF          GEPDF"
      "          GECDF           GPDF           GCDF";
  EXPECT_NE(text.find("\n" + header + "\n      ---------           ----"), std::string::npos);
  // 1000 rows of 13 fields of 15; models not requested show "-".
  size_t rows = 0;
  for (const std::string& l : lines) {
    if (l.size() == 13 * 15 && l.find("---") == std::string::npos && l != header) ++rows;
  }
  EXPECT_EQ(rows, 1000u);
  EXPECT_NE(text.find("\n              2"), std::string::npos);  // first grid value
  EXPECT_NE(text.find("              -              -"), std::string::npos);
  EXPECT_NE(text.find(" Normal / Gamma"), std::string::npos);
}

TEST_F(DistributionReport, UnfittedModelShowsItsReason) {
  const std::string text =
      Report({"", {-1.0, 2.0, 3.0}, {{kLognormal, 0}, {kNormal, 0}}, -2.0, 5.0});
  EXPECT_NE(text.find(" LOGNORMAL DISTRIBUTION \n------------------------\n Log Normal not fitted: "
                      "the sample holds values <= 0"),
            std::string::npos);
  EXPECT_NE(text.find(" Log Normal / Normal"), std::string::npos);
  EXPECT_NE(text.find("-  -- not available\n"), std::string::npos);
}

TEST_F(DistributionReport, PairLineNamesTheFavouredModel) {
  // Normal against a lognormal on a symmetric sample: the ratio is positive
  // and favours the first model, the normal.
  CDistributionAnalysis a;
  const std::vector<double> symmetric = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
  ASSERT_TRUE(a.Run({"", symmetric, {{kNormal, 0}, {kLognormal, 0}}, 5.0, 25.0}));
  ASSERT_GT(a.Pairwise()[0].logLikelihoodRatio, 0.0);
  std::ostringstream out;
  WriteDistributionReport(out, a);
  EXPECT_NE(out.str().find("  -- Normal\n"), std::string::npos);
}

TEST_F(DistributionReport, WrittenToAFileThroughATemporaryName) {
  test::CTempDir dir;
  CDistributionAnalysis a;
  ASSERT_TRUE(a.Run({"", {1.0, 2.0, 3.0}, {{kNormal, 0}}, 0.0, 4.0}));
  const std::string path = dir.File("results.out");
  ASSERT_TRUE(WriteDistributionReport(path, a));
  EXPECT_NE(test::ReadFile(path).find(" NORMAL DISTRIBUTION "), std::string::npos);
  std::string error;
  EXPECT_FALSE(WriteDistributionReport(dir.File("missing/results.out"), a, &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace olm
