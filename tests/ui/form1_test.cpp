// What is Qt's own in the main window, driven through its controls' object names as a user would: the
// widgets built from the model's control table, events reaching the model and what it says shown again,
// message boxes, tooltips, the menu bar, and "Generate Compilation" against the command line.
#include "app/demo_folder.h"
#include "support/rom_files.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_menu_bar.h"
#include "ui/twips.h"
#include "window_driver.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTest>
#include <QToolTip>
#include <QUrl>

using romc::test::firstDifference;
using romc::test::makeRom;
using romc::test::menuTemplate;
using romc::test::readFile;
using romc::test::ScratchFolder;
using romc::test::writeFile;
using romform::Choice;
using romform::ControlKind;
using romui::test::kLists;
using romui::test::WindowDriver;
using romui::test::WorkingFolder;

namespace {

constexpr std::size_t kBlock = 32768;

QStringList rowOf(const WindowDriver& driver, int r) {
    QStringList texts;
    for (const char* list : kLists) {
        texts << driver.column(list).value(r, "<missing>");
    }
    return texts;
}

QString shown(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Answers the next modal message box from inside its own event loop: clicks `button`, or presses Escape
// when it is NoButton; writes down the buttons it offered.
class MessageBoxHand {
  public:
    explicit MessageBoxHand(QMessageBox::StandardButton button) {
        QObject::connect(&timer_, &QTimer::timeout, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            timer_.stop();
            for (QAbstractButton* offered : box->buttons()) {
                offered_ << box->standardButton(offered);
            }
            title_ = box->windowTitle();
            if (button == QMessageBox::NoButton) {
                QTest::keyClick(box, Qt::Key_Escape);
            } else {
                box->button(button)->click();
            }
        });
        timer_.start(10);
    }
    QList<QMessageBox::StandardButton> offered_;
    QString title_;

  private:
    QTimer timer_;
};

} // namespace

Q_DECLARE_METATYPE(Choice)

