#include "form/DialogUnits.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>
#include <cstdlib>

namespace tavrin {

DialogBaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(letters / 26 + 1) / 2, metrics.height()};
}

int MulDivRounded(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = std::llabs(denominator) / 2;
  const bool negative = (product < 0) != (denominator < 0);
  const long long magnitude = (std::llabs(product) + half) / std::llabs(denominator);
  return static_cast<int>(negative ? -magnitude : magnitude);
}

int DuToPixelsX(int du, DialogBaseUnits units) { return MulDivRounded(du, units.width, 4); }

int DuToPixelsY(int du, DialogBaseUnits units) { return MulDivRounded(du, units.height, 8); }

QRect DuToPixels(const DuRect& rect, DialogBaseUnits units) {
  return {DuToPixelsX(rect.x, units), DuToPixelsY(rect.y, units), DuToPixelsX(rect.width, units),
          DuToPixelsY(rect.height, units)};
}

QSize DuToPixels(int width, int height, DialogBaseUnits units) {
  return {DuToPixelsX(width, units), DuToPixelsY(height, units)};
}

QString DialogFaceName() { return DialogFaceName(QFontDatabase::families()); }

QString DialogFaceName(const QStringList& installed) {
  QStringList preferred = {QString::fromUtf8(kDialogFace), QString::fromUtf8(kDialogFaceEnglish)};
  for (const char* face : kStandInFaces) preferred << QString::fromUtf8(face);
  for (const QString& face : preferred) {
    if (installed.contains(face)) return face;
  }
  return QString::fromUtf8(kFallbackFace);
}

QFont DialogFont() {
  QFont font(DialogFaceName(), kDialogPointSize);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  return font;
}

}  // namespace tavrin
