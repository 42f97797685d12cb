// Random sequences of what a user of the window can do (Add ROM with files of 1 to 256 blocks and files that
// are refused, the "Save?" box, selections, Remove ROM with and without a selected row, Clear List, Generate
// Compilation) and of what can happen to the files in between. After every step the core must agree with
// the reference model and keep every invariant; a refused action must leave the state and every file as
// they were; a compilation must leave a menu table and an image that match the table byte for byte.
//
// Seeded and reproducible: a failure prints its seed; ROMC_RANDOM_SEED and ROMC_RANDOM_STEPS rerun it.
#include "compile/compilation.h"
#include "compile/image.h"
#include "hardening/child_process.h"
#include "hardening/reference_model.h"
#include "hardening/state_checks.h"
#include "romtable/add_rom.h"
#include "romtable/row_selection.h"
#include "support/rom_files.h"

#include <cstdlib>
#include <deque>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <random>
#include <sstream>

namespace romc::hardening {
namespace {

namespace fs = std::filesystem;

constexpr int kStepsPerSeed = 1200;
constexpr std::size_t kHistory = 16;

std::uint64_t environmentNumber(const char* name, std::uint64_t fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::strtoull(text, nullptr, 10) : fallback;
}

// A file the user can pick, as the path box shows it.
struct PoolFile {
    std::string shown;
    std::string file; // in the work folder; "" for a path outside it
    PathKind kind = PathKind::Regular;
    std::uintmax_t bytes = 0;
    std::uint32_t pattern = 0;
};

// Outside changes made just before one Generate Compilation, undone right after it.
struct Disturbance {
    bool menuAway = false;
    bool menuIsFolder = false;
    std::string outputFolder;
    std::string romFile;         // a ROM of the table changed in place
    std::uintmax_t romBytes = 0; // its size now
    bool romGone = false;
    bool romIsFolder = false;
    bool plantedLink = false; // ".Output.GB.part" links to a file of someone else's
};

class RandomSession {
  public:
    explicit RandomSession(std::uint64_t seed) : random_(seed) {
        test::writeFile(folder_ / "Menu.GB", test::menuTemplate());
        test::writeFile(folder_ / "victim.bin", test::romBytes(1000, 7));
        fs::create_directory(folder_ / "sub");
        makePool();
    }

    // One user action or outside change; "" when everything still holds.
    std::string step() {
        const int dice = pick(0, 99);
        std::string broke;
        if (dice < 41) {
            broke = add(choosePoolFile());
        } else if (dice < 44) {
            broke = bulkAdd();
        } else if (dice < 56) {
            const bool ticked = !saveBox_;
            note(ticked ? "tick Save?" : "untick Save?");
            saveBox_ = saveBoxAllowed(state_, ticked);
            modelSetSaveBox(model_, ticked);
        } else if (dice < 66) {
            const auto column = pick(0, 9) < 7 ? Column::Name : static_cast<Column>(pick(1, 6));
            const int row = pick(-1, static_cast<int>(state_.table.rowCount()));
            note("select row " + std::to_string(row) + " in column " +
                 std::to_string(static_cast<int>(column) + 1));
            selectColumnRow(state_, column, row);
            modelSelect(model_, column, row);
        } else if (dice < 75) {
            broke = remove();
        } else if (dice < 80) {
            note("Clear List");
            clearList(state_);
            modelClear(model_);
        } else {
            broke = compile();
        }
        if (!broke.empty()) {
            return broke;
        }
        if (auto difference = modelDifference(model_, state_, saveBox_); !difference.empty()) {
            return "the core differs from the model: " + difference;
        }
        return stateInvariantBreak(state_);
    }

    std::string history() const {
        std::string text;
        for (const auto& line : history_) {
            text += "  " + line + "\n";
        }
        return text;
    }

    int compilations() const { return compilations_; }
    int refusals() const { return refusals_; }
    std::size_t mostRows() const { return mostRows_; }

  private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    void note(const std::string& action) {
        history_.push_back(action);
        if (history_.size() > kHistory) {
            history_.pop_front();
        }
    }

