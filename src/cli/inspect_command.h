// romcompiler-cli --inspect IMAGE: prints the table an image holds, one row per line, then the checks to
// look at before flashing it, as warnings on stderr.
#pragma once

#include <filesystem>
#include <iosfwd>

namespace romc {

// Returns the exit status: 0 for a table a compilation could have written, 1 for a file that cannot be read
// or is not such an image (each reason named on `err`). `quiet` leaves out the cartridge header warnings.
int inspectCommand(const std::filesystem::path& image, bool quiet, std::ostream& out, std::ostream& err);

} // namespace romc
