// Taking the ROMs out of an image and building it again from the list: random tables come back byte for
// byte, the save flag follows place and battery, a list that would place differently is warned about,
// hostile names stay inside the folder, and files already there are kept unless the caller lets them go.
#include "compile/compilation.h"
#include "compile/menu_table.h"
#include "inspect/extraction.h"
#include "lists/list_file.h"
#include "lists/open_list.h"
#include "support/table_fixture.h"

#include <cstdlib>
#include <random>

namespace romc {
namespace {

namespace fs = std::filesystem;

constexpr std::uint8_t kBattery = 0x03; // MBC1+RAM+BATTERY
constexpr std::uint8_t kNoSaves = 0x00; // ROM only

class Extraction : public test::TableFixture {
  public:
    // Inspects "Output.GB" and extracts it into `into`; `replace` answers the question about existing files.
    Outcome<Extracted> extract(const fs::path& into, bool replace = false) {
        image_ = ImageFile::open(folder / kImageName).value();
        inspection_ = inspectImage(*image_).value();
        asked_.clear();
        auto extracted = extractImage(*image_, *inspection_,
                                      {into, [this, replace](const std::vector<std::string>& names) {
                                           asked_ = names;
                                           return replace;
                                       }});
        // Let go of "Output.GB": where a file held open cannot be replaced, the next compilation would
        // be refused.
        image_.reset();
        return extracted;
    }

    // Opens the list on an emptied table and compiles it in `work`, with the template the image was made
    // from (entries of earlier, longer tables left in it included); the image written there.
    std::vector<std::uint8_t> rebuild(const fs::path& list, const fs::path& work) {
        fs::create_directories(work);
        test::writeFile(work / kMenuTemplateName, test::readFile(folder / kMenuTemplateName));
        const auto opened = readRomList(list, "list.json");
        EXPECT_TRUE(opened.ok()) << opened.failure().message;
        const ListReplay replay =
            openRomList(TableState{}, opened.value(), {list.parent_path(), work, "list.json"});
        EXPECT_TRUE(replay.refused.empty())
            << refusedEntriesMessage(replay, {list.parent_path(), work, "list.json"});
        TableState rebuilt = replay.state;
        const auto failure = generateCompilation(rebuilt, {work, false});
        EXPECT_FALSE(failure) << failure->message;
        return test::readFile(work / kImageName);
    }

    std::vector<std::string> asked_;

