#include "lists/user_settings.h"

#include "files/user_config.h"
#include "files/utf8_path.h"
#include "lists/list_file.h"

#include <nlohmann/json.hpp>

namespace fs = std::filesystem;

namespace romc {

namespace {

constexpr const char* kNamesFromKey = "names-from";
constexpr const char* kFileNames = "file-names";
constexpr const char* kCartridgeTitles = "cartridge-titles";
constexpr int kSettingsIndent = 2;

// The object the file holds, or an empty one: settings never stop the window from starting.
nlohmann::json settingsObject(const fs::path& file, Disk* disk) {
    std::error_code error;
    if (!fs::exists(file, error)) {
        return nlohmann::json::object();
    }
    const auto text = readListText(file, pathToUtf8(file), disk);
    if (!text.ok()) {
        return nlohmann::json::object();
    }
    auto json = nlohmann::json::parse(text.value(), nullptr, /*allow_exceptions=*/false);
    return json.is_object() ? json : nlohmann::json::object();
}

} // namespace

std::optional<fs::path> userSettingsFile() {
    return userConfigFile(kUserSettingsFileName);
}

UserSettings readUserSettings(const fs::path& file, Disk* disk) {
    const nlohmann::json json = settingsObject(file, disk);
    UserSettings settings;
    const auto namesFrom = json.find(kNamesFromKey);
    if (namesFrom != json.end() && namesFrom->is_string() && *namesFrom == kCartridgeTitles) {
        settings.namesFrom = NamesFrom::CartridgeTitles;
    }
    return settings;
}

Refusal writeUserSettings(const fs::path& file, const UserSettings& settings, Disk* disk) {
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    if (error) {
        return fileFailure("make the folder", pathToUtf8(file.parent_path()), error);
    }
    nlohmann::json json = settingsObject(file, disk);
    json[kNamesFromKey] = settings.namesFrom == NamesFrom::CartridgeTitles ? kCartridgeTitles : kFileNames;
    // Every text in it came through the parser, which takes only UTF-8: dumping cannot throw.
    const std::string text = json.dump(kSettingsIndent) + "\n";
    return writeListText(file, text, disk);
}

} // namespace romc
