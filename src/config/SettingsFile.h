// Settings files in TOML: reading one into Settings, checking every setting
// against the schema, and writing the template a user starts from. The
// tables and names are the schema's: "family" at the top, then [snr] and a
// table per card kind.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/Settings.h"

namespace tavrin {

struct ParsedSettings {
  Settings settings = StartUpSettings();
  // "file:line:column: setting: what is wrong; allowed: ...", in file order.
  std::vector<std::string> errors;
  // What is sent differs from what the file says, as in the dialog: a
  // short Mifare key. Worth telling, not worth refusing.
  std::vector<std::string> warnings;
};

// Reads a settings file's bytes (UTF-8, or UTF-16 with a byte-order mark),
// named fileName in messages. It must name its family; other settings left
// out keep their start-up values. With any error the settings must not be
// sent.
ParsedSettings ParseSettings(std::string_view bytes, const std::string& fileName);

// A value for a message: quoted, control characters as "?", and a long one
// cut, with its length told.
std::string ShownText(std::string_view utf8);

// A complete settings file holding settings, each setting with a comment
// naming its allowed values; of the start-up values, the template a user
// starts from.
std::string SettingsFileText(const Settings& settings);
inline std::string SettingsTemplate() { return SettingsFileText(StartUpSettings()); }

// The table a panel's settings live in: "snr", "mifare", ...; empty for
// the top level.
std::string TableName(Panel panel);

// "snr.end-count", or "family" at the top.
std::string QualifiedName(const SettingDef& row);

// A setting's value as TOML (and JSON) writes it: true, "hex", 15.
std::string ValueText(const Settings& settings, std::size_t row);

}  // namespace tavrin
