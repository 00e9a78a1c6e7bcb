#include "numerics/TextFields.hpp"

#include <charconv>
#include <cmath>

namespace olm {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  std::string field;
  for (char c : line) {
    if (c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      if (!field.empty()) fields.push_back(std::move(field));
      field.clear();
    } else {
      field += c;
    }
  }
  if (!field.empty()) fields.push_back(std::move(field));
  return fields;
}

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == separator)
      parts.emplace_back();
    else
      parts.back() += c;
  }
  return parts;
}

bool ParseFiniteNumber(std::string_view field, double& value) {
  const char* begin = field.data();
  const char* end = begin + field.size();
  if (begin != end && *begin == '+') ++begin;
  if (begin == end) return false;
  const auto r = std::from_chars(begin, end, value);
  return r.ec == std::errc() && r.ptr == end && std::isfinite(value);
}

}  // namespace olm
