#include "initial/comet_solutions.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <regex>

#include "data/comet_texts.h"
#include "initial/astronom.h"
#include "initial/constants.h"
#include "initial/time_scale.h"

namespace stelvo {

namespace {

// ---- CSV: RFC 4180 quoting ("" inside quotes), LF or CRLF line ends. ----

struct CsvRow {
  int line = 0;
  std::vector<std::string> fields;
};

std::vector<CsvRow> SplitCsv(std::string_view text, std::string_view file) {
  std::vector<CsvRow> rows;
  CsvRow row;
  std::string field;
  bool quoted = false, any = false;
  int line = 1;
  row.line = 1;
  auto endField = [&] {
    row.fields.push_back(std::move(field));
    field.clear();
  };
  auto endRow = [&] {
    endField();
    if (!(row.fields.size() == 1 && row.fields[0].empty())) rows.push_back(std::move(row));
    row = CsvRow{};
    row.line = line;
    any = false;
  };
  for (std::size_t k = 0; k < text.size(); ++k) {
    const char c = text[k];
    if (quoted) {
      if (c == '"' && k + 1 < text.size() && text[k + 1] == '"') {
        field += '"';
        ++k;
      } else if (c == '"') {
        quoted = false;
      } else {
        if (c == '\n') ++line;
        field += c;
      }
      continue;
    }
    any = true;
    if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      endField();
    } else if (c == '\n') {
      ++line;
      endRow();
    } else if (c != '\r') {
      field += c;
    }
  }
  if (quoted) {
    throw CometDataError(std::string(file) + " line " + std::to_string(row.line) +
                         ": a quoted field is not closed");
  }
  if (any || !field.empty()) endRow();
  return rows;
}

std::string Trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return std::string(s.substr(first, last - first + 1));
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// Field access with messages that name the file's line, the comet and the column.
class RowReader {
 public:
  RowReader(std::string_view file, const std::vector<std::string>& header, const CsvRow& row)
      : file_(file), header_(header), row_(row) {
    if (row.fields.size() != header.size()) {
      Fail("", "has " + std::to_string(row.fields.size()) + " fields, the header " +
                   std::to_string(header.size()));
    }
  }

  std::string Text(std::string_view column) const { return Trim(row_.fields[Index(column)]); }
  std::string Required(std::string_view column) const {
    std::string value = Text(column);
    if (value.empty()) Fail(column, "is empty");
    return value;
  }
  double Number(std::string_view column, std::string_view value) const {
    const std::string s(value);
    if (s.empty()) Fail(column, "is empty");
    errno = 0;
    char* end = nullptr;
    const double x = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || errno == ERANGE || !std::isfinite(x)) {
      Fail(column, "is not a number: '" + s + "'");
    }
    return x;
  }
  double Number(std::string_view column) const { return Number(column, Required(column)); }
  [[noreturn]] void Fail(std::string_view column, const std::string& what) const {
    std::string where = std::string(file_) + " line " + std::to_string(row_.line);
    if (!row_.fields.empty()) where += " (" + Trim(row_.fields[0]) + ")";
    if (!column.empty()) where += ", field " + std::string(column);
    throw CometDataError(where + ": " + what);
  }
  int Line() const { return row_.line; }

 private:
  std::size_t Index(std::string_view column) const {
    for (std::size_t k = 0; k < header_.size(); ++k) {
      if (header_[k] == column) return k;
    }
    Fail(column, "no such column");
  }
  std::string_view file_;
  const std::vector<std::string>& header_;
  const CsvRow& row_;
};

std::vector<std::string> Header(const std::vector<CsvRow>& rows, std::string_view file,
                                std::span<const std::string_view> expected) {
  if (rows.empty()) throw CometDataError(std::string(file) + ": no header line");
  std::vector<std::string> header;
  for (const std::string& f : rows[0].fields) header.push_back(Trim(f));
  for (std::string_view column : expected) {
    bool found = false;
    for (const std::string& h : header) found = found || h == column;
    if (!found) {
      throw CometDataError(std::string(file) + " line 1: no column '" + std::string(column) + "'");
    }
  }
  return header;
}

