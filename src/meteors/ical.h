#pragma once
// Forecast encounters as an iCalendar file (RFC 5545) that calendar programs import:
// one event per encounter from its peak to the peak plus its duration. Text only;
// stelvo-cli --ical writes it atomically.

#include <string>
#include <string_view>
#include <vector>

#include "meteors/forecast.h"

namespace stelvo {

struct CalendarEvent {
  std::string uid;  // unique and stable for the same encounter
  double startJd, endJd;  // the run's TT; written as UTC
  std::string summary;
  std::string description;
};

// A VCALENDAR with one VEVENT per event: CRLF line ends, lines folded at 75 octets
// (never inside a UTF-8 sequence), TEXT values escaped (backslash, semicolon, comma,
// newline), times in UTC to the minute. stampJd is the DTSTAMP, the instant the file
// is made.
std::string ICalendar(const std::vector<CalendarEvent>& events, double stampJd);

// The forecast's encounters as events: SUMMARY "<shower> outburst, <trail> trail,
// ZHR <zhr>" (the comet's name where the shower is not known), DTEND at the peak plus
// the FWHM (at least a minute).
std::vector<CalendarEvent> EncounterEvents(const std::vector<TrailEncounter>& encounters,
                                           std::string_view cometName, std::string_view showerName);

// RFC 5545 section 3.3.11 escaping of a TEXT value.
std::string EscapeIcalText(std::string_view text);

// RFC 5545 section 3.1 folding of one content line (without its CRLF) into lines of
// at most 75 octets joined by CRLF and a space.
std::string FoldIcalLine(std::string_view line);

}  // namespace stelvo
