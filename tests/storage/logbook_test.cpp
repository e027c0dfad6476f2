#include "logbook.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "entryview.h"
#include "exchange.h"
#include "infotypes.h"
#include "locations.h"
#include "notices.h"
#include "sandbox.h"

#ifdef _WIN32
#include <windows.h>
#endif

using namespace kv::storage;
using kv::testing::TempDir;

namespace {

struct LogTest : ::testing::Test {
    TempDir dir;
    Profile log{dir.file("u.log")};
    EntryData make(int i) {
        EntryData e;
        e.tytul = "T" + std::to_string(i);
        e.informacja = "I" + std::to_string(i);
        e.data = "2026-05-" + std::to_string(10 + i % 20);
        return e;
    }
    void fill(int count, LogKind kind = LogKind::Private) {
        for (int i = 0; i < count; ++i) ASSERT_EQ(addEntry(log, kind, make(i)), i);
    }
    std::string title(int n) { return log.readString(std::to_string(n), "Tytul", "-"); }
};

TEST_F(LogTest, FirstEntryOfAMissingLogGoesToSlotZeroInWindowOrder) {
    EntryData e = make(0);
    e.program = "C:\\Windows\\notepad.exe";
    e.wyswietlanie = "rok";
    e.odbiorca = "wszyscy";
    EXPECT_EQ(addEntry(log, LogKind::Public, e), 0);
    EXPECT_EQ(dir.read("u.log"),
              "[0]\r\nTytul=T0\r\nOdbiorca=wszyscy\r\nWyswietlanie=rok\r\nNumer=0\r\n"
              "Informacja=I0\r\nData=2026-05-10\r\nTyp=Default\r\nDzwiek=-choose-\r\n"
              "program=C:\\Windows\\notepad.exe\r\n");
    EXPECT_EQ(log.readString("0", "program", ""), "C:\\Windows\\notepad.exe");
}

TEST_F(LogTest, AFullLogStoresNothing) {
    fill(kSlots);
    const std::string before = dir.read("u.log");
    EXPECT_FALSE(addEntry(log, LogKind::Private, make(99)).has_value());
    EXPECT_EQ(dir.read("u.log"), before);
}

TEST_F(LogTest, RemovalAtZeroMovesTheRestDown) {
    fill(4);
    EXPECT_TRUE(removeEntry(log, LogKind::Private, 0, RemovalOrder::DeleteWindow));
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(title(n), "T" + std::to_string(n + 1));
        EXPECT_EQ(log.readString(std::to_string(n), "Numer", ""), std::to_string(n));
    }
    EXPECT_FALSE(log.snapshot().hasSection("3"));
}

TEST_F(LogTest, RemovingTheLastOnlyErasesItsSection) {
    fill(3);
    const std::string s0 = readStoredEntry(log, 0).tytul;
    removeEntry(log, LogKind::Private, 2, RemovalOrder::DeleteWindow);
    EXPECT_EQ(title(0), s0);
    EXPECT_EQ(title(1), "T1");
    EXPECT_FALSE(log.snapshot().hasSection("2"));
}

TEST_F(LogTest, FullLogRemovalsAtTenAndFifty) {
    fill(kSlots);
    removeEntry(log, LogKind::Private, 10, RemovalOrder::DeleteWindow);
    EXPECT_EQ(title(9), "T9");
    EXPECT_EQ(title(10), "T11");
    EXPECT_EQ(title(49), "T50");
    EXPECT_FALSE(log.snapshot().hasSection("50"));
    EXPECT_EQ(addEntry(log, LogKind::Private, make(77)), 50);
    removeEntry(log, LogKind::Private, 50, RemovalOrder::DeleteWindow);
    EXPECT_EQ(title(49), "T50");
    EXPECT_FALSE(log.snapshot().hasSection("50"));
}

