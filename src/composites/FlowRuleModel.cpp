#include "composites/FlowRuleModel.hpp"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "numerics/OutputFile.hpp"
#include "numerics/TextFields.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

namespace {

const char* const kCurveNames[kFlowRuleCurveCount] = {"1-Direction Tension",
                                                      "2-Direction Tension",
                                                      "3-Direction Tension",
                                                      "1-Direction Compression",
                                                      "2-Direction Compression",
                                                      "3-Direction Compression",
                                                      "1-2 Plane Shear",
                                                      "2-3 Plane Shear",
                                                      "1-3 Plane Shear",
                                                      "1-2 Plane Off-Axis Tension",
                                                      "2-3 Plane Off-Axis Tension",
                                                      "1-3 Plane Off-Axis Tension"};

const char* const kCoefficientNames[kFlowRuleCoefficientCount] = {"G11", "G22", "G33", "G12", "G23",
                                                                  "G13", "G44", "G55", "G66"};

// One line of the model with the number it has in its own file.
struct CSourceLine {
  std::string text;
  int number = 0;
  bool included = false;
};

std::string ReadError(int line) {
  return Format("Input read error on line %d\n", line);
}

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

bool IsComment(const std::string& line) {
  return Trim(line).rfind("**", 0) == 0;
}

bool ParseInteger(const std::string& field, int& value) {
  if (field.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(field.c_str(), &end, 10);
  if (end != field.c_str() + field.size() || errno == ERANGE || v < -1000000000L || v > 1000000000L)
    return false;
  value = static_cast<int>(v);
  return true;
}

// Parses fields [first, first + count) as numbers; false unless exactly
// count numbers remain.
bool ParseNumbers(const std::vector<std::string>& f, size_t first, size_t count, double* out) {
  if (f.size() != first + count) return false;
  for (size_t k = 0; k < count; ++k)
    if (!ParseFiniteNumber(f[first + k], out[k])) return false;
  return true;
}

// The coefficient code of "g 22" / "g22" style fields: the two digits.
std::string CoefficientCode(const std::vector<std::string>& f, size_t& next) {
  const std::string head = Lower(f[0]);
  if (head == "g" && f.size() > 1) {
    next = 2;
    return Lower(f[1]);
  }
  if (head.size() == 3 && head[0] == 'g') {
    next = 1;
    return head.substr(1);
  }
  next = 0;
  return {};
}

bool ReadLines(const std::string& path, std::vector<std::string>& lines) {
  // A FIFO, a device or a file far beyond any model is not opened.
  if (!InputFileProblem(path, kMaxTextInputBytes).empty()) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return !in.bad();
}

std::vector<std::string> SplitText(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// The file name after "*include" (the rest of the line, quotes removed).
std::string IncludeName(const std::string& line) {
  std::string rest = Trim(line);
  rest = Trim(rest.substr(std::string("*include").size()));
  while (!rest.empty() && (rest.front() == ',')) rest = Trim(rest.substr(1));
  if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"')
    rest = rest.substr(1, rest.size() - 2);
  return rest;
}

bool IsIncludeLine(const std::string& line) {
  const auto f = SplitFields(line);
  return !f.empty() && !IsComment(line) && Lower(f[0]) == "*include";
}

// Expands the "*include" lines of the main file in place.
std::string ExpandIncludes(const std::vector<std::string>& mainLines, const std::string& baseFolder,
                           std::vector<CSourceLine>& out, std::vector<std::string>& files) {
  for (size_t i = 0; i < mainLines.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    if (!IsIncludeLine(mainLines[i])) {
      out.push_back({mainLines[i], number, false});
      continue;
    }
    const std::string name = IncludeName(mainLines[i]);
    if (name.empty()) return ReadError(number);
    std::filesystem::path p(name);
    if (p.is_relative() && !baseFolder.empty()) p = std::filesystem::path(baseFolder) / p;
    std::vector<std::string> included;
    files.push_back(p.string());
    if (!ReadLines(p.string(), included)) return "Unable to open input file.\n";
    for (size_t k = 0; k < included.size(); ++k) {
      if (IsIncludeLine(included[k]))
        return "*include command cannot be used inside an include file.\n";
      out.push_back({included[k], static_cast<int>(k) + 1, true});
    }
  }
  return {};
}

enum class Section { None, Map, Curve, Plastic, OffAxis };

class CParser {
 public:
  explicit CParser(CFlowRuleModel& model) : m_model(model) {}

  std::string Parse(const std::vector<CSourceLine>& lines) {
    for (const CSourceLine& line : lines) {
      if (IsComment(line.text)) continue;
      const std::vector<std::string> f = SplitFields(line.text);
      if (f.empty()) continue;
      std::string problem;
      if (f[0][0] == '*') {
        const std::string keyword = Lower(f[0]);
        if (keyword == "*end") break;
        static const char* const kKeywords[] = {"*map", "*plastic", "*off", "*define_curve"};
        if (std::find(std::begin(kKeywords), std::end(kKeywords), keyword) == std::end(kKeywords))
          return ReadError(line.number);
        problem = CloseCurve();
        if (problem.empty()) problem = Keyword(keyword, f, line.number);
      } else {
        problem = Data(f, line.number);
      }
      if (!problem.empty()) return problem;
    }
    std::string problem = CloseCurve();
    if (!problem.empty()) return problem;
    if (m_model.DefinedCount() != kFlowRuleCurveCount)
      return "Could not find and read 12 curve data.\n";
    return {};
  }

 private:
  std::string Keyword(const std::string& keyword, const std::vector<std::string>& f, int line) {
    if (keyword == "*map" || keyword == "*plastic") {
      if (f.size() != 1) return ReadError(line);
      m_section = keyword == "*map" ? Section::Map : Section::Plastic;
      return {};
    }
    if (keyword == "*off") {
      if (f.size() > 2 || (f.size() == 2 && Lower(f[1]) != "axis")) return ReadError(line);
      m_section = Section::OffAxis;
      return {};
    }
    if (keyword == "*define_curve") return StartCurve(f, line);
    return ReadError(line);
  }

  std::string StartCurve(const std::vector<std::string>& f, int line) {
    size_t k = 1;
    while (k < f.size() && (Lower(f[k]) == "id" || Lower(f[k]) == "curve")) ++k;
    int id = 0;
    if (k + 1 != f.size() || !ParseInteger(f[k], id)) return ReadError(line);
    if (id < 1 || id > kFlowRuleCurveCount) return "Invalid curve id.\n";
    if (m_model.defined[id - 1]) return Format("Curve %d defined more than once.", id);
    m_section = Section::Curve;
    m_curve = id;
    m_x.clear();
    m_y.clear();
    return {};
  }

  // Stores the curve being read; too few points are reported.
  std::string CloseCurve() {
    if (m_section != Section::Curve || m_curve == 0) return {};
    const int id = m_curve;
    m_curve = 0;
    m_section = Section::None;
    bool spread = false;
    for (double v : m_x) spread = spread || std::fabs(v) != std::fabs(m_x.front());
    bool stressed = false;
    for (double v : m_y) stressed = stressed || v != 0.0;
    if (m_x.size() < 2 || !spread || !stressed)
      return Format("Curve %d has insufficient data.", id);
    const int n = static_cast<int>(m_x.size());
    CVector<double>& x = m_model.x[id - 1];
    CVector<double>& y = m_model.y[id - 1];
    x.SetSize(n);
    y.SetSize(n);
    for (int i = 1; i <= n; ++i) {
      x(i) = m_x[i - 1];
      y(i) = m_y[i - 1];
    }
    m_model.defined[id - 1] = true;
    return {};
  }

  std::string Data(const std::vector<std::string>& f, int line) {
    switch (m_section) {
      case Section::Curve:
        return CurvePoints(f, line);
      case Section::Map:
        return MapLine(f, line);
      case Section::Plastic:
        return PlasticLine(f, line);
      case Section::OffAxis:
        return OffAxisLine(f, line);
      case Section::None:
        break;
    }
    return ReadError(line);
  }

  std::string CurvePoints(const std::vector<std::string>& f, int line) {
    if (f.size() % 2 != 0) return ReadError(line);
    for (size_t k = 0; k < f.size(); k += 2) {
      double x = 0, y = 0;
      if (!ParseFiniteNumber(f[k], x) || !ParseFiniteNumber(f[k + 1], y)) return ReadError(line);
      m_x.push_back(x);
      m_y.push_back(y);
    }
    return {};
  }

  std::string MapLine(const std::vector<std::string>& f, int line) {
    const std::string word = Lower(f[0]);
    int id = 0;
    if (f.size() != 2 || (word != "master" && word != "slave") || !ParseInteger(f[1], id))
      return ReadError(line);
    if (word == "master") {
      if (id < kTension1 || id > kCompression3) return "Invalid curve id.\n";
      m_model.master = id;
    } else {
      if (id < kShear12 || id > kShear13) return "Invalid curve id.\n";
      m_model.slave = id;
    }
    return {};
  }

  std::string PlasticLine(const std::vector<std::string>& f, int line) {
    const std::string word = Lower(f[0]);
    if (word == "poisson") {
      const size_t first = f.size() > 1 && Lower(f[1]) == "ratios" ? 2 : 1;
      if (!ParseNumbers(f, first, 3, m_model.poisson.data())) return ReadError(line);
      return {};
    }
    size_t next = 0;
    const std::string code = CoefficientCode(f, next);
    static const char* const kCodes[6] = {"11", "22", "33", "12", "23", "13"};
    int index = -1;
    for (int k = 0; k < 6; ++k)
      if (code == kCodes[k]) index = k;
    double value = 0;
    if (index < 0 || !ParseNumbers(f, next, 1, &value)) return ReadError(line);
    if (m_model.assumed >= 0) return "Only assume one of the first six G-values.\n";
    m_model.assumed = index;
    m_model.assumedValue = value;
    return {};
  }

  std::string OffAxisLine(const std::vector<std::string>& f, int line) {
    const std::string word = Lower(f[0]);
    if (word == "values") {
      double a[3];
      if (!ParseNumbers(f, 1, 3, a)) return ReadError(line);
      for (double v : a)
        if (!(v > 0.0 && v < 90.0)) return ReadError(line);
      std::copy(a, a + 3, m_model.angle.begin());
      return {};
    }
    size_t next = 0;
    const std::string code = CoefficientCode(f, next);
    const int index = code == "44" ? 0 : code == "55" ? 1 : code == "66" ? 2 : -1;
    double b[2];
    if (index < 0 || !ParseNumbers(f, next, 2, b)) return ReadError(line);
    m_model.lower[index] = std::min(b[0], b[1]);
    m_model.upper[index] = std::max(b[0], b[1]);
    m_model.boundsGiven[index] = true;
    return {};
  }

  CFlowRuleModel& m_model;
  Section m_section = Section::None;
  int m_curve = 0;
  std::vector<double> m_x, m_y;
};

std::string ParseLines(const std::vector<std::string>& lines, const std::string& baseFolder,
                       CFlowRuleModel& model) {
  model = CFlowRuleModel();
  std::vector<CSourceLine> expanded;
  std::string problem = ExpandIncludes(lines, baseFolder, expanded, model.includedFiles);
  if (!problem.empty()) return problem;
  return CParser(model).Parse(expanded);
}

}  // namespace

const char* FlowRuleCurveName(int id) {
  return id >= 1 && id <= kFlowRuleCurveCount ? kCurveNames[id - 1] : "";
}

const char* FlowRuleCoefficientName(int index) {
  return index >= 0 && index < kFlowRuleCoefficientCount ? kCoefficientNames[index] : "";
}

CFlowRuleModel::CFlowRuleModel() {
  for (int id = 1; id <= kFlowRuleCurveCount; ++id) {
    x[id - 1].SetName(Format("Curve %d plastic strain", id));
    y[id - 1].SetName(Format("Curve %d stress", id));
  }
}

CFlowRuleModel& CFlowRuleModel::operator=(const CFlowRuleModel& other) {
  if (this == &other) return *this;
  for (int k = 0; k < kFlowRuleCurveCount; ++k) {
    x[k].Assign(other.x[k]);
    y[k].Assign(other.y[k]);
  }
  defined = other.defined;
  includedFiles = other.includedFiles;
  poisson = other.poisson;
  assumed = other.assumed;
  assumedValue = other.assumedValue;
  lower = other.lower;
  upper = other.upper;
  boundsGiven = other.boundsGiven;
  angle = other.angle;
  master = other.master;
  slave = other.slave;
  return *this;
}

int CFlowRuleModel::DefinedCount() const {
  return static_cast<int>(std::count(defined.begin(), defined.end(), true));
}

std::string ReadFlowRuleModel(const std::string& path, CFlowRuleModel& model) {
  std::vector<std::string> lines;
  if (!ReadLines(path, lines)) return "Unable to open input file.\n";
  return ParseLines(lines, std::filesystem::path(path).parent_path().string(), model);
}

std::string ReadFlowRuleModelText(const std::string& text, const std::string& baseFolder,
                                  CFlowRuleModel& model) {
  return ParseLines(SplitText(text), baseFolder, model);
}

std::string FormatFlowRuleCurves(const CFlowRuleModel& model) {
  std::string out;
  for (int id = 1; id <= kFlowRuleCurveCount; ++id) {
    if (!model.defined[id - 1]) continue;
    out += Format("** %s\n*define_curve id %d\n", FlowRuleCurveName(id), id);
    const CVector<double>& x = model.x[id - 1];
    const CVector<double>& y = model.y[id - 1];
    for (int i = 1; i <= x.GetSize(); ++i) out += Format("%.10g, %.10g\n", x(i), y(i));
  }
  return out;
}

std::string FormatFlowRuleSettings(const CFlowRuleModel& model) {
  static const char* const kCodes[6] = {"11", "22", "33", "12", "23", "13"};
  std::string out = Format("*map\nmaster %d\nslave %d\n", model.master, model.slave);
  out += Format("*plastic\npoisson ratios %.10g %.10g %.10g\n", model.poisson[0], model.poisson[1],
                model.poisson[2]);
  if (model.assumed >= 0 && model.assumed < 6)
    out += Format("g %s %.10g\n", kCodes[model.assumed], model.assumedValue);
  out += Format("*off axis\nvalues %.10g %.10g %.10g\n", model.angle[0], model.angle[1],
                model.angle[2]);
  static const char* const kShear[3] = {"44", "55", "66"};
  for (int k = 0; k < 3; ++k)
    if (model.boundsGiven[k])
      out += Format("g %s %.10g %.10g\n", kShear[k], model.lower[k], model.upper[k]);
  return out;
}

}  // namespace olm
