#include "notices.h"

#include <iostream>
#include <mutex>
#include <set>

namespace kv::storage {

namespace {

std::mutex g_mutex;
std::set<std::string> g_said;

NoticeHandler& handler() {
    static NoticeHandler h = [](const std::string& text) {
        std::cerr << "kalvex4: " << text << "\n";
    };
    return h;
}

}  // namespace

NoticeHandler setNoticeHandler(NoticeHandler h) {
    std::lock_guard<std::mutex> lock(g_mutex);
    NoticeHandler old = std::move(handler());
    handler() = std::move(h);
    return old;
}

void noticeOnce(const std::string& key, const std::string& text) {
    NoticeHandler h;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!g_said.insert(key).second) return;
        h = handler();
    }
    // Called without the mutex: a handler may read files, which notice again.
    if (h) h(text);
}

void forgetNotice(const std::string& key) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_said.erase(key);
}

void forgetNotices() {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_said.clear();
}

}  // namespace kv::storage
