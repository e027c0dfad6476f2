#pragma once
// The files a window opens when it is opened and releases once when it closes.

#include <optional>

#include "exchange.h"
#include "locations.h"
#include "logkind.h"
#include "profile.h"

namespace kv::storage {

class FileSet {
public:
    // Opens the set and records the three log names in the exchange file;
    // throws WriteError when the exchange file refuses the write.
    explicit FileSet(const Location& location, std::string exchangeFile = exchangePath());

    const Location& location() const { return m_location; }
    Exchange& exchange() { return m_exchange; }
    Profile& log(LogKind kind);
    // Nothing for a key that names none of the three logs.
    Profile* logByKey(std::string_view key);
    Profile& config() { return m_config; }
    Profile& userConfig() { return m_userConfig; }

private:
    Location m_location;
    Exchange m_exchange;
    Profile m_log;
    Profile m_logStaly;
    Profile m_logGlowny;
    Profile m_config;
    Profile m_userConfig;
};

}  // namespace kv::storage
