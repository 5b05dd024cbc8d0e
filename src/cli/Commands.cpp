#include "cli/Commands.h"

#include <ctime>

#include "cli/DryRun.h"
#include "cli/Results.h"
#include "cli/Text.h"
#include "config/SettingsFile.h"
#include "config/SettingsStore.h"
#include "session/Description.h"

namespace tavrin::cli {
namespace {

constexpr const char* kNotIdentified = "the reader did not tell what it supports";

ReaderResult Identified(const OpenedReader& reader) {
  if (!reader.Opened()) {
    ReaderResult result = UnopenedResult(reader);
    result.identifying = true;
    return result;
  }
  const Identification found = reader.session->Identify();
  ReaderResult result{reader.id, Outcome::Ok, "", "", found.error, found, true};
  if (found.capabilities && !found.error) return result;
  result.outcome = found.error ? Outcome::Failed : Outcome::Refused;
  result.reason = kNotIdentified;
  return result;
}

// What the settings ask of the reader that it lacks; empty when nothing.
std::string Unsupported(const Settings& settings, const Capabilities& capabilities) {
  const CardFamily& family = ChosenFamily(settings);
  if (!capabilities.Has(family)) return family.key;
  std::string missing;
  for (const CardKind* kind : ChosenKinds(settings)) {
    if (!capabilities.Has(family, *kind))
      missing += (missing.empty() ? "" : ", ") + std::string(kind->key);
  }
  return missing;
}

// Which step of a failed DownLoad went wrong, beyond the dialog's words.
std::string FailureDetail(const DownloadResult& result) {
  if (!result.unlock || !result.unlock->Accepted()) return "the unlock was not accepted";
  for (const PageWrite& write : result.pages) {
    if (!write.exchange.Accepted())
      return "page " + std::to_string(static_cast<int>(write.number)) + " was not accepted";
  }
  return "";
}

// Identify, check, then DownLoad.
ReaderResult Applied(const OpenedReader& reader, const Settings& settings) {
  if (!reader.Opened()) return UnopenedResult(reader);
  ReaderResult result = Identified(reader);
  const std::optional<Capabilities> capabilities = result.identified->capabilities;
  result.identifying = false;
  result.identified.reset();
  if (result.outcome != Outcome::Ok) {
    result.text = result.reason + "; nothing was written" +
                  (result.error ? " (" + LastErrorText(*result.error) + ")" : "");
    return result;
  }
  if (const std::string missing = Unsupported(settings, *capabilities); !missing.empty()) {
    result.outcome = Outcome::Refused;
    result.reason =
        "the reader does not support " + missing + "; it supports " + SupportedText(*capabilities);
    result.text = "refused: " + result.reason + "; nothing was written";
    return result;
  }
  const DownloadResult download = reader.session->Download(Adjusted(settings));
  result.text = ReaderText(DownloadText(download));
  if (download.Succeeded()) return result;
  result.error = download.FirstError();
  result.outcome = result.error ? Outcome::Failed : Outcome::Refused;
  result.reason = FailureDetail(download);
  if (!result.reason.empty()) result.text += " (" + result.reason + ")";
  return result;
}

// The settings file, read and checked whole; its warnings told.
Settings CheckedSettings(const std::string& file, std::ostream& err) {
  const FileResult read = ReadSettingsBytes(file);
  if (read.Failed()) Fail(kExitUsage, {TerminalText(file) + ": " + read.error});
  const ParsedSettings parsed = ParseSettings(read.bytes, file);
  for (const std::string& warning : parsed.warnings) err << warning << "\n";
  if (!parsed.errors.empty()) Fail(kExitUsage, parsed.errors);
  return parsed.settings;
}

// apply --watch: one line per reader as it arrives, with the time and the
// count so far, or one JSON object per line; the summary when it ends.
ExitStatus WatchAndApply(HidHost& host, const Settings& settings, const ApplyOptions& options,
                         std::ostream& out, std::ostream& err) {
  Tally tally;
  const auto tell = [&](const ReaderResult& result) {
    tally.Count(result);
    const std::tm now = options.waiting.now();
    char time[32];
    if (options.json) {
      std::strftime(time, sizeof time, "%Y-%m-%dT%H:%M:%S", &now);
      Json line = result;
      line["time"] = time;
      line["count"] = tally.seen;
      out << JsonText(line) << std::endl;
      return;
    }
    std::strftime(time, sizeof time, "%H:%M:%S", &now);
    const std::string count =
        std::to_string(tally.seen) + (options.count > 0 ? "/" + std::to_string(options.count) : "");
    (result.outcome == Outcome::Ok ? out : err)
        << time << " " << count << " " << ResultLine(result) << std::endl;
  };
  err << "Waiting for readers: each one plugged in is configured once"
      << (options.count > 0 ? ", until " + std::to_string(options.count) + " have been" : "")
      << ". Ctrl-C stops." << std::endl;
  WatchReaders(host, options.waiting, options.count,
               [&](const OpenedReader& reader) { tell(Applied(reader, settings)); });
  // Every reader handed over opened or was told; none at all is no failure.
  const ExitStatus status = tally.succeeded == tally.seen ? kExitDone : kExitReaderFailed;
  if (options.json) {
    Json summary = tally;
    summary["exit"] = status;
    out << JsonText({{"summary", summary}}) << std::endl;
  } else {
    out << tally.succeeded << " of " << tally.seen << " readers configured" << std::endl;
  }
  return status;
}

}  // namespace

ExitStatus ListReaders(HidHost& host, bool json, std::ostream& out, std::ostream& err) {
  ResultReport report(json, out, err, true);
  VisitReaders(host, {"", true}, WhenUnnamed::FirstThatOpens,
               [&](const OpenedReader& reader) { report.Add(Identified(reader)); });
  return report.Finish(nullptr);
}

ExitStatus ShowInfo(HidHost& host, const ReaderScope& scope, bool json, std::ostream& out,
                    std::ostream& err) {
  ResultReport report(json, out, err);
  VisitReaders(host, scope, WhenUnnamed::FirstThatOpens,
               [&](const OpenedReader& reader) { report.Add(Identified(reader)); });
  return report.Finish(nullptr);
}

ExitStatus PrintTemplate(const std::string& file, std::ostream& out) {
  if (file.empty()) {
    out << SettingsTemplate();
    return kExitDone;
  }
  const FileResult written = WriteSettingsText(file, SettingsTemplate());
  if (written.Failed()) Fail(kExitOutputLost, {TerminalText(file) + ": " + written.error});
  return kExitDone;
}

ExitStatus ApplySettings(HidHost& host, const ApplyOptions& options, std::ostream& out,
                         std::ostream& err) {
  const Settings settings = CheckedSettings(options.file, err);
  if (options.dryRun) {
    (options.json ? PrintDryRunJson : PrintDryRun)(settings, out);
    return kExitDone;
  }
  if (options.watch) return WatchAndApply(host, settings, options, out, err);
  ResultReport report(options.json, out, err);
  VisitReaders(host, options.scope, WhenUnnamed::OnlyOneThatOpens,
               [&](const OpenedReader& reader) { report.Add(Applied(reader, settings)); });
  return report.Finish(options.scope.all ? "configured" : nullptr);
}

ExitStatus ResetReaders(HidHost& host, const ReaderScope& scope, bool json, std::ostream& out,
                        std::ostream& err) {
  ResultReport report(json, out, err);
  VisitReaders(host, scope, WhenUnnamed::OnlyOneThatOpens, [&](const OpenedReader& reader) {
    if (!reader.Opened()) return report.Add(UnopenedResult(reader));
    const ExchangeRecord reset = reader.session->Reset();
    ReaderResult result{reader.id, Outcome::Ok, ResetText(reset), "", std::nullopt, {}, false};
    if (!reset.Accepted()) {
      result.outcome = reset.completed ? Outcome::Refused : Outcome::Failed;
      result.reason = reset.completed ? "the reset was not accepted"
                                      : "the reset could not be sent or its answer read";
      if (!reset.completed) result.error = reset.error;
    }
    report.Add(result);
  });
  return report.Finish(scope.all ? "reset" : nullptr);
}

}  // namespace tavrin::cli
