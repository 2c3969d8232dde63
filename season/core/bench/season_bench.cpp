// Detection and apply on generated trees of generic add-on folders (plus the whole
// catalogue), at several sizes, so that the cost per folder can be compared.
#include "apply.h"
#include "detection.h"
#include "sample_tree.h"

#include "platform/files.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace {

// One generated tree per size, made on first use and removed at exit.
class Trees {
public:
    explicit Trees(std::string name) : name_(std::move(name)) {}
    ~Trees() {
        for (const auto& [n, path] : trees_) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }

    const std::string& Get(int folders) {
        auto it = trees_.find(folders);
        if (it != trees_.end())
            return it->second;
        std::string base = platform::TempFolder() + name_ + "-" + std::to_string(folders) + "/";
        std::error_code ignored;
        std::filesystem::remove_all(base, ignored);
        platform::MakeFolders(base);
        testing_support::LayOutCatalogue(base);
        for (int i = 0; i < folders; ++i)
            testing_support::LayOutGenericAddon(base, "Addon " + std::to_string(100000 + i));
        return trees_.emplace(folders, base).first->second;
    }

private:
    std::string name_;
    std::map<int, std::string> trees_;
};

Trees& AllTrees() {
    static Trees trees("season-bench");
    return trees;
}

// Trees that keep the guarded row's guard file and season folders.
Trees& GuardedTrees() {
    static Trees trees("season-bench-guarded");
    return trees;
}

void PerFolder(benchmark::State& state, int folders) {
    state.SetComplexityN(folders);
    state.counters["folders"] = folders;
    state.counters["per_folder"] = benchmark::Counter(
        folders, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Detection(benchmark::State& state) {
    const int folders = static_cast<int>(state.range(0));
    const std::string& base = AllTrees().Get(folders);
    for (auto _ : state) {
        season::SwitcherState s;
        s.BaseFolder = base;
        season::ScanSubFolders(s);
        season::ProbeCatalogue(s);
        benchmark::DoNotOptimize(s.AddonList.data());
    }
    PerFolder(state, folders);
}

void BM_ApplyWinter(benchmark::State& state) {
    const int folders = static_cast<int>(state.range(0));
    const std::string& base = AllTrees().Get(folders);
    season::SwitcherState s;
    s.BaseFolder = base;
    season::ScanSubFolders(s);
    season::ProbeCatalogue(s);
    // The guarded row would copy its folder once per entry; leave its guard out so
    // that the figures show the per-folder work of the generic rule.
    std::filesystem::remove_all(base + "Brenholt");
    s.seasons.SeasonIndex = season::kWinter;
    for (auto _ : state)
        season::ApplySeason(s, {});
    PerFolder(state, folders);
}

// A whole winter run on a tree whose guarded row has its season folder: the row's
// folder copy is part of the run, with every catalogue add-on detected.
void BM_ApplyWinterWithGuardedRow(benchmark::State& state) {
    const int folders = static_cast<int>(state.range(0));
    const std::string& base = GuardedTrees().Get(folders);
    season::SwitcherState s;
    s.BaseFolder = base;
    season::ScanSubFolders(s);
    season::ProbeCatalogue(s);
    s.seasons.SeasonIndex = season::kWinter;
    season::ApplyResult last;
    for (auto _ : state)
        last = season::ApplySeason(s, {});
    PerFolder(state, folders);
    state.counters["operations"] = static_cast<double>(last.total);
    state.counters["failures"] = static_cast<double>(last.failures);
}

} // namespace

BENCHMARK(BM_ApplyWinterWithGuardedRow)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Detection)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyWinter)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
