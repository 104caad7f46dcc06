// Key events as the game hears them.
#include "app/key_codes.h"
#include "view/key_mapping.h"

#include <QTest>

using namespace kestrada;
using namespace kestrada::view;

namespace {
std::optional<GameKey> hear(QEvent::Type type, int key, Qt::KeyboardModifiers mods = {},
                            bool autoRepeat = false) {
    const QKeyEvent event(type, key, mods, QString(), autoRepeat);
    return gameKeyFor(event);
}
} // namespace

class KeyMappingTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void gameKeysHaveTheirVirtualCodes() {
        QCOMPARE(virtualKeyCode(Qt::Key_Return, {}), int16_t(kKeyEnter));
        QCOMPARE(virtualKeyCode(Qt::Key_Enter, Qt::KeypadModifier), int16_t(kKeyEnter));
        QCOMPARE(virtualKeyCode(Qt::Key_Escape, {}), int16_t(kKeyEsc));
        QCOMPARE(virtualKeyCode(Qt::Key_Space, {}), int16_t(kKeySpace));
        QCOMPARE(virtualKeyCode(Qt::Key_Left, {}), int16_t(kKeyLeft));
        QCOMPARE(virtualKeyCode(Qt::Key_Up, {}), int16_t(kKeyUp));
        QCOMPARE(virtualKeyCode(Qt::Key_Right, {}), int16_t(kKeyRight));
        QCOMPARE(virtualKeyCode(Qt::Key_Down, {}), int16_t(kKeyDown));
        QCOMPARE(virtualKeyCode(Qt::Key_1, {}), int16_t(kKey1));
        QCOMPARE(virtualKeyCode(Qt::Key_2, Qt::ShiftModifier), int16_t(kKey2));
    }

    void otherKeysMapOrAreIgnored() {
        QCOMPARE(virtualKeyCode(Qt::Key_A, {}), int16_t(65));
        QCOMPARE(virtualKeyCode(Qt::Key_Z, {}), int16_t(90));
        QCOMPARE(virtualKeyCode(Qt::Key_0, {}), int16_t(48));
        QCOMPARE(virtualKeyCode(Qt::Key_9, {}), int16_t(57));
        // The keypad's digits are not the weapon keys.
        QVERIFY(!virtualKeyCode(Qt::Key_1, Qt::KeypadModifier));
        QVERIFY(!virtualKeyCode(Qt::Key_2, Qt::KeypadModifier));
        // Keypad arrows still steer.
        QCOMPARE(virtualKeyCode(Qt::Key_Left, Qt::KeypadModifier), int16_t(kKeyLeft));
        QVERIFY(!virtualKeyCode(Qt::Key_F1, {}));
        QVERIFY(!virtualKeyCode(Qt::Key_Tab, {}));
        QVERIFY(!virtualKeyCode(Qt::Key_Shift, Qt::ShiftModifier));
    }

    void autoRepeatKeepsHeldKeysHeldAndDropsRepeatedCommands() {
        // A repeated release is the key still held.
        QVERIFY(!hear(QEvent::KeyRelease, Qt::Key_Up, {}, true));
        QVERIFY(!hear(QEvent::KeyRelease, Qt::Key_Space, {}, true));
        // Repeated presses re-arm arrows and fire again...
        const auto up = hear(QEvent::KeyPress, Qt::Key_Up, {}, true);
        QVERIFY(up && up->down && up->code == kKeyUp);
        QVERIFY(hear(QEvent::KeyPress, Qt::Key_Space, {}, true));
        // ...but a held Esc or Enter acts once.
        QVERIFY(!hear(QEvent::KeyPress, Qt::Key_Escape, {}, true));
        QVERIFY(!hear(QEvent::KeyPress, Qt::Key_Return, {}, true));
        QVERIFY(hear(QEvent::KeyPress, Qt::Key_Escape));
        // A real release is heard.
        const auto release = hear(QEvent::KeyRelease, Qt::Key_Left);
        QVERIFY(release && !release->down && release->code == kKeyLeft);
    }

    void shiftStateFollowsTheModifiers() {
        const auto key = hear(QEvent::KeyPress, Qt::Key_Space,
                              Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(key);
        QCOMPARE(key->shift, int16_t(7));
        QCOMPARE(shiftState(Qt::ControlModifier), int16_t(2));
    }

    void onlyUnmodifiedPlayKeysAreClaimedFromShortcuts() {
        const auto claimed = [](int key, Qt::KeyboardModifiers mods = {}) {
            return isPlayKey(QKeyEvent(QEvent::ShortcutOverride, key, mods));
        };
        QVERIFY(claimed(Qt::Key_Escape));
        QVERIFY(claimed(Qt::Key_Return));
        QVERIFY(claimed(Qt::Key_Space));
        QVERIFY(claimed(Qt::Key_Down));
        QVERIFY(claimed(Qt::Key_2));
        QVERIFY(!claimed(Qt::Key_2, Qt::KeypadModifier));
        // Ctrl+letters are the menus' shortcuts.
        QVERIFY(!claimed(Qt::Key_P, Qt::ControlModifier));
        QVERIFY(!claimed(Qt::Key_P));
        QVERIFY(!claimed(Qt::Key_Escape, Qt::AltModifier));
    }
};

QTEST_APPLESS_MAIN(KeyMappingTest)
#include "key_mapping_qtest.moc"
