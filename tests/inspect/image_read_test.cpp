// Reading compiled images back: seeded random tables compiled by the core and read from "Output.GB", from
// the pieces and from "Menu.GB"; pieces that are stale, missing, cut or changed; files that are refused.
#include "compile/compilation.h"
#include "compile/image.h"
#include "inspect/inspection.h"
#include "support/table_fixture.h"

#include <fstream>
#include <functional>
#include <random>

namespace romc {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class ImageRead : public test::TableFixture {
  public:
    Inspection inspect(const std::string& name) {
        const auto image = ImageFile::open(folder / name);
        EXPECT_TRUE(image.ok()) << image.failure().message;
        const auto inspected = inspectImage(image.value());
        EXPECT_TRUE(inspected.ok()) << inspected.failure().message;
        return inspected.value();
    }

    std::vector<std::string> warningsOf(const std::string& name) { return inspect(name).warnings; }
};

TEST_F(ImageRead, RandomCompilationsReadBackFromEveryForm) {
    std::vector<std::string> files;
    for (int size : {1, 2, 3, 8, 16, 32, 48, 64, 100, 128, 256}) {
        files.push_back(romFile(size));
    }
    std::mt19937 random(7);
    for (int compiled = 0; compiled < 12;) {
        clearList(state);
        addRandomRows(random, files, std::uniform_int_distribution<int>(1, 12)(random));
        if (state.table.rowCount() == 0 || generateCompilation(state, {folder.path(), false})) {
            continue; // refused: a ROM that does not fit
        }
        ++compiled;
        std::size_t stale = 0; // pieces of an earlier compilation in the same folder
        for (int k = piecesFor(fs::file_size(folder / kImageName)) + 1; k <= kPieceCount; ++k) {
            stale += fs::exists(folder / pieceName(k));
        }
        for (const std::string form : {kImageName, "Output1.GB", "Menu.GB"}) {
            SCOPED_TRACE("table " + std::to_string(compiled) + " read from " + form);
            const Inspection inspection = inspect(form);
            ASSERT_TRUE(inspection.problems.empty()) << inspection.problems.front();
            ASSERT_EQ(inspection.roms.size(), state.table.rowCount());
            for (std::size_t r = 0; r < state.table.rowCount(); ++r) {
                const InspectedRom& rom = inspection.roms[r];
                std::string name = cell(r, Column::Name).substr(0, 16);
                EXPECT_EQ(rom.name, name.erase(name.find_last_not_of(' ') + 1));
                EXPECT_EQ(rom.first, std::stoi(cell(r, Column::Location)));
                EXPECT_EQ(rom.blocks, std::stoi(cell(r, Column::Size)));
                if (cell(r, Column::SaveFlag) == kSaveFlagYes) {
                    EXPECT_EQ(rom.saveBank, std::stoi(cell(r, Column::SaveBank)));
                }
                EXPECT_EQ(rom.header.has_value(), form != "Menu.GB");
            }
            ASSERT_EQ(inspection.warnings.size(), form == "Menu.GB" ? 0 : stale);
            for (const auto& warning : inspection.warnings) {
                EXPECT_NE(warning.find("left over from an earlier, larger compilation"), std::string::npos);
            }
        }
        // Every ROM's blocks, read back from the image one block at a time, are its file's.
        const auto image = ImageFile::open(folder / kImageName);
        const Inspection inspection = inspect(kImageName);
        for (std::size_t r = 0; r < inspection.roms.size(); ++r) {
            Bytes read;
            ASSERT_FALSE(
                readRomBlocks(image.value(), inspection.roms[r], [&read](std::span<const std::uint8_t> b) {
                    read.insert(read.end(), b.begin(), b.end());
                    return Refusal{};
                }));
            EXPECT_EQ(test::firstDifference(test::readFile(folder / cell(r, Column::File)), read), "equal");
        }
    }
}

struct PieceCase {
    std::function<void(const fs::path&)> change; // done to the outputs of an image of three pieces
    std::string inspected;
    std::string warning; // the start of the one warning expected; "" for none
    std::string problem; // a part of the one problem expected; "" for none
};

TEST_F(ImageRead, PiecesThatDoNotBelongAreNamed) {
    const auto remove = [](std::vector<std::string> names) {
        return [names](const fs::path& folder) {
            for (const auto& name : names) {
                fs::remove(folder / name);
            }
        };
    };
    const auto flip = [](std::string name, std::uintmax_t offset) {
        return [name, offset](const fs::path& folder) {
            std::fstream file(folder / name, std::ios::in | std::ios::out | std::ios::binary);
            file.seekg(static_cast<std::streamoff>(offset));
            const char byte = static_cast<char>(file.get() ^ 0x5A);
            file.seekp(static_cast<std::streamoff>(offset));
            file.put(byte);
        };
    };
    const std::string mismatch =
        "\"Output2.GB\" does not match \"Output.GB\": they differ first at byte 0x1234";
    const PieceCase cases[] = {
        {remove({}), kImageName, "", ""},
        {flip("Output2.GB", 0x1234), kImageName,
         mismatch + " of the piece (byte 0x801234 of the image, block 256)", ""},
        {flip("Output2.GB", 0x1234), "Output1.GB", mismatch, ""},
        {flip("Output3.GB", kPieceSize - 1), kImageName,
         "\"Output3.GB\" does not match \"Output.GB\": they differ first at byte 0x7FFFFF", ""},
        {[](const fs::path& folder) { test::resizeFile(folder / "Output3.GB", 1000); }, kImageName,
         "\"Output3.GB\" is 1000 bytes; a piece of \"Output.GB\" is 8388608", ""},
        {remove({"Output2.GB"}), kImageName, "\"Output2.GB\" is missing, but \"Output.GB\" reaches into it",
         ""},
        {remove({"Output1.GB", "Output2.GB", "Output3.GB"}), kImageName, "", ""},
        {remove({kImageName}), "Output1.GB", "", ""},
        {remove({kImageName, "Output3.GB"}), "Output1.GB", "",
         "row 2 (\"SAVE\"): blocks 512 to 512 run past the end of the image"},
        {[](const fs::path& folder) { test::resizeFile(folder / kImageName, 512 * kBlockSize); }, kImageName,
         "", "row 2 (\"SAVE\"): blocks 512 to 512 run past the end of the image (16777216 bytes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.inspected + ": " + c.warning + c.problem);
        clearList(state);
        addOk(romFile(4), false, "plain");
        state.nextSaveBank = 8;
        addOk(romFile(1), true, "save"); // block 512: the image reaches one block into piece 3
        compileOk();
        c.change(folder.path());
        const Inspection inspection = inspect(c.inspected);
        const auto first = [](const std::vector<std::string>& lines) {
            return lines.empty() ? "" : lines[0];
        };
        ASSERT_EQ(inspection.warnings.size(), c.warning.empty() ? 0u : 1u) << first(inspection.warnings);
        EXPECT_TRUE(c.warning.empty() || inspection.warnings[0].starts_with(c.warning))
            << inspection.warnings[0];
        ASSERT_EQ(inspection.problems.size(), c.problem.empty() ? 0u : 1u) << first(inspection.problems);
        if (!c.problem.empty()) {
            EXPECT_NE(inspection.problems[0].find(c.problem), std::string::npos) << inspection.problems[0];
            EXPECT_TRUE(inspection.roms.empty()) << "nothing of an untrusted table is handed on";
        }
    }
}

TEST_F(ImageRead, PiecesOfAnEarlierLargerCompilationAreLeftOvers) {
    state.nextSaveBank = 12;
    addOk(romFile(1), true, "far"); // block 768: four pieces
    compileOk();
    std::map<std::string, std::vector<std::uint8_t>> pieces;
    for (const char* piece : {"Output2.GB", "Output3.GB", "Output4.GB"}) {
        pieces[piece] = test::readFile(folder / piece);
    }
    clearList(state);
    addOk(romFile(1), false, "near");
    compileOk();
    // The compilation removes them; copied back, as a user might from an older backup.
    for (const auto& [name, bytes] : pieces) {
        test::writeFile(folder / name, bytes);
    }
    std::vector<std::string> fromImage;
    for (const char* piece : {"\"Output2.GB\"", "\"Output3.GB\"", "\"Output4.GB\""}) {
        fromImage.push_back(std::string(piece) + " is left over from an earlier, larger compilation: "
                                                 "\"Output.GB\" ends in \"Output1.GB\"; do not flash it");
    }
    EXPECT_EQ(warningsOf(kImageName), fromImage);
    EXPECT_EQ(warningsOf("Output1.GB"), fromImage);

    fs::remove(folder / kImageName);
    fs::remove(folder / "Output3.GB");
    EXPECT_EQ(warningsOf("Output1.GB"),
              (std::vector<std::string>{
                  "\"Output2.GB\" lies past the table's last ROM, which ends in \"Output1.GB\": a leftover "
                  "of an earlier, larger compilation; do not flash it",
                  "\"Output4.GB\" is not joined: \"Output3.GB\" before it is missing or not whole"}));
}

TEST_F(ImageRead, FilesThatAreNoImageAreRefused) {
    addOk(romFile(1), false, "one");
    compileOk();
    test::writeFile(folder / "empty.gb", {});
    test::writeFile(folder / "huge.gb", Bytes(kFlashSize + 1, 0xFF));
    fs::create_directory(folder / "short");
    test::writeFile(folder / "short" / "Output1.GB", Bytes(kPieceSize - 1, 0));
    const std::pair<std::string, std::string> cases[] = {
        {"output4.gb", "\"output4.gb\" is piece 4 of an image"},
        {"empty.gb", "\"empty.gb\" is empty: it holds no menu table"},
        {"huge.gb", "\"huge.gb\" is 33554433 bytes, larger than the 33554432-byte flash"},
        {"short/Output1.GB", "\"Output1.GB\" is 8388607 bytes; every piece is 8388608 bytes"},
    };
    for (const auto& [name, message] : cases) {
        const auto image = ImageFile::open(folder / name);
        ASSERT_FALSE(image.ok()) << name;
        EXPECT_EQ(image.failure().message.rfind(message, 0), 0u) << image.failure().message;
    }
}

} // namespace
} // namespace romc
