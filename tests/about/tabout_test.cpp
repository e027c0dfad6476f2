#include "tabout.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "exchange.h"
#include "recordingservices.h"
#include "sandbox.h"

using namespace kv;

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
        // The terms: read whole, shown whole within the window, and no caret in them.
        auto* terms = w.findChild<QLabel*>("Label4");
        QCOMPARE(QAccessible::queryAccessibleInterface(terms)->text(QAccessible::Name),
                 terms->text());
        QVERIFY(!(terms->textInteractionFlags() & Qt::TextSelectableByKeyboard));
        QVERIFY2(terms->height() >= terms->heightForWidth(terms->width()),
                 qPrintable(QString("%1 < %2 at width %3")
                                .arg(terms->height())
                                .arg(terms->heightForWidth(terms->width()))
                                .arg(terms->width())));
        const QRect shown(terms->mapTo(&w, QPoint(0, 0)), terms->size());
        QVERIFY2(w.rect().contains(shown), qPrintable(QString("%1,%2 %3x%4")
                                                          .arg(shown.x())
                                                          .arg(shown.y())
                                                          .arg(shown.width())
                                                          .arg(shown.height())));
        QVERIFY(shown.bottom() < w.findChild<QWidget*>("Button1")->mapTo(&w, QPoint(0, 0)).y());
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
