// The dialog as a user finds it after start-up, and the tab and panel rules
// that the random walk's choices seldom reach. The walk (tests/engine)
// judges tabs, panels and settings after every click.
#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <map>
#include <memory>

#include "FormDriver.h"
#include "form/Accessibility.h"
#include "form/ConfigDialog.h"
#include "form/DialogUnits.h"
#include "form/FormWidgets.h"
#include "sim/SimHost.h"

namespace tavrin {

using driver::Click;
using driver::Find;

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

class FormTest : public QObject {
  Q_OBJECT

 private:
  SimHost host_;
  std::unique_ptr<ConfigDialog> dialog_;

  ConfigDialog& Dialog() { return *dialog_; }
  bool Visible(const char* name) { return Find(Dialog(), name)->isVisible(); }
  bool Checked(const char* name) { return Find<QAbstractButton>(Dialog(), name)->isChecked(); }
  QString Caption(ControlId id) { return driver::Caption(Dialog(), id); }

  // Names met pressing Tab from ConnectButton until it comes round again.
  QStringList FocusCycle() {
    QWidget* start = Find(Dialog(), "ConnectButton");
    start->setFocus();
    QStringList names{start->objectName()};
    for (int i = 0; i < 60; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      names << QApplication::focusWidget()->objectName();
      if (QApplication::focusWidget() == start) break;
    }
    return names;
  }

 public:
  FormTest() { host_.AddReader(); }

 private slots:
  void init() {
    dialog_ = std::make_unique<ConfigDialog>(host_);
    dialog_->show();
    dialog_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
  }
  void cleanup() { dialog_.reset(); }

  void startUpState() {
    QCOMPARE(Dialog().windowTitle(), QString("Tavrin Config Tools"));
    QCOMPARE(Dialog().size(), DuToPixels(354, 259, BaseUnitsOf(Dialog().font())));
    QCOMPARE(Dialog().minimumSize(), Dialog().maximumSize());
    QCOMPARE(driver::TabCaptions(Dialog()), QStringList{"System Config"});
    QCOMPARE(Caption(ControlId::DescriptionText), QString());
    QCOMPARE(Find<QLabel>(Dialog(), "BannerText")->text(), QString("Belmora Electronics Co.,LTD"));
    QCOMPARE(Find<QLabel>(Dialog(), "BannerText")->font().weight(), QFont::DemiBold);
    QVERIFY(!Find<QLabel>(Dialog(), "BannerText")->font().italic());
    for (const char* name : {"SaveConfigButton", "ReadConfigButton", "CardKind1Check",
                             "CardKind2Check", "CardKind3Check"}) {
      QVERIFY2(!Visible(name), name);
    }
    auto* connect = Find<QPushButton>(Dialog(), "ConnectButton");
    QVERIFY(connect->isDefault() && connect->isEnabled());
    QCOMPARE(QApplication::focusWidget(), connect);
  }

  // Rounded half away from zero, as the platform's dialog units are.
  void dialogUnitsToPixels() {
    QCOMPARE(DuToPixels(354, 259, {7, 15}), QSize(620, 486));
    QCOMPARE(MulDivRounded(-3, 5, 2), -8);
  }

  void keyboardOrder() {
    QVERIFY(Click(Dialog(), "ConnectButton"));
    QVERIFY(Click(Dialog(), "OutputDataCheck"));
    QCOMPARE(FocusCycle(),
             QStringList({"ConnectButton", "DownloadButton", "ResetButton", "OutputSnrCheck",
                          "OutputDataCheck", "CardKind1Check", "CardKind2Check", "ConnectButton"}));
    QVERIFY(Click(Dialog(), "CardKind1Check"));
    QVERIFY(driver::SelectTab(Dialog(), 2));
    QCOMPARE(
        FocusCycle(),
        QStringList({"ConnectButton", "DownloadButton", "ResetButton", "MifareKeyEdit",
                     "MifareStartSectorCombo", "MifareStartBlockCombo", "MifareEndSectorCombo",
                     "MifareEndBlockCombo", "MifareCapsLockCheck", "MifareBlockEndKeyCombo",
                     "MifareBlockEndCountCombo", "MifareDataEndKeyCombo", "MifareDataEndCountCombo",
                     "MifareStartByteCombo", "MifareEndByteCombo", "ConnectButton"}));
  }

  // The description keeps its \r\n and shows them as line breaks.
  void descriptionLines() {
    QVERIFY(Click(Dialog(), "ConnectButton"));
    auto* label = Find<QLabel>(Dialog(), "DescriptionText");
    const QString raw = label->text();
    QVERIFY(raw.startsWith("Device Connected\r\nTAVRIN HID READER V1.22\r\n"));
    const QImage withCrLf = label->grab().toImage();
    label->setText(QString(raw).replace("\r\n", "\n"));
    QCOMPARE(label->grab().toImage(), withCrLf);
  }

