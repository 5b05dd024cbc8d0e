#include "config/Settings.h"

#include <algorithm>
#include <array>

#include "config/KeyUsage.h"

namespace tavrin {
namespace {

using C = ControlId;
using K = SettingKind;
using P = Panel;

constexpr int kLastCount = 10;

// In the order of the "Key" lists' items; the page holds the key's usage.
const std::vector<ChoiceDef> kKeys{{"none", C{}, "<None>", 0x00},
                                   {"down", C{}, "Down", kUsageDown},
                                   {"tab", C{}, "Tab", kUsageTab},
                                   {"enter", C{}, "Enter", kUsageEnter},
                                   {"pgdn", C{}, "PgDn", kUsagePageDown}};

// A card kind chosen by block and byte: where its page fields lie (mode and
// positions from modeOffset, its ending from capsOffset), the last items of
// its position lists and its controls.
struct BlockKind {
  Panel panel;
  const char* prefix;  // of its page fields' names
  std::size_t modeOffset, capsOffset;
  int lastBlock, lastByte;
  ControlId mode1, mode2, startBlock, endBlock, startByte, endByte;
  // Caps lock, then the key and count after every block and after the data.
  std::array<ControlId, 5> ending;
};

#define BLOCK_CONTROLS(p)                                                                         \
  C::p##Mode1Radio, C::p##Mode2Radio, C::p##StartBlockCombo, C::p##EndBlockCombo,                 \
      C::p##StartByteCombo, C::p##EndByteCombo, {                                                 \
    C::p##CapsLockCheck, C::p##BlockEndKeyCombo, C::p##BlockEndCountCombo, C::p##DataEndKeyCombo, \
        C::p##DataEndCountCombo                                                                   \
  }
const BlockKind kBlockKinds[] = {
    {P::UltraLight, "ultraLight", 21, 26, 15, 3, BLOCK_CONTROLS(UltraLight)},
    {P::Sr176, "sr176", 1, 10, 15, 1, BLOCK_CONTROLS(Sr176)},
    {P::Sri, "sri", 17, 26, 127, 3, BLOCK_CONTROLS(Sri)},
    {P::ICode, "iCode", 1, 10, 63, 3, BLOCK_CONTROLS(ICode)},
};
#undef BLOCK_CONTROLS

// Builds the rows of one table: its panel and its page.
class TableRows {
 public:
  TableRows(std::vector<SettingDef>& rows, Panel panel, PageNumber page)
      : rows_(rows), panel_(panel), page_(page) {}

  SettingDef& Add(std::string key, SettingKind kind, ControlId control, std::string meaning,
                  PageFieldInfo field) {
    SettingDef row;
    row.panel = panel_;
    row.key = std::move(key);
    row.kind = kind;
    row.control = control;
    row.meaning = std::move(meaning);
    row.page = page_;
    row.field = std::move(field);
    return rows_.emplace_back(std::move(row));
  }

  SettingDef& Flag(std::string key, ControlId check, std::string meaning, PageFieldInfo field) {
    return Add(std::move(key), K::Flag, check, std::move(meaning), std::move(field));
  }

  SettingDef& Choice(std::string key, std::vector<ChoiceDef> choices, ControlId list,
                     std::string meaning, PageFieldInfo field) {
    SettingDef& row = Add(std::move(key), K::Choice, list, std::move(meaning), std::move(field));
    row.max = static_cast<int>(choices.size()) - 1;
    row.choices = std::move(choices);
    return row;
  }

  SettingDef& Number(std::string key, ControlId list, int min, int max, std::string meaning,
                     PageFieldInfo field) {
    SettingDef& row = Add(std::move(key), K::Number, list, std::move(meaning), std::move(field));
    row.min = min;
    row.max = max;
    row.startUp = min;
    row.digits = min == 0 ? std::max<int>(2, static_cast<int>(std::to_string(max).size())) : 1;
    return row;
  }

  // A start or end position, named after what it is: "start-block".
  SettingDef& Position(std::string key, ControlId list, int last, PageFieldInfo field) {
    std::string meaning = key;
    std::replace(meaning.begin(), meaning.end(), '-', ' ');
    return Number(std::move(key), list, 0, last, std::move(meaning), std::move(field));
  }

  // The five settings of a "CapsLk / Every Block End / Data End" group.
  void Ending(const std::string& prefix, std::size_t at, std::array<ControlId, 5> c) {
    Flag("caps-lock", c[0], "the \"CapsLk\" option", {at, 1, prefix + "CapsLock"});
    Choice("block-end-key", kKeys, c[1], "key pressed after every block",
           {at + 1, 1, prefix + "BlockEndKey"});
    Number("block-end-count", c[2], 1, kLastCount, "how many times it is pressed",
           {at + 2, 1, prefix + "BlockEndKeyCount"});
    Choice("data-end-key", kKeys, c[3], "key pressed after the data",
           {at + 3, 1, prefix + "DataEndKey"});
    Number("data-end-count", c[4], 1, kLastCount, "how many times it is pressed",
           {at + 4, 1, prefix + "DataEndKeyCount"});
  }

