#include "form/window_arguments.h"

#include "version.h"

#include <string_view>

namespace romform {

namespace {

constexpr std::string_view kDemoFolder = "--demo-folder";
constexpr std::string_view kFlashMap = "--flash-map";

} // namespace

const char* const kWindowUsage =
    "usage: romcompiler [--demo-folder DIR] [--flash-map] [LIST]\n"
    "\n"
    "Opens the window \"Tarnwick 256M ROM Compiler\". It works in the current directory: \"Menu.GB\" is\n"
    "read there, and \"Output.GB\" with \"Output1.GB\"..\"Output4.GB\" is written there.\n"
    "With LIST, the ROM list file LIST is opened at start.\n"
    "\n"
    "  --demo-folder DIR  work in DIR, made if missing, with a placeholder \"Menu.GB\", sample ROMs and\n"
    "                     a list of them\n"
    "  --flash-map        open the flash map beside the window at start\n"
    "  --help             print this text\n"
    "  --version          print the program's version\n"
    "\n"
    "Options of the window system (Qt's -platform NAME, for instance) are passed on to it.\n"
    "Exit status: 0 the window was closed, 1 it could not start, 2 usage error.\n";

std::string windowVersionText() {
    return std::string("romcompiler ") + romc::kVersion + '\n';
}

romc::Outcome<WindowArguments> parseWindowArguments(const std::vector<std::string>& arguments,
                                                    ToolkitOptions toolkit) {
    WindowArguments parsed;
    const bool refuseUnknown = toolkit == ToolkitOptions::TakenOut;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            parsed.help = true;
        } else if (argument == "--version") {
            parsed.version = true;
        } else if (argument == kFlashMap) {
            parsed.flashMap = true;
        } else if (argument == kDemoFolder || argument.starts_with(std::string(kDemoFolder) + "=")) {
            std::string folder;
            if (argument.size() > kDemoFolder.size()) {
                folder = argument.substr(kDemoFolder.size() + 1);
            } else if (i + 1 < arguments.size()) {
                folder = arguments[++i];
            } else if (refuseUnknown) {
                return romc::Failure{"--demo-folder needs a folder"};
            }
            if (folder.empty() && refuseUnknown) {
                return romc::Failure{"--demo-folder needs a folder"};
            }
            if (parsed.demoFolder && refuseUnknown) {
                return romc::Failure{"--demo-folder given twice"};
            }
            parsed.demoFolder = folder;
        } else if (refuseUnknown) {
            if (argument.size() > 1 && argument[0] == '-') {
                return romc::Failure{"unknown option " + argument};
            }
            if (parsed.list) {
                return romc::Failure{"unexpected argument " + romc::inQuotes(argument) +
                                     ": one list is opened at start, ROMs are added in the window"};
            }
            parsed.list = argument;
        }
    }
    return parsed;
}

} // namespace romform