// ---- Orbit solutions ----

constexpr std::string_view kSolutionsFile = "comet_solutions.csv";
constexpr std::string_view kSolutionColumns[] = {"comet", "solution", "epoch_jd", "A1",     "A2",
                                                 "A3",    "units",    "q",        "e",      "i",
                                                 "node",  "peri",     "tp_jd",    "source"};

// The A values' unit, from the start of the `units` field: JPL gives AU/d^2, IMCCE,
// Nakano and the MPC 1e-8 AU/d^2 (comet_solutions.md, "Units").
struct UnitEntry {
  std::string_view prefix;
  double toAuPerDay2;
};
constexpr UnitEntry kUnits[] = {{"AU/d^2", 1.0}, {"1e-8 AU/d^2", 1e-8}};

// Rows kept in the table but not to be integrated back in time, recognised by what
// their own text says (comet_solutions.md, "Reliability by comet" and the rows).
struct UnusableRule {
  std::string_view phrase;  // in the solution's description
  std::string_view reason;
};
constexpr UnusableRule kUnusable[] = {
    {"do not use for back-integration",
     "fitted to two returns only; its A2 moves the perihelion by about -110 d per revolution "
     "(IAUC 5636: the 18th-century time comes out 15 months late)"},
    {"UNVERIFIED", "an unverified single copy labelled a simulated/proxy model"},
    {"NOT shown", "its non-gravitational parameters are not given with it"},
    {"cross-check of row above", "a copy of another row rounded to 3 significant figures"},
};

constexpr std::string_view kB1950 = "(B1950)";

// "31.87869 (B1950)" -> 31.87869, with b1950 set; a plain number leaves it false.
double Angle(const RowReader& r, std::string_view column, bool& b1950) {
  std::string text = r.Required(column);
  const auto at = text.find(kB1950);
  b1950 = at != std::string::npos;
  if (b1950) text = Trim(std::string_view(text).substr(0, at));
  return r.Number(column, text);
}

// JPL's time shift, as the solution text states it ("DT = -32.8 d", "DT=0"); 0 if none.
double TimeShift(const RowReader& r, const std::string& name) {
  static const std::regex dt(R"(\bDT\s*=\s*([-+]?[0-9]*\.?[0-9]+))");
  std::smatch m;
  if (!std::regex_search(name, m, dt)) return 0;
  return r.Number("solution", m[1].str());
}

OrbitSolution ParseSolutionRow(const RowReader& r) {
  OrbitSolution s;
  s.line = r.Line();
  s.comet = r.Required("comet");
  s.name = r.Required("solution");
  s.source = r.Required("source");
  s.epochJD = r.Number("epoch_jd");
  if (!(s.epochJD > 0 && s.epochJD < 5e6)) r.Fail("epoch_jd", "is not a Julian date");

  SolutionElements& el = s.elements;
  el.q = r.Number("q");
  if (!(el.q > 0)) r.Fail("q", "must be positive");
  el.e = r.Number("e");
  if (!(el.e >= 0 && el.e < 1)) r.Fail("e", "must lie in [0, 1): only bound orbits return");
  bool b1950[3];
  el.inclDeg = Angle(r, "i", b1950[0]);
  el.nodeDeg = Angle(r, "node", b1950[1]);
  el.periDeg = Angle(r, "peri", b1950[2]);
  if (b1950[0] != b1950[1] || b1950[1] != b1950[2]) {
    r.Fail("i", "i, node and peri must all be B1950 or all J2000");
  }
  if (!(el.inclDeg >= 0 && el.inclDeg <= 180)) r.Fail("i", "must lie in [0, 180]");
  if (!(el.nodeDeg >= 0 && el.nodeDeg < 360)) r.Fail("node", "must lie in [0, 360)");
  if (!(el.periDeg >= 0 && el.periDeg < 360)) r.Fail("peri", "must lie in [0, 360)");
  if (b1950[0]) {
    ReduceB1950ToJ2000(el.inclDeg, el.nodeDeg, el.periDeg);
    s.note = "angles reduced from B1950 to J2000 (Meeus 1998, ch. 24)";
  }

  const std::string a[3] = {r.Text("A1"), r.Text("A2"), r.Text("A3")};
  const std::string units = r.Text("units");
  const bool anyA = !a[0].empty() || !a[1].empty() || !a[2].empty();
  double scale = 0;
  if (!units.empty()) {
    for (const UnitEntry& u : kUnits) {
      if (units.starts_with(u.prefix)) scale = u.toAuPerDay2;
    }
    if (scale == 0) r.Fail("units", "unknown unit '" + units + "' (AU/d^2 or 1e-8 AU/d^2)");
  } else if (anyA) {
    r.Fail("units", "is empty but the row has A values");
  }
  double* const target[3] = {&s.nonGrav.a1, &s.nonGrav.a2, &s.nonGrav.a3};
  constexpr std::string_view kA[3] = {"A1", "A2", "A3"};
  for (int k = 0; k < 3; ++k) {
    if (!a[k].empty()) *target[k] = r.Number(kA[k], a[k]) * scale;
  }
  s.nonGrav.dtDays = TimeShift(r, s.name);
  if (s.nonGrav.dtDays != 0 && !anyA) r.Fail("solution", "gives DT but no A values");

  const std::string tp = r.Text("tp_jd");
  if (!tp.empty()) el.tpJD = r.Number("tp_jd", tp);
  auto markUnusable = [&s](std::string_view reason) {
    if (!s.usableForHistory) return;
    s.usableForHistory = false;
    s.note = s.note.empty() ? std::string(reason) : s.note + "; " + std::string(reason);
  };
  for (const UnusableRule& rule : kUnusable) {
    if (Contains(s.name, rule.phrase)) markUnusable(rule.reason);
  }
  if (tp.empty()) markUnusable("no perihelion time");
  return s;
}

