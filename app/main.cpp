#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QStyleFactory>

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

// --help and --version answer on the terminal before any window system is
// needed; Qt's own options (-platform, -style) are left for QApplication.
void answerCommandLine(int argc, char* argv[]) {
    if (argc < 2) return;  // the usual start, from the session: nothing to answer
    QCoreApplication plain(argc, argv);
    QCoreApplication::setApplicationName("kalvex4");
    QCoreApplication::setApplicationVersion(KV_VERSION);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Kalvex4 reminds you of dates: it lives in the notification area and shows a message\n"
        "window for every entry of your logs that falls due. Started again while it runs,\n"
        "it brings the running one forward.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet("help")) parser.showHelp(0);
    if (parser.isSet("version")) parser.showVersion();
    if (parser.isSet("help-all")) parser.process(plain);  // prints Qt's options too, then exits
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
    if (!once.acquire()) {
        services.messages.show(nullptr, "Kalvex is running allready!",
                               kv::desktop::MessageIcon::Warning);
        once.signalFirst();
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
                     [&window] { window.tray().bringForward(); });
    QObject::connect(
        &window, &kv::app::Treminder::quitRequested, &app,
        [](int code) { QApplication::exit(code); }, Qt::QueuedConnection);
    window.show();
    return QApplication::exec();
}
