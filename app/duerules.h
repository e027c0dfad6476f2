#pragma once
// When an entry is due: the rules of the start-up check and of the re-check,
// as plain functions of the stored entry and a date, so that any day (today,
// a missed one, one ahead) is judged the same way.

#include <string>

#include "logbook.h"

namespace kv::app {

// The start-up check goes by the display mode; the re-check, which runs all
// day, compares whole dates except for the static log.
enum class Rules { Startup, Recheck };

// Whether the entry of the kind's log is due on day ("YYYY-MM-DD") for user.
bool dueOn(storage::LogKind kind, const storage::StoredEntry& entry, const std::string& day,
           Rules rules, const std::string& user);

// Receiver names are stored in upper case while login names are lower case;
// an entry without a receiver is for nobody.
bool receiverMatches(const std::string& receiver, const std::string& user);

// The parts of a stored date the periodic rules compare: "MM-DD" of a yearly
// entry, "DD" of a monthly one (as much of them as the text has).
std::string monthDayOf(const std::string& date);
std::string dayOf(const std::string& date);

// Characters [from, from + count) counted from 1, as much as the text has.
std::string cut(const std::string& text, std::size_t from, std::size_t count);

}  // namespace kv::app