// ---- Perihelion history ----

constexpr std::string_view kHistoryFile = "perihelion_history.csv";
constexpr std::string_view kHistoryColumns[] = {"comet", "tp_calendar", "tp_jd", "timescale",
                                                "source"};

// UTC exists from 1972 on (initial/time_scale.h has its leap seconds).
constexpr double kUtcFromJD = 2441317.5;  // 1972 January 1
constexpr double kTtMinusTaiSeconds = 32.184;

// "1998-02-28.09653" or "-0239-05-25.0 (240 BC)": astronomical year, month, day with
// fraction; the Julian calendar before 1582 October 15 (astronom.h).
double CalendarJD(const RowReader& r, const std::string& text,
                  std::string_view column = "tp_calendar") {
  static const std::regex date(R"(^([-+]?[0-9]{1,4})-([0-9]{2})-([0-9]{2}(\.[0-9]+)?)(\s.*)?$)");
  std::smatch m;
  if (!std::regex_match(text, m, date)) {
    r.Fail(column, "is not YYYY-MM-DD.ddd: '" + text + "'");
  }
  const int year = std::stoi(m[1].str());
  const int month = std::stoi(m[2].str());
  const double day = r.Number(column, m[3].str());
  if (month < 1 || month > 12 || day < 1 || day >= 32) r.Fail(column, "has no such date");
  return JulianDate(year, month, 0, day * 24, 0, 0);
}

