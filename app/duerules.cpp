#include "duerules.h"

#include <QDate>
#include <QString>
#include <cctype>

namespace kv::app {

using storage::LogKind;

namespace {

// The number of two digits, or -1.
int twoDigits(const std::string& text) {
    if (text.size() != 2 || !std::isdigit(static_cast<unsigned char>(text[0])) ||
        !std::isdigit(static_cast<unsigned char>(text[1])))
        return -1;
    return (text[0] - '0') * 10 + (text[1] - '0');
}

// A day the month lacks (29 February, the 31st) falls on the month's last day.
bool monthEndFor(int entryDay, int longest, const std::string& day) {
    // Every month has 28 days: most entries are settled without reading a date.
    if (entryDay <= 28 || entryDay > longest) return false;
    const QDate d = QDate::fromString(QString::fromStdString(day), "yyyy-MM-dd");
    return d.isValid() && entryDay > d.daysInMonth() && d.day() == d.daysInMonth();
}

bool yearlyDue(const std::string& date, const std::string& day) {
    if (monthDayOf(date) == monthDayOf(day)) return true;
    const int month = twoDigits(cut(date, 6, 2));
    if (month < 1 || month > 12 || month != twoDigits(cut(day, 6, 2))) return false;
    // The longest the month ever is: 29 February is a day, 30 February none.
    return monthEndFor(twoDigits(dayOf(date)), QDate(2000, month, 1).daysInMonth(), day);
}

bool monthlyDue(const std::string& date, const std::string& day) {
    return dayOf(date) == dayOf(day) || monthEndFor(twoDigits(dayOf(date)), 31, day);
}

// Yearly by month and day, monthly by day; any other mode never here.
bool periodicDue(const storage::StoredEntry& e, const std::string& day) {
    if (e.wyswietlanie == "rok") return yearlyDue(e.data, day);
    if (e.wyswietlanie == "miesiac") return monthlyDue(e.data, day);
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
            return e.wyswietlanie == "rok" ? yearlyDue(e.data, day) : monthlyDue(e.data, day);
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
