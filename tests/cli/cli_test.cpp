// The command line's list, add and remove against the log files, every
// refusal with its exit status, and the due list agreeing with the due check.

#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "clifixture.h"
#include "command.h"
#include "duecheck.h"
#include "fileio_testing.h"
#include "settings.h"

namespace kv::testing {

using storage::LogKind;

namespace {

std::string t_watched;
int t_wholeReads = 0;

// read(), counting the reads that reach the end of the watched file.
ssize_t countingRead(int fd, void* buffer, std::size_t count) {
    const ssize_t n = ::read(fd, buffer, count);
    char path[4096] = {};
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    if (n == 0 && readlink(link.c_str(), path, sizeof path - 1) > 0 && t_watched == path)
        ++t_wholeReads;
    return n;
}

// Another process holding the file's lock until it is killed; its pid.
pid_t holdLock(const std::string& path) {
    int ready[2];
    if (pipe(ready) != 0) return -1;
    const pid_t holder = fork();
    if (holder == 0) {
        const int fd = open(path.c_str(), O_RDWR);
        flock(fd, LOCK_EX);
        (void)!write(ready[1], "x", 1);
        pause();
        _exit(0);
    }
    char c;
    (void)!read(ready[0], &c, 1);
    close(ready[0]);
    close(ready[1]);
    return holder;
}

}  // namespace

class CliTest : public CliFixture {
    Q_OBJECT

private slots:
    void init() { m_box = std::make_unique<Sandbox>(); }

    void addWritesWhatTheNewEntryWindowWritesAndRemoveTakesItOut() {
        // A twin installation written by the engine as the new-entry window writes.
        std::string expected;
        {
            Sandbox twin;
            storage::EntryData dentist = entry("Dentist", "2026-12-24");
            dentist.informacja = "Tooth\nat 9";
            dentist.strona = "https://d.example";
            storage::EntryData rent = entry("Rent", "2026-01-31", "miesiac", "wszyscy");
            rent.informacja = "";
            storage::EntryData ewa = entry("Ewa", "1990-03-12", "rok", "EWA");
            ewa.informacja = "";
            ewa.dzwiek = "bell";
            storage::Profile priv = twin.log(LogKind::Private), pub = twin.log(LogKind::Public);
            storage::addEntry(priv, LogKind::Private, dentist);
            storage::addEntry(pub, LogKind::Public, rent);
            storage::addEntry(pub, LogKind::Public, ewa);
            expected = logsOf(twin);
        }
        m_box = std::make_unique<Sandbox>();
        QCOMPARE(ok({"add", "--subject", "Dentist", "--text", "Tooth\nat 9", "--date", "2026-12-24",
                     "--url", "https://d.example"}),
                 std::string("Added to the private log as entry 0.\n"));
        ok({"add", "--subject", "Rent", "--date", "2026-01-31", "--every", "month", "--everyone"});
        ok({"add", "--subject", "Ewa", "--date", "1990-03-12", "--every=year", "--for", "ewa",
            "--sound", "bell"});
        QCOMPARE(allLogs(), expected);

        const QJsonArray all = json({"list"});
        QCOMPARE(all.size(), 3);
        QCOMPARE(all[0]["log"].toString(), QString("private"));
        QCOMPARE(all[0]["text"].toString(), QString("Tooth\nat 9"));  // a real line break
        QCOMPARE(all[0]["url"].toString(), QString("https://d.example"));
        QVERIFY(all[0]["email"].isNull());
        QVERIFY(all[0]["receiver"].isNull());
        QCOMPARE(all[1]["every"].toString(), QString("month"));
        QCOMPARE(all[1]["receiver"].toString(), QString("wszyscy"));
        QCOMPARE(all[2]["receiver"].toString(), QString("EWA"));
        QCOMPARE(all[2]["sound"].toString(), QString("bell"));

        const std::string before = allLogs();
        const cli::Reply wrong = kv({"remove", "public", "0", "--subject", "Ewa"});
        QCOMPARE(wrong.status, 1);
        QVERIFY(wrong.err.find("is \"Rent\", not \"Ewa\"") != std::string::npos);
        QCOMPARE(allLogs(), before);
        ok({"remove", "public", "0", "--subject", "Rent"});
        const QJsonArray left = json({"list", "--log", "public"});
        QCOMPARE(left.size(), 1);
        QCOMPARE(left[0]["subject"].toString(), QString("Ewa"));
        QCOMPARE(left[0]["number"].toInt(), 0);  // moved down as the delete window moves it
    }

