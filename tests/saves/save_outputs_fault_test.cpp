// Splitting a dump and writing the save memory against a disk that fails at each step: every save file and
// the save memory is either as it was or wholly new, and no temporary file is left.
#include "saves/save_outputs.h"
#include "support/faulty_disk.h"
#include "support/table_fixture.h"

namespace romc {
namespace {

using test::DiskStep;

class SaveOutputsFault : public test::TableFixture {};

TEST_F(SaveOutputsFault, EverySaveFileIsOldOrNewWhateverStepFails) {
    addOk(romFile(2), true, "ONE");
    addOk(romFile(2), true, "TWO");
    std::vector<std::uint8_t> dump(kSaveMemoryBytes);
    for (std::size_t i = 0; i < dump.size(); ++i) {
        dump[i] = static_cast<std::uint8_t>(i % 251);
    }
    // ONE's save is there and differs; TWO's is missing.
    const std::vector<std::uint8_t> oldSave(kSaveBankBytes, 7);
    test::writeFile(folder / "ROM1.sav", oldSave);
    const auto before = contents();
    int struck = 0;
    const DiskStep steps[] = {DiskStep::Create, DiskStep::Write, DiskStep::Sync, DiskStep::Replace,
                              DiskStep::Lock};
    for (const DiskStep step : steps) {
        for (const char* name : {"ROM1.sav", "ROM2.sav", "journal", "mem.sav"}) {
            for (int nth = 1; nth <= 2; ++nth) {
                test::FaultyDisk disk(
                    {step, name, nth, std::make_error_code(std::errc::no_space_on_device), {}});
                const auto plan = planSplit(dump, state, folder.path(), {}, &disk);
                ASSERT_TRUE(plan.ok()) << plan.failure().message;
                const Refusal split = writeSplit(plan.value(), folder.path(), &disk);
                const auto memory = planSaveMemory(state, folder.path(), {}, &disk);
                ASSERT_TRUE(memory.ok());
                const Refusal written =
                    writeSaveMemory(folder / "mem.sav", memory.value(), folder.path(), &disk);
                const auto after = contents();
                for (const auto& [file, bytes] : after) {
                    EXPECT_EQ(file.find("romc-part"), std::string::npos) << file << " left after " << name;
                }
                struck += disk.struck() ? 1 : 0;
                if (!disk.struck()) {
                    EXPECT_FALSE(split || written);
                } else {
                    EXPECT_TRUE(split || written) << "a failure reported as success: " << name;
                }
                // Each save file is the old one or the dump's bank, never a mix.
                const auto one = after.find("ROM1.sav");
                ASSERT_NE(one, after.end());
                EXPECT_TRUE(one->second == oldSave ||
                            one->second ==
                                std::vector<std::uint8_t>(dump.begin(), dump.begin() + kSaveBankBytes))
                    << name;
                if (const auto mem = after.find("mem.sav"); mem != after.end()) {
                    EXPECT_EQ(mem->second.size(), kSaveMemoryBytes);
                }
                // Back to the start for the next fault.
                for (const auto& [file, bytes] : after) {
                    if (!before.contains(file)) {
                        std::filesystem::remove(folder / file);
                    }
                }
                test::writeFile(folder / "ROM1.sav", oldSave);
            }
        }
    }
    EXPECT_GE(struck, 12); // the faults did strike: creates, writes, syncs and renames of each file
}

} // namespace
} // namespace romc
