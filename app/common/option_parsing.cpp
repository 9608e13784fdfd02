#include "common/option_parsing.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <set>

#include "initial/astronom.h"
#include "meteors/forecast.h"

namespace stelvo {

bool ParseInt(std::string_view text, long long& value) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

bool ParseDouble(std::string_view text, double& value) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value,
                                         std::chars_format::fixed | std::chars_format::scientific);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

bool ParseDistinctInts(std::string_view text, long long lo, long long hi, std::vector<int>& values) {
  values.clear();
  std::set<int> seen;
  while (true) {
    const auto comma = text.find(',');
    long long v = 0;
    if (!ParseInt(text.substr(0, comma), v) || v < lo || v > hi || !seen.insert(int(v)).second) {
      return false;
    }
    values.push_back(static_cast<int>(v));
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

bool ParseForecastYears(std::string_view text, int& from, int& to) {
  const std::optional<YearRange> years = ParseYearRange(text);
  if (!years || years->from < kFirstForecastYear || years->to > kLastForecastYear) return false;
  from = years->from;
  to = years->to;
  return true;
}

std::string Quoted(std::string_view text) {
  std::string out = "'";
  for (char c : text.substr(0, 60)) out += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? '?' : c;
  if (text.size() > 60) out += "...";
  return out + "'";
}

}  // namespace stelvo
