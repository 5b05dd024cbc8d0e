// What only Windows has: the About item in the window menu and the command
// reaching the dialog's nativeEvent, the dialog on the system's own HID host,
// the font lookup, the style, and the icon and version the programs carry.
// On the native platform, since the window menu exists only there; Wine runs
// it without a display (scripts/test-windows).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <QApplication>
#include <QFontInfo>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <memory>
#include <utility>

#include "FormDriver.h"
#include "form/AboutDialog.h"
#include "form/ConfigDialog.h"
#include "form/DialogUnits.h"
#include "form/Product.h"
#include "reader/PlatformHidHost.h"
#include "reader/ReaderLink.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

bool UnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

HWND WindowOf(const QWidget& widget) { return reinterpret_cast<HWND>(widget.winId()); }

// Each item of the window menu: its identifier and text, 0 and "-" for a
// separator.
QList<std::pair<UINT, QString>> WindowMenuItems(HWND window) {
  HMENU menu = GetSystemMenu(window, FALSE);
  QList<std::pair<UINT, QString>> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = {};
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    item.dwTypeData = text;
    item.cch = 127;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item);
    const bool separator = (item.fType & MFT_SEPARATOR) != 0;
    items.append({separator ? 0 : item.wID, separator ? "-" : QString::fromWCharArray(text)});
  }
  return items;
}

// The title of the About box if one opens while the command is handled;
// closes it.
QString AboutOpenedBy(HWND window, WPARAM command) {
  QString title;
  QTimer::singleShot(0, [&title] {
    if (auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget())) {
      title = about->windowTitle();
      about->reject();
    }
  });
  const LRESULT result = SendMessageW(window, WM_SYSCOMMAND, command, 0);
  QCoreApplication::processEvents();  // the check runs even when nothing opened
  return result == 0 ? title : QString("(result %1)").arg(result);
}

// A string of a program's version resource.
QString VersionString(const QString& program, const char* name) {
  const std::wstring path = program.toStdWString();
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
  QByteArray data(static_cast<qsizetype>(size), '\0');
  if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return {};
  const std::wstring key = QString("\\StringFileInfo\\040904B0\\%1").arg(name).toStdWString();
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), key.c_str(), &value, &length) || length == 0) return {};
  return QString::fromWCharArray(static_cast<const wchar_t*>(value), length - 1);
}

// The sides of the images in a program's icon, 256 written as 0.
QList<int> IconSides(const QString& program) {
  HMODULE module = LoadLibraryExW(program.toStdWString().c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  HRSRC found = module ? FindResourceW(module, L"IDI_ICON1", MAKEINTRESOURCEW(14)) : nullptr;
  QList<int> sides;
  if (found != nullptr) {
    // A group icon: reserved, type and count, then 14 bytes per image.
    const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    const int count = group[4] | group[5] << 8;
    for (int i = 0; i < count; ++i) sides << group[6 + 14 * i];
  }
  if (module != nullptr) FreeLibrary(module);
  return sides;
}

}  // namespace

class WindowsTest : public QObject {
  Q_OBJECT

 private slots:
  // The dialog's items follow the system's own (SC_ commands, 0xF000 and
  // up) after a separator: the settings and the typing check with their shortcuts, About last.
  void windowMenuEndsWithTheSettingsAndAbout() {
    SimHost host;
    ConfigDialog dialog(host);
    dialog.show();
    const auto items = WindowMenuItems(WindowOf(dialog));
    qsizetype lastOfSystem = items.size() - 1;
    while (lastOfSystem >= 0 && items[lastOfSystem].first < SC_SIZE) --lastOfSystem;
    QVERIFY(lastOfSystem >= 0);
    const QList<std::pair<UINT, QString>> ours = {
        {0, "-"},
        {kOpenSettingsCommand, QString::fromUtf8(kOpenSettingsMenuText) + "\tCtrl+O"},
        {kSaveSettingsCommand, QString::fromUtf8(kSaveSettingsMenuText) + "\tCtrl+S"},
        {kTypingCheckCommand, QString::fromUtf8(kTypingCheckMenuText) + "\tCtrl+T"},
        {kAboutCommand, QString::fromUtf8(kAboutMenuText)}};
    QCOMPARE(items.mid(lastOfSystem + 1), ours);
  }

