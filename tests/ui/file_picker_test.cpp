// The real file dialog behind the model's requests: the settings of "Find File"'s dialog before each
// showing, the ROM filter in any letter case, the default suffix, the file it opens with, each kind of pick.
#include "support/rom_files.h"
#include "ui/form1.h"
#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

using romc::test::makeRom;
using romc::test::ScratchFolder;
using romform::FilePick;
using romform::romFileDialog;
using romui::QtDialogs;

namespace {

// Runs `act` on the file dialog once it is the modal window, from inside the dialog's own event loop, and
// keeps calling it until it closes the dialog; `act` returns true when it has.
class DialogHand {
  public:
    explicit DialogHand(std::function<bool(QFileDialog&)> act) : act_(std::move(act)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog != nullptr && act_(*dialog)) {
                timer_.stop();
            }
        });
        timer_.start(10);
    }

  private:
    std::function<bool(QFileDialog&)> act_;
    QTimer timer_;
};

QStringList listedFiles(QFileDialog& dialog) {
    QStringList names;
    auto* view = dialog.findChild<QListView*>("listView");
    if (view == nullptr || view->model() == nullptr) {
        return names;
    }
    const QModelIndex folder = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(folder); ++row) {
        names << view->model()->index(row, 0, folder).data().toString();
    }
    return names;
}

// As a user does: types the file's path into the dialog's name box and confirms.
bool typeAndAccept(QFileDialog& dialog, const QString& path) {
    auto* nameBox = dialog.findChild<QLineEdit*>("fileNameEdit");
    if (nameBox == nullptr) {
        return false;
    }
    nameBox->setText(path);
    QTest::keyClick(nameBox, Qt::Key_Return);
    return true;
}

QString nativePath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

QStringList shown(const std::vector<std::string>& paths) {
    QStringList texts;
    for (const auto& path : paths) {
        texts << QString::fromStdString(path);
    }
    return texts;
}

} // namespace

class FilePickerTest : public QObject {
    Q_OBJECT

  private slots:
    void dialogIsSetUpBeforeShowing() {
        ScratchFolder folder;
        makeRom(folder.path(), "tetris.gb", 32768, 1);
        makeRom(folder.path(), "PUZZLE.GB", 32768, 2);
        makeRom(folder.path(), "notes.txt", 10, 3);
        // The work folder's own files match the filter but are no games: the list leaves them out.
        makeRom(folder.path(), "Menu.GB", 32768, 4);
        makeRom(folder.path(), "output2.gb", 32768, 5);
        QWidget window;
        QtDialogs picker(&window);
        QCOMPARE(picker.dialog()->objectName(), QString("CommonDialog1"));
        QCOMPARE(picker.dialog()->parent(), &window);
        picker.dialog()->setDirectory(nativePath(folder.path()));

        QString title;
        QStringList filters;
        QString filterInForce;
        QString suffix;
        QStringList listed;
        int waits = 0;
        DialogHand hand([&](QFileDialog& dialog) {
            listed = listedFiles(dialog);
            // The folder is read in the background; give it a while before looking.
            if (listed.size() < 2 && ++waits < 500) {
                return false;
            }
            title = dialog.windowTitle();
            filters = dialog.nameFilters();
            filterInForce = dialog.selectedNameFilter();
            suffix = dialog.defaultSuffix();
            return typeAndAccept(dialog, nativePath(folder.path() / "tetris.gb"));
        });
        const QStringList chosen = shown(picker.pickFiles(romFileDialog({})));
        QCOMPARE(title, QString("Select File"));
        QCOMPARE(filters, QStringList({"GB ROM(*.GB *.GBC *.SGB *.ZIP *.7Z *.GZ)", "All Files(*.*)"}));
        QCOMPARE(filterInForce, QString("GB ROM(*.GB *.GBC *.SGB *.ZIP *.7Z *.GZ)"));
        QCOMPARE(suffix, QString("GB"));
        listed.sort();
        QCOMPARE(listed, QStringList({"PUZZLE.GB", "tetris.gb"}));
        QCOMPARE(chosen, QStringList{nativePath(folder.path() / "tetris.gb")});
    }

    void romFilterMatchesAnyLetterCase() {
        ScratchFolder folder;
        for (const char* name : {"tetris.gb", "PUZZLE.GB", "Mixed.Gb", "notes.txt", "space.gbc"}) {
            makeRom(folder.path(), name, 10, 1);
        }
        QWidget window;
        QtDialogs picker(&window);
        QVERIFY(!(picker.dialog()->filter() & QDir::CaseSensitive));
        const QDir dir(nativePath(folder.path()), "*.GB", QDir::Name, picker.dialog()->filter());
        QCOMPARE(dir.entryList(), QStringList({"Mixed.Gb", "PUZZLE.GB", "tetris.gb"}));
    }

