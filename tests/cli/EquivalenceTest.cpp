// The dialog and a settings file set alike send the same pages: settings are
// set on the real dialog, which downloads them to one simulated reader, and
// written as a settings file, which tavrin-reader applies to another. The
// names below are the test's own, so a wrong mapping in the program's
// settings table shows up as a difference.
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "FormDriver.h"
#include "ToolRun.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

// A setting and its check box, list (whose items are its range), key edit
// box or radios; words are the file's names of a radio's or list's values.
struct Knob {
  std::string table, key;
  QStringList controls;
  std::vector<std::string> words = {};
  int family = -1;  // a card kind's output: given only under its family
};

std::vector<Knob> MakeKnobs() {
  const std::vector<std::string> keys{"none", "down", "tab", "enter", "pgdn"};
  const std::vector<std::string> families{"iso14443a", "iso14443b", "iso15693"};
  std::vector<Knob> knobs{
      {"", "family", {"TypeARadio", "TypeBRadio", "Iso15693Radio"}, families},
      {"snr", "output", {"OutputSnrCheck"}},
      {"snr", "byte-order", {"SnrMsbFirstRadio", "SnrLsbFirstRadio"}, {"msb-first", "lsb-first"}},
      {"snr", "number-base", {"SnrHexRadio", "SnrDecRadio"}, {"hex", "dec"}},
      {"snr", "caps-lock", {"SnrCapsLockCheck"}},
      {"snr", "end-key", {"SnrEndKeyCombo"}, keys},
      {"snr", "end-count", {"SnrEndCountCombo"}},
      {"mifare", "start-sector", {"MifareStartSectorCombo"}},
      {"mifare", "end-sector", {"MifareEndSectorCombo"}},
      {"mifare", "key-type", {"MifareKeyARadio", "MifareKeyBRadio"}, {"a", "b"}},
      {"mifare", "key", {"MifareKeyEdit"}}};
  // The card kinds' tables by family, two, two and one: a family's first
  // kind is CardKind1Check's, its second CardKind2Check's.
  const QString kinds[] = {"Mifare", "UltraLight", "Sr176", "Sri", "ICode"};
  const std::pair<std::string, QString> numbers[] = {
      {"start-block", "StartBlock"},        {"end-block", "EndBlock"},
      {"start-byte", "StartByte"},          {"end-byte", "EndByte"},
      {"block-end-count", "BlockEndCount"}, {"data-end-count", "DataEndCount"}};
  for (int i = 0; i < 5; ++i) {
    const QString& p = kinds[i];
    const std::string t = p.toLower().toStdString();
    knobs.push_back({t, "output", {QString("CardKind%1Check").arg(i % 2 + 1)}, {}, i / 2});
    knobs.push_back({t, "mode", {p + "Mode1Radio", p + "Mode2Radio"}, {"mode1", "mode2"}});
    knobs.push_back({t, "caps-lock", {p + "CapsLockCheck"}});
    knobs.push_back({t, "block-end-key", {p + "BlockEndKeyCombo"}, keys});
    knobs.push_back({t, "data-end-key", {p + "DataEndKeyCombo"}, keys});
    for (const auto& [key, part] : numbers) knobs.push_back({t, key, {p + part + "Combo"}});
  }
  return knobs;
}

const std::vector<Knob> kKnobs = MakeKnobs();

// The number of a list's first item: counts start at 1.
int First(const Knob& knob) { return knob.key.ends_with("count") ? 1 : 0; }

// The knob's line of a settings file.
std::string Line(const Knob& knob, const std::string& value) {
  return (knob.table.empty() ? "" : knob.table + ".") + knob.key + " = " + value + "\n";
}

