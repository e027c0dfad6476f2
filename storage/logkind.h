#pragma once

#include <optional>
#include <string_view>

namespace kv::storage {

// The three logs, known everywhere by their key names.
enum class LogKind { Private, Static, Public };

std::string_view logKey(LogKind kind);  // "log", "log_staly", "log_glowny"
std::optional<LogKind> logKindFromKey(std::string_view key);

}  // namespace kv::storage
