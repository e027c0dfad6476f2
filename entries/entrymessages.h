#pragma once
// What the entry windows say when an entry cannot be stored, shared with the
// command line so that both refuse in the same words.

#include <QString>

namespace kv::entries {

inline QString notADayMessage(const QString& date) {
    return QString(
               "The date \"%1\" is not a day of the calendar, so the message would never be "
               "displayed. Type the date as year-month-day (2026-12-24) or choose it in the "
               "calendar.")
        .arg(date);
}

inline QString fullLogMessage(const QString& path) {
    return QString(
               "This entry was not stored: the chosen log (%1) is full, it holds 51 entries. "
               "Delete an entry of that log first, then save again.")
        .arg(path);
}

inline QString pastDateMessage(const QString& date) {
    return QString(
               "The date %1 has already passed, so a message displayed once will not be shown. "
               "Save it anyway?")
        .arg(date);
}

}  // namespace kv::entries
