// Every text a themed window draws in the user's colours is readable on what
// is really painted behind it, under a light and under a dark desktop palette,
// with the shipped colours and after a configuration saved untouched.

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QStyleFactory>
#include <QTabBar>
#include <QtTest>

#include "bannerfont.h"
#include "colourscheme.h"
#include "exchange.h"
#include "recordingopener.h"
#include "recordingservices.h"
#include "sandbox.h"
#include "tdodawanie.h"
#include "tedytor.h"
#include "tedytowanie.h"
#include "tinformacja.h"
#include "tinformacja_timer.h"
#include "tkonfigurowanie.h"
#include "treminder.h"
#include "tusuwanie.h"

using namespace kv;
using storage::LogKind;

namespace {

double luminance(const QColor& c) {
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour painted most often in rect of the window's picture.
QColor dominant(const QImage& picture, const QRect& rect) {
    QMap<QRgb, int> counts;
    const QRect r = rect.intersected(picture.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) ++counts[picture.pixel(x, y) | 0xFF000000u];
    QRgb best = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            best = it.key();
        }
    return QColor(best);
}

bool hasText(QWidget* w) {
    if (auto* l = qobject_cast<QLabel*>(w)) return !l->text().isEmpty() && l->pixmap().isNull();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return !b->text().isEmpty();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return !g->title().isEmpty();
    return qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
           qobject_cast<QAbstractScrollArea*>(w);
}

// Where a control's text is drawn, and in which colour.
std::pair<QRect, QColor> textArea(QWidget* w, QWidget* window) {
    const QPalette& p = w->palette();
    QRect r(w->mapTo(window, QPoint(0, 0)), w->size());
    // A button's face is the scheme's colour, shaded by the style for focus and hover.
    if (qobject_cast<QPushButton*>(w)) return {QRect(), p.color(QPalette::ButtonText)};
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) {
        QWidget* view = area->viewport();
        return {QRect(view->mapTo(window, QPoint(0, 0)), view->size()), p.color(QPalette::Text)};
    }
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w))
        return {r.adjusted(3, 3, -3, -3), p.color(QPalette::Text)};
    if (qobject_cast<QGroupBox*>(w)) r.setHeight(w->fontMetrics().height());
    return {r, p.color(QPalette::WindowText)};
}

// Controls that keep their design-time look, never the user's colours.
const QStringList kDesignTime = {"btn8",    "Button1",        "Button2",       "Button3",
                                 "Button4", "ProClockLabel1", "calendarButton"};

}  // namespace

class ContrastTest : public QObject {
    Q_OBJECT

    std::optional<testing::RecordingServices> m_s;
    testing::RecordingOpener m_opener;
    std::unique_ptr<testing::Sandbox> m_box;

    // Each themed window, opened on an entry, and what it draws.
    void checkEveryWindow(const QString& palette) {
        std::vector<std::unique_ptr<QWidget>> windows;
        windows.push_back(std::make_unique<entries::Tdodawanie>(m_s->services));
        windows.push_back(std::make_unique<entries::Tedytowanie>(m_s->services));
        windows.push_back(std::make_unique<entries::Tusuwanie>(m_s->services));
        windows.push_back(std::make_unique<editor::Tedytor>(m_s->services, m_opener));
        windows.push_back(std::make_unique<notify::Tinformacja>(m_s->services, m_opener));
        windows.push_back(std::make_unique<notify::Tinformacja_timer>(m_s->services));
        for (auto& window : windows) {
            window->show();
            QTest::qWait(60);  // each opens on its first turn of the loop
            if (auto* tabs = window->findChild<QTabWidget*>()) {
                for (int page = 0; page < tabs->count(); ++page) {
                    tabs->setCurrentIndex(page);
                    checkWindow(*window, palette + " page " + QString::number(page));
                }
            } else {
                checkWindow(*window, palette);
            }
        }
    }