    void addPoolFile(const std::string& name, std::uintmax_t bytes) {
        const auto pattern = static_cast<std::uint32_t>(pool_.size() + 1);
        test::writeFile(folder_ / name, test::romBytes(static_cast<std::size_t>(bytes), pattern));
        pool_.push_back({name, name, PathKind::Regular, bytes, pattern});
    }

    // Every size that matters once (region and alignment edges, 1 and 256 blocks), a few more drawn at
    // random, most with an odd remainder after the last whole block; then the files that are refused.
    void makePool() {
        const int edges[] = {1, 2, 3, 31, 32, 33, 63, 64, 65, 127, 128, 129, 255, 256};
        for (int blocks : edges) {
            addPoolFile("edge" + std::to_string(blocks) + ".gb", blocks * kBlock + oddRemainder());
        }
        for (int i = 0; i < 8; ++i) {
            addPoolFile("small" + std::to_string(i) + ".gb",
                        static_cast<std::uintmax_t>(pick(1, 16)) * kBlock + oddRemainder());
        }
        for (int i = 0; i < 2; ++i) {
            addPoolFile("medium" + std::to_string(i) + ".gb",
                        static_cast<std::uintmax_t>(pick(17, 100)) * kBlock + oddRemainder());
        }
        addPoolFile("sub/nested.gb", 5 * kBlock + 3);
        addPoolFile("exact.gb", kBlock);
        const PoolFile exact = pool_.back();
        addPoolFile("forty.gb", 40000);
        pool_.push_back(
            {(folder_ / "exact.gb").string(), "exact.gb", PathKind::Regular, kBlock, exact.pattern});
        accepted_ = pool_.size();

        addPoolFile("empty.gb", 0);
        addPoolFile("tiny.gb", 1000);
        addPoolFile("short.gb", kBlock - 1);
        for (const auto& [name, bytes] : {std::pair<std::string, std::uintmax_t>{"over.gb", 257 * kBlock},
                                          {"huge.gb", std::uintmax_t{4} << 30}}) {
            test::writeFile(folder_ / name, {});
            fs::resize_file(folder_ / name, bytes); // sparse: refused by its length, never read
            pool_.push_back({name, name, PathKind::Regular, bytes, 0});
        }
        pool_.push_back({"missing.gb", "", PathKind::Missing, 0, 0});
        fs::create_directory(folder_ / "folder.gb");
        pool_.push_back({"folder.gb", "", PathKind::Folder, 0, 0});
        // Where the system has them: a FIFO (opening it would wait for a writer forever), a device, a link
        // loop.
        if (makeFifo(folder_ / "fifo.gb")) {
            pool_.push_back({"fifo.gb", "", PathKind::Special, 0, 0});
        }
        if (kPosixChildren) {
            pool_.push_back({"/dev/zero", "", PathKind::Special, 0, 0});
        }
        if (test::makeLink("loop.gb", folder_ / "loop.gb")) {
            pool_.push_back({"loop.gb", "", PathKind::Missing, 0, 0});
        }
    }

    std::uintmax_t oddRemainder() {
        return pick(0, 3) == 0 ? 0 : static_cast<std::uintmax_t>(pick(0, 16383)) * 2 + 1;
    }

    const PoolFile& choosePoolFile() {
        const int dice = pick(0, 99);
        if (dice < 12) {
            return pool_[static_cast<std::size_t>(
                pick(static_cast<int>(accepted_), static_cast<int>(pool_.size()) - 1))];
        }
        // Mostly small ROMs, so that the flash fills slowly and compilations stay quick.
        std::vector<std::size_t> fitting;
        const std::uintmax_t limit = dice < 80   ? 16 * kBlock + kBlock
                                     : dice < 95 ? 66 * kBlock
                                                 : 257 * kBlock;
        for (std::size_t i = 0; i < accepted_; ++i) {
            if (pool_[i].bytes < limit) {
                fitting.push_back(i);
            }
        }
        return pool_[fitting[static_cast<std::size_t>(pick(0, static_cast<int>(fitting.size()) - 1))]];
    }