    void everyRefusalSaysWhyWithItsStatusAndChangesNothing_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        const QStringList add{"add", "--subject", "S"};
        QTest::newRow("no such day")
            << add + QStringList{"--date", "2027-02-29"} << 2 << "is not a day of the calendar";
        QTest::newRow("date typed otherwise")
            << add + QStringList{"--date", "2027-3-1"} << 2 << "is not a day of the calendar";
        QTest::newRow("past once-only")
            << add + QStringList{"--date", "2026-12-08"} << 2 << "--past stores it anyway";
        QTest::newRow("blank receiver") << add + QStringList{"--date", "2027-01-01", "--for", " "}
                                        << 2 << "profile name of the receiver is empty";
        QTest::newRow("two receivers")
            << add + QStringList{"--date", "2027-01-01", "--for", "a", "--everyone"} << 2
            << "not both";
        QTest::newRow("unknown type") << add + QStringList{"--date", "2027-01-01", "--type", "X"}
                                      << 2 << "no information type \"X\"";
        QTest::newRow("how often") << add + QStringList{"--date", "2027-01-01", "--every", "week"}
                                   << 2 << "--every takes year or month";
        QTest::newRow("no date") << add << 2 << "--subject and --date are needed";
        QTest::newRow("unknown option") << QStringList{"list", "--al"} << 2 << "unknown option";
        QTest::newRow("value missing") << QStringList{"list", "--log"} << 2 << "needs a value";
        QTest::newRow("unknown log") << QStringList{"list", "--log", "mine"} << 2 << "no log";
        QTest::newRow("bad day") << QStringList{"list", "--due", "tomorrow"} << 2
                                 << "not a day of the calendar";
        QTest::newRow("two spans")
            << QStringList{"list", "--due", "--days", "3"} << 2 << "give one of";
        QTest::newRow("half a span")
            << QStringList{"list", "--from", "2027-01-01"} << 2 << "go together";
        QTest::newRow("backwards span")
            << QStringList{"list", "--from", "2027-01-02", "--to", "2027-01-01"} << 2
            << "on or after";
        QTest::newRow("stray word")
            << QStringList{"list", "private"} << 2 << "unexpected argument \"private\"";
        QTest::newRow("no number") << QStringList{"remove", "static"} << 2 << "too few arguments";
        QTest::newRow("no entry") << QStringList{"remove", "static", "7"} << 1 << "there is no";
        QTest::newRow("not a number")
            << QStringList{"remove", "static", "x"} << 2 << "not an entry number";
        QTest::newRow("slot 51") << QStringList{"remove", "static", "51"} << 2
                                 << "not an entry number";
        QTest::newRow("receiver of a private import")
            << QStringList{"import", "--ics", "x.ics", "--log", "private", "--everyone"} << 2
            << "go with --log public";
        QTest::newRow("missing calendar")
            << QStringList{"import", "--ics", "/nonexistent/x.ics", "--log", "private"} << 1
            << "cannot read /nonexistent/x.ics";
        QTest::newRow("export nowhere") << QStringList{"export", "--ics", "/nonexistent/x.ics"} << 1
                                        << "Unable to write to /nonexistent/x.ics";
    }
    void everyRefusalSaysWhyWithItsStatusAndChangesNothing() {
        QFETCH(QStringList, words);
        QFETCH(int, status);
        QFETCH(QString, says);
        ok({"add", "--subject", "Kept", "--date", "2027-05-05", "--every", "year"});
        const std::string before = allLogs();
        const cli::Reply r = kv(words);
        QCOMPARE(r.status, status);
        QVERIFY2(QString::fromStdString(r.err).contains(says), r.err.c_str());
        QVERIFY(r.err.rfind("kalvex4", 0) == 0);
        QCOMPARE(allLogs(), before);
    }