RecordedPassage ParsePassageRow(const RowReader& r) {
  RecordedPassage p;
  p.line = r.Line();
  p.comet = r.Required("comet");
  p.source = r.Required("source");
  p.timeScale = r.Required("timescale");
  const double jd = r.Number("tp_jd");
  const double calendarJD = CalendarJD(r, r.Required("tp_calendar"));
  // The calendar column keeps at most five decimals of the day.
  if (!(std::fabs(calendarJD - jd) <= 1e-5)) {
    r.Fail("tp_jd", "disagrees with tp_calendar by " + std::to_string(calendarJD - jd) + " d");
  }
  const std::string& scale = p.timeScale;
  p.jdTT = jd;
  if (scale.starts_with("UTC")) {
    if (jd < kUtcFromJD) r.Fail("timescale", "UTC before 1972 does not exist");
    p.jdTT = jd + (kTtMinusTaiSeconds + TaiMinusUtcSeconds(jd)) / 86400;
  } else if (scale.starts_with("unspecified")) {
    p.dayLevel = true;
  } else if (!(scale.starts_with("TT") || scale.starts_with("TDB") || scale.starts_with("ET"))) {
    r.Fail("timescale", "unknown time scale '" + scale + "'");
  }
  if (Contains(scale, "date only") || Contains(scale, "model-dependent")) p.dayLevel = true;
  auto markUnusable = [&p](std::string_view reason) {
    if (!p.usable) return;
    p.usable = false;
    p.note = std::string(reason);
  };
  if (Contains(scale, "prediction")) markUnusable("a prediction, not a passage");
  if (Contains(scale, "not fitted")) markUnusable("left out of its own fit");
  if (Contains(scale, "not used")) {
    markUnusable("another row of the same passage is used; its source says why");
  }
  if (Contains(p.source, "osculating TP") || Contains(p.source, "NOT the true")) {
    markUnusable("an osculating TP, not the perihelion instant");
  }
  return p;
}

// Two usable rows of one comet and year whose times differ by more than their two
// sigmas together disagree: one of them must be marked not fitted, with its reason.
void CheckNoConflictingPassages(const std::vector<RecordedPassage>& passages) {
  for (std::size_t a = 0; a < passages.size(); ++a) {
    for (std::size_t b = a + 1; b < passages.size(); ++b) {
      const RecordedPassage& p = passages[a];
      const RecordedPassage& q = passages[b];
      if (!p.usable || !q.usable || CometDesignation(p.comet) != CometDesignation(q.comet) ||
          CalendarFromJulianDate(p.jdTT).year != CalendarFromJulianDate(q.jdTT).year) {
        continue;
      }
      const double apart = std::fabs(p.jdTT - q.jdTT);
      if (apart > PassageSigmaDays(p) + PassageSigmaDays(q)) {
        char text[200];
        std::snprintf(text, sizeof text,
                      " line %d (%s): the year %d has a second used passage (line %d) %.2f d "
                      "apart; mark one (not used) and say why in its source",
                      q.line, q.comet.c_str(), CalendarFromJulianDate(q.jdTT).year, p.line, apart);
        throw CometDataError(std::string(kHistoryFile) + text);
      }
    }
  }
}

// ---- Release events ----

constexpr std::string_view kEventsFile = "release_events.csv";
constexpr std::string_view kEventColumns[] = {"comet",          "passage_year", "kind",
                                              "speed_factor",   "event_calendar", "event_jd",
                                              "brightening_mag", "source",        "note"};
constexpr std::string_view kEventKinds[] = {"break-up", "outburst"};
// The factors published for 73P's 1995 break-up lie between 2.5 (CBET 5125) and 5
// (Ye and Vaubaillon 2022, MNRAS 515, L45); 20 bounds a typing error, not the physics.
constexpr double kLargestSpeedFactor = 20;
// 73P's 1995 outburst, one of the largest recorded, was some 7-8 magnitudes.
constexpr double kLargestBrighteningMag = 15;

ReleaseEvent ParseEventRow(const RowReader& r) {
  ReleaseEvent e;
  e.line = r.Line();
  e.comet = r.Required("comet");
  e.source = r.Required("source");
  e.note = r.Text("note");
  const double year = r.Number("passage_year");
  if (!(year == std::floor(year) && std::fabs(year) <= 9999)) {
    r.Fail("passage_year", "is not a year");
  }
  e.passageYear = static_cast<int>(year);
  e.kind = r.Required("kind");
  bool known = false;
  for (std::string_view kind : kEventKinds) known = known || e.kind == kind;
  if (!known) r.Fail("kind", "is '" + e.kind + "', not break-up or outburst");
  e.speedFactor = r.Number("speed_factor");
  if (!(e.speedFactor > 0 && e.speedFactor <= kLargestSpeedFactor)) {
    r.Fail("speed_factor", "must lie in (0, 20]");
  }
  const std::string brightening = r.Text("brightening_mag");
  if (!brightening.empty()) {
    e.brighteningMag = r.Number("brightening_mag", brightening);
    if (!(e.brighteningMag >= 0 && e.brighteningMag <= kLargestBrighteningMag)) {
      r.Fail("brightening_mag", "must lie in [0, 15]");
    }
  }
  const std::string calendar = r.Text("event_calendar");
  const std::string jd = r.Text("event_jd");
  if (calendar.empty() != jd.empty()) r.Fail("event_jd", "give event_calendar and event_jd both, or neither");
  if (!jd.empty()) {
    e.jdTT = r.Number("event_jd", jd);
    if (!(std::fabs(CalendarJD(r, calendar, "event_calendar") - *e.jdTT) <= 1e-5)) {
      r.Fail("event_jd", "disagrees with event_calendar");
    }
    if (std::abs(CalendarFromJulianDate(*e.jdTT).year - e.passageYear) > 1) {
      r.Fail("event_jd", "lies outside the passage's year +-1");
    }
  }
  return e;
}

