// Reading a calendar: every VEVENT becomes an event the logs can hold, or a
// refusal naming its UID and why.

#include <libical/ical.h>

#include <QString>
#include <algorithm>
#include <memory>
#include <optional>
#include <set>

#include "icalendar.h"
#include "icalzone.h"

namespace kv::cli {

namespace {

using storage::DisplayMode;

struct ComponentFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

// A timed start falls on the local date of the reader's machine; empty, or
// why that cannot be worked out.
std::string localDate(const icaltimetype& t, QDate& date) {
    if (t.is_date || (!icaltime_is_utc(t) && !t.zone)) {
        date = QDate(t.year, t.month, t.day);
        return {};
    }
    icaltimezone* zone =
        icaltime_is_utc(t) ? icaltimezone_get_utc_timezone() : const_cast<icaltimezone*>(t.zone);
    if (std::string problem = zoneProblem(zone); !problem.empty()) return problem;
    date = QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(t, zone)).date();
    return {};
}

bool arraySet(const short* values) {
    return values[0] != ICAL_RECURRENCE_ARRAY_MAX;
}

// The one value of a BY part, or -1 when there are several.
int single(const short* values) {
    return arraySet(values + 1) ? -1 : values[0];
}

// Whether the rule says "the start's day, or the month's last when it lacks
// it" (BYMONTHDAY=28,...,day;BYSETPOS=-1), as the logs show such an entry.
bool monthEndForm(const icalrecurrencetype& r, const QDate& start, DisplayMode mode) {
    if (start.day() < 29 || single(r.by_set_pos) != -1) return false;
    if (mode == DisplayMode::Yearly &&
        (start.month() != 2 || (arraySet(r.by_month) && single(r.by_month) != 2)))
        return false;
    int k = 0;
    for (int d = 28; d <= start.day(); ++d)
        if (r.by_month_day[k++] != d) return false;
    return r.by_month_day[k] == ICAL_RECURRENCE_ARRAY_MAX;
}

// Why a repetition rule is more than every year or every month on the start's day.
std::string ruleProblem(const icalrecurrencetype& r, const QDate& start, DisplayMode& mode) {
    if (r.freq == ICAL_YEARLY_RECURRENCE)
        mode = DisplayMode::Yearly;
    else if (r.freq == ICAL_MONTHLY_RECURRENCE)
        mode = DisplayMode::Monthly;
    else
        return "it repeats more often than monthly; the logs hold yearly and monthly entries";
    if (r.interval > 1)
        return "it repeats every " + std::to_string(r.interval) +
               (mode == DisplayMode::Yearly ? " years" : " months");
    if (r.count > 0) return "it ends after " + std::to_string(r.count) + " times";
    if (!icaltime_is_null_time(r.until)) return "it ends on a set day (UNTIL)";
    if (arraySet(r.by_day)) return "it falls on a weekday of the month (BYDAY)";
    const bool monthEnd = monthEndForm(r, start, mode);
    if (!monthEnd && arraySet(r.by_month_day) && single(r.by_month_day) != start.day())
        return "it falls on other days of the month than its start (BYMONTHDAY)";
    if (arraySet(r.by_month) &&
        (mode == DisplayMode::Monthly || single(r.by_month) != start.month()))
        return "it falls in other months than its start (BYMONTH)";
    if (arraySet(r.by_year_day) || arraySet(r.by_week_no) ||
        (!monthEnd && arraySet(r.by_set_pos)) || arraySet(r.by_hour) || arraySet(r.by_minute) ||
        arraySet(r.by_second))
        return "its rule picks days the logs cannot name";
    return {};
}

// A value made clean. libical drops the blanks that end a line, so one that
// a control byte made end in a blank reads back without it: it goes now, and
// an event reads the same when our export gives it back.
std::string text(const char* value, bool lineBreaks = true) {
    if (!value) return {};
    std::string clean = cleanText(value, lineBreaks);
    clean.erase(clean.find_last_not_of(' ') + 1);
    return clean;
}

std::string xValue(icalproperty* p) {
    const icalvalue* v = icalproperty_get_value(p);
    if (!v) return {};
    const char* raw = icalvalue_isa(v) == ICAL_X_VALUE      ? icalvalue_get_x(v)
                      : icalvalue_isa(v) == ICAL_TEXT_VALUE ? icalvalue_get_text(v)
                                                            : nullptr;
    return text(raw, false);
}

void takeOurs(icalcomponent* c, Event& e) {
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_X_PROPERTY)) {
        const std::string name = icalproperty_get_x_name(p) ? icalproperty_get_x_name(p) : "";
        const std::string value = xValue(p);
        if (name == "X-KALVEX4-DATE")
            e.date = value;
        else if (name == "X-KALVEX4-TYPE")
            e.type = value;
        else if (name == "X-KALVEX4-SOUND")
            e.sound = value;
        else if (name == "X-KALVEX4-RECEIVER")
            e.receiver = value;
        else if (name == "X-KALVEX4-EMAIL")
            e.email = value;
        else if (name == "X-KALVEX4-PROGRAM")
            e.program = value;
        else if (name == "X-KALVEX4-FILE")
            e.file = value;
    }
    if (icalproperty* url = icalcomponent_get_first_property(c, ICAL_URL_PROPERTY))
        if (const char* value = icalproperty_get_url(url)) e.url = text(value, false);
}

