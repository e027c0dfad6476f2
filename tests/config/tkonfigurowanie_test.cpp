#include "tkonfigurowanie.h"

#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

#include "colours.h"
#include "colourscheme.h"
#include "exchange.h"
#include "findchild.h"
#include "locations.h"
#include "look.h"
#include "recordingservices.h"
#include "sandbox.h"
#include "settings.h"
#include "windowfixture.h"

using namespace kv;
using testing::child;

class TkonfigurowanieTest : public testing::WindowFixture {
    Q_OBJECT

    std::unique_ptr<config::Tkonfigurowanie> open() {
        return testing::shownAndLoaded(std::make_unique<config::Tkonfigurowanie>(m_s->services));
    }
    void save(QWidget& w) { QTest::mouseClick(child<QPushButton>(w, "btn1"), Qt::LeftButton); }
    QString data(const char* name) { return QString::fromStdString(m_box->dataFolder()) + name; }

private slots:
    void init() {
        initFixture();
        storage::Exchange(m_box->exchangeFile()).recordDataFolder(m_box->dataFolder());
        m_box->writeFile("data/Kalvex4.exe.manifest", "<assembly/>");
    }

    void aFreshMachineShowsTheDefaultsAndSaveWritesThemAll() {
        auto w = open();
        QCOMPARE(w->windowTitle(), QString("Kalvex - configuration"));
        QVERIFY(child<QCheckBox>(*w, "autostart")->isChecked());
        QVERIFY(!child<QCheckBox>(*w, "autolog")->isChecked());
        QVERIFY(child<QCheckBox>(*w, "autolog")->isEnabled());
        QVERIFY(child<QRadioButton>(*w, "rwxp")->isChecked());
        QCOMPARE(w->labelColour(1),
                 desktop::toQColor(15));  // czcionka: what the windows paint by default
        QCOMPARE(w->labelColour(6), desktop::toQColor(5391418));
        QCOMPARE(child<QLineEdit>(*w, "edsciezka")->text(),
                 QString::fromStdString(m_box->root() + "/logs/private/"));
        const std::string storeBefore = m_box->readFile("Kalvex4.conf");
        save(*w);
        QVERIFY(m_s->messages.empty());
        QVERIFY(w->saved());
        const storage::Profile colours = m_box->colourFile();
        for (const storage::ColourKeyInfo& info : storage::kColourKeys)
            QCOMPARE(colours.readString("kolory", info.key, ""),
                     std::to_string(storage::paintDefault(info.key)));
        const storage::Profile config = m_box->config();
        QCOMPARE(config.readString("glowne", "styl", ""), std::string("0"));
        QCOMPARE(config.readString("glowne", "autostart", ""), std::string("1"));
        QCOMPARE(config.readString("glowne", "autolog", ""), std::string("0"));
        QCOMPARE(config.readString("glowne", "zmienione", ""), std::string("tak"));
        QCOMPARE(m_box->readFile("Kalvex4.conf"), storeBefore);  // nothing changed there
    }

    void theRemindersAreThisUsersAloneAndSetFromTheKeyboard() {
        auto w = open();
        auto* catchUp = child<QCheckBox>(*w, "nadrabianie");
        auto* snooze = child<QComboBox>(*w, "drzemka");
        auto* ahead = child<QSpinBox>(*w, "wyprzedzenie");
        QVERIFY(catchUp->isChecked());
        QCOMPARE(snooze->currentText(), QString("In 10 minutes"));
        QCOMPARE(ahead->text(), QString("off"));
        QCOMPARE(child<QLabel>(*w, "wyprzedzenieLabel")->buddy(), ahead);
        catchUp->setFocus();
        QTest::keyClick(catchUp, Qt::Key_Space);
        snooze->setFocus();
        QTest::keyClick(snooze, Qt::Key_Down);
        QTest::keyClick(snooze, Qt::Key_Down);
        ahead->setFocus();
        for (int i = 0; i < 7; ++i) QTest::keyClick(ahead, Qt::Key_Up);
        auto* dnd = child<QCheckBox>(*w, "nieprzeszkadzac");
        QVERIFY(child<QCheckBox>(*w, "powiadomienia")->isChecked());
        QVERIFY(!dnd->isChecked());
        dnd->setFocus();
        QTest::keyClick(dnd, Qt::Key_Space);
        save(*w);
        QVERIFY(m_s->messages.empty());
        storage::Profile mine(m_box->files().userConfig);
        const storage::ReminderSettings saved = storage::UserSettings(mine).reminders();
        QVERIFY(!saved.catchUp);
        QCOMPARE(saved.snoozeMinutes, 1440);
        QCOMPARE(saved.daysAhead, 7);
        QVERIFY(saved.notifications);
        QVERIFY(saved.duringDnd);
        // Nothing of it in the file every user shares.
        const storage::IniDocument shared = m_box->config().snapshot();
        for (const storage::IniSection& section : shared.sections())
            for (const storage::IniKey& key : section.keys)
                QVERIFY(key.name != "drzemka" && key.name != "wyprzedzenie" &&
                        key.name != "nadrabianie" && key.name != "powiadomienia");
        auto again = open();
        QCOMPARE(child<QSpinBox>(*again, "wyprzedzenie")->value(), 7);
        QCOMPARE(child<QComboBox>(*again, "drzemka")->currentText(), QString("Tomorrow"));
    }

