#pragma once
// Low-level text scanning of raw-data files: field splitting and number parsing.
#include <array>
#include <cstdint>
#include <string_view>

namespace olm {

// The delimiters a raw-data file uses.  The double quote always separates
// fields as well.
struct CDelimiterSet {
  bool blank = true;
  bool comma = true;
  bool tab = true;
  char other = '\0';  // '\0': none
};

// Classifies characters for field splitting.  Blanks, tabs and double quotes
// are "soft": any run of them separates exactly one field, so columns padded
// for alignment read as one field each.  Commas and the other character are
// "hard": each one ends a field, so two in a row enclose an empty field.
// Blanks and tabs that are not delimiters are still trimmed from the ends of
// a field.
class CFieldSplitter {
 public:
  explicit CFieldSplitter(const CDelimiterSet& delimiters);

  // Calls f(index, field) for fields 1, 2, ... of the line until f returns
  // false or the line ends.  Empty fields (between two hard delimiters) are
  // passed as empty views.
  template <class F>
  void Split(std::string_view line, F&& f) const {
    const char* p = line.data();
    const char* const e = p + line.size();
    int index = 1;
    bool segmentHasField = false;
    for (;;) {
      while (p < e && Class(*p) == kSoft) ++p;
      if (p == e) {
        if (!segmentHasField && index > 1) f(index, std::string_view());
        return;
      }
      if (Class(*p) == kHard) {
        if (!segmentHasField && !f(index++, std::string_view())) return;
        segmentHasField = false;
        ++p;
        continue;
      }
      const char* start = p;
      while (p < e && Class(*p) == kNormal) ++p;
      const char* end = p;
      while (end > start && (end[-1] == ' ' || end[-1] == '\t')) --end;
      while (start < end && (*start == ' ' || *start == '\t')) ++start;
      segmentHasField = true;
      if (!f(index++, std::string_view(start, static_cast<size_t>(end - start)))) return;
    }
  }

 private:
  enum : uint8_t { kNormal = 0, kSoft = 1, kHard = 2 };
  uint8_t Class(char c) const { return m_class[static_cast<unsigned char>(c)]; }
  std::array<uint8_t, 256> m_class{};
};

// Parses a whole field as a decimal number: optional sign, digits with an
// optional decimal point and fraction, optional exponent.  Nothing else (no
// blanks, no "inf", no hexadecimal) is accepted.  Correctly rounded: common
// short numbers take an exact fast path, the rest std::from_chars.
bool ParseDecimal(std::string_view field, double& value);

// True for a line that holds only blanks, tabs and carriage returns.
bool IsBlankLine(std::string_view line);
// True for a comment line (starts with "$$").
inline bool IsCommentLine(std::string_view line) {
  return line.size() >= 2 && line[0] == '$' && line[1] == '$';
}

}  // namespace olm
