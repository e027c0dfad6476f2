#pragma once
// Texts and small conversions the editor's source files share.

#include <QString>
#include <string>

#include "qtstorage.h"

namespace kv::editor {

inline constexpr const char* kListFailed =
    "Wystąpił nieznany Error. Program nie będzie działać prawidłowo.";
inline constexpr const char* kClickFailed = "Error programu.";
inline constexpr const char* kUnknownDate = "Unknown date.";
inline constexpr const char* kLineChanged =
    "This entry was changed in its log by another window or program since the list was "
    "read. The lists have been read again; nothing was opened. Select the entry once more.";
inline constexpr const char* kNoLine =
    "Program status: no entry is highlighted on this page. Select one in the list first.";
inline constexpr int kSectionRole = 0x0100;  // Qt::UserRole: the line's section

using desktop::qs;

}  // namespace kv::editor