    std::string randomName() {
        static const char* const kOdd[] = {"Pok\xC3\xA9mon",
                                           "\xE3\x82\xBC\xE3\x83\xAB\xE3\x83\x80",
                                           "bad\x80\xFF",
                                           "tab\there",
                                           "A VERY LONG GAME TITLE",
                                           ""};
        if (pick(0, 9) == 0) {
            return kOdd[pick(0, 5)];
        }
        std::string name;
        const int length = pick(0, 20);
        for (int i = 0; i < length; ++i) {
            name.push_back(static_cast<char>(pick(0x20, 0x7E)));
        }
        return name;
    }

    FileFacts factsOf(const PoolFile& file) const {
        if (file.file.empty() || file.kind != PathKind::Regular || file.file != changes_.romFile) {
            return {file.kind, file.bytes};
        }
        if (changes_.romGone) {
            return {PathKind::Missing, 0};
        }
        if (changes_.romIsFolder) {
            return {PathKind::Folder, 0};
        }
        return {PathKind::Regular, changes_.romBytes};
    }

    FileFacts factsOfPath(const std::string& shown) const {
        for (const auto& file : pool_) {
            if (file.shown == shown) {
                return factsOf(file);
            }
        }
        return {};
    }

    std::string add(const PoolFile& file) {
        const std::string name = randomName();
        note(std::string("Add ROM \"") + file.shown + "\"" + (saveBox_ ? " with Save?" : ""));
        const TableState before = state_;
        const bool boxBefore = saveBox_;
        const bool added = modelAdd(model_, name, file.shown, factsOf(file));
        const auto refusal = addRom(state_, {name, file.shown, folder_.path()}, saveBox_);
        mostRows_ = std::max(mostRows_, state_.table.rowCount());
        if (added == refusal.has_value()) {
            return refusal ? "refused (" + refusal->message + "), the model adds it"
                           : "added, the model refuses it";
        }
        if (!refusal) {
            return {};
        }
        ++refusals_;
        if (refusal->message.find("\"" + file.shown + "\"") == std::string::npos) {
            return "the refusal does not name the file: " + refusal->message;
        }
        if (auto changed = stateDifference(before, state_); !changed.empty()) {
            return "a refused Add ROM changed the state: " + changed;
        }
        return saveBox_ == boxBefore ? std::string{} : "a refused Add ROM changed the Save? box";
    }

    // Many small ROMs at once, so that tables of more than 255 rows are reached now and then.
    std::string bulkAdd() {
        const int count = pick(30, 90);
        for (int i = 0; i < count; ++i) {
            if (auto broke = add(pool_[static_cast<std::size_t>(pick(14, 21))]); !broke.empty()) {
                return broke;
            }
        }
        return {};
    }

    std::string remove() {
        if (model_.compiled) {
            return {}; // "Remove ROM" is off after a compilation
        }
        note("Remove ROM (name column selects " + std::to_string(state_.selectedRow[0]) + ")");
        const TableState before = state_;
        const bool removed = removeRom(state_);
        if (removed != modelRemove(model_)) {
            return removed ? "removed a row, the model has none selected"
                           : "removed nothing, the model removes a row";
        }
        if (!removed) {
            if (auto changed = stateDifference(before, state_); !changed.empty()) {
                return "Remove ROM without a selected row changed the state: " + changed;
            }
        }
        return {};
    }

