// An archive member unpacked into memory, read as the compilation reads a plain ROM file: through the
// seam's handle interface, so that copying whole blocks into the image is one road for both.
#pragma once

#include "files/disk.h"

#include <cstdint>
#include <vector>

namespace romc {

class MemberFile final : public OpenFile {
  public:
    // `archive` is the identity of the archive the bytes came from.
    MemberFile(std::vector<std::uint8_t> bytes, FileIdentity archive);

    FileKind kind() const override { return FileKind::Regular; }
    std::uintmax_t size() const override { return bytes_.size(); }
    FileIdentity identity() const override { return archive_; }
    unsigned permissions() const override { return 0; }
    std::error_code readAt(std::uintmax_t offset, std::span<std::uint8_t> into, std::size_t& got) override;
    // A member is only read.
    std::error_code writeAt(std::uintmax_t offset, std::span<const std::uint8_t> bytes) override;
    std::error_code sync() override { return {}; }
    std::error_code close() override { return {}; }

  private:
    std::vector<std::uint8_t> bytes_;
    FileIdentity archive_;
};

} // namespace romc
