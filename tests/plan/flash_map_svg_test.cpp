// The flash map picture: every block drawn once, in the class of who holds it, checked against the block map;
// names, save banks and the legend; text that would break the document is escaped.
#include "compile/compilation.h"
#include "compile/menu_table.h"
#include "plan/flash_map_svg.h"
#include "plan/flash_plan.h"
#include "romtable/add_rom.h"
#include "romtable/row_selection.h"
#include "support/rom_files.h"
#include "support/table_fixture.h"

#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace romc {
namespace {

using test::Rom;

struct DrawnBlock {
    std::string kind; // menu, free, none, rom
    int row = -1;
};

// The text of attribute `name` inside the element that starts at `from`, if it has one.
std::optional<std::string> attribute(const std::string& svg, std::size_t from, const std::string& name) {
    const std::size_t end = svg.find("/>", from);
    const std::size_t at = svg.find(" " + name + "=\"", from);
    if (at == std::string::npos || at > end) {
        return std::nullopt;
    }
    const std::size_t value = at + name.size() + 3;
    return svg.substr(value, svg.find('"', value) - value);
}

// Each block's <rect>, by block number; a block drawn twice or never fails the test.
std::map<int, DrawnBlock> drawnBlocks(const std::string& svg) {
    std::map<int, DrawnBlock> drawn;
    for (std::size_t at = svg.find("<rect "); at != std::string::npos; at = svg.find("<rect ", at + 1)) {
        const auto id = attribute(svg, at, "id");
        if (!id || id->rfind("block-", 0) != 0) {
            continue;
        }
        const int block = std::stoi(id->substr(6));
        EXPECT_EQ(drawn.count(block), 0u) << "block " << block << " drawn twice";
        const auto row = attribute(svg, at, "data-row");
        drawn[block] = {attribute(svg, at, "class").value_or(""), row ? std::stoi(*row) : -1};
    }
    return drawn;
}

class FlashMapSvg : public test::TableFixture {
  protected:
    void addAll(const std::vector<Rom>& roms) {
        std::uint32_t seed = 1;
        for (const auto& rom : roms) {
            addFile("rom" + std::to_string(seed) + ".gb", rom.blocks, rom.save, rom.name);
            ++seed;
        }
    }

    // The picture's blocks against the block map the compilation left, and against the plan's rows.
    void expectBlocksMatch(const FlashPlan& plan, const BlockMap& blocks) {
        const auto drawn = drawnBlocks(flashMapSvg(plan));
        ASSERT_EQ(drawn.size(), static_cast<std::size_t>(kFlashBlocks));
        for (int block = 0; block < kFlashBlocks; ++block) {
            const auto b = static_cast<std::size_t>(block);
            const DrawnBlock& cell = drawn.at(block);
            EXPECT_EQ(cell.kind == "free", blocks[b] == 0) << "block " << block << " is " << cell.kind;
            if (block == kMenuBlock) {
                EXPECT_EQ(cell.kind, "menu");
            }
            if (cell.kind == "rom") {
                ASSERT_GE(cell.row, 0);
                const RowPlace& place = plan.rows.at(static_cast<std::size_t>(cell.row));
                ASSERT_TRUE(place.first) << "block " << block;
                EXPECT_GE(block, *place.first) << "block " << block;
                EXPECT_LE(block, place.last()) << "block " << block;
            }
        }
    }
};

TEST_F(FlashMapSvg, FullFlashBlocksMatchTheBlockMap) {
    addAll({{"EIGHT A", 256, false},
            {"EIGHT B", 256, false},
            {"EIGHT C", 256, false},
            {"FOUR", 128, false},
            {"TWO", 64, false},
            {"ONE", 32, false},
            {"HALF", 16, false},
            {"QUARTER", 8, false},
            {"B4", 4, false},
            {"B2", 2, false},
            {"B1", 1, false}});
    ASSERT_FALSE(generateCompilation(state, {folder.path(), true}));
    expectBlocksMatch(planFlash(state, readWorkFolder(folder.path())), state.blocks);
    const auto drawn = drawnBlocks(flashMapSvg(planFlash(state, readWorkFolder(folder.path()))));
    EXPECT_EQ(drawn.at(1).row, 10);   // the 1-block ROM, last in the table
    EXPECT_EQ(drawn.at(1023).row, 2); // the third 8 MiB ROM ends the flash
}

TEST_F(FlashMapSvg, SaveRomsAndFreeBlocksMatchTheBlockMap) {
    addAll({{"SAVE ONE", 32, true}, {"SAVE TWO", 64, true}, {"GAME", 128, false}, {"SMALL", 8, false}});
    ASSERT_FALSE(generateCompilation(state, {folder.path(), true}));
    const FlashPlan plan = planFlash(state, readWorkFolder(folder.path()));
    expectBlocksMatch(plan, state.blocks);

    const std::string svg = flashMapSvg(plan);
    EXPECT_NE(svg.find(">save bank 0: A SAVE ONE<"), std::string::npos);
    EXPECT_NE(svg.find(">save bank 1: B SAVE TWO<"), std::string::npos);
    EXPECT_NE(svg.find(">save bank 2: no save ROM<"), std::string::npos);
    EXPECT_NE(svg.find(">save bank 15: no save ROM<"), std::string::npos);
    EXPECT_NE(svg.find(">C GAME<"), std::string::npos);                 // the name inside its blocks
    EXPECT_NE(svg.find(">at blocks 128\u2013255<"), std::string::npos); // the legend
    EXPECT_NE(svg.find(">at blocks 32\u201363, save bank 0<"), std::string::npos);
    EXPECT_NE(svg.find(">Output4.GB<"), std::string::npos);
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
}

TEST_F(FlashMapSvg, RemovedSaveRomsBlocksAreTakenByNoRow) {
    addAll({{"GONE", 16, true}, {"KEPT", 4, false}});
    selectNameRow(state, 0);
    ASSERT_TRUE(removeRom(state));
    ASSERT_FALSE(generateCompilation(state, {folder.path(), true}));
    const FlashPlan plan = planFlash(state, readWorkFolder(folder.path()));
    expectBlocksMatch(plan, state.blocks);
    const auto drawn = drawnBlocks(flashMapSvg(plan));
    for (int block = 16; block <= 31; ++block) {
        EXPECT_EQ(drawn.at(block).kind, "none") << "block " << block;
    }
    EXPECT_EQ(drawn.at(4).row, 0); // KEPT is row 0 now
    EXPECT_NE(flashMapSvg(plan).find(">taken by no listed ROM<"), std::string::npos);
}

TEST_F(FlashMapSvg, NamesAreEscaped) {
    addAll({{"R&D <1> \"X\"", 4, false}, {"BAD\x01\xFF", 2, false}});
    ASSERT_FALSE(generateCompilation(state, {folder.path(), true}));
    const std::string svg = flashMapSvg(planFlash(state, readWorkFolder(folder.path())));
    EXPECT_NE(svg.find("R&amp;D &lt;1&gt; &quot;X&quot;"), std::string::npos);
    EXPECT_EQ(svg.find("R&D"), std::string::npos);
    EXPECT_EQ(svg.find("<1>"), std::string::npos);
    EXPECT_NE(svg.find("BAD\\x01\xEF\xBF\xBD"), std::string::npos) << "a control character as \\xNN, a stray byte as U+FFFD";
    EXPECT_EQ(svg.find('\x01'), std::string::npos);
    EXPECT_EQ(svg.find('\xFF'), std::string::npos);
}

} // namespace
} // namespace romc
