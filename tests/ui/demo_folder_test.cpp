// The demo folder the run script starts the window in: made when missing, filled in where files are
// missing, never overwriting, and good for a compilation at once.
#include "app/demo_folder.h"
#include "cartridge/rom_header.h"
#include "compile/compilation.h"
#include "romtable/add_rom.h"
#include "romtable/rom_name.h"
#include "support/rom_files.h"

#include <QTest>
#include <set>

using romc::test::firstDifference;
using romc::test::readFile;
using romc::test::ScratchFolder;
using romc::test::writeFile;

class DemoFolderTest : public QObject {
    Q_OBJECT

  private slots:
    void makesMissingFolderWithMenuAndRomsOfDifferentSizes() {
        ScratchFolder scratch;
        const auto folder = scratch.path() / "demo" / "inner";
        QCOMPARE(QString::fromStdString(romapp::fillDemoFolder(folder)), QString());
        QCOMPARE(std::filesystem::file_size(folder / "Menu.GB"), std::uintmax_t{32768});
        std::set<std::uintmax_t> sizes;
        for (const auto& file : romapp::demoFiles()) {
            const auto bytes = readFile(folder / file.name);
            QCOMPARE(bytes.size(), file.bytes);
            QVERIFY2(bytes.size() % 32768 == 0, file.name);
            QCOMPARE(firstDifference(romapp::demoBytes(file), bytes), std::string("equal"));
            sizes.insert(bytes.size());
        }
        QVERIFY(sizes.size() >= 4);
    }

    void fillsInMissingFilesAndKeepsTheOthers() {
        ScratchFolder scratch;
        QCOMPARE(QString::fromStdString(romapp::fillDemoFolder(scratch.path())), QString());
        const std::vector<std::uint8_t> patchedMenu(32768, 0x42);
        writeFile(scratch / "Menu.GB", patchedMenu);
        std::filesystem::remove(scratch / "PUZZLE.GB");
        QCOMPARE(QString::fromStdString(romapp::fillDemoFolder(scratch.path())), QString());
        QCOMPARE(firstDifference(patchedMenu, readFile(scratch / "Menu.GB")), std::string("equal"));
        QVERIFY(std::filesystem::exists(scratch / "PUZZLE.GB"));
    }

    void reportsFolderThatCannotBeMade() {
        ScratchFolder scratch;
        writeFile(scratch / "taken", {1, 2, 3});
        const QString failure = QString::fromStdString(romapp::fillDemoFolder(scratch / "taken" / "demo"));
        QVERIFY2(failure.contains("Cannot create the demo folder"), qPrintable(failure));
    }

    // A sample ROM's header agrees with its file: added with save memory exactly when its cartridge keeps
    // saves, it draws no warning; a battery game added without save memory does.
    void demoRomHeadersAreGoodDumps() {
        ScratchFolder scratch;
        QCOMPARE(QString::fromStdString(romapp::fillDemoFolder(scratch.path())), QString());
        for (const auto& file : romapp::demoFiles()) {
            if (file.title == nullptr) {
                continue;
            }
            const bool battery = romc::cartridgeKind(file.cartridgeType).battery;
            const auto fitting = romc::checkRomFile(scratch / file.name, file.name, battery);
            const QString firstWarning =
                fitting.warnings.empty() ? QString() : QString::fromStdString(fitting.warnings.front());
            QVERIFY2(fitting.warnings.empty(), qPrintable(firstWarning));
            const auto wrong = romc::checkRomFile(scratch / file.name, file.name, false);
            QCOMPARE(wrong.warnings.empty(), !battery);
        }
    }

    void demoRomsCompileAtOnce() {
        ScratchFolder scratch;
        QCOMPARE(QString::fromStdString(romapp::fillDemoFolder(scratch.path())), QString());
        romc::TableState state;
        bool save = true;
        for (const auto& file : romapp::demoFiles()) {
            if (std::string(file.name) == "Menu.GB") {
                continue;
            }
            const auto refusal =
                romc::addRom(state, {romc::proposeRomName(file.name), file.name, scratch.path()}, save);
            QVERIFY2(!refusal, refusal ? refusal->message.c_str() : "");
        }
        romc::CompileNotes notes;
        const auto failure = romc::generateCompilation(state, {scratch.path(), false, nullptr, &notes});
        QVERIFY2(!failure, failure ? failure->message.c_str() : "");
        QVERIFY2(notes.templateWarnings.empty(),
                 notes.templateWarnings.empty() ? "" : notes.templateWarnings.front().c_str());
        QVERIFY(std::filesystem::exists(scratch / "Output1.GB"));
    }
};

QTEST_MAIN(DemoFolderTest)
#include "demo_folder_test.moc"
