// libFuzzer target: any bytes as a settings file, and what an accepted one
// becomes. A refused file has only positioned, printable messages; an
// accepted one holds allowed values only and is written back and read again
// to the same settings. Sanitizers watch the rest.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "config/PageAssembly.h"
#include "config/SettingsFile.h"

namespace tavrin::fuzz {
namespace {

constexpr const char* kFileName = "fuzz.toml";

// Every reading of a file's bytes goes through here.
ParsedSettings ReadSettingsFile(std::span<const std::uint8_t> bytes) {
  return ParseSettings(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                       kFileName);
}

// "fuzz.toml:LINE:COLUMN: ..." with no control characters; a family that is
// not there at all has no place in the file.
void CheckMessage(const std::string& message) {
  const std::string prefix = std::string(kFileName) + ":";
  Require(message.starts_with(prefix), "a message without the file name: " + message);
  const bool placeless = message.starts_with(prefix + " family: missing;");
  const char* at = message.data() + prefix.size();
  const char* end = message.data() + message.size();
  for (const char separator : {':', ':'}) {
    if (placeless) break;
    int number = 0;
    const auto [next, error] = std::from_chars(at, end, number);
    Require(error == std::errc() && number > 0 && next != end && *next == separator,
            "a message without its line and column: " + message);
    at = next + 1;
  }
  Require(std::none_of(message.begin(), message.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }),
          "a control character in a message: " + message);
}

std::string RowName(std::size_t row) { return QualifiedName(SettingsSchema()[row]); }

int Highest(const SettingDef& row) {
  return row.kind == SettingKind::Choice ? static_cast<int>(row.choices.size()) - 1 : row.max;
}

void CheckAllowed(const Settings& settings) {
  const std::vector<SettingDef>& rows = SettingsSchema();
  Require(settings.values.size() == rows.size(), "a value missing or extra");
  const CardFamily& family = ChosenFamily(settings);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int value = settings.values[i];
    Require(value >= rows[i].min && value <= Highest(rows[i]), RowName(i) + " out of range");
    Require(rows[i].bit == 0 || value == 0 || IsSentWith(rows[i], family),
            RowName(i) + " chosen outside its family");
  }
  Require(FileAcceptsMifareKey(settings.mifareKey), "a key that is no key");
}

void CheckRoundTrip(const Settings& settings) {
  const std::string text = SettingsFileText(settings);
  const ParsedSettings again = ParseSettings(text, kFileName);
  Require(again.errors.empty(),
          "the written file is refused: " + (again.errors.empty() ? "" : again.errors.front()) +
              "\n" + text);
  Require(again.settings == settings, "the written file reads back otherwise:\n" + text);
}

}  // namespace
}  // namespace tavrin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tavrin::fuzz;
  const tavrin::ParsedSettings parsed = ReadSettingsFile(std::span(data, size));
  for (const std::string& message : parsed.errors) CheckMessage(message);
  if (!parsed.errors.empty()) return 0;
  CheckAllowed(parsed.settings);
  CheckRoundTrip(parsed.settings);
  // The pages' bytes are pinned by the golden downloads; here the sanitizers
  // watch them assembled from any accepted file.
  (void)tavrin::AssemblePages(tavrin::Adjusted(parsed.settings));
  return 0;
}
