// The due check over three full logs (51 entries, and 51 entries of 100 KB
// each: 5 MB a log), and a removal from a full log.

#include <benchmark/benchmark.h>

#include "duecheck.h"
#include "logbook.h"
#include "sandbox.h"

using namespace kv;
using storage::LogKind;

namespace {

void fill(storage::Profile log, LogKind kind, std::size_t textSize = 0) {
    for (int i = 0; i < storage::kSlots; ++i) {
        storage::EntryData e = testing::entry("entry " + std::to_string(i), "2000-01-02",
                                              kind == LogKind::Private ? "" : "rok", "wszyscy");
        if (textSize) e.informacja.resize(textSize, 'x');
        storage::addEntry(log, kind, e);
    }
}

// Arguments: 0 the start-up check, 1 the periodic one; then the text size.
void BM_DueCheckThreeFullLogs(benchmark::State& state) {
    testing::Sandbox box;
    for (LogKind k : {LogKind::Private, LogKind::Static, LogKind::Public})
        fill(box.log(k), k, static_cast<std::size_t>(state.range(1)));
    storage::FileSet files(*storage::locate(), box.exchangeFile());
    app::DueCheck check(files, storage::userName(),
                        {[] { return std::string("2026-05-17"); },
                         [](bool, int, const std::string&) {}, [](int, LogKind) { return false; }});
    for (auto _ : state) {
        if (state.range(0) == 0)
            check.startupCheck();
        else
            check.periodicCheck();
    }
}
BENCHMARK(BM_DueCheckThreeFullLogs)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 100000})
    ->Args({1, 100000})
    ->Unit(benchmark::kMillisecond);

void BM_RemoveFromAFullLog(benchmark::State& state) {
    testing::Sandbox box;
    storage::Profile log = box.log(LogKind::Public);
    for (auto _ : state) {
        state.PauseTiming();
        std::remove(log.path().c_str());
        fill(log, LogKind::Public);
        state.ResumeTiming();
        storage::removeEntry(log, LogKind::Public, 0, storage::RemovalOrder::DeleteWindow);
    }
}
BENCHMARK(BM_RemoveFromAFullLog)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
