#include <QApplication>
#include <QFileInfo>
#include <QStyleFactory>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "cli.h"
#include "commandline.h"
#include "exchange.h"
#include "locations.h"
#include "look.h"
#include "notices.h"
#include "services.h"
#include "singleinstance.h"
#include "tray.h"
#include "treminder.h"
#include "windowopener.h"

namespace {

// The manifest's name in the data folder picks the look: the themed one only
// while "Kalvex4.exe.manifest" is there.
void applyLook() {
    const std::optional<kv::storage::StoreValues> store = kv::storage::readStore();
    if (store && kv::storage::chosenLook(store->sciezka) == kv::storage::Look::Classic)
        QApplication::setStyle(QStyleFactory::create("Windows"));
}

// --help, --version and the commands answer on the terminal before any window
// system is needed, and what the program does not know ends it with status 2.
void answerCommandLine(int argc, char* argv[]) {
    if (argc < 2) return;  // the usual start, from the session: nothing to answer
    std::optional<kv::app::CommandLineAnswer> answer;
    {
        QCoreApplication plain(argc, argv);
        QCoreApplication::setApplicationName("kalvex4");
        const QStringList arguments = QCoreApplication::arguments();
        // A command for scripts: no display, and no guard against a running program.
        if (kv::cli::isCommand(arguments)) {
            const kv::cli::Reply reply = kv::cli::run(arguments, QDate::currentDate());
            std::fwrite(reply.out.data(), 1, reply.out.size(), stdout);
            std::fwrite(reply.err.data(), 1, reply.err.size(), stderr);
            std::exit(reply.status);
        }
        answer = kv::app::answerArguments(arguments, kv::cli::commandsHelp());
    }
    if (!answer) return;
    std::fputs(answer->out.toLocal8Bit().constData(), stdout);
    std::fputs(answer->err.toLocal8Bit().constData(), stderr);
    std::exit(answer->status);
}

}  // namespace

int main(int argc, char* argv[]) {
    answerCommandLine(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kalvex4");
    QApplication::setApplicationVersion(KV_VERSION);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(kv::desktop::programIcon());
    QGuiApplication::setDesktopFileName("kalvex4");
    kv::desktop::Services& services = kv::desktop::systemServices();

    const QString user = QString::fromStdString(kv::storage::userName());
    kv::desktop::SingleInstance once("Kalvex.OneInstance." + user);
    const QString command = kv::app::startCommand(QCoreApplication::arguments());
    if (!once.acquire()) {
        // The running one opens its editor; only one that cannot be reached is said.
        if (once.signalFirst(2000, command.isEmpty() ? "raise" : command.toLatin1())) return 0;
        services.messages.show(nullptr, "Kalvex is running allready!",
                               kv::desktop::MessageIcon::Warning);
        return 0;
    }
    applyLook();

    kv::app::WindowOpener opener(services);
    kv::app::Treminder window(services, opener);
    if (!once.guarded())
        kv::storage::noticeOnce(
            "unguarded",
            "Kalvex4 found no folder of your own for its single-start guard ($XDG_RUNTIME_DIR, "
            "~/.cache/kalvex4 or one in the temporary folder that no other user holds), so it "
            "runs without it: a second start would not be refused.");
    opener.setAlarmClock(&window.zegar());
    QObject::connect(&once, &kv::desktop::SingleInstance::raiseRequested, &window,
                     &kv::app::Treminder::answerSecondStart, Qt::QueuedConnection);
    QObject::connect(
        &window, &kv::app::Treminder::quitRequested, &app,
        [](int code) { QApplication::exit(code); }, Qt::QueuedConnection);
    window.show();
    // Started by a desktop action: that window, after the start-up check.
    if (!command.isEmpty())
        QTimer::singleShot(0, &window, [&window, command] { window.answerSecondStart(command); });
    return QApplication::exec();
}
