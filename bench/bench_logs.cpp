// The due check over three full logs (51 entries, and 51 entries of 75 KB
// each: 3.8 MB a log, just under the bound of a log); adding, rewriting and removing an entry of a
// full log (each one atomic write); the editor's list rebuild over three full logs and the editor
// opened on them until its lists are filled.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTreeWidget>
#include <QtTest>

#include "duecheck.h"
#include "logbook.h"
#include "recordingopener.h"
#include "recordingservices.h"
#include "sandbox.h"
#include "tedytor.h"

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
                        {[] { return QDateTime(QDate(2026, 5, 17), QTime(8, 0)); },
                         [](bool, int, const std::string&) {},
                         [](int, LogKind, const storage::StoredEntry&, const std::string&) {
                             return desktop::NotificationAnswer{};
                         }});
    for (auto _ : state) {
        if (state.range(0) == 0)
            check.dayRound(true);
        else
            check.periodicCheck();
    }
}
BENCHMARK(BM_DueCheckThreeFullLogs)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 75000})
    ->Args({1, 75000})
    ->Unit(benchmark::kMillisecond);

void fillAll(const testing::Sandbox& box) {
    for (LogKind k : {LogKind::Private, LogKind::Static, LogKind::Public}) fill(box.log(k), k);
}

void BM_EditorListRebuildThreeFullLogs(benchmark::State& state) {
    testing::Sandbox box;
    fillAll(box);
    testing::RecordingServices services;
    testing::RecordingOpener opener;
    editor::Tedytor editor(services.services, opener);
    editor.show();
    if (!QTest::qWaitFor([&] { return editor.opened(); })) state.SkipWithError("never opened");
    for (auto _ : state) editor.rebuildLists();
    if (editor.findChild<QTreeWidget*>("lista_glowna")->topLevelItemCount() != storage::kSlots)
        state.SkipWithError("the lists are not full");
}
BENCHMARK(BM_EditorListRebuildThreeFullLogs)->Unit(benchmark::kMillisecond);

// From the tray's command to three filled lists on screen.
void BM_EditorOpensWithThreeFullLogs(benchmark::State& state) {
    testing::Sandbox box;
    fillAll(box);
    testing::RecordingServices services;
    testing::RecordingOpener opener;
    for (auto _ : state) {
        editor::Tedytor editor(services.services, opener);
        editor.show();
        auto* list = editor.findChild<QTreeWidget*>("lista_glowna");
        while (list->topLevelItemCount() < storage::kSlots) QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_EditorOpensWithThreeFullLogs)->Unit(benchmark::kMillisecond);

// Each change is one locked read, one write beside the log and one rename.
void BM_AddRewriteRemoveInAFullLog(benchmark::State& state) {
    testing::Sandbox box;
    storage::Profile log = box.log(LogKind::Public);
    fill(log, LogKind::Public);
    storage::removeEntry(log, LogKind::Public, 50, storage::RemovalOrder::DeleteWindow);
    storage::EntryData e = testing::entry("changed", "2001-01-01", "rok", "wszyscy");
    int round = 0;
    for (auto _ : state) {
        e.tytul = "changed " + std::to_string(++round);  // every rewrite really writes
        switch (state.range(0)) {
            case 0:
                storage::addEntry(log, LogKind::Public, e);
                state.PauseTiming();
                storage::removeEntry(log, LogKind::Public, 50, storage::RemovalOrder::DeleteWindow);
                state.ResumeTiming();
                break;
            case 1:
                storage::rewriteEntry(log, LogKind::Public, 25, e);
                break;
            default:
                storage::removeEntry(log, LogKind::Public, 0, storage::RemovalOrder::DeleteWindow);
                state.PauseTiming();
                storage::addEntry(log, LogKind::Public, e);
                state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_AddRewriteRemoveInAFullLog)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

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

int main(int argc, char** argv) {
    // The editor benchmarks need no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
