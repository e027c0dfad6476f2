#pragma once
// Problems the user should hear of once while the program goes on, such as a
// log it could not read. The program installs a handler that shows them.

#include <functional>
#include <string>

namespace kv::storage {

using NoticeHandler = std::function<void(const std::string& text)>;

// The handler that receives every new notice (the default writes to stderr).
// Returns the previous one.
NoticeHandler setNoticeHandler(NoticeHandler handler);

// Passes text on the first time key is seen in this process.
void noticeOnce(const std::string& key, const std::string& text);

// Lets the notice be said again (a file that became readable).
void forgetNotice(const std::string& key);

}  // namespace kv::storage
