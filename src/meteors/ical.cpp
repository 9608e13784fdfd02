#include "meteors/ical.h"

#include <cmath>
#include <cstdio>

#include "initial/time_scale.h"
#include "meteors/sky_geometry.h"

namespace stelvo {

namespace {

constexpr std::size_t kMaxOctets = 75;

// "YYYYMMDDTHHMM00Z".
std::string UtcStamp(double jd) {
  const CalendarTime t = CalendarFromJulianDate(jd);
  char text[24];
  std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d00Z", t.year, t.month, t.day, t.hour,
                t.minute);
  return text;
}

}  // namespace

std::string EscapeIcalText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case ';': out += "\\;"; break;
      case ',': out += "\\,"; break;
      case '\n': out += "\\n"; break;
      case '\r': break;
      default: out += c;
    }
  }
  return out;
}

std::string FoldIcalLine(std::string_view line) {
  std::string out;
  std::size_t room = kMaxOctets;  // octets the current physical line may still take
  std::size_t k = 0;
  while (k < line.size()) {
    // The next character's length in UTF-8, so that no sequence is split.
    const unsigned char lead = static_cast<unsigned char>(line[k]);
    std::size_t len = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 1;
    len = std::min(len, line.size() - k);
    if (len > room) {
      out += "\r\n ";
      room = kMaxOctets - 1;  // the leading space counts
    }
    out.append(line.substr(k, len));
    room -= len;
    k += len;
  }
  return out;
}

std::string ICalendar(const std::vector<CalendarEvent>& events, double stampJd) {
  std::string out;
  auto line = [&out](std::string_view text) {
    out += FoldIcalLine(text);
    out += "\r\n";
  };
  line("BEGIN:VCALENDAR");
  line("VERSION:2.0");
  line("PRODID:-//Stelvo//Dust-trail forecast//EN");
  line("CALSCALE:GREGORIAN");
  const std::string stamp = UtcStamp(stampJd);
  for (const CalendarEvent& e : events) {
    line("BEGIN:VEVENT");
    line("UID:" + EscapeIcalText(e.uid));
    line("DTSTAMP:" + stamp);
    line("DTSTART:" + UtcStamp(UniversalFromTerrestrial(e.startJd)));
    line("DTEND:" + UtcStamp(UniversalFromTerrestrial(e.endJd)));
    line("SUMMARY:" + EscapeIcalText(e.summary));
    if (!e.description.empty()) line("DESCRIPTION:" + EscapeIcalText(e.description));
    line("END:VEVENT");
  }
  line("END:VCALENDAR");
  return out;
}

std::vector<CalendarEvent> EncounterEvents(const std::vector<TrailEncounter>& encounters,
                                           std::string_view cometName, std::string_view showerName) {
  std::vector<CalendarEvent> events;
  const std::string shower = showerName.empty() ? std::string(cometName) : std::string(showerName);
  for (const TrailEncounter& e : encounters) {
    CalendarEvent ev;
    char text[400];
    // The comet's designation up to its first blank or slash keeps the UID plain.
    std::string tag;
    for (char c : cometName) {
      if (c == '/' || c == ' ') break;
      tag += c;
    }
    std::snprintf(text, sizeof text, "%s-trail%d-%d-%s@stelvo", tag.c_str(), e.trailYear,
                  e.forecastYear, UtcStamp(UniversalFromTerrestrial(e.peakJd)).c_str());
    ev.uid = text;
    ev.startJd = e.peakJd;
    ev.endJd = e.peakJd + std::max(e.fwhmMin, 1.0) / 1440;
    std::snprintf(text, sizeof text, "%s outburst, %d trail, ZHR %.0f", shower.c_str(), e.trailYear,
                  e.zhr);
    ev.summary = text;
    std::snprintf(text, sizeof text,
                  "Dust trail of %.*s released in %d. Peak %s UTC +- %.0f min, solar longitude "
                  "%.3f deg; ZHR %.0f +- %.0f, FWHM %.0f min; rD - rE %+.5f AU; radiant RA "
                  "%.1f, Dec %+.1f (J2000), %.1f km/s; %d model grains near the Earth.",
                  static_cast<int>(cometName.size()), cometName.data(), e.trailYear,
                  FormatUtc(e.peakJd).c_str(), e.peakSigmaMin, e.lambdaSun, e.zhr, e.zhrSigma,
                  e.fwhmMin, e.missAu, e.raDeg, e.decDeg, e.vgKmS, e.particles);
    ev.description = text;
    events.push_back(std::move(ev));
  }
  return events;
}

}  // namespace stelvo
