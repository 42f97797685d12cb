// Fuzzes the whole road of a compilation: the input is a list of user actions (Add ROM with a typed name
// and one of a fixed set of files, the "Save?" box, selections, Remove ROM, Clear List, Generate
// Compilation) and of outside changes to the files in between. The core and the reference model run side
// by side: after every action their states must agree and every invariant hold, a refused action must
// change nothing, and a compilation must leave a menu table and image that match the table byte for byte.
#include "compile/compilation.h"
#include "hardening/reference_model.h"
#include "hardening/state_checks.h"
#include "romtable/add_rom.h"
#include "romtable/row_selection.h"
#include "support/rom_files.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fuzzer/FuzzedDataProvider.h>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace romc;
using namespace romc::hardening;

namespace {

constexpr std::uintmax_t kBlock = 32768;
constexpr int kMaxActions = 160;
constexpr int kMaxWrittenCompilations = 2; // each one writes at least an 8 MiB piece

// A ROM the user can pick: the text of the path box and the file in the work folder behind it.
struct PoolFile {
    std::string shown;
    std::string file; // name in the work folder, "" for a path outside it
    PathKind kind;
    std::uintmax_t bytes;
    std::uint32_t seed;
};

struct Workbench {
    fs::path folder;
    std::vector<PoolFile> pool;
    Bytes menuTemplate;
};

Workbench* bench = nullptr;

void writeBytes(const fs::path& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
        std::fclose(file) != 0) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::abort();
    }
}

Bytes romContents(std::uintmax_t bytes, std::uint32_t seed) {
    Bytes data(static_cast<std::size_t>(bytes));
    std::uint32_t state = seed * 2654435761u + 1;
    for (auto& byte : data) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return data;
}

void removeWorkFolder() {
    std::error_code ignored;
    fs::remove_all(bench->folder, ignored);
}

// One folder per fuzzing process, made once and reused by every input; in memory when /dev/shm is there.
Workbench& workbench() {
    if (bench != nullptr) {
        return *bench;
    }
    bench = new Workbench;
    std::error_code error;
    const fs::path base =
        fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
    bench->folder = base / ("romc-fuzz-" + std::to_string(::getpid()));
    fs::remove_all(bench->folder, error);
    fs::create_directories(bench->folder);
    std::atexit(removeWorkFolder);

    // Mostly small ROMs, each size once, with odd remainders; a few reach the limits.
    const std::pair<const char*, std::uintmax_t> roms[] = {
        {"a.gb", kBlock},
        {"b.gb", 40000},
        {"c.gb", 2 * kBlock + 1},
        {"d.gb", 3 * kBlock},
        {"e.gb", 4 * kBlock + 100},
        {"f.gb", 8 * kBlock},
        {"g.gb", 16 * kBlock + 5},
        {"h.gb", 31 * kBlock},
        {"i.gb", 32 * kBlock},
        {"j.gb", 33 * kBlock + 1},
        {"k.gb", 63 * kBlock},
        {"l.gb", 64 * kBlock},
        {"m.gb", 65 * kBlock},
        {"n.gb", 128 * kBlock},
        {"o.gb", 200 * kBlock + 3},
        {"p.gb", 256 * kBlock + 77},
        {"empty.gb", 0},
        {"short.gb", kBlock - 1},
    };
    std::uint32_t seed = 1;
    for (const auto& [name, bytes] : roms) {
        writeBytes(bench->folder / name, romContents(bytes, seed));
        bench->pool.push_back({name, name, PathKind::Regular, bytes, seed++});
    }
    bench->pool.push_back({(bench->folder / "a.gb").string(), "a.gb", PathKind::Regular, kBlock, 1});
    writeBytes(bench->folder / "big.gb", {});
    fs::resize_file(bench->folder / "big.gb", 257 * kBlock); // sparse: refused by its length alone
    bench->pool.push_back({"big.gb", "big.gb", PathKind::Regular, 257 * kBlock, 0});
    bench->pool.push_back({"missing.gb", "missing.gb", PathKind::Missing, 0, 0});
    fs::create_directory(bench->folder / "folder.gb");
    bench->pool.push_back({"folder.gb", "folder.gb", PathKind::Folder, 0, 0});
    ::mkfifo((bench->folder / "fifo.gb").c_str(), 0600); // opening it would wait for a writer forever
    bench->pool.push_back({"fifo.gb", "fifo.gb", PathKind::Special, 0, 0});
    bench->pool.push_back({"/dev/zero", "", PathKind::Special, 0, 0});

    bench->menuTemplate = romContents(kBlock, 0xC0FFEE);
    return *bench;
}

[[noreturn]] void broken(const std::string& what, const std::string& action) {
    std::fprintf(stderr, "\nBROKEN after %s: %s\n", action.c_str(), what.c_str());
    std::abort();
}

