// libFuzzer target: the iCalendar reader on arbitrary bytes, as an import
// takes them. Every calendar is read or refused without a fault or a stall
// (libFuzzer's -timeout bounds each input), and what it accepts comes back
// whole when written out and read again, as an export and a new import do.

#include <cstdlib>
#include <iostream>

#include "icalendar.h"

using namespace kv::cli;

namespace {

void expect(bool holds, const char* what) {
    if (holds) return;
    std::cerr << "fuzz_icalendar: " << what << "\n";
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const Calendar read = readCalendar(std::string(reinterpret_cast<const char*>(data), size));
    expect(read.error.empty() || (read.events.empty() && read.refused.empty()),
           "a calendar refused whole still gave events");
    if (read.events.empty()) return 0;
    // An export gives every event a UID of its own.
    std::vector<Event> events = read.events;
    for (std::size_t i = 0; i < events.size(); ++i)
        if (events[i].uid.empty()) events[i].uid = "event-" + std::to_string(i);
    const QDateTime stamp(QDate(2027, 1, 1), QTime(12, 0), Qt::UTC);
    const Calendar again = readCalendar(writeCalendar(events, stamp));
    expect(again.error.empty(), "our own calendar was refused whole");
    for (const Refusal& r : again.refused)
        std::cerr << "refused " << r.uid << ": " << r.reason << "\n";
    expect(again.events.size() == read.events.size(), "our own calendar lost events");
    for (std::size_t i = 0; i < read.events.size(); ++i) {
        expect(again.events[i].start == read.events[i].start, "an event moved to another day");
        expect(again.events[i].mode == read.events[i].mode, "an event changed its repetition");
        if (again.events[i].summary != read.events[i].summary)
            std::cerr << "[" << read.events[i].summary << "] became [" << again.events[i].summary
                      << "]\n";
        expect(again.events[i].summary == read.events[i].summary, "a subject changed");
    }
    return 0;
}
