#include "tabout.h"

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

    void closesOnlyThroughItsButton() {
        testing::RecordingServices s;
        testing::Sandbox box;
        about::Tabout w(s.services);
        QCOMPARE(w.windowTitle(), QString("Kalvex - informacje o programie"));
        QVERIFY(!(w.windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(w.findChild<QLabel*>("Image1")->pixmap().size(), QSize(32, 32));
        QVERIFY(w.findChild<QLabel*>("Label4")->text().contains("GNU General Public License"));
        QCOMPARE(w.findChild<QLabel*>("wersja")->accessibleDescription(), QString("Program version:"));
        w.show();
        QTest::mouseClick(w.findChild<QPushButton*>("Button1"), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TaboutTest)
#include "tabout_test.moc"
