#include "shelltarget.h"

#include <QFileInfo>

namespace kv::desktop {

std::optional<QUrl> shellTarget(const QString& target) {
    if (target.isEmpty()) return std::nullopt;
    const QUrl url(target);
    // An existing file whose name looks like a scheme ("a:b") is still a file.
    if (url.scheme().size() <= 1 || QFileInfo::exists(target)) return QUrl::fromLocalFile(target);
    return url;
}

QString autostartEntry(const QString& program) {
    // Exec quoting: inside double quotes, `"`, `` ` ``, `$` and `\` take a backslash;
    // then the value, a string, escapes every backslash once more.
    QString quoted = program;
    for (const char c : {'\\', '"', '`', '$'}) quoted.replace(QChar(c), QString("\\") + QChar(c));
    quoted.replace("\\", "\\\\");
    quoted.replace("%", "%%");  // a lone % would start a field code
    return "[Desktop Entry]\nType=Application\nName=Kalvex4\nExec=\"" + quoted +
           "\"\nIcon=kalvex4\nComment=Reminds you of the dates in your logs\n"
           "X-GNOME-Autostart-enabled=true\n";
}

QString hiddenAutostartEntry() {
    return "[Desktop Entry]\nType=Application\nName=Kalvex4\nExec=kalvex4\nHidden=true\n";
}

}  // namespace kv::desktop
