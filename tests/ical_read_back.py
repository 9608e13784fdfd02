#!/usr/bin/env python3
"""Reads the forecast calendar written by meteors_observer_test with the icalendar
package and checks what a calendar program would show: two events, their UTC start
and end, the summary text unescaped."""
import datetime
import sys

import icalendar

with open(sys.argv[1], "rb") as f:
    calendar = icalendar.Calendar.from_ical(f.read())
events = [c for c in calendar.walk() if c.name == "VEVENT"]
assert len(events) == 2, len(events)
first = events[0]
utc = datetime.timezone.utc
assert first.decoded("dtstart") == datetime.datetime(1999, 11, 18, 2, 8, tzinfo=utc), first.decoded("dtstart")
assert first.decoded("dtend") == datetime.datetime(1999, 11, 18, 4, 54, tzinfo=utc), first.decoded("dtend")
assert str(first["summary"]) == "Leonids outburst, 1899 trail, ZHR 3712", first["summary"]
assert "rD - rE" in str(first["description"])
assert len({str(e["uid"]) for e in events}) == 2
print("1 passed, 0 failed")
