// What the notification windows show of an entry's texts: the subject over
// the text, every byte of long and quoted texts, the timer's lines, and why an
// action could not be done.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QtTest>
#include <atomic>
#include <thread>

#include "elidinglabel.h"
#include "exchange.h"
#include "findchild.h"
#include "notifyfixture.h"
#include "recordingopener.h"
#include "recordingservices.h"
#include "sandbox.h"
#include "tinformacja.h"
#include "tinformacja_timer.h"

using namespace kv;
using storage::LogKind;
using testing::child;

class NotifyTextsTest : public testing::NotifyFixture {
    Q_OBJECT

    void addAndActivate(const storage::EntryData& e, LogKind kind = LogKind::Private) {
        add(kind, e);
        activate(0, std::string(storage::logKey(kind)));
    }

private slots:
    void init() { initFixture(); }

    void theSubjectHeadsTheText() {
        addAndActivate(testing::entry("Dentist at ten", "2026-05-17"));
        {
            storage::Profile log = m_box->log(LogKind::Private);
            log.writeString("0", "Informacja", "");
        }
        auto w = open();
        QCOMPARE(w->windowTitle(), QString("Kalvex - message"));
        auto* subject = child<desktop::ElidingLabel>(*w, "tytul");
        QVERIFY(subject->isVisible());
        QCOMPARE(subject->text(), QString("Dentist at ten"));
        QCOMPARE(info(*w), QString());

        // A long subject is shortened; its whole text is the tooltip and description.
        const QString longSubject = "Renew " + QString(300, 'x');
        m_box = std::make_unique<testing::Sandbox>();
        addAndActivate(testing::entry(longSubject.toStdString(), "2026-05-17"));
        auto w2 = open();
        auto* elided = child<desktop::ElidingLabel>(*w2, "tytul");
        QVERIFY(elided->text().endsWith("..."));
        QTextDocument hover;
        hover.setHtml(elided->toolTip());
        QCOMPARE(hover.toPlainText(), longSubject);
        QCOMPARE(elided->accessibleName(), longSubject);

        // No subject: no empty heading.
        m_box = std::make_unique<testing::Sandbox>();
        addAndActivate(testing::entry("", "2026-05-17"));
        QVERIFY(!child<QWidget>(*open(), "tytul")->isVisible());
    }

