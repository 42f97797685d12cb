// The demo folder the run script starts the window in: made when missing, filled in where files are
// missing, never overwriting, and good for a compilation at once.
#include "app/demo_folder.h"
#include "cartridge/rom_header.h"
#include "compile/compilation.h"
#include "romtable/add_rom.h"
#include "romtable/rom_name.h"
#include "support/rom_files.h"
#include "window_driver.h"

#include <QListWidget>
#include <QTest>
#include <set>

using romc::test::firstDifference;
using romc::test::readFile;
using romc::test::ScratchFolder;
using romc::test::writeFile;
using romui::test::WindowDriver;
using romui::test::WorkingFolder;

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
        QVERIFY(sizes.contains(32768) && sizes.contains(8 * 1024 * 1024));
        const std::string list = romapp::demoListText();
        QCOMPARE(firstDifference({list.begin(), list.end()}, readFile(folder / romapp::kDemoListName)),
                 std::string("equal"));
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
        // The user's own list stays; a folder made before there was a list gets one.
        const std::vector<std::uint8_t> ownList = {'{', '}'};
        writeFile(scratch / romapp::kDemoListName, ownList);
        QCOMPARE(QString::fromStdString(romapp::fillDemoFolder(scratch.path())), QString());
        QCOMPARE(firstDifference(ownList, readFile(scratch / romapp::kDemoListName)), std::string("equal"));
        std::filesystem::remove(scratch / romapp::kDemoListName);
        QCOMPARE(QString::fromStdString(romapp::fillDemoFolder(scratch.path())), QString());
        QCOMPARE(readFile(scratch / romapp::kDemoListName).size(), romapp::demoListText().size());
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

    // Every listed ROM but the one meant to find no place compiles at once, each with its listed save flag.
    void demoRomsCompileAtOnce() {
        ScratchFolder scratch;
        QCOMPARE(QString::fromStdString(romapp::fillDemoFolder(scratch.path())), QString());
        romc::TableState state;
        const auto& files = romapp::demoFiles();
        for (auto file = files.begin(); file + 1 != files.end(); ++file) {
            if (file->listedName == nullptr) {
                continue;
            }
            bool save = file->listedWithSave;
            const auto refusal = romc::addRom(state, {file->listedName, file->name, scratch.path()}, save);
            QVERIFY2(!refusal, refusal ? refusal->message.c_str() : "");
        }
        romc::CompileNotes notes;
        const auto failure = romc::generateCompilation(state, {scratch.path(), false, nullptr, &notes});
        QVERIFY2(!failure, failure ? failure->message.c_str() : "");
        QVERIFY2(notes.templateWarnings.empty(),
                 notes.templateWarnings.empty() ? "" : notes.templateWarnings.front().c_str());
        QVERIFY(std::filesystem::exists(scratch / "Output4.GB"));
    }

    // What the run script opens: the demo folder entered with the list named from the folder the program
    // started in, the flash map beside the window. Twelve rows, one with save memory, one warned (a battery
    // game without it), one without a place; taking that one out lets the rest compile into a full flash.
    void runScriptsWindowShowsTheSampleList() {
        ScratchFolder scratch;
        const WorkingFolder startedIn(scratch.path());
        std::optional<std::string> list = "demo/" + std::string(romapp::kDemoListName);
        QCOMPARE(QString::fromStdString(romapp::enterDemoFolder("demo", list)), QString());
        QCOMPARE(std::filesystem::current_path(), std::filesystem::canonical(scratch / "demo"));
        QVERIFY(list && std::filesystem::path(*list).is_absolute());

        WindowDriver driver;
        driver.window().openList(*list);
        driver.window().openFlashMap();
        driver.window().openFlashMap(); // a second time leaves it open
        QVERIFY(driver.messages().empty());
        QVERIFY(driver.model().flashViewOpen());
        QStringList listed;
        int battery = -1;
        for (const auto& file : romapp::demoFiles()) {
            if (file.listedName != nullptr) {
                if (file.cartridgeType == 0x1B) {
                    battery = static_cast<int>(listed.size());
                }
                listed << file.listedName;
            }
        }
        QCOMPARE(listed.size(), 12);
        QCOMPARE(driver.column("List1"), listed);
        QCOMPARE(driver.column("List4").count("Y"), 1);
        for (int row = 0; row < listed.size(); ++row) {
            QCOMPARE(driver.model().rowWarning(row).empty(), row != battery);
        }
        QCOMPARE(driver.model().flashPlan().misfits, std::vector<std::size_t>{11});

        driver.clickRow("List1", 11);
        driver.click("Command5");
        driver.click("Command4");
        QVERIFY(driver.messages().empty());
        QVERIFY(std::filesystem::exists("Output4.GB"));
    }
};

QTEST_MAIN(DemoFolderTest)
#include "demo_folder_test.moc"