TEST_F(LogTest, AMovedEntryGainsEmptyActionsAndLowerCaseData) {
    fill(2);
    removeEntry(log, LogKind::Private, 0, RemovalOrder::DeleteWindow);
    const IniDocument doc = log.snapshot();
    EXPECT_EQ(doc.find("0", "email"), std::optional<std::string>(""));
    EXPECT_EQ(log.readString("0", "Data", "x"), make(1).data);
    EXPECT_NE(dir.read("u.log").find("data=" + make(1).data), std::string::npos);
}

TEST_F(LogTest, DoneOrdersCopyTheirOwnKeys) {
    dir.write("u.log", "[0]\r\nNumer=0\r\n[1]\r\nNumer=1\r\nTytul=T1\r\n");
    removeEntry(log, LogKind::Public, 0, RemovalOrder::DonePublic);
    // Tytul first, then Numer; a missing receiver becomes the error marker.
    EXPECT_EQ(dir.read("u.log").substr(0, 24), "[0]\r\nTytul=T1\r\nNumer=0\r\n");
    EXPECT_EQ(log.readString("0", "odbiorca", ""),
              "b\xC5\x82\xC4\x85"
              "d");
}

TEST_F(LogTest, RemovalRefusedWhenTheSlotHoldsAnotherEntry) {
    fill(3);
    const StoredEntry shown = readStoredEntry(log, 1);
    removeEntry(log, LogKind::Private, 0, RemovalOrder::DonePrivate);
    const std::string before = dir.read("u.log");
    EXPECT_FALSE(removeEntry(log, LogKind::Private, 1, RemovalOrder::DonePrivate, shown));
    EXPECT_EQ(dir.read("u.log"), before);
    EXPECT_TRUE(removeEntry(log, LogKind::Private, 0, RemovalOrder::DonePrivate, shown));
    EXPECT_EQ(title(0), "T2");
}

TEST_F(LogTest, ARefusedRemovalLeavesTheLogWhole) {
#ifdef _WIN32
    GTEST_SKIP() << "a folder's read-only attribute does not stop writes on Windows";
#else
    fill(3);
    const std::string before = dir.read("u.log");
    std::filesystem::permissions(
        std::filesystem::path(log.path()).parent_path(),
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    bool threw = false;
    try {
        removeEntry(log, LogKind::Private, 0, RemovalOrder::DeleteWindow);
    } catch (const WriteError&) {
        threw = true;
    }
    std::filesystem::permissions(std::filesystem::path(log.path()).parent_path(),
                                 std::filesystem::perms::owner_all);
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    EXPECT_TRUE(threw);
    EXPECT_EQ(dir.read("u.log"), before);
#endif
}

TEST_F(LogTest, LineBreaksAreStoredOnOneLineAndReadBack) {
    EntryData e = make(0);
    e.informacja = "first\r\nsecond\nthird\rfourth C:\\new\\x";
    addEntry(log, LogKind::Private, e);
    const std::string stored = log.readString("0", "Informacja", "");
    EXPECT_EQ(stored.find('\n'), std::string::npos);
    EXPECT_EQ(decodeText(stored), "first\nsecond\nthird\nfourth C:\\new\\x");
}

TEST(LogChoice, ReceiverAndModePickTheLog) {
    EXPECT_EQ(chooseLog(Receiver::Me, DisplayMode::Once), LogKind::Private);
    EXPECT_EQ(chooseLog(Receiver::Me, DisplayMode::Yearly), LogKind::Static);
    EXPECT_EQ(chooseLog(Receiver::Me, DisplayMode::Monthly), LogKind::Static);
    EXPECT_EQ(chooseLog(Receiver::Named, DisplayMode::Once), LogKind::Public);
    EXPECT_EQ(chooseLog(Receiver::Everyone, DisplayMode::Yearly), LogKind::Public);
}

TEST(Locations, FileNamesAreConcatenatedAsStored) {
    StoreValues v{"/d/", "/p/", "/s/", "/g/"};
    FileNames f = buildFileNames(v, "elevenchars");
    EXPECT_EQ(f.log, "/p/elevenchars.log");
    EXPECT_EQ(f.log_staly, "/s/elevenchars_staly.log");
    EXPECT_EQ(f.log_glowny, "/g/log4.ini");
    EXPECT_EQ(f.config, "/d/config.ini");
    EXPECT_EQ(f.userConfig, "/d/elevenchars_config.ini");
    v.sciezka_log = "/p";
    EXPECT_EQ(buildFileNames(v, "ann").log, "/pann.log");
    EXPECT_EQ(colourFileName("/d/", "ann"), "/d/ann.col");
}

// The machine-wide store: a file named by KALVEX4_STORE here, the registry key
// on Windows, whose former values are put back afterwards.
TEST(Locations, TheStoreKeepsItsFourFoldersAndTheUserHasAName) {
    TempDir dir;
#ifdef _WIN32
    std::optional<StoreValues> before = readStore();
#else
    const std::string store = dir.file("Kalvex4.conf");
    kv::testing::setEnvironment("KALVEX4_STORE", store);
    EXPECT_FALSE(readStore());
#endif
    const StoreValues v{"C:\\Kalvex\\", "/p d/", "\xB3og/", ""};
    writeStore(v);
    std::optional<StoreValues> back = readStore();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->sciezka, v.sciezka);
    EXPECT_EQ(back->sciezka_log, v.sciezka_log);
    EXPECT_EQ(back->sciezka_log_staly, v.sciezka_log_staly);
    EXPECT_EQ(back->sciezka_log_glowny, v.sciezka_log_glowny);
    std::optional<Location> here = locate();
    ASSERT_TRUE(here);
    EXPECT_FALSE(here->user.empty());
    EXPECT_EQ(here->user, userName());
    EXPECT_EQ(here->files.log, "/p d/" + userName() + ".log");
#ifdef _WIN32
    if (before)
        writeStore(*before);
    else
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Wendrik\\Kalvex4");
#else
    kv::testing::setEnvironment("KALVEX4_STORE", "");
#endif
}

