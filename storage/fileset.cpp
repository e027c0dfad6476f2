#include "fileset.h"

namespace kv::storage {

FileSet::FileSet(const Location& location, std::string exchangeFile)
    : m_location(location),
      m_exchange(std::move(exchangeFile)),
      m_log(location.files.log, logAccess(LogKind::Private)),
      m_logStaly(location.files.log_staly, logAccess(LogKind::Static)),
      m_logGlowny(location.files.log_glowny, logAccess(LogKind::Public)),
      m_config(location.files.config, kSharedFile),
      m_userConfig(location.files.userConfig, kPrivateFile) {
    m_exchange.recordLogNames(location.files);
}

Profile& FileSet::log(LogKind kind) {
    switch (kind) {
        case LogKind::Private:
            return m_log;
        case LogKind::Static:
            return m_logStaly;
        case LogKind::Public:
            return m_logGlowny;
    }
    return m_log;
}

Profile* FileSet::logByKey(std::string_view key) {
    std::optional<LogKind> kind = logKindFromKey(key);
    return kind ? &log(*kind) : nullptr;
}

}  // namespace kv::storage
