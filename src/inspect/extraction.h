// Taking every ROM out of an inspected image into a folder, with the ROM list that builds the image again.
// The command line's --extract and the window's "Import Image..." both come here.
#pragma once

#include "files/disk.h"
#include "inspect/extraction_plan.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace romc {

struct ExtractRequest {
    std::filesystem::path folder; // made when missing; nothing is written outside it
    // Asked once, before anything is written, with the files of the folder that would be replaced; false
    // refuses the extraction. None: nothing is replaced.
    std::function<bool(const std::vector<std::string>&)> mayReplace;
    Disk* disk = nullptr; // none: the system's
    // A whole save dump of the cartridge (checked by the caller), or empty: each save ROM's bank is written
    // beside its ROM as its ".sav", cut to what its header declares, and named in the list as its "sav".
    std::vector<std::uint8_t> saveDump{};
};

struct Extracted {
    std::filesystem::path list;        // the ROM list written, `folder` / "list.json"
    std::vector<std::string> files;    // the ROM files written, in table order
    std::vector<std::string> saves;    // the save files written from a save dump, in table order
    std::vector<std::string> warnings; // how a rebuild from the list would differ from the image
    std::vector<std::string> notes;    // what was completed of an earlier run killed in the folder
    std::vector<std::string> replaced; // files that were in the folder: replaced, or kept when declined
    bool declined = false;             // `mayReplace` said no: nothing was written
};

// The files of `plan` (the list included) that `folder` already holds.
std::vector<std::string> filesInTheWay(const ExtractionPlan& plan, const std::filesystem::path& folder);

// Writes each ROM's blocks to its file and the list beside them, every file under a temporary name renamed
// when all are complete, under the folder's lock; a failure leaves the folder as it was. Refused: an
// inspection with problems or without ROMs' bytes ("Menu.GB" alone), a folder that cannot be made. Existing
// files that `mayReplace` does not let go are no failure: `declined` says so and nothing is written.
Outcome<Extracted> extractImage(const ImageFile& image, const Inspection& inspection,
                                const ExtractRequest& request);

} // namespace romc
