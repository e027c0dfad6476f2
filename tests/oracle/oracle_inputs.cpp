#include "oracle_inputs.h"

#include <random>

#include "inidocument.h"

namespace kv::oracle {

namespace {

// Names overlap on purpose: case, padding and inner spaces of the same name,
// and characters that look like syntax.
const std::string kLongName(1100, 'N');

const std::vector<std::string> kSections = {
    "S1",       "s1",       " S1 ",    "S1  ",     "\tS1", "Sec A", "SEC A",  "sec  a", " Sec A",
    "",         "  ",       "S3",      "Sec]tion", "Sec",  "[S1]",  "x[y",    "new",    "NEW",
    "\xC4pfel", "\xE4pfel", "caf\xE9", "CAF\xC9",  "S;1",  "a=b",   "\x1AS1", kLongName};
const std::vector<std::string> kKeys = {"k",       "K",        " k ", "k  ", "\tk",    "key two",
                                        "KEY TWO", "key  two", "",    "  ",  ";k",     "#k",
                                        "a",       "noequals", "a=b", "[k]", "[k",     "\xC4rger",
                                        "caf\xE9", "k\x1A",    "b",   "x y", kLongName};

}  // namespace

const std::vector<std::string> kUserTexts = {"\"Hi\" said \"Bob\"",
                                             " lead",
                                             "trail ",
                                             "  both  ",
                                             "'single'",
                                             "\"",
                                             "'",
                                             "\"open",
                                             "close'",
                                             "\t\ttabs",
                                             "x\x1F y ",
                                             " \"mixed' ",
                                             "\"\"",
                                             "plain"};

namespace {

std::vector<std::string> makeValues() {
    std::vector<std::string> v = {"v",
                                  "V",
                                  "",
                                  "  ",
                                  " v ",
                                  "v  ",
                                  "\tv\t",
                                  "\"quoted\"",
                                  "\" spaced \"",
                                  "'single'",
                                  "\"a\"b\"",
                                  "\"",
                                  "''",
                                  "\"x'",
                                  "x ; y",
                                  "b=c",
                                  "; not a comment",
                                  "[S1]",
                                  "\xE9t\xE9 \x80\xFF",
                                  "\x1A",
                                  "v\r\nk=injected",
                                  "a\nb",
                                  "v\r[S9]\rk=w",
                                  "=",
                                  "\"\"",
                                  "' '"};
    for (std::size_t n : {1021u, 1022u, 1023u, 1024u, 1025u}) {
        v.push_back(std::string(n, 'x'));
        std::string quoted(n, 'q');
        quoted.front() = quoted.back() = '"';
        v.push_back(quoted);
    }
    v.push_back(std::string(1019, 'p') + "    ");
    // User texts as the logs store them: wrapped where a read would lose an end.
    for (const std::string& text : kUserTexts) v.push_back(kv::storage::protectValue(text));
    return v;
}
const std::vector<std::string> kValues = makeValues();

std::vector<std::string> makeDefaults() {
    std::vector<std::string> d = {"",    "def", "def  ", "  def",    "\"qd\"", "'q'",      "d\xE9",
                                  "   ", "\"",  " d e ", "\"qd\"  ", "'q\"",   "\t\"q\"\t"};
    d.push_back(std::string(1030, 'd'));
    d.push_back(std::string(1022, 'd') + "  ");
    std::string quoted(1024, 'd');
    quoted.front() = quoted.back() = '\'';
    d.push_back(quoted);
    return d;
}
const std::vector<std::string> kDefaults = makeDefaults();

// Whole lines of starting files, beside the ones built from the names.
const std::vector<std::string> kLines = {"[S1]",
                                         "[ s1 ]",
                                         "  [Sec A]  ",
                                         "[SEC A]",
                                         "[S3]junk",
                                         "[Sec]tion]",
                                         "[",
                                         "[]",
                                         "[ ]",
                                         "[x",
                                         "]x[",
                                         "[\xC4pfel]",
                                         "[caf\xE9]",
                                         "\t[S1]\t",
                                         "[new]",
                                         "[S;1]",
                                         "[a=b]",
                                         "k=v",
                                         " K = V ",
                                         "k=",
                                         "=x",
                                         "=",
                                         "a=b=c",
                                         "v=x ; y",
                                         "k=\"quoted\"",
                                         "k=' spaced '",
                                         "k=\"a\"b\"",
                                         "noequals",
                                         "; comment",
                                         ";k=v",
                                         "#k=v",
                                         "k\t=\tv",
                                         "\x1Ak=v\x1A",
                                         "k=\xE9\xFF",
                                         "\xC4rger=1",
                                         "caf\xE9=2",
                                         "key two = 2",
                                         "KEY  TWO=3",
                                         "[k]=v",
                                         "x y=z",
                                         "",
                                         "   ",
                                         "\t",
                                         std::string("k=a\0b", 5),
                                         std::string("\0[S1]", 5),
                                         std::string("\0", 1),
                                         std::string("[S\0x]", 6),
                                         std::string("k\0=v", 5),
                                         "\xEF\xBB",
                                         "\x1A",
                                         "k=\x1A\x1A",
                                         "\xA0k\xA0=\xA0v\xA0"};

const std::string kBom = "\xEF\xBB\xBF";

bool isAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

class Generator {
public:
    explicit Generator(std::uint64_t seed) : m_rng(seed) {}

