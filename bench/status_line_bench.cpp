// What one keystroke in the name box costs the window with a full table: the model takes the new text and
// the face asks for the status line again, which plans the flash from the table and the files as they are
// now. Built with -DROMCOMPILER_BENCH=ON; run build/bin/status_line_bench.
#include "form/window_model.h"
#include "full_table.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using romc::bench::fullTableFolder;
using romc::bench::NoDialogs;
namespace fs = std::filesystem;

void KeystrokeInTheNameBox(benchmark::State& state) {
    const fs::path folder = fullTableFolder("romc-status-line-bench");
    NoDialogs dialogs;
    romform::WindowModel model(dialogs, folder, std::nullopt);
    (void)model.openListFile(folder / "list.json");
    const std::vector<std::string> typed{"S", "SA", "SAG", "SAGA"};
    std::size_t next = 0;
    for (auto _ : state) {
        const auto reaction = model.textEdited(romform::ControlId::Text1, typed[next++ % typed.size()]);
        benchmark::DoNotOptimize(reaction);
        benchmark::DoNotOptimize(model.statusText());
    }
    state.counters["rows"] = static_cast<double>(model.tableState().table.rowCount());
    fs::remove_all(folder);
}
BENCHMARK(KeystrokeInTheNameBox)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
