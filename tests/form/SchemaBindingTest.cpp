// How the dialog's controls bind to the settings: every setting shown by
// Show lands in the control the test names for it, as the value the test
// expects, and Read gives it back. The names below are the test's own, so a
// setting bound to the wrong control, or a range cut short, shows up.
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <string>
#include <vector>

#include "FormDriver.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

// A setting, its check box, list or radios, and for a card kind's output
// the family under which its check stands for it.
struct Knob {
  Panel panel;
  const char* key;
  QStringList controls;
  int family = 0;
  int values = 0;  // of a list: how many items; 0 for a check or radios
};

std::vector<Knob> MakeKnobs() {
  std::vector<Knob> knobs{{Panel::None, "family", {"TypeARadio", "TypeBRadio", "Iso15693Radio"}},
                          {Panel::Snr, "output", {"OutputSnrCheck"}},
                          {Panel::Snr, "byte-order", {"SnrMsbFirstRadio", "SnrLsbFirstRadio"}},
                          {Panel::Snr, "number-base", {"SnrHexRadio", "SnrDecRadio"}},
                          {Panel::Snr, "caps-lock", {"SnrCapsLockCheck"}},
                          {Panel::Snr, "end-key", {"SnrEndKeyCombo"}, 0, 5},
                          {Panel::Snr, "end-count", {"SnrEndCountCombo"}, 0, 10},
                          {Panel::Mifare, "start-sector", {"MifareStartSectorCombo"}, 0, 64},
                          {Panel::Mifare, "start-block", {"MifareStartBlockCombo"}, 0, 4},
                          {Panel::Mifare, "start-byte", {"MifareStartByteCombo"}, 0, 16},
                          {Panel::Mifare, "end-sector", {"MifareEndSectorCombo"}, 0, 64},
                          {Panel::Mifare, "end-block", {"MifareEndBlockCombo"}, 0, 4},
                          {Panel::Mifare, "end-byte", {"MifareEndByteCombo"}, 0, 16},
                          {Panel::Mifare, "key-type", {"MifareKeyARadio", "MifareKeyBRadio"}}};
  // The card kinds, two, two and one by family: a family's first kind is
  // CardKind1Check's, its second CardKind2Check's.
  const struct {
    Panel panel;
    QString prefix;
    int blocks, bytes;
  } kinds[] = {{Panel::Mifare, "Mifare", 0, 0},
               {Panel::UltraLight, "UltraLight", 16, 4},
               {Panel::Sr176, "Sr176", 16, 2},
               {Panel::Sri, "Sri", 128, 4},
               {Panel::ICode, "ICode", 64, 4}};
  for (int i = 0; i < 5; ++i) {
    const auto& [panel, p, blocks, bytes] = kinds[i];
    knobs.push_back({panel, "output", {QString("CardKind%1Check").arg(i % 2 + 1)}, i / 2});
    knobs.push_back({panel, "mode", {p + "Mode1Radio", p + "Mode2Radio"}});
    knobs.push_back({panel, "caps-lock", {p + "CapsLockCheck"}});
    knobs.push_back({panel, "block-end-key", {p + "BlockEndKeyCombo"}, 0, 5});
    knobs.push_back({panel, "block-end-count", {p + "BlockEndCountCombo"}, 0, 10});
    knobs.push_back({panel, "data-end-key", {p + "DataEndKeyCombo"}, 0, 5});
    knobs.push_back({panel, "data-end-count", {p + "DataEndCountCombo"}, 0, 10});
    if (blocks == 0) continue;
    for (const char* end : {"start", "end"}) {
      const QString e = QString(end).replace(0, 1, QChar(end[0]).toUpper());
      knobs.push_back({panel,
                       end == std::string("start") ? "start-block" : "end-block",
                       {p + e + "BlockCombo"},
                       0,
                       blocks});
      knobs.push_back({panel,
                       end == std::string("start") ? "start-byte" : "end-byte",
                       {p + e + "ByteCombo"},
                       0,
                       bytes});
    }
  }
  return knobs;
}

