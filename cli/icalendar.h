#pragma once
// Calendar events in and out of RFC 5545 files, through libical: as much of an
// event as a log can hold, and for every event it cannot hold, why.

#include <QDate>
#include <QDateTime>
#include <optional>
#include <string>
#include <vector>

#include "logbook.h"

namespace kv::cli {

struct Event {
    std::string uid;
    std::string summary, description;
    QDate start;       // DTSTART, a timed one on its local date
    std::string date;  // the entry's stored date, when it is not start's (a periodic entry's year)
    storage::DisplayMode mode = storage::DisplayMode::Once;
    // Ours (X-KALVEX4-...) and the URL; empty when the event has none.
    std::string type, sound;
    std::string receiver;  // of a public entry: a user name or "wszyscy"
    std::optional<std::string> email, url, program, file;
};

struct Refusal {
    std::string uid;
    std::string reason;
};

struct Calendar {
    std::vector<Event> events;
    std::vector<Refusal> refused;
    std::string error;  // set when the bytes are no calendar at all
};

// libical writes no date after this year: an event past it can go neither
// out nor in.
inline constexpr int kLastCalendarYear = 3000;

// The events of an iCalendar file, in file order.
Calendar readCalendar(const std::string& bytes);
// One VCALENDAR: a VEVENT with a DISPLAY alarm for each event; stamp is DTSTAMP.
std::string writeCalendar(const std::vector<Event>& events, const QDateTime& stamp);

// Valid UTF-8 without control bytes: line breaks kept as "\n" where allowed,
// tabs and other controls as spaces.
std::string cleanText(const std::string& text, bool lineBreaks);

}  // namespace kv::cli
