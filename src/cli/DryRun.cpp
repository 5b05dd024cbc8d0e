#include "cli/DryRun.h"

#include <iomanip>
#include <string>
#include <vector>

#include "cli/TextOutput.h"
#include "config/PageAssembly.h"
#include "config/SettingsFile.h"
#include "reader/Hex.h"

namespace tavrin::cli {
namespace {

struct Planned {
  Settings given;  // as the file has it
  Settings sent;   // after the clamps and the key normalisation
  std::array<NumberedPage, 2> pages;
  std::vector<std::pair<std::string, ReaderFrame>> reports;
};

// The pages in the order DownLoad writes them, as the reader gets them.
Planned Plan(const Settings& settings) {
  Planned plan{settings, Adjusted(settings), {}, {}};
  plan.pages = AssemblePages(plan.sent);
  // A short key has the filler appended; only its first twelve are sent.
  if (ChosenFamily(plan.sent).page == PageNumber::TypeA)
    plan.sent.mifareKey.resize(kMifareKeyChars);
  ReaderFrame unlock{};
  BuildUnlockRequest(unlock);
  plan.reports.emplace_back("Unlock", unlock);
  for (const auto& [number, page] : plan.pages) {
    ReaderFrame write{};
    BuildWritePageRequest(write, number, page);
    plan.reports.emplace_back("Write page " + std::to_string(static_cast<int>(number)), write);
  }
  return plan;
}

// Only the settings that reach the reader: the family, the SNR and the
// card kinds of the chosen family.
bool IsSent(const SettingDef& row, const Settings& settings) {
  return IsSentWith(row, ChosenFamily(settings));
}

std::string PageTitle(PageNumber number) {
  std::string title = "Page " + std::to_string(static_cast<int>(number));
  for (const CardFamily& family : kCardFamilies) {
    if (family.page == number) return title + " (" + family.key + ")";
  }
  return title + " (system)";
}

std::span<const std::uint8_t> FieldBytes(const PageBytes& page, const PageFieldInfo& field) {
  return std::span(page).subspan(field.offset, field.width);
}

void PrintSettings(const Planned& plan, std::ostream& out) {
  out << "Settings to send (with the dialog's adjustments):\n";
  for (std::size_t i = 0; i < SettingsSchema().size(); ++i) {
    const SettingDef& row = SettingsSchema()[i];
    if (!IsSent(row, plan.sent)) continue;
    const std::string was = ValueText(plan.given, i), now = ValueText(plan.sent, i);
    out << "  " << QualifiedName(row) << " = " << now;
    if (was != now) out << "  (given " << was << ")";
    out << "\n";
  }
}

}  // namespace

void PrintPage(PageNumber number, const PageBytes& page, std::ostream& out) {
  out << "\n" << PageTitle(number) << ": " << HexBytes(page) << "\n";
  for (const PageFieldInfo& field : FieldsOf(number)) {
    out << "  " << std::left << std::setw(28) << field.name << HexBytes(FieldBytes(page, field))
        << "\n";
  }
}

void PrintDryRun(const Settings& settings, std::ostream& out) {
  const Planned plan = Plan(settings);
  PrintSettings(plan, out);
  for (const auto& [number, page] : plan.pages) PrintPage(number, page.Bytes(), out);
  out << "\nReports, after the info and capability requests (65 bytes each; zeros follow):\n";
  for (const auto& [name, report] : plan.reports)
    out << "  " << std::left << std::setw(14) << name << HexBytes(FrameBytes(report)) << "\n";
  out << "\nDry run: no reader was touched.\n";
}

void PrintDryRunJson(const Settings& settings, std::ostream& out) {
  const Planned plan = Plan(settings);
  out << "{\n  \"settings\": {";
  const char* comma = "";
  for (std::size_t i = 0; i < SettingsSchema().size(); ++i) {
    if (!IsSent(SettingsSchema()[i], plan.sent)) continue;
    out << comma << "\n    " << JsonString(QualifiedName(SettingsSchema()[i])) << ": "
        << ValueText(plan.sent, i);
    comma = ",";
  }
  out << "\n  },\n  \"pages\": [";
  comma = "";
  for (const auto& [number, page] : plan.pages) {
    out << comma << "\n    {\"number\": " << static_cast<int>(number)
        << ", \"bytes\": " << JsonString(HexBytes(page.Bytes())) << ", \"fields\": {";
    const char* fieldComma = "";
    for (const PageFieldInfo& field : FieldsOf(number)) {
      out << fieldComma << JsonString(field.name) << ": "
          << JsonString(HexBytes(FieldBytes(page.Bytes(), field)));
      fieldComma = ", ";
    }
    out << "}}";
    comma = ",";
  }
  out << "\n  ],\n  \"reports\": [";
  comma = "";
  for (const auto& [name, report] : plan.reports) {
    out << comma << "\n    {\"request\": " << JsonString(name)
        << ", \"bytes\": " << JsonString(HexBytes(FrameBytes(report))) << "}";
    comma = ",";
  }
  out << "\n  ]\n}\n";
}

}  // namespace tavrin::cli
