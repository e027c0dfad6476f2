#include "logbook.h"

#include <array>
#include <vector>

namespace kv::storage {

namespace {

constexpr const char* kBlad =
    "b\xC5\x82\xC4\x85"
    "d";  // "błąd"
constexpr char kLineBreak = '\x1F';

struct CopyKey {
    const char* key;
    const char* def;
};

std::string slotName(int n) {
    return std::to_string(n);
}

std::vector<CopyKey> copyOrder(LogKind kind, RemovalOrder order) {
    switch (order) {
        case RemovalOrder::DeleteWindow: {
            std::vector<CopyKey> keys{{"Tytul", kBlad}, {"Typ", kBlad},    {"Informacja", kBlad},
                                      {"data", kBlad},  {"dzwiek", kBlad}, {"email", ""},
                                      {"strona", ""},   {"program", ""}};
            if (kind == LogKind::Public) keys.push_back({"odbiorca", ""});
            keys.push_back({"plik", ""});
            if (kind != LogKind::Private) keys.push_back({"wyswietlanie", kBlad});
            return keys;
        }
        case RemovalOrder::DonePrivate:
            return {{"Tytul", kBlad}, {nullptr, nullptr}, {"Typ", kBlad}, {"Informacja", kBlad},
                    {"data", kBlad},  {"dzwiek", kBlad},  {"email", ""},  {"strona", ""},
                    {"program", ""},  {"plik", ""}};
        case RemovalOrder::DonePublic:
            return {{"Tytul", kBlad}, {nullptr, nullptr},  {"Typ", kBlad}, {"Informacja", kBlad},
                    {"data", kBlad},  {"dzwiek", kBlad},   {"email", ""},  {"strona", ""},
                    {"program", ""},  {"odbiorca", kBlad}, {"plik", ""},   {"wyswietlanie", kBlad}};
    }
    return {};
}

// A rewrite normalises what the parser kept verbatim (a name cut short by a
// NUL byte loses the spaces before it only when it is read back), so slots
// are judged on the document as it will read after this write. Where that
// would make any entry read otherwise (a file damaged by NUL bytes, say), the
// log is not written at all: nothing of what it held may change unasked.
void settle(IniDocument& doc, const std::string& path) {
    IniDocument after = IniDocument::parse(doc.serialize());
    for (int k = 0; k < kSlots; ++k)
        if (readStoredEntry(doc, k) != readStoredEntry(after, k))
            throw WriteError(path, "the log is damaged, and rewriting it would change entry " +
                                       std::to_string(k) + "; it was left as it was");
    doc = std::move(after);
}

bool occupied(const IniDocument& doc, int slot) {
    return doc.read(slotName(slot), "Numer", "none") != "none";
}

// The keys of an entry in the order the entry windows write them.
bool writeEntry(IniDocument& doc, LogKind kind, int slot, const EntryData& e) {
    const std::string s = slotName(slot);
    // Every text the user typed goes in the form that reads back exactly.
    auto put = [&](const char* key, std::string_view text) {
        return doc.write(s, key, protectValue(text));
    };
    bool changed = put("Tytul", encodeText(e.tytul));
    if (kind == LogKind::Public) changed |= put("Odbiorca", e.odbiorca);
    if (kind != LogKind::Private) changed |= doc.write(s, "Wyswietlanie", e.wyswietlanie);
    changed |= doc.write(s, "Numer", s);
    changed |= put("Informacja", encodeText(e.informacja));
    changed |= put("Data", e.data);
    changed |= put("Typ", e.typ);
    changed |= put("Dzwiek", e.dzwiek);
    if (e.email) changed |= put("email", *e.email);
    if (e.strona) changed |= put("strona", *e.strona);
    if (e.program) changed |= put("program", *e.program);
    if (e.plik) changed |= put("plik", *e.plik);
    return changed;
}

}  // namespace

std::string_view displayModeValue(DisplayMode mode) {
    switch (mode) {
        case DisplayMode::Once:
            return "raz";
        case DisplayMode::Yearly:
            return "rok";
        case DisplayMode::Monthly:
            return "miesiac";
    }
    return "raz";
}

LogKind chooseLog(Receiver receiver, DisplayMode mode) {
    if (receiver != Receiver::Me) return LogKind::Public;
    return mode == DisplayMode::Once ? LogKind::Private : LogKind::Static;
}

std::string encodeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += kLineBreak;
        } else if (c == '\n') {
            out += kLineBreak;
        } else {
            out += c == kLineBreak ? ' ' : c;
        }
    }
    return out;
}

std::string decodeText(std::string_view stored) {
    std::string out;
    out.reserve(stored.size());
    for (char c : stored) {
        if (c == kLineBreak)
            out += '\n';
        else
            out += c;
    }
    return out;
}

