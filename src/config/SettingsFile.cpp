#include "config/SettingsFile.h"

#include <toml++/toml.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <tuple>

#include "config/TextDecoding.h"

namespace tavrin {
namespace {

constexpr const char* kTemplateHeader =
    "# tavrin-reader settings: what the reader types when a card is presented.\n"
    "# A setting left out takes the value the configuration dialog starts with.\n"
    "# Check with \"tavrin-reader apply --dry-run FILE\", write with\n"
    "# \"tavrin-reader apply FILE\".\n";

// Values shown in messages are cut to this many characters: a message
// names the value, it need not repeat a long one.
constexpr std::size_t kShownChars = 40;

// Appending, not "literal" + string: GCC 12 at -O3 sees a false overlap
// there (-Wrestrict), which breaks the Release build.
std::string Quoted(std::string_view text) { return std::string("\"").append(text) + "\""; }

bool StartsCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

// A parser's own description may quote a whole key, control characters
// and all: they show as "?", and it is cut the same way.
std::string ShortDescription(std::string_view description) {
  constexpr std::size_t kLongest = 4 * kShownChars;
  const std::string shown = VisibleText(description);
  if (shown.size() <= kLongest) return shown;
  std::size_t cut = kLongest;
  while (cut > 0 && !StartsCharacter(shown[cut])) --cut;
  return shown.substr(0, cut) + "...";
}

// A TOML basic string: quotes, backslashes and control characters escaped.
std::string TomlString(std::string_view text) {
  constexpr const char* kHex = "0123456789ABCDEF";
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      (out += '\\') += c;
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      ((out += "\\u00") += kHex[byte >> 4]) += kHex[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

const char* TypeName(toml::node_type type) {
  switch (type) {
    case toml::node_type::boolean:
      return "true or false";
    case toml::node_type::integer:
      return "a number";
    case toml::node_type::string:
      return "a text";
    case toml::node_type::table:
      return "a table";
    case toml::node_type::array:
      return "a list";
    case toml::node_type::floating_point:
      return "a fraction";
    default:
      return "a date or time";
  }
}

const char* ExpectedType(SettingKind kind) {
  switch (kind) {
    case SettingKind::Flag:
      return "true or false";
    case SettingKind::Number:
      return "a whole number";
    default:
      return "a text in quotes";
  }
}

// "[table]", or "" for the top level.
std::string TableHeader(Panel panel) {
  return panel == Panel::None ? std::string() : std::string("[").append(TableName(panel)) + "]";
}

// The tables in file order: [snr], then a table per card kind.
std::vector<Panel> Tables() {
  std::vector<Panel> tables{Panel::Snr};
  for (const CardFamily& family : kCardFamilies) {
    for (const CardKind& kind : family.Kinds()) tables.push_back(kind.panel);
  }
  return tables;
}

std::optional<Panel> PanelOfTable(std::string_view name) {
  for (Panel panel : Tables()) {
    if (TableName(panel) == name) return panel;
  }
  return std::nullopt;
}

// What a table is about: "Mifare S50/S70 cards (family \"iso14443a\")".
std::string TableComment(Panel panel) {
  if (panel == Panel::Snr) return "the card serial number (SNR)";
  return std::string(TabCaptionOf(panel)) + " cards (family " + Quoted(FamilyOfPanel(panel)->key) +
         ")";
}

// What the setting allows, for comments and messages: "true or false",
// "\"none\", \"down\", \"tab\", \"enter\" or \"pgdn\"", "0 to 63", ...
std::string AllowedText(const SettingDef& row) {
  switch (row.kind) {
    case SettingKind::Flag:
      return "true or false";
    case SettingKind::Number:
      return std::to_string(row.min) + " to " + std::to_string(row.max);
    case SettingKind::KeyText:
      return std::string("12 hexadecimal digits (0-9, A-F); spaces are ignored, ") + kShortKeyRule;
    case SettingKind::Choice:
      break;
  }
  std::string text;
  for (std::size_t i = 0; i < row.choices.size(); ++i) {
    if (i > 0) text += i + 1 == row.choices.size() ? " or " : ", ";
    text += Quoted(row.choices[i].key);
  }
  return text;
}

// The names a table holds, for a message about one it does not.
std::string NamesIn(Panel panel) {
  std::string text = panel == Panel::None ? "the top level" : TableHeader(panel);
  text += " holds ";
  const std::size_t start = text.size();
  for (const SettingDef& row : SettingsSchema()) {
    if (row.panel != panel) continue;
    if (text.size() > start) text += ", ";
    text += row.key;
  }
  if (panel != Panel::None) return text;
  text += " and the tables";
  for (Panel table : Tables()) (text += ' ') += TableHeader(table);
  return text;
}

class SettingsReader {
 public:
  SettingsReader(const std::string& fileName, ParsedSettings& out)
      : fileName_(fileName), out_(out), where_(SettingsSchema().size()) {}

  void ReadTable(const toml::table& table, Panel panel) {
    for (const auto& [key, node] : table) {
      const std::string name(key.str());
      const std::optional<Panel> inner = panel == Panel::None ? PanelOfTable(name) : std::nullopt;
      if (inner && node.is_table()) {
        ReadTable(*node.as_table(), *inner);
      } else if (inner) {
        Fail(node.source(), name, "expected a table, found " + Found(node));
      } else if (const auto setting = FindSetting(panel, name)) {
        ReadSetting(*setting, node);
      } else {
        const std::string table = TableName(panel);
        Fail(key.source(), "",
             "unknown setting " + ShownText(table.empty() ? name : table + "." + name) + "; " +
                 NamesIn(panel));
      }
    }
  }

  // Without a family every setting would fall back to the start-up one,
  // which is a configuration nobody chose.
  void RequireFamily(const toml::table& top) {
    const SettingDef& row = SettingsSchema()[kFamilySetting];
    if (top.contains(row.key)) return;
    const toml::source_position last{std::numeric_limits<toml::source_index>::max(), 0};
    errors_.push_back({last, fileName_ + ": " + row.key + ": missing; every settings file names " +
                                 "its card family: " + AllowedText(row) +
                                 ". Start from the file \"tavrin-reader template\" writes."});
  }

  // A card kind's data can only be typed under its own family; told with
  // every other mistake, once the family itself is known.
  void CheckKindsAgainstFamily() {
    if (!where_[kFamilySetting]) return;
    const CardFamily& family = ChosenFamily(out_.settings);
    const std::vector<SettingDef>& rows = SettingsSchema();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const SettingDef& row = rows[i];
      if (row.bit == 0 || !where_[i] || out_.settings.values[i] == 0 || IsSentWith(row, family))
        continue;
      std::string kinds;
      for (const CardKind& kind : family.Kinds())
        kinds += (kinds.empty() ? "" : " and ") + std::string(kind.key);
      Fail(*where_[i], QualifiedName(row),
           TableName(row.panel) + " is not a card kind of family " + Quoted(family.key) +
               ", whose kinds are " + kinds);
    }
  }

  // A key shorter than twelve digits is filled up with 7s, as the dialog
  // does; said, since the reader then holds a key nobody typed.
  void WarnShortKey() {
    const std::size_t index = *FindSetting(Panel::Mifare, "key");
    if (!where_[index] || ChosenFamily(out_.settings).page != PageNumber::TypeA) return;
    const std::string& key = out_.settings.mifareKey;
    const std::size_t digits = WithoutBlanks(key).size();
    if (digits >= kMifareKeyChars) return;
    out_.warnings.push_back(Place(where_[index]->begin) + QualifiedName(SettingsSchema()[index]) +
                            ": warning: " + ShownText(key) + " has " + std::to_string(digits) +
                            " of " + std::to_string(kMifareKeyChars) + " hexadecimal digits; " +
                            kShortKeyRule + ": " + Quoted(SentMifareKey(key)));
  }

  void Fail(const toml::source_position& at, const std::string& setting, const std::string& what) {
    std::string message = Place(at);
    if (!setting.empty()) message += setting + ": ";
    errors_.push_back({at, message + what});
  }
  void Fail(const toml::source_region& at, const std::string& setting, const std::string& what) {
    Fail(at.begin, setting, what);
  }

  // The messages in file order; a table's settings come in name order.
  void Finish() {
    std::stable_sort(errors_.begin(), errors_.end(), [](const Error& a, const Error& b) {
      return std::tie(a.at.line, a.at.column) < std::tie(b.at.line, b.at.column);
    });
    for (Error& error : errors_) out_.errors.push_back(std::move(error.message));
  }

 private:
  static std::string Found(const toml::node& node) { return TypeName(node.type()); }

  std::string Place(const toml::source_position& at) const {
    return fileName_ + ":" + std::to_string(at.line) + ":" + std::to_string(at.column) + ": ";
  }

  // Notes where a setting was given only when its value was taken.
  void ReadSetting(std::size_t index, const toml::node& node) {
    const std::size_t before = errors_.size();
    TakeSetting(index, node);
    if (errors_.size() == before) where_[index] = node.source();
  }

  void TakeSetting(std::size_t index, const toml::node& node) {
    const SettingDef& row = SettingsSchema()[index];
    std::vector<int>& values = out_.settings.values;
    const std::string name = QualifiedName(row);
    const std::string allowed = "; allowed: " + AllowedText(row);
    if (row.kind == SettingKind::Flag && node.is_boolean()) {
      values[index] = node.as_boolean()->get() ? 1 : 0;
    } else if (row.kind == SettingKind::Number && node.is_integer()) {
      const std::int64_t value = node.as_integer()->get();
      if (value < row.min || value > row.max)
        return Fail(node.source(), name, std::to_string(value) + " is out of range" + allowed);
      values[index] = static_cast<int>(value);
    } else if (row.kind == SettingKind::KeyText && node.is_string()) {
      const std::string& key = node.as_string()->get();
      if (!FileAcceptsMifareKey(key))
        return Fail(node.source(), name, ShownText(key) + " is not a key" + allowed);
      out_.settings.mifareKey = key;
    } else if (!row.choices.empty() && node.is_string()) {
      const std::string& text = node.as_string()->get();
      const auto at = std::find_if(row.choices.begin(), row.choices.end(),
                                   [&](const ChoiceDef& choice) { return choice.key == text; });
      if (at == row.choices.end())
        return Fail(node.source(), name, ShownText(text) + " is not allowed" + allowed);
      values[index] = static_cast<int>(at - row.choices.begin());
    } else {
      Fail(node.source(), name,
           std::string("expected ") + ExpectedType(row.kind) + ", found " + Found(node) +
               (row.kind == SettingKind::Flag ? "" : allowed));
    }
  }

  const std::string& fileName_;
  ParsedSettings& out_;
  struct Error {
    toml::source_position at;
    std::string message;
  };
  std::vector<Error> errors_;
  // Where each setting was given, for messages about settings together.
  std::vector<std::optional<toml::source_region>> where_;
};

void AppendSetting(std::string& text, const Settings& settings, std::size_t index) {
  const SettingDef& row = SettingsSchema()[index];
  text += "# " + row.meaning + ": " + AllowedText(row) + "\n";
  // Only a family that does not send the key gets here with a key that is
  // none (the dialog refuses it otherwise); the file must still open.
  if (row.kind == SettingKind::KeyText && !FileAcceptsMifareKey(settings.mifareKey)) {
    Settings kept = settings;
    kept.mifareKey = kStartUpMifareKey;
    text += "# The dialog held " + ShownText(settings.mifareKey) + ", which is no key; " +
            ChosenFamily(settings).key + " does not send it, so the start-up key stands here.\n";
    text += row.key + " = " + ValueText(kept, index) + "\n";
    return;
  }
  text += row.key + " = " + ValueText(settings, index) + "\n";
}

}  // namespace

ParsedSettings ParseSettings(std::string_view bytes, const std::string& fileName) {
  ParsedSettings parsed;
  SettingsReader reader(fileName, parsed);
  const DecodedText text = DecodeText(bytes);
  if (!text.error.empty()) {
    reader.Fail(toml::source_position{text.line, text.column}, "", text.error);
    reader.Finish();
    return parsed;
  }
  toml::parse_result result = toml::parse(text.utf8, fileName);
  if (!result) {
    reader.Fail(result.error().source(), "",
                "invalid TOML: " + ShortDescription(result.error().description()));
  } else {
    reader.ReadTable(result.table(), Panel::None);
    reader.RequireFamily(result.table());
    reader.CheckKindsAgainstFamily();
    reader.WarnShortKey();
  }
  reader.Finish();
  return parsed;
}

std::string ShownText(std::string_view utf8) {
  std::string out;
  std::size_t chars = 0;
  for (const char c : VisibleText(utf8)) {
    chars += StartsCharacter(c) ? 1 : 0;
    if (chars <= kShownChars) out += c;
  }
  if (chars <= kShownChars) return Quoted(out);
  return Quoted(out + "...") + " (" + std::to_string(chars) + " characters)";
}

std::string TableName(Panel panel) {
  if (panel == Panel::Snr) return "snr";
  const CardKind* kind = KindOfPanel(panel);
  return kind == nullptr ? std::string() : kind->key;
}

std::string QualifiedName(const SettingDef& row) {
  const std::string table = TableName(row.panel);
  return table.empty() ? row.key : table + "." + row.key;
}

std::string ValueText(const Settings& settings, std::size_t index) {
  const SettingDef& row = SettingsSchema()[index];
  const int value = settings.values[index];
  switch (row.kind) {
    case SettingKind::Flag:
      return value != 0 ? "true" : "false";
    case SettingKind::Number:
      return std::to_string(value);
    case SettingKind::KeyText:
      return TomlString(settings.mifareKey);
    case SettingKind::Choice:
      break;
  }
  return Quoted(row.choices[static_cast<std::size_t>(value)].key);
}

std::string SettingsFileText(const Settings& settings) {
  std::string text = kTemplateHeader + std::string("\n");
  Panel table = Panel::None;
  for (std::size_t i = 0; i < SettingsSchema().size(); ++i) {
    const SettingDef& row = SettingsSchema()[i];
    if (row.panel != table) {
      table = row.panel;
      (text += '\n') += TableHeader(table);
      ((text += "  # ") += TableComment(table)) += '\n';
    }
    AppendSetting(text, settings, i);
  }
  return text;
}

}  // namespace tavrin