// How many values the knob's controls offer.
int Values(const Knob& knob) {
  if (knob.values != 0) return knob.values;
  return knob.controls.size() > 1 ? static_cast<int>(knob.controls.size()) : 2;
}

}  // namespace

class SchemaBindingTest : public QObject {
  Q_OBJECT

  SimHost host_;
  ConfigDialog dialog_{host_};

  // What the knob's controls show, as the value's index.
  int Shown(const Knob& knob) {
    if (auto* list = driver::Find<QComboBox>(dialog_, knob.controls[0]))
      return list->currentIndex();
    for (int r = 0; r < knob.controls.size(); ++r) {
      const bool checked = driver::Find<QAbstractButton>(dialog_, knob.controls[r])->isChecked();
      if (knob.controls.size() == 1) return checked ? 1 : 0;
      if (checked) return r;
    }
    return -1;
  }

 private slots:
  void everySettingShowsInItsControlAndReadsBack() {
    int shown = 0;
    for (const Knob& knob : MakeKnobs()) {
      const std::size_t row = FindSetting(knob.panel, knob.key).value();
      const SettingDef& def = SettingsSchema()[row];
      QCOMPARE(def.max - def.min + 1, Values(knob));
      for (int value = 0; value < Values(knob); ++value) {
        // Under the family the knob needs, as the dialog reads it then.
        Settings settings = dialog_.Read();
        settings.values[kFamilySetting] = knob.panel == Panel::None ? value : knob.family;
        dialog_.Show(settings);
        settings = dialog_.Read();
        settings.values[row] = def.min + value;
        dialog_.Show(settings);
        QVERIFY2(Shown(knob) == value, qPrintable(knob.controls[0] + QString(" %1").arg(value)));
        QVERIFY2(dialog_.Read() == settings, qPrintable(knob.controls[0]));
        ++shown;
      }
    }
    QVERIFY(shown > 400);
  }

  void theKeyIsShownAsTyped() {
    Settings settings = dialog_.Read();
    settings.mifareKey = "ab\tcd ";
    dialog_.Show(settings);
    QCOMPARE(driver::Caption(dialog_, ControlId::MifareKeyEdit), QString("ab\tcd "));
    QCOMPARE(dialog_.Read().mifareKey, settings.mifareKey);
  }

  // Show leaves the form as the user's clicks would: data output on for a
  // chosen card kind, the checks named and shown for the family, the tabs
  // rebuilt and the System Config panel on view. Another family's card-kind
  // flags do not reach the checks.
  void showBringsTabsAndPanelsInLine() {
    dialog_.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog_));
    Settings settings = StartUpSettings();
    settings.values[FindSetting(Panel::Mifare, "output").value()] = 1;
    settings.values[FindSetting(Panel::UltraLight, "output").value()] = 1;
    dialog_.Show(settings);
    QVERIFY(driver::IsChecked(dialog_, ControlId::OutputDataCheck));
    QCOMPARE(driver::TabCaptions(dialog_),
             QStringList({"System Config", "SNR", "Mifare S50/S70", "UltraLight"}));
    QCOMPARE(driver::CurrentTab(dialog_), 0);
    QVERIFY(driver::Control(dialog_, ControlId::CardKind2Check)->isVisible());
    QVERIFY(!driver::Control(dialog_, ControlId::SnrConfigGroup)->isVisible());

    settings.values[kFamilySetting] = 2;
    settings.values[FindSetting(Panel::ICode, "output").value()] = 1;
    dialog_.Show(settings);
    QCOMPARE(driver::TabCaptions(dialog_), QStringList({"System Config", "SNR", "I.Code/Tag-it"}));
    QCOMPARE(driver::Caption(dialog_, ControlId::CardKind1Check), QString("I.Code/Tag-it"));
    QVERIFY(!driver::Control(dialog_, ControlId::CardKind2Check)->isVisible());
    const Settings read = dialog_.Read();
    QCOMPARE(read.values[FindSetting(Panel::Mifare, "output").value()], 0);
    QCOMPARE(read.values[FindSetting(Panel::ICode, "output").value()], 1);
  }
};

}  // namespace tavrin

QTEST_MAIN(tavrin::SchemaBindingTest)
#include "SchemaBindingTest.moc"
