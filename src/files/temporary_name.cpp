#include "files/temporary_name.h"

#include "files/utf8_path.h"

#include <atomic>
#include <cstdint>
#include <random>
#include <string>

namespace romc {

namespace {

constexpr std::string_view kSuffix = ".romc-part";
constexpr std::size_t kNonceDigits = 16;

std::uint64_t nonce() {
    // Seeded once from the system's entropy, then counted on: two runs, or two files of one run, never
    // share a name, and exclusive creation catches the impossible rest.
    static const std::uint64_t seed = [] {
        std::random_device entropy;
        return (static_cast<std::uint64_t>(entropy()) << 32) ^ entropy();
    }();
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t x = seed + 0x9E3779B97F4A7C15ull * ++counter;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::string hex(std::uint64_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(kNonceDigits, '0');
    for (std::size_t i = kNonceDigits; i-- > 0; value >>= 4) {
        text[i] = kDigits[value & 0xF];
    }
    return text;
}

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

} // namespace

std::filesystem::path temporaryNameFor(const std::filesystem::path& finalPath) {
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) of a short literal + std::string.
    std::string name = ".";
    name += pathToUtf8(finalPath.filename());
    name += '.';
    name += hex(nonce());
    name += kSuffix;
    return finalPath.parent_path() / pathFromUtf8(name);
}

bool isTemporaryName(const std::filesystem::path& fileName) {
    const std::string name = pathToUtf8(fileName);
    const std::size_t minimum = 1 + 1 + 1 + kNonceDigits + kSuffix.size(); // ".X.<nonce><suffix>"
    if (name.size() < minimum || name.front() != '.' || !name.ends_with(kSuffix)) {
        return false;
    }
    const std::size_t nonceStart = name.size() - kSuffix.size() - kNonceDigits;
    if (name[nonceStart - 1] != '.') {
        return false;
    }
    for (std::size_t i = nonceStart; i < nonceStart + kNonceDigits; ++i) {
        if (!isHex(name[i])) {
            return false;
        }
    }
    return true;
}

bool isTemporaryNameFor(const std::filesystem::path& tempName, const std::filesystem::path& finalName) {
    const std::string name = pathToUtf8(tempName);
    const std::string prefix = "." + pathToUtf8(finalName) + ".";
    return isTemporaryName(tempName) && name.size() == prefix.size() + kNonceDigits + kSuffix.size() &&
           name.starts_with(prefix);
}

} // namespace romc
