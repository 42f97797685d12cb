// Faults put in the way of a compilation on purpose: a full disk, a missing or odd "Menu.GB", ROM files
// changed after Add ROM, output names taken by folders or by links someone planted, ROM paths that name a
// pipe, a device, a folder or a sparse giant. Each must end in a clear message naming the file and the
// reason, with no half-written file under an output name and no temporary file left behind.
#include "compile/compilation.h"
#include "compile/image.h"
#include "hardening/child_process.h"
#include "hardening/state_checks.h"
#include "romtable/add_rom.h"
#include "romtable/rom_file.h"
#include "support/rom_files.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace romc::hardening {
namespace {

namespace fs = std::filesystem;
constexpr std::size_t kMiB = 1024 * 1024;

class Faults : public ::testing::Test {
  public:
    void SetUp() override { test::writeFile(folder / "Menu.GB", test::menuTemplate()); }

    std::string rom(const std::string& name, std::size_t bytes) {
        test::makeRom(folder.path(), name, bytes, ++roms_);
        return name;
    }

    void addOk(const std::string& path, bool save = false) {
        bool box = saveBoxAllowed(state, save);
        const auto refusal = addRom(state, {"game", path, folder.path()}, box);
        ASSERT_FALSE(refusal) << refusal->message;
    }

    // A compilation that must be refused with a message holding every one of `words`, changing nothing.
    void expectRefusedUnchanged(const std::vector<std::string>& words) {
        const TableState before = state;
        const auto marks = folderMarks(folder.path());
        const auto failure = generateCompilation(state, {folder.path(), false});
        ASSERT_TRUE(failure) << "compiled";
        for (const auto& word : words) {
            EXPECT_NE(failure->message.find(word), std::string::npos)
                << failure->message << "\nlacks: " << word;
        }
        EXPECT_EQ(stateDifference(before, state), "");
        EXPECT_EQ(folderDifference(marks, folderMarks(folder.path())), "");
    }

    // A first compilation whose outputs a failed later one must leave as they are.
    void compileEarlierOutputs() {
        addOk(rom("first.gb", 4 * kBlockSize));
        ASSERT_FALSE(generateCompilation(state, {folder.path(), false}));
        clearList(state);
    }

    test::ScratchFolder folder;
    TableState state;

