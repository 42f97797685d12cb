// The four states of "Add ROM", "Remove ROM" and "Generate Compilation", and what "Find File" makes of each.
#include "ui/button_state.h"

#include <QTest>

using romui::ButtonState;

Q_DECLARE_METATYPE(romui::ButtonState)

class ButtonStateTest : public QObject {
    Q_OBJECT

  private slots:
    void stateEnablesButtons_data() {
        QTest::addColumn<ButtonState>("state");
        QTest::addColumn<bool>("addRom");
        QTest::addColumn<bool>("removeRom");
        QTest::addColumn<bool>("generate");
        QTest::newRow("Start") << ButtonState::Start << false << true << true;
        QTest::newRow("Ready") << ButtonState::Ready << true << true << true;
        QTest::newRow("Compiled") << ButtonState::Compiled << false << false << false;
        QTest::newRow("Compiled and adding") << ButtonState::CompiledAndAdding << true << false << false;
    }

    void stateEnablesButtons() {
        QFETCH(ButtonState, state);
        QFETCH(bool, addRom);
        QFETCH(bool, removeRom);
        QFETCH(bool, generate);
        const romui::ButtonsEnabled expected{addRom, removeRom, generate};
        QVERIFY(romui::buttonsEnabled(state) == expected);
    }

    void pickedFileEnablesAddRomOnly_data() {
        QTest::addColumn<ButtonState>("before");
        QTest::addColumn<ButtonState>("after");
        QTest::newRow("Start") << ButtonState::Start << ButtonState::Ready;
        QTest::newRow("Ready") << ButtonState::Ready << ButtonState::Ready;
        QTest::newRow("Compiled") << ButtonState::Compiled << ButtonState::CompiledAndAdding;
        QTest::newRow("Compiled and adding")
            << ButtonState::CompiledAndAdding << ButtonState::CompiledAndAdding;
    }

    void pickedFileEnablesAddRomOnly() {
        QFETCH(ButtonState, before);
        QFETCH(ButtonState, after);
        QCOMPARE(romui::buttonStateName(romui::afterFilePicked(before)), romui::buttonStateName(after));
    }
};

QTEST_MAIN(ButtonStateTest)
#include "button_state_test.moc"
