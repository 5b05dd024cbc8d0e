// The dialog and a settings file set alike send the same pages: random
// settings are set on the real dialog, which downloads them to one simulated
// reader, and written as a settings file, which tavrin-reader applies to
// another. The names below are the test's own, so a wrong mapping in the
// program's settings table shows up as a difference.
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "FormDriver.h"
#include "ToolRun.h"
#include "cli/SettingsFile.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

enum class Kind { Check, Radio, Key, Number, Text };

struct Knob {
  std::string table, key;
  Kind kind;
  std::vector<std::string> controls;  // one, or a radio per value
  int min = 0, max = 0;
  std::vector<std::string> values;  // Radio and Key: the file's words
};

const std::vector<std::string> kKeys{"none", "down", "tab", "enter", "pgdn"};

void AddEnding(std::vector<Knob>& knobs, const std::string& table, const std::string& prefix) {
  knobs.push_back({table, "caps-lock", Kind::Check, {prefix + "CapsLockCheck"}});
  knobs.push_back({table, "block-end-key", Kind::Key, {prefix + "BlockEndKeyCombo"}, 0, 4, kKeys});
  knobs.push_back({table, "block-end-count", Kind::Number, {prefix + "BlockEndCountCombo"}, 1, 10});
  knobs.push_back({table, "data-end-key", Kind::Key, {prefix + "DataEndKeyCombo"}, 0, 4, kKeys});
  knobs.push_back({table, "data-end-count", Kind::Number, {prefix + "DataEndCountCombo"}, 1, 10});
}

void AddMode(std::vector<Knob>& knobs, const std::string& table, const std::string& prefix) {
  knobs.push_back({table,
                   "mode",
                   Kind::Radio,
                   {prefix + "Mode1Radio", prefix + "Mode2Radio"},
                   0,
                   1,
                   {"mode1", "mode2"}});
}

std::vector<Knob> MakeKnobs() {
  std::vector<Knob> knobs{
      {"",
       "family",
       Kind::Radio,
       {"TypeARadio", "TypeBRadio", "Iso15693Radio"},
       0,
       2,
       {"iso14443a", "iso14443b", "iso15693"}},
      {"snr", "output", Kind::Check, {"OutputSnrCheck"}},
      {"snr",
       "byte-order",
       Kind::Radio,
       {"SnrMsbFirstRadio", "SnrLsbFirstRadio"},
       0,
       1,
       {"msb-first", "lsb-first"}},
      {"snr", "number-base", Kind::Radio, {"SnrHexRadio", "SnrDecRadio"}, 0, 1, {"hex", "dec"}},
      {"snr", "caps-lock", Kind::Check, {"SnrCapsLockCheck"}},
      {"snr", "end-key", Kind::Key, {"SnrEndKeyCombo"}, 0, 4, kKeys},
      {"snr", "end-count", Kind::Number, {"SnrEndCountCombo"}, 1, 10},
  };
  AddMode(knobs, "mifare", "Mifare");
  for (const char* end : {"Start", "End"}) {
    const std::string key = end == std::string("Start") ? "start-" : "end-";
    knobs.push_back({"mifare",
                     key + "sector",
                     Kind::Number,
                     {"Mifare" + (end + std::string("SectorCombo"))},
                     0,
                     63});
    knobs.push_back({"mifare",
                     key + "block",
                     Kind::Number,
                     {"Mifare" + (end + std::string("BlockCombo"))},
                     0,
                     3});
    knobs.push_back({"mifare",
                     key + "byte",
                     Kind::Number,
                     {"Mifare" + (end + std::string("ByteCombo"))},
                     0,
                     15});
  }
  knobs.push_back({"mifare",
                   "key-type",
                   Kind::Radio,
                   {"MifareKeyARadio", "MifareKeyBRadio"},
                   0,
                   1,
                   {"a", "b"}});
  knobs.push_back({"mifare", "key", Kind::Text, {"MifareKeyEdit"}});
  AddEnding(knobs, "mifare", "Mifare");
  struct BlockKind {
    const char *table, *prefix;
    int lastBlock, lastByte;
  };
  for (const BlockKind& kind :
       {BlockKind{"ultralight", "UltraLight", 15, 3}, BlockKind{"sr176", "Sr176", 15, 1},
        BlockKind{"sri", "Sri", 127, 3}, BlockKind{"icode", "ICode", 63, 3}}) {
    const std::string p = kind.prefix;
    AddMode(knobs, kind.table, p);
    knobs.push_back(
        {kind.table, "start-block", Kind::Number, {p + "StartBlockCombo"}, 0, kind.lastBlock});
    knobs.push_back(
        {kind.table, "end-block", Kind::Number, {p + "EndBlockCombo"}, 0, kind.lastBlock});
    knobs.push_back(
        {kind.table, "start-byte", Kind::Number, {p + "StartByteCombo"}, 0, kind.lastByte});
    knobs.push_back({kind.table, "end-byte", Kind::Number, {p + "EndByteCombo"}, 0, kind.lastByte});
    AddEnding(knobs, kind.table, p);
  }
  return knobs;
}

