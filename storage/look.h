#pragma once
// The program's look follows the name of the manifest in the data folder: the
// themed look while "Kalvex4.exe.manifest" is there, the classic one otherwise
// (the configuration window renames it to "kv4.man").

#include <string>

namespace kv::storage {

enum class Look { Themed, Classic };

inline constexpr const char* kThemedManifest = "Kalvex4.exe.manifest";
inline constexpr const char* kClassicManifest = "kv4.man";

Look chosenLook(const std::string& dataFolder);

// Why this user cannot rename the manifest to give look; empty when it can,
// or when the folder already gives that look.
std::string lookChangeProblem(const std::string& dataFolder, Look look);

// Renames the manifest so that the next start has look; returns why not
// (empty when done, or when nothing needed renaming).
std::string changeLook(const std::string& dataFolder, Look look);

// Why this user may not rename the file at path (folder permissions, a sticky
// folder that keeps another user's file); empty when it may.
std::string renameProblem(const std::string& path);

}  // namespace kv::storage