    void disturb() {
        std::error_code ignored;
        switch (pick(0, 5)) {
        case 0:
            changes_.menuIsFolder = pick(0, 1) == 1;
            changes_.menuAway = !changes_.menuIsFolder;
            fs::rename(folder_ / "Menu.GB", folder_ / "Menu.away");
            if (changes_.menuIsFolder) {
                fs::create_directory(folder_ / "Menu.GB");
            }
            note(changes_.menuIsFolder ? "outside: Menu.GB becomes a folder" : "outside: Menu.GB removed");
            return;
        case 1: {
            const std::string name = pick(0, 1) == 0 ? "Output.GB" : pieceName(pick(1, 4));
            if (!fs::exists(folder_ / name)) {
                fs::create_directory(folder_ / name);
                changes_.outputFolder = name;
                note("outside: a folder named " + name);
            }
            return;
        }
        case 2:
            // Where links can be made; elsewhere nothing is disturbed this time.
            if (test::makeLink(folder_ / "victim.bin", folder_ / ".Output.GB.part")) {
                changes_.plantedLink = true;
                note("outside: .Output.GB.part links to victim.bin");
            }
            return;
        default:
            break;
        }
        if (state_.table.rowCount() == 0) {
            return;
        }
        const std::string& shown = state_.table.text(
            static_cast<std::size_t>(pick(0, static_cast<int>(state_.table.rowCount()) - 1)), Column::File);
        const PoolFile* file = nullptr;
        for (const auto& candidate : pool_) {
            file = candidate.shown == shown ? &candidate : file;
        }
        changes_.romFile = file->file;
        const fs::path path = folder_ / file->file;
        switch (pick(0, 4)) {
        case 0:
            fs::remove(path);
            changes_.romGone = true;
            note("outside: " + file->file + " deleted");
            return;
        case 1:
            fs::remove(path);
            fs::create_directory(path);
            changes_.romIsFolder = true;
            note("outside: " + file->file + " replaced by a folder");
            return;
        default: {
            const std::uintmax_t sizes[] = {file->bytes + 10, file->bytes + kBlock,
                                            file->bytes >= kBlock ? file->bytes - kBlock : 0};
            changes_.romBytes = sizes[pick(0, 2)];
            fs::resize_file(path, changes_.romBytes);
            note("outside: " + file->file + " resized to " + std::to_string(changes_.romBytes) + " bytes");
        }
        }
    }

    // Undoes the outside changes; the victim of a planted link must be as it was.
    std::string undisturb() {
        std::error_code ignored;
        if (changes_.menuIsFolder) {
            fs::remove(folder_ / "Menu.GB");
        }
        if (changes_.menuAway || changes_.menuIsFolder) {
            fs::rename(folder_ / "Menu.away", folder_ / "Menu.GB");
        }
        if (!changes_.outputFolder.empty()) {
            fs::remove(folder_ / changes_.outputFolder);
        }
        if (!changes_.romFile.empty()) {
            for (const auto& file : pool_) {
                if (file.file == changes_.romFile && file.shown == file.file) {
                    fs::remove(folder_ / file.file, ignored);
                    test::writeFile(folder_ / file.file,
                                    test::romBytes(static_cast<std::size_t>(file.bytes), file.pattern));
                }
            }
        }
        std::string broke;
        if (changes_.plantedLink) {
            if (test::readFile(folder_ / "victim.bin") != test::romBytes(1000, 7)) {
                broke = "the file behind a planted \".Output.GB.part\" link was written";
            }
            fs::remove(folder_ / ".Output.GB.part", ignored);
        }
        changes_ = {};
        return broke;
    }

    std::string compile() {
        if (model_.compiled) {
            return {}; // "Generate Compilation" is off until Clear List
        }
        if (pick(0, 3) == 0) {
            disturb();
        }
        const bool dryRun = pick(0, 3) == 0;
        note(dryRun ? "Generate Compilation (dry run, on a copy)" : "Generate Compilation");
        const auto marks = folderMarks(folder_.path());
        const Bytes menuBefore = test::readFile(folder_ / "Menu.GB");
        const CompileFacts facts{!changes_.menuAway && !changes_.menuIsFolder, changes_.outputFolder,
                                 [this](const std::string& path) { return factsOfPath(path); }};
        std::string broke = dryRun ? compileDry(facts, marks) : compileForReal(facts, marks, menuBefore);
        const std::string undone = undisturb();
        return broke.empty() ? undone : broke;
    }

    std::string checkRefusal(const Refusal& failure, const std::vector<std::string>& causes,
                             const TableState& before, const TableState& after, const FolderMarks& marks) {
        ++refusals_;
        bool named = false;
        for (const auto& cause : causes) {
            named = named || failure->message.find(cause) != std::string::npos;
        }
        if (!named) {
            return "the refusal \"" + failure->message + "\" names none of the causes, such as " +
                   causes.front();
        }
        if (auto changed = stateDifference(before, after); !changed.empty()) {
            return "a refused compilation changed the state: " + changed;
        }
        if (auto changed = folderDifference(marks, folderMarks(folder_.path())); !changed.empty()) {
            return "a refused compilation changed a file: " + changed;
        }
        return {};
    }

