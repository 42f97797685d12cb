// The window program's command line, the same for every face: read before any window system is touched,
// so that --help and --version work without a display.
#pragma once

#include "romtable/failure.h"

#include <optional>
#include <string>
#include <vector>

namespace romform {

extern const char* const kWindowUsage;

// "romcompiler 1.1.0\n"
std::string windowVersionText();

struct WindowArguments {
    bool help = false;
    bool version = false;
    std::optional<std::string> demoFolder; // --demo-folder DIR
    std::optional<std::string> list;       // LIST: a ROM list opened at start
    bool flashMap = false;                 // --flash-map: View > "Flash Map" open at start
};

enum class ToolkitOptions {
    StillThere, // before the window system has taken its own options out: what is unknown is left to it
    TakenOut,   // afterwards: what is unknown is refused
};

// Reads the arguments after the program's name. A usage error names the argument and the reason.
romc::Outcome<WindowArguments> parseWindowArguments(const std::vector<std::string>& arguments,
                                                    ToolkitOptions toolkit);

} // namespace romform
