// kalvex4 list: the entries of the logs, or those due on a day or in a span.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "command.h"
#include "entrymessages.h"

namespace kv::cli {

namespace {

using storage::LogKind;

// Ten years of days: enough for any question, bounded for a typing error.
constexpr int kMaxSpanDays = 3660;

QString text(const std::string& stored) {
    return QString::fromStdString(storage::decodeText(stored));
}

QJsonValue optional(const std::string& value) {
    return value.empty() ? QJsonValue() : QJsonValue(QString::fromStdString(value));
}

QJsonObject jsonOf(const Listed& l) {
    const storage::StoredEntry& e = l.entry;
    QJsonObject o;
    o["log"] = logName(l.kind);
    o["number"] = l.number;
    o["subject"] = text(e.tytul);
    o["text"] = text(e.informacja);
    o["date"] = QString::fromStdString(e.data);
    o["every"] = everyName(l.kind, e);
    o["receiver"] =
        l.kind == LogKind::Public ? QJsonValue(QString::fromStdString(e.odbiorca)) : QJsonValue();
    o["type"] = QString::fromStdString(e.typ);
    o["sound"] = QString::fromStdString(e.dzwiek);
    o["email"] = optional(e.email);
    o["url"] = optional(e.strona);
    o["program"] = optional(e.program);
    o["file"] = optional(e.plik);
    o["due"] = l.due.empty() ? QJsonValue() : QJsonValue(QString::fromStdString(l.due));
    return o;
}

// One line an entry: [due day] log number, date, how often, receiver, subject.
QString lineOf(const Listed& l) {
    QStringList parts;
    if (!l.due.empty()) parts << QString::fromStdString(l.due);
    parts << logName(l.kind) + " " + QString::number(l.number)
          << QString::fromStdString(l.entry.data) << everyName(l.kind, l.entry);
    if (l.kind == LogKind::Public) parts << "for " + QString::fromStdString(l.entry.odbiorca);
    parts << text(l.entry.tytul).replace('\n', ' ');
    return parts.join('\t');
}

// The days asked for by --due, --from/--to or --days.
struct Span {
    bool bad = false;                             // said already
    std::optional<std::pair<QDate, QDate>> days;  // nothing: every entry, due or not
};

Span badSpan(Command& c, const QString& problem) {
    c.fail(kUsage, problem);
    return {true, std::nullopt};
}

Span dayOf(Command& c, const std::optional<QString>& given) {
    const QDate day = given ? dateArgument(*given) : c.today();
    if (!day.isValid()) return badSpan(c, entries::notADayMessage(*given));
    return {false, std::pair{day, day}};
}

Span nextDays(Command& c, const QString& given) {
    bool ok = false;
    const int n = given.toInt(&ok);
    if (!ok || n < 1 || n > kMaxSpanDays)
        return badSpan(c, QString("--days takes a number from 1 to %1").arg(kMaxSpanDays));
    return {false, std::pair{c.today(), c.today().addDays(n - 1)}};
}

Span span(Command& c) {
    const Arguments& a = c.args();
    const bool fromTo = a.has("from") || a.has("to");
    if (int(a.has("due")) + int(fromTo) + int(a.has("days")) > 1)
        return badSpan(c, "give one of --due, --from with --to, and --days");
    if (a.has("due")) return dayOf(c, a.value("due"));
    if (a.has("days")) return nextDays(c, *a.value("days"));
    if (!fromTo) return {};
    if (!a.has("from") || !a.has("to")) return badSpan(c, "--from and --to go together");
    const QDate from = dateArgument(*a.value("from"));
    const QDate to = dateArgument(*a.value("to"));
    if (!from.isValid()) return badSpan(c, entries::notADayMessage(*a.value("from")));
    if (!to.isValid()) return badSpan(c, entries::notADayMessage(*a.value("to")));
    if (from > to || from.daysTo(to) >= kMaxSpanDays)
        return badSpan(c, QString("--to must be on or after --from, and at most %1 days on")
                              .arg(kMaxSpanDays - 1));
    return {false, std::pair{from, to}};
}

}  // namespace

int listCommand(Command& c) {
    const std::optional<std::vector<LogKind>> kinds = c.chosenLogs();
    if (!kinds) return kUsage;
    const Span asked = span(c);
    if (asked.bad) return kUsage;
    const auto& days = asked.days;
    if (!c.readable(*kinds)) return kRefused;
    const std::vector<Listed> found =
        days ? c.due(*kinds, days->first, days->second) : c.entries(*kinds);
    if (c.args().has("json")) {
        QJsonArray array;
        for (const Listed& l : found) array.append(jsonOf(l));
        c.reply().out += QJsonDocument(array).toJson(QJsonDocument::Indented).toStdString();
        return kOk;
    }
    for (const Listed& l : found) c.print(lineOf(l));
    return kOk;
}

}  // namespace kv::cli