// Outside changes made during one input, undone before the next.
struct Disturbance {
    bool menuAway = false;
    bool menuIsFolder = false;
    std::string outputFolder;                      // an output name with a folder in its place
    std::map<std::string, std::uintmax_t> resized; // work-folder file -> its size now
    std::map<std::string, bool> removed;
};

class Session {
  public:
    explicit Session(Workbench& wb) : wb_(wb) {
        std::error_code ignored;
        for (const char* name : {"Output.GB", "Output1.GB", "Output2.GB", "Output3.GB", "Output4.GB"}) {
            fs::remove(wb_.folder / name, ignored);
        }
        writeBytes(wb_.folder / "Menu.GB", wb_.menuTemplate);
    }

    ~Session() {
        std::error_code ignored;
        if (changes_.menuIsFolder) {
            fs::remove(wb_.folder / "Menu.GB", ignored);
        }
        if (changes_.menuAway || changes_.menuIsFolder) {
            fs::rename(wb_.folder / "Menu.away", wb_.folder / "Menu.GB", ignored);
        }
        if (!changes_.outputFolder.empty()) {
            fs::remove(wb_.folder / changes_.outputFolder, ignored);
        }
        for (const auto& file : wb_.pool) {
            if (changes_.resized.count(file.file) != 0 || changes_.removed.count(file.file) != 0) {
                fs::remove(wb_.folder / (file.file + ".away"), ignored);
                writeBytes(wb_.folder / file.file, romContents(file.bytes, file.seed));
            }
        }
    }

    void run(FuzzedDataProvider& input) {
        for (int action = 0; action < kMaxActions && input.remaining_bytes() > 0; ++action) {
            step(input);
            if (auto difference = modelDifference(model_, state_, saveBox_); !difference.empty()) {
                broken("the core and the model differ: " + difference, last_);
            }
            if (auto broke = stateInvariantBreak(state_); !broke.empty()) {
                broken(broke, last_);
            }
        }
    }

  private:
    FileFacts factsOf(const PoolFile& file) const {
        if (file.file.empty() || file.kind != PathKind::Regular) {
            return {file.kind, file.bytes};
        }
        if (changes_.removed.count(file.file) != 0) {
            return {PathKind::Missing, 0};
        }
        const auto resized = changes_.resized.find(file.file);
        return {PathKind::Regular, resized == changes_.resized.end() ? file.bytes : resized->second};
    }

    FileFacts factsOfPath(const std::string& shown) const {
        for (const auto& file : wb_.pool) {
            if (file.shown == shown) {
                return factsOf(file);
            }
        }
        return {};
    }

    CompileFacts compileFacts() const {
        return {!changes_.menuAway && !changes_.menuIsFolder, changes_.outputFolder,
                [this](const std::string& path) { return factsOfPath(path); }};
    }

    void step(FuzzedDataProvider& input) {
        switch (input.ConsumeIntegralInRange(0, 9)) {
        case 0:
        case 1:
        case 2:
            return add(input);
        case 3: {
            const bool ticked = input.ConsumeBool();
            last_ = ticked ? "ticking Save?" : "unticking Save?";
            saveBox_ = saveBoxAllowed(state_, ticked);
            modelSetSaveBox(model_, ticked);
            return;
        }
        case 4: {
            const auto column = static_cast<Column>(input.ConsumeIntegralInRange(0, 6));
            const int row = input.ConsumeIntegralInRange(-1, static_cast<int>(state_.table.rowCount()));
            last_ = "selecting row " + std::to_string(row) + " of column " +
                    std::to_string(static_cast<int>(column));
            selectColumnRow(state_, column, row);
            modelSelect(model_, column, row);
            return;
        }
        case 5:
            return remove();
        case 6:
            last_ = "Clear List";
            clearList(state_);
            modelClear(model_);
            return;
        case 7:
        case 8:
            return compile(input.ConsumeBool());
        default:
            return disturb(input);
        }
    }

    void add(FuzzedDataProvider& input) {
        const auto& file = wb_.pool[input.ConsumeIntegralInRange<std::size_t>(0, wb_.pool.size() - 1)];
        const std::string name = input.ConsumeRandomLengthString(24);
        last_ = "Add ROM \"" + file.shown + "\"";
        const TableState before = state_;
        const bool boxBefore = saveBox_;
        const auto marks = folderMarks(wb_.folder);
        const auto refusal = addRom(state_, {name, file.shown, wb_.folder}, saveBox_);
        const bool added = modelAdd(model_, name, file.shown, factsOf(file));
        if (added == refusal.has_value()) {
            broken(refusal ? "refused: " + refusal->message : "added, the model refuses it", last_);
        }
        if (refusal) {
            expectUnchanged(before, boxBefore, marks);
            if (refusal->message.find(file.shown) == std::string::npos) {
                broken("the message does not name the file: " + refusal->message, last_);
            }
        }
    }

