#include "cli/DryRun.h"

#include <iomanip>
#include <string>
#include <vector>

#include "cli/Results.h"
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
  Json sent = Json::object();
  for (std::size_t i = 0; i < SettingsSchema().size(); ++i) {
    // A value as a settings file writes it is JSON too: true, "hex", 15.
    if (IsSent(SettingsSchema()[i], plan.sent))
      sent[QualifiedName(SettingsSchema()[i])] = Json::parse(ValueText(plan.sent, i));
  }
  Json pages = Json::array();
  for (const auto& [number, page] : plan.pages) {
    Json fields = Json::object();
    for (const PageFieldInfo& field : FieldsOf(number))
      fields[field.name] = HexBytes(FieldBytes(page.Bytes(), field));
    pages.push_back({{"number", static_cast<int>(number)},
                     {"bytes", HexBytes(page.Bytes())},
                     {"fields", fields}});
  }
  Json reports = Json::array();
  for (const auto& [name, report] : plan.reports)
    reports.push_back({{"request", name}, {"bytes", HexBytes(FrameBytes(report))}});
  out << JsonText({{"settings", sent}, {"pages", pages}, {"reports", reports}}, 2) << "\n";
}

}  // namespace tavrin::cli
