#include "command.h"

#include "duecheck.h"
#include "duerules.h"
#include "infotypes.h"

namespace kv::cli {

using storage::LogKind;

Command::Command(const Arguments& args, const storage::Location& where, const QDate& today,
                 Reply& reply)
    : m_args(args), m_where(where), m_today(today), m_reply(reply) {}

int Command::fail(int status, const QString& message) {
    warn(message);
    return status;
}

void Command::warn(const QString& message) {
    m_reply.err += ("kalvex4: " + message + "\n").toStdString();
}

void Command::print(const QString& line) {
    m_reply.out += (line + "\n").toStdString();
}

std::optional<QString> Command::icsFile(const char* stream) {
    const std::optional<QString> path = m_args.value("ics");
    if (path && !path->isEmpty()) return path;
    warn(QString("--ics FILE is needed (- for standard %1)").arg(stream));
    return std::nullopt;
}

storage::Profile Command::log(LogKind kind) const {
    const storage::FileNames& f = m_where.files;
    const std::string& path = kind == LogKind::Private  ? f.log
                              : kind == LogKind::Static ? f.log_staly
                                                        : f.log_glowny;
    return storage::Profile(path, storage::logAccess(kind));
}

std::optional<LogKind> Command::logNamed(const QString& name) {
    for (LogKind kind : {LogKind::Private, LogKind::Static, LogKind::Public})
        if (name == logName(kind)) return kind;
    warn("there is no log \"" + name + "\": the logs are private, static and public");
    return std::nullopt;
}

std::optional<std::vector<LogKind>> Command::chosenLogs() {
    const QStringList names = m_args.values("log");
    if (names.isEmpty()) return std::vector{LogKind::Private, LogKind::Static, LogKind::Public};
    std::vector<LogKind> kinds;
    // In the due check's order, each once, whatever order they were named in.
    for (LogKind kind : {LogKind::Private, LogKind::Static, LogKind::Public})
        if (names.contains(logName(kind))) kinds.push_back(kind);
    for (const QString& name : names)
        if (!logNamed(name)) return std::nullopt;
    return kinds;
}

bool Command::readable(const std::vector<LogKind>& kinds) {
    for (LogKind kind : kinds) {
        const storage::Profile profile = log(kind);
        if (profile.readable()) continue;
        // An unreadable file has been said by the engine's notice already.
        if (storage::readFile(profile.path(), profile.access()).status ==
            storage::ReadStatus::NoFolder)
            warn("the folder of the " + logName(kind) + " log " +
                 QString::fromStdString(profile.path()) + " does not exist");
        return false;
    }
    return true;
}

std::vector<Listed> Command::entries(const std::vector<LogKind>& kinds) const {
    std::vector<Listed> all;
    for (LogKind kind : kinds) {
        const storage::Profile profile = log(kind);
        const storage::Profile::ReadScope once(profile);
        for (int n = 0; n < storage::kSlots; ++n) {
            storage::StoredEntry e = storage::readStoredEntry(profile, n);
            if (e.occupied) all.push_back({kind, n, std::move(e), {}});
        }
    }
    return all;
}

std::vector<Listed> Command::due(const std::vector<LogKind>& kinds, const QDate& from,
                                 const QDate& to) const {
    std::vector<std::pair<LogKind, std::vector<storage::StoredEntry>>> logs;
    for (LogKind kind : kinds) {
        const storage::Profile profile = log(kind);
        const storage::Profile::ReadScope once(profile);
        std::vector<storage::StoredEntry> taken;
        for (int n = 0; n < storage::kSlots; ++n)
            taken.push_back(storage::readStoredEntry(profile, n));
        logs.emplace_back(kind, std::move(taken));
    }
    std::vector<Listed> found;
    for (QDate d = from; d <= to; d = d.addDays(1)) {
        const std::string day = app::dayText(d);
        for (const auto& [kind, taken] : logs)
            for (int n = 0; n < storage::kSlots; ++n)
                if (app::dueOn(kind, taken[n], day, app::Rules::Startup, m_where.user))
                    found.push_back({kind, n, taken[n], day});
    }
    return found;
}

std::vector<std::string> Command::types() const {
    return storage::readTypeList(
        storage::Profile(m_where.folders.sciezka + "style_list.ini", storage::kSystemFile));
}

QString logName(LogKind kind) {
    switch (kind) {
        case LogKind::Private:
            return "private";
        case LogKind::Static:
            return "static";
        case LogKind::Public:
            return "public";
    }
    return {};
}

QString everyName(LogKind kind, const storage::StoredEntry& entry) {
    // The private log holds once-only entries and stores no mode.
    if (kind == LogKind::Private || entry.wyswietlanie == "raz") return "once";
    if (entry.wyswietlanie == "rok") return "year";
    if (entry.wyswietlanie == "miesiac") return "month";
    return QString::fromStdString(entry.wyswietlanie);
}

QString counted(qsizetype n, const char* one, const char* many) {
    return QString::number(n) + " " + (n == 1 ? one : many);
}

QDate dateArgument(const QString& text) {
    if (text.size() != 10) return {};
    return QDate::fromString(text, "yyyy-MM-dd");
}

}  // namespace kv::cli
