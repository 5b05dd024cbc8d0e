#include "cli/SettingsTable.h"

#include <algorithm>

#include "cli/TextOutput.h"
#include "config/PageAssembly.h"

namespace tavrin::cli {
namespace {

using C = ControlId;
using K = SettingKind;

constexpr const char* kFamilyNames[] = {"iso14443a", "iso14443b", "iso15693"};
constexpr const char* kByteOrders[] = {"msb-first", "lsb-first"};
constexpr const char* kNumberBases[] = {"hex", "dec"};
constexpr const char* kModes[] = {"mode1", "mode2"};
constexpr const char* kKeyTypes[] = {"a", "b"};
// In the order of the "Key" lists' items.
constexpr const char* kKeyNames[] = {"none", "down", "tab", "enter", "pgdn"};

struct TableDef {
  Panel panel;
  const char* name;
};
constexpr TableDef kTables[] = {
    {Panel::Snr, "snr"},     {Panel::Mifare, "mifare"}, {Panel::UltraLight, "ultralight"},
    {Panel::Sr176, "sr176"}, {Panel::Sri, "sri"},       {Panel::ICode, "icode"},
};

// A card kind chosen by block and byte: the controls the pages are read
// from, its "Mode2" radio and the last items of its position lists.
struct BlockKind {
  Panel panel;
  const BlockKindControls* controls;
  ControlId mode2;
  int lastBlock, lastByte;
};
constexpr BlockKind kBlockKinds[] = {
    {Panel::UltraLight, &kUltraLightControls, C::UltraLightMode2Radio, 15, 3},
    {Panel::Sr176, &kSr176Controls, C::Sr176Mode2Radio, 15, 1},
    {Panel::Sri, &kSriControls, C::SriMode2Radio, 127, 3},
    {Panel::ICode, &kICodeControls, C::ICodeMode2Radio, 63, 3},
};

constexpr int kLastCount = 10;

SettingDef Flag(Panel panel, const char* name, ControlId check, bool startUp, std::string meaning) {
  return {panel, name, K::Flag, {check}, {}, 0, 1, startUp ? 1 : 0, std::move(meaning)};
}

SettingDef Radios(Panel panel, const char* name, std::array<ControlId, 3> radios,
                  std::span<const char* const> choices, std::string meaning) {
  return {panel, name, K::RadioChoice, radios, choices, 0, 0, 0, std::move(meaning)};
}

SettingDef Key(Panel panel, const char* name, ControlId list, std::string meaning) {
  return {panel, name, K::ListChoice, {list}, kKeyNames, 0, 0, 0, std::move(meaning)};
}

SettingDef Number(Panel panel, const char* name, ControlId list, int min, int max, int startUp,
                  std::string meaning) {
  return {panel, name, K::Number, {list}, {}, min, max, startUp, std::move(meaning)};
}

SettingDef Position(Panel panel, const char* name, ControlId list, int last, int startUp = 0) {
  std::string meaning = name;
  std::replace(meaning.begin(), meaning.end(), '-', ' ');
  return Number(panel, name, list, 0, last, startUp, std::move(meaning));
}

void AddEnding(std::vector<SettingDef>& rows, Panel panel, const EndingControls& ending) {
  rows.push_back(Flag(panel, "caps-lock", ending.capsLock, false, "the \"CapsLk\" option"));
  rows.push_back(Key(panel, "block-end-key", ending.blockEndKey, "key pressed after every block"));
  rows.push_back(Number(panel, "block-end-count", ending.blockEndCount, 1, kLastCount, 1,
                        "how many times it is pressed"));
  rows.push_back(Key(panel, "data-end-key", ending.dataEndKey, "key pressed after the data"));
  rows.push_back(Number(panel, "data-end-count", ending.dataEndCount, 1, kLastCount, 1,
                        "how many times it is pressed"));
}

void AddSnr(std::vector<SettingDef>& rows) {
  const Panel p = Panel::Snr;
  rows.push_back(Flag(p, "output", C::OutputSnrCheck, true, "type the card's serial number"));
  rows.push_back(Radios(p, "byte-order", {C::SnrMsbFirstRadio, C::SnrLsbFirstRadio}, kByteOrders,
                        "byte order of the serial number"));
  rows.push_back(Radios(p, "number-base", {C::SnrHexRadio, C::SnrDecRadio}, kNumberBases,
                        "number base of the serial number"));
  rows.push_back(Flag(p, "caps-lock", C::SnrCapsLockCheck, false, "the \"CapsLk\" option"));
  rows.push_back(Key(p, "end-key", C::SnrEndKeyCombo, "key pressed after the serial number"));
  rows.push_back(Number(p, "end-count", C::SnrEndCountCombo, 1, kLastCount, 1,
                        "how many times it is pressed"));
}

// The card-kind check box that stands for the kind under its family.
ControlId KindCheckOf(Panel panel) {
  const auto kinds = FamilyOfPanel(panel)->Kinds();
  return kinds[0].panel == panel ? C::CardKind1Check : C::CardKind2Check;
}

void AddMifare(std::vector<SettingDef>& rows) {
  const Panel p = Panel::Mifare;
  rows.push_back(Flag(p, "output", KindCheckOf(p), false, "type the data of these cards"));
  rows.push_back(
      Radios(p, "mode", {C::MifareMode1Radio, C::MifareMode2Radio}, kModes, "the \"Output Mode\""));
  rows.push_back(Position(p, "start-sector", C::MifareStartSectorCombo, 63));
  rows.push_back(Position(p, "start-block", C::MifareStartBlockCombo, 3));
  rows.push_back(Position(p, "start-byte", C::MifareStartByteCombo, 15));
  rows.push_back(Number(p, "end-sector", C::MifareEndSectorCombo, 0, 63, 0,
                        "end sector, raised to start-sector when below it"));
  rows.push_back(Position(p, "end-block", C::MifareEndBlockCombo, 3));
  rows.push_back(Position(p, "end-byte", C::MifareEndByteCombo, 15, 15));
  rows.push_back(Radios(p, "key-type", {C::MifareKeyARadio, C::MifareKeyBRadio}, kKeyTypes,
                        "Mifare key A or key B"));
  rows.push_back({p, "key", K::KeyText, {C::MifareKeyEdit}, {}, 0, 0, 0, "the sector key"});
  AddEnding(rows, p, kMifareEnding);
}

void AddBlockKind(std::vector<SettingDef>& rows, const BlockKind& kind) {
  const Panel p = kind.panel;
  const BlockKindControls& c = *kind.controls;
  rows.push_back(Flag(p, "output", KindCheckOf(p), false, "type the data of these cards"));
  rows.push_back(Radios(p, "mode", {c.mode1, kind.mode2}, kModes, "the \"Output Mode\""));
  rows.push_back(Position(p, "start-block", c.startBlock, kind.lastBlock));
  rows.push_back(Number(p, "end-block", c.endBlock, 0, kind.lastBlock, 0,
                        "end block, raised to start-block when below it"));
  rows.push_back(Position(p, "start-byte", c.startByte, kind.lastByte));
  rows.push_back(Position(p, "end-byte", c.endByte, kind.lastByte, kind.lastByte));
  AddEnding(rows, p, c.ending);
}

std::vector<SettingDef> MakeSettings() {
  std::vector<SettingDef> rows;
  rows.push_back(Radios(Panel::None, "family",
                        {kCardFamilies[0].radio, kCardFamilies[1].radio, kCardFamilies[2].radio},
                        kFamilyNames, "the card family whose page is written"));
  AddSnr(rows);
  AddMifare(rows);
  for (const BlockKind& kind : kBlockKinds) AddBlockKind(rows, kind);
  return rows;
}

}  // namespace

const std::vector<SettingDef>& Settings() {
  static const std::vector<SettingDef> rows = MakeSettings();
  return rows;
}

std::string_view TableName(Panel panel) {
  for (const TableDef& table : kTables) {
    if (table.panel == panel) return table.name;
  }
  return {};
}

std::optional<Panel> PanelOfTable(std::string_view name) {
  for (const TableDef& table : kTables) {
    if (table.name == name) return table.panel;
  }
  return std::nullopt;
}

std::string TableComment(Panel panel) {
  if (panel == Panel::Snr) return "the card serial number (SNR)";
  const CardFamily* family = FamilyOfPanel(panel);
  const std::size_t index = static_cast<std::size_t>(family - kCardFamilies.data());
  return std::string(TabCaptionOf(panel)) + " cards (family " + Quoted(kFamilyNames[index]) + ")";
}

std::string QualifiedName(const SettingDef& setting) {
  const std::string_view table = TableName(setting.panel);
  return table.empty() ? setting.name : std::string(table) + "." + setting.name;
}

std::optional<std::size_t> FindSetting(Panel panel, std::string_view name) {
  const std::vector<SettingDef>& rows = Settings();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].panel == panel && rows[i].name == name) return i;
  }
  return std::nullopt;
}

