// What splitting a save dump into 16 save files and building the save memory from them cost, against
// reading and writing the same bytes plainly through one transaction (the same syncs and renames): the
// cutting, comparing and header reading must add next to nothing. Built with -DROMCOMPILER_BENCH=ON; run
// build/bin/save_memory_bench.
#include "compile/output_transaction.h"
#include "romtable/add_rom.h"
#include "romtable/flash_units.h"
#include "saves/save_outputs.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A work folder with 16 one-block save ROMs (each declaring a whole bank), the table of them and a dump.
struct SaveFolder {
    fs::path folder = fs::temp_directory_path() / "romc-save-memory-bench";
    romc::TableState state;

    SaveFolder() {
        fs::remove_all(folder);
        fs::create_directories(folder);
        std::string rom(romc::kBlockSize, '\x5A');
        rom[0x147] = '\x03';
        rom[0x149] = '\x03';
        for (int k = 0; k < romc::kSaveBanks; ++k) {
            const std::string name = "rom" + std::to_string(k) + ".gb";
            std::ofstream(folder / name, std::ios::binary) << rom;
            bool saveBox = true;
            (void)romc::addRom(state, {name, name, folder}, saveBox);
        }
        std::string dump(romc::kSaveMemoryBytes, '\0');
        for (std::size_t i = 0; i < dump.size(); ++i) {
            dump[i] = static_cast<char>(i * 7);
        }
        std::ofstream(folder / "cart.sav", std::ios::binary) << dump;
    }
    ~SaveFolder() { fs::remove_all(folder); }
};

std::vector<char> readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The baseline: the dump read and written again as 16 bank files, one transaction.
void PlainReadAndWriteOf16Banks(benchmark::State& state) {
    SaveFolder saves;
    for (auto _ : state) {
        const auto dump = readAll(saves.folder / "cart.sav");
        romc::OutputTransaction outputs(romc::systemDisk(), saves.folder);
        for (int k = 0; k < romc::kSaveBanks; ++k) {
            auto file = outputs.add(saves.folder / ("plain" + std::to_string(k) + ".sav"));
            (void)file.value()->writeAt(0, dump.data() + k * romc::kSaveBankBytes, romc::kSaveBankBytes);
        }
        benchmark::DoNotOptimize(outputs.commit());
    }
}

// The split: the dump read and checked, cut by the headers, compared with the files there, written. The
// files are removed each time so that every run writes all of them, as the baseline does.
void SplitSaveDump(benchmark::State& state) {
    SaveFolder saves;
    for (auto _ : state) {
        state.PauseTiming();
        for (int k = 0; k < romc::kSaveBanks; ++k) {
            fs::remove(saves.folder / ("rom" + std::to_string(k) + ".sav"));
        }
        state.ResumeTiming();
        const auto dump = romc::readSaveDump(saves.folder / "cart.sav", "cart.sav");
        const auto plan = romc::planSplit(dump.value(), saves.state, saves.folder, {});
        benchmark::DoNotOptimize(romc::writeSplit(plan.value(), saves.folder));
    }
}

// The baseline of building: 16 bank files read and written as one file.
void PlainReadOf16BanksAndWriteOfOne(benchmark::State& state) {
    SaveFolder saves;
    const auto dump = romc::readSaveDump(saves.folder / "cart.sav", "cart.sav");
    (void)romc::writeSplit(romc::planSplit(dump.value(), saves.state, saves.folder, {}).value(),
                           saves.folder);
    for (auto _ : state) {
        std::vector<char> memory;
        for (int k = 0; k < romc::kSaveBanks; ++k) {
            const auto bank = readAll(saves.folder / ("rom" + std::to_string(k) + ".sav"));
            memory.insert(memory.end(), bank.begin(), bank.end());
        }
        romc::OutputTransaction outputs(romc::systemDisk(), saves.folder);
        auto file = outputs.add(saves.folder / "plain.sav");
        (void)file.value()->writeAt(0, memory.data(), memory.size());
        benchmark::DoNotOptimize(outputs.commit());
    }
}

void WriteSaveMemory(benchmark::State& state) {
    SaveFolder saves;
    const auto dump = romc::readSaveDump(saves.folder / "cart.sav", "cart.sav");
    (void)romc::writeSplit(romc::planSplit(dump.value(), saves.state, saves.folder, {}).value(),
                           saves.folder);
    for (auto _ : state) {
        const auto plan = romc::planSaveMemory(saves.state, saves.folder);
        benchmark::DoNotOptimize(
            romc::writeSaveMemory(saves.folder / "memory.sav", plan.value(), saves.folder));
    }
}

BENCHMARK(PlainReadAndWriteOf16Banks)->Unit(benchmark::kMillisecond);
BENCHMARK(SplitSaveDump)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainReadOf16BanksAndWriteOfOne)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteSaveMemory)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
