#pragma once
// The value parsers the programs' command lines share (stelvo-cli, stelvo-survey):
// the whole text must be the value (no blanks, no '+', nothing after it), and a value
// outside its range is refused. The builders below make an option's setter, which
// writes one field of a program's options and says whether the text was accepted.
// No Qt and no MPI here.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace stelvo {

bool ParseInt(std::string_view text, long long& value);
// Fixed or scientific notation, finite.
bool ParseDouble(std::string_view text, double& value);

// Distinct whole numbers from lo to hi, comma-separated, into `values` (in order).
bool ParseDistinctInts(std::string_view text, long long lo, long long hi, std::vector<int>& values);

// "FROM..TO", whole forecast years with FROM <= TO; negative years are before 1 BC.
bool ParseForecastYears(std::string_view text, int& from, int& to);

// Printable form of user text for an error line: no control characters, bounded length.
std::string Quoted(std::string_view text);

// A range of real values; each end belongs to it or not.
struct Range {
  double lo, hi;
  bool withLo = true, withHi = true;
  bool Holds(double v) const { return (withLo ? v >= lo : v > lo) && (withHi ? v <= hi : v < hi); }
};

// How one option sets a program's options from its value's text; false refuses it.
template <class Options>
using Apply = std::function<bool(std::string_view, Options&)>;

template <class Options>
Apply<Options> IntIn(int Options::*field, long long lo, long long hi) {
  return [=](std::string_view text, Options& o) {
    long long v = 0;
    if (!ParseInt(text, v) || v < lo || v > hi) return false;
    o.*field = static_cast<int>(v);
    return true;
  };
}

template <class Options>
Apply<Options> DoubleIn(double Options::*field, Range range) {
  return [=](std::string_view text, Options& o) {
    double v = 0;
    if (!ParseDouble(text, v) || !range.Holds(v)) return false;
    o.*field = v;
    return true;
  };
}

// Any text but the empty one (a file or directory name).
template <class Options>
Apply<Options> Text(std::string Options::*field) {
  return [=](std::string_view text, Options& o) {
    if (text.empty()) return false;
    o.*field = std::string(text);
    return true;
  };
}

// A span of forecast years (see ParseForecastYears); `given` notes that it was.
template <class Options>
Apply<Options> YearSpan(bool Options::*given, int Options::*from, int Options::*to) {
  return [=](std::string_view text, Options& o) {
    int a = 0, b = 0;
    if (!ParseForecastYears(text, a, b)) return false;
    o.*given = true;
    o.*from = a;
    o.*to = b;
    return true;
  };
}

}  // namespace stelvo
