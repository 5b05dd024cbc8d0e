#include "config/PageAssembly.h"

#include <algorithm>
#include <map>
#include <vector>

namespace tavrin {
namespace {

// The page bytes of one setting's value.
std::uint8_t Code(const SettingDef& row, int value) {
  switch (row.kind) {
    case SettingKind::Flag:
      return value == 0 ? 0 : (row.bit != 0 ? row.bit : 1);
    case SettingKind::Choice:
      return row.choices.at(static_cast<std::size_t>(value)).code;
    case SettingKind::Number:
    case SettingKind::KeyText:
      break;
  }
  return static_cast<std::uint8_t>(value);
}

// The key's twelve characters as sent, two to a byte.
std::array<std::uint8_t, kMifareKeySize> KeyBytes(const std::string& keyText) {
  const std::string key = SentMifareKey(keyText);
  std::array<std::uint8_t, kMifareKeySize> bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = HexPairToByte(key[2 * i], key[2 * i + 1]);
  return bytes;
}

ConfigPage Assemble(PageNumber number, const Settings& settings) {
  const CardFamily& family = ChosenFamily(settings);
  const std::vector<SettingDef>& rows = SettingsSchema();
  ConfigPage page = MakePage(number);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const SettingDef& row = rows[i];
    if (row.page != number || !IsSentWith(row, family)) continue;
    if (row.onlyWith && settings.values[*row.onlyWith] == 0) continue;
    if (row.kind == SettingKind::KeyText) {
      page.Set(row.field.offset, KeyBytes(settings.mifareKey));
      continue;
    }
    // Card-kind flags share their field, a bit each.
    const std::uint8_t now = page.Bytes()[row.field.offset];
    page.Set(row.field.offset, static_cast<std::uint8_t>(now | Code(row, settings.values[i])));
  }
  page.Seal();
  return page;
}

std::vector<PageFieldInfo> MakeFields(PageNumber number) {
  std::map<std::size_t, PageFieldInfo> byOffset{
      {kHeadOffset, {kHeadOffset, 1, "head"}}, {kChecksumOffset, {kChecksumOffset, 1, "checksum"}}};
  for (const SettingDef& row : SettingsSchema()) {
    if (row.page == number) byOffset.emplace(row.field.offset, row.field);
  }
  std::vector<PageFieldInfo> fields;
  for (auto& [offset, field] : byOffset) fields.push_back(field);
  return fields;
}

}  // namespace

std::array<NumberedPage, 2> AssemblePages(const Settings& adjusted) {
  const PageNumber familyPage = ChosenFamily(adjusted).page;
  return {{{PageNumber::System, Assemble(PageNumber::System, adjusted)},
           {familyPage, Assemble(familyPage, adjusted)}}};
}

std::span<const PageFieldInfo> FieldsOf(PageNumber page) {
  static const std::map<PageNumber, std::vector<PageFieldInfo>> fields = [] {
    std::map<PageNumber, std::vector<PageFieldInfo>> made;
    for (PageNumber number : kPageNumbers) made[number] = MakeFields(number);
    return made;
  }();
  return fields.at(page);
}

std::uint8_t HexPairToByte(char first, char second) {
  auto digit = [](char c) {
    const auto code = static_cast<std::uint8_t>(c);
    return static_cast<std::uint8_t>(code < 0x3A ? code - 0x30 : code - 0x37);
  };
  return static_cast<std::uint8_t>(digit(first) * 16 + digit(second));
}

}  // namespace tavrin