    std::string compileDry(const CompileFacts& facts, const FolderMarks& marks) {
        TableState copy = state_;
        Model model = model_;
        const auto failure = generateCompilation(copy, {folder_.path(), true});
        const auto causes = modelCompile(model, facts);
        if (failure.has_value() == causes.empty()) {
            return failure ? "refused (" + failure->message + "), the model compiles"
                           : "compiled, the model refuses: " + causes.front();
        }
        if (failure) {
            return checkRefusal(failure, causes, state_, copy, marks);
        }
        if (auto difference = modelDifference(model, copy, saveBox_); !difference.empty()) {
            return "after a dry run the core differs from the model: " + difference;
        }
        if (auto overlap = listedOverlapBreak(copy.table); !overlap.empty()) {
            return overlap;
        }
        if (auto changed = folderDifference(marks, folderMarks(folder_.path())); !changed.empty()) {
            return "a dry run changed a file: " + changed;
        }
        return {};
    }

    std::string compileForReal(const CompileFacts& facts, const FolderMarks& marks, const Bytes& menuBefore) {
        const TableState before = state_;
        const auto failure = generateCompilation(state_, {folder_.path(), false});
        const auto causes = modelCompile(model_, facts);
        if (failure.has_value() == causes.empty()) {
            return failure ? "refused (" + failure->message + "), the model compiles"
                           : "compiled, the model refuses: " + causes.front();
        }
        if (failure) {
            return checkRefusal(failure, causes, before, state_, marks);
        }
        ++compilations_;
        if (auto broke = compiledOutputBreak(state_, folder_.path(), menuBefore); !broke.empty()) {
            return broke;
        }
        // Pieces beyond the image's end go with the compilation: flashing them would write stale data.
        const int pieces = expectedPieces(fs::file_size(folder_ / "Output.GB"));
        for (int k = pieces + 1; k <= 4; ++k) {
            if (fs::exists(folder_ / pieceName(k))) {
                return "\"" + pieceName(k) + "\", beyond the image, was left in place";
            }
        }
        return {};
    }

    test::ScratchFolder folder_;
    std::mt19937_64 random_;
    std::vector<PoolFile> pool_;
    std::size_t accepted_ = 0;
    TableState state_;
    Model model_;
    bool saveBox_ = false;
    Disturbance changes_;
    std::deque<std::string> history_;
    int compilations_ = 0;
    int refusals_ = 0;
    std::size_t mostRows_ = 0;
};

class RandomActions : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(RandomActions, KeepEveryInvariantAndRefuseWithoutChanges) {
    const std::uint64_t seed = environmentNumber("ROMC_RANDOM_SEED", GetParam());
    const auto steps = static_cast<int>(environmentNumber("ROMC_RANDOM_STEPS", kStepsPerSeed));
    RecordProperty("seed", std::to_string(seed));
    RandomSession session(seed);
    for (int step = 1; step <= steps; ++step) {
        const std::string broke = session.step();
        ASSERT_EQ(broke, "") << "seed " << seed << ", step " << step << " of " << steps << "; last actions:\n"
                             << session.history() << "rerun with ROMC_RANDOM_SEED=" << seed
                             << " ROMC_RANDOM_STEPS=" << step << " and --gtest_filter='RandomActions.*/0'";
    }
    std::cout << "seed " << seed << ": " << steps << " steps, " << session.compilations()
              << " compilations written, " << session.refusals() << " refusals, at most "
              << session.mostRows() << " rows\n";
    // The run must have reached what it is for, or it proves little.
    EXPECT_GT(session.compilations(), 10) << "seed " << seed;
    EXPECT_GT(session.refusals(), 10) << "seed " << seed;
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomActions, ::testing::Values(20261207u, 4242u, 777u));

} // namespace
} // namespace romc::hardening
