#include "notices.h"

#include <atomic>
#include <iostream>
#include <mutex>
#include <set>

namespace kv::storage {

namespace {

std::mutex g_mutex;
std::set<std::string> g_said;
// Every read of a file that can be read forgets its notice; nearly always
// there is none, and then no lock is taken.
std::atomic<bool> g_anySaid{false};

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
        g_anySaid = true;
        h = handler();
    }
    // Called without the mutex: a handler may read files, which notice again.
    if (h) h(text);
}

void forgetNotice(const std::string& key) {
    if (!g_anySaid) return;
    std::lock_guard<std::mutex> lock(g_mutex);
    g_said.erase(key);
}

}  // namespace kv::storage