// Sets the knob's control to a random value, often an end of its range, as
// index; returns the value as the file gives it. Keys are as users type
// them: in either case, with spaces and tabs, short.
std::string SetRandomly(const QWidget& dialog, const Knob& knob, std::mt19937& random, int& index) {
  if (auto* edit = driver::Find<QLineEdit>(dialog, knob.controls[0])) {
    const QString keys[] = {"3A7C19E5B08D", "ff ff ff\tff ff ff", "\t0a1B 2c", "", "1\t2 3"};
    edit->setText(keys[random() % 5]);
    return "\"" + edit->text().replace('\t', "\\t").toStdString() + "\"";
  }
  auto* list = driver::Find<QComboBox>(dialog, knob.controls[0]);
  const int count = list != nullptr ? list->count() : std::max<int>(knob.controls.size(), 2);
  const unsigned draw = random() % 4;
  index = draw < 2 ? static_cast<int>(draw) * (count - 1) : static_cast<int>(random() % count);
  if (list != nullptr) list->setCurrentIndex(index);
  for (int r = 0; list == nullptr && r < knob.controls.size(); ++r) {
    driver::Find<QAbstractButton>(dialog, knob.controls[r])
        ->setChecked(knob.controls.size() > 1 ? r == index : index != 0);
  }
  if (!knob.words.empty()) return "\"" + knob.words[index] + "\"";
  return list != nullptr ? std::to_string(First(knob) + index) : index != 0 ? "true" : "false";
}

}  // namespace

class EquivalenceTest : public QObject {
  Q_OBJECT

  SimHost host_;
  SimReader& reader_ = host_.AddReader();
  ConfigDialog dialog_{host_};

  // What differs between the pages of the dialog's DownLoad and those of
  // tavrin-reader applying toml; empty when nothing does.
  QString Differences(const std::string& toml) {
    reader_.pages.clear();
    if (!driver::Click(dialog_, ControlId::DownloadButton)) return "no DownLoad";
    SimHost host;
    const SimReader& reader = host.AddReader();
    const std::string run = cli::RunTool(host, {"apply", cli::SettingsFile("random.toml", toml)});
    if (run[0] == '0' && reader_.pages.size() == 2 && reader.pages == reader_.pages) return {};
    return QString::fromStdString(toml + run);
  }

 private slots:
  void initTestCase() {
    dialog_.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog_));
    QVERIFY(driver::Click(dialog_, ControlId::ConnectButton));
  }

  // An empty file, and the template, hold the values the dialog starts with
  // (this runs first), under each family; one past either end of a numbered
  // list is refused.
  void startUpValuesAndRangesAreTheDialogs() {
    const std::string run = cli::RunTool(host_, {"template"});
    const std::string made = run.substr(2, run.size() - 4);  // "0|", the template, "||"
    const std::size_t at = made.find("family = \"iso14443a\"\n");
    for (int f = 0; f < 3; ++f) {
      for (int r = 0; r < 3; ++r)
        driver::Find<QAbstractButton>(dialog_, kKnobs[0].controls[r])->setChecked(r == f);
      const std::string family = "family = \"" + kKnobs[0].words[f] + "\"\n";
      for (const std::string& toml : {family, made.substr(0, at) + family + made.substr(at + 21)})
        QCOMPARE(Differences(toml), QString());
    }
    std::string below, above;
    int numbers = 0;
    for (const Knob& knob : kKnobs) {
      const auto* list = driver::Find<QComboBox>(dialog_, knob.controls[0]);
      if (list == nullptr || !knob.words.empty()) continue;
      below += Line(knob, std::to_string(First(knob) - 1));
      above += Line(knob, std::to_string(First(knob) + list->count()));
      ++numbers;
    }
    for (const std::string& toml : {below, above}) {
      const std::string run = cli::RunTool(host_, {"apply", cli::SettingsFile("range.toml", toml)});
      QVERIFY(run.starts_with("2||"));
      // A line for each, and "Nothing was sent to any reader."
      QCOMPARE(static_cast<int>(std::count(run.begin(), run.end(), '\n')), numbers + 1);
    }
  }

  void randomSettingsSendTheSamePages() {
    std::mt19937 random(2024);
    for (int run = 0; run < 600; ++run) {
      std::string toml;
      int family = 0, index = 0, anyKind = 0;
      for (const Knob& knob : kKnobs) {
        if (knob.family >= 0 && knob.family != family) continue;
        toml += Line(knob, SetRandomly(dialog_, knob, random, index));
        if (knob.key == "family") family = index;
        anyKind |= knob.family >= 0 && index != 0;
      }
      driver::Find<QAbstractButton>(dialog_, "OutputDataCheck")->setChecked(anyKind != 0);
      QCOMPARE(Differences(toml), QString());
    }
  }
};

}  // namespace tavrin

QTEST_MAIN(tavrin::EquivalenceTest)
#include "EquivalenceTest.moc"
