#include "inspect/image_file.h"

#include "compile/image.h"
#include "compile/menu_table.h"
#include "files/utf8_path.h"
#include "romtable/rom_file.h"

#include <algorithm>
#include <cctype>

namespace romc {

namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool isPiece(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) &&
           std::filesystem::file_size(path, error) == kPieceSize && !error;
}

} // namespace

bool sameOutputName(const std::filesystem::path& file, const std::string& outputName) {
    return lowerCase(pathToUtf8(file.filename())) == lowerCase(outputName);
}

Refusal ImageFile::addPart(ImageFile& image, const std::filesystem::path& path) {
    const std::string shown = pathToUtf8(path.filename());
    auto opened = openRomFile(systemDisk(), path, shown);
    if (!opened.ok()) {
        return opened.failure();
    }
    image.parts_.push_back({path, shown, opened.value().bytes});
    image.files_.push_back(std::move(opened.value().file));
    return std::nullopt;
}

Outcome<ImageFile> ImageFile::open(const std::filesystem::path& file) {
    ImageFile image;
    for (int k = 2; k <= kPieceCount; ++k) {
        if (sameOutputName(file, pieceName(k))) {
            return Failure{"\"" + file.filename().string() + "\" is piece " + std::to_string(k) +
                           " of an image; inspect \"" + pieceName(1) + "\" or \"" + kImageName + "\""};
        }
    }
    if (sameOutputName(file, menu::kTemplateName)) {
        image.form_ = ImageForm::MenuOnly;
    } else if (sameOutputName(file, pieceName(1))) {
        image.form_ = ImageForm::Pieces;
    }
    image.besideOutputs_ = image.form_ == ImageForm::Pieces || sameOutputName(file, kImageName);
    if (auto failure = addPart(image, file)) {
        return *failure;
    }
    const ImagePart& first = image.parts_.front();
    if (first.bytes == 0) {
        return Failure{"\"" + first.shown + "\" is empty: it holds no menu table"};
    }
    if (image.form_ == ImageForm::Image && first.bytes > kFlashSize) {
        return Failure{"\"" + first.shown + "\" is " + std::to_string(first.bytes) +
                       " bytes, larger than the " + std::to_string(kFlashSize) + "-byte flash"};
    }
    if (image.form_ == ImageForm::Pieces) {
        if (first.bytes != kPieceSize) {
            return Failure{"\"" + first.shown + "\" is " + std::to_string(first.bytes) +
                           " bytes; every piece is " + std::to_string(kPieceSize) + " bytes"};
        }
        // The pieces are joined as far as each next one is there and whole; the checks name the others.
        for (int k = 2; k <= kPieceCount; ++k) {
            const auto next = file.parent_path() / pieceName(k);
            if (!isPiece(next)) {
                break;
            }
            if (auto failure = addPart(image, next)) {
                return *failure;
            }
        }
    }
    return image;
}

std::uintmax_t ImageFile::bytes() const {
    std::uintmax_t total = 0;
    for (const auto& part : parts_) {
        total += part.bytes;
    }
    return total;
}

Refusal ImageFile::read(std::uintmax_t offset, std::span<std::uint8_t> into) const {
    std::uintmax_t partStart = 0;
    std::size_t done = 0;
    for (std::size_t i = 0; i < parts_.size() && done < into.size(); ++i) {
        const ImagePart& part = parts_[i];
        const std::uintmax_t at = offset + done;
        if (at < partStart + part.bytes) {
            const auto inPart = at - partStart;
            const auto size =
                static_cast<std::size_t>(std::min<std::uintmax_t>(into.size() - done, part.bytes - inPart));
            std::size_t got = 0;
            if (auto error = files_[i]->readAt(inPart, into.subspan(done, size), got)) {
                return fileFailure("read", part.shown, error);
            }
            if (got != size) {
                return Failure{"Cannot read " + inQuotes(part.shown) + ": it became shorter while it was read"};
            }
            done += size;
        }
        partStart += part.bytes;
    }
    if (done < into.size()) {
        return Failure{"Cannot read " + std::to_string(into.size()) + " bytes at byte " +
                       std::to_string(offset) + " of \"" + parts_.front().shown +
                       "\": the image ends at byte " + std::to_string(bytes())};
    }
    return std::nullopt;
}

} // namespace romc
