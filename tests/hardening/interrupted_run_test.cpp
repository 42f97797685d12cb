// Runs stopped on purpose: a signal at any moment of a command-line compilation, a kill between two of
// its renames. Every output stays whole, the earlier file or the new one; an interrupted run removes its
// temporary files, and what a killed one leaves is completed or removed by the next compilation.
#include "compile/compilation.h"
#include "compile/journal.h"
#include "compile/output_transaction.h"
#include "compile/recovery.h"
#include "files/interruption.h"
#include "files/temporary_name.h"
#include "files/work_folder.h"
#include "hardening/child_process.h"
#include "romtable/add_rom.h"
#include "romtable/rom_name.h"
#include "saves/save_outputs.h"
#include "support/faulty_disk.h"
#include "support/rom_files.h"

#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>

namespace romc::hardening {
namespace {

namespace fs = std::filesystem;
using Contents = std::map<std::string, std::vector<std::uint8_t>>;

// An 8 MiB ROM, a 4 MiB one and a save ROM: a 16 MiB image in two pieces.
const std::vector<std::pair<std::string, int>> kNewRoms{{"one.gb", 256}, {"two.gb", 128}, {"save.gb", 8}};

class InterruptedRun : public ::testing::Test {
  public:
    void SetUp() override {
        if (!kPosixChildren) {
            GTEST_SKIP() << "signals and a fork of the test" << kOnlyOnPosix;
        }
        for (const auto* at : {&folder, &reference}) {
            test::writeFile(*at / kMenuTemplateName, test::menuTemplate());
            std::uint32_t seed = 0;
            test::makeRom(at->path(), "old.gb", 4 * kBlockSize, ++seed);
            for (const auto& [name, blocks] : kNewRoms) {
                test::makeRom(at->path(), name, static_cast<std::size_t>(blocks) * kBlockSize, ++seed);
            }
        }
        ASSERT_EQ(runCli({"--quiet", "-C", folder.path().string(), "old.gb"}).status, 0);
        old = test::folderContents(folder.path());
        ASSERT_EQ(runCli({"--quiet", "-C", reference.path().string(), "old.gb"}).status, 0);
        ASSERT_EQ(runCli(newArguments(reference.path())).status, 0);
        wanted = test::folderContents(reference.path());
    }

    static std::vector<std::string> newArguments(const fs::path& workDir) {
        std::vector<std::string> arguments{"--quiet", "-C", workDir.string()};
        for (const auto& [name, blocks] : kNewRoms) {
            if (name == "save.gb") {
                arguments.emplace_back("--save");
            }
            arguments.push_back(name);
        }
        return arguments;
    }

    // The new table, as the command line adds it.
    TableState newTable() const {
        TableState state;
        for (const auto& [name, blocks] : kNewRoms) {
            bool saveBox = name == "save.gb";
            EXPECT_FALSE(addRom(state, {proposeRomName(name), name, folder.path()}, saveBox));
        }
        return state;
    }

    void restoreOldOutputs() {
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            fs::remove(entry.path());
        }
        for (const auto& [name, bytes] : old) {
            test::writeFile(folder / name, bytes);
        }
    }

    // Every file is the earlier one or the new one, whole; returns how many are new, or -1.
    int wholeFiles(bool temporariesAllowed) const {
        int renewed = 0;
        for (const auto& [name, bytes] : test::folderContents(folder.path())) {
            const bool temporary = isTemporaryName(name) || name == ".romcompiler-journal";
            if (temporary && temporariesAllowed) {
                continue;
            }
            const bool isOld = old.count(name) != 0 && old.at(name) == bytes;
            const bool isNew = wanted.count(name) != 0 && wanted.at(name) == bytes;
            if (temporary || !(isOld || isNew)) {
                ADD_FAILURE() << name << (temporary ? " was left behind" : " is neither old nor new");
                return -1;
            }
            renewed += isNew && !isOld ? 1 : 0;
        }
        return renewed;
    }