    void theColourDialogOpensOnTheLabelsColourAndACancelKeepsIt() {
        auto w = open();
        auto* k3 = child<QLabel>(*w, "k3");
        const QColor before = w->labelColour(2);
        QTest::mouseClick(k3, Qt::LeftButton);  // cancelled
        QCOMPARE(m_s->asked.back().text, before.name());
        QCOMPARE(w->labelColour(2), before);
        m_s->colours.push_back(QColor(0x10, 0x20, 0x30));
        k3->setFocus();
        QTest::keyClick(k3, Qt::Key_Space);
        QCOMPARE(w->labelColour(2), QColor(0x10, 0x20, 0x30));
        save(*w);
        QCOMPARE(m_box->colourFile().readString("kolory", "listy1", ""), std::to_string(0x302010));
    }

    void theStyleRenamesTheManifestBothWaysAndASecondSaveIsQuiet() {
        auto classic = open();
        child<QRadioButton>(*classic, "rclassic")->setChecked(true);
        save(*classic);
        QVERIFY(QFile::exists(data("kv4.man")));
        QVERIFY(!QFile::exists(data("Kalvex4.exe.manifest")));
        QCOMPARE(m_box->config().readString("glowne", "styl", ""), std::string("1"));
        auto again = open();
        QVERIFY(child<QRadioButton>(*again, "rclassic")->isChecked());
        save(*again);
        QVERIFY(QFile::exists(data("kv4.man")));
        QVERIFY(m_s->messages.empty());
        auto back = open();
        child<QRadioButton>(*back, "rwxp")->setChecked(true);
        save(*back);
        QVERIFY(QFile::exists(data("Kalvex4.exe.manifest")));
        QVERIFY(!QFile::exists(data("kv4.man")));
    }

    void foldersGetTheirSlashAndAMissingOneIsRefused() {
        QDir().mkpath(QString::fromStdString(m_box->root() + "/elsewhere"));
        auto w = open();
        // A final backslash, as on another system, stands for the separator.
        child<QLineEdit>(*w, "edsciezka_glowna")
            ->setText(QString::fromStdString(m_box->root() + "/elsewhere\\"));
        child<QLineEdit>(*w, "edsciezka_stala")
            ->setText(QString::fromStdString(m_box->root() + "/nowhere/"));
        const std::string storeBefore = m_box->readFile("Kalvex4.conf");
        save(*w);
        QCOMPARE(m_s->messages.size(), std::size_t(1));
        QVERIFY(m_s->messages[0].text.contains("/nowhere/"));
        QVERIFY(!w->saved());
        QCOMPARE(m_box->readFile("Kalvex4.conf"), storeBefore);
        QVERIFY(!QFile::exists(QString::fromStdString(m_box->colourFile().path())));
        child<QLineEdit>(*w, "edsciezka_stala")
            ->setText(QString::fromStdString(m_box->root() + "/logs/static/"));
        save(*w);
        QVERIFY(w->saved());
        QCOMPARE(storage::readStore()->sciezka_log_glowny, m_box->root() + "/elsewhere/");
    }

