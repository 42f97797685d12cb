#include "archives/member_file.h"

#include <algorithm>

namespace romc {

MemberFile::MemberFile(std::vector<std::uint8_t> bytes, FileIdentity archive)
    : bytes_(std::move(bytes)), archive_(archive) {}

std::error_code MemberFile::readAt(std::uintmax_t offset, std::span<std::uint8_t> into, std::size_t& got) {
    got = 0;
    if (offset < bytes_.size()) {
        got = static_cast<std::size_t>(std::min<std::uintmax_t>(into.size(), bytes_.size() - offset));
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), got, into.begin());
    }
    return {};
}

std::error_code MemberFile::writeAt(std::uintmax_t, std::span<const std::uint8_t>) {
    return std::make_error_code(std::errc::read_only_file_system);
}

} // namespace romc
