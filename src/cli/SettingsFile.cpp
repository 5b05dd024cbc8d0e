#include "cli/SettingsFile.h"

#include <toml++/toml.h>

#include <algorithm>
#include <optional>
#include <tuple>

#include "cli/TextOutput.h"
#include "config/PageAssembly.h"

namespace tavrin::cli {
namespace {

constexpr const char* kTemplateHeader =
    "# tavrin-reader settings: what the reader types when a card is presented.\n"
    "# A setting left out takes the value the configuration dialog starts with.\n"
    "# Check with \"tavrin-reader apply --dry-run FILE\", write with\n"
    "# \"tavrin-reader apply FILE\".\n";

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
  std::string header;
  if (panel == Panel::None) return header;
  header += '[';
  header += TableName(panel);
  return header += ']';
}

// The names a table holds, for a message about one it does not.
std::string NamesIn(Panel panel) {
  std::string text = panel == Panel::None ? "the top level" : TableHeader(panel);
  text += " holds ";
  const std::size_t start = text.size();
  for (const SettingDef& row : Settings()) {
    if (row.panel != panel) continue;
    if (text.size() > start) text += ", ";
    text += row.name;
  }
  if (panel != Panel::None) return text;
  text += " and the tables";
  for (const PanelDef& def : kPanels) {
    if (!TableName(def.panel).empty()) (text += ' ') += TableHeader(def.panel);
  }
  return text;
}

// At most 12 characters once spaces and tabs are gone, all hexadecimal
// digits; a shorter key is filled up with 7s, as the dialog does.
bool IsTwelveHexDigits(std::string key) {
  std::erase(key, ' ');
  std::erase(key, '\t');
  return key.size() <= kMifareKeyChars && IsValidMifareKey(key);
}

class SettingsReader {
 public:
  SettingsReader(const std::string& fileName, ParsedSettings& out)
      : fileName_(fileName), out_(out), where_(Settings().size()) {}

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
        const std::string table(TableName(panel));
        Fail(key.source(), "",
             "unknown setting " + Quoted(Printable(table.empty() ? name : table + "." + name)) +
                 "; " + NamesIn(panel));
      }
    }
  }

  // A card kind's data can only be typed under its own family.
  void CheckKindsAgainstFamily() {
    if (!errors_.empty()) return;
    const CardFamily& family = out_.form.Family();
    for (std::size_t i = 0; i < Settings().size(); ++i) {
      const SettingDef& row = Settings()[i];
      if (KindOfOutput(row) == nullptr || out_.form.Value(i) == 0) continue;
      if (FamilyOfPanel(row.panel) == &family) continue;
      std::string kinds;
      for (const CardKind& kind : family.Kinds())
        kinds += (kinds.empty() ? "" : " and ") + std::string(TableName(kind.panel));
      Fail(*where_[i], QualifiedName(row),
           std::string(TabCaptionOf(row.panel)) + " is not a card kind of family " +
               ValueText(out_.form, *FindSetting(Panel::None, "family")) + ", whose kinds are " +
               kinds);
    }
  }

  void Fail(const toml::source_region& at, const std::string& setting, const std::string& what) {
    std::string message = fileName_ + ":" + std::to_string(at.begin.line) + ":" +
                          std::to_string(at.begin.column) + ": ";
    if (!setting.empty()) message += setting + ": ";
    errors_.push_back({at.begin, message + what});
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

  void ReadSetting(std::size_t index, const toml::node& node) {
    const SettingDef& row = Settings()[index];
    where_[index] = node.source();
    const std::string name = QualifiedName(row);
    const std::string allowed = "; allowed: " + AllowedText(row);
    if (row.kind == SettingKind::Flag && node.is_boolean()) {
      out_.form.SetValue(index, node.as_boolean()->get() ? 1 : 0);
    } else if (row.kind == SettingKind::Number && node.is_integer()) {
      const std::int64_t value = node.as_integer()->get();
      if (value < row.min || value > row.max)
        return Fail(node.source(), name, std::to_string(value) + " is out of range" + allowed);
      out_.form.SetValue(index, static_cast<int>(value));
    } else if (row.kind == SettingKind::KeyText && node.is_string()) {
      const std::string& key = node.as_string()->get();
      if (!IsTwelveHexDigits(key))
        return Fail(node.source(), name, Quoted(Printable(key)) + " is not a key" + allowed);
      out_.form.SetMifareKey(key);
    } else if (!row.choices.empty() && node.is_string()) {
      const std::string& text = node.as_string()->get();
      const auto at = std::find(row.choices.begin(), row.choices.end(), std::string_view(text));
      if (at == row.choices.end())
        return Fail(node.source(), name, Quoted(Printable(text)) + " is not allowed" + allowed);
      out_.form.SetValue(index, static_cast<int>(at - row.choices.begin()));
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

void AppendSetting(std::string& text, const SettingsForm& form, std::size_t index) {
  const SettingDef& row = Settings()[index];
  text += "# " + row.meaning + ": " + AllowedText(row) + "\n";
  text += std::string(row.name) + " = " + ValueText(form, index) + "\n";
}

}  // namespace

ParsedSettings ParseSettings(std::string_view text, const std::string& fileName) {
  ParsedSettings parsed;
  toml::parse_result result = toml::parse(text, fileName);
  SettingsReader reader(fileName, parsed);
  if (!result) {
    reader.Fail(result.error().source(), "",
                "invalid TOML: " + std::string(result.error().description()));
  } else {
    reader.ReadTable(result.table(), Panel::None);
    reader.CheckKindsAgainstFamily();
  }
  reader.Finish();
  return parsed;
}

std::string ValueText(const SettingsForm& form, std::size_t setting) {
  const SettingDef& row = Settings()[setting];
  const int value = form.Value(setting);
  switch (row.kind) {
    case SettingKind::Flag:
      return value != 0 ? "true" : "false";
    case SettingKind::Number:
      return std::to_string(value);
    case SettingKind::KeyText: {
      std::string key;  // tabs as TOML writes them
      for (char c : form.MifareKeyText()) key += c == '\t' ? std::string("\\t") : std::string(1, c);
      return Quoted(key);
    }
    case SettingKind::RadioChoice:
    case SettingKind::ListChoice:
      break;
  }
  return Quoted(row.choices[static_cast<std::size_t>(value)]);
}

std::string SettingsTemplate() {
  const SettingsForm form;
  std::string text = kTemplateHeader + std::string("\n");
  Panel table = Panel::None;
  for (std::size_t i = 0; i < Settings().size(); ++i) {
    const SettingDef& row = Settings()[i];
    if (row.panel != table) {
      table = row.panel;
      (text += '\n') += TableHeader(table);
      ((text += "  # ") += TableComment(table)) += '\n';
    }
    AppendSetting(text, form, i);
  }
  return text;
}

}  // namespace tavrin::cli
