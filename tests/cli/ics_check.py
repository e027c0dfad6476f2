#!/usr/bin/python3
"""The real program's command line checked by parsers it shares nothing with:
its JSON by Python's json, its iCalendar export by vobject (validating),
icalendar and a byte scan, and the export's occurrences over 400 days, by
recurring-ical-events, against what `kalvex4 list --due` says of each day."""

import datetime
import json
import os
import subprocess
import sys
import tempfile

import icalendar
import recurring_ical_events
import vobject

KALVEX4, SETUP = sys.argv[1], sys.argv[2]
KEYS = {"log", "number", "subject", "text", "date", "every", "receiver", "type", "sound",
        "email", "url", "program", "file", "due"}
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)


def kv(*words, status=0):
    # No display: the commands must not need one.
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    run = subprocess.run([KALVEX4, *words], capture_output=True, env=env)
    check(run.returncode == status, f"{' '.join(words)}: status {run.returncode}, "
                                    f"{run.stderr.decode(errors='replace')}")
    return run.stdout


def install(root):
    subprocess.run([SETUP, "--sandbox", root], check=True, capture_output=True)
    os.environ["KALVEX4_STORE"] = os.path.join(root, "Kalvex4.conf")
    os.environ["KALVEX4_EXCHANGE"] = os.path.join(root, "Kalvex4.tmp")


def fill(today):
    me = os.environ.get("USER") or subprocess.run(["id", "-un"], capture_output=True,
                                                  text=True).stdout.strip()
    soon = (today + datetime.timedelta(days=3)).isoformat()
    later = (today + datetime.timedelta(days=150)).isoformat()
    kv("add", "--subject", "Dentist, room 3; floor 2", "--text", "Bring the card\nand 50 zł",
       "--date", soon, "--url", "https://dentist.example/?a=1,2")
    kv("add", "--subject", "Later once", "--date", later)
    kv("add", "--subject", "Leap-day Leon", "--date", "1992-02-29", "--every", "year")
    kv("add", "--subject", "Far future yearly", "--date", "2030-05-01", "--every", "year")
    kv("add", "--subject", "Rent on the 31st", "--date", "2026-01-31", "--every", "month")
    kv("add", "--subject", "Zażółć gęślą jaźń " + "ż" * 60, "--text", "x\ty",
       "--date", "2026-06-30", "--every", "month", "--everyone")
    kv("add", "--subject", "For me by name", "--date", "2020-12-25", "--every", "year",
       "--for", me)
    kv("add", "--subject", "For somebody else", "--date", soon, "--for", "somebodyelse")


def check_help():
    text = kv("--help").decode()
    for command in ("list", "add", "remove", "export", "import"):
        check(f"kalvex4 {command} " in text, f"--help lists {command}")
    check(kv("import", "--help").startswith(b"Usage: kalvex4 import --ics"), "import --help")


def check_json():
    entries = json.loads(kv("list", "--json"))
    check(len(entries) == 8, f"list --json gave {len(entries)} entries")
    for e in entries:
        check(set(e) == KEYS, f"keys {sorted(e)}")
    dentist = entries[0]
    check(dentist["text"] == "Bring the card\nand 50 zł", "text with a real line break")
    check(dentist["every"] == "once" and dentist["receiver"] is None, "a private entry")
    check(isinstance(dentist["number"], int), "number is a number")


def check_bytes(data):
    check(data.startswith(b"BEGIN:VCALENDAR\r\n"), "starts with BEGIN:VCALENDAR")
    data.decode("utf-8")  # raises when not UTF-8
    lines = data.split(b"\r\n")
    check(lines[-1] == b"", "ends with CRLF")
    for line in lines:
        check(len(line) <= 75, f"line longer than 75 octets: {line[:40]!r}")
        check(all(b >= 0x20 and b != 0x7F for b in line), f"control byte in {line[:40]!r}")


def check_parsers(text, data):
    calendar = vobject.readOne(text, validate=True)
    check(len(calendar.vevent_list) == 7, f"vobject read {len(calendar.vevent_list)} events")
    for event in calendar.vevent_list:
        check(any(c.name == "VALARM" for c in event.getChildren()), "an alarm in every event")
    parsed = icalendar.Calendar.from_ical(data)
    for component in parsed.walk():
        check(not component.errors, f"icalendar: {component.errors}")
    return parsed


def check_occurrences(parsed, today):
    last = today + datetime.timedelta(days=399)
    by_day = {}
    for occurrence in recurring_ical_events.of(parsed).between(today, last + datetime.timedelta(days=1)):
        day = occurrence["DTSTART"].dt
        by_day.setdefault(day.isoformat(), []).append(str(occurrence["SUMMARY"]))
    shown = 0
    for n in range(400):
        day = (today + datetime.timedelta(days=n)).isoformat()
        listed = sorted(e["subject"] for e in json.loads(kv("list", "--due", day, "--json")))
        check(listed == sorted(by_day.get(day, [])), f"{day}: list {listed}, calendar {by_day.get(day)}")
        shown += len(listed)
    check(shown > 12, f"only {shown} occurrences in 400 days")
    leap = f"{today.year + 1}-02-29"
    check("Leap-day Leon" in by_day.get(leap, []), f"29 February: {by_day.get(leap)}")


def events_of(data):
    found = []
    for c in icalendar.Calendar.from_ical(data).walk("VEVENT"):
        found.append(sorted((k, c[k].to_ical()) for k in c if k != "DTSTAMP"))
    return sorted(found)


def check_round_trip(root):
    first = {log: kv("export", "--ics", "-", "--log", log) for log in ("private", "static", "public")}
    install(os.path.join(root, "empty"))
    for log, data in first.items():
        path = os.path.join(root, log + ".ics")
        with open(path, "wb") as f:
            f.write(data)
        kv("import", "--ics", path, "--log", log)
    for log, data in first.items():
        check(events_of(kv("export", "--ics", "-", "--log", log)) == events_of(data),
              f"the {log} log's events after export, import and export")


def window_start():
    """The first of 400 days that hold the next 29 February (and so several 31sts)."""
    year = datetime.date.today().year + 1
    while year % 4 or (year % 100 == 0 and year % 400):
        year += 1
    return datetime.date(year, 2, 29) - datetime.timedelta(days=200)


def main():
    today = window_start()
    with tempfile.TemporaryDirectory() as root:
        install(os.path.join(root, "first"))
        check_help()
        fill(today)
        check_json()
        data = kv("export", "--ics", "-")
        check_bytes(data)
        parsed = check_parsers(data.decode("utf-8"), data)
        check_occurrences(parsed, today)
        check_round_trip(root)
    print("ics_check:", "ok" if not failures else f"{len(failures)} failures")
    sys.exit(1 if failures else 0)


main()
