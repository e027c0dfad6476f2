#pragma once
// Entries of a log: 51 sections "0".."50", packed from 0, a slot occupied
// exactly when it holds `Numer`.

#include <optional>
#include <string>
#include <vector>

#include "logkind.h"
#include "profile.h"

namespace kv::storage {

inline constexpr int kSlots = 51;

// Who an entry is for and how often it shows; together they pick the log.
enum class Receiver { Me, Named, Everyone };
enum class DisplayMode { Once, Yearly, Monthly };

std::string_view displayModeValue(DisplayMode mode);  // "raz", "rok", "miesiac"
LogKind chooseLog(Receiver receiver, DisplayMode mode);

// What an entry window writes. Optional actions are written only when set.
struct EntryData {
    std::string tytul;
    std::string informacja;
    std::string data;
    std::string typ = "Default";
    std::string dzwiek = "-choose-";
    std::string wyswietlanie;  // static and public logs
    std::string odbiorca;      // public log
    std::optional<std::string> email, strona, program, plik;
};

// The stored texts of one slot, read with empty defaults; used to tell
// whether a slot still holds the entry a window showed.
struct StoredEntry {
    bool occupied = false;
    std::string tytul, informacja, data, typ, dzwiek, wyswietlanie, odbiorca;
    std::string email, strona, program, plik;
    bool operator==(const StoredEntry&) const = default;
};

StoredEntry readStoredEntry(const IniDocument& log, int slot);
StoredEntry readStoredEntry(const Profile& log, int slot);

// User text is one profile line: line breaks are kept as a unit separator.
std::string encodeText(std::string_view text);
std::string decodeText(std::string_view stored);

bool isOccupied(const Profile& log, int slot);

// Stores the entry in the lowest free slot; nothing when all 51 are taken.
std::optional<int> addEntry(Profile& log, LogKind kind, const EntryData& entry);
// Stores as many of the entries as there are free slots, in order, as one
// atomic change; the slots they took.
std::vector<int> addEntries(Profile& log, LogKind kind, const std::vector<EntryData>& entries);
// What readStoredEntry() gives back for entry once it is stored in kind's log.
StoredEntry storedForm(LogKind kind, const EntryData& entry);
// Writes the entry's keys over slot's, in the order of a new entry; an action
// left unset removes its key, so that a switched-off action is no longer offered.
// With expected set, changes nothing (and returns false) unless slot still
// holds exactly that entry.
bool rewriteEntry(Profile& log, LogKind kind, int slot, const EntryData& entry,
                  const std::optional<StoredEntry>& expected = std::nullopt);

// Which window removes: each copies the later entries down in its own order.
enum class RemovalOrder { DeleteWindow, DonePrivate, DonePublic };

// Removes slot n and moves the later entries down, as one atomic change.
// With expected set, removes nothing (and returns false) unless slot n still
// holds exactly that entry.
bool removeEntry(Profile& log, LogKind kind, int n, RemovalOrder order,
                 const std::optional<StoredEntry>& expected = std::nullopt);

}  // namespace kv::storage
