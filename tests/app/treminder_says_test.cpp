// What the resident window says of files it cannot use: a shared exchange
// file replaced by the user's own, an unwritable own one, an unreadable log,
// and a desktop without a notification area, each once and at its step.

#include <QLabel>
#include <QTimer>
#include <QtTest>
#include <filesystem>

#include "exchange.h"
#include "logbook.h"
#include "recordingopener.h"
#include "recordingservices.h"
#include "sandbox.h"
#include "treminder.h"

using namespace kv;

class TreminderSaysTest : public QObject {
    Q_OBJECT

    std::optional<testing::RecordingServices> m_services;
    testing::RecordingOpener m_opener;

    QTimer* timer(app::Treminder& w, const char* name) { return w.findChild<QTimer*>(name); }

private slots:
    void init() {
        m_services.emplace();
        m_opener = testing::RecordingOpener();
    }

    void anUnusableSharedExchangeFileIsReplacedByAPersonalOneAndSaidOnce() {
        testing::Sandbox box;
        const std::string shared = box.root() + "/missing/Kalvex4.tmp";
        qputenv("KALVEX4_EXCHANGE", QByteArray::fromStdString(shared));
        app::Treminder w(m_services->services, m_opener);
        w.runStartupSequence();
        QCoreApplication::processEvents();
        QCOMPARE(m_services->messages.size(), size_t(1));
        QVERIFY(m_services->messages[0].text.contains(QString::fromStdString(shared)));
        QVERIFY(m_services->messages[0].text.contains("folder does not exist"));
        QVERIFY(timer(w, "Timer1")->isActive());
        storage::Exchange ex(shared);
        QCOMPARE(ex.version("none"), std::string("4.17"));
        QVERIFY(ex.path() != shared);
    }

    // Without a notification area: said once to each user, without a box to click away.
    void aMissingTrayIsToldOnceWithoutABox() {
        testing::Sandbox box;
        for (int start = 0; start < 2; ++start) {
            app::Treminder w(m_services->services, m_opener);
            w.runStartupSequence();
            auto* retry = w.findChild<QTimer*>("trayRetry");
            for (int i = 0; i < 40; ++i) QMetaObject::invokeMethod(retry, "timeout");
            QCoreApplication::processEvents();
            if (start == 0) QVERIFY(w.findChild<QLabel*>("akcja")->text().contains("taskbar"));
        }
        QVERIFY(m_services->messages.empty());
        QCOMPARE(m_services->bubbles.size(), std::size_t(1));
        QVERIFY(m_services->bubbles[0].body.contains("No notification area"));
    }

    void anUnwritableOwnExchangeFileIsSaidOnceAtItsStep() {
        testing::Sandbox box;
        const std::string runtime = box.root() + "/run";
        std::filesystem::create_directory(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime));
        // A folder where the user's own file should be: no write can succeed, not even root's.
        std::filesystem::create_directory(runtime + "/Kalvex4.tmp");
        qputenv("KALVEX4_EXCHANGE", QByteArray::fromStdString(runtime + "/Kalvex4.tmp"));
        app::Treminder w(m_services->services, m_opener);
        w.runStartupSequence();
        QCoreApplication::processEvents();
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
        QCOMPARE(m_services->messageTexts().size(), 1);
        QVERIFY(m_services->messages[0].text.startsWith(
            QString::fromStdString("Unable to write to " + runtime + "/Kalvex4.tmp")));
        QCOMPARE(w.findChild<QLabel*>("akcja")->text(), QString("Opening registry..."));
    }

    void aLogThatCannotBeReadIsNamedOnceAndNotWrittenOver() {
        testing::Sandbox box;
        const std::string path = box.files().log_glowny;
        std::filesystem::create_directory(path);  // a folder where the public log should be
        m_services->clock = QDateTime(QDate(2026, 5, 17), QTime(8, 0));
        app::Treminder w(m_services->services, m_opener);
        w.runStartupSequence();  // reads the public log's slots over and over
        QCoreApplication::processEvents();
        QCOMPARE(m_services->messages.size(), size_t(1));
        QVERIFY(m_services->messages[0].text.contains(QString::fromStdString(path)));
        QVERIFY(m_services->messages[0].text.contains("is a folder"));
        storage::Profile pub = box.log(storage::LogKind::Public);
        QVERIFY_THROWS_EXCEPTION(
            storage::WriteError,
            storage::addEntry(pub, storage::LogKind::Public,
                              testing::entry("x", "2026-05-17", "raz", "wszyscy")));
        QVERIFY(std::filesystem::is_directory(path));
    }
};

QTEST_MAIN(TreminderSaysTest)
#include "treminder_says_test.moc"
