// iCalendar out and in: files other calendars write, refusals by UID, a full
// log, untrusted actions, and an export that comes back as the same events.

#include <QRegularExpression>
#include <cstdlib>
#include <ctime>

#include "clifixture.h"

namespace kv::testing {

using storage::LogKind;

namespace {

QString fixture(const char* name) {
    return QString(KV_FIXTURES) + "/" + name;
}

// The events of a calendar without their time stamps, which say when it was written.
QString withoutStamps(QString ics) {
    return ics.remove(QRegularExpression("DTSTAMP:[0-9TZ]+\r\n"));
}

}  // namespace

class IcsTest : public CliFixture {
    Q_OBJECT

    TempDir m_dir;

    QString file(const char* name) { return QString::fromStdString(m_dir.file(name)); }
    QString read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private slots:
    void initTestCase() {
        // Timed events fall on this machine's local date.
        setenv("TZ", "Europe/Warsaw", 1);
        tzset();
    }
    void init() { m_box = std::make_unique<Sandbox>(); }

    void aWebCalendarsEventsComeInAndTheRestIsRefusedByUid() {
        // Nobody is named in a calendar of another program.
        const cli::Reply forNobody =
            kv({"import", "--ics", fixture("web-calendar.ics"), "--log", "public"});
        QCOMPARE(forNobody.status, 3);
        QVERIFY(forNobody.err.find("all-day@web.example: it names no receiver") !=
                std::string::npos);
        QCOMPARE(json({"list"}).size(), 0);
        const cli::Reply r =
            kv({"import", "--ics", fixture("web-calendar.ics"), "--log", "public", "--everyone"});
        QCOMPARE(r.status, 3);
        const QString err = QString::fromStdString(r.err);
        for (const char* refusal :
             {"standup@web.example: it repeats more often than monthly",
              "five-times@web.example: it ends after 5 times",
              "second-tuesday@web.example: it falls on a weekday of the month",
              "bad-start@web.example: it is malformed", "cancelled@web.example: it is cancelled",
              "pay-day@web.example: it changes one occurrence of a series",
              "with-gaps@web.example: it adds or leaves out single dates",
              "todo@web.example: it is a VTODO, not an event"})
            QVERIFY2(err.contains(QString("refused ") + refusal), refusal);
        QVERIFY(QString::fromStdString(r.out).contains("4 imported, 0 skipped, 8 refused."));
        const QJsonArray in = json({"list"});
        QCOMPARE(in.size(), 4);
        // 20:00 in New York is 02:00 the next day here; 23:30 UTC is 00:30 on New Year's Day.
        QCOMPARE(in.at(0)["date"].toString(), QString("2027-01-11"));
        QCOMPARE(in.at(0)["text"].toString(),
                 QString("Dial in early, the agenda is long; bring notes.\nSecond line: Zażółć "
                         "gęślą jaźń – żółw."));
        QCOMPARE(in.at(0)["receiver"].toString(), QString("wszyscy"));
        QCOMPARE(in[1]["date"].toString(), QString("2027-01-01"));
        QCOMPARE(in[1]["url"].toString(), QString("https://toast.example/party"));
        QCOMPARE(in[2]["date"].toString(), QString("2027-03-05"));
        QCOMPARE(in[3]["every"].toString(), QString("month"));
        QCOMPARE(in[3]["date"].toString(), QString("2026-01-15"));

        // The same file again adds nothing.
        const std::string before = allLogs();
        const cli::Reply again =
            kv({"import", "--ics", fixture("web-calendar.ics"), "--log", "public", "--everyone"});
        QVERIFY(QString::fromStdString(again.out).contains("0 imported, 4 skipped, 8 refused."));
        QCOMPARE(allLogs(), before);
    }