void CheckOneEventPerPassage(const std::vector<ReleaseEvent>& events) {
  for (std::size_t a = 0; a < events.size(); ++a) {
    for (std::size_t b = a + 1; b < events.size(); ++b) {
      if (CometDesignation(events[a].comet) == CometDesignation(events[b].comet) &&
          events[a].passageYear == events[b].passageYear) {
        throw CometDataError(std::string(kEventsFile) + " line " + std::to_string(events[b].line) +
                             " (" + events[b].comet + "): a second event for the " +
                             std::to_string(events[b].passageYear) + " passage (line " +
                             std::to_string(events[a].line) + "); a trail takes one");
      }
    }
  }
}

template <class Row, std::size_t N>
std::vector<Row> ParseRows(std::string_view text, std::string_view file,
                           const std::string_view (&columns)[N],
                           Row (*parseRow)(const RowReader&)) {
  const std::vector<CsvRow> rows = SplitCsv(text, file);
  const std::vector<std::string> header = Header(rows, file, columns);
  std::vector<Row> out;
  for (std::size_t k = 1; k < rows.size(); ++k) {
    out.push_back(parseRow(RowReader(file, header, rows[k])));
  }
  return out;
}

constexpr double kDeg = kDegToRad;

}  // namespace

std::vector<OrbitSolution> ParseOrbitSolutions(std::string_view text) {
  return ParseRows(text, kSolutionsFile, kSolutionColumns, &ParseSolutionRow);
}

std::vector<RecordedPassage> ParsePerihelionHistory(std::string_view text) {
  std::vector<RecordedPassage> passages =
      ParseRows(text, kHistoryFile, kHistoryColumns, &ParsePassageRow);
  CheckNoConflictingPassages(passages);
  return passages;
}

std::vector<ReleaseEvent> ParseReleaseEvents(std::string_view text) {
  std::vector<ReleaseEvent> events = ParseRows(text, kEventsFile, kEventColumns, &ParseEventRow);
  CheckOneEventPerPassage(events);
  return events;
}

const std::vector<OrbitSolution>& BuiltInOrbitSolutions() {
  static const std::vector<OrbitSolution> solutions = ParseOrbitSolutions(CometSolutionsText());
  return solutions;
}

const std::vector<RecordedPassage>& BuiltInPerihelionHistory() {
  static const std::vector<RecordedPassage> passages =
      ParsePerihelionHistory(PerihelionHistoryText());
  return passages;
}

const std::vector<ReleaseEvent>& BuiltInReleaseEvents() {
  static const std::vector<ReleaseEvent> events = ParseReleaseEvents(ReleaseEventsText());
  return events;
}

std::string ReleaseEventLabel(const ReleaseEvent& event) {
  auto shortest = [](double x) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", x);
    return std::string(text);
  };
  std::string label = event.kind + ", speed x" + shortest(event.speedFactor);
  if (event.brighteningMag > 0) label += ", " + shortest(event.brighteningMag) + " mag brighter";
  if (event.jdTT) label += ", at " + FormatCalendar(*event.jdTT) + " TT";
  return label + " (" + std::string(kEventsFile) + " line " + std::to_string(event.line) + ")";
}

