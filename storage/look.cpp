#include "look.h"

#include <filesystem>
#include <optional>
#include <system_error>

namespace kv::storage {

namespace {

namespace fs = std::filesystem;

bool present(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

struct Rename {
    fs::path from, to;
};

// The rename that gives look, if one is needed.
std::optional<Rename> renameFor(const std::string& dataFolder, Look look) {
    const fs::path themed = fs::path(dataFolder) / kThemedManifest;
    const fs::path classic = fs::path(dataFolder) / kClassicManifest;
    if ((look == Look::Themed) == present(themed)) return std::nullopt;
    return look == Look::Classic ? Rename{themed, classic} : Rename{classic, themed};
}

}  // namespace

Look chosenLook(const std::string& dataFolder) {
    return present(fs::path(dataFolder) / kThemedManifest) ? Look::Themed : Look::Classic;
}

std::string lookChangeProblem(const std::string& dataFolder, Look look) {
    const std::optional<Rename> rename = renameFor(dataFolder, look);
    if (!rename) return {};
    if (!present(rename->from))
        return "neither " + std::string(kThemedManifest) + " nor " + kClassicManifest + " is in " +
               dataFolder;
    return renameProblem(rename->from.string());
}

std::string changeLook(const std::string& dataFolder, Look look) {
    if (std::string problem = lookChangeProblem(dataFolder, look); !problem.empty()) return problem;
    const std::optional<Rename> rename = renameFor(dataFolder, look);
    if (!rename) return {};
    std::error_code ec;
    fs::rename(rename->from, rename->to, ec);
    if (ec) return rename->from.string() + " could not be renamed (" + ec.message() + ")";
    return {};
}

}  // namespace kv::storage
