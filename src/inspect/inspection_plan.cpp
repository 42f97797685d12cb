#include "inspect/inspection_plan.h"

#include "compile/menu_read.h"
#include "romtable/flash_units.h"

namespace romc {

FlashPlan planOfInspection(const ImageFile& image, const Inspection& inspection) {
    const ImagePart& first = image.parts().front();
    PlacedImage placed;
    const auto beside =
        first.path.parent_path().empty() ? std::filesystem::path(".") : first.path.parent_path();
    // Pieces of another image's name are not this image's: only outputs beside outputs are looked at.
    placed.folder = image.besideOutputs() ? readWorkFolder(beside) : WorkFolder{beside, 0, {}};
    switch (image.form()) {
    case ImageForm::Image:
        placed.imageBytes = inspection.imageBytes;
        break;
    case ImageForm::MenuOnly:
        placed.folder.menuBytes = first.bytes;
        break;
    case ImageForm::Pieces:
        // Every piece is 8 MiB whatever the image's length; the table's menu block is there at least.
        placed.folder.menuBytes = std::max<std::uintmax_t>(placed.folder.menuBytes, kBlockSize);
        break;
    }
    for (const InspectedRom& rom : inspection.roms) {
        placed.rows.push_back({escapedName(rom.name), rom.first, rom.blocks,
                               listedWithSave(rom) ? rom.saveBank : std::nullopt});
    }
    return planFlash(placed);
}

} // namespace romc
