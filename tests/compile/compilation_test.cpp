#include "compile/compilation.h"
#include "compile/image.h"
#include "compile/menu_table.h"
#include "romtable/row_selection.h"
#include "support/table_fixture.h"

#include <functional>
#include <map>
#include <vector>

namespace romc {
namespace {

using test::firstDifference;
using test::readFile;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kMiB = 1024 * 1024;

class Compilation : public test::TableFixture {
  public:
    Refusal compile(bool dryRun = false) { return generateCompilation(state, {folder.path(), dryRun}); }

    Bytes output(const std::string& name) const { return readFile(folder / name); }
    bool exists(const std::string& name) const { return std::filesystem::exists(folder / name); }
    int location(std::size_t row) const { return std::stoi(cell(row, Column::Location)); }
    Bytes romOf(std::size_t row) const { return readFile(folder / cell(row, Column::File)); }

    // The bytes of `count` blocks of the image starting at `block`.
    static Bytes blocksOf(const Bytes& image, int block, int count) {
        const auto first = image.begin() + static_cast<std::ptrdiff_t>(block * kBlockSize);
        return Bytes(first, first + static_cast<std::ptrdiff_t>(count * kBlockSize));
    }
};

TEST_F(Compilation, OneMegabyteRomAfterTheMenu) {
    addOk(romFile(32), false, "puzzle");
    compileOk();
    EXPECT_EQ(cell(0, Column::Location), "32");

    Bytes expected = test::menuTemplate();
    const std::string name = "PUZZLE          ";
    std::copy(name.begin(), name.end(), expected.begin() + menu::kNameEntries);
    expected[menu::kLocationEntries + 1] = 0x90;
    expected[menu::kLocationEntries + 2] = 224;
    expected[menu::kLocationEntries + 3] = 32;
    expected[menu::kRomCountOffset] = 1;
    expected[menu::kLastPageOffset] = 0;
    EXPECT_EQ(firstDifference(expected, output(menu::kTemplateName)), "equal") << "Menu.GB keeps its patch";

    expected.resize(32 * kBlockSize, 0xFF);
    const Bytes rom = romOf(0);
    expected.insert(expected.end(), rom.begin(), rom.end());
    EXPECT_EQ(firstDifference(expected, output(kImageName)), "equal");
    expected.resize(kPieceSize, 0x00);
    EXPECT_EQ(firstDifference(expected, output("Output1.GB")), "equal");
    EXPECT_FALSE(exists("Output2.GB"));
}

TEST_F(Compilation, EightMegabyteRomMakesTwoPieces) {
    addOk(romFile(256));
    compileOk();
    EXPECT_EQ(location(0), 256);
    const Bytes image = output(kImageName);
    ASSERT_EQ(image.size(), 16 * kMiB);
    EXPECT_EQ(firstDifference(romOf(0), blocksOf(image, 256, 256)), "equal");
    EXPECT_EQ(firstDifference(blocksOf(image, 0, 256), output("Output1.GB")), "equal");
    EXPECT_EQ(firstDifference(blocksOf(image, 256, 256), output("Output2.GB")), "equal");
    EXPECT_FALSE(exists("Output3.GB")) << "16777216 is not greater than 16777216";
    EXPECT_EQ(image[kBlockSize], 0xFF);
    EXPECT_EQ(image[256 * kBlockSize - 1], 0xFF);
}

struct PieceCase {
    const char* what;
    int saveBank; // -1: no save ROM; else a 1-block save ROM in this bank ends the image
    std::vector<int> plainSizes;
    std::size_t imageLength;
    int pieces;
};

TEST_F(Compilation, PiecesFollowTheImageLength) {
    const PieceCase cases[] = {
        {"image of exactly 8 MiB", -1, {128}, 8 * kMiB, 1},
        {"one block past 8 MiB", 4, {}, 8 * kMiB + kBlockSize, 2},
        {"exactly 16 MiB", -1, {256}, 16 * kMiB, 2},
        {"one block past 16 MiB", 8, {}, 16 * kMiB + kBlockSize, 3},
        {"exactly 24 MiB", -1, {256, 256}, 24 * kMiB, 3},
        {"one block past 24 MiB", 12, {}, 24 * kMiB + kBlockSize, 4},
        {"block 1023", 15, {}, 30 * kMiB + kBlockSize, 4},
        {"full flash", -1, {256, 256, 256}, 32 * kMiB, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        clearList(state);
        for (const auto* name : {"Output1.GB", "Output2.GB", "Output3.GB", "Output4.GB"}) {
            std::filesystem::remove(folder / name);
        }
        if (c.saveBank >= 0) {
            state.nextSaveBank = static_cast<std::int16_t>(c.saveBank);
            addOk(romFile(1), true);
        }
        for (int size : c.plainSizes) {
            addOk(romFile(size));
        }
        compileOk();
        const Bytes image = output(kImageName);
        EXPECT_EQ(image.size(), c.imageLength);
        for (int k = 1; k <= kPieceCount; ++k) {
            ASSERT_EQ(exists(pieceName(k)), k <= c.pieces) << pieceName(k);
            if (k <= c.pieces) {
                Bytes expected(
                    image.begin() + static_cast<std::ptrdiff_t>(std::min(image.size(), (k - 1) * kPieceSize)),
                    image.begin() + static_cast<std::ptrdiff_t>(std::min(image.size(), k * kPieceSize)));
                expected.resize(kPieceSize, 0x00);
                EXPECT_EQ(firstDifference(expected, output(pieceName(k))), "equal") << pieceName(k);
            }
        }
    }
}

TEST_F(Compilation, FullFlashPlacesEveryRomByteForByte) {
    const std::vector<int> sizes = {256, 256, 256, 128, 64, 32, 16, 8, 4, 2, 1};
    const std::vector<int> locations = {256, 512, 768, 128, 64, 32, 16, 8, 4, 2, 1};
    for (int size : sizes) {
        addOk(romFile(size));
    }
    compileOk();
    const Bytes image = output(kImageName);
    ASSERT_EQ(image.size(), kFlashSize);
    std::vector<Bytes> pieces;
    for (int k = 1; k <= kPieceCount; ++k) {
        pieces.push_back(output(pieceName(k)));
    }
    for (std::size_t row = 0; row < sizes.size(); ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        ASSERT_EQ(location(row), locations[row]);
        const Bytes rom = romOf(row);
        EXPECT_EQ(firstDifference(rom, blocksOf(image, locations[row], sizes[row])), "equal");
        const auto piece = static_cast<std::size_t>(locations[row]) / kPieceBlocks;
        const int blockInPiece = locations[row] % static_cast<int>(kPieceBlocks);
        EXPECT_EQ(firstDifference(rom, blocksOf(pieces[piece], blockInPiece, sizes[row])), "equal");
    }
}

TEST_F(Compilation, RemovedSaveRomLeavesZeroBlocksInsideTheImage) {
    addOk(romFile(4), true); // bank 0 at blocks 4 to 7
    addOk(romFile(16));      // placed at 16
    selectNameRow(state, 0);
    ASSERT_TRUE(removeRom(state));
    compileOk();
    const Bytes image = output(kImageName);
    ASSERT_EQ(image.size(), 32 * kBlockSize);
    EXPECT_EQ(blocksOf(image, 4, 4), Bytes(4 * kBlockSize, 0x00));
    EXPECT_EQ(blocksOf(image, 1, 3), Bytes(3 * kBlockSize, 0xFF));
    EXPECT_EQ(blocksOf(image, 8, 8), Bytes(8 * kBlockSize, 0xFF));
}

TEST_F(Compilation, RomCopiesOnlyItsWholeBlocks) {
    addOk(romFile(2));                     // placed at 2: blocks 2 and 3
    addOk(romFile(1, 40000 - kBlockSize)); // placed at 1; its extra bytes must not reach block 2
    compileOk();
    ASSERT_EQ(location(0), 2);
    ASSERT_EQ(location(1), 1);
    const Bytes image = output(kImageName);
    EXPECT_EQ(firstDifference(romOf(0), blocksOf(image, 2, 2)), "equal");
    const Bytes spilling = romOf(1);
    EXPECT_EQ(firstDifference(Bytes(spilling.begin(), spilling.begin() + kBlockSize), blocksOf(image, 1, 1)),
              "equal");
    EXPECT_EQ(image.size(), 4 * kBlockSize);
}

TEST_F(Compilation, LaterCompilationOverwritesOnlyItsOwnRows) {
    const auto path = romFile(1);
    for (int i = 0; i < 8; ++i) {
        addOk(path, false, "first" + std::to_string(i));
    }
    addOk(romFile(256));
    addOk(romFile(256));
    compileOk(); // reaches Output3.GB
    const Bytes firstMenu = output(menu::kTemplateName);

    clearList(state);
    for (int i = 0; i < 5; ++i) {
        addOk(path, false, "second" + std::to_string(i));
    }
    compileOk();
    const Bytes menuBytes = output(menu::kTemplateName);
    EXPECT_EQ(menuBytes[menu::kRomCountOffset], 5);
    const auto name = [&](const Bytes& bytes, int row) {
        const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(menu::kNameEntries + 16 * row);
        return std::string(first, first + 16);
    };
    EXPECT_EQ(name(menuBytes, 4), "SECOND4         ");
    for (int row = 5; row < 9; ++row) {
        EXPECT_EQ(name(menuBytes, row), name(firstMenu, row)) << "entries past the count stay as they were";
    }
    EXPECT_EQ(output(kImageName).size(), 6 * kBlockSize) << "nothing of the longer image remains";
    for (const char* piece : {"Output2.GB", "Output3.GB"}) {
        EXPECT_FALSE(std::filesystem::exists(folder / piece))
            << piece << ": the shorter image does not reach it";
    }
}

TEST_F(Compilation, DryRunPlacesButWritesNothing) {
    addOk(romFile(32));
    const auto before = contents();
    ASSERT_FALSE(compile(true));
    EXPECT_EQ(cell(0, Column::Location), "32");
    EXPECT_EQ(state.blocks[32], 1);
    EXPECT_EQ(contents(), before);
}

TEST_F(Compilation, FailedCheckChangesNothing) {
    const std::vector<std::pair<const char*, std::pair<std::function<void(Compilation&)>, const char*>>>
        cases = {
            {"empty table", {[](Compilation& t) { clearList(t.state); }, "nothing to compile"}},
            {"menu missing",
             {[](Compilation& t) { std::filesystem::remove(t.folder / menu::kTemplateName); },
              "\"Menu.GB\" is missing"}},
            {"menu is a folder",
             {[](Compilation& t) {
                  std::filesystem::remove(t.folder / menu::kTemplateName);
                  std::filesystem::create_directory(t.folder / menu::kTemplateName);
              },
              "\"Menu.GB\" is not a regular file"}},
            {"ROM deleted",
             {[](Compilation& t) { std::filesystem::remove(t.folder / t.cell(1, Column::File)); },
              "No such file"}},
            {"ROM shrunk",
             {[](Compilation& t) { test::resizeFile(t.folder / t.cell(1, Column::File), kBlockSize); },
              "was 2 blocks when it was added and is now 32768 bytes"}},
            {"ROM grown",
             {[](Compilation& t) { test::resizeFile(t.folder / t.cell(0, Column::File), 5 * kBlockSize); },
              "was 4 blocks when it was added"}},
            {"ROM does not fit",
             {[](Compilation& t) {
                  for (int i = 0; i < 4; ++i) {
                      t.addOk(t.romFile(256));
                  }
              },
              "(256 blocks) does not fit in the flash: the largest free aligned space is 128 blocks"}},
            {"output name is a folder",
             {[](Compilation& t) { std::filesystem::create_directory(t.folder / "Output1.GB"); },
              "\"Output1.GB\": a folder of that name is in the way"}},
        };
    for (const auto& [what, arrangeAndMessage] : cases) {
        SCOPED_TRACE(what);
        std::filesystem::remove_all(folder.path());
        std::filesystem::create_directory(folder.path());
        SetUp();
        clearList(state);
        addOk(romFile(4), true);
        addOk(romFile(2));
        arrangeAndMessage.first(*this);
        const TableState before = state;
        const auto filesBefore = contents();
        const auto failure = compile();
        ASSERT_TRUE(failure);
        EXPECT_NE(failure->message.find(arrangeAndMessage.second), std::string::npos) << failure->message;
        EXPECT_EQ(state.table.columns, before.table.columns);
        EXPECT_EQ(state.blocks, before.blocks);
        EXPECT_EQ(contents(), filesBefore);
    }
}

// Another program reading "Output.GB" (an inspection, a flasher) while the user compiles again: where a
// file held open cannot be replaced (Windows), the compilation is refused before it renames anything, so
// "Output1.GB", renamed before the image, is not left new beside an old image; elsewhere it goes through
// and the reader keeps the bytes it opened.
TEST_F(Compilation, ImageHeldOpenByAReaderIsReplacedWithTheRestOrNotAtAll) {
    addOk(romFile(32), false, "puzzle");
    compileOk();
    std::map<std::string, Bytes> before;
    for (const char* name : {"Menu.GB", "Output.GB", "Output1.GB"}) {
        before[name] = output(name);
    }
    addOk(romFile(64), false, "saga");
    auto reader = systemDisk().openForReading(folder / kImageName);
    ASSERT_FALSE(reader.error) << reader.error.message();
    const auto failure = compile();
    Bytes first(kBlockSize);
    std::size_t got = 0;
    EXPECT_FALSE(reader.value->readAt(0, first, got));
    EXPECT_TRUE(std::equal(first.begin(), first.end(), before[kImageName].begin()));
    if (failure) {
        EXPECT_NE(failure->message.find("\"Output.GB\": another program has it open; nothing was changed"),
                  std::string::npos)
            << failure->message;
        for (const auto& [name, bytes] : before) {
            EXPECT_EQ(firstDifference(bytes, output(name)), "equal") << name << " changed";
        }
    }
#ifdef _WIN32
    EXPECT_TRUE(failure) << "an image held open was replaced";
#else
    EXPECT_FALSE(failure) << failure->message;
#endif
    reader.value.reset();
    compileOk();
    EXPECT_NE(output(kImageName), before[kImageName]);
}

TEST_F(Compilation, FolderUnderAPieceTheImageDoesNotReachIsNoObstacle) {
    std::filesystem::create_directory(folder / "Output4.GB");
    addOk(romFile(1));
    compileOk();
    EXPECT_TRUE(std::filesystem::is_directory(folder / "Output4.GB"));
}

TEST_F(Compilation, PlantedLinkUnderAnOutputNameIsReplacedNotFollowed) {
    const auto victim = folder / "victim.bin";
    test::writeFile(victim, {1, 2, 3});
    if (!test::makeLink(victim, folder / kImageName)) {
        GTEST_SKIP() << test::kNoLinksHere;
    }
    addOk(romFile(1));
    compileOk();
    EXPECT_FALSE(std::filesystem::is_symlink(folder / kImageName));
    EXPECT_EQ(readFile(victim), (Bytes{1, 2, 3}));
    EXPECT_EQ(output(kImageName).size(), 2 * kBlockSize);
}

} // namespace
} // namespace romc
