#include "duerules.h"

#include <QString>

namespace kv::app {

using storage::LogKind;

namespace {

// Yearly by month and day, monthly by day; any other mode never here.
bool periodicDue(const storage::StoredEntry& e, const std::string& day) {
    if (e.wyswietlanie == "rok") return monthDayOf(e.data) == monthDayOf(day);
    if (e.wyswietlanie == "miesiac") return dayOf(e.data) == dayOf(day);
    return false;
}

bool startupDue(LogKind kind, const storage::StoredEntry& e, const std::string& day,
                const std::string& user) {
    switch (kind) {
        case LogKind::Private:
            return e.data == day;
        case LogKind::Static:
            return periodicDue(e, day);
        case LogKind::Public:
            return (periodicDue(e, day) || (e.wyswietlanie == "raz" && e.data == day)) &&
                   receiverMatches(e.odbiorca, user);
    }
    return false;
}

bool recheckDue(LogKind kind, const storage::StoredEntry& e, const std::string& day,
                const std::string& user) {
    if (!e.occupied) return false;
    switch (kind) {
        case LogKind::Private:
            return e.data == day;
        case LogKind::Static:
            // Every mode but yearly counts as monthly here.
            return e.wyswietlanie == "rok" ? monthDayOf(e.data) == monthDayOf(day)
                                           : dayOf(e.data) == dayOf(day);
        case LogKind::Public:
            return e.data == day && receiverMatches(e.odbiorca, user);
    }
    return false;
}

}  // namespace

std::string monthDayOf(const std::string& date) {
    return cut(date, 6, 5);
}

std::string dayOf(const std::string& date) {
    return cut(date, 9, 2);
}

std::string cut(const std::string& text, std::size_t from, std::size_t count) {
    if (from == 0 || from > text.size()) return {};
    return text.substr(from - 1, count);
}

bool receiverMatches(const std::string& receiver, const std::string& user) {
    if (receiver.empty()) return false;
    return receiver == "wszyscy" || QString::fromStdString(receiver).compare(
                                        QString::fromStdString(user), Qt::CaseInsensitive) == 0;
}

bool dueOn(LogKind kind, const storage::StoredEntry& entry, const std::string& day, Rules rules,
           const std::string& user) {
    return rules == Rules::Startup ? startupDue(kind, entry, day, user)
                                   : recheckDue(kind, entry, day, user);
}

}  // namespace kv::app