std::string AllowedText(const SettingDef& setting) {
  switch (setting.kind) {
    case K::Flag:
      return "true or false";
    case K::Number:
      return std::to_string(setting.min) + " to " + std::to_string(setting.max);
    case K::KeyText:
      return "12 hexadecimal digits (0-9, A-F); spaces are ignored, a shorter key is filled up "
             "with 7s";
    case K::RadioChoice:
    case K::ListChoice:
      break;
  }
  std::string text;
  for (std::size_t i = 0; i < setting.choices.size(); ++i) {
    if (i > 0) text += i + 1 == setting.choices.size() ? " or " : ", ";
    text += Quoted(setting.choices[i]);
  }
  return text;
}

const CardFamily* FamilyOfPanel(Panel panel) {
  for (const CardFamily& family : kCardFamilies) {
    for (const CardKind& kind : family.Kinds()) {
      if (kind.panel == panel) return &family;
    }
  }
  return nullptr;
}

const CardKind* KindOfOutput(const SettingDef& setting) {
  if (std::string_view(setting.name) != "output") return nullptr;
  const CardFamily* family = FamilyOfPanel(setting.panel);
  if (family == nullptr) return nullptr;
  const auto kinds = family->Kinds();
  const auto kind = std::find_if(kinds.begin(), kinds.end(),
                                 [&](const CardKind& k) { return k.panel == setting.panel; });
  return kind == kinds.end() ? nullptr : &*kind;
}

}  // namespace tavrin::cli
