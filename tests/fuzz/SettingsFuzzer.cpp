// libFuzzer target: any bytes as a settings file, and what an accepted one
// becomes. A refused file has only positioned, printable messages; an
// accepted one holds allowed values only, is written back and read again to
// the same settings, and its pages hold exactly its sent settings, sealed.
// Sanitizers watch the rest.
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

void CheckAdjusted(const Settings& given, const Settings& sent) {
  Require(Adjusted(sent) == sent, "adjusting twice changes the settings");
  const CardFamily& family = ChosenFamily(given);
  const std::vector<SettingDef>& rows = SettingsSchema();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!IsSentWith(rows[i], family)) {
      Require(sent.values[i] == given.values[i], RowName(i) + " of another family changed");
    } else if (rows[i].raisedTo) {
      Require(sent.values[i] == std::max(given.values[i], given.values[*rows[i].raisedTo]),
              RowName(i) + " not raised to its start");
    }
  }
}

// The key bytes as the user wrote them: spaces and tabs gone, hex digits in
// pairs, 7s after a short key.
std::array<std::uint8_t, kMifareKeySize> ExpectedKeyBytes(std::string key) {
  std::erase(key, ' ');
  std::erase(key, '\t');
  key.resize(kMifareKeyChars, '7');
  std::array<std::uint8_t, kMifareKeySize> bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i)
    std::from_chars(key.data() + 2 * i, key.data() + 2 * i + 2, bytes[i], 16);
  return bytes;
}

// What the page holds for the row's value, read back by the schema.
int ValueOnPage(const SettingDef& row, std::uint8_t byte) {
  switch (row.kind) {
    case SettingKind::Flag: {
      const int held = row.bit != 0 ? byte & row.bit : byte;
      return held == 0 ? 0 : held == (row.bit != 0 ? row.bit : 1) ? 1 : -1;
    }
    case SettingKind::Choice: {
      const auto at = std::find_if(row.choices.begin(), row.choices.end(),
                                   [byte](const ChoiceDef& c) { return c.code == byte; });
      return at == row.choices.end() ? -1 : static_cast<int>(at - row.choices.begin());
    }
    default:
      return byte;
  }
}

// Every bit of the page is its head, the system marker, the checksum or a
// field of a setting sent with the family, holding that setting's value.
void CheckPage(const NumberedPage& numbered, const Settings& sent) {
  const std::array<std::uint8_t, kPageSize>& bytes = numbered.page.Bytes();
  const std::string name = "page " + std::to_string(static_cast<int>(numbered.number));
  Require(bytes[kHeadOffset] == kPageHead, name + ": no head");
  Require(bytes[kChecksumOffset] == XorChecksum(bytes.data(), kChecksumOffset),
          name + ": not sealed");
  // The bits of each byte that something explains.
  std::array<std::uint8_t, kPageSize> explained{};
  explained[kHeadOffset] = explained[kChecksumOffset] = 0xFF;
  if (numbered.number == PageNumber::System) {
    Require(bytes[kSystemMarkerOffset] == kSystemMarker, name + ": no marker");
    explained[kSystemMarkerOffset] = 0xFF;
  }
  const std::vector<SettingDef>& rows = SettingsSchema();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const SettingDef& row = rows[i];
    if (row.page != numbered.number || !IsSentWith(row, ChosenFamily(sent))) continue;
    if (row.onlyWith && sent.values[*row.onlyWith] == 0) continue;
    for (std::size_t at = row.field.offset; at < row.field.offset + row.field.width; ++at)
      explained[at] |= row.bit != 0 ? row.bit : 0xFF;
    if (row.kind == SettingKind::KeyText) {
      const auto key = ExpectedKeyBytes(sent.mifareKey);
      Require(std::equal(key.begin(), key.end(), bytes.begin() + row.field.offset),
              name + ": the key's bytes differ from " + sent.mifareKey);
    } else {
      Require(ValueOnPage(row, bytes[row.field.offset]) == sent.values[i],
              name + ": " + RowName(i) + " does not hold its value");
    }
  }
  for (std::size_t at = 0; at < kPageSize; ++at)
    Require((bytes[at] & ~explained[at]) == 0, name + ": byte " + std::to_string(at) + " is set");
}

void CheckPages(const Settings& sent) {
  const std::array<NumberedPage, 2> pages = AssemblePages(sent);
  Require(pages[0].number == PageNumber::System, "page 0 is not first");
  Require(pages[1].number == ChosenFamily(sent).page, "the family's page is not second");
  for (const NumberedPage& page : pages) CheckPage(page, sent);
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
  const tavrin::Settings sent = tavrin::Adjusted(parsed.settings);
  CheckAdjusted(parsed.settings, sent);
  CheckPages(sent);
  return 0;
}
