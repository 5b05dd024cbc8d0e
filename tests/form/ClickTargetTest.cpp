// A click anywhere in a check box's or radio button's rectangle acts on it,
// not only a click on its box or caption: the card-kind boxes are sized for
// their longest caption and often show a short one.
#include <QTest>

#include "FormDriver.h"
#include "form/ConfigDialog.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

// Clicks the right end of a control, past its box and caption; false when
// that spot is not blank.
[[nodiscard]] bool ClickBlankPart(const QWidget& dialog, const char* name) {
  auto* button = driver::Find<QAbstractButton>(dialog, name);
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = button->text();
  const QStyle::SubElement caption = qobject_cast<QCheckBox*>(button)
                                         ? QStyle::SE_CheckBoxClickRect
                                         : QStyle::SE_RadioButtonClickRect;
  const QPoint blank(button->width() - 2, button->height() / 2);
  if (button->style()->subElementRect(caption, &option, button).contains(blank)) return false;
  QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, blank);
  return true;
}

}  // namespace

class ClickTargetTest : public QObject {
  Q_OBJECT

 private slots:
  void blankPartOfAControlTakesTheClick() {
    SimHost host;
    ConfigDialog dialog(host);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    driver::EnableAsConnected(dialog);

    QVERIFY(ClickBlankPart(dialog, "OutputDataCheck"));
    QVERIFY(driver::IsChecked(dialog, ControlId::OutputDataCheck));
    QVERIFY(ClickBlankPart(dialog, "TypeBRadio"));
    QVERIFY(driver::IsChecked(dialog, ControlId::TypeBRadio));
    QVERIFY(!driver::IsChecked(dialog, ControlId::TypeARadio));
    QCOMPARE(driver::Caption(dialog, ControlId::CardKind1Check), QString("SR176"));

    QVERIFY(ClickBlankPart(dialog, "CardKind1Check"));
    QCOMPARE(driver::TabCaptions(dialog), QStringList({"System Config", "SNR", "SR176"}));
    QVERIFY(ClickBlankPart(dialog, "CardKind1Check"));
    QCOMPARE(driver::TabCaptions(dialog), QStringList({"System Config", "SNR"}));
  }
};

}  // namespace tavrin

QTEST_MAIN(tavrin::ClickTargetTest)
#include "ClickTargetTest.moc"
