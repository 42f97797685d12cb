// A compilation is one transaction: every fault on the way (a full disk, a file another program holds, a
// lost lock) leaves each output and the template whole, old or new, and leaves no temporary file.
#include "compile/compilation.h"
#include "compile/output_transaction.h"
#include "files/temporary_name.h"
#include "files/work_folder.h"
#include "support/faulty_disk.h"
#include "support/table_fixture.h"

#include <filesystem>
#include <set>

namespace romc {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Contents = std::map<std::string, Bytes>;
using test::DiskFault;
using test::DiskStep;

class Transaction : public test::TableFixture {
  public:
    // Earlier outputs in the folder, then a larger table whose compilation reaches two pieces.
    void SetUp() override {
        TableFixture::SetUp();
        addFile("old.gb", 4, false, "old");
        ASSERT_FALSE(generateCompilation(state, {folder.path()}));
        clearList(state);
        addFile("saga.gb", 256, false, "saga");
        addFile("quest.gb", 8, true, "quest");
        before = contents();
        TableState copy = copyOfState();
        ASSERT_FALSE(generateCompilation(copy, {reference.path()})) << "the reference compiles";
    }

    // The same table compiled in a folder of its own: what every new output must equal.
    TableState copyOfState() {
        for (const auto& [name, bytes] : before) {
            if (name.ends_with(".gb") || name == kMenuTemplateName) {
                test::writeFile(reference / name, bytes);
            }
        }
        return state;
    }

    Contents newOutputs() const { return test::folderContents(reference.path()); }

    test::ScratchFolder reference;
    Contents before;
};

struct FaultCase {
    const char* label;
    DiskFault fault;
    const char* named; // the message names this file
    int alreadyNew;    // outputs put in place before the fault: 0 means nothing changed
};

void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.label;
}

class TransactionFault : public Transaction, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(TransactionFault, LeavesEveryFileWholeAndNoTemporaryFile) {
    const auto& c = GetParam();
    test::FaultyDisk disk(c.fault);
    const TableState unchanged = state;
    const auto failure = generateCompilation(state, {folder.path(), false, &disk});
    ASSERT_TRUE(disk.struck()) << "the fault was never reached";
    ASSERT_TRUE(failure) << "compiled despite the fault";
    EXPECT_NE(failure->message.find(c.named), std::string::npos) << failure->message;
    EXPECT_EQ(state.table.columns, unchanged.table.columns);

    const Contents after = contents();
    const Contents wanted = newOutputs();
    int renewed = 0;
    for (const auto& [name, bytes] : after) {
        EXPECT_FALSE(isTemporaryName(name) || name.starts_with(".romcompiler")) << name << " was left behind";
        const bool old = before.count(name) != 0 && before.at(name) == bytes;
        const bool fresh = wanted.count(name) != 0 && wanted.at(name) == bytes;
        EXPECT_TRUE(old || fresh) << name << " is neither the earlier file nor the new one";
        renewed += !old && fresh ? 1 : 0;
    }
    EXPECT_EQ(renewed, c.alreadyNew) << failure->message;
}

DiskFault failing(DiskStep step, const char* name, int nth, std::error_code error) {
    return {step, name, nth, error, {}};
}

const std::error_code kDiskFull = std::make_error_code(std::errc::no_space_on_device);
const std::error_code kHeld = DiskError::HeldByAnotherProgram;
const std::error_code kBroken = std::make_error_code(std::errc::io_error);

// The outputs go in place in this order: Output1.GB, Output2.GB, Output.GB, then Menu.GB.
INSTANTIATE_TEST_SUITE_P(
    Faults, TransactionFault,
    ::testing::Values(
        FaultCase{"CreatingAPiece", failing(DiskStep::Create, "Output2.GB", 1, kDiskFull), "Output2.GB", 0},
        FaultCase{"DiskFullInTheImage", failing(DiskStep::Write, "Output.GB", 3, kDiskFull), "Output.GB", 0},
        FaultCase{"DiskFullWhileTheTemplateGrows", failing(DiskStep::Write, "Menu.GB", 1, kDiskFull),
                  "Menu.GB", 0},
        FaultCase{"SyncOfAPiece", failing(DiskStep::Sync, "Output1.GB", 1, kBroken), "Output1.GB", 0},
        FaultCase{"ClosingTheTemplate", failing(DiskStep::Close, "Menu.GB", 1, kBroken), "Menu.GB", 0},
        FaultCase{"PieceHeldByAFlasher", failing(DiskStep::CheckReplaceable, "Output2.GB", 1, kHeld),
                  "another program has it open; nothing was changed", 0},
        FaultCase{"WritingTheJournal", failing(DiskStep::Write, "romcompiler-journal", 1, kDiskFull),
                  "journal\": No space left on device; nothing was changed", 0},
        FaultCase{"FirstRename", failing(DiskStep::Replace, "Output1.GB", 1, kHeld),
                  "\"Output1.GB\": another program has it open; nothing was changed", 0},
        FaultCase{"ThirdRename", failing(DiskStep::Replace, "Output.GB", 1, kHeld),
                  "\"Output1.GB\" and \"Output2.GB\" are already new", 2},
        FaultCase{"TemplateRename", failing(DiskStep::Replace, "Menu.GB", 1, kHeld),
                  "\"Menu.GB\" is as before", 3},
        FaultCase{"ReadingTheTemplate", failing(DiskStep::Open, "Menu.GB", 1, kBroken), "Menu.GB", 0},
        FaultCase{"ReadingARom", failing(DiskStep::Open, "saga.gb", 1, kBroken), "saga.gb", 0}),
    [](const auto& info) { return std::string(info.param.label); });