TEST(ExchangeFile, ActiveEntryAndItsDefaults) {
    TempDir dir;
    Exchange ex(dir.file("Kalvex4.tmp"));
    EXPECT_EQ(ex.activeEntry().number, -1);
    EXPECT_EQ(ex.activeEntry().log, "none");
    EXPECT_EQ(ex.version("(nieznana)"), "(nieznana)");
    dir.write("Kalvex4.tmp", "[Log]\r\nAktywny_wpis=7\r\naktywny_dziennik=log_glowny\r\n");
    EXPECT_EQ(ex.activeEntry().number, 7);
    ex.recordActiveEntry(3, "log_staly");
    EXPECT_EQ(dir.read("Kalvex4.tmp"), "[Log]\r\nAktywny_wpis=3\r\naktywny_dziennik=log_staly\r\n");
    ex.recordTimerMessage("");
    EXPECT_EQ(ex.timerMessage(), "");
}

#ifndef _WIN32
TEST(ExchangeFile, ALinkAtTheSharedPathIsNeverFollowedAndAPersonalFileTakesOver) {
    TempDir dir, runtime;
    const std::string runtimeFolder = runtime.path();
    std::filesystem::permissions(runtimeFolder, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    kv::testing::setEnvironment("XDG_RUNTIME_DIR", runtimeFolder);
    std::vector<std::string> notices;
    NoticeHandler old = setNoticeHandler([&](const std::string& t) { notices.push_back(t); });
    dir.write("target", "[log]\r\naktywny_wpis=5\r\n");
    std::filesystem::create_symlink(dir.file("target"), dir.file("Kalvex4.tmp"));
    Exchange ex(dir.file("Kalvex4.tmp"));
    EXPECT_EQ(ex.activeEntry().number, -1);
    ex.recordActiveEntry(1, "log");
    EXPECT_EQ(Exchange(dir.file("Kalvex4.tmp")).activeEntry().number, 1);
    EXPECT_EQ(dir.read("target"), "[log]\r\naktywny_wpis=5\r\n");
    EXPECT_EQ(ex.path(), runtime.file("Kalvex4.tmp"));
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("symbolic link"), std::string::npos);
    setNoticeHandler(old);
}
#endif

