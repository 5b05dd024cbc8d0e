// Places in dialog units, turned into pixels from the dialog font's metrics
// the way the platform's dialog manager does it, so the layout keeps its
// proportions at any font size and screen density.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <array>

namespace tavrin {

// x, y, width, height in dialog units.
struct DuRect {
  int x;
  int y;
  int width;
  int height;
};

// Pixels per four horizontal and per eight vertical dialog units.
struct DialogBaseUnits {
  int width;
  int height;
};

// Width: (advance of the 52 letters / 26 + 1) / 2; height: the font's height.
DialogBaseUnits BaseUnitsOf(const QFont& font);

// value * numerator / denominator, rounded half away from zero.
int MulDivRounded(int value, int numerator, int denominator);

int DuToPixelsX(int du, DialogBaseUnits units);
int DuToPixelsY(int du, DialogBaseUnits units);
QRect DuToPixels(const DuRect& rect, DialogBaseUnits units);
QSize DuToPixels(int width, int height, DialogBaseUnits units);

// The face the dialogs are drawn in, 9 point. Windows lists it under this
// name where its language is Chinese and under the English one elsewhere.
inline constexpr const char* kDialogFace = "\u5B8B\u4F53";
inline constexpr const char* kDialogFaceEnglish = "SimSun";
// Song faces that stand in where it is missing, from Debian's
// fonts-arphic-gbsn00lp and fonts-arphic-uming: their Latin letters take
// half a character cell each, as the dialog face's do, so every caption
// keeps its proportion to the dialog units.
inline constexpr std::array<const char*, 2> kStandInFaces = {"AR PL SungtiL GB", "AR PL UMing CN"};
// The last resort: on Debian the face that comes with Qt, on Windows its
// dialog face. Their wider letters cut the end off the longest list items.
#ifdef Q_OS_WIN
inline constexpr const char* kFallbackFace = "Tahoma";
#else
inline constexpr const char* kFallbackFace = "DejaVu Sans";
#endif
inline constexpr int kDialogPointSize = 9;

// The dialog face when the system has it, by either name, else the first
// stand-in it has, else the fallback.
QString DialogFaceName();
// The same choice among the families given.
QString DialogFaceName(const QStringList& installed);
QFont DialogFont();

}  // namespace tavrin
