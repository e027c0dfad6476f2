// kalvex4 export: the entries this user is shown, as calendar events.

#include <QFileInfo>

#include "command.h"
#include "duerules.h"
#include "fileio.h"
#include "icalendar.h"
#include "reminders.h"

namespace kv::cli {

namespace {

using storage::DisplayMode;
using storage::LogKind;

// How often the due check shows the entry, or nothing when it never does.
std::optional<DisplayMode> modeOf(LogKind kind, const std::string& stored) {
    if (kind == LogKind::Private) return DisplayMode::Once;
    if (stored == "rok") return DisplayMode::Yearly;
    if (stored == "miesiac") return DisplayMode::Monthly;
    // The static log's check goes by yearly and monthly entries only.
    if (stored == "raz" && kind == LogKind::Public) return DisplayMode::Once;
    return std::nullopt;
}

// The first day of the event. A periodic entry's year (and a monthly one's
// month) has no meaning, so it starts by 2000 at the latest and every due
// day since is one of its occurrences; 2000 has a 29 February.
QDate startOf(DisplayMode mode, const std::string& date) {
    const QDate stored = dateArgument(QString::fromStdString(date));
    if (mode == DisplayMode::Once) return stored;
    if (stored.isValid() && stored.year() <= 2000) return stored;
    const std::string rest =
        mode == DisplayMode::Yearly ? app::monthDayOf(date) : "01-" + app::dayOf(date);
    return dateArgument(QString::fromStdString("2000-" + rest));
}

// Derived from the content as exported, the UID stays the same from one export
// to the next and through an import into the same log.
std::string uidOf(LogKind kind, storage::StoredEntry s) {
    auto clean = [](std::string& stored, bool lines) {
        stored = storage::encodeText(cleanText(storage::decodeText(stored), lines));
    };
    clean(s.tytul, true);
    clean(s.informacja, true);
    for (std::string* field : {&s.data, &s.typ, &s.dzwiek, &s.wyswietlanie, &s.odbiorca, &s.email,
                               &s.strona, &s.program, &s.plik})
        clean(*field, false);
    return storage::contentKey(kind, s) + "@kalvex4";
}

// The event of an entry, or why it has none.
std::optional<Event> eventOf(const Listed& l, QString& problem) {
    const storage::StoredEntry& s = l.entry;
    const std::optional<DisplayMode> mode = modeOf(l.kind, s.wyswietlanie);
    if (!mode) {
        problem = "it is never due (its way of display is \"" +
                  QString::fromStdString(s.wyswietlanie) + "\")";
        return std::nullopt;
    }
    Event e;
    e.mode = *mode;
    e.start = startOf(*mode, s.data);
    if (!e.start.isValid()) {
        problem = "it is never due (its date \"" + QString::fromStdString(s.data) +
                  "\" names no day of the calendar)";
        return std::nullopt;
    }
    if (e.start.year() > kLastCalendarYear) {
        problem = "its date " + QString::fromStdString(s.data) + " is after the year " +
                  QString::number(kLastCalendarYear) + ", which calendars cannot carry";
        return std::nullopt;
    }
    if (s.data != e.start.toString("yyyy-MM-dd").toStdString()) e.date = s.data;
    e.summary = storage::decodeText(s.tytul);
    e.description = storage::decodeText(s.informacja);
    e.type = s.typ;
    e.sound = s.dzwiek;
    auto action = [](const std::string& v) {
        return v.empty() ? std::nullopt : std::optional<std::string>(v);
    };
    e.email = action(s.email);
    e.url = action(s.strona);
    e.program = action(s.program);
    e.file = action(s.plik);
    if (l.kind == LogKind::Public) e.receiver = s.odbiorca;
    e.uid = uidOf(l.kind, s);
    return e;
}

// Writes bytes to path in one step, so that a failed export leaves the old
// file. The engine's own rules apply: a link is followed only when it is this
// user's or the administrator's and leads somewhere, and a file this user
// cannot read, or another user's, is not theirs to replace.
QString writeOut(const QString& path, const std::string& bytes) {
    const QFileInfo info(path);
    if (info.exists() && !info.isSymLink() && !info.isReadable())
        return "Unable to write to " + path + " (it exists and this user cannot read it)";
    try {
        storage::modifyFile(path.toStdString(), storage::kPrivateFile,
                            [&](const storage::FileContent&) { return bytes; });
    } catch (const storage::WriteError& e) {
        return QString::fromStdString(e.what());
    }
    return {};
}

}  // namespace

int exportCommand(Command& c) {
    const std::optional<QString> path = c.icsFile("output");
    if (!path) return kUsage;
    const std::optional<std::vector<LogKind>> kinds = c.chosenLogs();
    if (!kinds) return kUsage;
    if (!c.readable(*kinds)) return kRefused;
    std::vector<Event> events;
    int others = 0;
    for (const Listed& l : c.entries(*kinds)) {
        // Public entries for other users are theirs to be reminded of.
        if (l.kind == LogKind::Public && !app::receiverMatches(l.entry.odbiorca, c.where().user)) {
            ++others;
            continue;
        }
        QString problem;
        if (std::optional<Event> e = eventOf(l, problem))
            events.push_back(std::move(*e));
        else
            c.warn("left out entry " + QString::number(l.number) + " of the " + logName(l.kind) +
                   " log: " + problem);
    }
    if (others > 0)
        c.warn("left out " + counted(others, "entry", "entries") +
               " of the public log for other users");
    const std::string bytes = writeCalendar(events, QDateTime::currentDateTime());
    if (*path == "-") {
        c.reply().out += bytes;
        return kOk;
    }
    if (const QString refused = writeOut(*path, bytes); !refused.isEmpty())
        return c.fail(kRefused, refused);
    c.print("Exported " + counted(qsizetype(events.size()), "entry", "entries") + " to " + *path +
            ".");
    return kOk;
}

}  // namespace kv::cli