    void birthdaysOfAContactsProgramGoToTheStaticLogOnly() {
        const std::string empty = allLogs();
        const cli::Reply wrongLog =
            kv({"import", "--ics", fixture("contacts-birthdays.ics"), "--log", "private"});
        QCOMPARE(wrongLog.status, 3);
        QVERIFY(wrongLog.err.find("belongs in the static log") != std::string::npos);
        QCOMPARE(allLogs(), empty);
        const cli::Reply dry = kv(
            {"import", "--ics", fixture("contacts-birthdays.ics"), "--log", "static", "--dry-run"});
        QVERIFY(dry.out.find("would import contact-17-birthday as entry 0") != std::string::npos);
        QCOMPARE(allLogs(), empty);
        const cli::Reply r =
            kv({"import", "--ics", fixture("contacts-birthdays.ics"), "--log", "static"});
        QCOMPARE(r.status, 3);
        QVERIFY(r.err.find("contact-19-anniversary: it repeats every 2 years\n") !=
                std::string::npos);
        QVERIFY(r.err.find("contact-17-birthday: its UID is in the file twice") !=
                std::string::npos);
        const QJsonArray in = json({"list", "--log", "static"});
        QCOMPARE(in.size(), 3);
        QCOMPARE(in.at(0)["date"].toString(), QString("1985-03-12"));
        QCOMPARE(in[1]["date"].toString(), QString("1992-02-29"));
        QCOMPARE(in[2]["subject"].toString(), QString("No UID at all"));
        for (const QJsonValue v : in) QCOMPARE(v["every"].toString(), QString("year"));
        QCOMPARE(json({"list", "--due", "2028-02-29"}).size(), 1);
        QCOMPARE(json({"list", "--due", "2028-02-28"}).size(), 0);
        // In a year without the day, the month's last day.
        QCOMPARE(json({"list", "--due", "2027-02-28"}).at(0)["subject"].toString(),
                 QString("Leap-day Leon"));
    }

    void aFullLogStopsTheImportThere() {
        for (int k = 0; k < 49; ++k)
            ok({"add", "--subject", QString::number(k), "--date", "2027-01-01", "--everyone"});
        const cli::Reply r =
            kv({"import", "--ics", fixture("web-calendar.ics"), "--log", "public", "--everyone"});
        QCOMPARE(r.status, 1);
        QVERIFY(r.out.find("imported evening-call@web.example as entry 49") != std::string::npos);
        QVERIFY(r.err.find("not imported all-day@web.example: the log is full") !=
                std::string::npos);
        QVERIFY(r.err.find(m_box->files().log_glowny + ") is full") != std::string::npos);
        QCOMPARE(json({"list", "--log", "public"}).size(), 51);
    }

    void noFileIsACalendarThatIsNotOne() {
        const cli::Reply r =
            kv({"import", "--ics", fixture("not-a-calendar.ics"), "--log", "static"});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.find("holds no complete calendar") != std::string::npos);
    }

    void programsAndFilesOfAReceivedFileRunOnlyWhenTrusted() {
        ok({"add", "--subject", "Backup", "--date", "2027-01-10", "--program", "/usr/bin/backup",
            "--file", "/home/me/notes.txt", "--url", "file:///etc/passwd", "--email",
            "a@b.example"});
        ok({"export", "--ics", file("actions.ics")});
        m_box = std::make_unique<Sandbox>();
        const cli::Reply untrusted =
            kv({"import", "--ics", file("actions.ics"), "--log", "private"});
        QCOMPARE(untrusted.status, 0);
        QVERIFY(untrusted.err.find("--trust-actions takes them") != std::string::npos);
        QJsonArray in = json({"list"});
        QVERIFY(in.at(0)["program"].isNull());
        QVERIFY(in.at(0)["file"].isNull());
        QVERIFY(in.at(0)["url"].isNull());
        QCOMPARE(in.at(0)["email"].toString(), QString("a@b.example"));
        m_box = std::make_unique<Sandbox>();
        ok({"import", "--ics", file("actions.ics"), "--log", "private", "--trust-actions"});
        in = json({"list"});
        QCOMPARE(in.at(0)["program"].toString(), QString("/usr/bin/backup"));
        QCOMPARE(in.at(0)["file"].toString(), QString("/home/me/notes.txt"));
        QCOMPARE(in.at(0)["url"].toString(), QString("file:///etc/passwd"));
    }

