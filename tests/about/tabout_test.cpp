#include "tabout.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

#include "exchange.h"
#include "recordingservices.h"
#include "sandbox.h"

using namespace kv;

// The terms are whole (never squeezed), and every line of them is in sight or
// within reach of the scroll bar, in a view inside the window above its button.
void checkTermsReachable(QWidget& w) {
    auto* terms = w.findChild<QLabel*>("Label4");
    auto* scroll = w.findChild<QScrollArea*>("licenceScroll");
    QVERIFY2(terms->height() >= terms->heightForWidth(terms->width()),
             qPrintable(QString("%1 < %2 at width %3")
                            .arg(terms->height())
                            .arg(terms->heightForWidth(terms->width()))
                            .arg(terms->width())));
    QWidget* view = scroll->viewport();
    const QRect shown(view->mapTo(&w, QPoint(0, 0)), view->size());
    QVERIFY(w.rect().contains(shown));
    QVERIFY(shown.bottom() < w.findChild<QWidget*>("Button1")->mapTo(&w, QPoint(0, 0)).y());
    QCOMPARE(scroll->verticalScrollBar()->maximum(), std::max(0, terms->height() - view->height()));
}

class TaboutTest : public QObject {
    Q_OBJECT

    QString version(desktop::Services& services) {
        about::Tabout w(services);
        w.show();
        const QString text = w.findChild<QLabel*>("wersja")->text();
        w.close();
        return text;
    }

private slots:
    void showsTheStoredVersionOrSaysItIsUnknown() {
        testing::RecordingServices s;
        testing::Sandbox box;
        QCOMPARE(version(s.services), QString("(nieznana)"));  // no exchange file yet
        storage::Exchange(box.exchangeFile()).recordVersion("4.17");
        QCOMPARE(version(s.services), QString("4.17"));
        QVERIFY(s.messages.empty());
    }

    void everyValueIsReadAsItsTextAndNoneIsCutOff() {
        testing::RecordingServices s;
        testing::Sandbox box;
        storage::Exchange(box.exchangeFile()).recordVersion("4.17");
        about::Tabout w(s.services);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (auto [value, caption] : {std::pair{"Label2", "Label1"}, {"wersja", "Label3"}}) {
            auto* label = w.findChild<QLabel*>(value);
            QAccessibleInterface* read = QAccessible::queryAccessibleInterface(label);
            QCOMPARE(read->text(QAccessible::Name), label->text());
            const auto labelled = read->relations(QAccessible::Label);
            QVERIFY(!labelled.isEmpty());
            QCOMPARE(labelled.first().first->object(), w.findChild<QLabel*>(caption));
        }
        QCOMPARE(QAccessible::queryAccessibleInterface(w.findChild<QLabel*>("wersja"))
                     ->text(QAccessible::Name),
                 QString("4.17"));
        // The terms: read whole, within reach in the window, and no caret in them.
        auto* terms = w.findChild<QLabel*>("Label4");
        QCOMPARE(QAccessible::queryAccessibleInterface(terms)->text(QAccessible::Name),
                 terms->text());
        QVERIFY(!(terms->textInteractionFlags() & Qt::TextSelectableByKeyboard));
        checkTermsReachable(w);
    }

    // With a desktop font much larger than the window was drawn for, the terms
    // scroll within it: not one line cut off.
    void aLargerDesktopFontScrollsTheTermsInsteadOfCuttingThem() {
        testing::RecordingServices s;
        testing::Sandbox box;
        const QFont before = QApplication::font();
        QFont large = before;
        large.setPointSize(18);
        QApplication::setFont(large);
        about::Tabout w(s.services);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        checkTermsReachable(w);
        auto* scroll = w.findChild<QScrollArea*>("licenceScroll");
        QVERIFY(scroll->verticalScrollBar()->maximum() > 0);
        QApplication::setFont(before);
    }

    void closesOnlyThroughItsButton() {
        testing::RecordingServices s;
        testing::Sandbox box;
        about::Tabout w(s.services);
        QCOMPARE(w.windowTitle(), QString("Kalvex - informacje o programie"));
        QVERIFY(!(w.windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(w.findChild<QLabel*>("Image1")->pixmap().size(), QSize(32, 32));
        QVERIFY(w.findChild<QLabel*>("Label4")->text().contains("GNU General Public License"));
        QCOMPARE(w.findChild<QLabel*>("wersja")->accessibleDescription(),
                 QString("Program version:"));
        w.show();
        QTest::mouseClick(w.findChild<QPushButton*>("Button1"), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TaboutTest)
#include "tabout_test.moc"
