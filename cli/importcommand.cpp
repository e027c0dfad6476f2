// kalvex4 import: the events of a calendar file into one log, each checked as
// the entry windows check, in one write; what cannot be held is said by UID.

#include <QFile>
#include <QUrl>
#include <set>

#include "command.h"
#include "duerules.h"
#include "entrymessages.h"
#include "icalendar.h"
#include "infotypes.h"
#include "reminders.h"

namespace kv::cli {

namespace {

using storage::DisplayMode;
using storage::LogKind;

struct Target {
    LogKind kind;
    std::optional<std::string> receiver;  // public log: for every event, else each one's own
    std::vector<std::string> types;
    bool trustActions;
};

// Why the log cannot hold an event of mode, or empty.
QString logProblem(LogKind kind, DisplayMode mode) {
    if (kind == LogKind::Private && mode != DisplayMode::Once)
        return "it repeats, so it belongs in the static log (--log static)";
    if (kind == LogKind::Static && mode == DisplayMode::Once)
        return "it is shown once, so it belongs in the private log (--log private)";
    return {};
}

// The stored date: ours when it names the same days as the start (a periodic
// entry's own year), else the start.
std::string dateOf(const Event& e) {
    const std::string start = e.start.toString("yyyy-MM-dd").toStdString();
    if (e.date.empty()) return start;
    const bool same = e.mode == DisplayMode::Once ? e.date == start
                      : e.mode == DisplayMode::Yearly
                          ? app::monthDayOf(e.date) == app::monthDayOf(start)
                          : app::dayOf(e.date) == app::dayOf(start);
    return same ? e.date : start;
}

// A web page to open is taken when it is one; programs and files to run only
// when the user trusts the file.
bool takeActions(const Event& e, const Target& t, storage::EntryData& d) {
    d.email = e.email;
    const QString scheme = e.url ? QUrl(QString::fromStdString(*e.url)).scheme().toLower() : "";
    const bool page = scheme == "http" || scheme == "https";
    if (e.url && (page || t.trustActions)) d.strona = e.url;
    if (t.trustActions) {
        d.program = e.program;
        d.plik = e.file;
    }
    return (e.url && !d.strona) || (e.program && !d.program) || (e.file && !d.plik);
}

storage::EntryData entryOf(const Event& e, const Target& t, bool& actionsLeft) {
    storage::EntryData d;
    d.tytul = e.summary;
    d.informacja = e.description;
    d.data = dateOf(e);
    d.typ = t.types.empty() ? std::string(storage::kDefaultType) : t.types.front();
    for (const std::string& type : t.types)
        if (type == e.type) d.typ = type;
    if (!e.sound.empty()) d.dzwiek = e.sound;
    d.wyswietlanie = std::string(storage::displayModeValue(e.mode));
    d.odbiorca = t.receiver.value_or(
        e.receiver == "wszyscy" ? e.receiver
                                : QString::fromStdString(e.receiver).toUpper().toStdString());
    actionsLeft = takeActions(e, t, d);
    return d;
}

std::optional<Target> targetOf(Command& c) {
    const Arguments& a = c.args();
    auto refuse = [&c](const QString& problem) {
        c.fail(kUsage, problem);
        return std::nullopt;
    };
    if (!a.has("log")) return refuse("--log LOG is needed");
    const std::optional<LogKind> kind = c.logNamed(*a.value("log"));
    if (!kind) return std::nullopt;
    const auto named = c.receiver();
    if (!named) return std::nullopt;
    if (named->first == storage::Receiver::Me)
        return Target{*kind, std::nullopt, c.types(), a.has("trust-actions")};
    if (*kind != LogKind::Public) return refuse("--for and --everyone go with --log public");
    return Target{*kind, named->second, c.types(), a.has("trust-actions")};
}

// Calendars of years of events are a few megabytes; more is no calendar to read whole.
constexpr qint64 kMaxCalendarBytes = 32 * 1024 * 1024;

std::optional<std::string> readInput(Command& c, const QString& path) {
    QFile file;
    const bool opened = path == "-" ? file.open(stdin, QIODevice::ReadOnly)
                                    : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened) {
        c.fail(kRefused, "cannot read " + path + " (" + file.errorString() + ")");
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kMaxCalendarBytes + 1);
    if (bytes.size() > kMaxCalendarBytes) {
        c.fail(kRefused, path + " is larger than 32 MB: no calendar to import");
        return std::nullopt;
    }
    return bytes.toStdString();
}

struct Plan {
    std::vector<storage::EntryData> entries;
    std::vector<QString> uids;  // of each entry, as the report names it
    int skipped = 0;
    int refused = 0;
    int actionsLeft = 0;
};

QString shownUid(const std::string& uid) {
    return uid.empty() ? QString("(no UID)") : QString::fromStdString(uid);
}

// What the calendar adds to the log: an event already there (by its UID or
// its content) is skipped, one the log cannot hold refused.
Plan planOf(Command& c, const Calendar& calendar, const Target& t) {
    Plan p;
    std::set<std::string> present;
    for (const Listed& l : c.entries({t.kind})) {
        const std::string key = storage::contentKey(t.kind, l.entry);
        present.insert(key);
        present.insert(key + "@kalvex4");
    }
    auto refuse = [&](const std::string& uid, const QString& reason) {
        c.warn("refused " + shownUid(uid) + ": " + reason);
        ++p.refused;
    };
    for (const Refusal& r : calendar.refused) refuse(r.uid, QString::fromStdString(r.reason));
    for (const Event& e : calendar.events) {
        if (const QString problem = logProblem(t.kind, e.mode); !problem.isEmpty()) {
            refuse(e.uid, problem);
            continue;
        }
        bool actionsLeft = false;
        storage::EntryData d = entryOf(e, t, actionsLeft);
        // Only a calendar of ours names who a public entry is for.
        if (t.kind == LogKind::Public && QString::fromStdString(d.odbiorca).trimmed().isEmpty()) {
            refuse(e.uid, "it names no receiver; --for USER or --everyone gives one");
            continue;
        }
        const std::string key = storage::contentKey(t.kind, storage::storedForm(t.kind, d));
        if (present.count(e.uid) || !present.insert(key).second) {
            c.print("skipped " + shownUid(e.uid) + ": already in the " + logName(t.kind) + " log");
            ++p.skipped;
            continue;
        }
        p.actionsLeft += actionsLeft;
        p.entries.push_back(std::move(d));
        p.uids.push_back(shownUid(e.uid));
    }
    return p;
}

// The slots a dry run would fill.
std::vector<int> freeSlots(const storage::Profile& log, std::size_t wanted) {
    std::vector<int> taken;
    const storage::Profile::ReadScope once(log);
    for (int k = 0; k < storage::kSlots && taken.size() < wanted; ++k)
        if (!storage::isOccupied(log, k)) taken.push_back(k);
    return taken;
}

int report(Command& c, const Plan& p, const std::vector<int>& taken, const storage::Profile& log) {
    const bool dry = c.args().has("dry-run");
    for (std::size_t i = 0; i < p.entries.size(); ++i) {
        if (i < taken.size())
            c.print((dry ? "would import " : "imported ") + p.uids[i] + " as entry " +
                    QString::number(taken[i]));
        else
            c.warn("not imported " + p.uids[i] + ": the log is full");
    }
    if (p.actionsLeft > 0)
        c.warn("left out the programs, files and pages other than http(s) of " +
               counted(p.actionsLeft, "event", "events") + ": --trust-actions takes them");
    c.print(QString("%1 %2, %3 skipped, %4 refused.")
                .arg(taken.size())
                .arg(dry ? "to import" : "imported")
                .arg(p.skipped)
                .arg(p.refused));
    if (taken.size() < p.entries.size())
        return c.fail(kRefused, entries::fullLogMessage(QString::fromStdString(log.path())));
    return p.refused > 0 ? kSomeRefused : kOk;
}

}  // namespace

int importCommand(Command& c) {
    const std::optional<QString> path = c.icsFile("input");
    if (!path) return kUsage;
    const std::optional<Target> target = targetOf(c);
    if (!target) return kUsage;
    if (!c.readable({target->kind})) return kRefused;
    const std::optional<std::string> bytes = readInput(c, *path);
    if (!bytes) return kRefused;
    const Calendar calendar = readCalendar(*bytes);
    if (!calendar.error.empty())
        return c.fail(kRefused,
                      *path + " cannot be imported: " + QString::fromStdString(calendar.error));
    const Plan plan = planOf(c, calendar, *target);
    storage::Profile log = c.log(target->kind);
    std::vector<int> taken;
    if (c.args().has("dry-run"))
        taken = freeSlots(c.readLog(target->kind), plan.entries.size());
    else if (!plan.entries.empty())
        taken = storage::addEntries(log, target->kind, plan.entries);
    return report(c, plan, taken, log);
}

}  // namespace kv::cli