  // The item's command, sent as the window menu sends it, reaches the
  // dialog's nativeEvent and opens the box; the system's own commands are
  // left to the system.
  void windowCommandsReachTheDialog() {
    SimHost host;
    ConfigDialog dialog(host);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(AboutOpenedBy(WindowOf(dialog), kAboutCommand), QString("About Tavrin Config Tools"));
    QCOMPARE(AboutOpenedBy(WindowOf(dialog), kAboutCommand + 15),
             QString("About Tavrin Config Tools"));
    QCOMPARE(AboutOpenedBy(WindowOf(dialog), SC_MINIMIZE), QString());
    QTRY_VERIFY(dialog.isMinimized());
  }

  // No reader on this system: Connect finds none on the system's HID host
  // and says only that.
  void noReaderOnTheSystemsHidHost() {
    const std::unique_ptr<HidHost> host = CreatePlatformHidHost();
    if (FindReader(*host) != kInvalidHidHandle) QSKIP("a reader is attached: unplug it");
    ConfigDialog dialog(*host);
    dialog.show();
    for (int press = 0; press < 2; ++press) {
      QVERIFY(driver::Click(dialog, ControlId::ConnectButton));
      QCOMPARE(driver::Description(dialog), QString("Device Disconnected"));
      QCOMPARE(driver::Caption(dialog, ControlId::ConnectButton), QString("Connect"));
      QVERIFY(!driver::IsEnabled(dialog, ControlId::DownloadButton));
      QVERIFY(!driver::IsEnabled(dialog, ControlId::ResetButton));
    }
  }

  void fontLookupOrder_data() {
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("chosen");
    const QString song = QString::fromUtf8(kDialogFace);
    QTest::newRow("Chinese Windows") << QStringList{"Tahoma", "SimHei", song} << song;
    QTest::newRow("other Windows") << QStringList{"Tahoma", "NSimSun", "SimSun"} << "SimSun";
    QTest::newRow("both names") << QStringList{"SimSun", song} << song;
    QTest::newRow("stand-ins") << QStringList{"AR PL UMing CN", "AR PL SungtiL GB"}
                               << "AR PL SungtiL GB";
    QTest::newRow("second stand-in") << QStringList{"Tahoma", "AR PL UMing CN"} << "AR PL UMing CN";
    QTest::newRow("none of them") << QStringList{"Segoe UI", "DejaVu Sans"} << "Tahoma";
  }
  void fontLookupOrder() {
    QFETCH(QStringList, installed);
    QFETCH(QString, chosen);
    QCOMPARE(DialogFaceName(installed), chosen);
  }

  // The face the dialog is drawn in here is the first of the order this
  // system has. Every Windows has the dialog face; Wine has none of its
  // names, and draws the dialog in the stand-in the Linux side lends it.
  void dialogFaceOnThisSystem() {
    SimHost host;
    ConfigDialog dialog(host);
    const QString face = QFontInfo(dialog.font()).family();
    QCOMPARE(face, DialogFaceName());
    if (UnderWine()) QEXPECT_FAIL("", "Wine has no SimSun (see the README)", Continue);
    QVERIFY2(face == QString::fromUtf8(kDialogFace) || face == kDialogFaceEnglish,
             qPrintable(face));
  }

  // The style beside the program (styles/) is the one in use.
  void windowsVistaStyle() { QCOMPARE(QApplication::style()->name(), QString("windowsvista")); }

  void programsCarryIconAndVersion() {
    for (const char* name : {"tavrin-config", "tavrin-config-demo"}) {
      const QString program = QCoreApplication::applicationDirPath() + "/" + name + ".exe";
      QCOMPARE(VersionString(program, "ProductName"), QString::fromUtf8(kProductName));
      QCOMPARE(VersionString(program, "ProductVersion"), QString::fromUtf8(kProductVersion));
      QCOMPARE(VersionString(program, "FileVersion"), QString::fromUtf8(kProductVersion));
      QCOMPARE(VersionString(program, "CompanyName"), QString::fromUtf8(kMakerName));
      QCOMPARE(VersionString(program, "OriginalFilename"), QString(name) + ".exe");
      QCOMPARE(IconSides(program), QList<int>({16, 24, 32, 48, 64, 128, 0}));
    }
  }
};

}  // namespace tavrin

QTEST_MAIN(tavrin::WindowsTest)
#include "WindowsTest.moc"
