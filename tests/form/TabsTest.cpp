// The tab list and the panel each tab shows, across the family and output
// choices, the output-mode frames and what every handler does to the bound
// texts.
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <map>
#include <memory>

#include "FormDriver.h"
#include "form/ConfigDialog.h"
#include "sim/SimHost.h"

namespace tavrin {

using driver::Click;
using driver::Find;
using driver::PanelsOnView;
using driver::SelectTab;
using driver::TabCaptions;

class TabsTest : public QObject {
  Q_OBJECT

 private:
  SimHost host_;
  std::unique_ptr<ConfigDialog> dialog_;

  ConfigDialog& Dialog() { return *dialog_; }
  bool Visible(const char* name) { return Find(Dialog(), name)->isVisible(); }
  bool Checked(ControlId id) { return driver::IsChecked(Dialog(), id); }

  // Rebuilds the tab list the way a user can: SNR output off and on again.
  void RebuildTabs() {
    QVERIFY(SelectTab(Dialog(), 0));
    QVERIFY(Click(Dialog(), "OutputSnrCheck"));
    QVERIFY(Click(Dialog(), "OutputSnrCheck"));
  }

  // Card data output on, both kinds of the current family chosen.
  void ChooseBothKinds() {
    QVERIFY(Click(Dialog(), "OutputDataCheck"));
    QVERIFY(Click(Dialog(), "CardKind1Check"));
    QVERIFY(Click(Dialog(), "CardKind2Check"));
  }

 private slots:
  void init() {
    dialog_ = std::make_unique<ConfigDialog>(host_);
    dialog_->show();
    dialog_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
    driver::EnableAsConnected(*dialog_);
  }
  void cleanup() { dialog_.reset(); }

  void typeAWithEverythingOn() {
    ChooseBothKinds();
    QCOMPARE(TabCaptions(Dialog()),
             QStringList({"System Config", "SNR", "Mifare S50/S70", "UltraLight"}));
    const QStringList panels = {"SystemPanel", "SnrPanel", "MifarePanel", "UltraLightPanel"};
    for (int tab : {1, 2, 3, 0}) {
      QVERIFY(SelectTab(Dialog(), tab));
      QCOMPARE(PanelsOnView(Dialog()), QStringList{panels[tab]});
    }
  }

  void typeBWithTheSecondKindOnly() {
    QVERIFY(Click(Dialog(), "OutputSnrCheck"));
    QVERIFY(Click(Dialog(), "OutputDataCheck"));
    QVERIFY(Click(Dialog(), "TypeBRadio"));
    QVERIFY(Click(Dialog(), "CardKind2Check"));
    QCOMPARE(TabCaptions(Dialog()), QStringList({"System Config", "SRI512/2K/4K/X4K"}));
    QVERIFY(SelectTab(Dialog(), 1));
    QCOMPARE(PanelsOnView(Dialog()), QStringList{"SriPanel"});

    QVERIFY(SelectTab(Dialog(), 0));
    QVERIFY(Click(Dialog(), "OutputSnrCheck"));
    QCOMPARE(TabCaptions(Dialog()), QStringList({"System Config", "SNR", "SRI512/2K/4K/X4K"}));
    QVERIFY(SelectTab(Dialog(), 2));
    QCOMPARE(PanelsOnView(Dialog()), QStringList{"SriPanel"});
  }

  void noOutputLeavesSystemConfigAlone() {
    QVERIFY(Click(Dialog(), "OutputSnrCheck"));
    QCOMPARE(TabCaptions(Dialog()), QStringList{"System Config"});
  }

