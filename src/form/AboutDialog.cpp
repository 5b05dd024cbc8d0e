#include "form/AboutDialog.h"

#include <QLabel>
#include <QPushButton>

#include "form/AppIcon.h"
#include "form/DialogUnits.h"
#include "form/Product.h"

namespace tavrin {
namespace {

constexpr const char* kAboutTitle = "About Tavrin Config Tools";
constexpr int kWidthDu = 224;
constexpr int kHeightDu = 56;
constexpr int kOkButtonId = 1;

enum class AboutKind { Icon, Label, OkButton };

struct AboutRow {
  const char* name;
  AboutKind kind;
  const char* text;  // nullptr: the program's name and version
  DuRect rect;
};

const AboutRow kAboutRows[] = {
    {"IconPicture", AboutKind::Icon, "", {11, 17, 20, 20}},
    {"ProgramLine", AboutKind::Label, nullptr, {40, 16, 119, 8}},
    {"MakerLine", AboutKind::Label, kMakerName, {40, 31, 177, 8}},
    {"OkButton", AboutKind::OkButton, "OK", {167, 13, 50, 14}},
};

QString ProgramLine() {
  return QStringLiteral("%1 %2").arg(QString::fromUtf8(kProductName),
                                     QString::fromUtf8(kProductVersion));
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8(kAboutTitle));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFont(DialogFont());
  const DialogBaseUnits units = BaseUnitsOf(font());
  setFixedSize(DuToPixels(kWidthDu, kHeightDu, units));

  for (const AboutRow& row : kAboutRows) {
    const QRect place = DuToPixels(row.rect, units);
    QWidget* widget = nullptr;
    switch (row.kind) {
      case AboutKind::Icon: {
        auto* picture = new QLabel(this);
        const int side = qMin(place.width(), place.height());
        picture->setPixmap(
            AppIconPixmap().scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget = picture;
        break;
      }
      case AboutKind::Label:
        widget =
            new QLabel(row.text != nullptr ? QString::fromUtf8(row.text) : ProgramLine(), this);
        static_cast<QLabel*>(widget)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        break;
      case AboutKind::OkButton: {
        auto* ok = new QPushButton(QString::fromUtf8(row.text), this);
        ok->setDefault(true);
        ok->setProperty("controlId", kOkButtonId);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        widget = ok;
        break;
      }
    }
    widget->setObjectName(QString::fromUtf8(row.name));
    widget->setFocusPolicy(row.kind == AboutKind::OkButton ? Qt::StrongFocus : Qt::NoFocus);
    widget->setGeometry(place);
  }
}

}  // namespace tavrin