  // The card kind's output flag: one bit of its family's field.
  void KindOutput() {
    const CardFamily& family = *FamilyOfPanel(panel_);
    const auto kinds = family.Kinds();
    const auto index = static_cast<std::size_t>(
        std::find_if(kinds.begin(), kinds.end(),
                     [&](const CardKind& k) { return k.panel == panel_; }) -
        kinds.begin());
    const ControlId check = index == 0 ? C::CardKind1Check : C::CardKind2Check;
    SettingDef& row = Flag("output", check, "type the data of these cards",
                           {family.kindsOffset, 1, family.kindsFieldName});
    row.page = PageNumber::System;
    row.bit = static_cast<std::uint8_t>(1u << index);
  }

  std::size_t Last() const { return rows_.size() - 1; }

 private:
  std::vector<SettingDef>& rows_;
  Panel panel_;
  PageNumber page_;
};

std::vector<ChoiceDef> Radios(std::initializer_list<ChoiceDef> choices) { return choices; }

void AddFamily(std::vector<SettingDef>& rows) {
  std::vector<ChoiceDef> families;
  for (const CardFamily& family : kCardFamilies)
    families.push_back({family.key, family.radio, "", family.familyValue});
  TableRows(rows, P::None, PageNumber::System)
      .Choice("family", families, C{}, "the card family whose page is written",
              {2, 1, "cardFamily"});
}

void AddSnr(std::vector<SettingDef>& rows) {
  TableRows t(rows, P::Snr, PageNumber::System);
  t.Flag("output", C::OutputSnrCheck, "type the card's serial number", {16, 1, "snrEnabled"})
      .startUp = 1;
  const std::size_t output = t.Last();
  t.Choice("byte-order",
           Radios({{"msb-first", C::SnrMsbFirstRadio, "", 0},
                   {"lsb-first", C::SnrLsbFirstRadio, "", 1}}),
           C{}, "byte order of the serial number", {17, 1, "snrLsbFirst"})
      .onlyWith = output;
  t.Choice("number-base", Radios({{"hex", C::SnrHexRadio, "", 0}, {"dec", C::SnrDecRadio, "", 1}}),
           C{}, "number base of the serial number", {18, 1, "snrDecimal"})
      .onlyWith = output;
  t.Flag("caps-lock", C::SnrCapsLockCheck, "the \"CapsLk\" option", {26, 1, "snrCapsLock"});
  t.Choice("end-key", kKeys, C::SnrEndKeyCombo, "key pressed after the serial number",
           {27, 1, "snrEndKey"});
  t.Number("end-count", C::SnrEndCountCombo, 1, kLastCount, "how many times it is pressed",
           {28, 1, "snrEndKeyCount"});
}

std::vector<ChoiceDef> Modes(ControlId mode1, ControlId mode2) {
  return {{"mode1", mode1, "", kMode1}, {"mode2", mode2, "", kMode2}};
}

void AddMifare(std::vector<SettingDef>& rows) {
  TableRows t(rows, P::Mifare, PageNumber::TypeA);
  t.KindOutput();
  t.Choice("mode", Modes(C::MifareMode1Radio, C::MifareMode2Radio), C{}, "the \"Output Mode\"",
           {1, 1, "mifareMode"});
  t.Position("start-sector", C::MifareStartSectorCombo, 63, {2, 1, "mifareStartSector"});
  const std::size_t startSector = t.Last();
  t.Position("start-block", C::MifareStartBlockCombo, 3, {3, 1, "mifareStartBlock"});
  t.Position("start-byte", C::MifareStartByteCombo, 15, {4, 1, "mifareStartByte"});
  SettingDef& endSector =
      t.Position("end-sector", C::MifareEndSectorCombo, 63, {5, 1, "mifareEndSector"});
  endSector.meaning = "end sector, raised to start-sector when below it";
  endSector.raisedTo = startSector;
  t.Position("end-block", C::MifareEndBlockCombo, 3, {6, 1, "mifareEndBlock"});
  t.Position("end-byte", C::MifareEndByteCombo, 15, {7, 1, "mifareEndByte"}).startUp = 15;
  t.Choice("key-type",
           Radios({{"a", C::MifareKeyARadio, "", kMifareKeyA},
                   {"b", C::MifareKeyBRadio, "", kMifareKeyB}}),
           C{}, "Mifare key A or key B", {9, 1, "mifareKeyType"});
  t.Add("key", K::KeyText, C::MifareKeyEdit, "the sector key", {10, kMifareKeySize, "mifareKey"});
  t.Ending("mifare", 16,
           {C::MifareCapsLockCheck, C::MifareBlockEndKeyCombo, C::MifareBlockEndCountCombo,
            C::MifareDataEndKeyCombo, C::MifareDataEndCountCombo});
}

void AddBlockKind(std::vector<SettingDef>& rows, const BlockKind& kind) {
  TableRows t(rows, kind.panel, FamilyOfPanel(kind.panel)->page);
  const std::string p = kind.prefix;
  const std::size_t at = kind.modeOffset;
  t.KindOutput();
  t.Choice("mode", Modes(kind.mode1, kind.mode2), C{}, "the \"Output Mode\"", {at, 1, p + "Mode"});
  t.Position("start-block", kind.startBlock, kind.lastBlock, {at + 1, 1, p + "StartBlock"});
  const std::size_t startBlock = t.Last();
  SettingDef& endBlock =
      t.Position("end-block", kind.endBlock, kind.lastBlock, {at + 2, 1, p + "EndBlock"});
  endBlock.meaning = "end block, raised to start-block when below it";
  endBlock.raisedTo = startBlock;
  t.Position("start-byte", kind.startByte, kind.lastByte, {at + 3, 1, p + "StartByte"});
  t.Position("end-byte", kind.endByte, kind.lastByte, {at + 4, 1, p + "EndByte"}).startUp =
      kind.lastByte;
  t.Ending(p, kind.capsOffset, kind.ending);
}

std::vector<SettingDef> MakeSchema() {
  std::vector<SettingDef> rows;
  AddFamily(rows);
  AddSnr(rows);
  AddMifare(rows);
  for (const BlockKind& kind : kBlockKinds) AddBlockKind(rows, kind);
  return rows;
}

bool IsUpperHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

}  // namespace

