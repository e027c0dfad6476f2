// The due check over three full logs, and a removal from a full log.

#include "duecheck.h"
#include "logbook.h"
#include "sandbox.h"

#include <benchmark/benchmark.h>

using namespace kv;
using storage::LogKind;

namespace {

void fill(storage::Profile log, LogKind kind) {
    for (int i = 0; i < storage::kSlots; ++i)
        storage::addEntry(log, kind, testing::entry("entry " + std::to_string(i), "2000-01-02",
                                                    kind == LogKind::Private ? "" : "rok",
                                                    "wszyscy"));
}

void BM_DueCheckThreeFullLogs(benchmark::State& state) {
    testing::Sandbox box;
    for (LogKind k : {LogKind::Private, LogKind::Static, LogKind::Public}) fill(box.log(k), k);
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
BENCHMARK(BM_DueCheckThreeFullLogs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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