    void checkWindow(QWidget& window, const QString& where) {
        const QImage picture = window.grab().toImage();
        for (QWidget* w : window.findChildren<QWidget*>()) {
            if (!w->isVisible() || !hasText(w) || kDesignTime.contains(w->objectName())) continue;
            // A disabled control's text fades on purpose: it offers nothing.
            if (!w->isEnabled()) continue;
            const auto [rect, text] = textArea(w, &window);
            const QColor behind =
                rect.isNull() ? w->palette().color(QPalette::Button) : dominant(picture, rect);
            const double ratio = contrast(text, behind);
            QVERIFY2(ratio >= 4.5,
                     qPrintable(QString("%1 %2 %3 (%4): text %5 on %6, %7:1")
                                    .arg(where, window.objectName(), w->objectName(),
                                         w->metaObject()->className(), text.name(), behind.name())
                                    .arg(ratio, 0, 'f', 2)));
        }
        checkTabs(window, picture, where);
    }

    // Each tab's caption on the face the style draws for it, chosen or not.
    void checkTabs(QWidget& window, const QImage& picture, const QString& where) {
        for (QTabBar* bar : window.findChildren<QTabBar*>()) {
            if (!bar->isVisible()) continue;
            for (int i = 0; i < bar->count(); ++i) {
                const QRect face(bar->mapTo(&window, bar->tabRect(i).topLeft()),
                                 bar->tabRect(i).size());
                const QColor text = bar->palette().color(bar->foregroundRole());
                const QColor behind = dominant(picture, face.adjusted(3, 3, -3, -3));
                const double ratio = contrast(text, behind);
                QVERIFY2(ratio >= 4.5,
                         qPrintable(QString("%1 %2 tab %3: text %4 on %5, %6:1")
                                        .arg(where, window.objectName(), bar->tabText(i),
                                             text.name(), behind.name())
                                        .arg(ratio, 0, 'f', 2)));
            }
        }
    }

private slots:
    void init() {
        m_s.emplace();
        m_opener = testing::RecordingOpener();
        m_box = std::make_unique<testing::Sandbox>();
        for (LogKind kind : {LogKind::Private, LogKind::Static, LogKind::Public}) {
            storage::Profile log = m_box->log(kind);
            storage::addEntry(
                log, kind,
                testing::entry("Subject", "2026-05-17", kind == LogKind::Private ? "" : "rok",
                               kind == LogKind::Public ? "wszyscy" : ""));
        }
        storage::Exchange(m_box->exchangeFile()).recordActiveEntry(0, "log");
        storage::Exchange(m_box->exchangeFile()).recordTimerMessage("Tea");
    }
    void cleanup() { QApplication::setPalette(QApplication::style()->standardPalette()); }

    void shippedColoursAreReadableUnderALightAndADarkPalette() {
        checkEveryWindow("light");
        QApplication::setPalette(desktop::darkDesktopPalette());
        checkEveryWindow("dark");
        // A dark scheme as a desktop tool gives it: Fusion with the palette set.
        const QString style = QApplication::style()->name();
        QApplication::setStyle(QStyleFactory::create("Fusion"));
        QApplication::setPalette(desktop::darkDesktopPalette());
        checkEveryWindow("dark Fusion");
        QApplication::setStyle(QStyleFactory::create(style));
    }

    // The title face is whatever this machine has: it must draw the letters,
    // not a symbol font that stands in for a missing one.
    void everyBannerDrawsItsTitle() {
        std::vector<std::unique_ptr<QWidget>> windows;
        windows.push_back(std::make_unique<app::Treminder>(m_s->services, m_opener));
        windows.push_back(std::make_unique<config::Tkonfigurowanie>(m_s->services));
        windows.push_back(std::make_unique<notify::Tinformacja_timer>(m_s->services));
        windows.push_back(std::make_unique<entries::Tdodawanie>(m_s->services));
        int banners = 0;
        for (auto& window : windows)
            for (QLabel* label : window->findChildren<QLabel*>())
                if (label->text() == "Kalvex4") {
                    ++banners;
                    QVERIFY2(desktop::drawsAll(label->font(), "Kalvex4"),
                             qPrintable(window->objectName() + " " + label->objectName() + ": " +
                                        QFontInfo(label->font()).family()));
                }
        QCOMPARE(banners, 4);
    }

    void aConfigurationSavedUntouchedKeepsTheTextReadable() {
        config::Tkonfigurowanie w(m_s->services);
        w.show();
        QVERIFY(QTest::qWaitFor([&] { return w.opened(); }));
        QTest::mouseClick(w.findChild<QPushButton*>("btn1"), Qt::LeftButton);
        QVERIFY(w.saved());
        checkEveryWindow("after a save");
    }
};

QTEST_MAIN(ContrastTest)
#include "contrast_test.moc"