TEST(InfoTypes, ListSkipsGapsAndStopsAtFifty) {
    TempDir dir;
    dir.write("style_list.ini",
              "[0]\nNazwa=A\n[2]\nNazwa=\n[7]\nNazwa=C\n[5]\nNazwa=none?\n[51]\nNazwa=X\n");
    EXPECT_EQ(readTypeList(Profile(dir.file("style_list.ini"))),
              (std::vector<std::string>{"Default", "A", "", "C"}));
    EXPECT_EQ(readTypeList(Profile(dir.file("missing.ini"))), std::vector<std::string>{"Default"});
}

TEST(InfoTypes, StyleDefaultsAndHexColours) {
    TempDir dir;
    dir.write("style.ini", "[default]\nramka=x.bmp\ncolor=$52443A\nsize=0x0C\nface=Arial\n");
    Profile styles(dir.file("style.ini"));
    TypeStyle s = readTypeStyle(styles, "default");
    EXPECT_EQ(s.ramka, "x.bmp");
    EXPECT_EQ(s.color, 5391418);
    EXPECT_EQ(s.size, 12);
    EXPECT_EQ(s.face, "Arial");
    TypeStyle d = readTypeStyle(styles, "Nope");
    EXPECT_EQ(d.ramka, "default.bmp");
    EXPECT_EQ(d.color, 144470);
    EXPECT_EQ(d.size, 8);
    EXPECT_EQ(d.face, "verdana");
    EXPECT_EQ(d.info_color, 15987699);
    EXPECT_EQ(d.groupbox_font_color, 3947580);
    EXPECT_EQ(d.btn_color, 14933984);
}

TEST(Colours, FileValuesOrEachWindowsDefault) {
    TempDir dir;
    dir.write("u.col", "[kolory]\ntlo=0x52443A\nczcionka=word\nlisty1=123\n");
    ColourRules rules{{"", ColourRole::Background, "tlo", 1},
                      {"", ColourRole::Font, "czcionka", 15},
                      {"info", ColourRole::Background, "listy1", 2},
                      {"info", ColourRole::Font, "listy1_font", 15}};
    EXPECT_EQ(readColours(Profile(dir.file("u.col")), rules),
              (std::vector<ColourValue>{5391418, 15, 123, 15}));
    EXPECT_EQ(paintDefault("czcionka"), 15);
    EXPECT_EQ(paintDefault("tlo"), 15790062);
}

}  // namespace

namespace {

// The windows' view of a slot: a key that is not there shows the window's own
// text, a key that is there but empty shows nothing, and texts come back whole.
TEST_F(LogTest, AnEntryViewTellsAMissingKeyFromAnEmptyOne) {
    dir.write("u.log",
              "[0]\r\nNumer=0\r\nTytul=Line one\x1Fline two\r\nData=\r\nwyswietlanie=rok\r\n"
              "Informacja=\"  padded  \"\r\n[1]\r\nTytul=no number\r\n");
    const EntryView first(log, 0);
    EXPECT_TRUE(first.occupied());
    EXPECT_EQ(first.subject("x"), "Line one\nline two");
    EXPECT_EQ(first.storedSubject(), "Line one\x1Fline two");
    EXPECT_EQ(first.date("Error"), "");
    EXPECT_EQ(first.receiver("ERROR"), "ERROR");
    EXPECT_EQ(first.mode("non"), "rok");
    EXPECT_EQ(first.text(), "  padded  ");
    EXPECT_FALSE(EntryView(log, 1).occupied());
    EXPECT_EQ(EntryView(log, 1).subject(), "no number");
    EXPECT_EQ(EntryView(log, 2).date("Nieznana data."), "Nieznana data.");
    const std::string longText(3000, 'w');
    dir.write("u.log", "[0]\r\nNumer=0\r\nInformacja=" + longText + "\r\n");
    log.refresh();
    EXPECT_EQ(EntryView(log, 0).text(), longText);
}

}  // namespace
