// What one keystroke in the name box costs the window with a full table: the model takes the new text and
// the face asks for the status line again, which plans the flash from the table and the files as they are
// now. Built with -DROMCOMPILER_BENCH=ON; run build/bin/status_line_bench.
#include "form/window_model.h"
#include "romtable/flash_units.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kRows = 255; // the most the menu holds

class NoDialogs : public romform::ModalDialogs {
  public:
    std::vector<std::string> pickFiles(const romform::FileDialog&) override { return {}; }
    romform::Choice ask(const romform::Question& question) override { return question.escapeChoice; }
};

void writeBytes(const fs::path& path, std::size_t bytes) {
    std::ofstream(path, std::ios::binary) << std::string(bytes, '\x5A');
}

// A work folder with "Menu.GB", 255 one-block ROMs and the list of them, every tenth with save memory.
fs::path fullTableFolder() {
    const fs::path folder = fs::temp_directory_path() / "romc-status-line-bench";
    fs::remove_all(folder);
    fs::create_directories(folder);
    writeBytes(folder / "Menu.GB", romc::kBlockSize);
    std::ofstream list(folder / "list.json");
    list << "{\"romcompiler-list\": 1, \"roms\": [";
    for (int i = 0; i < kRows; ++i) {
        const std::string name = "rom" + std::to_string(i) + ".gb";
        writeBytes(folder / name, romc::kBlockSize);
        list << (i == 0 ? "" : ",") << "{\"file\": \"" << name
             << "\", \"save\": " << (i % 10 == 0 ? "true" : "false") << "}";
    }
    list << "]}";
    return folder;
}

void KeystrokeInTheNameBox(benchmark::State& state) {
    const fs::path folder = fullTableFolder();
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
