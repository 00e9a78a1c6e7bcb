#include "distribution/DistributionFiles.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <locale>
#include <sstream>

#include "numerics/OutputFile.hpp"
#include "numerics/TextFields.hpp"

namespace olm {

namespace {

[[noreturn]] void ReadError(const std::string& detail) {
  throw CDistributionError(kInputReadError, detail);
}

std::string FirstField(const std::string& line) {
  const auto f = SplitFields(line);
  return f.empty() ? std::string() : Lower(f.front());
}

std::string LineLabel(size_t index) {
  return "line " + std::to_string(index + 1) + ": ";
}

double NumberField(const std::vector<std::string>& fields, size_t i, size_t lineIndex,
                   const std::string& what) {
  double v = 0.0;
  if (i >= fields.size()) ReadError(LineLabel(lineIndex) + what + " is missing.");
  if (!ParseFiniteNumber(fields[i], v)) {
    ReadError(LineLabel(lineIndex) + what + " \"" + fields[i] + "\" is not a number.");
  }
  return v;
}

std::vector<std::string> ReadLines(std::istream& in) {
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// Sizing pass: indices of the "*distribution" and "*minmax" lines.
struct CSections {
  size_t distribution = 0;
  size_t minmax = 0;
};

CSections FindSections(const std::vector<std::string>& lines) {
  // The first three lines (heading keyword, heading, data keyword) are
  // skipped unread.
  if (lines.size() < 3) ReadError(LineLabel(lines.size()) + "the line is missing.");
  CSections s;
  size_t i = 3;
  while (i < lines.size() && FirstField(lines[i]) != "*distribution") ++i;
  if (i == lines.size()) ReadError("no \"*distribution\" line.");
  s.distribution = i;
  ++i;
  while (i < lines.size() && FirstField(lines[i]) != "*minmax") ++i;
  if (i == lines.size()) ReadError("no \"*minmax\" line.");
  s.minmax = i;
  return s;
}

CDistributionInput ParseLines(const std::vector<std::string>& lines) {
  const CSections s = FindSections(lines);
  CDistributionInput input;
  input.heading = lines[1];
  for (size_t i = 3; i < s.distribution; ++i) {
    input.sample.push_back(NumberField(SplitFields(lines[i]), 0, i, "the sample value"));
  }
  for (size_t i = s.distribution + 1; i < s.minmax; ++i) {
    std::vector<std::string> f = SplitFields(lines[i]);
    for (std::string& x : f) x = Lower(x);
    if (f.empty()) ReadError(LineLabel(i) + "empty line in the \"*distribution\" section.");
    CDistributionRequest q;
    q.code = DistributionCodeFromKeyword(f[0]);
    if (q.code < 0) ReadError(LineLabel(i) + "unknown distribution \"" + f[0] + "\".");
    if (q.code == kGeneralizedExponential) {
      q.option = NumberField(f, 1, i, "the upper bound of the rate");
    } else if (q.code == kWeibull2P || q.code == kWeibull3P) {
      q.option = NumberField(f, 1, i, "the option");
      if (q.option != std::trunc(q.option)) {
        ReadError(LineLabel(i) + "the option \"" + f[1] + "\" is not a whole number.");
      }
    }
    input.requests.push_back(q);
  }
  const size_t range = s.minmax + 1;
  if (range >= lines.size()) ReadError(LineLabel(range) + "the range line is missing.");
  const auto f = SplitFields(lines[range]);
  input.lower = NumberField(f, 0, range, "the lower limit");
  input.upper = NumberField(f, 1, range, "the upper limit");
  return input;
}

std::vector<std::string> ReadFileLines(const std::string& path) {
  // Refused before reading: a FIFO or device, or a file beyond any sample.
  const std::string problem = InputFileProblem(path, kMaxTextInputBytes);
  if (!problem.empty()) ReadError(problem);
  std::ifstream in(path, std::ios::binary);
  if (!in) ReadError("cannot open \"" + path + "\".");
  return ReadLines(in);
}

bool WriteAtomically(const std::string& path, const std::string& text,
                     const std::vector<std::string>& inputs, std::string* error) {
  std::string why;
  if (WriteTextFile(path, text, inputs, &why)) return true;
  if (error) *error = why.empty() ? "Cannot write " + path + "." : why;
  return false;
}

std::ostringstream ClassicStream() {
  std::ostringstream s;
  s.imbue(std::locale::classic());
  return s;
}

// A line of 42 characters between two tabs, the text centred.
std::string BannerLine(const std::string& text) {
  const size_t width = 42;
  const size_t left = text.size() < width ? (width - text.size()) / 2 : 0;
  std::string line(left, ' ');
  line += text;
  if (line.size() < width) line.append(width - line.size(), ' ');
  return "\t\t" + line + "\n";
}

const char* BlockTitle(int code) {
  switch (code) {
    case kNormal:
      return " NORMAL DISTRIBUTION ";
    case kLognormal:
      return " LOGNORMAL DISTRIBUTION ";
    case kWeibull2P:
      return " WEIBULL DISTRIBUTION ";
    case kGeneralizedExponential:
      return " GENERALIZED EXPONENTIAL DISTRIBUTION ";
    case kGamma:
      return " GAMMA DISTRIBUTION ";
    case kWeibull3P:
      return " Weibull 3 PARAMETER DISTRIBUTION ";
    default:
      return " UNKNOWN DISTRIBUTION ";
  }
}

void Labelled(std::ostream& out, const char* label, double value) {
  out << std::setw(16) << label << std::setw(12) << value << "\n";
}

}  // namespace

std::string ShortestNumber(double value) {
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, res.ptr);
}

CDistributionInput ReadDistributionInput(const std::string& path) {
  return ParseLines(ReadFileLines(path));
}

CDistributionInput ReadDistributionInput(std::istream& in) {
  return ParseLines(ReadLines(in));
}

CDistributionInputSize SizeDistributionInput(const std::string& path) {
  const auto lines = ReadFileLines(path);
  const CSections s = FindSections(lines);
  CDistributionInputSize size;
  size.sampleSize = static_cast<int>(s.distribution - 3);
  size.distributionCount = static_cast<int>(s.minmax - s.distribution - 1);
  return size;
}

namespace {
// A Weibull option as a number; a whole number beyond the int range selects
// nothing (like any value other than the defined ones).
int WeibullOption(double option) {
  return std::fabs(option) <= 1e9 ? static_cast<int>(option) : 0;
}
}  // namespace

CDistributionOptions OptionsOf(const CDistributionInput& input) {
  CDistributionOptions o;
  bool seen[kDistributionCount] = {false, false, false, false, false, false};
  for (const CDistributionRequest& q : input.requests) {
    if (q.code < 0 || q.code >= kDistributionCount || seen[q.code]) continue;
    seen[q.code] = true;
    if (q.code == kWeibull2P) o.weibull2p = WeibullOption(q.option);
    if (q.code == kWeibull3P) o.weibull3p = WeibullOption(q.option);
    if (q.code == kGeneralizedExponential) o.generalizedExponentialBound = q.option;
  }
  return o;
}

void WriteDistributionInput(std::ostream& out, const std::vector<double>& sample,
                            const CDistributionOptions& o, double lower, double upper) {
  out << "*heading\n\n*data\n";
  for (double v : sample) out << ShortestNumber(v) << "\n";
  out << "*distribution\n"
      << "weibull2p, " << o.weibull2p << "\n"
      << "weibull3p, " << o.weibull3p << "\n"
      << "normal\n"
      << "lognormal\n"
      << "gamma\n"
      << "generalizedexponential," << ShortestNumber(o.generalizedExponentialBound) << "\n"
      << "*minmax\n"
      << ShortestNumber(lower) << ", " << ShortestNumber(upper) << "\n"
      << "*end\n";
}

bool WriteDistributionInput(const std::string& path, const std::vector<double>& sample,
                            const CDistributionOptions& options, double lower, double upper,
                            std::string* error, const std::vector<std::string>& inputs) {
  std::ostringstream s = ClassicStream();
  WriteDistributionInput(s, sample, options, lower, upper);
  return WriteAtomically(path, s.str(), inputs, error);
}

void WriteDistributionReport(std::ostream& out, const CDistributionAnalysis& analysis) {
  // Banner.
  const std::string frame = "\t\t------------------------------------------\n";
  out << frame << "\t\t     Probability Distribution Functions   \n"
      << BannerLine("Fits and goodness-of-fit measures") << BannerLine("OLM 1.0") << frame;

  // Notations.
  out << " NOTATIONS \n"
      << " --------- \n"
      << " Normal                  = "
      << " N  \n"
      << " Lognormal               = "
      << " LN \n"
      << " Weibull                 = "
      << " WE \n"
      << " Generalized Exponential = "
      << " GE \n"
      << "\n\n"
      << " Gamma                   = "
      << " G  \n"
      << "Probability Density Function          = "
      << " PDF \n"
      << "Cumulative Distributive Function      = "
      << " CDF \n"
      << "\n";

  // One block per requested distribution.
  for (const CDistributionResult& r : analysis.Results()) {
    const std::string title = BlockTitle(r.code);
    out << "\n" << title << "\n" << std::string(title.size(), '-') << "\n";
    if (!r.fitted) {
      out << " " << r.message << "\n";
      continue;
    }
    if (r.optimized) Labelled(out, " Minimized Value    ", r.minimized);
    if (r.code == kWeibull3P) Labelled(out, " Location Parameter ", r.location);
    Labelled(out, " Shape Parameter ", r.parameters(2));
    Labelled(out, " Scale Parameter ", r.parameters(1));
    Labelled(out, " KS Distance     ", r.ks);
    Labelled(out, " AD Distance     ", r.ad);
    out << "\n";
    Labelled(out, " Chi-Square      ", r.chiSquare);
  }

  // All distributions on the grid; models not fitted show "-".
  static const char* const kHeads[13] = {"Strength", "NPDF",  "NCDF",   "LNPDF",  "LNCDF",
                                         "WEPDF",    "WECDF", "WE3PDF", "WE3CDF", "GEPDF",
                                         "GECDF",    "GPDF",  "GCDF"};
  static const int kColumnModels[6] = {
      kNormal, kLognormal, kWeibull2P, kWeibull3P, kGeneralizedExponential, kGamma};
  out << "\n\n ALL DISTRIBUTION \n -------------------- \n";
  for (const char* h : kHeads) out << std::setw(15) << h;
  out << "\n";
  static const char* const kRules[13] = {"---------", "----",  "----",   "-----",  "-----",
                                         "-----",     "-----", "------", "------", "-----",
                                         "-----",     "----",  "----"};
  for (const char* h : kRules) out << std::setw(15) << h;
  out << "\n";
  const CEngVector<double>& grid = analysis.Grid();
  const CDistributionResult* models[6];
  for (int m = 0; m < 6; ++m) models[m] = analysis.Find(kColumnModels[m]);
  for (int j = 1; j <= grid.GetSize(); ++j) {
    out << std::setw(15) << grid(j);
    for (const CDistributionResult* r : models) {
      if (r) {
        out << std::setw(15) << r->pdfGrid(j) << std::setw(15) << r->cdfGrid(j);
      } else {
        out << std::setw(15) << "-" << std::setw(15) << "-";
      }
    }
    out << "\n";
  }

  // Pairwise comparisons: the log-likelihood ratio favours the first model
  // when positive, the second otherwise.
  const auto& pairs = analysis.Pairwise();
  if (!pairs.empty()) {
    const std::string title = " PAIRWISE COMPARISONS (log-likelihood ratio) ";
    out << "\n" << title << "\n" << std::string(title.size(), '-') << "\n";
  }
  for (const CPairwiseComparison& p : pairs) {
    const CDistributionResult& a = analysis.Results()[static_cast<size_t>(p.first)];
    const CDistributionResult& b = analysis.Results()[static_cast<size_t>(p.second)];
    const std::string names = std::string(" ") + DistributionName(a.code).display + " / " +
                              DistributionName(b.code).display;
    out << std::left << std::setw(40) << names << std::right;
    if (p.available) {
      out << std::setw(15) << p.logLikelihoodRatio << "  -- "
          << DistributionName(p.logLikelihoodRatio <= 0.0 ? b.code : a.code).display << "\n";
    } else {
      out << std::setw(15) << "-"
          << "  -- not available\n";
    }
  }
}

bool WriteDistributionReport(const std::string& path, const CDistributionAnalysis& analysis,
                             std::string* error, const std::vector<std::string>& inputs) {
  std::ostringstream s = ClassicStream();
  WriteDistributionReport(s, analysis);
  return WriteAtomically(path, s.str(), inputs, error);
}

}  // namespace olm
