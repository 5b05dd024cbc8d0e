// The dialog tests draw offscreen on Windows too. Wine passes no QT_
// variable on from the Unix side, so the program sets the platform itself
// before Qt starts; Qt's offscreen platform reads its faces from one folder,
// here the system's.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <QByteArray>
#include <QString>

namespace {

const bool kOffscreen = [] {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR")) {
    wchar_t folder[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    const QString fonts = QString::fromWCharArray(folder, static_cast<int>(length)) + "\\Fonts";
    qputenv("QT_QPA_FONTDIR", fonts.toLocal8Bit());
  }
  return true;
}();

}  // namespace