    void typedNameWithoutExtensionGetsDefaultSuffix() {
        ScratchFolder folder;
        makeRom(folder.path(), "PUZZLE.GB", 32768, 1);
        QWidget window;
        QtDialogs picker(&window);
        picker.dialog()->setDirectory(nativePath(folder.path()));
        DialogHand hand([](QFileDialog& dialog) { return typeAndAccept(dialog, "PUZZLE"); });
        QCOMPARE(shown(picker.pickFiles(romFileDialog({}))),
                 QStringList{nativePath(folder.path() / "PUZZLE.GB")});
    }

    // The dialog opens in the folder the model names with an empty name box, whatever its last use chose;
    // a proposed file (Save List As) opens chosen; a cancelled dialog gives nothing back.
    void opensWithItsStartFileAndGivesNothingOnCancel() {
        ScratchFolder folder;
        makeRom(folder.path(), "PUZZLE.GB", 32768, 1);
        const QString puzzle = nativePath(folder.path() / "PUZZLE.GB");
        QWidget window;
        QtDialogs picker(&window);
        {
            DialogHand cancel([](QFileDialog& dialog) {
                dialog.reject();
                return true;
            });
            QVERIFY(picker.pickFiles(romFileDialog({})).empty());
        }
        QStringList heldWhenShown;
        QString nameWhenShown = "<no name box>";
        QString folderWhenShown;
        const auto look = [&](QFileDialog& dialog) {
            heldWhenShown = dialog.selectedFiles();
            if (const auto* name = dialog.findChild<QLineEdit*>("fileNameEdit")) {
                nameWhenShown = name->text();
            }
            folderWhenShown = dialog.directory().absolutePath();
            dialog.reject();
            return true;
        };
        {
            DialogHand cancel(look);
            romform::FileDialog proposed = romFileDialog({});
            proposed.startPath = puzzle.toStdString();
            QVERIFY(picker.pickFiles(proposed).empty());
            QCOMPARE(heldWhenShown, QStringList{puzzle});
        }
        DialogHand cancel(look);
        QVERIFY(picker.pickFiles(romFileDialog(nativePath(folder.path()).toStdString())).empty());
        QCOMPARE(nameWhenShown, QString());
        QCOMPARE(QDir(folderWhenShown), QDir(nativePath(folder.path())));
    }

    void eachPickOpensTheDialogInItsMode_data() {
        QTest::addColumn<int>("pick");
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<int>("acceptMode");
        QTest::newRow("one to open") << int(FilePick::OneToOpen) << int(QFileDialog::ExistingFile)
                                     << int(QFileDialog::AcceptOpen);
        QTest::newRow("several to open") << int(FilePick::SeveralToOpen) << int(QFileDialog::ExistingFiles)
                                         << int(QFileDialog::AcceptOpen);
        QTest::newRow("one to save") << int(FilePick::OneToSave) << int(QFileDialog::AnyFile)
                                     << int(QFileDialog::AcceptSave);
        QTest::newRow("folder") << int(FilePick::Folder) << int(QFileDialog::Directory)
                                << int(QFileDialog::AcceptOpen);
    }

    void eachPickOpensTheDialogInItsMode() {
        QFETCH(int, pick);
        QFETCH(int, fileMode);
        QFETCH(int, acceptMode);
        QWidget window;
        QtDialogs picker(&window);
        romform::FileDialog request;
        request.pick = static_cast<FilePick>(pick);
        request.title = "Save List As";
        request.filters = {{"ROM list", {"*.json"}}};
        int shownMode = -1;
        int shownAccept = -1;
        QStringList shownFilters;
        DialogHand hand([&](QFileDialog& dialog) {
            shownMode = dialog.fileMode();
            shownAccept = dialog.acceptMode();
            shownFilters = dialog.nameFilters();
            dialog.reject();
            return true;
        });
        QVERIFY(picker.pickFiles(request).empty());
        QCOMPARE(shownMode, fileMode);
        QCOMPARE(shownAccept, acceptMode);
        QCOMPARE(shownFilters, QStringList{"ROM list (*.json)"});
    }

    void findFileShowsTheDialogAndProposesName() {
        ScratchFolder folder;
        makeRom(folder.path(), "Space Adventure DX.GBC", 32768, 1);
        romui::Form1 window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* dialog = window.findChild<QFileDialog*>("CommonDialog1");
        QVERIFY(dialog != nullptr);
        dialog->setDirectory(nativePath(folder.path()));
        DialogHand hand([&](QFileDialog& shown) {
            shown.selectNameFilter("All Files(*.*)");
            return typeAndAccept(shown, nativePath(folder.path() / "Space Adventure DX.GBC"));
        });
        QTest::mouseClick(window.findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(window.findChild<QLineEdit*>("Text2")->text(),
                 nativePath(folder.path() / "Space Adventure DX.GBC"));
        QCOMPARE(window.findChild<QLineEdit*>("Text1")->text(), QString("Space Adventure "));
        QVERIFY(window.findChild<QPushButton*>("Command2")->isEnabled());
    }
};

QTEST_MAIN(FilePickerTest)
#include "file_picker_test.moc"