const std::vector<Knob>& Knobs() {
  static const std::vector<Knob> knobs = MakeKnobs();
  return knobs;
}

// The card kinds of each family, by family index: their tables.
const std::vector<std::vector<std::string>> kKindTables{
    {"mifare", "ultralight"}, {"sr176", "sri"}, {"icode"}};

// A key as a user might type it: 12 hex digits or fewer, in either case,
// with spaces and tabs anywhere.
std::string RandomKey(std::mt19937& random) {
  const std::string digits = "0123456789ABCDEFabcdef";
  const int length = random() % 4 == 0 ? static_cast<int>(random() % 12) : 12;
  std::string key;
  for (int i = 0; i < length; ++i) {
    if (random() % 6 == 0) key += random() % 2 ? ' ' : '\t';
    key += digits[random() % digits.size()];
  }
  return key;
}

// Often an end of the range, else anywhere in it.
int RandomValue(std::mt19937& random, const Knob& knob) {
  switch (random() % 4) {
    case 0:
      return knob.min;
    case 1:
      return knob.max;
    default:
      return knob.min + static_cast<int>(random() % static_cast<unsigned>(knob.max - knob.min + 1));
  }
}

std::string TomlString(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) quoted += c == '\t' ? std::string("\\t") : std::string(1, c);
  return quoted + "\"";
}

struct RandomSettings {
  std::vector<int> values;  // per knob
  std::string key;
  bool kind1 = false, kind2 = false;
};

RandomSettings Draw(std::mt19937& random) {
  RandomSettings settings;
  for (const Knob& knob : Knobs()) {
    settings.values.push_back(knob.kind == Kind::Check ? static_cast<int>(random() % 2)
                                                       : RandomValue(random, knob));
  }
  settings.key = RandomKey(random);
  settings.kind1 = random() % 2;
  settings.kind2 = random() % 2;
  return settings;
}

// The same settings as a settings file, table by table.
std::string AsToml(const RandomSettings& settings) {
  const int family = settings.values[0];
  std::string text;
  std::string table;
  for (std::size_t i = 0; i < Knobs().size(); ++i) {
    const Knob& knob = Knobs()[i];
    if (knob.table != table) {
      table = knob.table;
      text += "[" + table + "]\n";
      const auto& kinds = kKindTables[static_cast<std::size_t>(family)];
      const auto at = std::find(kinds.begin(), kinds.end(), table);
      if (at != kinds.end())
        text += std::string("output = ") +
                ((at == kinds.begin() ? settings.kind1 : settings.kind2) ? "true" : "false") + "\n";
    }
    const int value = settings.values[i];
    text += knob.key + " = ";
    switch (knob.kind) {
      case Kind::Check:
        text += value ? "true" : "false";
        break;
      case Kind::Radio:
      case Kind::Key:
        text += TomlString(knob.values[static_cast<std::size_t>(value)]);
        break;
      case Kind::Number:
        text += std::to_string(value);
        break;
      case Kind::Text:
        text += TomlString(settings.key);
        break;
    }
    text += "\n";
  }
  return text;
}

}  // namespace

class EquivalenceTest : public QObject {
  Q_OBJECT

 private:
  SimHost host_;
  SimReader& reader_ = host_.AddReader();
  std::unique_ptr<ConfigDialog> dialog_;

  QWidget& Dialog() { return *dialog_; }

