#include "romtable/rom_source.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace romc {

namespace {

struct Ending {
    std::string_view text;
    ArchiveKind kind;
};
constexpr std::array kArchiveEndings{Ending{".zip", ArchiveKind::Zip}, Ending{".7z", ArchiveKind::SevenZip},
                                     Ending{".gz", ArchiveKind::Gzip}};
constexpr std::array<std::string_view, 3> kRomEndings{".gb", ".gbc", ".sgb"};

bool endsWithAnyCase(std::string_view text, std::string_view ending) {
    if (text.size() < ending.size()) {
        return false;
    }
    return std::equal(ending.begin(), ending.end(), text.end() - static_cast<std::ptrdiff_t>(ending.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

std::string_view fileNameOf(std::string_view path) {
    const auto separator = path.find_last_of("/\\");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

} // namespace

ArchiveKind archiveKindOf(std::string_view path) {
    for (const auto& ending : kArchiveEndings) {
        if (endsWithAnyCase(path, ending.text)) {
            return ending.kind;
        }
    }
    return ArchiveKind::None;
}

RomSource romSourceOf(std::string_view text) {
    for (auto at = text.find(kMemberSeparator); at != std::string_view::npos;
         at = text.find(kMemberSeparator, at + 1)) {
        if (archiveKindOf(text.substr(0, at)) != ArchiveKind::None) {
            return {std::string(text.substr(0, at)), std::string(text.substr(at + kMemberSeparator.size()))};
        }
    }
    return {std::string(text), {}};
}

std::string romSourceText(std::string_view file, std::string_view member) {
    std::string text(file);
    if (!member.empty()) {
        text += kMemberSeparator;
        text += member;
    }
    return text;
}

bool isRomMemberName(std::string_view member) {
    return std::any_of(kRomEndings.begin(), kRomEndings.end(),
                       [&](std::string_view ending) { return endsWithAnyCase(member, ending); });
}

std::string gzipMemberName(std::string_view gzipPath) {
    const std::string_view name = fileNameOf(gzipPath);
    return std::string(name.substr(0, name.size() - std::min<std::size_t>(name.size(), 3)));
}

} // namespace romc