    void aFullLogRefusesTheFiftySecondEntryNamingTheFile() {
        for (int k = 0; k < storage::kSlots; ++k)
            ok({"add", "--subject", QString::number(k), "--date", "2027-01-01", "--every", "year"});
        const std::string before = allLogs();
        const cli::Reply r =
            kv({"add", "--subject", "one more", "--date", "2027-01-01", "--every", "year"});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.find(m_box->files().log_staly + ") is full") != std::string::npos);
        QCOMPARE(allLogs(), before);
    }

    void aLogAnotherProcessKeepsLockedIsRefusedAfterTheWait() {
        ok({"add", "--subject", "Kept", "--date", "2027-05-05"});
        const std::string before = allLogs();
        const pid_t holder = holdLock(m_box->files().log);
        storage::setLockTimeoutMs(300);
        const cli::Reply add = kv({"add", "--subject", "New", "--date", "2027-05-06"});
        const cli::Reply remove = kv({"remove", "private", "0"});
        storage::setLockTimeoutMs(5000);
        kill(holder, SIGKILL);
        waitpid(holder, nullptr, 0);
        for (const cli::Reply& r : {add, remove}) {
            QCOMPARE(r.status, 1);
            QVERIFY2(r.err.find("Unable to write to " + m_box->files().log) != std::string::npos,
                     r.err.c_str());
            QVERIFY(r.err.find("locked") != std::string::npos);
        }
        QCOMPARE(allLogs(), before);
    }

    void aReadingCommandWaitsForAnotherWriterOnceAtMost() {
        ok({"add", "--subject", "Shared", "--date", "2027-05-05", "--everyone"});
        const pid_t holder = holdLock(m_box->files().log_glowny);
        // Each complete read of the public log waits for the lock; there is one per command.
        char* real = realpath(m_box->files().log_glowny.c_str(), nullptr);
        t_watched = real;
        free(real);
        storage::setReadFunctionForTesting(countingRead);
        const QString calendar = QString::fromStdString(m_box->root() + "/in.ics");
        QFile(calendar).open(QIODevice::WriteOnly);
        for (const QStringList& words :
             {QStringList{"list"}, QStringList{"list", "--due", "2027-05-05", "--json"},
              QStringList{"export", "--ics", "-"}, QStringList{"remove", "public", "7"},
              QStringList{"import", "--ics", calendar, "--log", "public", "--dry-run"}}) {
            t_wholeReads = 0;
            const cli::Reply r = kv(words);
            QVERIFY2(t_wholeReads == 1,
                     qPrintable(words.join(' ') + ": " + QString::number(t_wholeReads) + " reads"));
            QVERIFY2(
                r.status != 0 || r.out.find("Shared") != std::string::npos || words[0] == "import",
                r.err.c_str());
        }
        storage::setReadFunctionForTesting(nullptr);
        kill(holder, SIGKILL);
        waitpid(holder, nullptr, 0);
    }

    void anUnreadableLogIsSaidAndNeverOverwritten() {
        // Larger than any log the program reads: refused as unreadable, also for root.
        const std::string path = m_box->files().log_staly;
        QFile big(QString::fromStdString(path));
        QVERIFY(big.open(QIODevice::WriteOnly));
        big.write(QByteArray(int(storage::kMaxLogBytes) + 10, 'a'));
        big.close();
        const std::string before = allLogs();
        const cli::Reply list = kv({"list", "--log", "static"});
        QCOMPARE(list.status, 1);
        QVERIFY2(list.err.find(path) != std::string::npos, list.err.c_str());
        const cli::Reply add =
            kv({"add", "--subject", "S", "--date", "2027-01-01", "--every", "year"});
        QCOMPARE(add.status, 1);
        QVERIFY2(add.err.find("Unable to write to " + path) != std::string::npos, add.err.c_str());
        QCOMPARE(allLogs(), before);
        // The other logs still answer.
        QCOMPARE(kv({"list", "--log", "private", "--log", "public"}).status, 0);
    }

    void withoutAnInstallationNothingIsWritten() {
        m_box = std::make_unique<Sandbox>(false);
        const cli::Reply r = kv({"add", "--subject", "S", "--date", "2027-01-01"});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.find("not installed") != std::string::npos);
        QCOMPARE(allLogs(), std::string("(missing)|(missing)|(missing)|"));
    }

    void theDueListShowsWhatTheStartUpCheckShowsOnEveryDay();
};

