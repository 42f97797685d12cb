// The main window driven through its controls' object names, as a user would: start state, layout, "Find
// File", "Add ROM" with the Save box rule, row selection, "Remove ROM", "Clear List", "Generate
// Compilation" against the command line, and the messages of refused ROMs and failed compilations.
#include "support/rom_files.h"
#include "window_driver.h"

#include <QCheckBox>
#include <QFrame>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>

using romc::test::firstDifference;
using romc::test::makeRom;
using romc::test::menuTemplate;
using romc::test::readFile;
using romc::test::ScratchFolder;
using romc::test::writeFile;
using romui::test::kLists;
using romui::test::WindowDriver;
using romui::test::WorkingFolder;

namespace {

constexpr std::size_t kBlock = 32768;

QStringList row(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts) {
        list << text;
    }
    return list;
}

QStringList rowOf(const WindowDriver& driver, int r) {
    QStringList texts;
    for (const char* list : kLists) {
        texts << driver.column(list).value(r, "<missing>");
    }
    return texts;
}

QString markedBlocks(const romc::TableState& state) {
    QStringList runs;
    int first = -1;
    for (int b = 0; b <= romc::kFlashBlocks; ++b) {
        const bool taken = b < romc::kFlashBlocks && state.blocks[static_cast<std::size_t>(b)] == 1;
        if (taken && first < 0) {
            first = b;
        } else if (!taken && first >= 0) {
            runs << QString("%1-%2").arg(first).arg(b - 1);
            first = -1;
        }
    }
    return runs.join(',');
}

// A one-block ROM whose cartridge header names `cartridgeType`, with a size code and checksum that agree.
std::vector<std::uint8_t> romWithHeader(std::uint8_t cartridgeType) {
    std::vector<std::uint8_t> bytes = romc::test::romBytes(kBlock, 99);
    const std::string title = "QUEST";
    std::fill(bytes.begin() + 0x134, bytes.begin() + 0x144, std::uint8_t{0});
    std::copy(title.begin(), title.end(), bytes.begin() + 0x134);
    bytes[0x147] = cartridgeType;
    bytes[0x148] = 0x00; // 32 KiB
    bytes[0x149] = 0x02; // 8 KiB of RAM
    std::uint8_t sum = 0;
    for (std::size_t i = 0x134; i <= 0x14C; ++i) {
        sum = static_cast<std::uint8_t>(sum - bytes[i] - 1);
    }
    bytes[0x14D] = sum;
    return bytes;
}

} // namespace

