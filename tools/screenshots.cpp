// Pictures of every window for the help page. Run under a display (Xvfb) on a
// demo installation that KALVEX4_STORE and KALVEX4_EXCHANGE name:
//   kv_screenshots OUT
// writes OUT/<window>.png. scripts/screenshots.sh sets all of this up.
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>

#include "colourscheme.h"
#include "exchange.h"
#include "locations.h"
#include "services.h"
#include "tabout.h"
#include "tdodawanie.h"
#include "tedytor.h"
#include "tedytowanie.h"
#include "tinformacja.h"
#include "tinformacja_timer.h"
#include "tkonfigurowanie.h"
#include "tray.h"
#include "treminder.h"
#include "tusuwanie.h"

namespace {

// Windows opened from the pictured ones are not pictured there: each has its own.
class NoOpener final : public kv::desktop::WindowOpener {
public:
    void openEditor(QWidget*) override {}
    void openConfiguration(QWidget*) override {}
    void openAbout(QWidget*) override {}
    void openNewEntry(QWidget*) override {}
    void openEditEntry(QWidget*, const kv::desktop::HandedEntry&) override {}
    void openDeleteEntry(QWidget*, const kv::desktop::HandedEntry&) override {}
    kv::desktop::NotificationAnswer openNotification(QWidget*,
                                                     const kv::desktop::HandedEntry&) override {
        return {};
    }
    void openTimerNotification(QWidget*) override {}
};

void settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool shoot(QWidget& window, const QString& out, const QString& name) {
    window.show();
    settle(800);
    const bool saved = window.grab().save(out + "/" + name + ".png");
    std::printf("%s %s.png\n", saved ? "wrote" : "FAILED", qPrintable(name));
    window.hide();
    return saved;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kalvex4");
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(kv::desktop::programIcon());
    if (argc != 2) {
        std::fprintf(stderr, "usage: kv_screenshots OUT\n");
        return 2;
    }
    // KV_SCREENSHOT_PALETTE=dark: the windows as a dark desktop shows them.
    if (qgetenv("KV_SCREENSHOT_PALETTE") == "dark")
        QApplication::setPalette(kv::desktop::darkDesktopPalette());
    const QString out = argv[1];
    QDir().mkpath(out);
    kv::desktop::Services& services = kv::desktop::systemServices();
    NoOpener opener;
    bool ok = true;

    kv::app::Treminder main(services, opener);
    ok &= shoot(main, out, "treminder");

    kv::storage::Exchange exchange(kv::storage::exchangePath());
    exchange.recordActiveEntry(0, "log");  // the private log's first entry
    {
        kv::notify::Tinformacja w(services, opener);
        ok &= shoot(w, out, "tinformacja");
    }
    exchange.recordTimerMessage("Stretch your legs and drink some water.");
    {
        kv::notify::Tinformacja_timer w(services);
        ok &= shoot(w, out, "tinformacja_timer");
    }
    {
        kv::editor::Tedytor w(services, opener, nullptr, &main.zegar());
        ok &= shoot(w, out, "tedytor");
    }
    exchange.recordActiveEntry(0, "log");
    {
        kv::entries::Tdodawanie w(services);
        ok &= shoot(w, out, "tdodawanie");
    }
    {
        kv::entries::Tedytowanie w(services);
        ok &= shoot(w, out, "tedytowanie");
    }
    {
        kv::entries::Tusuwanie w(services);
        ok &= shoot(w, out, "tusuwanie");
    }
    {
        kv::config::Tkonfigurowanie w(services);
        ok &= shoot(w, out, "tkonfigurowanie");
    }
    {
        kv::about::Tabout w(services);
        ok &= shoot(w, out, "tabout");
    }
    return ok ? 0 : 1;
}
