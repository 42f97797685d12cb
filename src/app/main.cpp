// romcompiler: the window, working in the current directory or, with --demo-folder, in a demo folder
// that it fills with a placeholder menu, sample ROMs and their list.
#include "app/demo_folder.h"
#include "form/window_arguments.h"
#include "ui/form1.h"

#include <QApplication>
#include <csignal>
#include <iostream>

namespace {

constexpr int kExitUsage = 2;

std::vector<std::string> argumentsOf(int argc, char** argv) {
    return {argv + 1, argv + argc};
}

} // namespace

int main(int argc, char** argv) {
    // Past a file-size limit the system would kill the window mid-write; ignoring the signal turns it into
    // a write error that the compilation reports and cleans up like a full disk.
    std::signal(SIGXFSZ, SIG_IGN);

    // Answered before Qt is started, so they work where there is no display.
    const auto early =
        romform::parseWindowArguments(argumentsOf(argc, argv), romform::ToolkitOptions::StillThere);
    if (early.ok() && early.value().help) {
        std::cout << romform::kWindowUsage;
        return 0;
    }
    if (early.ok() && early.value().version) {
        std::cout << romform::windowVersionText();
        return 0;
    }

    // Qt takes its own options (-platform NAME and the like) out of argv; what is left must be ours.
    QApplication app(argc, argv);
    QApplication::setApplicationName("romcompiler");
    QApplication::setApplicationDisplayName(romform::kWindowCaption);
    const auto arguments =
        romform::parseWindowArguments(argumentsOf(argc, argv), romform::ToolkitOptions::TakenOut);
    if (!arguments.ok()) {
        std::cerr << "romcompiler: " << arguments.failure().message << " (see romcompiler --help)\n";
        return kExitUsage;
    }

    romform::WindowArguments start = arguments.value();
    if (start.demoFolder) {
        if (const std::string failure = romapp::enterDemoFolder(*start.demoFolder, start.list);
            !failure.empty()) {
            std::cerr << "romcompiler: " << failure << '\n';
            return 1;
        }
    }

    romui::Form1 window;
    if (start.list) {
        window.openList(*start.list);
    }
    window.show();
    // Once the window has its place: the flash map opens beside it.
    if (start.flashMap) {
        window.openFlashMap();
    }
    return QApplication::exec();
}