// Dates that go wrong first: 29 February, the 31st, a year's end, a receiver
// in another case, entries the check never shows.
void CliTest::theDueListShowsWhatTheStartUpCheckShowsOnEveryDay() {
    const std::string me = QString::fromStdString(storage::userName()).toUpper().toStdString();
    const std::vector<std::pair<LogKind, storage::EntryData>> entries = {
        {LogKind::Private, entry("p1", "2027-02-28")},
        {LogKind::Private, entry("p2", "2028-02-29")},
        {LogKind::Private, entry("p3", "2027-12-31")},
        {LogKind::Private, entry("p4", "2027-1-5")},
        {LogKind::Static, entry("s1", "2025-02-29", "rok")},
        {LogKind::Static, entry("s2", "1990-12-31", "rok")},
        {LogKind::Static, entry("s3", "2026-01-31", "miesiac")},
        {LogKind::Static, entry("s4", "2026-04-30", "miesiac")},
        {LogKind::Static, entry("s5", "2027-06-15", "raz")},
        {LogKind::Public, entry("u1", "2027-03-01", "raz", "wszyscy")},
        {LogKind::Public, entry("u2", "2020-07-04", "rok", me)},
        {LogKind::Public, entry("u3", "2026-01-15", "miesiac", "SOMEBODY ELSE")},
        {LogKind::Public, entry("u4", "2028-01-01", "raz", storage::userName())},
        {LogKind::Public, entry("u5", "2020-08-08", "rok", "")},
        {LogKind::Public, entry("u6", "2027-11-30", "miesiac", "wszyscy")},
    };
    for (const auto& [kind, e] : entries) {
        storage::Profile log = m_box->log(kind);
        QVERIFY(storage::addEntry(log, kind, e));
    }
    storage::Profile userFile(m_box->files().userConfig, storage::kPrivateFile);
    storage::UserSettings(userFile).setReminders({false, 10, 0, false, false});
    storage::FileSet files(*storage::locate(), m_box->exchangeFile());
    QDate day;
    std::multiset<std::pair<QString, int>> shown;
    app::DueCheck check(
        files, storage::userName(),
        {[&] { return QDateTime(day, QTime(9, 0)); }, [](bool, int, const std::string&) {},
         [&](int n, LogKind kind, const storage::StoredEntry&, const std::string&) {
             shown.insert({cli::logName(kind), n});
             return desktop::NotificationAnswer{};
         }});
    int dueDays = 0;
    for (day = QDate(2027, 1, 1); day <= QDate(2028, 12, 31); day = day.addDays(1)) {
        shown.clear();
        check.dayRound(false);
        std::multiset<std::pair<QString, int>> listed;
        for (const QJsonValue v : json({"list", "--due", day.toString("yyyy-MM-dd")}))
            listed.insert({v["log"].toString(), v["number"].toInt()});
        QVERIFY2(listed == shown, qPrintable(day.toString(Qt::ISODate)));
        dueDays += !listed.empty();
    }
    QVERIFY(dueDays > 24);  // the monthly entries alone fall due 24 times a year
}

}  // namespace kv::testing

QTEST_GUILESS_MAIN(kv::testing::CliTest)
#include "cli_test.moc"
