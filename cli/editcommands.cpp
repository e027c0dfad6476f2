// kalvex4 add and kalvex4 remove: one entry in, one entry out, with the
// entry windows' checks and the delete window's order of moving entries down.

#include "command.h"
#include "entrymessages.h"
#include "infotypes.h"

namespace kv::cli {

namespace {

using storage::DisplayMode;
using storage::LogKind;
using storage::Receiver;

std::string utf8(const QString& text) {
    return text.toStdString();
}

std::optional<DisplayMode> modeOf(Command& c) {
    const std::optional<QString> every = c.args().value("every");
    if (!every) return DisplayMode::Once;
    if (*every == "year") return DisplayMode::Yearly;
    if (*every == "month") return DisplayMode::Monthly;
    c.fail(kUsage, "--every takes year or month (without it the entry is shown once)");
    return std::nullopt;
}

std::optional<std::string> typeOf(Command& c) {
    const std::vector<std::string> types = c.types();
    const std::optional<QString> asked = c.args().value("type");
    if (!asked) return types.empty() ? std::string(storage::kDefaultType) : types.front();
    for (const std::string& t : types)
        if (utf8(*asked) == t) return t;
    QStringList names;
    for (const std::string& t : types) names << QString::fromStdString(t);
    c.fail(kUsage,
           "there is no information type \"" + *asked + "\"; the types are: " + names.join(", "));
    return std::nullopt;
}

void takeActions(const Arguments& a, storage::EntryData& e) {
    auto action = [&a](const char* name) -> std::optional<std::string> {
        if (const std::optional<QString> v = a.value(name)) return utf8(*v);
        return std::nullopt;
    };
    e.email = action("email");
    e.strona = action("url");
    e.program = action("program");
    e.plik = action("file");
}

// The entry the options describe, or nothing after saying what is wrong.
std::optional<std::pair<LogKind, storage::EntryData>> entryOf(Command& c) {
    const Arguments& a = c.args();
    auto refuse = [&c](const QString& problem) {
        c.fail(kUsage, problem);
        return std::nullopt;
    };
    if (!a.has("subject") || !a.has("date")) return refuse("--subject and --date are needed");
    const QDate date = dateArgument(*a.value("date"));
    if (!date.isValid()) return refuse(entries::notADayMessage(*a.value("date")));
    const auto receiver = c.receiver();
    const std::optional<DisplayMode> mode = receiver ? modeOf(c) : std::nullopt;
    const std::optional<std::string> type = mode ? typeOf(c) : std::nullopt;
    if (!type) return std::nullopt;
    // A once-only message dated before today is never announced: stored only when meant.
    if (*mode == DisplayMode::Once && date < c.today() && !a.has("past"))
        return refuse("The date " + *a.value("date") +
                      " has already passed, so a message displayed once will not be shown; "
                      "--past stores it anyway.");
    storage::EntryData e;
    e.tytul = utf8(*a.value("subject"));
    e.informacja = utf8(a.value("text").value_or(""));
    e.data = utf8(*a.value("date"));
    e.typ = *type;
    e.dzwiek = utf8(a.value("sound").value_or("-choose-"));
    e.wyswietlanie = std::string(storage::displayModeValue(*mode));
    e.odbiorca = receiver->first == Receiver::Me ? std::string("wszyscy") : receiver->second;
    takeActions(a, e);
    return std::pair{storage::chooseLog(receiver->first, *mode), e};
}

}  // namespace

int addCommand(Command& c) {
    const auto entry = entryOf(c);
    if (!entry) return kUsage;
    storage::Profile log = c.log(entry->first);
    const std::optional<int> slot = storage::addEntry(log, entry->first, entry->second);
    if (!slot) return c.fail(kRefused, entries::fullLogMessage(QString::fromStdString(log.path())));
    c.print("Added to the " + logName(entry->first) + " log as entry " + QString::number(*slot) +
            ".");
    return kOk;
}

int removeCommand(Command& c) {
    const QStringList& words = c.args().positional();
    const std::optional<LogKind> kind = c.logNamed(words[0]);
    if (!kind) return kUsage;
    bool ok = false;
    const int n = words[1].toInt(&ok);
    if (!ok || n < 0 || n >= storage::kSlots)
        return c.fail(kUsage, "\"" + words[1] + "\" is not an entry number (0 to 50)");
    storage::Profile log = c.log(*kind);
    if (!c.readable({*kind})) return kRefused;
    const storage::StoredEntry entry = storage::readStoredEntry(c.readLog(*kind), n);
    const QString where = "entry " + words[1] + " of the " + logName(*kind) + " log";
    if (!entry.occupied) return c.fail(kRefused, "there is no " + where);
    const QString subject = QString::fromStdString(storage::decodeText(entry.tytul));
    // The subject guards against a log renumbered since the number was read.
    if (const std::optional<QString> expected = c.args().value("subject");
        expected && *expected != subject)
        return c.fail(kRefused, where + " is \"" + subject + "\", not \"" + *expected +
                                    "\": nothing was removed");
    if (!storage::removeEntry(log, *kind, n, storage::RemovalOrder::DeleteWindow, entry))
        return c.fail(kRefused, where + " changed meanwhile: nothing was removed");
    c.print("Removed " + where + ", \"" + subject + "\".");
    return kOk;
}

}  // namespace kv::cli