    void anEntryPastTheLastYearCalendarsCarryIsLeftOutOfTheExport() {
        ok({"add", "--subject", "Far", "--date", "3001-01-01"});
        ok({"add", "--subject", "Near", "--date", "3000-12-31"});
        const cli::Reply r = kv({"export", "--ics", "-"});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.err.find("left out entry 0 of the private log: its date 3001-01-01 is after "
                            "the year 3000") != std::string::npos,
                 r.err.c_str());
        QVERIFY(r.out.find("DTSTART;VALUE=DATE:30001231") != std::string::npos);
        QVERIFY(r.out.find("00000000") == std::string::npos);
    }

    void brokenCalendarsAreRefusedAndNothingHalfWritten();
    void hostileCalendarsAreAnsweredAtOnceAndChangeNothing();
    void anExportComesBackAsTheSameEvents();
};

// Calendars made to crash or stall the reader: each is read or refused with a
// line saying why, in a moment of this process's CPU time, whatever the load.
void IcsTest::hostileCalendarsAreAnsweredAtOnceAndChangeNothing() {
    const std::clock_t started = std::clock();
    // Components nobody knows, at the top and inside the event, are passed over.
    const cli::Reply unknown =
        kv({"import", "--ics", fixture("unknown-component.ics"), "--log", "private"});
    QCOMPARE(unknown.status, 0);
    QCOMPARE(unknown.err, std::string());
    QCOMPARE(json({"list"}).at(0)["subject"].toString(), QString("Kept"));
    const std::string before = allLogs();
    // Zones whose changes would be worked out by the million.
    for (const char* name : {"zone-secondly.ics", "zone-daily-year-one.ics"})
        for (const QString& dry : {QString("--dry-run"), QString("--trust-actions")}) {
            const cli::Reply r = kv({"import", "--ics", fixture(name), "--log", "private", dry});
            QCOMPARE(r.status, 3);
            QVERIFY2(r.err.find("refused z1: its time zone \"Busy\" changes more often than once "
                                "a year") != std::string::npos,
                     r.err.c_str());
            QCOMPARE(allLogs(), before);
        }
    // One line of ten megabytes, which libical reads in time that grows with its square.
    QByteArray huge =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:long\r\n"
        "DTSTART;VALUE=DATE:20270101\r\nDESCRIPTION:";
    huge += QByteArray(10 * 1024 * 1024, 'x') + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    QFile out(file("huge.ics"));
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(huge) == huge.size());
    out.close();
    const cli::Reply r = kv({"import", "--ics", file("huge.ics"), "--log", "private"});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.find("its line 6 is longer than 256 KB") != std::string::npos, r.err.c_str());
    QCOMPARE(allLogs(), before);
    QVERIFY2(double(std::clock() - started) / CLOCKS_PER_SEC < 30, "the reader stalled");
    // A zone of the kind real calendars carry, from 1601 as one mail program writes it.
    const cli::Reply real =
        kv({"import", "--ics", fixture("zone-yearly-1601.ics"), "--log", "private"});
    QCOMPARE(real.status, 0);
    // 12:00 at +0000 is 13:00 in Warsaw, the same day.
    QCOMPARE(json({"list"}).at(1)["date"].toString(), QString("2027-03-10"));
}

