// Names of the files a run writes before it renames them into place: ".Output.GB.5f3a9c0e1d2b4a67.romc-part"
// for "Output.GB". Hidden, in the final file's own folder (so the rename never crosses a disk), unique per
// run, and recognisable, so that what a killed run left behind is found and removed by the next one.
#pragma once

#include <filesystem>

namespace romc {

// A fresh name beside `finalPath`; each call gives another.
std::filesystem::path temporaryNameFor(const std::filesystem::path& finalPath);

// Whether a file name is one that temporaryNameFor makes.
bool isTemporaryName(const std::filesystem::path& fileName);

// Whether `tempName` is a name temporaryNameFor makes for the file name `finalName`.
bool isTemporaryNameFor(const std::filesystem::path& tempName, const std::filesystem::path& finalName);

} // namespace romc
