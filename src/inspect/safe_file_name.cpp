#include "inspect/safe_file_name.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <set>

namespace romc {

namespace {

constexpr std::string_view kForbidden = "/\\:*?\"<>|";
constexpr char kReplacement = '_';
constexpr const char* kEmptyStem = "ROM";

std::string upperCase(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

// Windows opens the device instead of a file for these names, with any extension after them.
bool reservedOnWindows(std::string_view base) {
    static constexpr std::array<std::string_view, 6> kDevices{"CON", "PRN",    "AUX",
                                                              "NUL", "CONIN$", "CONOUT$"};
    const std::string upper = upperCase(base);
    if (std::find(kDevices.begin(), kDevices.end(), upper) != kDevices.end()) {
        return true;
    }
    return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
           std::isdigit(static_cast<unsigned char>(upper[3])) != 0;
}

bool dotOrBlank(char c) {
    return c == '.' || c == ' ';
}

} // namespace

std::string safeFileStem(std::string_view menuName) {
    std::string stem;
    for (const char c : menuName) {
        const auto byte = static_cast<unsigned char>(c);
        const bool printable = byte >= 0x20 && byte <= 0x7E;
        stem += printable && kForbidden.find(c) == std::string_view::npos ? c : kReplacement;
    }
    const auto first = std::find_if_not(stem.begin(), stem.end(), dotOrBlank);
    const auto last = std::find_if_not(stem.rbegin(), stem.rend(), dotOrBlank).base();
    stem = first < last ? std::string(first, last) : std::string(kEmptyStem);
    // "CON.txt" and "CON .txt" are the device too: the part before the first dot, blanks dropped, decides.
    const std::size_t dot = std::min(stem.find('.'), stem.size());
    std::size_t baseEnd = dot;
    while (baseEnd > 0 && stem[baseEnd - 1] == ' ') {
        --baseEnd;
    }
    if (reservedOnWindows(std::string_view(stem).substr(0, baseEnd))) {
        stem.insert(baseEnd, 1, kReplacement);
    }
    return stem;
}

std::vector<std::string> romFileNames(const std::vector<std::string>& menuNames,
                                      const std::vector<std::string>& reserved) {
    std::vector<std::string> names;
    std::set<std::string> taken; // upper case
    for (const auto& name : reserved) {
        taken.insert(upperCase(name));
    }
    for (const auto& menuName : menuNames) {
        const std::string stem = safeFileStem(menuName);
        std::string name = stem + kRomFileExtension;
        for (int number = 2; taken.count(upperCase(name)) != 0; ++number) {
            name = stem + " (" + std::to_string(number) + ")" + kRomFileExtension;
        }
        taken.insert(upperCase(name));
        names.push_back(std::move(name));
    }
    return names;
}

} // namespace romc
