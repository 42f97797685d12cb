// romcompiler-cli --inspect IMAGE: prints the table an image holds, one row per line, then the checks to
// look at before flashing it, as warnings on stderr; with --report and --map, the placement report and
// the flash map of the image, drawn as those of a compilation. Nothing in the image is changed.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

namespace romc {

struct InspectOptions {
    bool quiet = false; // leave out the cartridge header warnings
    // --extract DIR: each ROM into DIR as a file, with "list.json" naming them
    std::optional<std::filesystem::path> extractTo;
    std::string extractShown; // the folder as the user gave it, for messages
    bool force = false;       // --force: replace files already in DIR
    bool report = false;      // --report: the placement report after the table
    // --map FILE.svg: the flash map of the image drawn here (checked by the caller: checkMapName and
    // checkMapReplaceable)
    std::optional<std::filesystem::path> map;
    // --split-saves DUMP with --extract: each save ROM's save beside it.
    std::optional<std::filesystem::path> splitSaves{};
    std::string splitSavesShown{};
};

// Returns the exit status: 0 for a table a compilation could have written (and, with extractTo or map, every
// file written), 1 for a file that cannot be read or is not such an image, or an extraction refused (each
// reason named on `err`).
int inspectCommand(const std::filesystem::path& image, const InspectOptions& options, std::ostream& out,
                   std::ostream& err);

} // namespace romc