    void aFolderThatCannotHoldLogsIsRefusedAndOneStoredWithoutItsSlashIsUnchanged() {
        m_box->writeFile("afile", "x");
        for (auto [typed, said] :
             {std::pair{QString("logs/private/"), QString("is not a full path")},
              {QString::fromStdString(m_box->root() + "/afile"),
               QString("is a file, not a folder")}}) {
            m_s->messages.clear();
            auto w = open();
            child<QLineEdit>(*w, "edsciezka")->setText(typed);
            save(*w);
            QCOMPARE(m_s->messages.size(), std::size_t(1));
            QVERIFY2(m_s->messages[0].text.contains("\"" + typed + "\" " + said),
                     qPrintable(m_s->messages[0].text));
            QVERIFY(!w->saved());
        }
        // The administrator stored a folder without its slash: an ordinary save of
        // colours neither counts it as changed nor touches the store.
        storage::StoreValues values = *storage::readStore();
        values.sciezka_log_glowny = m_box->root() + "/logs/public";
        storage::writeStore(values);
        const std::string storeBefore = m_box->readFile("Kalvex4.conf");
        ::chmod((m_box->root() + "/Kalvex4.conf").c_str(), 0444);
        m_s->messages.clear();
        auto w = open();
        save(*w);
        ::chmod((m_box->root() + "/Kalvex4.conf").c_str(), 0644);
        QVERIFY(m_s->messages.empty());
        QVERIFY(w->saved());
        QCOMPARE(m_box->readFile("Kalvex4.conf"), storeBefore);
    }

    void theLookFollowsTheThemedManifestAndARefusedChangeIsSaid() {
        const std::string folder = m_box->dataFolder();
        QCOMPARE(storage::chosenLook(folder), storage::Look::Themed);
        m_box->writeFile("data/kv4.man", "<assembly/>");  // both: the themed one is there
        QCOMPARE(storage::chosenLook(folder), storage::Look::Themed);
        QFile::remove(data("kv4.man"));
        QFile::remove(data("Kalvex4.exe.manifest"));  // neither: the classic look
        QCOMPARE(storage::chosenLook(folder), storage::Look::Classic);

        // With no manifest to rename, the themed look cannot be had: not offered.
        auto w = open();
        QVERIFY(!child<QRadioButton>(*w, "rwxp")->isEnabled());
        QVERIFY(child<QLabel>(*w, "styleNote")->text().startsWith("Only the administrator"));
        QVERIFY(!child<QLabel>(*w, "styleNote")->text().contains("restart"));
        // A manifest gone while the window was open: the save says so, styl stays.
        m_box->writeFile("data/Kalvex4.exe.manifest", "<assembly/>");
        auto later = open();
        QVERIFY(child<QRadioButton>(*later, "rclassic")->isEnabled());
        child<QRadioButton>(*later, "rclassic")->setChecked(true);
        QFile::remove(data("Kalvex4.exe.manifest"));
        m_box->writeFile("data/kv4.man", "<assembly/>");
        child<QRadioButton>(*later, "rwxp")->setChecked(true);
        QFile::remove(data("kv4.man"));
        save(*later);
        QCOMPARE(m_s->messages.size(), std::size_t(1));
        QVERIFY(m_s->messages[0].text.startsWith("The style was not changed: neither"));
        QCOMPARE(m_box->config().readString("glowne", "styl", ""), std::string("1"));
    }

    void theDataFolderComesFromTheStoreNotFromTheExchangeFile() {
        // Another program (another user, once) pointed the exchange file elsewhere.
        QDir().mkpath(QString::fromStdString(m_box->root() + "/planted"));
        storage::Exchange(m_box->exchangeFile()).recordDataFolder(m_box->root() + "/planted/");
        auto w = open();
        save(*w);
        QVERIFY(w->saved());
        QVERIFY(QDir(QString::fromStdString(m_box->root() + "/planted")).isEmpty());
        QCOMPARE(m_box->config().readString("glowne", "zmienione", ""), std::string("tak"));
        QVERIFY(QFile::exists(QString::fromStdString(m_box->colourFile().path())));
    }

