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
};

// Reads text, named fileName in messages. Missing settings keep their
// start-up values; with any error the settings must not be sent.
ParsedSettings ParseSettings(std::string_view text, const std::string& fileName);

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