  private:
    std::uint32_t roms_ = 0;
};

// A case of a table that skips, naming why, where it needs what only POSIX gives (its `needs`).
template <class Case> class CaseOfFaults : public Faults, public ::testing::WithParamInterface<Case> {
  public:
    void SetUp() override {
        if (this->GetParam().needs != nullptr && !kPosixChildren) {
            GTEST_SKIP() << this->GetParam().needs << kOnlyOnPosix;
        }
        Faults::SetUp();
    }
};

// ---- A full disk, stood in for by a file-size limit in a child process ----

struct DiskFullCase {
    const char* label;
    std::size_t romBytes;      // one ROM without save memory, placed at the block its size gives
    std::uintmax_t limitBytes; // no file may grow past this
    const char* failingFile;
};

class DiskFull : public Faults, public ::testing::WithParamInterface<DiskFullCase> {};

TEST_P(DiskFull, WriteFailsWithTheFileAndReasonAndKeepsEverythingAsItWas) {
    if (!kPosixChildren) {
        GTEST_SKIP() << "a file-size limit" << kOnlyOnPosix;
    }
    const auto& c = GetParam();
    compileEarlierOutputs();
    const Bytes menuBefore = test::readFile(folder / "Menu.GB");
    const Bytes imageBefore = test::readFile(folder / "Output.GB");
    const Bytes pieceBefore = test::readFile(folder / "Output1.GB");
    rom("big.gb", c.romBytes);

    CliConditions limited;
    limited.fileSizeLimit = c.limitBytes;
    const auto outcome = runCli({"-C", folder.path().string(), "big.gb"}, limited);
    ASSERT_TRUE(outcome.exited) << "killed by signal " << outcome.status;
    EXPECT_EQ(outcome.status, 1) << outcome.err;
    EXPECT_NE(outcome.err.find(std::string("Cannot write \"") + c.failingFile + "\""), std::string::npos)
        << outcome.err;
    EXPECT_NE(outcome.err.find("File too large"), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.out, "") << "no table is printed for a failed compilation";

    EXPECT_EQ(test::firstDifference(menuBefore, test::readFile(folder / "Menu.GB")), "equal")
        << "Menu.GB was patched";
    EXPECT_EQ(test::firstDifference(imageBefore, test::readFile(folder / "Output.GB")), "equal");
    EXPECT_EQ(test::firstDifference(pieceBefore, test::readFile(folder / "Output1.GB")), "equal");
    EXPECT_FALSE(fs::exists(folder / "Output2.GB"));
    EXPECT_EQ(leftoverTempFile(folder.path()), "");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DiskFull,
    ::testing::Values(
        // A 4 MiB ROM at block 128 makes an 8 MiB image: it fills up at 3 MiB, while "Output.GB" is written.
        DiskFullCase{"WhileWritingTheImage", 4 * kMiB, 3 * kMiB, "Output.GB"},
        // A 1 MiB ROM at block 32 makes a 2 MiB image that fits; its 8 MiB piece does not.
        DiskFullCase{"WhileWritingAPiece", 1 * kMiB, 4 * kMiB, "Output1.GB"},
        // A 16 MiB image: the second piece is still being written when the image outgrows the limit.
        DiskFullCase{"InTheSecondHalfOfTheFlash", 8 * kMiB, 12 * kMiB, "Output.GB"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(Faults, DiskFullInsideTheCoreLeavesTheTableAsItWas) {
    if (!kPosixChildren) {
        GTEST_SKIP() << "a file-size limit" << kOnlyOnPosix;
    }
    addOk(rom("one.gb", 1 * kMiB));
    const auto outcome = runInChild(
        [this] {
            const TableState before = state;
            const auto failure = generateCompilation(state, {folder.path(), false});
            if (!failure) {
                return std::string("compiled despite the full disk");
            }
            const std::string changed = stateDifference(before, state);
            return changed.empty() ? failure->message : "the state changed: " + changed;
        },
        4 * kMiB);
    ASSERT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.out, "Cannot write \"Output1.GB\": File too large");
    EXPECT_FALSE(fs::exists(folder / "Output.GB"));
    EXPECT_FALSE(fs::exists(folder / "Output1.GB"));
    EXPECT_EQ(test::firstDifference(test::menuTemplate(), test::readFile(folder / "Menu.GB")), "equal");
    EXPECT_EQ(leftoverTempFile(folder.path()), "");
}

// ---- "Menu.GB" ----

TEST_F(Faults, MenuMissingIsRefusedAndNotCreated) {
    addOk(rom("one.gb", kBlockSize));
    fs::remove(folder / "Menu.GB");
    expectRefusedUnchanged({"\"Menu.GB\"", "missing"});
    EXPECT_FALSE(fs::exists(folder / "Menu.GB"));
}

TEST_F(Faults, MenuAsFolderIsRefused) {
    addOk(rom("one.gb", kBlockSize));
    fs::remove(folder / "Menu.GB");
    fs::create_directory(folder / "Menu.GB");
    expectRefusedUnchanged({"\"Menu.GB\"", "not a regular file"});
}

TEST_F(Faults, MenuAsDanglingLinkIsRefused) {
    addOk(rom("one.gb", kBlockSize));
    fs::remove(folder / "Menu.GB");
    if (!test::makeLink("nowhere.gb", folder / "Menu.GB")) {
        GTEST_SKIP() << test::kNoLinksHere;
    }
    expectRefusedUnchanged({"\"Menu.GB\"", "missing"});
}

TEST_F(Faults, UnwritableMenuIsRefused) {
#ifndef _WIN32
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes through permission bits";
    }
#endif
    addOk(rom("one.gb", kBlockSize));
    fs::permissions(folder / "Menu.GB", fs::perms::owner_read);
    expectRefusedUnchanged({"\"Menu.GB\"", "marked read-only"});
}

// ---- ROM files changed between Add ROM and Generate Compilation ----

struct ChangedRomCase {
    const char* label;
    std::function<void(const fs::path&)> change;
    const char* reason;
    const char* needs = nullptr; // what only POSIX gives this case, if anything
};

class ChangedRom : public CaseOfFaults<ChangedRomCase> {};

TEST_P(ChangedRom, IsRefusedByNameBeforeAnythingIsWritten) {
    compileEarlierOutputs();
    addOk(rom("saved.gb", 3 * kBlockSize + 11), true);
    addOk(rom("plain.gb", 2 * kBlockSize + 5));
    GetParam().change(folder / "plain.gb");
    expectRefusedUnchanged({"\"plain.gb\"", GetParam().reason});
}

TEST_P(ChangedRom, OfASaveRomIsRefusedToo) {
    addOk(rom("saved.gb", 3 * kBlockSize + 11), true);
    GetParam().change(folder / "saved.gb");
    expectRefusedUnchanged({"\"saved.gb\"", GetParam().reason});
}

void resizeTo(const fs::path& path, std::uintmax_t bytes) {
    fs::resize_file(path, bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ChangedRom,
    ::testing::Values(
        ChangedRomCase{"Deleted", [](const fs::path& p) { fs::remove(p); }, "No such file"},
        ChangedRomCase{"ShrunkByABlock",
                       [](const fs::path& p) { resizeTo(p, fs::file_size(p) - kBlockSize); },
                       "blocks when it was added"},
        ChangedRomCase{"Emptied", [](const fs::path& p) { resizeTo(p, 0); }, "blocks when it was added"},
        ChangedRomCase{"GrownByABlock", [](const fs::path& p) { resizeTo(p, fs::file_size(p) + kBlockSize); },
                       "blocks when it was added"},
        ChangedRomCase{"GrownToFourGiB", [](const fs::path& p) { resizeTo(p, std::uintmax_t{4} << 30); },
                       "4294967296 bytes"},
        ChangedRomCase{"ReplacedByAFolder",
                       [](const fs::path& p) {
                           fs::remove(p);
                           fs::create_directory(p);
                       },
                       "folder"},
        ChangedRomCase{"ReplacedByAPipe",
                       [](const fs::path& p) {
                           fs::remove(p);
                           makeFifo(p);
                       },
                       "not a regular file", "a FIFO"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(Faults, RomGrownInsideItsLastBlockStillCompilesWholeBlocksOnly) {
    addOk(rom("one.gb", kBlockSize + 100));
    const Bytes original = test::readFile(folder / "one.gb");
    resizeTo(folder / "one.gb", 2 * kBlockSize - 1); // still one whole block
    ASSERT_FALSE(generateCompilation(state, {folder.path(), false}));
    const Bytes image = test::readFile(folder / "Output.GB");
    ASSERT_EQ(image.size(), 2 * kBlockSize) << "the image ends with the ROM's one whole block";
    EXPECT_TRUE(std::equal(original.begin(), original.begin() + kBlockSize, image.begin() + kBlockSize));
}

// The file shrinks after the checks, while the image is being laid down: the copy notices.
TEST_F(Faults, RomShorterThanItsBlocksWhileCopyingFailsAndLeavesNoTemporaryFile) {
    const fs::path path = folder / rom("one.gb", kBlockSize);
    auto opened = openRomFile(systemDisk(), path, "one.gb");
    ASSERT_TRUE(opened.ok());
    ImagePlan plan{test::menuTemplate(), {ImageRom{opened.value().file, "one.gb", 2, 2}}, {}};
    resetBlockMap(plan.blocks);
    markBlocks(plan.blocks, 2, 3);
    {
        auto image = PendingFile::create(systemDisk(), folder / kImageName);
        auto piece = PendingFile::create(systemDisk(), folder / pieceName(1));
        ASSERT_TRUE(image.ok() && piece.ok());
        const auto failure = writeImage(plan, *image.value(), {piece.value().get()});
        ASSERT_TRUE(failure);
        EXPECT_NE(failure->message.find("\"one.gb\""), std::string::npos) << failure->message;
        EXPECT_NE(failure->message.find("shorter"), std::string::npos) << failure->message;
    }
    EXPECT_EQ(leftoverTempFile(folder.path()), "");
    EXPECT_FALSE(fs::exists(folder / kImageName));
}

// ---- Output names in the way ----

class OutputNameIsFolder : public Faults, public ::testing::WithParamInterface<const char*> {};

TEST_P(OutputNameIsFolder, IsRefusedBeforeAnythingIsWritten) {
    addOk(rom("one.gb", kBlockSize));
    fs::create_directories(folder / GetParam() / "inside");
    expectRefusedUnchanged({std::string("\"") + GetParam() + "\"", "folder"});
}

INSTANTIATE_TEST_SUITE_P(Faults, OutputNameIsFolder, ::testing::Values("Output.GB", "Output1.GB"));

TEST_F(Faults, PlantedLinksUnderOutputNamesAreReplacedNotFollowed) {
    test::ScratchFolder elsewhere;
    const Bytes victimBytes = test::romBytes(5000, 99);
    test::writeFile(elsewhere / "victim-image", victimBytes);
    test::writeFile(elsewhere / "victim-piece", victimBytes);
    test::writeFile(elsewhere / "victim-temp", victimBytes);
    if (!test::makeLink(elsewhere / "victim-image", folder / "Output.GB")) {
        GTEST_SKIP() << test::kNoLinksHere;
    }
    fs::create_symlink(elsewhere / "victim-piece", folder / "Output1.GB");
    fs::create_symlink(elsewhere / "victim-temp", folder / ".Output.GB.part");
    fs::create_symlink(elsewhere / "not-there", folder / "Output2.GB");
    fs::create_symlink(elsewhere / "not-there-either", folder / ".Output2.GB.part");
    addOk(rom("eight.gb", 8 * kMiB));

    const auto failure = generateCompilation(state, {folder.path(), false});
    ASSERT_FALSE(failure) << failure->message;
    for (const char* name : {"Output.GB", "Output1.GB", "Output2.GB"}) {
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder / name))) << name << " is still a link";
    }
    for (const char* victim : {"victim-image", "victim-piece", "victim-temp"}) {
        EXPECT_EQ(test::readFile(elsewhere / victim), victimBytes) << victim << " was written through a link";
    }
    EXPECT_FALSE(fs::exists(elsewhere / "not-there"));
    EXPECT_FALSE(fs::exists(elsewhere / "not-there-either"));
    EXPECT_EQ(compiledOutputBreak(state, folder.path(), test::menuTemplate()), "");
}

// ---- ROM paths that are no ROM file: refused at Add ROM, without reading them ----

struct OddPathCase {
    const char* label;
    std::function<std::string(const fs::path& folder)> make; // returns the path to type
    const char* reason;
    const char* needs = nullptr; // what only POSIX gives this case, if anything
};

class OddRomPath : public CaseOfFaults<OddPathCase> {};

TEST_P(OddRomPath, IsRefusedWithoutReadingAndChangesNothing) {
    const std::string path = GetParam().make(folder.path());
    addOk(rom("before.gb", kBlockSize), true);
    // In a child, so that a path that blocks on opening (a pipe) fails the test instead of hanging it.
    const auto outcome = runInChild([this, &path] {
        const TableState before = state;
        bool box = true;
        const auto read = bytesReadSoFar();
        const auto refusal = addRom(state, {"odd", path, folder.path()}, box);
        const auto readAfter = bytesReadSoFar();
        if (!refusal) {
            return std::string("added");
        }
        if (read && readAfter && *readAfter - *read > 64 * 1024) {
            return "read " + std::to_string(*readAfter - *read) + " bytes: " + refusal->message;
        }
        const std::string changed = stateDifference(before, state);
        return !changed.empty() ? "changed: " + changed : !box ? "unticked Save?" : refusal->message;
    });
    ASSERT_TRUE(outcome.exited) << "Add ROM hung on \"" << path << "\" (signal " << outcome.status << ")";
    EXPECT_NE(outcome.out.find("\"" + path + "\""), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find(GetParam().reason), std::string::npos) << outcome.out;
}

std::string makeSparse(const fs::path& folder, const std::string& name, std::uintmax_t bytes) {
    test::writeFile(folder / name, {});
    fs::resize_file(folder / name, bytes);
    return name;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, OddRomPath,
    ::testing::Values(
        OddPathCase{"Pipe",
                    [](const fs::path& f) {
                        makeFifo(f / "pipe.gb");
                        return std::string("pipe.gb");
                    },
                    "not a regular file", "a FIFO"},
        OddPathCase{"DevZero", [](const fs::path&) { return std::string("/dev/zero"); }, "not a regular file",
                    "/dev/zero"},
        OddPathCase{"DevNull", [](const fs::path&) { return std::string("/dev/null"); }, "not a regular file",
                    "/dev/null"},
        OddPathCase{"Folder",
                    [](const fs::path& f) {
                        fs::create_directory(f / "roms");
                        return std::string("roms");
                    },
                    "folder"},
        OddPathCase{"WorkFolderItself", [](const fs::path&) { return std::string(""); }, "folder"},
        OddPathCase{"Socket",
                    [](const fs::path& f) {
                        makeSocket(f / "socket.gb");
                        return std::string("socket.gb");
                    },
                    "not a regular file", "a Unix socket"},
        OddPathCase{"LinkLoop",
                    [](const fs::path& f) {
                        test::makeLink("loop.gb", f / "loop.gb");
                        return std::string("loop.gb");
                    },
                    "symbolic links", "a symbolic link"},
        OddPathCase{"Missing", [](const fs::path&) { return std::string("missing.gb"); }, "No such file"},
        OddPathCase{"Empty", [](const fs::path& f) { return makeSparse(f, "empty.gb", 0); }, "0 bytes"},
        OddPathCase{"OneByteShortOfABlock",
                    [](const fs::path& f) { return makeSparse(f, "short.gb", 32767); }, "32767 bytes"},
        OddPathCase{"SparseOneBlockPast8MiB",
                    [](const fs::path& f) { return makeSparse(f, "over.gb", 257 * kBlockSize); },
                    "8421376 bytes"},
        OddPathCase{"SparseFourGiB",
                    [](const fs::path& f) { return makeSparse(f, "huge.gb", std::uintmax_t{4} << 30); },
                    "4294967296 bytes"},
        OddPathCase{"SparseFourGiBAndOneBlock",
                    [](const fs::path& f) {
                        return makeSparse(f, "huger.gb", (std::uintmax_t{4} << 30) + kBlockSize);
                    },
                    "4295000064 bytes"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(Faults, CliRefusesAPipeWithoutWaitingAndWritesNothing) {
    if (!makeFifo(folder / "pipe.gb")) {
        GTEST_SKIP() << "a FIFO" << kOnlyOnPosix;
    }
    rom("good.gb", kBlockSize);
    const auto marks = folderMarks(folder.path());
    const auto outcome = runCli({"-C", folder.path().string(), "good.gb", "pipe.gb"});
    ASSERT_TRUE(outcome.exited) << "romcompiler-cli hung on a pipe";
    EXPECT_EQ(outcome.status, 1);
    const std::string refusal =
        "romcompiler-cli: Cannot read \"pipe.gb\": it is not a regular file (a device, pipe or socket)\n";
    ASSERT_GE(outcome.err.size(), refusal.size());
    EXPECT_EQ(outcome.err.substr(outcome.err.size() - refusal.size()), refusal)
        << "the last line is the refusal";
    EXPECT_EQ(folderDifference(marks, folderMarks(folder.path())), "");
}

} // namespace
} // namespace romc::hardening
