#include "meteors/record_format.h"

#include <cstdio>
#include <cstring>

#include "meteors/sky_geometry.h"

// The titles are German source texts that the window translates in the context of
// its shower window; the marker, written out at each title because the translation
// tools read it literally (they expand no macro), lets them find the texts here.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(context, text) text
#endif

namespace stelvo {

namespace {

Cell Number(double value) { return Cell{value, {}, false}; }

Cell Utc(double jd) {
  Cell cell;
  cell.isText = true;
  std::array<char, 17> utc{};
  FormatUtc(jd, utc);
  std::memcpy(cell.text.data(), utc.data(), utc.size());
  return cell;
}

Cell Text(const char* text, std::size_t size) {
  Cell cell;
  cell.isText = true;
  std::memcpy(cell.text.data(), text, std::min(size, cell.text.size() - 1));
  return cell;
}

// t_days,utc,particle,lambda_sun,r_au,dr_au,earth_au,ra,dec,vg (+ weight).
constexpr Column<Crossing> kCrossing[] = {
    {"t_days", nullptr, [](const Crossing& c) { return Number(c.tDays); }, "%.10g", nullptr, nullptr},
    {"utc", nullptr, [](const Crossing& c) { return Utc(c.jd); }, "%s", nullptr, nullptr},
    {"particle", nullptr, [](const Crossing& c) { return Number(c.particle); }, "%d", nullptr, nullptr},
    {"lambda_sun", nullptr, [](const Crossing& c) { return Number(c.lambdaSun); }, "%.6f", nullptr, nullptr},
    {"r_au", nullptr, [](const Crossing& c) { return Number(c.rAu); }, "%.9f", nullptr, nullptr},
    {"dr_au", nullptr, [](const Crossing& c) { return Number(c.drAu); }, "%.9f", nullptr, nullptr},
    {"earth_au", nullptr, [](const Crossing& c) { return Number(c.earthAu); }, "%.9f", nullptr, nullptr},
    {"ra", nullptr, [](const Crossing& c) { return Number(c.raDeg); }, "%.5f", nullptr, nullptr},
    {"dec", nullptr, [](const Crossing& c) { return Number(c.decDeg); }, "%.5f", nullptr, nullptr},
    {"vg", nullptr, [](const Crossing& c) { return Number(c.vgKmS); }, "%.5f", nullptr, nullptr},
    {"weight", nullptr, [](const Crossing& c) { return Number(c.weight); }, "%.9g", nullptr, nullptr,
     kWeightColumns},
};

// stdout: shower LAMBDA_SUN MM-DD RA DEC VG COUNT ENCOUNTERS.
constexpr Column<Shower> kShower[] = {
    {"lambda_sun", QT_TRANSLATE_NOOP("stelvo::TForm_Showers", "λ☉ (°)"), [](const Shower& w) { return Number(w.lambdaSun); },
     "%.2f", "%.1f", "%.2f"},
    {"date", QT_TRANSLATE_NOOP("stelvo::TForm_Showers", "Datum"),
     [](const Shower& w) { return Text(w.date.data(), strnlen(w.date.data(), w.date.size())); },
     "%s", "%s", "%s"},
    {"ra", QT_TRANSLATE_NOOP("stelvo::TForm_Showers", "RA (°)"), [](const Shower& w) { return Number(w.raDeg); }, "%.2f", "%.1f",
     "%.2f"},
    {"dec", QT_TRANSLATE_NOOP("stelvo::TForm_Showers", "Dek (°)"), [](const Shower& w) { return Number(w.decDeg); }, "%+.2f",
     "%+.1f", "%+.2f"},
    {"vg", QT_TRANSLATE_NOOP("stelvo::TForm_Showers", "v_g (km/s)"), [](const Shower& w) { return Number(w.vgKmS); }, "%.2f",
     "%.1f", "%.2f"},
    {"count", QT_TRANSLATE_NOOP("stelvo::TForm_Showers", "Anzahl"), [](const Shower& w) { return Number(w.count); }, "%d", "%d",
     "%d"},
    {"encounters", QT_TRANSLATE_NOOP("stelvo::TForm_Showers", "Begegnungen"), [](const Shower& w) { return Number(w.encounters); },
     "%d", "%d", "%d"},
};

// trail,peak_utc,lambda_sun,miss_au,particles,ra,dec,vg.
constexpr Column<TrailEncounter> kEncounter[] = {
    {"trail", QT_TRANSLATE_NOOP("stelvo::TForm_Showers", "Spur"), [](const TrailEncounter& e) { return Number(e.trailYear); }, "%d",
     "%d", "%-6d"},
    {"peak_utc", QT_TRANSLATE_NOOP("stelvo::TForm_Showers", "Maximum (UTC)"), [](const TrailEncounter& e) { return Utc(e.peakJd); },
     "%s", "%s", "%-17s", kCoreColumns, "peak (UTC)"},
    {"lambda_sun", QT_TRANSLATE_NOOP("stelvo::TForm_Showers", "λ☉ (°)"), [](const TrailEncounter& e) { return Number(e.lambdaSun); },
     "%.4f", "%.3f", "%10.4f"},
    {"miss_au", QT_TRANSLATE_NOOP("stelvo::TForm_Showers", "Abstand (AE)"), [](const TrailEncounter& e) { return Number(e.missAu); },
     "%.5f", "%+.5f", "%+9.5f"},
    {"particles", QT_TRANSLATE_NOOP("stelvo::TForm_Showers", "Teilchen"),
     [](const TrailEncounter& e) { return Number(e.particles); }, "%d", "%d", "%9d"},
    {"ra", QT_TRANSLATE_NOOP("stelvo::TForm_Showers", "RA (°)"), [](const TrailEncounter& e) { return Number(e.raDeg); }, "%.2f",
     "%.1f", "%7.2f"},
    {"dec", QT_TRANSLATE_NOOP("stelvo::TForm_Showers", "Dek (°)"), [](const TrailEncounter& e) { return Number(e.decDeg); }, "%.2f",
     "%+.1f", "%+6.2f"},
    {"vg", QT_TRANSLATE_NOOP("stelvo::TForm_Showers", "v_g (km/s)"), [](const TrailEncounter& e) { return Number(e.vgKmS); }, "%.2f",
     "%.1f", "%6.2f"},
};

// The header format of a text column: its flags' width, as text ("%+9.5f" -> "%9s").
std::string HeaderFormat(const char* format) {
  std::string out = "%";
  const char* p = format + 1;
  if (*p == '-') out += *p++;
  while (*p == '+' || *p == ' ') ++p;
  while (*p >= '0' && *p <= '9') out += *p++;
  return out + "s";
}

}  // namespace

std::span<const Column<Crossing>> CrossingColumns() { return kCrossing; }
std::span<const Column<Shower>> ShowerColumns() { return kShower; }
std::span<const Column<TrailEncounter>> EncounterColumns() { return kEncounter; }

std::string FormatCell(const char* format, const Cell& cell) {
  char out[64];
  const std::size_t length = std::strlen(format);
  if (cell.isText) {
    std::snprintf(out, sizeof out, format, cell.text.data());
  } else if (length > 0 && format[length - 1] == 'd') {
    std::snprintf(out, sizeof out, format, static_cast<int>(cell.number));
  } else {
    std::snprintf(out, sizeof out, format, cell.number);
  }
  return out;
}

template <class Record>
std::vector<std::string> Headers(std::span<const Column<Record>> columns, Output output,
                                 unsigned groups) {
  std::vector<std::string> headers;
  for (const Column<Record>& c : columns) {
    if (!Shown(c, output, groups)) continue;
    if (output == Output::kCsv) {
      headers.emplace_back(c.name);
    } else if (output == Output::kTable) {
      headers.emplace_back(c.title);
    } else {
      char out[64];
      std::snprintf(out, sizeof out, HeaderFormat(c.text).c_str(), c.textName ? c.textName : c.name);
      headers.emplace_back(out);
    }
  }
  return headers;
}

template std::vector<std::string> Headers(std::span<const Column<Crossing>>, Output, unsigned);
template std::vector<std::string> Headers(std::span<const Column<Shower>>, Output, unsigned);
template std::vector<std::string> Headers(std::span<const Column<TrailEncounter>>, Output, unsigned);

std::string Line(const std::vector<std::string>& cells, char separator) {
  std::string line;
  for (std::size_t k = 0; k < cells.size(); ++k) {
    if (k > 0) line += separator;
    line += cells[k];
  }
  return line + '\n';
}

}  // namespace stelvo