// libical's first complaint about c or its parts, or nothing. An empty value
// (DESCRIPTION: as web calendars write it) is a value: libical drops the
// property with a complaint, and the event reads as having an empty one.
std::optional<std::string> malformed(icalcomponent* c) {
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_XLICERROR_PROPERTY)) {
        const char* text = icalproperty_get_xlicerror(p);
        const std::string error = text ? text : "";
        if (error.rfind("No value for ", 0) != 0) return error;
    }
    for (icalcomponent* part = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); part;
         part = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
        if (std::optional<std::string> error = malformed(part)) return error;
    return std::nullopt;
}

// Why the event cannot be an entry, or empty when e now holds it.
std::string readEvent(icalcomponent* c, Event& e) {
    if (std::optional<std::string> error = malformed(c))
        return "it is malformed (" + (error->empty() ? "unreadable" : *error) + ")";
    if (icalcomponent_get_status(c) == ICAL_STATUS_CANCELLED) return "it is cancelled";
    if (icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY))
        return "it changes one occurrence of a series (RECURRENCE-ID)";
    if (!icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY)) return "it has no start";
    if (std::string problem = localDate(icalcomponent_get_dtstart(c), e.start); !problem.empty())
        return problem;
    if (!e.start.isValid()) return "its start is not a day of the calendar";
    if (e.start.year() > kLastCalendarYear)
        return "it starts after the year " + std::to_string(kLastCalendarYear);
    if (icalcomponent_count_properties(c, ICAL_RRULE_PROPERTY) > 1) return "it has several rules";
    if (icalcomponent_get_first_property(c, ICAL_RDATE_PROPERTY) ||
        icalcomponent_get_first_property(c, ICAL_EXDATE_PROPERTY))
        return "it adds or leaves out single dates (RDATE, EXDATE)";
    if (icalproperty* rule = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY))
        if (std::string problem = ruleProblem(icalproperty_get_rrule(rule), e.start, e.mode);
            !problem.empty())
            return problem;
    e.summary = text(icalcomponent_get_summary(c));
    e.description = text(icalcomponent_get_description(c));
    takeOurs(c, e);
    return {};
}

// The other things a calendar schedules, which an import says it leaves out.
bool otherEntry(icalcomponent_kind kind) {
    return kind == ICAL_VTODO_COMPONENT || kind == ICAL_VJOURNAL_COMPONENT ||
           kind == ICAL_VFREEBUSY_COMPONENT || kind == ICAL_VAVAILABILITY_COMPONENT ||
           kind == ICAL_VPOLL_COMPONENT;
}

void readEvents(icalcomponent* calendar, Calendar& out, std::set<std::string>& uids) {
    for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
        const icalcomponent_kind kind = icalcomponent_isa(c);
        // Zones serve the events, and what is neither an event nor another
        // calendar entry (RFC 9073's VLOCATION, X- and unknown names,
        // libical's own kinds) is no business of the logs.
        if (kind != ICAL_VEVENT_COMPONENT && !otherEntry(kind)) continue;
        Event e;
        e.uid = text(icalcomponent_get_uid(c), false);
        const std::string shown = e.uid.empty() ? "(no UID)" : e.uid;
        std::string problem;
        if (kind != ICAL_VEVENT_COMPONENT)
            problem =
                std::string("it is a ") + icalcomponent_kind_to_string(kind) + ", not an event";
        else
            problem = readEvent(c, e);
        if (problem.empty() && !e.uid.empty() && !uids.insert(e.uid).second)
            problem = "its UID is in the file twice";
        if (problem.empty())
            out.events.push_back(std::move(e));
        else
            out.refused.push_back({shown, problem});
    }
}

// libical reads a line in time that grows with the square of its length;
// texts that the logs hold are far shorter than this.
constexpr std::size_t kMaxLineBytes = 256 * 1024;

// The number of the first line longer than kMaxLineBytes with the lines folded
// onto it, or 0 when there is none.
std::size_t lineTooLong(const std::string& bytes) {
    std::size_t line = 0, first = 1, length = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 0 || bytes[i - 1] == '\n') {
            ++line;
            if (bytes[i] != ' ' && bytes[i] != '\t') {
                length = 0;
                first = line;
            }
        }
        if (++length > kMaxLineBytes) return first;
    }
    return 0;
}

}  // namespace

Calendar readCalendar(const std::string& bytes) {
    Calendar out;
    if (const std::size_t at = lineTooLong(bytes); at != 0) {
        out.error = "its line " + std::to_string(at) + " is longer than " +
                    std::to_string(kMaxLineBytes / 1024) + " KB, which no calendar line needs";
        return out;
    }
    // A NUL byte would end the text early: it is no part of a calendar.
    std::string text = bytes;
    std::replace(text.begin(), text.end(), '\0', ' ');
    Component root(icalparser_parse_string(text.c_str()));
    if (!root || (icalcomponent_isa(root.get()) != ICAL_VCALENDAR_COMPONENT &&
                  icalcomponent_isa(root.get()) != ICAL_XROOT_COMPONENT)) {
        out.error = "it holds no complete calendar (BEGIN:VCALENDAR to END:VCALENDAR)";
        return out;
    }
    std::set<std::string> uids;
    if (icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT) {
        readEvents(root.get(), out, uids);
        return out;
    }
    // Several calendars one after another.
    for (icalcomponent* c = icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT);
         c; c = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT))
        readEvents(c, out, uids);
    return out;
}

}  // namespace kv::cli