std::optional<ReleaseEvent> EventOfPassage(std::span<const ReleaseEvent> events,
                                           std::string_view comet, int passageYear) {
  for (const ReleaseEvent& e : events) {
    if (e.passageYear == passageYear && CometDesignation(e.comet) == CometDesignation(comet)) return e;
  }
  return std::nullopt;
}

std::string SolutionRow(const OrbitSolution& s) {
  auto quoted = [](const std::string& text) {
    if (text.find_first_of(",\"\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
  };
  auto number = [](double x) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", x);
    return std::string(text);
  };
  std::string name = s.name;
  // The time shift lives in the description, as JPL states it.
  if (s.nonGrav.dtDays != 0 && !std::regex_search(name, std::regex(R"(\bDT\s*=)"))) {
    name += "; DT = " + number(s.nonGrav.dtDays) + " d";
  }
  const SolutionElements& e = s.elements;
  const std::string fields[] = {quoted(s.comet),         quoted(name),
                                number(s.epochJD),       number(s.nonGrav.a1),
                                number(s.nonGrav.a2),    number(s.nonGrav.a3),
                                "AU/d^2",                number(e.q),
                                number(e.e),             number(e.inclDeg),
                                number(e.nodeDeg),       number(e.periDeg),
                                number(e.tpJD),          quoted(s.source)};
  std::string row;
  for (const std::string& f : fields) row += (row.empty() ? "" : ",") + f;
  return row;
}

std::string SolutionLabel(const OrbitSolution& solution) {
  return Trim(std::string_view(solution.name).substr(0, solution.name.find(" (")));
}

std::string_view CometDesignation(std::string_view comet) {
  return comet.substr(0, comet.find('/'));
}

const OrbitSolution* NearestSolution(std::span<const OrbitSolution> solutions,
                                     std::string_view comet, double jd) {
  const std::string_view designation = CometDesignation(comet);
  const OrbitSolution* best = nullptr;
  for (const OrbitSolution& s : solutions) {
    if (!s.usableForHistory || CometDesignation(s.comet) != designation) continue;
    if (!best || std::fabs(s.epochJD - jd) < std::fabs(best->epochJD - jd)) best = &s;
  }
  return best;
}

StateVector SolutionStateAtEpoch(const OrbitSolution& solution) {
  const SolutionElements& el = solution.elements;
  const double a = el.q / (1 - el.e);
  const double meanMotion = kGaussK / (a * std::sqrt(a));
  const double meanAnomaly = std::remainder(meanMotion * (solution.epochJD - el.tpJD), kTwoPi);
  return ElementsToState(a, el.e, el.inclDeg * kDeg, el.nodeDeg * kDeg, el.periDeg * kDeg,
                         meanAnomaly);
}

void ReduceB1950ToJ2000(double& inclDeg, double& nodeDeg, double& periDeg) {
  // Meeus (1998), ch. 24, the FK4 B1950.0 -> FK5 J2000.0 case: the ecliptic of B1950
  // meets that of J2000 at longitude L (B1950) under the angle J; the node then moves
  // by the arc between the two equinoxes along it.
  constexpr double kL = 5.19856209 * kDeg, kJ = 0.00651966 * kDeg;
  constexpr double kNodeShift = 4.50001688;  // degrees
  const double i0 = inclDeg * kDeg;
  const double w = kL + nodeDeg * kDeg;
  const double a = std::sin(kJ) * std::sin(w);
  const double b = std::sin(i0) * std::cos(kJ) + std::cos(i0) * std::sin(kJ) * std::cos(w);
  const double cosI = std::cos(i0) * std::cos(kJ) - std::sin(i0) * std::sin(kJ) * std::cos(w);
  const double node = std::atan2(std::sin(i0) * std::sin(w),
                                 std::cos(i0) * std::sin(kJ) + std::sin(i0) * std::cos(kJ) * std::cos(w));
  auto wrap = [](double deg) { return deg - 360 * std::floor(deg / 360); };
  inclDeg = std::atan2(std::hypot(a, b), cosI) / kDeg;
  nodeDeg = wrap(node / kDeg - kNodeShift);
  periDeg = wrap(periDeg + std::atan2(a, b) / kDeg);
}

}  // namespace stelvo
