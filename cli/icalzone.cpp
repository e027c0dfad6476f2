#include "icalzone.h"

#include <algorithm>

namespace kv::cli {

namespace {

// Real zones change twice a year from 1601 at the earliest (about 2,000
// changes to 2100); a zone of more would keep the import busy for minutes.
constexpr long long kMaxChanges = 20'000;
constexpr int kLastYear = 2100;

long long counted(const short* values, int size) {
    int n = 0;
    while (n < size && values[n] != ICAL_RECURRENCE_ARRAY_MAX) ++n;
    return std::max(n, 1);
}

// How many changes one rule of an observance makes up to kLastYear, or -1
// when it makes them more often than yearly or at set times of day.
long long changesOf(const icalrecurrencetype& r, int fromYear) {
    if (r.freq != ICAL_YEARLY_RECURRENCE) return -1;
    if (r.by_hour[0] != ICAL_RECURRENCE_ARRAY_MAX || r.by_minute[0] != ICAL_RECURRENCE_ARRAY_MAX ||
        r.by_second[0] != ICAL_RECURRENCE_ARRAY_MAX)
        return -1;
    const long long years = std::max(1, kLastYear - fromYear) / std::max<short>(r.interval, 1) + 1;
    const long long perYear =
        counted(r.by_month, ICAL_BY_MONTH_SIZE) * counted(r.by_month_day, ICAL_BY_MONTHDAY_SIZE) *
        counted(r.by_day, ICAL_BY_DAY_SIZE) * counted(r.by_year_day, ICAL_BY_YEARDAY_SIZE) *
        counted(r.by_week_no, ICAL_BY_WEEKNO_SIZE);
    return years * perYear;
}

// The changes of one STANDARD or DAYLIGHT part, or -1 as above.
long long changesOf(icalcomponent* part) {
    long long changes = icalcomponent_count_properties(part, ICAL_RDATE_PROPERTY) + 1;
    const int fromYear = icalcomponent_get_dtstart(part).year;
    for (icalproperty* p = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(part, ICAL_RRULE_PROPERTY)) {
        const long long more = changesOf(icalproperty_get_rrule(p), fromYear);
        if (more < 0) return -1;
        changes += more;
    }
    return changes;
}

}  // namespace

std::string zoneProblem(icaltimezone* zone) {
    icalcomponent* vtimezone = zone ? icaltimezone_get_component(zone) : nullptr;
    if (!vtimezone) return {};
    const char* id = icaltimezone_get_tzid(zone);
    const std::string named = "its time zone \"" + std::string(id ? id : "") + "\"";
    long long changes = 0;
    for (icalcomponent* part = icalcomponent_get_first_component(vtimezone, ICAL_ANY_COMPONENT);
         part; part = icalcomponent_get_next_component(vtimezone, ICAL_ANY_COMPONENT)) {
        const long long more = changesOf(part);
        if (more < 0) return named + " changes more often than once a year, as no real zone does";
        changes += more;
        if (changes > kMaxChanges)
            return named + " changes more than " + std::to_string(kMaxChanges) +
                   " times, as no real zone does";
    }
    return {};
}

}  // namespace kv::cli