// Files received from anywhere: empty, binary, cut off, with control bytes, huge.
void IcsTest::brokenCalendarsAreRefusedAndNothingHalfWritten() {
    QByteArray noise;
    for (int k = 0; k < 4096; ++k) noise += char((k * 7919 + 13) % 256);
    const QByteArray event = "BEGIN:VEVENT\r\nUID:u\r\nDTSTART;VALUE=DATE:20270101\r\n";
    QByteArray many = "BEGIN:VCALENDAR\r\n";
    for (int k = 0; k < 5000; ++k)
        many += "BEGIN:VEVENT\r\nUID:" + QByteArray::number(k) +
                "\r\nDTSTART;VALUE=DATE:20270101\r\nSUMMARY:" + QByteArray::number(k) +
                "\r\nEND:VEVENT\r\n";
    many += "END:VCALENDAR\r\n";
    const std::vector<std::pair<QByteArray, int>> files = {
        {"", 1},
        {noise, 1},
        {"BEGIN:VCALENDAR\r\n" + event + "SUMMARY:cut off", 1},
        {"BEGIN:VCALENDAR\r\n" + event + "SUMMARY:a\x01b\x7f\x1f" + QByteArray(3, '\0') +
             "c\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n",
         0},
        {many, 1},
    };
    for (const auto& [bytes, status] : files) {
        m_box = std::make_unique<Sandbox>();
        QFile f(file("in.ics"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        const cli::Reply r = kv({"import", "--ics", file("in.ics"), "--log", "private"});
        QCOMPARE(r.status, status);
        if (status == 1 && bytes != many)
            QVERIFY2(r.err.find("no complete calendar") != std::string::npos, r.err.c_str());
        const QJsonArray in = json({"list"});
        QCOMPARE(in.size(), status == 0 ? 1 : bytes == many ? 51 : 0);
        for (const QJsonValue v : in)
            for (const QChar c : v["subject"].toString())
                QVERIFY(!c.isNull() && c.category() != QChar::Other_Control);
    }
}

void IcsTest::anExportComesBackAsTheSameEvents() {
    const QString me = QString::fromStdString(storage::userName());
    ok({"add", "--subject", "Two\nlines, and; more", "--text", "Tab\there \x01 and\r\nbreak",
        "--date", "2027-02-01", "--type", "Default"});
    ok({"add", "--subject", "Leap", "--date", "2028-02-29", "--every", "year"});
    ok({"add", "--subject", "Born", "--date", "1961-03-12", "--every", "year", "--sound", "bell"});
    ok({"add", "--subject", "31st", "--date", "2026-12-31", "--every", "month"});
    ok({"add", "--subject", "Długi tekst " + QString(200, QChar(0x017C)), "--date", "2027-06-01",
        "--every", "month", "--everyone", "--url", "https://x.example/a,b;c"});
    ok({"add", "--subject", "For me", "--date", "2027-01-05", "--for", me});
    ok({"add", "--subject", "Not mine", "--date", "2027-01-05", "--for", "somebody"});
    QStringList first;
    for (const char* log : {"private", "static", "public"}) {
        const cli::Reply r = kv({"export", "--ics", "-", "--log", log});
        QCOMPARE(r.status, 0);
        first << QString::fromStdString(r.out);
    }
    // A day some months lack: the day, or the month's last (the due rule).
    QVERIFY2(first[1].contains("RRULE:FREQ=MONTHLY;BYMONTHDAY=28,29,30,31;BYSETPOS=-1\r\n"),
             qPrintable(first[1]));
    QVERIFY(first[1].contains("RRULE:FREQ=YEARLY;BYMONTHDAY=28,29;BYMONTH=2;BYSETPOS=-1\r\n"));
    QVERIFY(!first[2].contains("Not mine"));
    QVERIFY(first[2].contains("For me"));
    const QByteArray bytes = first.join("").toUtf8();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\r') QCOMPARE(bytes[i + 1], '\n');
        if (c == '\n') QCOMPARE(bytes[i - 1], '\r');
        QVERIFY2(c >= 0x20 || c == '\r' || c == '\n', qPrintable(QString::number(i)));
        QVERIFY(c != 0x7f);
    }
    for (const QByteArray& line : bytes.split('\n')) QVERIFY(line.size() <= 76);  // 75 and CR

    m_box = std::make_unique<Sandbox>();
    const QStringList logs{"private", "static", "public"};
    for (int k = 0; k < 3; ++k) {
        QFile f(file("out.ics"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(first[k].toUtf8());
        f.close();
        // A public event names its own receiver.
        ok({"import", "--ics", file("out.ics"), "--log", logs[k]});
    }
    for (int k = 0; k < 3; ++k) {
        const cli::Reply again = kv({"export", "--ics", "-", "--log", logs[k]});
        QCOMPARE(withoutStamps(QString::fromStdString(again.out)), withoutStamps(first[k]));
    }
}

}  // namespace kv::testing

QTEST_GUILESS_MAIN(kv::testing::IcsTest)
#include "ics_test.moc"