  void uncheckingCardDataClearsTheKinds() {
    ChooseBothKinds();
    QVERIFY(Click(Dialog(), "OutputDataCheck"));
    QVERIFY(!Visible("CardKind1Check"));
    QVERIFY(!Visible("CardKind2Check"));
    QVERIFY(!Checked(ControlId::CardKind1Check));
    QVERIFY(!Checked(ControlId::CardKind2Check));
    QCOMPARE(TabCaptions(Dialog()), QStringList({"System Config", "SNR"}));

    driver::Control(Dialog(), ControlId::CardKind1Check)->setEnabled(false);
    QVERIFY(Click(Dialog(), "OutputDataCheck"));
    QVERIFY(Visible("CardKind1Check") && Visible("CardKind2Check"));
    QVERIFY(driver::IsEnabled(Dialog(), ControlId::CardKind1Check));
    QVERIFY(!Checked(ControlId::CardKind1Check));
    QCOMPARE(TabCaptions(Dialog()), QStringList({"System Config", "SNR"}));
  }

  void iso15693HidesTheSecondKindAndKeepsItChecked() {
    ChooseBothKinds();
    QVERIFY(Click(Dialog(), "Iso15693Radio"));
    QCOMPARE(TabCaptions(Dialog()), QStringList({"System Config", "SNR", "I.Code/Tag-it"}));
    QCOMPARE(driver::Caption(Dialog(), ControlId::CardKind1Check), QString("I.Code/Tag-it"));
    QVERIFY(!Visible("CardKind2Check"));
    QVERIFY(Checked(ControlId::CardKind2Check));

    QVERIFY(Click(Dialog(), "TypeARadio"));
    QVERIFY(Visible("CardKind2Check"));
    QCOMPARE(driver::Caption(Dialog(), ControlId::CardKind2Check), QString("UltraLight"));
    QVERIFY(Checked(ControlId::CardKind2Check));
    QCOMPARE(TabCaptions(Dialog()),
             QStringList({"System Config", "SNR", "Mifare S50/S70", "UltraLight"}));
  }

  void systemConfigTabUnderIso15693HidesTheSecondKind() {
    QVERIFY(Click(Dialog(), "OutputDataCheck"));
    QVERIFY(Click(Dialog(), "Iso15693Radio"));
    QVERIFY(SelectTab(Dialog(), 1));
    QVERIFY(SelectTab(Dialog(), 0));
    QVERIFY(Visible("CardKind1Check"));
    QVERIFY(!Visible("CardKind2Check"));
  }

  void cardKindChecksUnderEachFamily_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("kind1");
    QTest::addColumn<QString>("kind2");  // empty: hidden
    QTest::newRow("ISO14443A") << "TypeARadio"
                               << "Mifare S50/S70"
                               << "UltraLight";
    QTest::newRow("ISO14443B") << "TypeBRadio"
                               << "SR176"
                               << "SRI512/2K/4K/X4K";
    QTest::newRow("ISO15693") << "Iso15693Radio"
                              << "I.Code/Tag-it"
                              << "";
  }

  void cardKindChecksUnderEachFamily() {
    QFETCH(QString, family);
    QFETCH(QString, kind1);
    QFETCH(QString, kind2);
    QVERIFY(Click(Dialog(), "OutputDataCheck"));
    QVERIFY(Click(Dialog(), family));
    QVERIFY(Visible("CardKind1Check"));
    QCOMPARE(driver::Caption(Dialog(), ControlId::CardKind1Check), kind1);
    QCOMPARE(Visible("CardKind2Check"), !kind2.isEmpty());
    if (!kind2.isEmpty()) QCOMPARE(driver::Caption(Dialog(), ControlId::CardKind2Check), kind2);
    // A long caption is shown whole.
    auto* check = Find<QCheckBox>(Dialog(), "CardKind2Check");
    QVERIFY(check->width() >= check->sizeHint().width());
  }

