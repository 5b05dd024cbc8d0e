// Settings files in TOML: reading one into a SettingsForm, checking every
// setting against the table, and writing the template a user starts from.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/SettingsForm.h"

namespace tavrin::cli {

struct ParsedSettings {
  SettingsForm form;
  // "file:line:column: setting: what is wrong; allowed: ...", in file order.
  std::vector<std::string> errors;
};

// Reads text, named fileName in messages. Missing settings keep their
// start-up values; with any error the form must not be sent.
ParsedSettings ParseSettings(std::string_view text, const std::string& fileName);

// A complete settings file at the start-up values, each setting with a
// comment naming its allowed values.
std::string SettingsTemplate();

// A setting's value as TOML (and JSON) writes it: true, "hex", 15.
std::string ValueText(const SettingsForm& form, std::size_t setting);

}  // namespace tavrin::cli