// A power cut at any moment leaves each file whole: every file is on the disk under its temporary name
// before it takes its final name, and the folder is flushed after the renames.
TEST_F(Transaction, EveryFileIsSyncedBeforeItTakesItsNameAndTheFolderAfter) {
    test::FaultyDisk disk({DiskStep::Lock, "no file is named so", 1, {}, {}});
    ASSERT_FALSE(generateCompilation(state, {folder.path(), false, &disk}));
    std::set<std::string> synced;
    std::vector<std::string> renamed;
    bool folderSyncedSinceRename = false;
    for (const auto& event : disk.events()) {
        if (event.step == DiskStep::Sync) {
            synced.insert(event.name);
        } else if (event.step == DiskStep::Replace) {
            EXPECT_TRUE(synced.contains(event.renamedFrom)) << event.name << " took its name unsynced";
            renamed.push_back(event.name);
            folderSyncedSinceRename = false;
        } else if (event.step == DiskStep::SyncFolder) {
            folderSyncedSinceRename = true;
        }
    }
    EXPECT_TRUE(folderSyncedSinceRename) << "the folder was not flushed after the last rename";
    const std::vector<std::string> order = {".romcompiler-journal", "Output1.GB", "Output2.GB", "Output.GB",
                                            kMenuTemplateName};
    EXPECT_EQ(renamed, order);
}

TEST_F(Transaction, SecondCompilationInTheFolderIsRefusedAtOnce) {
    auto held = lockWorkFolder(systemDisk(), folder.path());
    ASSERT_TRUE(held.ok()) << held.failure().message;
    for (const bool dryRun : {false, true}) {
        const auto failure = generateCompilation(state, {folder.path(), dryRun});
        ASSERT_TRUE(failure);
        EXPECT_NE(failure->message.find("Another compilation is running in"), std::string::npos)
            << failure->message;
        EXPECT_EQ(contents(), before);
    }
    held.value().reset();
    ASSERT_FALSE(generateCompilation(state, {folder.path()}));
    EXPECT_EQ(contents(), newOutputs()) << "the lock leaves no file in the folder";
}

TEST_F(Transaction, NextCompilationRemovesWhatAKilledRunLeftAndKeepsOtherFiles) {
    const auto leftover = temporaryNameFor(folder / "Output1.GB");
    test::writeFile(leftover, {1, 2, 3});
    test::writeFile(folder / ".Output.GB.part", {4}); // a name of the user's, however alike
    ASSERT_FALSE(generateCompilation(state, {folder.path()}));
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_TRUE(fs::exists(folder / ".Output.GB.part"));
}

TEST_F(Transaction, TemplateBehindALinkIsReplacedThereWithItsPermissions) {
    test::ScratchFolder shared;
    fs::rename(folder / kMenuTemplateName, shared / kMenuTemplateName);
    fs::permissions(shared / kMenuTemplateName,
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    if (!test::makeLink(shared / kMenuTemplateName, folder / kMenuTemplateName)) {
        GTEST_SKIP() << test::kNoLinksHere;
    }
    ASSERT_FALSE(generateCompilation(state, {folder.path()}));

    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(folder / kMenuTemplateName))) << "the link still stands";
    const Bytes menu = test::readFile(shared / kMenuTemplateName);
    const Bytes image = test::readFile(folder / kImageName);
    EXPECT_EQ(menu, newOutputs().at(kMenuTemplateName));
    EXPECT_TRUE(std::equal(menu.begin(), menu.end(), image.begin())) << "block 0 is the new template";
    EXPECT_EQ(fs::status(shared / kMenuTemplateName).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(Transaction, DryRunOnlyReadsTheTemplateAndWritesNothing) {
    const auto prepared = prepareCompilation(state, {folder.path(), true});
    ASSERT_TRUE(prepared.ok()) << prepared.failure().message;
    EXPECT_TRUE(prepared.value().outputs->empty());
    EXPECT_EQ(prepared.value().compiled.table.text(0, Column::Location), "256");
    EXPECT_EQ(contents(), before);
}

} // namespace
} // namespace romc