    Sequence sequence() {
        Sequence s;
        int where = pick(20);
        if (where == 0) {
            s.folder = false;
        } else if (where > 2) {
            s.start = file();
        }
        m_ascii = s.start && s.start->rfind(kBom, 0) == 0;
        int count = 1 + pick(8);
        for (int i = 0; i < count; ++i) s.ops.push_back(op());
        return s;
    }

private:
    int pick(int n) { return static_cast<int>(m_rng() % static_cast<std::uint64_t>(n)); }

    const std::string& from(const std::vector<std::string>& v) {
        for (;;) {
            const std::string& s = v[static_cast<std::size_t>(pick(static_cast<int>(v.size())))];
            if (!m_ascii || isAscii(s)) return s;
        }
    }

    std::string padding() {
        static const std::vector<std::string> pads = {"", "", "", " ", "  ", "\t", " \t"};
        return pads[static_cast<std::size_t>(pick(static_cast<int>(pads.size())))];
    }

    std::string line() {
        switch (pick(4)) {
            case 0:
                return padding() + "[" + padding() + from(kSections) + padding() + "]" + padding();
            case 1:
                return padding() + from(kKeys) + padding() + "=" + padding() + from(kValues) +
                       padding();
            default:
                return from(kLines);
        }
    }

    std::string file() {
        bool bom = pick(8) == 0;
        m_ascii = bom;
        static const std::vector<std::string> ends = {"\r\n", "\n", "\r"};
        int style = pick(4);  // one of the three throughout, or mixed
        std::string out = bom ? kBom : std::string();
        int lines = pick(12);
        for (int i = 0; i < lines; ++i) {
            out += line();
            bool last = i + 1 == lines;
            if (last && pick(3) == 0) break;  // no line end after the last line
            out += ends[static_cast<std::size_t>(style < 3 ? style : pick(3))];
        }
        return out;
    }

    Op op() {
        Op o;
        int k = pick(20);
        o.kind = k < 8    ? Kind::Read
                 : k < 15 ? Kind::Write
                 : k < 18 ? Kind::DeleteKey
                          : Kind::EraseSection;
        o.section = from(kSections);
        o.key = from(kKeys);
        if (o.kind == Kind::Read) o.value = from(kDefaults);
        if (o.kind == Kind::Write) o.value = from(kValues);
        return o;
    }

    std::mt19937_64 m_rng;
    bool m_ascii = false;
};

}  // namespace

Sequence generateSequence(std::uint64_t seed) {
    return Generator(seed).sequence();
}

}  // namespace kv::oracle
