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

const storage::Profile& Command::readLog(LogKind kind) const {
    std::unique_ptr<HeldLog>& held = m_read[static_cast<std::size_t>(kind)];
    if (!held) held = std::make_unique<HeldLog>(log(kind));
    return held->profile;
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
        const storage::Profile& profile = readLog(kind);
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

std::vector<storage::StoredEntry> Command::slotsOf(LogKind kind) const {
    const storage::Profile& profile = readLog(kind);
    std::vector<storage::StoredEntry> held;
    for (int n = 0; n < storage::kSlots; ++n) held.push_back(storage::readStoredEntry(profile, n));
    return held;
}

std::vector<Listed> Command::entries(const std::vector<LogKind>& kinds) const {
    std::vector<Listed> all;
    for (LogKind kind : kinds) {
        std::vector<storage::StoredEntry> held = slotsOf(kind);
        for (int n = 0; n < storage::kSlots; ++n)
            if (held[n].occupied) all.push_back({kind, n, std::move(held[n]), {}});
    }
    return all;
}

std::vector<Listed> Command::due(const std::vector<LogKind>& kinds, const QDate& from,
                                 const QDate& to) const {
    std::vector<std::pair<LogKind, std::vector<storage::StoredEntry>>> logs;
    for (LogKind kind : kinds) logs.emplace_back(kind, slotsOf(kind));
    std::vector<Listed> found;
    for (QDate d = from; d <= to; d = d.addDays(1)) {
        const std::string day = app::dayText(d);
        for (const auto& [kind, held] : logs)
            for (int n = 0; n < storage::kSlots; ++n)
                if (app::dueOn(kind, held[n], day, app::Rules::Startup, m_where.user))
                    found.push_back({kind, n, held[n], day});
    }
    return found;
}

std::optional<std::pair<storage::Receiver, std::string>> Command::receiver() {
    using storage::Receiver;
    if (m_args.has("for") && m_args.has("everyone")) {
        fail(kUsage, "give --for USER or --everyone, not both");
        return std::nullopt;
    }
    if (m_args.has("everyone")) return std::pair{Receiver::Everyone, std::string("wszyscy")};
    if (!m_args.has("for")) return std::pair{Receiver::Me, std::string()};
    // A name of blanks only names nobody: the entry would never be shown.
    if (m_args.value("for")->trimmed().isEmpty()) {
        fail(kUsage, "A field with a profile name of the receiver is empty.");
        return std::nullopt;
    }
    return std::pair{Receiver::Named, m_args.value("for")->toUpper().toStdString()};
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
