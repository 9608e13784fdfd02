#include "initial/catalogue.h"

#include <charconv>
#include <cstddef>
#include <string>
#include <system_error>

#include "data/comet_catalogue.h"
#include "initial/astronom.h"

namespace stelvo {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Index of the first character after the leading blanks.
std::size_t SkipBlanks(std::string_view field) {
  std::size_t pos = 0;
  while (pos < field.size() && field[pos] == ' ') ++pos;
  return pos;
}

std::size_t SkipDigits(std::string_view field, std::size_t pos) {
  while (pos < field.size() && IsDigit(field[pos])) ++pos;
  return pos;
}

// One numeric field of the line: 1-based first column and width.
struct Field {
  const char* name;
  int column;
  int width;
};

constexpr Field kQ{"q", 30, 10};
constexpr Field kEcc{"Ecc", 40, 10};
constexpr Field kArgPeri{"ArgPeri", 50, 10};
constexpr Field kNode{"Node", 60, 10};
constexpr Field kIncl{"Incl", 70, 10};
constexpr Field kYear{"year", 81, 4};
constexpr Field kMonth{"month", 85, 2};
constexpr Field kDay{"day", 87, 7};

constexpr int kShortNameColumn = 1;
constexpr int kShortNameWidth = 5;
constexpr int kFullNameColumn = 101;
constexpr int kFullNameWidth = 99;

// `width` characters from 1-based `column`, fewer (or none) where the line ends earlier.
std::string_view Columns(std::string_view line, int column, int width) {
  const std::size_t first = static_cast<std::size_t>(column - 1);
  if (first >= line.size()) return {};
  return line.substr(first, static_cast<std::size_t>(width));
}

[[noreturn]] void ThrowField(const Field& field) {
  throw CometFieldError("field '" + std::string(field.name) + "' (columns " +
                        std::to_string(field.column) + "-" +
                        std::to_string(field.column + field.width - 1) + ") does not convert");
}

double FloatField(std::string_view line, const Field& field) {
  double value = 0;
  if (!StrictFloat(Columns(line, field.column, field.width), value)) ThrowField(field);
  return value;
}

int IntField(std::string_view line, const Field& field) {
  int value = 0;
  if (!StrictInt(Columns(line, field.column, field.width), value)) ThrowField(field);
  return value;
}

}  // namespace

bool StrictFloat(std::string_view field, double& value) {
  std::size_t pos = SkipBlanks(field);
  // from_chars takes a minus but no plus, so a plus is stepped over here.
  std::size_t numberStart = pos;
  if (pos < field.size() && (field[pos] == '+' || field[pos] == '-')) {
    if (field[pos] == '+') numberStart = pos + 1;
    ++pos;
  }
  // The grammar is checked here, so that from_chars sees nothing else (no "inf",
  // "nan" or second sign).
  const std::size_t integerEnd = SkipDigits(field, pos);
  bool anyDigit = integerEnd > pos;
  pos = integerEnd;
  if (pos < field.size() && field[pos] == '.') {
    const std::size_t fractionEnd = SkipDigits(field, pos + 1);
    anyDigit = anyDigit || fractionEnd > pos + 1;
    pos = fractionEnd;
  }
  if (!anyDigit) return false;
  if (pos < field.size() && (field[pos] == 'E' || field[pos] == 'e')) {
    ++pos;
    if (pos < field.size() && (field[pos] == '+' || field[pos] == '-')) ++pos;
    const std::size_t exponentEnd = SkipDigits(field, pos);
    if (exponentEnd == pos) return false;
    pos = exponentEnd;
  }
  if (pos != field.size()) return false;

  double parsed = 0;
  const char* last = field.data() + field.size();
  const auto [end, error] =
      std::from_chars(field.data() + numberStart, last, parsed, std::chars_format::general);
  if (error != std::errc() || end != last) return false;
  value = parsed;
  return true;
}

bool StrictInt(std::string_view field, int& value) {
  std::size_t pos = SkipBlanks(field);
  std::size_t numberStart = pos;
  if (pos < field.size() && (field[pos] == '+' || field[pos] == '-')) {
    if (field[pos] == '+') numberStart = pos + 1;
    ++pos;
  }
  if (pos == field.size() || SkipDigits(field, pos) != field.size()) return false;

  int parsed = 0;
  const char* last = field.data() + field.size();
  const auto [end, error] = std::from_chars(field.data() + numberStart, last, parsed);
  if (error != std::errc() || end != last) return false;
  value = parsed;
  return true;
}

void ParseCometLine(std::string_view line, BahnElement& elements) {
  elements.ShortName = std::string(Columns(line, kShortNameColumn, kShortNameWidth));
  elements.FullName = std::string(Columns(line, kFullNameColumn, kFullNameWidth));
  elements.q = FloatField(line, kQ);
  elements.Ecc = FloatField(line, kEcc);
  elements.ArgPeri = FloatField(line, kArgPeri);
  elements.Node = FloatField(line, kNode);
  elements.Incl = FloatField(line, kIncl);
  const int year = IntField(line, kYear);
  const int month = IntField(line, kMonth);
  const double day = FloatField(line, kDay);
  // The whole day with its fraction goes in as hours of day 0 of the month, so the
  // fraction needs no splitting.
  elements.PeriJD = JulianDate(year, month, 0, day * 24, 0, 0);
}

void ParseCatalogueEntry(std::span<const std::string_view> catalogue, int index,
                         BahnElement& elements) {
  if (index < 0 || static_cast<std::size_t>(index) >= catalogue.size()) {
    throw CatalogueError("Comet catalogue index " + std::to_string(index) + " is outside 0.." +
                         std::to_string(static_cast<long long>(catalogue.size()) - 1));
  }
  try {
    ParseCometLine(catalogue[static_cast<std::size_t>(index)], elements);
  } catch (const CometFieldError& error) {
    throw CatalogueError("Comet catalogue line " + std::to_string(index) + ": " + error.what());
  }
}

void ParseCatalogueEntry(int index, BahnElement& elements) {
  ParseCatalogueEntry(kCometCatalogue, index, elements);
}

std::string_view CometDisplayName(int index) {
  if (index < 0 || index >= kCometCount) return {};
  return Columns(kCometCatalogue[std::size_t(index)], kFullNameColumn, kFullNameWidth);
}

}  // namespace stelvo