  private:
    std::optional<ImageFile> image_;
    std::optional<Inspection> inspection_;
};

// Figures of a larger run: ROMC_ROUND_TRIPS=200 ctest -R RandomTablesComeBack --output-on-failure.
TEST_F(Extraction, RandomTablesComeBackByteForByte) {
    std::vector<std::string> files;
    std::vector<std::string> saveFiles;
    for (int size : {1, 2, 3, 8, 16, 32, 48, 64, 100, 128, 256}) {
        files.push_back(romFile(size, 0, kNoSaves));
        saveFiles.push_back(romFile(size, 0, kBattery));
    }
    const char* asked = std::getenv("ROMC_ROUND_TRIPS");
    const int tables = asked != nullptr ? std::atoi(asked) : 12;
    std::mt19937 random(15);
    int tried = 0;
    int compiled = 0;
    int identical = 0;
    while (compiled < tables && tried < tables * 4) {
        ++tried;
        clearList(state);
        addRandomRows(random, files, std::uniform_int_distribution<int>(1, 14)(random), saveFiles, false);
        if (state.table.rowCount() == 0 || generateCompilation(state, {folder.path(), false})) {
            continue; // refused: a ROM that does not fit
        }
        ++compiled;
        SCOPED_TRACE("table " + std::to_string(compiled));
        const fs::path out = folder / ("out" + std::to_string(compiled));
        const auto extracted = extract(out);
        ASSERT_TRUE(extracted.ok()) << extracted.failure().message;
        EXPECT_TRUE(extracted.value().warnings.empty()) << extracted.value().warnings.front();
        const auto rebuilt = rebuild(extracted.value().list, folder / ("work" + std::to_string(compiled)));
        const auto original = test::readFile(folder / kImageName);
        EXPECT_EQ(test::firstDifference(original, rebuilt), "equal");
        identical += original == rebuilt;
    }
    std::cout << "round trip: " << tried << " tables tried, " << compiled << " compiled, " << identical
              << " byte-identical\n";
    EXPECT_EQ(identical, compiled);
    EXPECT_GE(compiled, tables / 2);
}

TEST_F(Extraction, SaveFlagNeedsTheSavePlaceAndABattery) {
    const RomHeader battery{"", 0, kBattery};
    const RomHeader none{"", 0, kNoSaves};
    const struct {
        int first, blocks;
        std::optional<RomHeader> header;
        bool save;
    } cases[] = {
        {32, 32, battery, true},    // bank 0: first save ROM below 64 blocks, at the block equal to its size
        {32, 32, none, false},      // the same place, no battery: first fit puts ROMs there too
        {64, 16, battery, true},    // start of region 1
        {96, 32, battery, false},   // inside a region
        {256, 256, battery, false}, // an 8 MiB ROM never gets save memory
        {128, 64, std::nullopt, false}, // "Menu.GB" alone: no header
    };
    for (const auto& c : cases) {
        InspectedRom rom{"X", c.first, c.blocks, saveBankAt(c.first, c.blocks), c.header, {}};
        EXPECT_EQ(listedWithSave(rom), c.save) << "block " << c.first << ", " << c.blocks << " blocks";
    }
}

TEST_F(Extraction, AListThatWouldPlaceOrNameDifferentlyIsNamed) {
    const auto row = [](std::string name, int first, int blocks) {
        return InspectedRom{std::move(name), first, blocks, saveBankAt(first, blocks), std::nullopt, {}};
    };
    const auto entry = [](std::string name, bool save) { return ListEntry{"F.GB", std::move(name), save}; };
    const std::string prefix = "a rebuild from \"list.json\" does not give this image back: ";
    const struct {
        const char* what;
        std::vector<InspectedRom> roms;
        std::vector<ListEntry> entries;
        std::vector<std::string> warnings;
    } cases[] = {
        {"added in order", {row("A", 32, 32), row("B", 1, 1)}, {entry("A", true), entry("B", false)}, {}},
        {"bank 1 removed before bank 2 was given",
         {row("A", 128, 16)},
         {entry("A", true)},
         {prefix + "row 1 (\"A\") would be placed at block 16, not at block 128"}},
        {"a save place without battery",
         {row("A", 64, 16)},
         {entry("A", false)},
         {prefix + "row 1 (\"A\") would be placed at block 16, not at block 64 (it sits where a save ROM of "
                   "bank 1 goes, but its header declares no battery, so it is listed without save memory)"}},
        {"first fit at a save place", {row("A", 64, 64)}, {entry("A", false)}, {}},
        {"lower case",
         {row("abc", 1, 1)},
         {entry("abc", false)},
         {prefix + "row 1 (\"abc\") would be named \"ABC\", as Add ROM writes names (letters in upper case, "
                   "'?' for other bytes)"}},
    };
    for (const auto& c : cases) {
        RomList list;
        list.entries = c.entries;
        EXPECT_EQ(rebuildDifferences(c.roms, list), c.warnings) << c.what;
    }
    // Banks 1 to 14 taken, then a save ROM in bank 15 that runs past the flash: Add ROM refuses it.
    std::vector<InspectedRom> roms;
    RomList list;
    for (int bank = 1; bank <= 15; ++bank) {
        roms.push_back(row("S", bank * kSaveRegionBlocks, bank == 15 ? 128 : 64));
        list.entries.push_back(entry("S", true));
    }
    EXPECT_EQ(rebuildDifferences(roms, list),
              std::vector<std::string>{
                  prefix + "row 15 (\"S\") is refused: Cannot add \"F.GB\" with save memory: its 128 blocks "
                           "from save bank 15 at block 960 would run past the last flash block 1023"});
}

// A save ROM removed before a later one was added: the list keeps the later one's bank, so it keeps its
// place; only the removed ROM's blocks, left as zeros, differ from what a rebuild writes.
TEST_F(Extraction, ARemovedSaveRomLeavesOnlyItsBlocksAsARebuildDifference) {
    addOk(romFile(32, 0, kBattery), true, "GONE");
    addOk(romFile(16, 0, kBattery), true, "KEPT");
    selectNameRow(state, 0);
    removeRom(state);
    compileOk();
    const auto extracted = extract(folder / "out");
    ASSERT_TRUE(extracted.ok()) << extracted.failure().message;
    const std::string prefix = "a rebuild from \"list.json\" does not give this image back: ";
    EXPECT_EQ(extracted.value().warnings,
              (std::vector<std::string>{prefix + "32 blocks that no ROM holds, from block 32, are not filled "
                                                 "with 0xFF as a compilation leaves free blocks"}));
}

TEST_F(Extraction, HostileNamesStayInsideTheFolder) {
    for (const auto* name : {"../x", "CON", "A/B", "................", "Menu", "OUTPUT1", "con"}) {
        addFile(name[0] == '.' ? "DOTS.GB"
                               : std::string("F") + std::to_string(state.table.rowCount()) + ".GB",
                1, false, name);
    }
    compileOk();
    const auto before = contents();
    const auto extracted = extract(folder / "out");
    ASSERT_TRUE(extracted.ok()) << extracted.failure().message;
    EXPECT_EQ(extracted.value().files,
              (std::vector<std::string>{"_X.GB", "CON_.GB", "A_B.GB", "ROM.GB", "MENU (2).GB",
                                        "OUTPUT1 (2).GB", "CON_ (2).GB"}));
    auto after = contents();
    after.erase("out");
    EXPECT_EQ(after, before) << "nothing is written beside the folder";
    std::vector<std::string> inside;
    for (const auto& entry : fs::directory_iterator(folder / "out")) {
        inside.push_back(entry.path().filename().string());
    }
    std::sort(inside.begin(), inside.end());
    EXPECT_EQ(inside, (std::vector<std::string>{"A_B.GB", "CON_ (2).GB", "CON_.GB", "MENU (2).GB",
                                                "OUTPUT1 (2).GB", "ROM.GB", "_X.GB", "list.json"}));
    EXPECT_EQ(rebuild(extracted.value().list, folder / "work"), test::readFile(folder / kImageName));
}

TEST_F(Extraction, ExistingFilesAreKeptUnlessLetGo) {
    addFile("P.GB", 2, false, "P");
    compileOk();
    fs::create_directory(folder / "out");
    test::writeFile(folder / "out" / "list.json", {'o', 'l', 'd'});
    const auto declined = extract(folder / "out", false);
    ASSERT_TRUE(declined.ok()) << declined.failure().message;
    EXPECT_TRUE(declined.value().declined);
    EXPECT_EQ(asked_, std::vector<std::string>{"list.json"});
    EXPECT_EQ(test::folderContents(folder / "out").size(), 1u) << "nothing written";
    EXPECT_EQ(test::readFile(folder / "out" / "list.json"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));

    const auto replaced = extract(folder / "out", true);
    ASSERT_TRUE(replaced.ok()) << replaced.failure().message;
    EXPECT_FALSE(replaced.value().declined);
    EXPECT_EQ(test::readFile(folder / "out" / "P.GB"), test::readFile(folder / "P.GB"));
    EXPECT_NE(test::readFile(folder / "out" / "list.json").size(), 3u);
}

TEST_F(Extraction, RefusedWhatHoldsNoRoms) {
    addFile("P.GB", 2, false, "P");
    compileOk();
    const auto menu = ImageFile::open(folder / kMenuTemplateName);
    const auto extracted =
        extractImage(menu.value(), inspectImage(menu.value()).value(), {folder / "out", {}});
    ASSERT_FALSE(extracted.ok());
    EXPECT_EQ(
        extracted.failure().message,
        "Cannot extract the ROMs of \"Menu.GB\": it is a menu template, which holds the table but no ROMs");
    EXPECT_FALSE(fs::exists(folder / "out"));
}

} // namespace
} // namespace romc
