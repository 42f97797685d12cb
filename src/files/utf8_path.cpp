#include "files/utf8_path.h"

namespace romc {

std::filesystem::path pathFromUtf8(std::string_view text) {
    const std::u8string utf8(reinterpret_cast<const char8_t*>(text.data()), text.size());
    try {
        return std::filesystem::path(utf8);
    } catch (const std::exception&) {
        // Only where paths are UTF-16 (Windows) can a text fail to convert; such a name cannot exist
        // there, so a path that opens nothing is the honest answer.
        return std::filesystem::path(std::string(text.begin(), text.end()));
    }
}

std::string pathToUtf8(const std::filesystem::path& path) {
    try {
        const std::u8string utf8 = path.u8string();
        return {utf8.begin(), utf8.end()};
    } catch (const std::exception&) {
        return path.string();
    }
}

} // namespace romc
