// Random user actions on the window, seeded and repeatable: after every click the seven lists, the counter
// boxes, the buttons, the Save box and the status line's lead show exactly the table the window holds, the
// table keeps its rules, a refused action changes nothing a user can see, and every compilation leaves a
// correct image; a table changed after a compilation is a draft again until it is compiled again.
// ROMC_RANDOM_SEED and ROMC_RANDOM_STEPS replay or lengthen a run.
#include "hardening/state_checks.h"
#include "support/rom_files.h"
#include "window_driver.h"

#include <QCheckBox>
#include <QListWidget>
#include <QTest>
#include <random>

using romui::test::kLists;
using romui::test::WindowDriver;

namespace {

constexpr std::size_t kBlock = 32768;

unsigned long fromEnvironment(const char* name, unsigned long fallback) {
    const QByteArray value = qgetenv(name);
    bool ok = false;
    const unsigned long parsed = value.toULong(&ok);
    return ok ? parsed : fallback;
}

// Files a user might pick: ROMs of many sizes, some with a partial last block, and three that are refused.
QStringList makeRomPool(const std::filesystem::path& folder) {
    QStringList pool;
    const std::size_t blocks[] = {1, 2, 3, 4, 5, 8, 16, 31, 32, 33, 64, 65, 128, 256};
    std::uint32_t seed = 1;
    for (std::size_t size : blocks) {
        const std::string name = "rom" + std::to_string(size) + ".gb";
        romc::test::makeRom(folder, name, size * kBlock + (seed % 3 == 0 ? 777 : 0), seed);
        pool << QString::fromStdString(name);
        ++seed;
    }
    romc::test::makeRom(folder, "tiny.gb", 100, 99);
    std::filesystem::create_directory(folder / "folder.gb");
    pool << "tiny.gb"
         << "folder.gb"
         << "missing.gb";
    return pool;
}

class RandomWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void randomUserActionsKeepWindowAndTableInStep();
};

struct Run {
    WindowDriver& driver;
    std::filesystem::path folder;
    bool addRomExpected = false;   // "Add ROM" waits for a file until one is picked
    bool compiledExpected = false; // the outputs hold the table: from a compilation to the next change

    const romc::TableState& state() const { return driver.state(); }

    // What the user sees must be the table the window holds, and the table must keep its rules.
    QString shownBreak() const {
        for (std::size_t c = 0; c < romc::kColumnCount; ++c) {
            QStringList texts;
            for (const auto& text : state().table.columns[c]) {
                texts << QString::fromStdString(text);
            }
            if (driver.column(kLists[c]) != texts) {
                return QString("%1 shows %2, the table holds %3")
                    .arg(kLists[c], driver.column(kLists[c]).join('|'), texts.join('|'));
            }
        }
        if (driver.text("Text3") != QString::fromStdString(state().romCountText) ||
            driver.text("Text4") != QString::fromStdString(state().pagesText)) {
            return "the counter boxes do not show the table's counters";
        }
        if (driver.enabled("Command2") != addRomExpected || !driver.enabled("Command5") ||
            !driver.enabled("Command4")) {
            return QString("\"Add ROM\" is %1, expected %2")
                .arg(driver.enabled("Command2") ? "enabled" : "disabled",
                     addRomExpected ? "enabled" : "disabled");
        }
        const std::string status = driver.model().statusText().value_or("");
        if (driver.model().compiled() != compiledExpected ||
            (status.rfind("Wrote ", 0) == 0 || status.find("\nWrote ") != std::string::npos) !=
                compiledExpected) {
            return QString("the status line begins \"%1\", expected %2")
                .arg(QString::fromStdString(status.substr(0, status.find('\n'))),
                     compiledExpected ? "what was written" : "the draft");
        }
        if (driver.saveBox() && state().nextSaveBank >= romc::kSaveBanks) {
            return "\"Save?\" is ticked with no save bank left";
        }
        return QString::fromStdString(romc::hardening::stateInvariantBreak(state()));
    }
};

