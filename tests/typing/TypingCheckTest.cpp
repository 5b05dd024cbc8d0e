// The typing check, given key events as X11 makes them: the keycode, the
// modifier state (ShiftMask 0x1, LockMask 0x2) and the text the layout made,
// US or French, where A is Q. On Windows, on its own platform, fed real key
// messages.
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#include <QGuiApplication>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>
#include <utility>

#include "FormDriver.h"
#include "form/TypingCheckDialog.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

struct Key {
  std::uint32_t scanCode, modifiers;
  int qtKey;
  const char* text;
};

const char* const kSame = "This computer reads the reader's keys as the reader means them";

// Sent where the reader's keys go: to the focus.
QStringList Shown(QDialog& check, std::initializer_list<Key> keys) {
  for (const Key& key : keys) {
    QKeyEvent press(QEvent::KeyPress, key.qtKey, Qt::NoModifier, key.scanCode, 0, key.modifiers,
                    QString::fromUtf8(key.text));
    QApplication::sendEvent(check.focusWidget(), &press);
  }
  QStringList shown;
  for (const char* name : {"ReceivedText", "PressedText", "VerdictText"})
    shown << check.findChild<QLabel*>(name)->text();
  return shown;
}

class TypingCheckTest : public QObject {
  Q_OBJECT

 private slots:
  void usAndFrenchLayouts() {
    TypingCheckDialog check(ScanCodes::Evdev8);
    check.show();
    // The whole French line and its verdict: scripts/test-typing, on a real X server.
    const QStringList french =
        Shown(check,
              {{50, 0, Qt::Key_Shift, ""}, {38, 1, Qt::Key_Q, "Q"}, {36, 0, Qt::Key_Return, "\r"}});
    QCOMPARE(french.mid(0, 2), QStringList({"Q<Enter>", "A<Enter>"}));
    QVERIFY(check.isVisible());  // Enter pressed no button
    const QTreeWidgetItem* row = check.findChild<QTreeWidget*>()->topLevelItem(0);
    QCOMPARE(QStringList({row->text(0), row->text(1), row->text(2)}),
             QStringList({"A", "0x04 + Shift", "Q"}));
    QVERIFY(driver::Click(check, "ClearButton"));
    const QStringList caps = Shown(check, {{66, 0, Qt::Key_CapsLock, ""}, {38, 2, Qt::Key_Q, "Q"}});
    QCOMPARE(caps.mid(0, 2), QStringList({"<CapsLk>Q", "<CapsLk>A"}));
    QVERIFY(caps[2].contains("the reader pressed A, the computer made Q."));
    QVERIFY(driver::Click(check, "ClearButton"));
    QCOMPARE(Shown(check, {{38, 2, Qt::Key_A, "A"}}), QStringList({"A", "A", kSame}));
  }

  // Opened from the dialog; typed by Qt Test, without scan codes.
  void keysWithoutScanCodes() {
    SimHost host;
    ConfigDialog dialog(host);
    dialog.show();
    QVERIFY(dialog.HandleWindowCommand(kTypingCheckCommand));
    auto* check = dialog.findChild<TypingCheckDialog*>();
    QVERIFY(check != nullptr && check->isModal());
    QTest::keyClicks(check->focusWidget(), "1A");
    const QStringList shown = Shown(*check, {});
    QCOMPARE(shown.mid(0, 2), QStringList({"1A", ""}));
    QVERIFY(
        shown[2].startsWith("This computer gives no scan codes with its keys here (platform \"" +
                            QGuiApplication::platformName() + "\")"));
  }

#ifdef _WIN32
  // Set 1 scan codes in bits 16 to 24 of the messages, with the extended
  // flag; Wine's keyboard is a US one.
  void windowsKeyMessages() {
    TypingCheckDialog check(ScanCodesOfPlatform(QGuiApplication::platformName()));
    check.show();
    const auto window = reinterpret_cast<HWND>(check.winId());
    const std::pair<WPARAM, LPARAM> kKeys[] = {{'1', 0x02},      {'A', 0x1E},
                                               {VK_TAB, 0x0F},   {VK_DOWN, 0x150},
                                               {VK_NEXT, 0x151}, {VK_RETURN, 0x1C}};
    for (const auto& [key, scanCode] : kKeys) {
      PostMessageW(window, WM_KEYDOWN, key, 1 | scanCode << 16);
      PostMessageW(window, WM_KEYUP, key, 1 | scanCode << 16 | 0xC0000000);
    }
    const QString typed = "1a<Tab><Down><PgDn><Enter>";
    QTRY_COMPARE(Shown(check, {}), QStringList({typed, typed, kSame}));
  }
#endif
};

}  // namespace
}  // namespace tavrin

QTEST_MAIN(tavrin::TypingCheckTest)
#include "TypingCheckTest.moc"
