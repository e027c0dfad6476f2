#include "locations.h"
#include "profile.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace kv::storage {

namespace {

constexpr const char* kSection = "Kalvex4";
constexpr const char* kMissing = "\x01missing";

std::string envOr(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return (v && *v) ? std::string(v) : std::string(fallback);
}

}  // namespace

std::string storeDescription() { return envOr("KALVEX4_STORE", "/etc/xdg/Wendrik/Kalvex4.conf"); }

std::optional<StoreValues> readStore() {
    Profile store(storeDescription());
    IniDocument doc = store.snapshot();
    if (!doc.hasSection(kSection)) return std::nullopt;
    auto value = [&](const char* key) {
        std::string v = doc.read(kSection, key, kMissing);
        return v == kMissing ? std::string() : v;
    };
    return StoreValues{value("sciezka"), value("sciezka_log"), value("sciezka_log_staly"),
                       value("sciezka_log_glowny")};
}

void writeStore(const StoreValues& v) {
    Profile store(storeDescription());
    store.update([&](IniDocument& doc) {
        bool changed = doc.write(kSection, "sciezka", v.sciezka);
        changed |= doc.write(kSection, "sciezka_log", v.sciezka_log);
        changed |= doc.write(kSection, "sciezka_log_staly", v.sciezka_log_staly);
        changed |= doc.write(kSection, "sciezka_log_glowny", v.sciezka_log_glowny);
        return changed;
    });
}

std::string userName() {
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name) return pw->pw_name;
    return envOr("USER", "");
}

std::string exchangePath() { return envOr("KALVEX4_EXCHANGE", "/tmp/Kalvex4.tmp"); }

}  // namespace kv::storage
