// The flash plan of an inspected image, so that the placement report and the flash map of an image read
// back are drawn exactly as those of the compilation that wrote it.
#pragma once

#include "inspect/image_file.h"
#include "inspect/inspection.h"
#include "plan/flash_plan.h"

namespace romc {

// Every row at the place the table gives it; a row holds a save bank when it is taken as a save ROM
// (listedWithSave), so "Menu.GB" alone, whose ROMs have no header to read, shows no save bank. The image's
// length is the file's for "Output.GB"; for pieces and "Menu.GB" it is the length a compilation gives
// (the menu template beside them, or one block, then the ROMs). The pieces beside the image come with it.
FlashPlan planOfInspection(const ImageFile& image, const Inspection& inspection);

} // namespace romc
