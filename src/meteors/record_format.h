#pragma once
// The one home of every record that leaves the program: per record (crossing,
// shower, trail encounter) its column list, in the order written. Every writer uses
// it: stelvo-cli's CSV files and stdout tables, the forecast CSV, and the shower
// window's tables and their copied text. A new column is one line in
// record_format.cpp; a column that only some outputs carry belongs to an optional
// group that those writers switch on. The survey program's row (comet designation
// first) gets its list here the same way.

#include <array>
#include <span>
#include <string>
#include <vector>

#include "meteors/crossing.h"
#include "meteors/forecast.h"
#include "meteors/shower_summary.h"

namespace stelvo {

// Column groups: the core columns are always written; the others only by writers
// that ask for them (a bit mask of these).
enum ColumnGroup : unsigned {
  kCoreColumns = 1u << 0,
  kWeightColumns = 1u << 1,    // per-crossing weight: what each grain stands for
  kForecastColumns = 1u << 2,  // rates and widths of an encounter
  kSiteColumns = 1u << 3,      // the sky at an observing site
};

// One cell's value: a number, or text (a date) when isText.
struct Cell {
  double number = 0;
  std::array<char, 24> text{};
  bool isText = false;
};

// Formats are printf conversions of one value (%d takes the number as an int, %s the
// text). A null format leaves the column out of that output.
template <class Record>
struct Column {
  const char* name;   // CSV header
  const char* title;  // the window's table header, German source text (translated there)
  Cell (*value)(const Record&);
  const char* csv;    // in a CSV row
  const char* table;  // in the window's table
  const char* text;   // in stdout tables (a fixed width gives the header the same width)
  unsigned group = kCoreColumns;
  const char* textName = nullptr;  // stdout header when it differs from name
};

std::span<const Column<Crossing>> CrossingColumns();
std::span<const Column<Shower>> ShowerColumns();
std::span<const Column<TrailEncounter>> EncounterColumns();

// printf of one cell by `format`.
std::string FormatCell(const char* format, const Cell& cell);

enum class Output { kCsv, kTable, kText };

template <class Record>
const char* FormatOf(const Column<Record>& c, Output output) {
  return output == Output::kCsv ? c.csv : output == Output::kTable ? c.table : c.text;
}

template <class Record>
bool Shown(const Column<Record>& c, Output output, unsigned groups) {
  return (c.group & groups) != 0 && FormatOf(c, output) != nullptr;
}

// The cells of one record in the columns an output shows.
template <class Record>
std::vector<std::string> Cells(std::span<const Column<Record>> columns, const Record& record,
                               Output output, unsigned groups = kCoreColumns) {
  std::vector<std::string> cells;
  for (const Column<Record>& c : columns) {
    if (Shown(c, output, groups)) cells.push_back(FormatCell(FormatOf(c, output), c.value(record)));
  }
  return cells;
}

// The headers of those columns: CSV names, the window's (untranslated) titles, or
// stdout headers padded to the text format's width.
template <class Record>
std::vector<std::string> Headers(std::span<const Column<Record>> columns, Output output,
                                 unsigned groups = kCoreColumns);

// Cells joined by `separator` and ended by a newline.
std::string Line(const std::vector<std::string>& cells, char separator);

template <class Record>
std::string CsvHeader(std::span<const Column<Record>> columns, unsigned groups = kCoreColumns) {
  return Line(Headers(columns, Output::kCsv, groups), ',');
}
template <class Record>
std::string CsvRow(std::span<const Column<Record>> columns, const Record& record,
                   unsigned groups = kCoreColumns) {
  return Line(Cells(columns, record, Output::kCsv, groups), ',');
}

}  // namespace stelvo
