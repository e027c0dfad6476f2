#include "reminders.h"

#include <cstdint>
#include <cstdio>

namespace kv::storage {

namespace {

constexpr const char* kDone = "kalvex4_zrobione";
constexpr const char* kSnoozed = "kalvex4_drzemka";

// FNV-1a: stable on every platform and release, unlike std::hash.
void mix(std::uint64_t& h, std::string_view text) {
    for (unsigned char c : text) {
        h ^= c;
        h *= 0x100000001b3ULL;
    }
    h ^= 0x1f;  // a separator no stored text holds, so "ab"+"c" differs from "a"+"bc"
    h *= 0x100000001b3ULL;
}

}  // namespace

std::string contentKey(LogKind kind, const StoredEntry& e) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (std::string_view part :
         {logKey(kind), std::string_view(e.tytul), std::string_view(e.informacja),
          std::string_view(e.data), std::string_view(e.typ), std::string_view(e.dzwiek),
          std::string_view(e.wyswietlanie), std::string_view(e.odbiorca), std::string_view(e.email),
          std::string_view(e.strona), std::string_view(e.program), std::string_view(e.plik)})
        mix(h, part);
    char out[17];
    std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(h));
    return out;
}

bool ReminderState::doneOn(const std::string& key, const std::string& day) const {
    return m_file.readString(kDone, key, "") == day;
}

void ReminderState::markDone(const std::string& key, const std::string& day) {
    m_file.update([&](IniDocument& doc) { return doc.write(kDone, key, day); });
}

std::string ReminderState::snoozedUntil(const std::string& key) const {
    const std::string value = m_file.readString(kSnoozed, key, "");
    return value.substr(0, value.find(' '));
}

void ReminderState::snooze(const std::string& key, LogKind kind, const std::string& until) {
    const std::string value = until + " " + std::string(logKey(kind));
    m_file.update([&](IniDocument& doc) { return doc.write(kSnoozed, key, value); });
}

void ReminderState::forgetSnooze(const std::string& key) {
    m_file.update([&](IniDocument& doc) { return doc.deleteKey(kSnoozed, key); });
}

std::vector<Snooze> ReminderState::snoozes() const {
    std::vector<Snooze> out;
    const std::shared_ptr<const IniDocument> doc = m_file.document();
    for (const IniSection& section : doc->sections()) {
        if (section.name != kSnoozed) continue;
        for (const IniKey& k : section.keys) {
            if (!k.value) continue;
            const std::size_t space = k.value->find(' ');
            if (space == std::string::npos) continue;
            const std::optional<LogKind> kind = logKindFromKey(k.value->substr(space + 1));
            if (kind) out.push_back({k.name, *kind, k.value->substr(0, space)});
        }
    }
    return out;
}

void ReminderState::forgetExpired(const std::string& today) {
    m_file.update([&](IniDocument& doc) {
        std::vector<std::string> old;
        for (const IniSection& section : doc.sections())
            if (section.name == kDone)
                for (const IniKey& k : section.keys)
                    if (k.value && *k.value < today) old.push_back(k.name);
        bool changed = false;
        for (const std::string& key : old) changed |= doc.deleteKey(kDone, key);
        return changed;
    });
}

}  // namespace kv::storage
