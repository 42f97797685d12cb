#include "files/same_file.h"

#include <system_error>

namespace romc {

bool sameFile(Disk& disk, const std::filesystem::path& a, const std::filesystem::path& b) {
    const auto first = disk.openForReading(a);
    const auto second = disk.openForReading(b);
    if (first.value && second.value) {
        return first.value->identity() == second.value->identity();
    }
    if (first.value || second.value) {
        // One exists and the other does not: no name the system resolves leads to both.
        return false;
    }
    std::error_code error;
    const auto left = std::filesystem::weakly_canonical(a, error);
    if (error) {
        return false;
    }
    const auto right = std::filesystem::weakly_canonical(b, error);
    return !error && platform::sameName(left, right);
}

} // namespace romc