const std::vector<SettingDef>& SettingsSchema() {
  static const std::vector<SettingDef> rows = MakeSchema();
  return rows;
}

std::optional<std::size_t> FindSetting(Panel panel, std::string_view key) {
  const std::vector<SettingDef>& rows = SettingsSchema();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].panel == panel && rows[i].key == key) return i;
  }
  return std::nullopt;
}

std::vector<std::size_t> KindOutputSettings(const CardFamily& family) {
  std::vector<std::size_t> rows;
  for (const CardKind& kind : family.Kinds()) rows.push_back(*FindSetting(kind.panel, "output"));
  return rows;
}

bool IsSentWith(const SettingDef& row, const CardFamily& family) {
  const CardFamily* owner = FamilyOfPanel(row.panel);
  return owner == nullptr || owner == &family;
}

Settings StartUpSettings() {
  Settings settings{{}, kStartUpMifareKey};
  for (const SettingDef& row : SettingsSchema()) settings.values.push_back(row.startUp);
  return settings;
}

const CardFamily& ChosenFamily(const Settings& settings) {
  return kCardFamilies.at(static_cast<std::size_t>(settings.values.at(kFamilySetting)));
}

std::vector<const CardKind*> ChosenKinds(const Settings& settings) {
  std::vector<const CardKind*> kinds;
  for (const CardKind& kind : ChosenFamily(settings).Kinds()) {
    if (settings.values[*FindSetting(kind.panel, "output")] != 0) kinds.push_back(&kind);
  }
  return kinds;
}

Settings Adjusted(Settings settings) {
  const CardFamily& family = ChosenFamily(settings);
  const std::vector<SettingDef>& rows = SettingsSchema();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!rows[i].raisedTo || !IsSentWith(rows[i], family)) continue;
    settings.values[i] = std::max(settings.values[i], settings.values[*rows[i].raisedTo]);
  }
  if (family.page == PageNumber::TypeA) settings.mifareKey = SentMifareKey(settings.mifareKey);
  return settings;
}

std::string WithoutBlanks(std::string keyText) {
  std::erase(keyText, ' ');
  std::erase(keyText, '\t');
  return keyText;
}

std::string SentMifareKey(const std::string& keyText) {
  std::string key = (WithoutBlanks(keyText) + "777777777777").substr(0, kMifareKeyChars);
  for (char& c : key) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return key;
}

bool DialogAcceptsMifareKey(const std::string& keyText) {
  const std::string key = SentMifareKey(keyText);
  return std::all_of(key.begin(), key.end(), IsUpperHexDigit);
}

bool FileAcceptsMifareKey(const std::string& keyText) {
  return WithoutBlanks(keyText).size() <= kMifareKeyChars && DialogAcceptsMifareKey(keyText);
}

}  // namespace tavrin
