// An image opened for reading as one string of bytes: "Output.GB", the first piece "Output1.GB" with the
// pieces beside it joined as far as they go, or the template "Menu.GB" alone. Nothing is read whole: every
// read goes to the files for the bytes asked, so a 32 MiB image needs no more memory than a block.
#pragma once

#include "files/disk.h"
#include "romtable/failure.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace romc {

enum class ImageForm {
    Image,    // "Output.GB", or an image under a name of the user's
    Pieces,   // "Output1.GB" and the pieces after it
    MenuOnly, // "Menu.GB": the table, no ROMs
};

struct ImagePart {
    std::filesystem::path path;
    std::string shown; // the file's name, for messages
    std::uintmax_t bytes = 0;
};

class ImageFile {
  public:
    // Opens `file` and, for a first piece, the pieces beside it. Refused: a file that cannot be read, a
    // later piece given on its own, an image larger than the flash, a first piece that is not 8 MiB.
    static Outcome<ImageFile> open(const std::filesystem::path& file);

    ImageForm form() const { return form_; }
    const std::vector<ImagePart>& parts() const { return parts_; }
    std::uintmax_t bytes() const;
    // True when the file bears the name a compilation gives it, so the outputs beside it are its own.
    bool besideOutputs() const { return besideOutputs_; }

    // Reads `into.size()` bytes from `offset`, across the pieces; fails past the end or on a read error.
    Refusal read(std::uintmax_t offset, std::span<std::uint8_t> into) const;

  private:
    static Refusal addPart(ImageFile& image, const std::filesystem::path& path);

    ImageForm form_ = ImageForm::Image;
    bool besideOutputs_ = false;
    std::vector<ImagePart> parts_;
    std::vector<std::shared_ptr<OpenFile>> files_; // one per part, checked when opened
};

// The name of an output in any letter case, as a file system that ignores case would find it.
bool sameOutputName(const std::filesystem::path& file, const std::string& outputName);

} // namespace romc