StoredEntry readStoredEntry(const IniDocument& doc, int slot) {
    const std::string s = slotName(slot);
    auto r = [&](const char* key) { return doc.readWhole(s, key, ""); };
    return StoredEntry{
        occupied(doc, slot), r("Tytul"),    r("Informacja"), r("Data"),   r("Typ"),     r("Dzwiek"),
        r("Wyswietlanie"),   r("Odbiorca"), r("email"),      r("strona"), r("program"), r("plik")};
}

StoredEntry readStoredEntry(const Profile& log, int slot) {
    return readStoredEntry(*log.document(), slot);
}

bool isOccupied(const Profile& log, int slot) {
    return log.readString(slotName(slot), "Numer", "none") != "none";
}

std::optional<int> addEntry(Profile& log, LogKind kind, const EntryData& entry) {
    const std::vector<int> slots = addEntries(log, kind, {entry});
    if (slots.empty()) return std::nullopt;
    return slots.front();
}

std::vector<int> addEntries(Profile& log, LogKind kind, const std::vector<EntryData>& entries) {
    std::vector<int> slots;
    log.update([&](IniDocument& doc) {
        slots.clear();
        settle(doc, log.path());
        bool changed = false;
        for (int k = 0; k < kSlots && slots.size() < entries.size(); ++k) {
            if (doc.read(slotName(k), "Numer", "cos") != "cos") continue;
            changed |= writeEntry(doc, kind, k, entries[slots.size()]);
            slots.push_back(k);
        }
        return changed;
    });
    return slots;
}

StoredEntry storedForm(LogKind kind, const EntryData& e) {
    return StoredEntry{true,
                       encodeText(e.tytul),
                       encodeText(e.informacja),
                       e.data,
                       e.typ,
                       e.dzwiek,
                       kind == LogKind::Private ? std::string() : e.wyswietlanie,
                       kind == LogKind::Public ? e.odbiorca : std::string(),
                       e.email.value_or(""),
                       e.strona.value_or(""),
                       e.program.value_or(""),
                       e.plik.value_or("")};
}

bool rewriteEntry(Profile& log, LogKind kind, int slot, const EntryData& entry,
                  const std::optional<StoredEntry>& expected) {
    if (slot < 0 || slot >= kSlots) return false;
    bool rewritten = false;
    log.update([&](IniDocument& doc) {
        rewritten = false;
        settle(doc, log.path());
        if (expected && readStoredEntry(doc, slot) != *expected) return false;
        rewritten = true;
        bool changed = writeEntry(doc, kind, slot, entry);
        const std::string s = slotName(slot);
        // Every spelling of a cleared action goes, so none still offers it.
        for (auto [key, value] :
             {std::pair{"email", &entry.email}, std::pair{"strona", &entry.strona},
              std::pair{"program", &entry.program}, std::pair{"plik", &entry.plik}})
            if (!*value)
                while (doc.deleteKey(s, key)) changed = true;
        return changed;
    });
    return rewritten;
}

bool removeEntry(Profile& log, LogKind kind, int n, RemovalOrder order,
                 const std::optional<StoredEntry>& expected) {
    if (n < 0 || n >= kSlots) return false;
    const std::vector<CopyKey> keys = copyOrder(kind, order);
    bool removed = false;
    log.update([&](IniDocument& doc) {
        removed = false;
        settle(doc, log.path());
        // An empty slot is not an entry: removing it would pull the next one down.
        if (!occupied(doc, n)) return false;
        if (expected && readStoredEntry(doc, n) != *expected) return false;
        removed = true;
        bool changed = doc.eraseSection(slotName(n));
        bool lastMoved = false;
        for (int k = n + 1; k < kSlots; ++k) {
            const std::string from = slotName(k);
            const std::string to = slotName(k - 1);
            if (!occupied(doc, k)) {
                changed |= doc.eraseSection(to);
                lastMoved = false;
                continue;
            }
            // Read every value before writing: the target is a different section.
            bool numerWritten = false;
            auto writeNumer = [&] {
                changed |= doc.write(to, "Numer", to);
                numerWritten = true;
            };
            if (order == RemovalOrder::DeleteWindow) writeNumer();
            for (const CopyKey& c : keys) {
                if (!c.key) {
                    writeNumer();
                    continue;
                }
                // The stored text moves whole: a read would cut it to 1023
                // characters and drop its quotes.
                std::optional<std::string> value = doc.find(from, c.key);
                changed |= doc.write(to, c.key, value ? *value : std::string(c.def));
            }
            if (!numerWritten) writeNumer();
            lastMoved = k == kSlots - 1;
        }
        if (lastMoved) changed |= doc.eraseSection(slotName(kSlots - 1));
        return changed;
    });
    return removed;
}

}  // namespace kv::storage
