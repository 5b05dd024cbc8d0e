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

Knob Check(const std::string& table, const std::string& key, const std::string& control) {
  return {table, key, Kind::Check, {control}, 0, 1, {}};
}
Knob Number(const std::string& table, const std::string& key, const std::string& control, int min,
            int max) {
  return {table, key, Kind::Number, {control}, min, max, {}};
}
Knob Key(const std::string& table, const std::string& key, const std::string& control) {
  return {table, key, Kind::Key, {control}, 0, 4, kKeys};
}
Knob Radio(const std::string& table, const std::string& key, std::vector<std::string> radios,
           std::vector<std::string> values) {
  const int last = static_cast<int>(values.size()) - 1;
  return {table, key, Kind::Radio, std::move(radios), 0, last, std::move(values)};
}

void AddEnding(std::vector<Knob>& knobs, const std::string& table, const std::string& prefix) {
  knobs.push_back(Check(table, "caps-lock", prefix + "CapsLockCheck"));
  knobs.push_back(Key(table, "block-end-key", prefix + "BlockEndKeyCombo"));
  knobs.push_back(Number(table, "block-end-count", prefix + "BlockEndCountCombo", 1, 10));
  knobs.push_back(Key(table, "data-end-key", prefix + "DataEndKeyCombo"));
  knobs.push_back(Number(table, "data-end-count", prefix + "DataEndCountCombo", 1, 10));
}

void AddPositions(std::vector<Knob>& knobs, const std::string& table, const std::string& prefix,
                  const std::vector<std::pair<std::string, int>>& places) {
  for (const char* end : {"start", "end"}) {
    for (const auto& [place, last] : places) {
      std::string control = prefix + (end[0] == 's' ? "Start" : "End") + place + "Combo";
      std::string lower = place;
      lower[0] = static_cast<char>(lower[0] - 'A' + 'a');
      knobs.push_back(Number(table, std::string(end) + "-" + lower, control, 0, last));
    }
  }
}

std::vector<Knob> MakeKnobs() {
  std::vector<Knob> knobs{
      Radio("", "family", {"TypeARadio", "TypeBRadio", "Iso15693Radio"},
            {"iso14443a", "iso14443b", "iso15693"}),
      Check("snr", "output", "OutputSnrCheck"),
      Radio("snr", "byte-order", {"SnrMsbFirstRadio", "SnrLsbFirstRadio"},
            {"msb-first", "lsb-first"}),
      Radio("snr", "number-base", {"SnrHexRadio", "SnrDecRadio"}, {"hex", "dec"}),
      Check("snr", "caps-lock", "SnrCapsLockCheck"),
      Key("snr", "end-key", "SnrEndKeyCombo"),
      Number("snr", "end-count", "SnrEndCountCombo", 1, 10),
      Radio("mifare", "mode", {"MifareMode1Radio", "MifareMode2Radio"}, {"mode1", "mode2"}),
  };
  AddPositions(knobs, "mifare", "Mifare", {{"Sector", 63}, {"Block", 3}, {"Byte", 15}});
  knobs.push_back(Radio("mifare", "key-type", {"MifareKeyARadio", "MifareKeyBRadio"}, {"a", "b"}));
  knobs.push_back({"mifare", "key", Kind::Text, {"MifareKeyEdit"}, 0, 0, {}});
  AddEnding(knobs, "mifare", "Mifare");
  struct BlockKind {
    const char *table, *prefix;
    int lastBlock, lastByte;
  };
  for (const BlockKind& kind :
       {BlockKind{"ultralight", "UltraLight", 15, 3}, BlockKind{"sr176", "Sr176", 15, 1},
        BlockKind{"sri", "Sri", 127, 3}, BlockKind{"icode", "ICode", 63, 3}}) {
    const std::string p = kind.prefix;
    knobs.push_back(
        Radio(kind.table, "mode", {p + "Mode1Radio", p + "Mode2Radio"}, {"mode1", "mode2"}));
    AddPositions(knobs, kind.table, p, {{"Block", kind.lastBlock}, {"Byte", kind.lastByte}});
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

  // The test's ranges are the dialog's lists, and the program refuses one
  // past either end.
  void rangesAreTheDialogsLists() {
    SimHost host;
    for (const Knob& knob : Knobs()) {
      if (knob.kind != Kind::Number && knob.kind != Kind::Key) continue;
      const auto* list =
          driver::Find<QComboBox>(Dialog(), QString::fromStdString(knob.controls[0]));
      QCOMPARE(list->count(), knob.max - knob.min + 1);
      if (knob.kind == Kind::Key) continue;
      for (int outside : {knob.min - 1, knob.max + 1}) {
        const std::string text =
            "[" + knob.table + "]\n" + knob.key + " = " + std::to_string(outside) + "\n";
        const cli::ToolRun run =
            cli::RunTool(host, {"apply", cli::SettingsFile("range.toml", text)});
        QVERIFY2(run.status == 2, text.c_str());
      }
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