  // Every tab shows the panel whose caption it bears, whatever the choices.
  void everyTabShowsItsOwnPanel() {
    const std::map<QString, QString> panelOfCaption = [] {
      std::map<QString, QString> map;
      for (const PanelDef& panel : kPanels) map[panel.tabCaption] = panel.name;
      return map;
    }();
    int combinations = 0;
    for (ControlId family :
         {ControlId::TypeARadio, ControlId::TypeBRadio, ControlId::Iso15693Radio}) {
      for (int bits = 0; bits < 16; ++bits) {
        QVERIFY(SelectTab(Dialog(), 0));
        for (ControlId radio :
             {ControlId::TypeARadio, ControlId::TypeBRadio, ControlId::Iso15693Radio}) {
          driver::SetChecked(Dialog(), radio, radio == family);
        }
        driver::SetChecked(Dialog(), ControlId::OutputSnrCheck, bits & 1);
        driver::SetChecked(Dialog(), ControlId::OutputDataCheck, bits & 2);
        driver::SetChecked(Dialog(), ControlId::CardKind1Check, bits & 4);
        driver::SetChecked(Dialog(), ControlId::CardKind2Check, bits & 8);
        RebuildTabs();
        const QStringList tabs = TabCaptions(Dialog());
        for (int tab = tabs.size() - 1; tab >= 0; --tab) {
          QVERIFY(SelectTab(Dialog(), tab));
          QCOMPARE(PanelsOnView(Dialog()), QStringList{panelOfCaption.at(tabs[tab])});
          ++combinations;
        }
      }
    }
    QVERIFY(combinations > 48);
  }

  void rebuildingRaisesNoSelection() {
    ChooseBothKinds();
    QSignalSpy selections(Find<TabStrip>(Dialog(), "PageTabs"), &TabStrip::TabSelected);
    RebuildTabs();
    QCOMPARE(selections.count(), 0);
    QCOMPARE(driver::CurrentTab(Dialog()), 0);
  }

