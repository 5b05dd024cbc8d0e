#include "cli/Commands.h"
#include "cli/DryRun.h"
#include "cli/Files.h"
#include "cli/TextOutput.h"
#include "config/SettingsFile.h"
#include "session/Description.h"

namespace tavrin::cli {
namespace {

// "ISO14443A (Mifare S50/S70, UltraLight), ISO15693 (no card kinds)".
std::string SupportedText(const Capabilities& capabilities) {
  std::string text;
  for (const SupportedFamily& supported : capabilities.Supported()) {
    std::string kinds;
    for (const CardKind* kind : supported.kinds)
      kinds += (kinds.empty() ? "" : ", ") + std::string(TabCaptionOf(kind->panel));
    text += (text.empty() ? "" : ", ") + std::string(supported.family->name) + " (" +
            (kinds.empty() ? "no card kinds" : kinds) + ")";
  }
  return text.empty() ? "no card family" : text;
}

// What the settings ask of the reader that it lacks; empty when nothing.
std::string Unsupported(const Settings& settings, const Capabilities& capabilities) {
  const CardFamily& family = ChosenFamily(settings);
  if (!capabilities.Has(family)) return family.name;
  std::string missing;
  for (const CardKind* kind : ChosenKinds(settings)) {
    if (!capabilities.Has(family, *kind))
      missing += (missing.empty() ? "" : ", ") + std::string(TabCaptionOf(kind->panel));
  }
  return missing;
}

// Which step of a failed DownLoad went wrong, beyond the dialog's words.
std::string FailureDetail(const DownloadResult& result) {
  if (!result.unlock || !result.unlock->Accepted()) return " (the unlock was not accepted)";
  for (const PageWrite& write : result.pages) {
    if (!write.exchange.Accepted())
      return " (page " + std::to_string(static_cast<int>(write.number)) + " was not accepted)";
  }
  return "";
}

// Identify, check, then DownLoad; one line on out or err says how it went.
bool ApplyTo(ReaderSession& session, const std::string& path, const Settings& settings,
             std::ostream& out, std::ostream& err) {
  const Identification found = session.Identify();
  const std::string reader = TerminalText(path) + ": ";
  if (!found.capabilities || found.error) {
    err << reader << "the reader did not tell what it supports; nothing was written"
        << (found.error ? " (" + LastErrorText(*found.error) + ")" : "") << std::endl;
    return false;
  }
  const std::string missing = Unsupported(settings, *found.capabilities);
  if (!missing.empty()) {
    err << reader << "refused: the reader does not support " << missing << "; it supports "
        << SupportedText(*found.capabilities) << "; nothing was written" << std::endl;
    return false;
  }
  const DownloadResult result = session.Download(Adjusted(settings));
  if (result.Succeeded()) {
    out << reader << DownloadText(result) << std::endl;
    return true;
  }
  err << reader << OneLine(DownloadText(result)) << FailureDetail(result) << std::endl;
  return false;
}

}  // namespace

int ApplySettings(HidHost& host, const ApplyOptions& options, std::ostream& out,
                  std::ostream& err) {
  std::string text;
  if (!ReadFile(options.file, text, err)) return kExitUsage;
  const ParsedSettings parsed = ParseSettings(text, options.file);
  for (const std::string& warning : parsed.warnings) err << warning << "\n";
  if (!parsed.errors.empty()) {
    for (const std::string& error : parsed.errors) err << error << "\n";
    err << "Nothing was sent to any reader.\n";
    return kExitUsage;
  }
  if (options.dryRun) {
    (options.json ? PrintDryRunJson : PrintDryRun)(parsed.settings, out);
    return kExitDone;
  }
  if (!OneReaderMeant(host, options.scope, err)) return kExitUsage;
  ReaderVisitor visitor;
  visitor.opened = [&](ReaderSession& session, const std::string& path) {
    return ApplyTo(session, path, parsed.settings, out, err);
  };
  visitor.unopenable = [&](const std::string& path, const std::string& why) {
    err << TerminalText(path) << ": " << why << std::endl;
  };
  const ReaderTally tally = VisitReaders(host, options.scope, visitor);
  return Conclude(tally, options.scope, "configured", out, err);
}

}  // namespace tavrin::cli
