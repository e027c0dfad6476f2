#include "reminders.h"

#include <cstdint>
#include <cstdio>

namespace kv::storage {

namespace {

constexpr const char* kDone = "kalvex4_zrobione";
constexpr const char* kSnoozed = "kalvex4_drzemka";
constexpr const char* kWarned = "kalvex4_uprzedzone";

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
    const std::string answered = m_file.readString(kDone, key, "");
    return !answered.empty() && answered >= day;
}

void ReminderState::markDone(const std::string& key, const std::string& day) {
    m_file.update([&](IniDocument& doc) {
        // A later day answered stays answered.
        return doc.read(kDone, key, "") < day && doc.write(kDone, key, day);
    });
}

bool ReminderState::warnedFor(const std::string& key, const std::string& day) const {
    return m_file.readString(kWarned, key, "") == day;
}

void ReminderState::markWarned(const std::string& key, const std::string& day) {
    m_file.update([&](IniDocument& doc) { return doc.write(kWarned, key, day); });
}

std::string ReminderState::snoozedUntil(const std::string& key) const {
    const std::string value = m_file.readString(kSnoozed, key, "");
    return value.substr(0, value.find(' '));
}

void ReminderState::snooze(const std::string& key, LogKind kind, const std::string& until,
                           const std::string& reason) {
    std::string value = until + " " + std::string(logKey(kind));
    if (!reason.empty()) value += " " + reason;
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
            // "until log" or "until log reason"
            const std::size_t space = k.value->find(' ');
            if (space == std::string::npos) continue;
            const std::size_t second = k.value->find(' ', space + 1);
            const std::optional<LogKind> kind =
                logKindFromKey(k.value->substr(space + 1, second - space - 1));
            const std::string reason =
                second == std::string::npos ? std::string() : k.value->substr(second + 1);
            if (kind) out.push_back({k.name, *kind, k.value->substr(0, space), reason});
        }
    }
    return out;
}

void ReminderState::forgetExpired(const std::string& from, const std::string& today) {
    m_file.update([&](IniDocument& doc) {
        std::vector<std::pair<const char*, std::string>> old;
        for (const IniSection& section : doc.sections()) {
            const bool done = section.name == kDone;
            if (!done && section.name != kWarned) continue;
            for (const IniKey& k : section.keys)
                if (k.value && *k.value < (done ? from : today))
                    old.emplace_back(done ? kDone : kWarned, k.name);
        }
        bool changed = false;
        for (const auto& [section, key] : old) changed |= doc.deleteKey(section, key);
        return changed;
    });
}

}  // namespace kv::storage