class Form1Test : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<ScratchFolder> scratch_;
    std::unique_ptr<WorkingFolder> workIn_;

  private slots:
    void init() {
        scratch_ = std::make_unique<ScratchFolder>();
        workIn_ = std::make_unique<WorkingFolder>(scratch_->path());
    }
    void cleanup() {
        workIn_.reset();
        scratch_.reset();
    }

    void startStateHasAddRomOffAndEverythingEmpty() {
        WindowDriver driver;
        QCOMPARE(driver.window().windowTitle(), QString("Tarnwick 256M ROM Compiler"));
        QCOMPARE(driver.window().size(), QSize(750, 423));
        QCOMPARE(driver.window().minimumSize(), driver.window().maximumSize());
        QCOMPARE(driver.window().buttonState(), romui::ButtonState::Start);
        QVERIFY(!driver.enabled("Command2"));
        QVERIFY(driver.enabled("Command5"));
        QVERIFY(driver.enabled("Command4"));
        QVERIFY(driver.enabled("Command1"));
        QVERIFY(driver.enabled("Command3"));
        QCOMPARE(driver.text("Text1"), QString());
        QCOMPARE(driver.text("Text2"), QString(" "));
        QCOMPARE(driver.text("Text3"), QString("0"));
        QCOMPARE(driver.text("Text4"), QString("0"));
        QVERIFY(!driver.saveBox());
        for (const char* list : kLists) {
            QVERIFY2(driver.column(list).isEmpty(), list);
            QCOMPARE(driver.selectedRow(list), -1);
        }
        QCOMPARE(markedBlocks(driver.state()), QString("0-0"));
        QCOMPARE(driver.state().nextSaveBank, 0);
        // The counter boxes always reflect the table.
        QVERIFY(driver.control<QLineEdit>("Text3")->isReadOnly());
        QVERIFY(driver.control<QLineEdit>("Text4")->isReadOnly());
        QCOMPARE(driver.window().focusWidget(), driver.control<QWidget>("Text1"));
    }

    void controlSitsAtItsTwipPlace_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");
        const struct {
            const char* name;
            int left, top, width, height;
        } table[] = {
            {"Text1", 120, 480, 1935, 375},      {"Label1", 120, 120, 1935, 255},
            {"Label2", 2160, 120, 855, 255},     {"Text2", 2160, 480, 1935, 375},
            {"Command1", 3120, 120, 975, 255},   {"Command2", 9960, 120, 1095, 495},
            {"List1", 120, 1080, 1935, 5130},    {"List2", 2160, 1080, 1935, 5130},
            {"Command3", 9960, 840, 1095, 615},  {"Label3", 4320, 480, 855, 495},
            {"List3", 4200, 1080, 1215, 5130},   {"Check1", 5520, 600, 855, 495},
            {"List4", 5520, 1080, 735, 5130},    {"Label4", 6480, 720, 975, 375},
            {"List5", 6360, 1080, 1215, 5130},   {"Label5", 7800, 720, 1935, 255},
            {"List6", 7680, 1080, 2055, 5130},   {"Label6", 4680, 6480, 975, 375},
            {"List7", 11400, 1080, 2055, 5130},  {"Command4", 9960, 2520, 1095, 615},
            {"Text3", 9960, 3720, 495, 285},     {"Text4", 9960, 4320, 495, 285},
            {"Label7", 9960, 3240, 975, 375},    {"Label8", 9960, 4080, 615, 255},
            {"Command5", 9960, 1680, 1095, 615}, {"Command6", 9840, 5040, 855, 495},
            {"Label9", 4440, 120, 5055, 255},
        };
        for (const auto& c : table) {
            QTest::newRow(c.name) << QString(c.name) << QRect(c.left, c.top, c.width, c.height);
        }
    }

    void controlSitsAtItsTwipPlace() {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        WindowDriver driver;
        auto* control = driver.window().findChild<QWidget*>(name);
        QVERIFY(control != nullptr);
        QCOMPARE(control->parentWidget(), &driver.window());
        const QRect pixels(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
        QCOMPARE(control->geometry(), pixels);
    }

    void lineRunsBetweenItsEnds_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QLine>("twips");
        const struct {
            const char* name;
            int x1, y1, x2, y2;
        } table[] = {
            {"Line1", 9720, 360, 4320, 360}, {"Line2", 4320, 0, 9720, 0},
            {"Line3", 9720, 360, 9720, 0},   {"Line4", 4320, 360, 4320, 0},
            {"Line5", 9840, 0, 11160, 0},    {"Line6", 11160, 4680, 11160, 0},
            {"Line7", 9840, 0, 9840, 4680},  {"Line8", 11160, 4680, 9840, 4680},
        };
        for (const auto& c : table) {
            QTest::newRow(c.name) << QString(c.name) << QLine(c.x1, c.y1, c.x2, c.y2);
        }
    }

    void lineRunsBetweenItsEnds() {
        QFETCH(QString, name);
        QFETCH(QLine, twips);
        WindowDriver driver;
        auto* line = driver.window().findChild<QFrame*>(name);
        QVERIFY(line != nullptr);
        QVERIFY(line->isVisible());
        const QPoint a = twips.p1() / 15;
        const QPoint b = twips.p2() / 15;
        const QRect expected(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                             QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
        QCOMPARE(line->frameShape(), a.y() == b.y() ? QFrame::HLine : QFrame::VLine);
        QCOMPARE(line->geometry(), expected);
    }

    void captionOrStartText_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        const struct {
            const char* name;
            const char* text;
        } table[] = {
            {"Label1", "ROM Name (16chr MAX)"},
            {"Label2", "File Name"},
            {"Label3", "ROM Size (Blocks)"},
            {"Label4", "Save Bank #"},
            {"Label5", "Assigned Flash Location"},
            {"Label6", "Complement"},
            {"Label7", "Number of ROMS"},
            {"Label8", "Pages"},
            {"Label9", "For ROM's Requiring Save Slots, Select Save box before adding ROM. "},
            {"Command1", "Find File"},
            {"Command2", "Add ROM"},
            {"Command3", "Clear List"},
            {"Command4", "Generate Compilation"},
            {"Command5", "Remove ROM"},
            {"Command6", "Debug"},
            {"Check1", "Save?"},
        };
        for (const auto& c : table) {
            QTest::newRow(c.name) << QString(c.name) << QString(c.text);
        }
    }

    void captionOrStartText() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        WindowDriver driver;
        QObject* control = driver.window().findChild<QObject*>(name);
        QVERIFY(control != nullptr);
        QCOMPARE(control->property("text").toString(), text);
    }

    void hintTextHasItsTrailingSpace() {
        WindowDriver driver;
        QCOMPARE(driver.control<QLabel>("Label9")->text().size(), 67);
        QVERIFY(driver.control<QLabel>("Label9")->text().endsWith("ROM. "));
    }

    void complementColumnAndDebugAreNeverSeen() {
        WindowDriver driver;
        const QRect client = driver.window().rect();
        QVERIFY(!driver.control<QListWidget>("List7")->isVisible());
        QVERIFY(!driver.control<QPushButton>("Command6")->isVisible());
        QVERIFY(driver.control<QListWidget>("List7")->x() >= client.width());
        QVERIFY(driver.control<QLabel>("Label6")->y() >= client.height());
        QVERIFY(!client.intersects(driver.control<QLabel>("Label6")->geometry()));
    }

    void tabKeyFollowsTheControlTable() {
        WindowDriver driver;
        driver.window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&driver.window()));
        QCOMPARE(QApplication::focusWidget(), driver.control<QWidget>("Text1"));
        // "Add ROM" is disabled at start; List7 and "Debug" are hidden; labels never take the focus.
        const QStringList expected{"Text2",    "Command1", "List1", "List2",    "Command3",
                                   "List3",    "Check1",   "List4", "List5",    "List6",
                                   "Command4", "Text3",    "Text4", "Command5", "Text1"};
        QStringList visited;
        for (int i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, expected);
    }

    void findFileProposesName_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("PUZZLE") << "/roms/PUZZLE.GB"
                                << "PUZZLE";
        QTest::newRow("cut to 16") << "/roms/A VERY LONG GAME TITLE.GB"
                                   << "A VERY LONG GAME";
        QTest::newRow("three dropped, then cut") << "/roms/SPACE ADVENTURE DX.GBC"
                                                 << "SPACE ADVENTURE ";
        QTest::newRow("three characters") << "/roms/ABC"
                                          << "";
        QTest::newRow("no folder") << "tetris.gb"
                                   << "tetris";
    }

    void findFileProposesName() {
        QFETCH(QString, path);
        QFETCH(QString, name);
        WindowDriver driver;
        driver.typeName("OLD NAME");
        driver.setSaveBox(true);
        driver.findFile(path);
        QCOMPARE(driver.text("Text2"), path);
        QCOMPARE(driver.text("Text1"), name);
        QCOMPARE(driver.window().buttonState(), romui::ButtonState::Ready);
        QVERIFY(driver.enabled("Command2"));
        QVERIFY(driver.enabled("Command4"));
        QVERIFY(driver.enabled("Command5"));
        // Picking a file leaves the Save box and the table alone.
        QVERIFY(driver.saveBox());
        QVERIFY(driver.column("List1").isEmpty());
    }

    void cancelledFirstFindFileEmptiesPathOnly() {
        WindowDriver driver;
        driver.typeName("KEPT");
        driver.findFile(QString());
        QCOMPARE(driver.text("Text2"), QString());
        QCOMPARE(driver.text("Text1"), QString("KEPT"));
        QVERIFY(!driver.enabled("Command2"));
        QCOMPARE(driver.window().buttonState(), romui::ButtonState::Start);
    }

    void addRomAppendsRow_data() {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<bool>("save");
        QTest::addColumn<QStringList>("expectedRow"); // List1 to List7, without the path
        QTest::addColumn<bool>("saveBoxAfter");
        QTest::addColumn<int>("nextSaveBankAfter");
        QTest::addColumn<QString>("blocksAfter");
        QTest::newRow("1 MiB without save")
            << qint64(32 * kBlock) << false << row({"PUZZLE", "32", "N", "N/A", "0", "224"}) << false << 0
            << "0-0";
        QTest::newRow("first save ROM of 32 blocks")
            << qint64(32 * kBlock) << true << row({"PUZZLE", "32", "Y", " 0", "32", "224"}) << true << 1
            << "0-0,32-63";
        QTest::newRow("first save ROM of 64 blocks")
            << qint64(64 * kBlock) << true << row({"PUZZLE", "64", "Y", " 1", "64", "192"}) << true << 2
            << "0-0,64-127";
        QTest::newRow("256 blocks never get save memory")
            << qint64(256 * kBlock) << true << row({"PUZZLE", "256", "N", "N/A", "0", "192"}) << false << 0
            << "0-0";
        QTest::newRow("40000 bytes make one block")
            << qint64(40000) << false << row({"PUZZLE", "1", "N", "N/A", "0", "255"}) << false << 0 << "0-0";
    }

    void addRomAppendsRow() {
        QFETCH(qint64, bytes);
        QFETCH(bool, save);
        QFETCH(QStringList, expectedRow);
        QFETCH(bool, saveBoxAfter);
        QFETCH(int, nextSaveBankAfter);
        QFETCH(QString, blocksAfter);
        makeRom(scratch_->path(), "puzzle.gb", static_cast<std::size_t>(bytes), 7);
        WindowDriver driver;
        driver.findFile("puzzle.gb");
        QCOMPARE(driver.text("Text1"), QString("puzzle")); // typed case stays until the row is added
        driver.setSaveBox(save);
        driver.click("Command2");
        QCOMPARE(driver.messages().size(), std::size_t{0});
        expectedRow.insert(1, "puzzle.gb");
        QCOMPARE(rowOf(driver, 0), expectedRow);
        QCOMPARE(driver.column("List1").size(), 1);
        QCOMPARE(driver.saveBox(), saveBoxAfter);
        QCOMPARE(int{driver.state().nextSaveBank}, nextSaveBankAfter);
        QCOMPARE(markedBlocks(driver.state()), blocksAfter);
        QCOMPARE(driver.text("Text3"), QString("1"));
        QCOMPARE(driver.text("Text4"), QString("1"));
        // The input boxes keep their texts and "Add ROM" stays enabled: pressing it again adds the file
        // again.
        QCOMPARE(driver.text("Text1"), QString("puzzle"));
        QCOMPARE(driver.text("Text2"), QString("puzzle.gb"));
        QVERIFY(driver.enabled("Command2"));
    }

    void saveBoxRuleHoldsOnceBank15IsHandedOut() {
        makeRom(scratch_->path(), "ONE.GB", kBlock, 1);
        WindowDriver driver;
        for (int bank = 0; bank < 16; ++bank) {
            QVERIFY2(driver.saveBox() || bank == 0,
                     qPrintable(QString("box unticked before bank %1").arg(bank)));
            driver.addRom("ONE.GB", true);
            QCOMPARE(driver.column("List5").value(bank), QString(" %1").arg(bank));
            QCOMPARE(driver.column("List6").value(bank), QString::number(bank == 0 ? 1 : bank * 64));
        }
        QCOMPARE(driver.messages().size(), std::size_t{0});
        QCOMPARE(int{driver.state().nextSaveBank}, 16);
        QVERIFY(!driver.saveBox());
        // The user's tick is undone at once.
        auto* box = driver.control<QCheckBox>("Check1");
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        QVERIFY(!driver.saveBox());
        driver.click("Command2");
        QCOMPARE(rowOf(driver, 16), row({"ONE", "ONE.GB", "1", "N", "N/A", "0", "255"}));
        QCOMPARE(driver.text("Text3"), QString("17"));
        QCOMPARE(driver.text("Text4"), QString("2"));
    }

    void saveBoxRuleLeavesTickBeforeBank16() {
        WindowDriver driver;
        driver.setSaveBox(true);
        QVERIFY(driver.saveBox());
        driver.setSaveBox(false);
        QVERIFY(!driver.saveBox());
    }

    void counterBoxesCountRowsAndPages() {
        makeRom(scratch_->path(), "ONE.GB", kBlock, 1);
        WindowDriver driver;
        const struct {
            int rows;
            const char* count;
            const char* pages;
        } expected[] = {{1, "1", "1"}, {10, "10", "1"}, {11, "11", "2"}, {20, "20", "2"}, {21, "21", "3"}};
        int added = 0;
        for (const auto& e : expected) {
            while (added < e.rows) {
                driver.addRom("ONE.GB", false);
                ++added;
            }
            QCOMPARE(driver.text("Text3"), QString(e.count));
            QCOMPARE(driver.text("Text4"), QString(e.pages));
        }
    }

    void nameColumnSelectsWholeRow() {
        makeRom(scratch_->path(), "ONE.GB", kBlock, 1);
        WindowDriver driver;
        for (int i = 0; i < 3; ++i) {
            driver.addRom("ONE.GB", false);
        }
        driver.clickRow("List1", 2);
        for (const char* list : kLists) {
            QCOMPARE(driver.selectedRow(list), 2);
        }
        // The keyboard selects as the mouse does.
        QTest::keyClick(driver.control<QListWidget>("List1"), Qt::Key_Up);
        for (const char* list : kLists) {
            QCOMPARE(driver.selectedRow(list), 1);
        }
    }

    void otherColumnMovesNoOtherSelection_data() {
        QTest::addColumn<QString>("clicked");
        for (const char* list : {"List2", "List3", "List4", "List5", "List6"}) {
            QTest::newRow(list) << QString(list);
        }
    }

    void otherColumnMovesNoOtherSelection() {
        QFETCH(QString, clicked);
        makeRom(scratch_->path(), "A.GB", kBlock, 1);
        makeRom(scratch_->path(), "B.GB", kBlock, 2);
        makeRom(scratch_->path(), "C.GB", kBlock, 3);
        WindowDriver driver;
        for (const char* file : {"A.GB", "B.GB", "C.GB"}) {
            driver.addRom(file, false);
        }
        driver.clickRow("List1", 0);
        driver.clickRow(qPrintable(clicked), 2);
        for (const char* list : kLists) {
            QCOMPARE(driver.selectedRow(list), clicked == list ? 2 : 0);
        }
        // "Remove ROM" still removes the row selected in the name column.
        driver.click("Command5");
        QCOMPARE(driver.column("List1"), QStringList({"B", "C"}));
        QCOMPARE(driver.column("List2"), QStringList({"B.GB", "C.GB"}));
    }

    void removeRomDeletesSelectedRowFromEveryColumn() {
        makeRom(scratch_->path(), "A.GB", kBlock, 1);
        makeRom(scratch_->path(), "B.GB", 4 * kBlock, 2);
        makeRom(scratch_->path(), "C.GB", 2 * kBlock, 3);
        WindowDriver driver;
        driver.addRom("A.GB", false);
        driver.addRom("B.GB", true);
        driver.addRom("C.GB", false);
        const QStringList rowB = rowOf(driver, 1);
        const QStringList rowC = rowOf(driver, 2);
        driver.clickRow("List1", 0);
        driver.click("Command5");
        QCOMPARE(rowOf(driver, 0), rowB);
        QCOMPARE(rowOf(driver, 1), rowC);
        for (const char* list : kLists) {
            QCOMPARE(driver.column(list).size(), 2);
            QCOMPARE(driver.selectedRow(list), -1);
        }
        QCOMPARE(driver.text("Text3"), QString("2"));
        QCOMPARE(driver.text("Text4"), QString("1"));
        QVERIFY(driver.enabled("Command5"));

        // A removed save ROM keeps its bank and blocks handed out until "Clear List".
        driver.clickRow("List1", 0);
        driver.click("Command5");
        QCOMPARE(driver.column("List1"), QStringList({"C"}));
        QCOMPARE(markedBlocks(driver.state()), QString("0-0,4-7"));
        QCOMPARE(int{driver.state().nextSaveBank}, 1);

        driver.clickRow("List1", 0);
        driver.click("Command5");
        for (const char* list : kLists) {
            QVERIFY(driver.column(list).isEmpty());
        }
        QCOMPARE(driver.text("Text3"), QString("0"));
        QCOMPARE(driver.text("Text4"), QString("0"));
    }

    void removeRomWithoutSelectionChangesNothing() {
        makeRom(scratch_->path(), "A.GB", kBlock, 1);
        WindowDriver driver;
        driver.addRom("A.GB", false);
        driver.addRom("A.GB", false);
        driver.clickRow("List2", 1);
        const QStringList before = driver.snapshot();
        driver.click("Command5");
        QCOMPARE(driver.snapshot(), before);
    }

    void clearListEmptiesTableAndEnablesButtons() {
        makeRom(scratch_->path(), "A.GB", 2 * kBlock, 1);
        WindowDriver driver;
        driver.addRom("A.GB", true);
        driver.addRom("A.GB", false, "Other");
        driver.clickRow("List1", 1);
        driver.click("Command3");
        for (const char* list : kLists) {
            QVERIFY(driver.column(list).isEmpty());
            QCOMPARE(driver.selectedRow(list), -1);
        }
        QCOMPARE(driver.text("Text3"), QString("0"));
        QCOMPARE(driver.text("Text4"), QString("0"));
        QCOMPARE(markedBlocks(driver.state()), QString("0-0"));
        QCOMPARE(int{driver.state().nextSaveBank}, 0);
        // The input boxes and the Save box keep what the user put there.
        QCOMPARE(driver.text("Text1"), QString("Other"));
        QCOMPARE(driver.text("Text2"), QString("A.GB"));
        QVERIFY(!driver.saveBox());
        QCOMPARE(driver.window().buttonState(), romui::ButtonState::Ready);
    }

    void clearListEnablesAddRomWithoutAPickedFile() {
        WindowDriver driver;
        driver.click("Command3");
        QVERIFY(driver.enabled("Command2"));
        QVERIFY(driver.enabled("Command4"));
        QVERIFY(driver.enabled("Command5"));
    }

    void nameToolTipShowsHeaderFactsAndWarnings() {
        writeFile(scratch_->path() / "QUEST.GB", romWithHeader(0x03)); // MBC1+RAM+BATTERY
        WindowDriver driver;
        driver.addRom("QUEST.GB", false);
        driver.addRom("QUEST.GB", true);
        const QString withoutSave = driver.window().nameToolTip(0);
        const QString withSave = driver.window().nameToolTip(1);
        QVERIFY2(withoutSave.contains("QUEST"), qPrintable(withoutSave));
        QVERIFY2(withoutSave.contains("saves will be lost"), qPrintable(withoutSave));
        QVERIFY2(!withSave.contains("Warning"), qPrintable(withSave));
        QCOMPARE(driver.window().nameToolTip(2), QString());

        // The pointer resting on the first name asks the window, which answers from the file as it is.
        auto* names = driver.control<QListWidget>("List1");
        const QPoint onFirstRow = names->visualItemRect(names->item(0)).center();
        QHelpEvent help(QEvent::ToolTip, onFirstRow, names->viewport()->mapToGlobal(onFirstRow));
        QVERIFY(QCoreApplication::sendEvent(names->viewport(), &help));
        QVERIFY(help.isAccepted());
    }

    void compilationLocksButtonsAndMatchesCommandLine() {
        struct Rom {
            const char* file;
            std::size_t bytes;
            bool save;
            const char* name; // nullptr: the proposed name
        };
        const Rom roms[] = {
            {"quest.gb", 32 * kBlock, true, nullptr},           {"PUZZLE.GB", 4 * kBlock, false, nullptr},
            {"big adventure.gb", 256 * kBlock, false, nullptr}, {"shooter.gbc", 64 * kBlock, true, nullptr},
            {"tiny.gb", kBlock + 100, false, "My Tiny Game"},
        };
        ScratchFolder cliFolder;
        writeFile(scratch_->path() / "Menu.GB", menuTemplate());
        writeFile(cliFolder.path() / "Menu.GB", menuTemplate());
        QStringList arguments{"-C", QString::fromStdString(cliFolder.path().string())};
        std::uint32_t seed = 100;
        for (const Rom& rom : roms) {
            makeRom(scratch_->path(), rom.file, rom.bytes, seed);
            makeRom(cliFolder.path(), rom.file, rom.bytes, seed);
            ++seed;
            if (rom.save) {
                arguments << "--save";
            }
            if (rom.name != nullptr) {
                arguments << "--name" << rom.name;
            }
            arguments << rom.file;
        }

        WindowDriver driver;
        for (const Rom& rom : roms) {
            driver.addRom(rom.file, rom.save, rom.name != nullptr ? QString(rom.name) : QString());
        }
        driver.click("Command4");
        QCOMPARE(driver.messages().size(), std::size_t{0});
        QCOMPARE(driver.window().buttonState(), romui::ButtonState::Compiled);
        QVERIFY(!driver.enabled("Command2"));
        QVERIFY(!driver.enabled("Command5"));
        QVERIFY(!driver.enabled("Command4"));
        QVERIFY(driver.enabled("Command1"));
        QVERIFY(driver.enabled("Command3"));

        QProcess cli;
        cli.start(ROMC_CLI_PATH, arguments);
        QVERIFY(cli.waitForFinished(-1));
        QCOMPARE(cli.exitCode(), 0);
        QStringList cliTable;
        QStringList windowTable;
        for (const QString& line :
             QString::fromUtf8(cli.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
            cliTable << line;
        }
        for (int r = 0; r < driver.column("List1").size(); ++r) {
            windowTable << rowOf(driver, r).join('\t');
        }
        QCOMPARE(windowTable, cliTable);
        QCOMPARE(driver.column("List6"), QStringList({"32", "4", "256", "64", "1"}));

        for (const char* name :
             {"Menu.GB", "Output.GB", "Output1.GB", "Output2.GB", "Output3.GB", "Output4.GB"}) {
            const bool inWindowFolder = std::filesystem::exists(scratch_->path() / name);
            QCOMPARE(inWindowFolder, std::filesystem::exists(cliFolder.path() / name));
            if (inWindowFolder) {
                const auto difference =
                    firstDifference(readFile(cliFolder.path() / name), readFile(scratch_->path() / name));
                QVERIFY2(difference == "equal", qPrintable(QString("%1: %2").arg(name, difference.c_str())));
            }
        }
        QVERIFY(std::filesystem::exists(scratch_->path() / "Output2.GB"));
        QVERIFY(!std::filesystem::exists(scratch_->path() / "Output3.GB"));

        // After a compilation "Find File" enables "Add ROM" alone; only "Clear List" enables the others.
        driver.findFile("PUZZLE.GB");
        QCOMPARE(driver.window().buttonState(), romui::ButtonState::CompiledAndAdding);
        QVERIFY(driver.enabled("Command2"));
        QVERIFY(!driver.enabled("Command5"));
        QVERIFY(!driver.enabled("Command4"));
        driver.click("Command3");
        QCOMPARE(driver.window().buttonState(), romui::ButtonState::Ready);
        QVERIFY(driver.enabled("Command2"));
        QVERIFY(driver.enabled("Command5"));
        QVERIFY(driver.enabled("Command4"));
    }

    void refusedRomShowsMessageAndKeepsTable_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<qint64>("bytes"); // -1: no such file
        QTest::addColumn<int>("bigSaveRomsFirst");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no such file") << "GONE.GB" << qint64(-1) << 0 << "No such file";
        QTest::newRow("shorter than a block") << "SHORT.GB" << qint64(1000) << 0 << "shorter than one";
        QTest::newRow("longer than 256 blocks")
            << "HUGE.GB" << qint64(257 * kBlock) << 0 << "longer than the largest";
        QTest::newRow("save ROM past block 1023")
            << "BIG.GB" << qint64(255 * kBlock) << 3 << "past the last flash block";
    }

    void refusedRomShowsMessageAndKeepsTable() {
        QFETCH(QString, file);
        QFETCH(qint64, bytes);
        QFETCH(int, bigSaveRomsFirst);
        QFETCH(QString, reason);
        makeRom(scratch_->path(), "A.GB", kBlock, 1);
        if (bytes >= 0) {
            makeRom(scratch_->path(), file.toStdString(), static_cast<std::size_t>(bytes), 2);
        }
        WindowDriver driver;
        driver.addRom("A.GB", false);
        for (int i = 0; i < bigSaveRomsFirst; ++i) {
            driver.addRom(file, true);
        }
        driver.findFile(file);
        driver.setSaveBox(bytes >= 0 && bigSaveRomsFirst > 0);
        driver.clickRow("List1", 0);
        const QStringList before = driver.snapshot();
        const romc::TableState stateBefore = driver.state();

        const std::size_t shownBefore = driver.messages().size();
        driver.click("Command2");
        QCOMPARE(driver.messages().size(), shownBefore + 1);
        const auto& message = driver.messages().back();
        QCOMPARE(message.icon, QMessageBox::Warning);
        QVERIFY2(message.text.contains('"' + file + '"'), qPrintable(message.text));
        QVERIFY2(message.text.contains(reason), qPrintable(message.text));
        QCOMPARE(driver.snapshot(), before);
        QVERIFY(driver.state().blocks == stateBefore.blocks);
        QCOMPARE(driver.state().nextSaveBank, stateBefore.nextSaveBank);
    }

    void failedCompilationShowsMessageAndKeepsTable_data() {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty table") << "empty"
                                     << "nothing to compile";
        QTest::newRow("no menu template") << "no menu"
                                          << "\"Menu.GB\" is missing";
        QTest::newRow("ROM file gone") << "gone"
                                       << "\"B.GB\"";
        QTest::newRow("ROM does not fit") << "full"
                                          << "does not fit";
    }

    void failedCompilationShowsMessageAndKeepsTable() {
        QFETCH(QString, cause);
        QFETCH(QString, reason);
        if (cause != "no menu") {
            writeFile(scratch_->path() / "Menu.GB", menuTemplate());
        }
        makeRom(scratch_->path(), "A.GB", 4 * kBlock, 1);
        makeRom(scratch_->path(), "B.GB", 2 * kBlock, 2);
        makeRom(scratch_->path(), "FULL.GB", 256 * kBlock, 3);
        WindowDriver driver;
        if (cause != "empty") {
            driver.addRom("A.GB", true);
            driver.addRom("B.GB", false);
        }
        if (cause == "full") {
            for (int i = 0; i < 4; ++i) {
                driver.addRom("FULL.GB", false);
            }
        }
        if (cause == "gone") {
            std::filesystem::remove(scratch_->path() / "B.GB");
        }
        const QStringList before = driver.snapshot();
        const romc::TableState stateBefore = driver.state();
        const bool hadMenu = std::filesystem::exists(scratch_->path() / "Menu.GB");

        const std::size_t shownBefore = driver.messages().size();
        driver.click("Command4");
        QCOMPARE(driver.messages().size(), shownBefore + 1);
        const auto& message = driver.messages().back();
        QCOMPARE(message.icon, QMessageBox::Critical);
        QVERIFY2(message.text.contains(reason), qPrintable(message.text));
        QCOMPARE(driver.snapshot(), before);
        QVERIFY(driver.state().blocks == stateBefore.blocks);
        QCOMPARE(driver.window().buttonState(),
                 stateBefore.table.rowCount() == 0 ? romui::ButtonState::Start : romui::ButtonState::Ready);
        if (hadMenu) {
            QCOMPARE(firstDifference(menuTemplate(), readFile(scratch_->path() / "Menu.GB")),
                     std::string("equal"));
        }
        QVERIFY(!std::filesystem::exists(scratch_->path() / "Output.GB"));
        QVERIFY(!std::filesystem::exists(scratch_->path() / "Output1.GB"));
    }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