  void SetOnDialog(const RandomSettings& settings) {
    for (std::size_t i = 0; i < Knobs().size(); ++i) {
      const Knob& knob = Knobs()[i];
      const int value = settings.values[i];
      const QString control = QString::fromStdString(knob.controls[0]);
      switch (knob.kind) {
        case Kind::Check:
          driver::Find<QAbstractButton>(Dialog(), control)->setChecked(value != 0);
          break;
        case Kind::Radio:
          for (std::size_t r = 0; r < knob.controls.size(); ++r) {
            driver::Find<QAbstractButton>(Dialog(), QString::fromStdString(knob.controls[r]))
                ->setChecked(static_cast<int>(r) == value);
          }
          break;
        case Kind::Key:
        case Kind::Number:
          driver::Find<QComboBox>(Dialog(), control)->setCurrentIndex(value - knob.min);
          break;
        case Kind::Text:
          driver::Find<QLineEdit>(Dialog(), control)->setText(QString::fromStdString(settings.key));
          break;
      }
    }
    driver::SetChecked(Dialog(), ControlId::OutputDataCheck, settings.kind1 || settings.kind2);
    driver::SetChecked(Dialog(), ControlId::CardKind1Check, settings.kind1);
    driver::SetChecked(Dialog(), ControlId::CardKind2Check, settings.kind2);
  }

  // What the dialog's reader stores after a DownLoad of these settings.
  std::map<std::uint8_t, std::array<std::uint8_t, kPageSize>> DownloadOnDialog(
      const RandomSettings& settings) {
    SetOnDialog(settings);
    reader_.pages.clear();
    if (!driver::Click(Dialog(), ControlId::DownloadButton)) return {};
    return reader_.pages;
  }

 private slots:
  void initTestCase() {
    dialog_ = std::make_unique<ConfigDialog>(host_);
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
    QVERIFY(driver::Click(Dialog(), ControlId::ConnectButton));
    QCOMPARE(host_.OpenHandles(), 1);
  }

  void cleanupTestCase() { dialog_.reset(); }

  // A missing setting, and every setting of the template, is what the
  // dialog shows right after it starts.
  void startUpValuesAreTheDialogs() {
    SimHost idle;
    ConfigDialog fresh(idle);
    FormView& dialog = fresh;
    for (const std::string& text : {std::string(), cli::SettingsTemplate()}) {
      const cli::ParsedSettings parsed = cli::ParseSettings(text, "start-up.toml");
      QVERIFY(parsed.errors.empty());
      cli::SettingsForm file = parsed.form;
      for (const Knob& knob : Knobs()) {
        for (const std::string& name : knob.controls) {
          const auto id = static_cast<ControlId>(
              driver::Find(fresh, QString::fromStdString(name))->property("controlId").toInt());
          if (knob.kind == Kind::Check || knob.kind == Kind::Radio) {
            QVERIFY2(file.IsChecked(id) == dialog.IsChecked(id), name.c_str());
          } else if (knob.kind != Kind::Text) {
            QVERIFY2(file.SelectedIndex(id) == dialog.SelectedIndex(id), name.c_str());
          }
        }
      }
      QCOMPARE(file.MifareKeyText(), dialog.MifareKeyText());
      QVERIFY(!file.IsChecked(ControlId::CardKind1Check) &&
              !file.IsChecked(ControlId::CardKind2Check));
    }
  }

  void randomSettingsSendTheSamePages() {
    const char* seedText = std::getenv("TAVRIN_EQUIVALENCE_SEED");
    const unsigned seed = seedText != nullptr ? static_cast<unsigned>(std::atoll(seedText)) : 2024;
    const char* countText = std::getenv("TAVRIN_EQUIVALENCE_COUNT");
    const int count = countText != nullptr ? std::atoi(countText) : 600;
    std::mt19937 random(seed);
    const std::string file = cli::SettingsFile("equivalence.toml", "");
    std::set<int> families;
    for (int run = 0; run < count; ++run) {
      const RandomSettings settings = Draw(random);
      const std::string toml = AsToml(settings);
      const auto fromDialog = DownloadOnDialog(settings);
      SimHost host;
      SimReader& reader = host.AddReader();
      cli::SettingsFile("equivalence.toml", toml);
      const cli::ToolRun applied = cli::RunTool(host, {"apply", file});
      const std::string context = "seed " + std::to_string(seed) + ", run " + std::to_string(run) +
                                  ":\n" + toml + applied.err;
      QVERIFY2(applied.status == 0, context.c_str());
      QVERIFY2(fromDialog.size() == 2 && reader.pages == fromDialog, context.c_str());
      families.insert(settings.values[0]);
    }
    QCOMPARE(families.size(), std::size_t{3});
  }
};

}  // namespace tavrin

QTEST_MAIN(tavrin::EquivalenceTest)
#include "EquivalenceTest.moc"