class Form1Test : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<ScratchFolder> scratch_;
    std::unique_ptr<WorkingFolder> workIn_;

  private slots:
    void init() {
        scratch_ = std::make_unique<ScratchFolder>();
        workIn_ = std::make_unique<WorkingFolder>(scratch_->path());
        // Each test starts with no recent lists, kept in its own scratch folder.
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((scratch_->path() / "settings").string()));
    }
    void cleanup() {
        workIn_.reset();
        scratch_.reset();
    }

    void startStateShowsTheModel() {
        WindowDriver driver;
        QCOMPARE(driver.window().windowTitle(), QString("Tarnwick 256M ROM Compiler"));
        // The client area keeps its size; the window grows by the menu bar's and the status line's heights.
        QVERIFY(driver.window().menuWidget() != nullptr);
        QStatusBar* status = driver.window().findChild<QStatusBar*>();
        QVERIFY(status != nullptr);
        QCOMPARE(driver.window().size(), QSize(750, 423 + driver.window().menuWidget()->sizeHint().height() +
                                                        status->sizeHint().height()));
        QCOMPARE(driver.window().minimumSize(), driver.window().maximumSize());
        QCOMPARE(driver.window().findChild<QLabel*>("StatusLine")->text(),
                 QString::fromStdString(*driver.window().model().statusText()));
        QVERIFY(!driver.enabled("Command2"));
        QVERIFY(driver.enabled("Command5"));
        QVERIFY(driver.enabled("Command4"));
        QCOMPARE(driver.text("Text1"), QString());
        QCOMPARE(driver.text("Text2"), QString(" "));
        QCOMPARE(driver.text("Text3"), QString("0"));
        QCOMPARE(driver.text("Text4"), QString("0"));
        QVERIFY(!driver.saveBox());
        for (const char* list : kLists) {
            QVERIFY2(driver.column(list).isEmpty(), list);
            QCOMPARE(driver.selectedRow(list), -1);
        }
        QCOMPARE(driver.window().focusWidget(), driver.control<QWidget>("Text1"));
    }

    void everyWidgetIsBuiltFromTheControlTable() {
        WindowDriver driver;
        QWidget* client = driver.window().clientArea();
        QCOMPARE(client->size(), QSize(750, 423));
        for (const auto& control : romform::controlTable()) {
            const QString name = shown(control.name);
            auto* widget = driver.window().findChild<QWidget*>(name);
            QVERIFY2(widget != nullptr, qPrintable(name));
            QCOMPARE(widget->parentWidget(), client);
            if (control.kind != ControlKind::Line) {
                QCOMPARE(widget->geometry(), romui::twipRect(control.box));
            }
            QCOMPARE(widget->property("text").toString(), shown(control.text));
            QVERIFY2(widget->isVisibleTo(&driver.window()) == control.visible, qPrintable(name));
            QVERIFY2((widget->focusPolicy() != Qt::NoFocus) == control.takesFocus, qPrintable(name));
            if (auto* box = qobject_cast<QLineEdit*>(widget)) {
                QCOMPARE(box->isReadOnly(), control.readOnly);
            }
            if (auto* list = qobject_cast<QListWidget*>(widget)) {
                QCOMPARE(list->textElideMode(), control.keepsTextEnd ? Qt::ElideLeft : Qt::ElideRight);
            }
        }
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

    void eventsReachTheModel() {
        using enum romform::ControlId;
        makeRom(scratch_->path(), "A.GB", kBlock, 1);
        WindowDriver driver;
        const romform::WindowModel& model = driver.model();
        QTest::keyClicks(driver.control<QLineEdit>("Text1"), "Zelda");
        QCOMPARE(model.text(Text1), std::string("Zelda"));
        auto* path = driver.control<QLineEdit>("Text2");
        path->selectAll();
        QTest::keyClicks(path, "A.GB");
        QCOMPARE(model.text(Text2), std::string("A.GB"));
        driver.setSaveBox(true);
        QVERIFY(model.checked(Check1));
        driver.setSaveBox(false);
        QVERIFY(!model.checked(Check1));
        // A path typed by hand is added like a picked one once "Add ROM" is enabled.
        driver.click("Command3");
        driver.click("Command2");
        driver.addRom("A.GB", false);
        driver.addRom("A.GB", false);
        QCOMPARE(driver.column("List1"), QStringList({"ZELDA", "A", "A"}));

        driver.clickRow("List1", 2);
        for (romform::ControlId list : {List1, List2, List7}) {
            QCOMPARE(model.selectedRow(list), 2);
        }
        // The keyboard selects as the mouse does, and the face shows the model's whole-row selection.
        QTest::keyClick(driver.control<QListWidget>("List1"), Qt::Key_Up);
        for (const char* list : kLists) {
            QCOMPARE(driver.selectedRow(list), 1);
        }
        driver.clickRow("List3", 0);
        QCOMPARE(model.selectedRow(List3), 0);
        QCOMPARE(model.selectedRow(List1), 1);
        driver.click("Command5");
        QCOMPARE(driver.column("List1"), QStringList({"ZELDA", "A"}));
    }

    void modelMessagesBecomeMessageBoxes_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("reason");
        QTest::newRow("refused ROM") << "Command2" << int(QMessageBox::Warning)
                                     << "Tarnwick 256M ROM Compiler - Add ROM"
                                     << "\"GONE.GB\"";
        QTest::newRow("failed compilation")
            << "Command4" << int(QMessageBox::Critical) << "Tarnwick 256M ROM Compiler - Generate Compilation"
            << "nothing to compile";
    }

    void modelMessagesBecomeMessageBoxes() {
        QFETCH(QString, button);
        QFETCH(int, icon);
        QFETCH(QString, title);
        QFETCH(QString, reason);
        WindowDriver driver;
        driver.findFile("GONE.GB");
        const QStringList before = driver.snapshot();
        driver.click(qPrintable(button));
        QCOMPARE(driver.messages().size(), std::size_t{1});
        const auto& message = driver.messages().back();
        QCOMPARE(int(message.icon), icon);
        QCOMPARE(message.title, title);
        QVERIFY2(message.text.contains(reason), qPrintable(message.text));
        QCOMPARE(driver.snapshot(), before);
    }

    // The status line, the menus and the tooltips speak in the controls' font. The line is never cut: it
    // wraps within the window, from the controls' left edge, and the window grows by the lines it needs;
    // its tooltip is its whole text. A long work folder's name makes the status line longer.
    void statusLineWrapsWithinTheWindowInTheControlsFont() {
        int shortHeight = 0;
        for (const int folderWords : {1, 24}) {
            std::string name;
            for (int word = 0; word < folderWords; ++word) {
                name += word == 0 ? "work" : " folder";
            }
            if (folderWords > 1) {
                name += "/" + name; // past the three lines the line keeps room for, within a name's limit
            }
            std::filesystem::create_directories(scratch_->path() / name);
            const WorkingFolder in(scratch_->path() / name);
            WindowDriver driver;
            const QFont controls = driver.control<QWidget>("Text1")->font();
            auto* line = driver.control<QLabel>("StatusLine");
            QCOMPARE(line->font(), controls);
            QCOMPARE(QToolTip::font(), controls);
            for (QAction* menu : driver.window().menuBar()->actions()) {
                QCOMPARE(menu->menu()->font(), controls);
            }
            QCOMPARE(line->toolTip(), line->text());
            QVERIFY(line->text().endsWith(QString::fromStdString(name)));

            const QRect inside = line->contentsRect();
            const QFontMetrics metrics(controls);
            const QRect needed =
                metrics.boundingRect(QRect(0, 0, inside.width(), 10000), Qt::TextWordWrap, line->text());
            QVERIFY2(needed.height() <= inside.height(), qPrintable(line->text()));
            const QPoint start = line->mapTo(&driver.window(), inside.topLeft());
            QVERIFY(start.x() >= romui::pixels(romform::control(romform::ControlId::Text1).box.left));
            QVERIFY(start.x() + inside.width() <= driver.window().width());
            const int lines = needed.height() / metrics.lineSpacing();
            QStatusBar* status = driver.window().findChild<QStatusBar*>();
            QCOMPARE(driver.window().height(),
                     423 + driver.window().menuWidget()->height() + status->height());
            if (folderWords == 1) {
                QCOMPARE(lines, 2);
                shortHeight = driver.window().height();
            } else {
                QVERIFY2(lines > romform::kStatusLineLeastLines, qPrintable(line->text()));
                // Grown by the lines past the room kept for three, give or take the pixel of leading
                // between lines.
                const int grown = driver.window().height() - shortHeight;
                QVERIFY2(std::abs(grown - (lines - romform::kStatusLineLeastLines) * metrics.lineSpacing()) <=
                             1,
                         qPrintable(QString::number(grown)));
            }
        }
    }

    // A warning sign before a name keeps its place in every row: warned or not, all names start at one x.
    void namesStartAtOneWhetherWarnedOrNot() {
        makeRom(scratch_->path(), "A.GB", kBlock, 1);
        const romapp::DemoFile& goodDump = romapp::demoFiles().at(1);
        writeFile(scratch_->path() / goodDump.name, romapp::demoBytes(goodDump));
        WindowDriver driver;
        driver.addRom("A.GB", false);
        driver.addRom(goodDump.name, false);
        auto* names = driver.control<QListWidget>("List1");
        QCOMPARE(names->count(), 2);
        struct TextPlace : QStyledItemDelegate {
            int x(QListWidget* list, int row) const {
                QStyleOptionViewItem option;
                option.initFrom(list);
                option.widget = list;
                option.rect = list->visualItemRect(list->item(row));
                option.decorationSize = list->iconSize();
                initStyleOption(&option, list->model()->index(row, 0));
                return list->style()->subElementRect(QStyle::SE_ItemViewItemText, &option, list).left();
            }
        } place;
        QVERIFY(driver.model().rowWarning(0).empty() != driver.model().rowWarning(1).empty());
        QCOMPARE(place.x(names, 0), place.x(names, 1));
    }

    void nameToolTipAnswersThePointer() {
        makeRom(scratch_->path(), "A.GB", kBlock, 1);
        WindowDriver driver;
        driver.addRom("A.GB", false);
        // The pointer resting on the first name asks the model, which answers from the file as it is.
        auto* names = driver.control<QListWidget>("List1");
        const QPoint onFirstRow = names->visualItemRect(names->item(0)).center();
        QHelpEvent help(QEvent::ToolTip, onFirstRow, names->viewport()->mapToGlobal(onFirstRow));
        QVERIFY(QCoreApplication::sendEvent(names->viewport(), &help));
        QVERIFY(help.isAccepted());
        QCOMPARE(QToolTip::text(), QString::fromStdString(driver.model().nameToolTip(0)));
        QVERIFY(!QToolTip::text().isEmpty());
        // A file with no valid header warns: its name carries the sign, and its row keeps the height of
        // the other columns' rows beside it.
        QVERIFY(!driver.model().rowWarning(0).empty());
        QVERIFY(!names->item(0)->icon().isNull());
        auto* files = driver.control<QListWidget>("List2");
        QCOMPARE(names->visualItemRect(names->item(0)).height(),
                 files->visualItemRect(files->item(0)).height());
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
        QVERIFY(driver.model().compiled());
        QVERIFY(!driver.enabled("Command2"));
        QVERIFY(driver.enabled("Command5"));
        QVERIFY(driver.enabled("Command4"));
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

        // The compiled table stays editable: "Find File" enables "Add ROM" beside the others.
        driver.findFile("PUZZLE.GB");
        QVERIFY(driver.model().compiled());
        QVERIFY(driver.enabled("Command2"));
        QVERIFY(driver.enabled("Command5"));
        QVERIFY(driver.enabled("Command4"));
        driver.click("Command3");
        QVERIFY(!driver.model().compiled());
        QVERIFY(driver.enabled("Command2"));
        QVERIFY(driver.enabled("Command5"));
        QVERIFY(driver.enabled("Command4"));
    }

    void questionBecomesMessageBoxWithItsChoices_data() {
        QTest::addColumn<QList<Choice>>("choices");
        QTest::addColumn<int>("pressed"); // a QMessageBox::StandardButton; NoButton: Escape
        QTest::addColumn<Choice>("answer");
        QTest::newRow("Yes / No, No clicked")
            << QList<Choice>{Choice::Yes, Choice::No} << int(QMessageBox::No) << Choice::No;
        QTest::newRow("Save / Discard / Cancel, Discard clicked")
            << QList<Choice>{Choice::Save, Choice::Discard, Choice::Cancel} << int(QMessageBox::Discard)
            << Choice::Discard;
        QTest::newRow("Escape gives the escape choice")
            << QList<Choice>{Choice::Save, Choice::Discard, Choice::Cancel} << int(QMessageBox::NoButton)
            << Choice::Cancel;
    }

    void questionBecomesMessageBoxWithItsChoices() {
        QFETCH(QList<Choice>, choices);
        QFETCH(int, pressed);
        QFETCH(Choice, answer);
        QWidget window;
        romui::QtDialogs dialogs(&window);
        romform::Question question;
        question.title = "Tarnwick 256M ROM Compiler - Clear List";
        question.text = "Remove all 12 ROMs from the table?";
        question.choices.assign(choices.begin(), choices.end());
        question.defaultChoice = choices.front();
        question.escapeChoice = Choice::Cancel;
        if (!choices.contains(Choice::Cancel)) {
            question.escapeChoice = Choice::No;
        }
        MessageBoxHand hand(static_cast<QMessageBox::StandardButton>(pressed));
        QCOMPARE(dialogs.ask(question), answer);
        QCOMPARE(hand.title_, QString::fromStdString(question.title));
        QCOMPARE(hand.offered_.size(), choices.size());
    }

    void droppedFilesAndKeysReachTheModel() {
        makeRom(scratch_->path(), "a.gb", kBlock, 1);
        makeRom(scratch_->path(), "b.gb", kBlock, 2);
        WindowDriver driver;
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(QString::fromStdString((scratch_->path() / "a.gb").string())),
                       QUrl::fromLocalFile(QString::fromStdString((scratch_->path() / "b.gb").string()))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&driver.window(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&driver.window(), &drop);
        QCOMPARE(driver.column("List1"), QStringList({"A", "B"}));
        driver.clickRow("List1", 0);
        QTest::keyClick(driver.control<QListWidget>("List1"), Qt::Key_Delete);
        QCOMPARE(driver.column("List1"), QStringList({"B"}));
        // The drop put nothing in the boxes; a file picked does, and Enter adds it.
        QVERIFY(!driver.enabled("Command2"));
        driver.findFile("a.gb");
        QTest::keyClick(driver.window().findChild<QLineEdit*>("Text1"), Qt::Key_Return);
        QVERIFY(driver.messages().empty());
        QCOMPARE(driver.column("List1").size(), 2);
        QVERIFY(driver.window().close());
    }

    void flashMapFollowsTheTableAndNamesThePointedBlock() {
        makeRom(scratch_->path(), "a.gb", 2 * kBlock, 1);
        makeRom(scratch_->path(), "b.gb", kBlock, 2);
        WindowDriver driver;
        QMenu* view = driver.window().menuBar()->actions().at(2)->menu(); // File, Edit, View
        QAction* flashMap = view->actions().at(0);
        QCOMPARE(flashMap->shortcut().toString(), QString("Ctrl+M"));
        flashMap->trigger();
        auto* flash = driver.window().findChild<QWidget*>("FlashView");
        QVERIFY(flash != nullptr && flash->isVisible());
        QCOMPARE(flash->windowTitle(), QString("Flash Map - Tarnwick 256M ROM Compiler"));
        // Opened on the main window's screen, whole, though the picture is wider than that screen.
        QVERIFY(flash->screen()->availableGeometry().contains(flash->frameGeometry()));
        QVERIFY(driver.window().menuBar()->actions().at(2)->menu()->actions().at(0)->isChecked());
        driver.addRom("a.gb", false);
        driver.addRom("b.gb", false);
        // Painted from the picture scaled to the window, aspect kept: the menu block, the ROM's draft place
        // at block 2, free space after it; the pointer names the block under it at every size.
        const auto picture = driver.model().flashPicture();
        QLabel* pointed = flash->findChild<QLabel*>("FlashViewPointed");
        // Above the cell's label, below its frame.
        const auto windowPoint = [&](const romform::FlashViewFit& fit, const romform::PixelRect& cell) {
            return QPointF(fit.x + (cell.x + cell.width / 2.0) * fit.scale,
                           fit.y + (cell.y + 4.5) * fit.scale);
        };
        const auto pointAt = [&](QPointF at) {
            QMouseEvent move(QEvent::MouseMove, at, QPointF(), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(flash, &move);
        };
        for (const QSize size :
             {QSize(picture.width, picture.height), QSize(2 * picture.width, 2 * picture.height),
              QSize(picture.width / 2, picture.height)}) {
            flash->resize(size);
            const romform::FlashViewFit fit = romform::fitFlashView(picture, size.width(), size.height());
            const QImage shot = flash->grab().toImage();
            for (const int block : {0, 2, 3, 700}) {
                const auto& cell = picture.cells[static_cast<std::size_t>(block)];
                const QColor painted = shot.pixelColor(windowPoint(fit, cell.rect).toPoint());
                QCOMPARE(painted, QColor(cell.fill.red, cell.fill.green, cell.fill.blue));
            }
            pointAt(windowPoint(fit, picture.cells[2].rect));
            QVERIFY2(pointed->text().startsWith("Block 2: A \"A\""), qPrintable(pointed->text()));
        }
        // The pointer resting on block 2 while "A" moves below "B": the text under the grid takes the new
        // letter.
        driver.clickRow("List1", 1);
        QMenu* edit = driver.window().menuBar()->actions().at(1)->menu();
        for (QAction* action : edit->actions()) {
            if (action->text().remove('&') == "Move Up") {
                action->trigger();
            }
        }
        QCOMPARE(driver.column("List1"), QStringList({"B", "A"}));
        QVERIFY2(pointed->text().startsWith("Block 2: B \"A\""), qPrintable(pointed->text()));
        QVERIFY(flash->close()); // by its own title bar
        QVERIFY(!driver.model().flashViewOpen());
        QVERIFY(!driver.window().menuBar()->actions().at(2)->menu()->actions().at(0)->isChecked());
        QVERIFY(driver.window().close());
    }

    void fileMenuSavesAndCloseHonoursCancel() {
        makeRom(scratch_->path(), "a.gb", kBlock, 1);
        WindowDriver driver;
        QStringList items;
        QMenuBar* bar = driver.window().menuBar();
        QMenu* file = bar->actions().at(0)->menu();
        for (QAction* action : file->actions()) {
            items << (action->isSeparator() ? "-" : action->text() + " " + action->shortcut().toString());
        }
        // Each menu and item with its access key (Alt+F, then the underlined letter).
        QCOMPARE(items,
                 QStringList({"&Add ROMs... Ctrl+Shift+A", "&Names from Cartridge Titles ", "-",
                              "&Open List... Ctrl+O", "&Save List Ctrl+S", "Save &List As... Ctrl+Shift+S",
                              "&Import Image... Ctrl+I", "-", "&Write Save Memory... Ctrl+Shift+W",
                              "Split Save &Dump... Ctrl+Shift+D", "-", "Work &Folder... Ctrl+Shift+F",
                              "&Remove Left-over Pieces... Ctrl+Shift+R", "-", "&Quit Ctrl+Q"}));
        QCOMPARE(bar->actions().at(0)->text(), QString("&File"));
        QCOMPARE(bar->actions().at(1)->text(), QString("&Edit"));
        QCOMPARE(bar->actions().at(2)->text(), QString("&View"));
        QCOMPARE(bar->actions().at(3)->text(), QString("&Help"));

        driver.addRom("a.gb", false);
        driver.dialogs().next = QString::fromStdString((scratch_->path() / "games.json").string());
        file->actions().at(5)->trigger(); // Save List As...
        QCOMPARE(driver.window().windowTitle(), QString("games.json - Tarnwick 256M ROM Compiler"));
        QVERIFY(driver.window()
                    .findChild<QLabel*>("StatusLine")
                    ->text()
                    .endsWith(QString::fromStdString(". Work folder: " + scratch_->path().string())));
        file = bar->actions().at(0)->menu(); // built again, now with the list just saved
        QCOMPARE(file->actions().at(11)->text(), QString("&1 games.json"));
        driver.click("Command3"); // Clear List
        QCOMPARE(driver.window().windowTitle(), QString("games.json* - Tarnwick 256M ROM Compiler"));
        driver.dialogs().answers = {romform::Choice::Cancel};
        QVERIFY(!driver.window().close());
        QVERIFY(driver.window().isVisible());
        driver.dialogs().answers = {romform::Choice::Discard};
        QVERIFY(driver.window().close());
    }

    // The name column's gestures: F2 and a double-click open an editor over the name (Enter keeps, Escape
    // drops), a drag moves the whole row; each comes back with Undo.
    void nameColumnRenamesInPlaceAndDragsRows() {
        for (const char* name : {"a.gb", "b.gb", "c.gb"}) {
            makeRom(scratch_->path(), name, kBlock, 1);
        }
        WindowDriver driver;
        for (const char* name : {"a.gb", "b.gb", "c.gb"}) {
            driver.addRom(name, false);
        }
        auto* names = driver.control<QListWidget>("List1");
        QWidget* rows = names->viewport();
        const auto centre = [&](int row) { return names->visualItemRect(names->item(row)).center(); };
        // The bar is built again whenever the model's menus change: its items are looked up each time.
        const auto editAction = [&](const QString& text) {
            for (QAction* action : driver.window().menuBar()->actions().at(1)->menu()->actions()) {
                if (action->text().remove('&').startsWith(text)) {
                    return action;
                }
            }
            return static_cast<QAction*>(nullptr);
        };
        QCOMPARE(editAction("Rename")->shortcut(), QKeySequence(Qt::Key_F2));

        driver.clickRow("List1", 1);
        editAction("Rename")->trigger();
        auto* editor = driver.control<QLineEdit>("NameEditor");
        QVERIFY(editor != nullptr && editor->isVisible());
        QCOMPARE(editor->text(), QString("B"));
        QTest::keyClick(editor, Qt::Key_Down, Qt::AltModifier); // the editor's, not Move Down's
        QCOMPARE(driver.column("List1"), QStringList({"A", "B", "C"}));
        QTest::keyClicks(editor, "a name of twenty chars");
        QCOMPARE(editor->text(), QString("a name of twenty"));
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(driver.column("List1"), QStringList({"A", "A NAME OF TWENTY", "C"}));

        QTest::mouseDClick(rows, Qt::LeftButton, {}, centre(0));
        editor = driver.control<QLineEdit>("NameEditor");
        QVERIFY(editor != nullptr && editor->isVisible());
        QCOMPARE(driver.selectedRow("List1"), 0);
        QTest::keyClicks(editor, "x");
        QTest::keyClick(editor, Qt::Key_Escape);
        QVERIFY(!editor->isVisible());
        QCOMPARE(driver.column("List1"), QStringList({"A", "A NAME OF TWENTY", "C"}));

        // Pressed on the first row, moved past the drag distance to the last, let go there.
        const QStringList first = rowOf(driver, 0);
        QTest::mousePress(rows, Qt::LeftButton, {}, centre(0));
        for (const QPoint& at : {centre(1), centre(2)}) {
            QMouseEvent move(QEvent::MouseMove, at, rows->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
            QApplication::sendEvent(rows, &move);
        }
        QTest::mouseRelease(rows, Qt::LeftButton, {}, centre(2));
        QCOMPARE(rowOf(driver, 2), first);
        QCOMPARE(driver.column("List1"), QStringList({"A NAME OF TWENTY", "C", "A"}));
        QCOMPARE(driver.selectedRow("List1"), 2);

        editAction("Undo")->trigger();
        QCOMPARE(driver.column("List1"), QStringList({"A", "A NAME OF TWENTY", "C"}));
        editAction("Undo")->trigger();
        QCOMPARE(driver.column("List1"), QStringList({"A", "B", "C"}));
        QVERIFY(driver.window().close());
    }

    void menuBarIsBuiltFromTheModelsMenus() {
        using romform::MenuCommand;
        romform::MenuBar menus;
        menus.menus = {
            {"File",
             {{.command = MenuCommand{1}, .caption = "Open List...", .shortcut = "Ctrl+O"},
              {.command = MenuCommand{2},
               .caption = "Save & Compile",
               .shortcut = "Ctrl+Shift+S",
               .enabled = false},
              {.command = MenuCommand{3}, .caption = "Quit", .shortcut = "Ctrl+Q", .separatorBefore = true}}},
            {"View",
             {{.command = MenuCommand{4},
               .caption = "Flash Map",
               .shortcut = "F2",
               .checkable = true,
               .checked = true}}},
        };
        QMenuBar bar;
        std::vector<int> chosen;
        romui::fillMenuBar(bar, menus,
                           [&](MenuCommand command) { chosen.push_back(static_cast<int>(command)); });
        const auto titles = bar.actions();
        QCOMPARE(titles.size(), 2);
        QCOMPARE(titles[0]->text(), QString("File"));
        QStringList items;
        for (QAction* action : titles[0]->menu()->actions()) {
            items << (action->isSeparator() ? "-"
                                            : action->text() + " " + action->shortcut().toString() +
                                                  (action->isEnabled() ? "" : " off"));
        }
        // "&" is shown as it is, never as a mnemonic.
        QCOMPARE(items, QStringList(
                            {"Open List... Ctrl+O", "Save && Compile Ctrl+Shift+S off", "-", "Quit Ctrl+Q"}));
        QAction* flashMap = titles[1]->menu()->actions().constFirst();
        QVERIFY(flashMap->isCheckable() && flashMap->isChecked());
        QCOMPARE(flashMap->shortcut(), QKeySequence(Qt::Key_F2));
        flashMap->trigger();
        titles[0]->menu()->actions().constFirst()->trigger();
        QCOMPARE(chosen, std::vector<int>({4, 1}));

        romui::fillMenuBar(bar, {}, [](MenuCommand) {});
        QVERIFY(bar.actions().isEmpty());
    }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
