#pragma once
// What every window test starts from: the recording desktop, the recording
// opener, a sandbox installation, entries put into its logs, and a window
// shown and waited for until it has loaded.

#include <QtTest>
#include <memory>
#include <optional>

#include "exchange.h"
#include "recordingopener.h"
#include "recordingservices.h"
#include "sandbox.h"

namespace kv::testing {

using storage::LogKind;

// Shows a window (a desktop::Window) and waits until its loading has run.
template <typename W>
std::unique_ptr<W> shownAndLoaded(std::unique_ptr<W> window) {
    window->show();
    if (!QTest::qWaitFor([&] { return window->opened(); })) qFatal("the window never loaded");
    return window;
}

class WindowFixture : public QObject {
protected:
    std::optional<RecordingServices> m_s;
    RecordingOpener m_opener;
    std::unique_ptr<Sandbox> m_box;

    void initFixture() {
        m_s.emplace();
        m_opener = RecordingOpener();
        m_box = std::make_unique<Sandbox>();
    }
    void add(LogKind kind, const storage::EntryData& e) {
        storage::Profile log = m_box->log(kind);
        QVERIFY(storage::addEntry(log, kind, e).has_value());
    }
    // The entry the exchange file hands the next window.
    void activate(int n, const std::string& log) {
        storage::Exchange(m_box->exchangeFile()).recordActiveEntry(n, log);
    }
};

}  // namespace kv::testing