    void remove() {
        if (model_.compiled) {
            return; // the button is off after a compilation
        }
        last_ = "Remove ROM";
        const TableState before = state_;
        const bool removed = removeRom(state_);
        if (removed != modelRemove(model_)) {
            broken("Remove ROM disagrees with the model", last_);
        }
        if (!removed && !stateDifference(before, state_).empty()) {
            broken("Remove ROM without a selected row changed " + stateDifference(before, state_), last_);
        }
    }

    void compile(bool writeFiles) {
        if (model_.compiled) {
            return;
        }
        const bool dryRun = !writeFiles || written_ >= kMaxWrittenCompilations;
        last_ = dryRun ? "Generate Compilation (dry run)" : "Generate Compilation";
        const TableState before = state_;
        const auto marks = folderMarks(wb_.folder);
        const Bytes menuBefore = test::readFile(wb_.folder / "Menu.GB");
        const auto failure = generateCompilation(state_, {wb_.folder, dryRun});
        const auto causes = modelCompile(model_, compileFacts());
        if (failure.has_value() == causes.empty()) {
            broken(failure ? "refused: " + failure->message
                           : "compiled, the model expects: " + causes.front(),
                   last_);
        }
        if (failure) {
            expectUnchanged(before, saveBox_, marks);
            bool named = false;
            for (const auto& cause : causes) {
                named = named || failure->message.find(cause) != std::string::npos;
            }
            if (!named) {
                broken("the message names none of the causes (first: " + causes.front() +
                           "): " + failure->message,
                       last_);
            }
            return;
        }
        if (auto overlap = listedOverlapBreak(state_.table); !overlap.empty()) {
            broken(overlap, last_);
        }
        if (dryRun) {
            if (auto changed = folderDifference(marks, folderMarks(wb_.folder)); !changed.empty()) {
                broken("a dry run wrote: " + changed, last_);
            }
            return;
        }
        ++written_;
        if (auto broke = compiledOutputBreak(state_, wb_.folder, menuBefore); !broke.empty()) {
            broken(broke, last_);
        }
    }

    void disturb(FuzzedDataProvider& input) {
        std::error_code ignored;
        switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0:
            if (!changes_.menuAway && !changes_.menuIsFolder) {
                last_ = "moving Menu.GB away";
                fs::rename(wb_.folder / "Menu.GB", wb_.folder / "Menu.away");
                changes_.menuIsFolder = input.ConsumeBool();
                changes_.menuAway = !changes_.menuIsFolder;
                if (changes_.menuIsFolder) {
                    fs::create_directory(wb_.folder / "Menu.GB");
                }
            }
            return;
        case 1:
            if (changes_.outputFolder.empty()) {
                const std::string name = input.ConsumeBool() ? "Output.GB" : "Output3.GB";
                last_ = "a folder named " + name;
                fs::remove(wb_.folder / name, ignored);
                fs::create_directory(wb_.folder / name);
                changes_.outputFolder = name;
            }
            return;
        default: {
            const auto& file = wb_.pool[input.ConsumeIntegralInRange<std::size_t>(0, 15)];
            const int how = input.ConsumeIntegralInRange(0, 3);
            if (how == 0) {
                last_ = "removing " + file.file;
                fs::rename(wb_.folder / file.file, wb_.folder / (file.file + ".away"), ignored);
                changes_.removed[file.file] = true;
                return;
            }
            if (changes_.removed.count(file.file) != 0) {
                return;
            }
            const std::uintmax_t now = factsOf(file).bytes;
            const std::uintmax_t size = how == 1   ? now + 10
                                        : how == 2 ? now + kBlock
                                                   : (now >= kBlock ? now - kBlock : 0);
            last_ = "resizing " + file.file + " to " + std::to_string(size);
            fs::resize_file(wb_.folder / file.file, size);
            changes_.resized[file.file] = size;
            return;
        }
        }
    }

    void expectUnchanged(const TableState& before, bool boxBefore, const FolderMarks& marks) {
        if (auto changed = stateDifference(before, state_); !changed.empty()) {
            broken("a refused action changed the state: " + changed, last_);
        }
        if (saveBox_ != boxBefore) {
            broken("a refused action changed the Save? box", last_);
        }
        if (auto changed = folderDifference(marks, folderMarks(wb_.folder)); !changed.empty()) {
            broken("a refused action changed a file: " + changed, last_);
        }
    }

    Workbench& wb_;
    TableState state_;
    Model model_;
    bool saveBox_ = false;
    int written_ = 0;
    Disturbance changes_;
    std::string last_ = "start";
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    Session session(workbench());
    session.run(input);
    return 0;
}
