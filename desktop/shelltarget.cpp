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

QString actionProblem(const QString& target, ActionKind kind) {
    const bool program = kind == ActionKind::Program;
    const std::optional<QUrl> url = shellTarget(target);
    if (!url) return program ? "no program is named" : "no file is named";
    if (!url->isLocalFile()) return {};
    const QFileInfo info(url->toLocalFile());
    if (!info.exists()) return "there is no such " + QString(program ? "program" : "file");
    if (program && info.isDir()) return "it is a folder, not a program";
    if (program && !info.isExecutable()) return "it is not a program that this user may run";
    if (!program && !info.isReadable()) return "this user may not read it";
    return {};
}

bool startsAsProgram(const QUrl& url) {
    if (!url.isLocalFile()) return false;
    const QFileInfo info(url.toLocalFile());
    return info.isFile() && info.isExecutable();
}

}  // namespace kv::desktop