void RandomWindowTest::randomUserActionsKeepWindowAndTableInStep() {
    const unsigned long seed = fromEnvironment("ROMC_RANDOM_SEED", 20261207);
    const unsigned long steps = fromEnvironment("ROMC_RANDOM_STEPS", 400);
    const romc::test::ScratchFolder scratch;
    const romui::test::WorkingFolder workIn(scratch.path());
    romc::test::writeFile(scratch / "Menu.GB", romc::test::menuTemplate());
    const QStringList pool = makeRomPool(scratch.path());

    WindowDriver driver;
    Run run{driver, scratch.path()};
    std::mt19937 random(static_cast<std::mt19937::result_type>(seed));
    const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    QStringList done;

    for (unsigned long step = 0; step < steps; ++step) {
        const std::size_t messagesBefore = driver.messages().size();
        const int action = below(100);
        QString what;
        bool refusalPossible = false;
        QStringList before;
        romc::hardening::FolderMarks filesBefore;
        romc::hardening::Bytes menuBefore;

        if (action < 45) {
            const QString file = pool[below(static_cast<int>(pool.size()))];
            const bool save = below(3) == 0;
            what = QString("add %1%2").arg(file, save ? " with save" : "");
            driver.findFile(file);
            run.addRomExpected = true;
            driver.setSaveBox(save);
            before = driver.snapshot();
            const std::size_t rowsBefore = run.state().table.rowCount();
            driver.click("Command2");
            refusalPossible = true;
            if (run.state().table.rowCount() > rowsBefore) {
                run.compiledExpected = false;
                // The box stays ticked only after a save ROM, and only while a bank is left.
                const bool gotSave =
                    run.state().table.column(romc::Column::SaveFlag).back() == romc::kSaveFlagYes;
                const bool expectedBox = save && gotSave && run.state().nextSaveBank < romc::kSaveBanks;
                QVERIFY2(driver.saveBox() == expectedBox,
                         qPrintable(QString("\"Save?\" is %1 after %2; seed %3, step %4")
                                        .arg(driver.saveBox() ? "ticked" : "unticked", what)
                                        .arg(seed)
                                        .arg(step)));
            }
        } else if (action < 60 && run.state().table.rowCount() > 0) {
            const int row = below(static_cast<int>(run.state().table.rowCount()));
            const char* list = below(2) == 0 ? "List1" : kLists[1 + below(5)];
            what = QString("click row %1 of %2").arg(row).arg(list);
            driver.clickRow(list, row);
        } else if (action < 70) {
            what = "Remove ROM";
            const std::size_t rowsBefore = run.state().table.rowCount();
            driver.click("Command5");
            if (run.state().table.rowCount() < rowsBefore) {
                run.compiledExpected = false;
            }
        } else if (action < 76) {
            what = "Clear List";
            driver.click("Command3");
            run.addRomExpected = true;
            run.compiledExpected = false;
        } else if (action < 84) {
            what = QString("tick Save? %1").arg(driver.saveBox() ? "off" : "on");
            driver.setSaveBox(!driver.saveBox());
        } else {
            what = "Generate Compilation";
            before = driver.snapshot();
            filesBefore = romc::hardening::folderMarks(scratch.path());
            menuBefore = romc::test::readFile(scratch / "Menu.GB");
            const bool enabled = driver.enabled("Command4");
            driver.click("Command4");
            refusalPossible = true;
            if (enabled && driver.messages().size() == messagesBefore) {
                run.addRomExpected = false;
                run.compiledExpected = true;
                const std::string broken =
                    romc::hardening::compiledOutputBreak(run.state(), scratch.path(), menuBefore);
                QVERIFY2(broken.empty(), qPrintable(QString("seed %1, step %2 (%3): %4")
                                                        .arg(seed)
                                                        .arg(step)
                                                        .arg(what, QString::fromStdString(broken))));
            }
        }
        done << what;
        if (done.size() > 12) {
            done.removeFirst();
        }
        const QString context = QString("seed %1 (ROMC_RANDOM_SEED=%1), step %2, last actions: %3")
                                    .arg(seed)
                                    .arg(step)
                                    .arg(done.join("; "));
        const bool refused = driver.messages().size() > messagesBefore;
        QVERIFY2(!refused || refusalPossible, qPrintable("an unexpected message: " + context));
        if (refused) {
            QCOMPARE(driver.snapshot(), before);
            if (!filesBefore.empty()) {
                const std::string moved = romc::hardening::folderDifference(
                    filesBefore, romc::hardening::folderMarks(scratch.path()));
                QVERIFY2(moved.empty(), qPrintable(QString::fromStdString(moved) + ": " + context));
            }
        }
        const QString broken = run.shownBreak();
        QVERIFY2(broken.isEmpty(), qPrintable(broken + ": " + context));
    }
}

} // namespace

QTEST_MAIN(RandomWindowTest)
#include "random_window_test.moc"
