// The dialog as it stands after start-up: every control, its place, lists,
// defaults, keyboard order and the bound texts.
#include <QApplication>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <memory>

#include "FormDriver.h"
#include "form/ConfigDialog.h"
#include "form/ItemLists.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

using driver::Find;
using driver::NameOf;

QStringList NamesOf(std::initializer_list<ControlId> ids) {
  QStringList names;
  for (ControlId id : ids) names << NameOf(id);
  return names;
}

}  // namespace

class StartUpTest : public QObject {
  Q_OBJECT

 private:
  SimHost host_;
  SimReader& reader_ = host_.AddReader();
  std::unique_ptr<ConfigDialog> dialog_;

  ConfigDialog& Dialog() { return *dialog_; }

 private slots:
  void init() {
    dialog_ = std::make_unique<ConfigDialog>(host_);
    dialog_->show();
    dialog_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
  }
  void cleanup() { dialog_.reset(); }

  void everyControlOnceByNameAndIdentifier() {
    QSet<int> ids;
    QSet<QString> names;
    for (QWidget* widget : Dialog().findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      const QVariant id = widget->property("controlId");
      if (!id.isValid()) continue;
      ids << id.toInt();
      names << widget->objectName();
      QCOMPARE(driver::Control(Dialog(), static_cast<ControlId>(id.toInt())), widget);
    }
    QCOMPARE(ids.size(), 183);
    QCOMPARE(names.size(), 183);
    QCOMPARE(Find(Dialog(), "SriDataEndCountCombo")->property("controlId").toInt(), 1105);
    QCOMPARE(Find(Dialog(), "ICodeGroup")->property("controlId").toInt(), 1259);
  }

  void panelsHaveTheirMembers() {
    QCOMPARE(PanelMembers(Panel::System).size(), 11u);
    QCOMPARE(PanelMembers(Panel::Snr).size(), 14u);
    QCOMPARE(PanelMembers(Panel::Mifare).size(), 34u);
    for (Panel panel : kBlockPanels) QCOMPARE(PanelMembers(panel).size(), 29u);
  }

  void blockPanelsTakeTheirOwnCaptionsAndLists() {
    QCOMPARE(driver::Caption(Dialog(), ControlId::Sr176Group), QString("SR176 Output Config"));
    QCOMPARE(driver::Caption(Dialog(), ControlId::SriGroup),
             QString("SRI512/2K/4K/X4K Output Config"));
    auto* sriBlocks = Find<QComboBox>(Dialog(), "SriStartBlockCombo");
    QCOMPARE(sriBlocks->count(), 128);
    QCOMPARE(sriBlocks->itemText(127), QString("127"));
    QCOMPARE(sriBlocks->itemText(5), QString("005"));
    QCOMPARE(Find<QComboBox>(Dialog(), "Sr176EndByteCombo")->count(), 2);
    QCOMPARE(Find<QComboBox>(Dialog(), "ICodeEndBlockCombo")->itemText(63), QString("63"));
    QCOMPARE(Find<QComboBox>(Dialog(), "UltraLightStartBlockCombo")->count(), 16);
    QCOMPARE(ItemTexts(ItemList::Keys), QStringList({"<None>", "Down", "Tab", "Enter", "PgDn"}));
    QCOMPARE(ItemTexts(ItemList::Counts).join(','), QString("1,2,3,4,5,6,7,8,9,10"));
    QCOMPARE(Find<QComboBox>(Dialog(), "MifareStartBlockCombo")->itemText(3), QString("03"));
  }