    test::ScratchFolder folder;
    test::ScratchFolder reference;
    Contents old;
    Contents wanted;
};

TEST_F(InterruptedRun, SignalAtAnyMomentLeavesWholeFilesAndNoTemporaryOnes) {
#ifndef _WIN32
    const struct {
        int signal;
        int status; // the exit status of a run the signal ends
    } signals[] = {{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}, {SIGKILL, 0}};
    int interrupted = 0;
    for (const int microseconds : {0, 1000, 3000, 6000, 10000, 16000, 25000}) {
        for (const auto& s : signals) {
            restoreOldOutputs();
            const auto run =
                runCli(newArguments(folder.path()),
                       CliConditions{{}, s.signal, std::chrono::microseconds(microseconds), {}, {}});
            const bool finished = run.exited && run.status == 0;
            // Before its handlers are in place, a signal ends the program as it ends any other.
            const bool stopped =
                (!run.exited && run.status == s.signal) || (run.exited && run.status == s.status);
            ASSERT_TRUE(finished || stopped)
                << "signal " << s.signal << " after " << microseconds << " us: status " << run.status << "\n"
                << run.err;
            interrupted += finished ? 0 : 1;
            ASSERT_GE(wholeFiles(s.signal == SIGKILL), 0)
                << "signal " << s.signal << " after " << microseconds;
            const auto next = runCli(newArguments(folder.path()));
            ASSERT_EQ(next.status, 0) << next.err;
            ASSERT_EQ(test::folderContents(folder.path()), wanted) << "the next run puts everything right";
        }
    }
    EXPECT_GT(interrupted, 0) << "no run was interrupted before it finished";
    RecordProperty("interrupted", interrupted);
#endif
}

TEST_F(InterruptedRun, KillAmongTheRenamesIsCompletedInItsOwnFolderOnlyAndSaidFirst) {
    // A folder of outputs of its own, where a later run starts: it must never be touched.
    test::ScratchFolder elsewhere;
    for (const auto& [name, bytes] : old) {
        test::writeFile(elsewhere / name, bytes);
    }
    test::writeFile(elsewhere / pieceName(2), std::vector<std::uint8_t>(kPieceSize, 0x5A));
    const Contents elsewhereBefore = test::folderContents(elsewhere.path());
    // The journal takes its name first (rename 1), then the pieces, the image and the template (2 to 5).
    for (const int killedAt : {2, 3, 4, 5}) {
        restoreOldOutputs();
        TableState state = newTable();
        const fs::path parent = folder.path().parent_path();
        const fs::path relative = folder.path().filename();
        const auto child = runInChild([state, parent, relative, killedAt]() mutable {
            fs::current_path(parent); // the run names its work folder relatively, as -C gb does
            test::FaultyDisk disk({test::DiskStep::Replace, "", killedAt, {}, [] { std::_Exit(9); }});
            generateCompilation(state, {relative, false, &disk});
            return std::string("not killed");
        });
        ASSERT_EQ(child.out, "") << "killed at rename " << killedAt;
        EXPECT_EQ(wholeFiles(true), killedAt - 2) << "outputs renamed before the kill";
        ASSERT_TRUE(fs::exists(folder / kJournalName));

        // A run in another folder reads that folder's journal, never the killed run's.
        const fs::path there = elsewhere.path();
        runInChild([there] {
            fs::current_path(there);
            return recoverWorkFolder(systemDisk(), ".").notes.empty() ? "" : "recovered";
        });
        EXPECT_EQ(test::folderContents(elsewhere.path()), elsewhereBefore) << "killed at rename " << killedAt;

        // The next run in the folder completes it and says so first, even when it refuses its own job.
        // Four 8 MiB ROMs: three fit, so the run is refused after the recovery.
        const auto next =
            runCli({"--quiet", "-C", folder.path().string(), "one.gb", "one.gb", "one.gb", "one.gb"});
        EXPECT_EQ(next.status, 3) << next.err;
        EXPECT_EQ(next.err.rfind("romcompiler-cli: note: Completed the interrupted compilation of", 0), 0u)
            << next.err;
        EXPECT_EQ(test::folderContents(folder.path()), wanted) << "killed at rename " << killedAt;
    }
}

TEST_F(InterruptedRun, InterruptionRightAfterTheJournalTookItsNameWaitsForTheRenames) {
#ifndef _WIN32
    restoreOldOutputs();
    TableState state = newTable();
    const fs::path workDir = folder.path();
    const auto child = runInChild([state, workDir]() mutable {
        endRunsCleanlyOnInterrupt();
        // Ctrl+C as the journal takes its name: the run must finish its renames, not leave the journal
        // pointing at temporary files it removed.
        test::FaultyDisk disk({test::DiskStep::Replace, kJournalName, 1, {}, [] { std::raise(SIGINT); }});
        generateCompilation(state, {workDir, false, &disk});
        return std::string("not interrupted");
    });
    EXPECT_EQ(child.status, 130) << child.out;
    EXPECT_EQ(test::folderContents(folder.path()), wanted)
        << "the renames ran to their end, then the run ended";
#endif
}

TEST_F(InterruptedRun, KillBeforeTheJournalLeavesTheEarlierOutputsAndTheNextRunRemovesTheRest) {
    restoreOldOutputs();
    TableState state = newTable();
    const fs::path workDir = folder.path();
    runInChild([state, workDir]() mutable {
        test::FaultyDisk disk({test::DiskStep::Sync, "Menu.GB", 1, {}, [] { std::_Exit(9); }});
        generateCompilation(state, {workDir, false, &disk});
        return std::string("not killed");
    });
    EXPECT_EQ(wholeFiles(true), 0);
    const auto next = runCli(newArguments(folder.path()));
    ASSERT_EQ(next.status, 0) << next.err;
    EXPECT_NE(next.err.find("temporary files left by an interrupted run"), std::string::npos) << next.err;
    EXPECT_EQ(test::folderContents(folder.path()), wanted);
}

// A split killed between the renames of its save files: each is the earlier file or the dump's bank, and
// the next run in the folder completes the rest.
TEST(InterruptedSplit, KillAmongTheRenamesOfASplitIsCompletedByTheNextRun) {
    if (!kPosixChildren) {
        GTEST_SKIP() << "a fork of the test" << kOnlyOnPosix;
    }
    test::ScratchFolder folder;
    TableState state;
    for (const char* name : {"a.gb", "b.gb"}) {
        test::makeRom(folder.path(), name, 2 * kBlockSize, 1);
        bool saveBox = true;
        ASSERT_FALSE(addRom(state, {proposeRomName(name), name, folder.path()}, saveBox));
    }
    std::vector<std::uint8_t> dump(kSaveMemoryBytes, 1);
    std::fill(dump.begin() + kSaveBankBytes, dump.end(), 2);
    const std::vector<std::uint8_t> oldA(kSaveBankBytes, 7), oldB(kSaveBankBytes, 8);
    const std::vector<std::uint8_t> newA(kSaveBankBytes, 1), newB(kSaveBankBytes, 2);
    // The journal takes its name first (rename 1), then "a.sav" and "b.sav" (2 and 3).
    for (const int killedAt : {2, 3}) {
        test::writeFile(folder / "a.sav", oldA);
        test::writeFile(folder / "b.sav", oldB);
        const auto plan = planSplit(dump, state, folder.path(), {});
        ASSERT_TRUE(plan.ok()) << plan.failure().message;
        const fs::path workDir = folder.path();
        const SplitPlan split = plan.value();
        const auto child = runInChild([split, workDir, killedAt]() {
            test::FaultyDisk disk({test::DiskStep::Replace, "", killedAt, {}, [] { std::_Exit(9); }});
            (void)writeSplit(split, workDir, &disk);
            return std::string("not killed");
        });
        ASSERT_EQ(child.out, "") << "killed at rename " << killedAt;
        EXPECT_EQ(test::readFile(folder / "a.sav"), killedAt == 2 ? oldA : newA);
        EXPECT_EQ(test::readFile(folder / "b.sav"), oldB);
        EXPECT_TRUE(fs::exists(folder / ".romcompiler-journal"));
        (void)recoverWorkFolder(systemDisk(), folder.path());
        EXPECT_EQ(test::readFile(folder / "a.sav"), newA) << "killed at rename " << killedAt;
        EXPECT_EQ(test::readFile(folder / "b.sav"), newB) << "killed at rename " << killedAt;
        EXPECT_FALSE(fs::exists(folder / ".romcompiler-journal"));
    }
}

} // namespace
} // namespace romc::hardening
