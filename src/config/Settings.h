// Every setting once: its name in a settings file, the control that shows
// it, what it allows, its start-up value and the page field it fills. The
// dialog, the page assembly and tavrin-reader all read this one table, and
// Settings holds one value for each of its rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/CardFamilies.h"
#include "config/ConfigPage.h"
#include "config/ControlId.h"
#include "config/PanelTable.h"

namespace tavrin {

enum class SettingKind {
  Flag,     // a check box: 0 or 1
  Choice,   // one of named values, shown by radios or as a list's items
  Number,   // a numbered list's item, by its number
  KeyText,  // the Mifare key text, held apart in Settings
};

// One value of a choice.
struct ChoiceDef {
  const char* key;    // in a settings file: "lsb-first"
  ControlId radio;    // the radio that shows it; ControlId{} in a list
  const char* item;   // the list item that shows it; "" for a radio
  std::uint8_t code;  // what the page holds for it
};

struct SettingDef {
  Panel panel = Panel::None;  // Panel::None for the top of a file
  std::string key;
  SettingKind kind = SettingKind::Flag;
  ControlId control{};  // the check box, list or edit box; radios are the choices'
  std::vector<ChoiceDef> choices;
  int min = 0, max = 1;  // allowed values; a list's item index is value - min
  int digits = 0;        // a numbered list shows its numbers zero-padded to this
  int startUp = 0;
  std::string meaning;
  PageNumber page = PageNumber::System;
  PageFieldInfo field;
  // A flag that is one bit of its field; 0 when the field holds 0 or 1.
  std::uint8_t bit = 0;
  // An end position: the start that it is raised to when below it.
  std::optional<std::size_t> raisedTo;
  // Sent only while this flag is on; otherwise its field stays 0.
  std::optional<std::size_t> onlyWith;
};

// Every setting, in the order a settings file lists them.
const std::vector<SettingDef>& SettingsSchema();

// The row called key in the table of panel (Panel::None for the top).
std::optional<std::size_t> FindSetting(Panel panel, std::string_view key);

// The row of the family choice.
inline constexpr std::size_t kFamilySetting = 0;

// The rows of a family's card kinds' output flags, in kind order.
std::vector<std::size_t> KindOutputSettings(const CardFamily& family);

// Whether the row is sent when family is chosen: the family page's rows
// and the system page's, but of the card-kind flags only the family's own.
bool IsSentWith(const SettingDef& row, const CardFamily& family);

inline constexpr const char* kStartUpMifareKey = "3A7C19E5B08D";
inline constexpr std::size_t kMifareKeyChars = 12;

// One value per schema row, and the Mifare key as typed.
struct Settings {
  std::vector<int> values;
  std::string mifareKey;

  bool operator==(const Settings&) const = default;
};

Settings StartUpSettings();

const CardFamily& ChosenFamily(const Settings& settings);

// The card kinds of the chosen family whose data is typed.
std::vector<const CardKind*> ChosenKinds(const Settings& settings);

// What the dialog does to the settings of the chosen family before it sends
// them: an end position below its start is raised to it, and the Mifare key
// becomes the twelve characters sent. Settings of other families are not
// sent and stay.
Settings Adjusted(Settings settings);

// The key text without the spaces and tabs a user may group digits with.
std::string WithoutBlanks(std::string keyText);

// The twelve characters a DownLoad sends of the key text: without blanks,
// a-z raised to upper case, filled up with 7s, and cut after the twelfth.
std::string SentMifareKey(const std::string& keyText);

// The dialog's rule: the twelve characters sent are hexadecimal digits;
// what is typed beyond them is ignored.
bool DialogAcceptsMifareKey(const std::string& keyText);

// A settings file's rule: at most twelve hexadecimal digits once blanks are
// gone, so that nothing written in the file is ignored.
bool FileAcceptsMifareKey(const std::string& keyText);

// How a short key is completed, for messages and comments.
inline constexpr const char* kShortKeyRule =
    "a shorter key is filled up with 7s, as the dialog does";

}  // namespace tavrin