    // Another user's public entry written as markup: shown as typed, and no
    // image is loaded from the pipe it names, which would block the window.
    void markupInAnEntryIsShownAsTypedAndLoadsNothing() {
        const std::string fifo = m_box->root() + "/fifo";
        QCOMPARE(mkfifo(fifo.c_str(), 0666), 0);
        const QString image = QString("<img src=\"%1\">").arg(QString::fromStdString(fifo));
        const QString subject = image + "Lunch <b>now</b> &amp; <a href=\"https://x\">here</a>";
        storage::EntryData e = testing::entry(subject.toStdString(), "2026-05-17");
        e.informacja = e.tytul;
        e.email = e.strona = e.program = e.plik = image.toStdString();
        std::atomic<bool> done{false}, hung{false};
        std::thread watchdog([&] {
            for (int k = 0; k < 600 && !done; ++k)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (done) return;
            // A reader blocked in opening the pipe goes on once a writer opens it.
            hung = true;
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) ::close(fd);
        });
        addAndActivate(e, LogKind::Public);
        auto w = open();
        w->grab();
        done = true;
        watchdog.join();
        QVERIFY2(!hung, "the window opened the pipe an entry's markup named");
        QCOMPARE(child<desktop::ElidingLabel>(*w, "tytul")->fullText(), subject);
        for (const QLabel* label : w->findChildren<QLabel*>())
            QVERIFY2(label->textFormat() == Qt::PlainText || !Qt::mightBeRichText(label->text()),
                     qPrintable(label->objectName()));
        for (const QWidget* widget : w->findChildren<QWidget*>()) {
            // A hover text is markup whose shown text is what was typed.
            if (widget->toolTip().isEmpty()) continue;
            QTextDocument shown;
            shown.setHtml(widget->toolTip());
            QVERIFY2(!shown.toPlainText().contains("Lunch") || shown.toPlainText() == subject,
                     qPrintable(widget->objectName() + ": " + widget->toolTip()));
            QVERIFY2(!widget->toolTip().contains("<img"), qPrintable(widget->objectName()));
        }
    }

    void notLoadedIsSaidOnlyWhenLoadingFailed() {
        addAndActivate(testing::entry("t", "2026-05-17"));
        notify::Tinformacja before(m_s->services, m_opener);
        QCOMPARE(info(before), QString());  // built, not yet loaded
        QCOMPARE(info(*open()), QString("Text of t"));
        storage::Exchange(m_box->exchangeFile()).recordActiveEntry(0, "log_nieznany");
        QCOMPARE(info(*open()), QString(notify::Tinformacja::kNotLoaded));
    }

    void longPolishAndQuotedTextsAreShownWhole() {
        storage::EntryData e = testing::entry("\"Hi\" said \"Bob\"", "2026-05-17");
        QString text = QString(2000, 'a');
        for (int i = 0; i < 600; ++i) text += QChar(i % 2 ? 0x0105 : 0x0142);  // ą ł
        text = "  " + text + " ";
        e.informacja = text.toStdString();
        addAndActivate(e, LogKind::Public);
        auto w = open();
        QCOMPARE(info(*w), text);
        QCOMPARE(child<desktop::ElidingLabel>(*w, "tytul")->fullText(),
                 QString("\"Hi\" said \"Bob\""));
    }

    void runAndPerformSayWhyTheyCouldNotBeDone() {
        m_box->writeFile("data/style.ini", "[x]\r\n");
        m_box->writeFile("data/style_list.ini", "[x]\r\n");
        storage::EntryData e = testing::entry("t", "2026-05-17");
        e.program = m_box->dataFolder() + "style.ini";  // no program
        e.plik = m_box->dataFolder() + "style_list.ini";
        addAndActivate(e);
        auto w = open();
        QTest::mouseClick(child<QPushButton>(*w, "programbtn"), Qt::LeftButton);
        QVERIFY(m_s->opened.isEmpty());
        m_s->shellAccepts = false;  // the desktop has nothing that opens it
        QTest::mouseClick(child<QPushButton>(*w, "plikbtn"), Qt::LeftButton);
        const QString data = QString::fromStdString(m_box->dataFolder());
        QCOMPARE(m_s->messageTexts(),
                 (QStringList{"The program \"" + data +
                                  "style.ini\" could not be started: it is not a program that "
                                  "this user may run.",
                              "The file \"" + data +
                                  "style_list.ini\" could not be opened: the desktop has no "
                                  "program that opens it."}));
        for (const desktop::MessageIcon icon : {m_s->messages[0].icon, m_s->messages[1].icon})
            QCOMPARE(icon, desktop::MessageIcon::Warning);
    }

    void theTimerMessageKeepsItsLines() {
        storage::Exchange exchange(m_box->exchangeFile());
        exchange.recordTimerMessage("Call Ann\r\nthen Bob\n[log]\naktywny_wpis=7");
        // One line in the file: nothing of the message becomes a key or a section.
        const storage::IniDocument doc =
            storage::IniDocument::parse(m_box->readFile("Kalvex4.tmp"));
        QCOMPARE(doc.read("log", "aktywny_wpis", "none"), std::string("none"));
        QCOMPARE(exchange.timerMessage(), std::string("Call Ann\nthen Bob\n[log]\naktywny_wpis=7"));
        auto w = std::make_unique<notify::Tinformacja_timer>(m_s->services);
        w->show();
        QVERIFY(QTest::qWaitFor([&] { return w->opened(); }));
        QCOMPARE(child<QPlainTextEdit>(*w, "info")->toPlainText(),
                 QString("Call Ann\nthen Bob\n[log]\naktywny_wpis=7"));
    }
};

QTEST_MAIN(NotifyTextsTest)
#include "texts_test.moc"
