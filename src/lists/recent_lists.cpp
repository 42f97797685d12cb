#include "lists/recent_lists.h"

#include "files/user_config.h"
#include "files/utf8_path.h"
#include "lists/list_file.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace fs = std::filesystem;

namespace romc {

namespace {

constexpr const char* kListsKey = "recent-lists";
constexpr int kIndent = 2;

// One list by any spelling of its path that stays in its folder: "a/./b.json" and "a/b.json" are one.
bool sameList(const fs::path& a, const fs::path& b) {
    return a.lexically_normal() == b.lexically_normal();
}

} // namespace

std::optional<fs::path> recentListsFile() {
    return userConfigFile(kRecentListsFileName);
}

std::vector<fs::path> readRecentLists(const fs::path& file, Disk* disk) {
    std::error_code error;
    if (!fs::exists(file, error)) {
        return {};
    }
    const auto text = readListText(file, pathToUtf8(file), disk);
    if (!text.ok()) {
        return {};
    }
    const auto json = nlohmann::json::parse(text.value(), nullptr, /*allow_exceptions=*/false);
    if (!json.is_object() || !json.contains(kListsKey) || !json[kListsKey].is_array()) {
        return {};
    }
    std::vector<fs::path> recent;
    for (const auto& entry : json[kListsKey]) {
        if (!entry.is_string() || entry.get_ref<const std::string&>().empty()) {
            continue;
        }
        const fs::path list = pathFromUtf8(entry.get_ref<const std::string&>());
        const bool kept =
            std::any_of(recent.begin(), recent.end(), [&](const auto& k) { return sameList(k, list); });
        if (!kept && recent.size() < kRecentListCount) {
            recent.push_back(list);
        }
    }
    return recent;
}

std::vector<fs::path> withListInFront(std::vector<fs::path> recent, const fs::path& list) {
    std::erase_if(recent, [&](const fs::path& kept) { return sameList(kept, list); });
    recent.insert(recent.begin(), list);
    if (recent.size() > kRecentListCount) {
        recent.resize(kRecentListCount);
    }
    return recent;
}

Refusal writeRecentLists(const fs::path& file, const std::vector<fs::path>& recent, Disk* disk) {
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    if (error) {
        return fileFailure("make the folder", pathToUtf8(file.parent_path()), error);
    }
    nlohmann::json lists = nlohmann::json::array();
    for (const auto& list : recent) {
        lists.push_back(pathToUtf8(list));
    }
    const nlohmann::json json = {{kListsKey, lists}};
    std::string text;
    try {
        text = json.dump(kIndent) + "\n";
    } catch (const nlohmann::json::type_error&) {
        return Failure{"Cannot keep the recent lists in " + inQuotes(pathToUtf8(file)) +
                       ": a list's name is not valid UTF-8 text"};
    }
    return writeListText(file, text, disk);
}

} // namespace romc
