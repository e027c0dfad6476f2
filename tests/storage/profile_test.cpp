#include "profile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "sandbox.h"

using kv::storage::Profile;
using kv::storage::WriteError;
using kv::testing::TempDir;

namespace {

struct ProfileTest : ::testing::Test {
    TempDir dir;
    std::string path = dir.file("t.ini");
    Profile ini{path};
    void file(const std::string& bytes) { dir.write("t.ini", bytes); }
    std::string bytes() { return dir.read("t.ini"); }
};

TEST_F(ProfileTest, NamesMatchWithoutAsciiCaseValuesExactly) {
    file("[Log]\r\nAktywny_Wpis=Abc\r\n");
    EXPECT_EQ(ini.readString("log", "aktywny_wpis", "d"), "Abc");
    EXPECT_EQ(ini.readString("LOG", "AKTYWNY_WPIS", "d"), "Abc");
    file("[\xC4]\r\nk=v\r\n");
    EXPECT_EQ(ini.readString("\xE4", "k", "d"), "d");
}

TEST_F(ProfileTest, WhitespaceAroundNamesAndValuesIsTrimmed) {
    file("  [  Sec A  ]  \n \t key  =  value  \r\n");
    EXPECT_EQ(ini.readString("Sec A", "key", "d"), "value");
    EXPECT_EQ(ini.readString(" Sec A ", " key ", "d"), "value");
    EXPECT_EQ(ini.readString("Sec  A", "key", "d"), "d");
}

TEST_F(ProfileTest, HeadersQuotesCommentsAndEquals) {
    file(
        "[S3]junk\n[Sec]tion]\nk=1\n[S]\n;k=comment\nq=\"quoted\"\ns=\" spaced \"\n"
        "m=\"a\"b\"\nv=x ; y\nabc=b=c\nnoequals\nempty=\n'=single\n");
    EXPECT_EQ(ini.readString("Sec]tion", "k", "d"), "1");
    EXPECT_TRUE(ini.snapshot().hasSection("S3"));
    EXPECT_EQ(ini.readString("S", "q", "d"), "quoted");
    EXPECT_EQ(ini.readString("S", "s", "d"), " spaced ");
    EXPECT_EQ(ini.readString("S", "m", "d"), "a\"b");
    EXPECT_EQ(ini.readString("S", "v", "d"), "x ; y");
    EXPECT_EQ(ini.readString("S", ";k", "d"), "comment");
    EXPECT_EQ(ini.readString("S", "abc", "d"), "b=c");
    EXPECT_EQ(ini.readString("S", "noequals", "d"), "d");
    EXPECT_EQ(ini.readString("S", "empty", "d"), "");
}

TEST_F(ProfileTest, DefaultsAndTheLengthLimit) {
    EXPECT_EQ(ini.readString("S", "k", "none  "), "none");  // missing file
    file("[S]\r\nlong=" + std::string(2000, 'x') + "\r\nq=\"" + std::string(1022, 'y') +
         "\"\r\nq2=\"" + std::string(1023, 'z') + "\"\r\n");
    EXPECT_EQ(ini.readString("S", "long", "").size(), 1023u);
    EXPECT_EQ(ini.readString("S", "q", ""), std::string(1022, 'y'));
    // A quoted text needs two bytes more than its length: the last one is lost.
    EXPECT_EQ(ini.readString("S", "q2", ""), std::string(1022, 'z'));
    EXPECT_EQ(ini.readString("S", "missing", "non"), "non");
}

TEST_F(ProfileTest, DuplicatesFirstWinsAndErasingUncoversTheNext) {
    file("[A]\nk=1\nk=2\n[a]\nk=3\nj=4\n");
    EXPECT_EQ(ini.readString("A", "k", "d"), "1");
    EXPECT_EQ(ini.readString("A", "j", "d"), "d");
    ini.writeString("A", "j", "5");
    EXPECT_EQ(bytes(), "[A]\r\nk=1\r\nk=2\r\nj=5\r\n[a]\r\nk=3\r\nj=4\r\n");
    ini.eraseSection("A");
    EXPECT_EQ(ini.readString("A", "j", "d"), "4");
}

TEST_F(ProfileTest, WriteRewritesTheLayoutLikeWindows) {
    file("\xEF\xBB\xBF; head\n\n[ S ]tail\r\r\n k = v \n\nline\r[T]\n");
    ini.writeString("S", "new", "  x");
    EXPECT_EQ(bytes(), "\xEF\xBB\xBF; head\r\n[S]\r\nk=v\r\nline\r\nnew=x\r\n[T]\r\n");
    ini.writeString("U", "k", "v");
    EXPECT_EQ(bytes().substr(bytes().size() - 10), "[U]\r\nk=v\r\n");
}

TEST_F(ProfileTest, NewFileAndChangeFreeCallsLeaveBytesAlone) {
    ini.deleteKey("S", "k");
    ini.eraseSection("S");
    EXPECT_FALSE(dir.exists("t.ini"));
    ini.writeString("S1", "k", "v");
    EXPECT_EQ(bytes(), "[S1]\r\nk=v\r\n");
    file("[S1]\nk=v\n\n");
    ini.writeString("s1", "K", "v");
    ini.deleteKey("S1", "missing");
    ini.eraseSection("missing");
    EXPECT_EQ(bytes(), "[S1]\nk=v\n\n");
}

TEST_F(ProfileTest, DeleteAndEraseDoNotTrimNames) {
    file("[S]\r\nk=v\r\nj=w\r\n");
    ini.deleteKey(" S ", "k");
    ini.eraseSection(" S ");
    EXPECT_EQ(ini.readString("S", "k", "d"), "v");
    ini.deleteKey("S", "k");
    ini.deleteKey("S", "j");
    EXPECT_EQ(bytes(), "[S]\r\n");
    ini.eraseSection("S");
    EXPECT_EQ(bytes(), "");
}

TEST_F(ProfileTest, ExistingSpellingIsKeptNewKeyTakesTheCallers) {
    file("[Log]\r\nData=1\r\n");
    ini.writeString("log", "DATA", "2");
    ini.writeString("LOG", "data2", "3");
    EXPECT_EQ(bytes(), "[Log]\r\nData=2\r\ndata2=3\r\n");
}

TEST_F(ProfileTest, NamelessSectionBeforeTheFirstHeader) {
    file("top=1\r\n[S]\r\nk=v\r\n");
    EXPECT_EQ(ini.readString("", "top", "d"), "1");
    ini.writeString("", "second", "2");
    EXPECT_EQ(bytes(), "top=1\r\nsecond=2\r\n[S]\r\nk=v\r\n");
}

// Regressions: each of these once differed from the Win32 functions.
TEST_F(ProfileTest, AnEmptyKeyNameReadsTheKeyWithoutAName) {
    file("[S]\r\n=' x '\r\n[T]\r\nk=v\r\n");
    EXPECT_EQ(ini.readString("S", "", "d"), " x ");
    EXPECT_EQ(ini.readString("S", "  ", "d"), " x ");
    EXPECT_EQ(ini.readString("T", "", "\"d\""), "d");
}

TEST_F(ProfileTest, AnAllSpaceDefaultKeepsOneSpace) {
    EXPECT_EQ(ini.readString("S", "k", "   "), " ");
    file("[S]\r\n");
    EXPECT_EQ(ini.readString("S", "k", "   "), " ");
    EXPECT_EQ(ini.readString("S", "k", "d \t  "), "d \t");
    EXPECT_EQ(ini.readString("S", "k", ""), "");
}

TEST_F(ProfileTest, ALongQuotedDefaultLosesItsQuotesBeforeItIsCut) {
    file("[S]\r\n");
    std::string quoted(1024, 'q');
    quoted.front() = quoted.back() = '\'';
    EXPECT_EQ(ini.readString("S", "k", quoted), std::string(1022, 'q'));
}

TEST_F(ProfileTest, AMissingFileReadsAsAnEmptyOneAMissingFolderGivesTheRawDefault) {
    EXPECT_EQ(ini.readString("S", "k", "\"quoted\""), "quoted");
    Profile nowhere(dir.file("no/such/folder/x.ini"));
    EXPECT_EQ(nowhere.readString("S", "k", "\"quoted\"  "), "\"quoted\"");
    EXPECT_EQ(nowhere.readString("S", "k", std::string(1100, 'd')), std::string(1023, 'd'));
}

TEST_F(ProfileTest, ErasingTheNamelessSectionOfAMissingFileCreatesNoFile) {
    ini.eraseSection("");
    EXPECT_FALSE(dir.exists("t.ini"));
    // An existing file always has one, even when empty: erasing it rewrites.
    file("[S]\nk=v\n");
    ini.eraseSection("");
    EXPECT_EQ(bytes(), "[S]\r\nk=v\r\n");
}

TEST_F(ProfileTest, ANulByteEndsTheNameOrValueItFallsIn) {
    file(std::string("[S]\r\nk=a\0b\r\n=x\r\n\0[S1]\r\n[T\0x]\r\nj\0=1\r\n", 36));
    EXPECT_EQ(ini.readString("S", "k", "d"), "a");
    EXPECT_EQ(ini.readString("T", "j", "d"), "1");
    EXPECT_EQ(ini.readString("S", "", "d"), "x");
    // The cut line counts as named: it is kept after a nameless key.
    ini.writeString("T", "n", "2");
    EXPECT_EQ(bytes(), "[S]\r\nk=a\r\n=x\r\n\r\n[T]\r\nj=1\r\nn=2\r\n");
}

TEST_F(ProfileTest, HighBytesPassThrough) {
    ini.writeString("S", "k",
                    "b\xB3\xB9"
                    "d \xFF");
    EXPECT_EQ(ini.readString("S", "k", ""),
              "b\xB3\xB9"
              "d \xFF");
}

TEST_F(ProfileTest, ARefusedWriteNamesTheFile) {
    Profile missing(dir.file("no/such/folder/x.ini"));
    try {
        missing.writeString("S", "k", "v");
        FAIL() << "write into a missing folder succeeded";
    } catch (const WriteError& e) {
        EXPECT_EQ(std::string(e.what()).rfind(
                      "Unable to write to " + dir.file("no/such/folder/x.ini"), 0),
                  0u);
    }
    EXPECT_THROW(missing.deleteKey("S", "k"), WriteError);
    EXPECT_EQ(missing.readString("S", "k", "def"), "def");
}

TEST_F(ProfileTest, IntegersAndBooleans) {
    file(
        "[S]\na=42\nb=-1\nc=0x1A\nd=$52443A\ne=12abc\nf=\ng=0X1a\nh=$\ni=99999999999\n"
        "j=$F6F6F6F6\n");
    EXPECT_EQ(ini.readInteger("S", "a", 7), 42);
    EXPECT_EQ(ini.readInteger("S", "b", 7), -1);
    EXPECT_EQ(ini.readInteger("S", "c", 7), 26);
    EXPECT_EQ(ini.readInteger("S", "d", 7), 5391418);
    EXPECT_EQ(ini.readInteger("S", "e", 7), 7);
    EXPECT_EQ(ini.readInteger("S", "f", 7), 7);
    EXPECT_EQ(ini.readInteger("S", "g", 7), 26);
    EXPECT_EQ(ini.readInteger("S", "h", 7), 7);
    EXPECT_EQ(ini.readInteger("S", "i", 7), 7);
    EXPECT_EQ(ini.readInteger("S", "j", 7), static_cast<int>(0xF6F6F6F6u));
    EXPECT_EQ(ini.readInteger("S", "missing", -1), -1);
    EXPECT_TRUE(ini.readBool("S", "a", false));
    EXPECT_FALSE(ini.readBool("S", "e", false));
    ini.writeBool("S", "flag", true);
    ini.writeInteger("S", "n", -5);
    EXPECT_EQ(ini.readString("S", "flag", ""), "1");
    EXPECT_EQ(ini.readInteger("S", "n", 0), -5);
}

TEST_F(ProfileTest, ValuesWithLineBreaksBecomeNewLines) {
    ini.writeString("S", "k", "a\r\n[T]\r\nx=y");
    EXPECT_EQ(ini.readString("T", "x", "d"), "y");
}

TEST_F(ProfileTest, AWriteNeverLeavesATemporaryFileBehind) {
    ini.writeString("S", "k", "v");
    int files = 0;
    for (const auto& e :
         std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
        if (e.path().filename().string().rfind("t.ini", 0) == 0 && e.path().filename() != "t.ini" &&
            e.path().filename() != "t.ini.lock")
            ++files;
    EXPECT_EQ(files, 0);
}

}  // namespace