  void frameTitleAndSize() {
    QCOMPARE(Dialog().windowTitle(), QString("Tavrin Config Tools"));
    const DialogBaseUnits units = BaseUnitsOf(Dialog().font());
    QCOMPARE(Dialog().size(), DuToPixels(354, 259, units));
    QCOMPARE(Dialog().minimumSize(), Dialog().maximumSize());
    QVERIFY(!(Dialog().windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(Dialog().windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(Dialog().windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(Find(Dialog(), "ConnectButton")->geometry(),
             DuToPixels(DuRect{167, 238, 50, 14}, units));
    QCOMPARE(Find(Dialog(), "SriEndByteLabel")->geometry(),
             DuToPixels(DuRect{219, 116, 36, 10}, units));
  }

  void dialogUnitsRoundLikeTheDialogManager() {
    const DialogBaseUnits units{6, 13};
    QCOMPARE(DuToPixels(354, 259, units), QSize(531, 421));  // 420.875 rounds up
    QCOMPARE(DuToPixelsX(1, units), 2);                      // 1.5 rounds away from zero
    QCOMPARE(DuToPixelsY(3, units), 5);                      // 4.875
    QCOMPARE(MulDivRounded(-3, 13, 8), -5);
  }

  void pageTabsLiesBeneathThePanels() {
    const QObjectList& children = Dialog().children();
    const auto tabs = children.indexOf(Find(Dialog(), "PageTabs"));
    QVERIFY(tabs >= 0);
    for (const char* name : {"TypeARadio", "DescriptionText", "MifareKeyEdit", "ICodeGroup"}) {
      QVERIFY2(children.indexOf(Find(Dialog(), name)) > tabs, name);
      QCOMPARE(Find(Dialog(), name)->parentWidget(), &Dialog());
    }
  }

  void startsWithOneTabAndTheSystemPanel() {
    QCOMPARE(driver::TabCaptions(Dialog()), QStringList{"System Config"});
    QCOMPARE(driver::PanelsOnView(Dialog()), QStringList{"SystemPanel"});
    QCOMPARE(driver::VisibleMembers(Dialog(), Panel::System),
             NamesOf({ControlId::SupportTypeGroup, ControlId::TypeARadio, ControlId::TypeBRadio,
                      ControlId::Iso15693Radio, ControlId::OutputSelectGroup,
                      ControlId::OutputSnrCheck, ControlId::OutputDataCheck,
                      ControlId::DescriptionGroup, ControlId::DescriptionText}));
    QVERIFY(driver::IsEnabled(Dialog(), ControlId::PageTabs));
  }

  void onlyConnectCanBePressed() {
    QVERIFY(driver::IsChecked(Dialog(), ControlId::TypeARadio));
    QVERIFY(driver::IsChecked(Dialog(), ControlId::OutputSnrCheck));
    QVERIFY(!driver::IsChecked(Dialog(), ControlId::OutputDataCheck));
    for (ControlId id :
         {ControlId::TypeARadio, ControlId::TypeBRadio, ControlId::Iso15693Radio,
          ControlId::OutputSnrCheck, ControlId::OutputDataCheck, ControlId::CardKind1Check,
          ControlId::CardKind2Check, ControlId::DownloadButton, ControlId::ResetButton}) {
      QVERIFY2(!driver::IsEnabled(Dialog(), id), qPrintable(NameOf(id)));
    }
    QVERIFY(driver::IsEnabled(Dialog(), ControlId::ConnectButton));
    QVERIFY(driver::IsEnabled(Dialog(), ControlId::CardKind3Check));
    QCOMPARE(host_.OpenHandles(), 0);
  }

  void neverVisibleControlsAreHidden() {
    for (const char* name : {"SaveConfigButton", "ReadConfigButton", "CardKind3Check",
                             "CardKind1Check", "CardKind2Check"}) {
      QVERIFY2(!Find(Dialog(), name)->isVisible(), name);
    }
  }

  void listsStartAtFirstItemExceptEndBytes() {
    const QSet<QString> atLast = {"MifareEndByteCombo", "UltraLightEndByteCombo",
                                  "Sr176EndByteCombo", "SriEndByteCombo", "ICodeEndByteCombo"};
    int lists = 0;
    for (auto* list : Dialog().findChildren<QComboBox*>()) {
      ++lists;
      const int expected = atLast.contains(list->objectName()) ? list->count() - 1 : 0;
      QVERIFY2(list->currentIndex() == expected, qPrintable(list->objectName()));
    }
    QCOMPARE(lists, 2 + 10 + 4 * 8);
    QCOMPARE(Find<QComboBox>(Dialog(), "MifareEndByteCombo")->currentText(), QString("15"));
    QCOMPARE(Find<QComboBox>(Dialog(), "Sr176EndByteCombo")->currentText(), QString("01"));
  }

  void startUpChecksOfThePanels() {
    for (ControlId id :
         {ControlId::SnrMsbFirstRadio, ControlId::SnrHexRadio, ControlId::MifareMode1Radio,
          ControlId::MifareKeyARadio, ControlId::UltraLightMode1Radio, ControlId::Sr176Mode1Radio,
          ControlId::SriMode1Radio, ControlId::ICodeMode1Radio}) {
      QVERIFY2(driver::IsChecked(Dialog(), id), qPrintable(NameOf(id)));
    }
    for (ControlId id :
         {ControlId::SnrLsbFirstRadio, ControlId::SnrDecRadio, ControlId::MifareMode2Radio,
          ControlId::MifareKeyBRadio, ControlId::SriMode2Radio, ControlId::TypeBRadio}) {
      QVERIFY2(!driver::IsChecked(Dialog(), id), qPrintable(NameOf(id)));
    }
  }

  void boundTextsAfterStartUp() {
    QCOMPARE(Find<QLineEdit>(Dialog(), "MifareKeyEdit")->text(), QString("3A7C19E5B08D"));
    QCOMPARE(driver::Caption(Dialog(), ControlId::DescriptionText), QString());
  }

  void bannerIsBoldAndCentred() {
    auto* banner = Find<QLabel>(Dialog(), "BannerText");
    QCOMPARE(banner->text(), QString("Belmora Electronics Co.,LTD"));
    QCOMPARE(banner->font().weight(), QFont::DemiBold);
    QVERIFY(QFontMetrics(banner->font()).height() <= 22);
    QCOMPARE(banner->alignment(), Qt::AlignCenter);
  }

  void connectIsDefaultAndFocused() {
    auto* connect = Find<QPushButton>(Dialog(), "ConnectButton");
    QVERIFY(connect->isDefault());
    QCOMPARE(QApplication::focusWidget(), connect);
  }

  void radiosAreNoTabStops() {
    for (auto* radio : Dialog().findChildren<QRadioButton*>()) {
      QVERIFY2(!(radio->focusPolicy() & Qt::TabFocus), qPrintable(radio->objectName()));
    }
  }

  void keyboardOrderOfTheSystemPanel() {
    driver::EnableAsConnected(Dialog());
    QVERIFY(driver::Click(Dialog(), "OutputDataCheck"));
    QCOMPARE(FocusCycle(),
             QStringList({"ConnectButton", "DownloadButton", "ResetButton", "OutputSnrCheck",
                          "OutputDataCheck", "CardKind1Check", "CardKind2Check", "ConnectButton"}));
  }

  void keyboardOrderOfTheMifarePanel() {
    OpenTab({"OutputDataCheck", "CardKind1Check"}, 2);
    QCOMPARE(
        FocusCycle(),
        QStringList({"ConnectButton", "DownloadButton", "ResetButton", "MifareKeyEdit",
                     "MifareStartSectorCombo", "MifareStartBlockCombo", "MifareEndSectorCombo",
                     "MifareEndBlockCombo", "MifareCapsLockCheck", "MifareBlockEndKeyCombo",
                     "MifareBlockEndCountCombo", "MifareDataEndKeyCombo", "MifareDataEndCountCombo",
                     "MifareStartByteCombo", "MifareEndByteCombo", "ConnectButton"}));
  }

  void keyboardOrderOfABlockPanel() {
    OpenTab({"Iso15693Radio", "OutputDataCheck", "CardKind1Check"}, 2);
    QCOMPARE(FocusCycle(),
             QStringList({"ConnectButton", "DownloadButton", "ResetButton", "ICodeStartBlockCombo",
                          "ICodeEndBlockCombo", "ICodeStartByteCombo", "ICodeEndByteCombo",
                          "ICodeCapsLockCheck", "ICodeBlockEndKeyCombo", "ICodeBlockEndCountCombo",
                          "ICodeDataEndKeyCombo", "ICodeDataEndCountCombo", "ConnectButton"}));
  }

  void radioSetsExcludeOnlyForTheUser() {
    driver::EnableAsConnected(Dialog());
    QVERIFY(driver::Click(Dialog(), "TypeBRadio"));
    QVERIFY(driver::IsChecked(Dialog(), ControlId::TypeBRadio));
    QVERIFY(!driver::IsChecked(Dialog(), ControlId::TypeARadio));
    QVERIFY(driver::Click(Dialog(), "TypeBRadio"));  // a checked radio stays checked
    QVERIFY(driver::IsChecked(Dialog(), ControlId::TypeBRadio));

    driver::SetChecked(Dialog(), ControlId::Iso15693Radio, true);
    QVERIFY(driver::IsChecked(Dialog(), ControlId::TypeBRadio));
    QVERIFY(driver::IsChecked(Dialog(), ControlId::Iso15693Radio));
    driver::SetChecked(Dialog(), ControlId::TypeBRadio, false);
    driver::SetChecked(Dialog(), ControlId::Iso15693Radio, false);
    QVERIFY(!driver::IsChecked(Dialog(), ControlId::TypeARadio));
    QVERIFY(!driver::IsChecked(Dialog(), ControlId::TypeBRadio));
    QVERIFY(!driver::IsChecked(Dialog(), ControlId::Iso15693Radio));
  }

  void settingAChecksRunsNoHandler() {
    driver::EnableAsConnected(Dialog());
    driver::SetChecked(Dialog(), ControlId::OutputDataCheck, true);
    driver::SetChecked(Dialog(), ControlId::CardKind1Check, true);
    driver::SetChecked(Dialog(), ControlId::TypeBRadio, true);
    QCOMPARE(driver::TabCaptions(Dialog()), QStringList{"System Config"});
    QVERIFY(!Find(Dialog(), "CardKind1Check")->isVisible());
    driver::SetChecked(Dialog(), ControlId::UltraLightMode2Radio, true);
    QVERIFY(!driver::IsShown(Dialog(), ControlId::UltraLightMode2BlockFrame));
  }

  void descriptionShowsLineBreaksAndKeepsTheRawText() {
    QVERIFY(driver::Click(Dialog(), "ConnectButton"));
    auto* label = Find<QLabel>(Dialog(), "DescriptionText");
    const QString raw = label->text();
    QVERIFY(raw.startsWith("Device Connected\r\nTAVRIN HID READER V1.22\r\n"));

    // Drawn exactly as the same text with bare line feeds.
    const QImage withCrLf = label->grab().toImage();
    label->setText(QString(raw).replace("\r\n", "\n"));
    QCOMPARE(label->grab().toImage(), withCrLf);
    label->setText("Device Connected READER");
    QVERIFY(label->grab().toImage() != withCrLf);
    QCOMPARE(TextLabel::DisplayText("a\r\nb\rc\n"), QString("a\nb\nc\n"));
  }

  // The family radios pull the bound texts and push them back.
  void aPullThenPushChangesNothing() {
    driver::EnableAsConnected(Dialog());
    driver::Type(Dialog(), "MifareKeyEdit", "00 11 22");
    Find<QLabel>(Dialog(), "DescriptionText")->setText("Device Disconnected");
    QVERIFY(driver::Click(Dialog(), "TypeARadio"));
    QCOMPARE(driver::Caption(Dialog(), ControlId::MifareKeyEdit), QString("00 11 22"));
    QCOMPARE(driver::Description(Dialog()), QString("Device Disconnected"));
  }

  void keyEditTakesAnyLength() {
    const QString longKey = QString(40000, QChar('7')) + QString::fromUtf8("\xC3\xA9");
    driver::EnableAsConnected(Dialog());
    Find<QLineEdit>(Dialog(), "MifareKeyEdit")->setText(longKey);
    QVERIFY(driver::Click(Dialog(), "TypeARadio"));
    QCOMPARE(driver::Caption(Dialog(), ControlId::MifareKeyEdit), longKey);
  }

 private:
  // Connects to the reader, clicks the controls named and selects the tab.
  void OpenTab(std::initializer_list<const char*> clicks, int tab) {
    QVERIFY(driver::Click(Dialog(), "ConnectButton"));
    for (const char* name : clicks) QVERIFY(driver::Click(Dialog(), name));
    QVERIFY(driver::SelectTab(Dialog(), tab));
  }

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
};

}  // namespace tavrin

QTEST_MAIN(tavrin::StartUpTest)
#include "StartUpTest.moc"
