#include "inspect/piece_checks.h"

#include "compile/image.h"
#include "files/utf8_path.h"
#include "romtable/number_text.h"
#include "romtable/rom_file.h"

#include <algorithm>
#include <optional>
#include <span>

namespace romc {

namespace {

namespace fs = std::filesystem;

// Pieces are compared a window at a time: two windows of 1 MiB is all the memory a comparison takes.
constexpr std::size_t kCompareWindow = 1024 * 1024;
static_assert(kPieceSize % kCompareWindow == 0);

std::optional<std::uintmax_t> regularFileBytes(const fs::path& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        return std::nullopt;
    }
    const auto bytes = fs::file_size(path, error);
    return error ? std::nullopt : std::optional(bytes);
}

// Reads up to into.size() bytes at `offset`, fewer only at the end of the file.
Outcome<std::size_t> readUpTo(OpenFile& file, std::uintmax_t offset, std::span<std::uint8_t> into,
                              const std::string& shown) {
    std::size_t got = 0;
    if (auto error = file.readAt(offset, into, got)) {
        return fileFailure("read", shown, error);
    }
    return got;
}

// Where piece k first differs from the part of the image it should hold (zeros past the image's end);
// none when they are equal.
Outcome<std::optional<std::uintmax_t>> pieceDifference(const fs::path& image, std::uintmax_t imageBytes,
                                                       const fs::path& piece, int k) {
    const std::string imageShown = pathToUtf8(image.filename());
    const std::string pieceShown = pathToUtf8(piece.filename());
    auto imageFile = openRomFile(systemDisk(), image, imageShown);
    if (!imageFile.ok()) {
        return imageFile.failure();
    }
    auto pieceFile = openRomFile(systemDisk(), piece, pieceShown);
    if (!pieceFile.ok()) {
        return pieceFile.failure();
    }
    const std::uintmax_t start = static_cast<std::uintmax_t>(k - 1) * kPieceSize;
    std::vector<std::uint8_t> expected(kCompareWindow);
    std::vector<std::uint8_t> actual(kCompareWindow);
    for (std::uintmax_t offset = 0; offset < kPieceSize; offset += kCompareWindow) {
        std::fill(expected.begin(), expected.end(), std::uint8_t{0});
        if (start + offset < imageBytes) {
            const auto wanted = static_cast<std::size_t>(
                std::min<std::uintmax_t>(kCompareWindow, imageBytes - start - offset));
            const auto got = readUpTo(*imageFile.value().file, start + offset,
                                      std::span(expected).first(wanted), imageShown);
            if (!got.ok()) {
                return got.failure();
            }
        }
        const auto got = readUpTo(*pieceFile.value().file, offset, actual, pieceShown);
        if (!got.ok()) {
            return got.failure();
        }
        const auto end = actual.begin() + static_cast<std::ptrdiff_t>(got.value());
        const auto [at, unused] = std::mismatch(actual.begin(), end, expected.begin());
        if (at != end || got.value() < actual.size()) {
            return std::optional(offset + static_cast<std::uintmax_t>(at - actual.begin()));
        }
    }
    return std::optional<std::uintmax_t>();
}

std::string hexByteOffset(std::uintmax_t offset) {
    std::string text;
    do {
        text.insert(0, hexByteText(static_cast<std::uint8_t>(offset & 0xFF)).substr(2));
        offset >>= 8;
    } while (offset != 0);
    return "0x" + text;
}

// Measured against "Output.GB" beside them.
void checkAgainstImage(const fs::path& folder, const fs::path& image, std::uintmax_t imageBytes,
                       std::vector<std::string>& warnings) {
    const std::string imageShown = image.filename().string();
    const int reached = piecesFor(imageBytes);
    std::vector<std::optional<std::uintmax_t>> pieceBytes;
    for (int k = 1; k <= kPieceCount; ++k) {
        pieceBytes.push_back(regularFileBytes(folder / pieceName(k)));
    }
    if (std::none_of(pieceBytes.begin(), pieceBytes.end(),
                     [](const auto& bytes) { return bytes.has_value(); })) {
        return; // the image alone, to be flashed whole
    }
    for (int k = 1; k <= kPieceCount; ++k) {
        const std::string shown = inQuotes(pieceName(k));
        const auto& bytes = pieceBytes[static_cast<std::size_t>(k - 1)];
        if (k > reached) {
            if (bytes) {
                warnings.push_back(
                    shown + " is left over from an earlier, larger compilation: " + inQuotes(imageShown) +
                    " ends in " + inQuotes(pieceName(reached)) + "; do not flash it");
            }
        } else if (!bytes) {
            warnings.push_back(shown + " is missing, but " + inQuotes(imageShown) + " reaches into it");
        } else if (*bytes != kPieceSize) {
            warnings.push_back(shown + " is " + std::to_string(*bytes) + " bytes; a piece of " +
                               inQuotes(imageShown) + " is " + std::to_string(kPieceSize));
        } else {
            const auto difference = pieceDifference(image, imageBytes, folder / pieceName(k), k);
            if (!difference.ok()) {
                warnings.push_back(difference.failure().message);
            } else if (const auto at = difference.value()) {
                const std::uintmax_t inImage = static_cast<std::uintmax_t>(k - 1) * kPieceSize + *at;
                warnings.push_back(shown + " does not match " + inQuotes(imageShown) +
                                   ": they differ first at byte " + hexByteOffset(*at) +
                                   " of the piece (byte " + hexByteOffset(inImage) + " of the image, block " +
                                   std::to_string(inImage / kBlockSize) + ")");
            }
        }
    }
}

// Pieces alone: those not joined, and those past the table's last ROM.
void checkPiecesAlone(const ImageFile& image, std::uintmax_t tableEndBytes,
                      std::vector<std::string>& warnings) {
    const fs::path folder = image.parts().front().path.parent_path();
    const int joined = static_cast<int>(image.parts().size());
    const int needed = piecesFor(tableEndBytes);
    for (int k = 2; k <= joined; ++k) {
        if (k > needed) {
            warnings.push_back(inQuotes(pieceName(k)) + " lies past the table's last ROM, which ends in " +
                               inQuotes(pieceName(needed)) +
                               ": a leftover of an earlier, larger compilation; do not flash it");
        }
    }
    for (int k = joined + 1; k <= kPieceCount; ++k) {
        const auto bytes = regularFileBytes(folder / pieceName(k));
        if (!bytes) {
            continue;
        }
        warnings.push_back(
            inQuotes(pieceName(k)) + " is not joined: " +
            (k == joined + 1 ? "it is " + std::to_string(*bytes) + " bytes, not " + std::to_string(kPieceSize)
                             : inQuotes(pieceName(joined + 1)) + " before it is missing or not whole"));
    }
}

} // namespace

std::vector<std::string> checkPieces(const ImageFile& image, std::uintmax_t tableEndBytes) {
    std::vector<std::string> warnings;
    if (!image.besideOutputs()) {
        return warnings;
    }
    const fs::path& given = image.parts().front().path;
    const fs::path folder = given.parent_path();
    if (image.form() == ImageForm::Image) {
        checkAgainstImage(folder, given, image.bytes(), warnings);
        return warnings;
    }
    const fs::path beside = folder / kImageName;
    if (const auto bytes = regularFileBytes(beside)) {
        checkAgainstImage(folder, beside, *bytes, warnings);
    } else {
        checkPiecesAlone(image, tableEndBytes, warnings);
    }
    return warnings;
}

} // namespace romc
