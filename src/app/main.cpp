// romcompiler: the window, working in the current directory or, with --demo-folder, in a demo folder
// that it fills with a placeholder menu and sample ROMs.
#include "app/demo_folder.h"
#include "form/control_table.h"
#include "ui/form1.h"

#include <QApplication>
#include <QCommandLineParser>
#include <csignal>
#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    // Past a file-size limit the system would kill the window mid-write; ignoring the signal turns it into
    // a write error that the compilation reports and cleans up like a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName("romcompiler");
    QApplication::setApplicationDisplayName(romform::kWindowCaption);

    QCommandLineParser parser;
    parser.setApplicationDescription(romform::kWindowCaption);
    parser.addHelpOption();
    const QCommandLineOption demoFolder(
        "demo-folder", "Work in DIR, made if missing, with a placeholder \"Menu.GB\" and sample ROMs.",
        "DIR");
    parser.addOption(demoFolder);
    parser.process(app);

    if (parser.isSet(demoFolder)) {
        const std::filesystem::path folder = parser.value(demoFolder).toStdString();
        if (const std::string failure = romapp::fillDemoFolder(folder); !failure.empty()) {
            std::cerr << "romcompiler: " << failure << '\n';
            return 1;
        }
        std::error_code error;
        std::filesystem::current_path(folder, error);
        if (error) {
            std::cerr << "romcompiler: Cannot work in \"" << folder.string() << "\": " << error.message()
                      << '\n';
            return 1;
        }
    }

    romui::Form1 window;
    window.show();
    return QApplication::exec();
}
