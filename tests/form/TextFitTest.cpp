// Nothing on the dialog is cut off: at the font the dialog uses, every
// caption, every item of every list, every tab and the connected reader's
// description fit the room their control gives them.
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTest>
#include <memory>

#include "FormDriver.h"
#include "form/ConfigDialog.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

// One text of a control and the room it is drawn in, in pixels.
struct Fit {
  QString text;
  QSize needed;
  QSize room;
};

QSize LineSize(const QWidget& widget, const QString& text) {
  return widget.fontMetrics().size(Qt::TextShowMnemonic, text);
}

// Any item may be the one shown in the closed list, beside the arrow: the
// widest must fit.
Fit ListFit(const QComboBox& list) {
  QStyleOptionComboBox option;
  option.initFrom(&list);
  option.editable = false;
  option.frame = list.hasFrame();
  QRect field = list.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                             QStyle::SC_ComboBoxEditField, &list);
  field.adjust(1, 0, -1, 0);  // the label keeps a pixel from either side
  Fit widest{{}, {}, field.size()};
  for (int i = 0; i < list.count(); ++i) {
    const QSize needed = LineSize(list, list.itemText(i));
    if (needed.width() > widest.needed.width()) widest = {list.itemText(i), needed, field.size()};
  }
  return widest;
}

Fit ButtonFit(const QAbstractButton& button) {
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  const auto* push = qobject_cast<const QPushButton*>(&button);
  if (push != nullptr && push->isDefault()) option.features |= QStyleOptionButton::DefaultButton;
  const QStyle::SubElement contents = push != nullptr ? QStyle::SE_PushButtonContents
                                      : qobject_cast<const QCheckBox*>(&button)
                                          ? QStyle::SE_CheckBoxContents
                                          : QStyle::SE_RadioButtonContents;
  const QRect room = button.style()->subElementRect(contents, &option, &button);
  return {button.text(), LineSize(button, button.text()), room.size()};
}

Fit LabelFit(const QLabel& label) {
  const QString shown = TextLabel::DisplayText(label.text());
  const int flags = static_cast<int>(label.alignment()) | (label.wordWrap() ? Qt::TextWordWrap : 0);
  const QRect room = label.contentsRect();
  return {shown, label.fontMetrics().boundingRect(room, flags, shown).size(), room.size()};
}

// The title runs from one average character in to the frame's right edge.
Fit FrameFit(const GroupFrame& frame) {
  const QFontMetrics metrics = frame.fontMetrics();
  const QSize title(metrics.horizontalAdvance(frame.title()) + 4, metrics.height());
  return {frame.title(), title,
          QSize(frame.width() - 2 - metrics.averageCharWidth(), title.height())};
}

Fit EditFit(const QLineEdit& edit) {
  QStyleOptionFrame option;
  option.initFrom(&edit);
  option.rect = edit.contentsRect();
  option.lineWidth = edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit);
  const QRect contents = edit.style()->subElementRect(QStyle::SE_LineEditContents, &option, &edit);
  return {edit.text(), LineSize(edit, edit.text()), contents.adjusted(2, 0, -2, 0).size()};
}

// A tab bar narrower than it asks for elides its captions.
Fit TabsFit(const TabStrip& tabs) {
  const QSize wanted = tabs.Bar()->sizeHint();
  QStringList captions;
  for (int i = 0; i < tabs.TabCount(); ++i) captions << tabs.TabCaption(i);
  return {captions.join(" | "), wanted, QSize(tabs.Bar()->width(), wanted.height())};
}

// What a control shows; nothing to fit for controls without text.
Fit FitOf(const QWidget& widget) {
  if (const auto* list = qobject_cast<const QComboBox*>(&widget)) return ListFit(*list);
  if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) return ButtonFit(*button);
  if (const auto* frame = qobject_cast<const GroupFrame*>(&widget)) return FrameFit(*frame);
  if (const auto* label = qobject_cast<const QLabel*>(&widget)) return LabelFit(*label);
  if (const auto* edit = qobject_cast<const QLineEdit*>(&widget)) return EditFit(*edit);
  if (const auto* tabs = qobject_cast<const TabStrip*>(&widget)) return TabsFit(*tabs);
  return {};
}

// "name: "text" needs WxH in WxH" for every control whose text does not fit.
QStringList Misfits(const ConfigDialog& dialog) {
  QStringList misfits;
  for (const ControlDef& def : Controls()) {
    const Fit fit = FitOf(*driver::Control(dialog, def.id));
    if (fit.needed.width() <= fit.room.width() && fit.needed.height() <= fit.room.height()) {
      continue;
    }
    misfits << QString("%1: \"%2\" needs %3x%4 in %5x%6")
                   .arg(QString::fromStdString(def.name), fit.text)
                   .arg(fit.needed.width())
                   .arg(fit.needed.height())
                   .arg(fit.room.width())
                   .arg(fit.room.height());
  }
  return misfits;
}

}  // namespace

class TextFitTest : public QObject {
  Q_OBJECT

 private slots:
  // Connected to a reader of every family, each family chosen with both
  // kinds, so the card-kind captions, the tabs and the description are the
  // longest the dialog shows.
  void everyTextFitsItsControl() {
    SimHost host;
    host.AddReader();
    ConfigDialog dialog(host);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(driver::Click(dialog, ControlId::ConnectButton));
    QCOMPARE(driver::Caption(dialog, ControlId::ConnectButton), QString("Disconnect"));
    QVERIFY(driver::Click(dialog, ControlId::OutputDataCheck));
    const QString font = QFontInfo(dialog.font()).family();
    QVERIFY2(QFontDatabase::families().contains(font), qPrintable(font + " is not installed"));
    for (const ControlId family :
         {ControlId::TypeARadio, ControlId::TypeBRadio, ControlId::Iso15693Radio}) {
      QVERIFY(driver::Click(dialog, family));
      for (const ControlId kind : {ControlId::CardKind1Check, ControlId::CardKind2Check}) {
        if (!driver::IsChecked(dialog, kind) && driver::Control(dialog, kind)->isVisible())
          QVERIFY(driver::Click(dialog, kind));
      }
      const QStringList misfits = Misfits(dialog);
      for (const QString& misfit : misfits) qWarning("%s", qPrintable(misfit));
      QVERIFY2(misfits.isEmpty(),
               qPrintable(QString("%1 texts cut off in %2").arg(misfits.size()).arg(font)));
    }
  }
};

}  // namespace tavrin

QTEST_MAIN(tavrin::TextFitTest)
#include "TextFitTest.moc"
