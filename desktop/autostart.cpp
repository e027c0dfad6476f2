#include "autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "shelltarget.h"

namespace kv::desktop {

namespace {

constexpr const char* kEntryName = "/autostart/kalvex4.desktop";

// Whether an entry starts anything: sessions skip hidden and disabled ones.
bool entryStarts(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    bool inMain = false;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith('[')) {
            inMain = line == "[Desktop Entry]";
        } else if (inMain) {
            const QString key = line.section('=', 0, 0).trimmed();
            const QString value = line.section('=', 1).trimmed();
            if (key == "Hidden" && value == "true") return false;
            if (key == "X-GNOME-Autostart-enabled" && value == "false") return false;
        }
    }
    return true;
}

bool writeEntry(const QString& path, const QString& text) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return false;
    out.write(text.toUtf8());
    return out.commit();
}

}  // namespace

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
    if (QFileInfo::exists(own)) return QFileInfo(own).isFile() && entryStarts(own);
    const QString shipped = systemEntryPath();
    return !shipped.isEmpty() && entryStarts(shipped);
}

bool XdgAutostart::setEnabled(bool on) {
    const QString own = userEntryPath();
    if (QFileInfo(own).isDir()) return false;
    if (on) return writeEntry(own, autostartEntry(QCoreApplication::applicationFilePath()));
    // Off: the shipped entry is overridden, never removed (it is every user's).
    if (!systemEntryPath().isEmpty()) return writeEntry(own, hiddenAutostartEntry());
    return !QFileInfo::exists(own) || QFile::remove(own);
}

}  // namespace kv::desktop
