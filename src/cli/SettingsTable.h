// Every setting of a settings file: its name and table, the dialog control it
// stands for, the values it allows, its start-up value and what it means.
// Parsing, checking, the template, the dry run and the JSON all read this
// one table.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "config/CardFamilies.h"
#include "config/ControlId.h"
#include "config/PanelTable.h"

namespace tavrin::cli {

enum class SettingKind {
  Flag,         // a check box: true or false
  RadioChoice,  // one radio of a set, by name
  ListChoice,   // an item of a drop-down list, by name
  Number,       // an item of a numbered drop-down list, by its number
  KeyText,      // the Mifare key text
};

struct SettingDef {
  Panel panel;  // its table: the kind's, the SNR's, or Panel::None for the top
  const char* name;
  SettingKind kind;
  // The check box or list; for a radio choice, the radio of each choice.
  std::array<ControlId, 3> controls;
  std::span<const char* const> choices;  // RadioChoice, ListChoice
  int min = 0, max = 0;                  // Number; the list index is value - min
  int startUp = 0;                       // flag, choice index or number
  std::string meaning;
};

// All settings, in the order the template lists them.
const std::vector<SettingDef>& Settings();

// The table a panel's settings live in: "snr", "mifare", "ultralight", ...;
// empty for Panel::None.
std::string_view TableName(Panel panel);
std::optional<Panel> PanelOfTable(std::string_view table);

// What a table is about: "Mifare S50/S70 cards (family \"iso14443a\")".
std::string TableComment(Panel panel);

// "snr.end-count", or "family" at the top.
std::string QualifiedName(const SettingDef& setting);

// The setting called name in the table of panel; nullopt when there is none.
std::optional<std::size_t> FindSetting(Panel panel, std::string_view name);

// What the setting allows, for comments and messages: "true or false",
// "\"none\", \"down\", \"tab\", \"enter\" or \"pgdn\"", "0 to 63", ...
std::string AllowedText(const SettingDef& setting);

// The start-up Mifare key: 12 hexadecimal digits.
inline constexpr const char* kStartUpMifareKey = "3A7C19E5B08D";

// The card kind whose data a kind table's "output" setting types, and its
// family; nullptr for other settings.
const CardKind* KindOfOutput(const SettingDef& setting);
const CardFamily* FamilyOfPanel(Panel panel);

}  // namespace tavrin::cli
