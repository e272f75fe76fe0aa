#!/usr/bin/env python3
"""The iCalendar file the program writes (tests/data/exchange.ics, which
tst_ataricalendar compares with the program's output byte for byte) read back
by a calendar parser, as a calendar program imports it."""
import datetime
import pathlib
import sys

import icalendar

path = pathlib.Path(sys.argv[1])
raw = path.read_bytes()
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


# Each physical line: CR LF, at most 75 octets, whole UTF-8 characters.
check(raw.endswith(b"\r\n"), "the file ends with CR LF")
for number, line in enumerate(raw.split(b"\r\n")[:-1], 1):
    check(b"\n" not in line and b"\r" not in line, f"line {number}: a bare line break")
    check(len(line) <= 75, f"line {number}: {len(line)} octets")
    try:
        line.decode("utf-8")
    except UnicodeDecodeError:
        failures.append(f"line {number}: a character split by the fold")

calendar = icalendar.Calendar.from_ical(raw)
check(str(calendar["VERSION"]) == "2.0", "VERSION 2.0")
check("PRODID" in calendar, "PRODID")
events = calendar.walk("VEVENT")
check(len(events) == 1, "one event")
event = events[0]
check(str(event["SUMMARY"]) == "お年玉賞品の引換期限（年賀状 令和8年度）", "the summary")
start = event.decoded("DTSTART")
check(type(start) is datetime.date and start == datetime.date(2026, 7, 21), f"all day on the last day: {start!r}")
check(event.decoded("DTEND") == datetime.date(2026, 7, 22), "ends with the day")
check(str(event["UID"]).startswith("harovan-exchange-"), "the UID")
check("DTSTAMP" in event, "DTSTAMP")
description = str(event["DESCRIPTION"]).split("\n")
check(
    description
    == [
        "引換がまだの当たりはがき 2枚",
        "123456　１等　現金30万円／選べる電子マネー31万円分（いずれか1点）",
        "****73　３等　お年玉切手シート（差出人 山田, 花子; \\ 叔母）",
        "賞品の引換は2026年7月21日までです。",
    ],
    f"the description: {description!r}",
)
alarms = event.walk("VALARM")
check(
    sorted(alarm.decoded("TRIGGER") for alarm in alarms) == [datetime.timedelta(days=-7), datetime.timedelta(days=-1)],
    "alarms 7 days and 1 day before",
)
for alarm in alarms:
    check(str(alarm["ACTION"]) == "DISPLAY" and str(alarm["DESCRIPTION"]) == str(event["SUMMARY"]), "a display alarm")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
