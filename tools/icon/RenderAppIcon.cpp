// Draws the application icon, a card held over a desk reader, and writes it
// at every size the program, the desktop packages and the Windows programs
// use:  render-app-icon <repository root>
#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

constexpr double kUnits = 48.0;  // the drawing's own coordinate range

void DrawReader(QPainter& p) {
  QLinearGradient body(0, 22, 0, 45);
  body.setColorAt(0, QColor(0x3B, 0x5B, 0x7E));
  body.setColorAt(1, QColor(0x1F, 0x35, 0x4F));
  p.setPen(QPen(QColor(0x16, 0x26, 0x3A), 1.0));
  p.setBrush(body);
  p.drawRoundedRect(QRectF(4.5, 24.5, 39, 19), 5, 5);

  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x5E, 0x82, 0xA8));
  p.drawRoundedRect(QRectF(9, 28, 30, 5), 2.5, 2.5);

  p.setBrush(QColor(0x4C, 0xD9, 0x64));
  p.drawEllipse(QPointF(37.5, 38.5), 2, 2);
  p.setBrush(QColor(0x9F, 0xB6, 0xCE));
  for (int i = 0; i < 3; ++i) p.drawRect(QRectF(9 + i * 5, 37.5, 3, 2));
}

void DrawWaves(QPainter& p) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0x2E, 0x9C, 0xF0), 2.0, Qt::SolidLine, Qt::RoundCap));
  const QPointF centre(36, 21);
  for (int i = 0; i < 2; ++i) {
    const double r = 4.5 + i * 4.5;
    p.drawArc(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), 10 * 16, 70 * 16);
  }
}

void DrawCard(QPainter& p) {
  p.save();
  p.translate(19, 12.5);
  p.rotate(-10);
  const QRectF card(-14, -8.5, 28, 17);
  p.setPen(QPen(QColor(0x8A, 0x99, 0xAA), 1.0));
  p.setBrush(QColor(0xF7, 0xF9, 0xFC));
  p.drawRoundedRect(card, 2.5, 2.5);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xE8, 0xB9, 0x3A));
  p.drawRoundedRect(QRectF(-10.5, -4.5, 7, 6), 1.2, 1.2);
  p.setBrush(QColor(0xB8, 0xC4, 0xD2));
  p.drawRect(QRectF(0, -4, 10, 1.6));
  p.drawRect(QRectF(0, 0, 7, 1.6));
  p.restore();
}

QImage Render(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / kUnits, size / kUnits);
  DrawReader(p);
  DrawWaves(p);
  DrawCard(p);
  return image;
}

bool Save(const QImage& image, const QString& path) {
  if (!QDir().mkpath(QFileInfo(path).path()) || !image.save(path, "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  return true;
}

// A Windows icon file holding every size, each entry a PNG.
bool SaveIco(const QList<QImage>& images, const QString& path) {
  QByteArray file;
  QDataStream out(&file, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::LittleEndian);
  out << quint16(0) << quint16(1) << quint16(images.size());
  QList<QByteArray> pngs;
  quint32 offset = 6 + 16 * images.size();
  for (const QImage& image : images) {
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    image.save(&png, "PNG");
    pngs << png.data();
    // A side of 256 is written as 0.
    out << quint8(image.width() & 0xFF) << quint8(image.height() & 0xFF) << quint8(0) << quint8(0)
        << quint16(1) << quint16(32) << quint32(png.data().size()) << offset;
    offset += png.data().size();
  }
  for (const QByteArray& png : pngs) out.writeRawData(png.constData(), png.size());
  QFile ico(path);
  if (!ico.open(QIODevice::WriteOnly) || ico.write(file) != file.size()) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: render-app-icon <repository root>\n");
    return 2;
  }
  const QDir root(QString::fromLocal8Bit(argv[1]));
  bool ok = Save(Render(48), root.filePath("src/form/resources/AppIcon.png"));
  QList<QImage> all;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const QString dir = QStringLiteral("packaging/icons/hicolor/%1x%1/apps").arg(size);
    all << Render(size);
    ok = Save(all.last(), root.filePath(dir + "/tavrin-config.png")) && ok;
  }
  ok = SaveIco(all, root.filePath("packaging/windows/tavrin-config.ico")) && ok;
  return ok ? 0 : 1;
}