    void aStoreChangeThatCannotBeWrittenStopsSaveBeforeAnything() {
        QDir().mkpath(QString::fromStdString(m_box->root() + "/elsewhere"));
        // Another of the administrator's programs holds the store's lock: the
        // change cannot be made now.
        const std::string store = m_box->root() + "/.Kalvex4.conf.lock";
        int ready[2];
        QVERIFY(pipe(ready) == 0);
        const pid_t holder = fork();
        if (holder == 0) {
            const int fd = ::open(store.c_str(), O_RDWR | O_CREAT, 0600);
            flock(fd, LOCK_EX);
            (void)!write(ready[1], "x", 1);
            for (;;) pause();
        }
        char c;
        QVERIFY(read(ready[0], &c, 1) == 1);
        const int oldTimeout = storage::lockTimeoutMs();
        storage::setLockTimeoutMs(200);
        auto w = open();
        child<QLineEdit>(*w, "edsciezka_stala")
            ->setText(QString::fromStdString(m_box->root() + "/elsewhere/"));
        child<QCheckBox>(*w, "autostart")->setChecked(false);
        save(*w);
        kill(holder, SIGKILL);
        waitpid(holder, nullptr, 0);
        storage::setLockTimeoutMs(oldTimeout);
        QCOMPARE(m_s->messageTexts(), QStringList{"Failed to set data for 'sciezka_log_staly'"});
        QVERIFY(!w->saved());
        QVERIFY(!QFile::exists(QString::fromStdString(m_box->colourFile().path())));
        QCOMPARE(m_box->config().readString("glowne", "zmienione", "none"), std::string("none"));
        // Unchanged folders never touch the store: colours and autostart still save.
        child<QLineEdit>(*w, "edsciezka_stala")
            ->setText(QString::fromStdString(m_box->root() + "/logs/static"));
        save(*w);
        QVERIFY(w->saved());
        QCOMPARE(m_box->config().readString("glowne", "autostart", ""), std::string("0"));
        // The session follows the changed switch at once.
        QCOMPARE(m_s->autostartCalls, QList<bool>{false});
        QVERIFY(!m_s->autostart);
    }

    void theSwitchShowsThisUsersOwnStartWhateverAnotherSaved() {
        m_box->config().writeString("glowne", "zmienione", "tak");
        m_box->config().writeString("glowne", "autostart", "1");
        m_s->autostart = false;  // switched off in this user's desktop settings
        auto w = open();
        QVERIFY(!child<QCheckBox>(*w, "autostart")->isChecked());
        save(*w);
        QVERIFY(w->saved());
        QVERIFY(m_s->autostartCalls.isEmpty());
        QVERIFY(!m_s->autostart);
    }

    void anUnchangedSwitchLeavesTheSessionAndARefusedOneIsSaid() {
        m_box = std::make_unique<testing::Sandbox>();
        {
            auto w = open();
            save(*w);
            QVERIFY(w->saved());
            QVERIFY(m_s->autostartCalls.isEmpty());
        }
        m_s->autostartRefuses = true;
        auto w = open();
        child<QCheckBox>(*w, "autostart")->setChecked(false);
        save(*w);
        QVERIFY(w->saved());
        QCOMPARE(m_box->config().readString("glowne", "autostart", ""), std::string("0"));
        QCOMPARE(m_s->messageTexts().last(),
                 QString{"The start with the session could not be changed: the autostart "
                         "entry could not be written. The other settings were saved."});
    }

    void withoutAStoreItSaysSoAndCloses() {
        m_box = std::make_unique<testing::Sandbox>(false);
        auto w = open();
        QCOMPARE(m_s->messageTexts(),
                 QStringList{"Nie znaleziono informacji o Kalvex. Zainstaluj program ponownie."});
        QTRY_VERIFY(!w->isVisible());
    }

    void cancelWritesNothing() {
        auto w = open();
        m_s->colours.push_back(Qt::red);
        QTest::mouseClick(child<QLabel>(*w, "k1"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(*w, "Button2"), Qt::LeftButton);
        QTRY_VERIFY(!w->isVisible());
        QVERIFY(!QFile::exists(QString::fromStdString(m_box->colourFile().path())));
        QCOMPARE(m_box->config().readString("glowne", "zmienione", "none"), std::string("none"));
        for (int i = 1; i <= 18; ++i)
            QVERIFY(
                !child<QLabel>(*w, qPrintable(QString("k%1").arg(i)))->accessibleName().isEmpty());
        QCOMPARE(child<QWidget>(*w, "edsciezka")->accessibleName(),
                 QString("Store the private logs here:"));
    }
};

QTEST_MAIN(TkonfigurowanieTest)
#include "tkonfigurowanie_test.moc"