  // A click anywhere in a check box's or radio button's rectangle acts on
  // it: the card-kind boxes are sized for their longest caption and often
  // show a short one.
  void blankPartOfAControlTakesTheClick() {
    ConfigDialog& dialog = Dialog();
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
  // What a screen reader is told of every control, through the interfaces
  // that AT-SPI and UI Automation both serve: the role of its kind, and a
  // name for each the user operates; a list's label, a radio's group.
  void accessibleRolesAndNames() {
    using R = QAccessible;
    const std::map<ControlKind, R::Role> roles = {
        {ControlKind::PushButton, R::Button},      {ControlKind::DefaultButton, R::Button},
        {ControlKind::CheckBox, R::CheckBox},      {ControlKind::RadioButton, R::RadioButton},
        {ControlKind::GroupFrame, R::Grouping},    {ControlKind::Label, R::StaticText},
        {ControlKind::TextField, R::EditableText}, {ControlKind::DropDownList, R::ComboBox},
        {ControlKind::TabStrip, R::Client}};
    QVERIFY(Click(Dialog(), "ConnectButton"));
    std::map<QString, QString> names;
    for (const ControlDef& def : Controls()) {
      QAccessibleInterface* face =
          QAccessible::queryAccessibleInterface(driver::Control(Dialog(), def.id));
      const QString name = QString::fromStdString(def.name);
      QVERIFY2(face->role() == roles.at(def.kind), qPrintable(name));
      names[name] = face->text(R::Name);
      const bool operated = def.kind != ControlKind::GroupFrame && def.kind != ControlKind::Label &&
                            def.kind != ControlKind::TabStrip;
      QVERIFY2(!operated || def.id == ControlId::CardKind3Check || !names[name].isEmpty(),
               qPrintable(name));
      if (LabelOf(def) || def.kind == ControlKind::TextField)
        QVERIFY2(!face->relations(R::Label).isEmpty(), qPrintable(name));
    }
    QCOMPARE(QStringList({names["SnrEndCountCombo"], names["MifareEndSectorCombo"],
                          names["MifareKeyEdit"], names["SriDataEndKeyCombo"],
                          names["DescriptionText"], names["TypeBRadio"]}),
             QStringList({"SNR end count", "Mifare end sector", "Mifare key",
                          "SRI512/2K/4K/X4K data end key", "Description", "ISO14443B"}));
    QAccessibleInterface* radio =
        QAccessible::queryAccessibleInterface(Find(Dialog(), "TypeBRadio"));
    QCOMPARE(radio->parent()->text(R::Name), QString("Family"));
    QCOMPARE(radio->parent()->indexOfChild(radio), 1);
    QCOMPARE(radio->parent()->childCount(), 3);
    auto* description = QAccessible::queryAccessibleInterface(Find(Dialog(), "DescriptionText"));
    QCOMPARE(description->textInterface()->text(0, 16), QString("Device Connected"));
    QCOMPARE(description->textInterface()->text(16, 17), QString("\n"));
    // Focused by the screen reader, off the Tab chain: Space clicks it.
    radio->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(Checked("TypeBRadio") && !Checked("TypeARadio"));
    QCOMPARE(driver::Caption(Dialog(), ControlId::CardKind1Check), QString("SR176"));
  }

  // The description's news reaches a screen reader wherever the focus is,
  // as a notification of what each click wrote, the same news again too.
  void descriptionNewsIsAnnounced() {
    for (const char* button : {"ConnectButton", "DownloadButton", "DownloadButton"}) {
      QVERIFY(Click(Dialog(), button));
      QCoreApplication::processEvents();
      auto* notice = QAccessible::queryAccessibleInterface(Find(Dialog(), "ScreenReaderNotice"));
      QCOMPARE(notice->role(), QAccessible::Notification);
      QCOMPARE(notice->text(QAccessible::Name),
               TextLabel::DisplayText(Caption(ControlId::DescriptionText)).trimmed());
      notice->object()->setProperty("accessibleName", QString());
    }
  }

  // Only a click runs a handler: a check set by the program changes that
  // control alone.
  void settingAChecksRunsNoHandler() {
    driver::EnableAsConnected(Dialog());
    for (const char* name : {"OutputDataCheck", "TypeBRadio", "UltraLightMode2Radio"})
      Find<QAbstractButton>(Dialog(), name)->setChecked(true);
    QCOMPARE(driver::TabCaptions(Dialog()), QStringList{"System Config"});
    QVERIFY(!Visible("CardKind1Check"));
    QVERIFY(Checked("TypeARadio") && Checked("UltraLightMode1Radio"));
    QVERIFY(Find(Dialog(), "UltraLightMode2BlockFrame")->isHidden());
  }
};

}  // namespace tavrin

QTEST_MAIN(tavrin::FormTest)
#include "FormTest.moc"
