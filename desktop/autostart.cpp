#include "autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

namespace kv::desktop {

namespace {

constexpr const char* kEntryName = "/autostart/kalvex4.desktop";
constexpr const char* kMainGroup = "[Desktop Entry]";

QString readEntry(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

bool writeEntry(const QString& path, const QString& text) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return false;
    out.write(text.toUtf8());
    return out.commit();
}

// A string value: only the backslash is escaped (TryExec is no command line).
QString stringValue(QString text) {
    return text.replace("\\", "\\\\");
}

}  // namespace

QString autostartEntry(const QString& program) {
    // Exec quoting: inside double quotes, `"`, `` ` ``, `$` and `\` take a backslash;
    // then the value, a string, escapes every backslash once more.
    QString quoted = program;
    for (const char c : {'\\', '"', '`', '$'}) quoted.replace(QChar(c), QString("\\") + QChar(c));
    quoted.replace("\\", "\\\\");
    quoted.replace("%", "%%");  // a lone % would start a field code
    return QString(kMainGroup) +
           "\nType=Application\nName=Kalvex4\nTryExec=" + stringValue(program) + "\nExec=\"" +
           quoted +
           "\"\nIcon=kalvex4\nComment=Reminds you of the dates in your logs\n"
           "X-GNOME-Autostart-enabled=true\n";
}

QString withEntryKeys(const QString& text,
                      const QList<QPair<QString, std::optional<QString>>>& keys) {
    QStringList lines = text.split('\n');
    if (!lines.contains(kMainGroup)) lines.prepend(kMainGroup);
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    QList<QPair<QString, std::optional<QString>>> pending = keys;
    QStringList out;
    bool inMain = false;
    auto flush = [&] {
        for (const auto& [key, value] : pending)
            if (value) out << key + "=" + *value;
        pending.clear();
    };
    for (const QString& line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith('[')) {
            if (inMain) flush();
            inMain = trimmed == kMainGroup;
        } else if (inMain) {
            const QString key = trimmed.section('=', 0, 0).trimmed();
            const auto it = std::find_if(pending.begin(), pending.end(),
                                         [&](const auto& k) { return k.first == key; });
            if (it != pending.end()) {
                if (it->second) out << key + "=" + *it->second;
                pending.erase(it);
                continue;
            }
        }
        out << line;
    }
    if (inMain) flush();
    return out.join('\n') + '\n';
}

bool entryStarts(const QString& text) {
    bool inMain = false;
    for (const QString& raw : text.split('\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith('[')) {
            inMain = line == kMainGroup;
        } else if (inMain) {
            const QString key = line.section('=', 0, 0).trimmed();
            const QString value = line.section('=', 1).trimmed();
            if (key == "Hidden" && value == "true") return false;
            if (key == "X-GNOME-Autostart-enabled" && value == "false") return false;
        }
    }
    return true;
}

QString XdgAutostart::userEntryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + kEntryName;
}

QString XdgAutostart::systemEntryPath() {
    QStringList dirs = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    dirs.removeAll(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    for (const QString& dir : dirs)
        if (QFileInfo(dir + kEntryName).isFile()) return dir + kEntryName;
    return {};
}

bool XdgAutostart::isEnabled() const {
    const QString own = userEntryPath();
    if (QFileInfo::exists(own)) return QFileInfo(own).isFile() && entryStarts(readEntry(own));
    const QString shipped = systemEntryPath();
    return !shipped.isEmpty() && entryStarts(readEntry(shipped));
}

bool XdgAutostart::setEnabled(bool on) {
    const QString own = userEntryPath();
    if (QFileInfo(own).isDir()) return false;
    if (isEnabled() == on) return true;
    // The user's own entry keeps what the desktop put there; a first one starts
    // from the machine's (as desktops copy it), else from ours.
    const QString shipped = systemEntryPath();
    QString text = QFileInfo::exists(own) ? readEntry(own)
                   : !shipped.isEmpty()   ? readEntry(shipped)
                                          : autostartEntry(QCoreApplication::applicationFilePath());
    QList<QPair<QString, std::optional<QString>>> keys{
        {"Hidden", on ? std::nullopt : std::optional<QString>("true")},
        {"X-GNOME-Autostart-enabled", on ? "true" : "false"}};
    if (!text.contains(QRegularExpression("(^|\\n)\\s*TryExec\\s*=")))
        keys.append({"TryExec", stringValue(QCoreApplication::applicationFilePath())});
    return writeEntry(own, withEntryKeys(text, keys));
}

}  // namespace kv::desktop