  void modeFramesSurviveATabRoundTrip_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("panelNumber");
    QTest::newRow("UltraLight") << "TypeARadio"
                                << "CardKind2Check"
                                << "UltraLight" << static_cast<int>(Panel::UltraLight);
    QTest::newRow("SR176") << "TypeBRadio"
                           << "CardKind1Check"
                           << "Sr176" << static_cast<int>(Panel::Sr176);
    QTest::newRow("SRI") << "TypeBRadio"
                         << "CardKind2Check"
                         << "Sri" << static_cast<int>(Panel::Sri);
    QTest::newRow("I.Code") << "Iso15693Radio"
                            << "CardKind1Check"
                            << "ICode" << static_cast<int>(Panel::ICode);
  }

  void modeFramesSurviveATabRoundTrip() {
    QFETCH(QString, family);
    QFETCH(QString, kind);
    QFETCH(QString, prefix);
    QFETCH(int, panelNumber);
    const auto shown = [&](const char* frame) { return Visible(qPrintable(prefix + frame)); };
    QVERIFY(Click(Dialog(), "OutputDataCheck"));
    QVERIFY(Click(Dialog(), family));
    QVERIFY(Click(Dialog(), kind));
    QVERIFY(SelectTab(Dialog(), 2));
    QVERIFY(shown("Mode1StartFrame") && shown("Mode1EndFrame"));
    QVERIFY(!shown("Mode2BlockFrame") && !shown("Mode2ByteFrame"));

    QVERIFY(Click(Dialog(), prefix + "Mode2Radio"));
    QVERIFY(!shown("Mode1StartFrame") && !shown("Mode1EndFrame"));
    QVERIFY(shown("Mode2BlockFrame") && shown("Mode2ByteFrame"));

    QVERIFY(SelectTab(Dialog(), 1));
    QVERIFY(SelectTab(Dialog(), 2));
    QVERIFY(!shown("Mode1StartFrame") && !shown("Mode1EndFrame"));
    QVERIFY(shown("Mode2BlockFrame") && shown("Mode2ByteFrame"));
    const Panel panel = static_cast<Panel>(panelNumber);
    QCOMPARE(PanelsOnView(Dialog()), QStringList{kPanels[panelNumber - 1].name});
    QCOMPARE(driver::VisibleMembers(Dialog(), panel).size(), 27);  // all but two frames

    QVERIFY(Click(Dialog(), prefix + "Mode1Radio"));
    QVERIFY(shown("Mode1StartFrame") && shown("Mode1EndFrame"));
    QVERIFY(!shown("Mode2BlockFrame") && !shown("Mode2ByteFrame"));
  }

  void mifareModeClickChangesOnlyTheModeRadios() {
    ChooseBothKinds();
    QVERIFY(SelectTab(Dialog(), 2));
    const auto snapshot = [this] {
      QStringList state;
      for (const ControlDef& def : Controls()) {
        if (def.id == ControlId::MifareMode1Radio || def.id == ControlId::MifareMode2Radio) {
          continue;
        }
        QWidget* widget = driver::Control(Dialog(), def.id);
        state << QString("%1 %2 %3 %4")
                     .arg(widget->objectName())
                     .arg(widget->isVisible())
                     .arg(driver::IsChecked(Dialog(), def.id))
                     .arg(driver::Caption(Dialog(), def.id));
      }
      return state << TabCaptions(Dialog());
    };
    const QStringList before = snapshot();
    QVERIFY(Click(Dialog(), "MifareMode2Radio"));
    QVERIFY(Checked(ControlId::MifareMode2Radio));
    QVERIFY(!Checked(ControlId::MifareMode1Radio));
    QCOMPARE(snapshot(), before);
  }

  void typedKeySurvivesEveryHandler_data() {
    QTest::addColumn<QString>("control");
    for (const char* name : {"TypeARadio", "TypeBRadio", "Iso15693Radio", "OutputSnrCheck",
                             "CardKind1Check", "CardKind2Check", "OutputDataCheck"}) {
      QTest::newRow(name) << name;
    }
  }

  void typedKeySurvivesEveryHandler() {
    QFETCH(QString, control);
    QVERIFY(Click(Dialog(), "OutputDataCheck"));
    QVERIFY(Click(Dialog(), "TypeBRadio"));
    QVERIFY(Click(Dialog(), "CardKind1Check"));
    QVERIFY(SelectTab(Dialog(), 2));
    driver::Type(Dialog(), "MifareKeyEdit", "a0 a1 a2 a3 a4 a5");
    Find<QLabel>(Dialog(), "DescriptionText")->setText("Device Reset Failure.");
    QVERIFY(SelectTab(Dialog(), 0));

    QVERIFY(Click(Dialog(), control));
    QCOMPARE(driver::Caption(Dialog(), ControlId::MifareKeyEdit), QString("a0 a1 a2 a3 a4 a5"));
    QCOMPARE(driver::Caption(Dialog(), ControlId::DescriptionText),
             QString("Device Reset Failure."));
  }

  void typedKeySurvivesTabSelection() {
    QVERIFY(Click(Dialog(), "OutputDataCheck"));
    QVERIFY(Click(Dialog(), "Iso15693Radio"));
    driver::Type(Dialog(), "MifareKeyEdit", "FFFFFFFFFFFF");
    QVERIFY(SelectTab(Dialog(), 1));
    QVERIFY(SelectTab(Dialog(), 0));  // refreshes the tabs under ISO15693
    QCOMPARE(driver::Caption(Dialog(), ControlId::MifareKeyEdit), QString("FFFFFFFFFFFF"));
  }

  void disabledTabsCannotBeSelected() {
    ChooseBothKinds();
    driver::Control(Dialog(), ControlId::PageTabs)->setEnabled(false);
    QVERIFY(SelectTab(Dialog(), 2));
    QCOMPARE(driver::CurrentTab(Dialog()), 0);
    QCOMPARE(PanelsOnView(Dialog()), QStringList{"SystemPanel"});
  }
};

}  // namespace tavrin

QTEST_MAIN(tavrin::TabsTest)
#include "TabsTest.moc"
