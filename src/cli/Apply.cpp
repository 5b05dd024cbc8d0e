#include <ctime>

#include "cli/Commands.h"
#include "cli/DryRun.h"
#include "cli/Files.h"
#include "cli/ReaderResult.h"
#include "cli/TextOutput.h"
#include "config/SettingsFile.h"
#include "session/Description.h"

namespace tavrin::cli {
namespace {

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
ReaderResult ApplyTo(ReaderSession& session, const ReaderId& reader, const Settings& settings) {
  ReaderResult result{reader, Outcome::Ok, "", "", std::nullopt};
  const Identification found = session.Identify();
  if (!found.capabilities || found.error) {
    result.outcome = found.error ? Outcome::Failed : Outcome::Refused;
    result.reason = "the reader did not tell what it supports";
    result.error = found.error;
    result.text = result.reason + "; nothing was written" +
                  (found.error ? " (" + LastErrorText(*found.error) + ")" : "");
    return result;
  }
  const std::string missing = Unsupported(settings, *found.capabilities);
  if (!missing.empty()) {
    result.outcome = Outcome::Refused;
    result.reason = "the reader does not support " + missing + "; it supports " +
                    SupportedText(*found.capabilities);
    result.text = "refused: " + result.reason + "; nothing was written";
    return result;
  }
  const DownloadResult download = session.Download(Adjusted(settings));
  result.text = OneLine(DownloadText(download));
  if (download.Succeeded()) return result;
  result.error = download.FirstError();
  result.outcome = result.error ? Outcome::Failed : Outcome::Refused;
  result.reason = FailureDetail(download);
  if (!result.reason.empty()) result.text += " (" + result.reason + ")";
  return result;
}

// apply --watch: one line per reader as it arrives, with the time and the
// count so far, or one JSON object per line; the summary when it ends.
int WatchAndApply(HidHost& host, const Settings& settings, const ApplyOptions& options,
                  std::ostream& out, std::ostream& err) {
  int handled = 0;
  const auto tell = [&](const ReaderResult& result) {
    ++handled;
    const std::tm now = options.waiting.now();
    char time[32];
    const std::string count =
        std::to_string(handled) + (options.count > 0 ? "/" + std::to_string(options.count) : "");
    if (options.json) {
      std::strftime(time, sizeof time, "%Y-%m-%dT%H:%M:%S", &now);
      out << ResultJson(result, ", \"time\": \"" + std::string(time) +
                                    "\", \"count\": " + std::to_string(handled))
          << std::endl;
    } else {
      std::strftime(time, sizeof time, "%H:%M:%S", &now);
      (result.outcome == Outcome::Ok ? out : err)
          << time << " " << count << " " << ResultLine(result) << std::endl;
    }
    return result.outcome == Outcome::Ok;
  };
  ReaderVisitor visitor;
  visitor.opened = [&](ReaderSession& session, const ReaderId& reader) {
    return tell(ApplyTo(session, reader, settings));
  };
  visitor.unopenable = [&](const ReaderId& reader, const std::string& why, int error) {
    tell(UnopenedResult(reader, why, error));
  };
  err << "Waiting for readers: each one plugged in is configured once"
      << (options.count > 0 ? ", until " + std::to_string(options.count) + " have been" : "")
      << ". Ctrl-C stops." << std::endl;
  const ReaderTally tally = WatchReaders(host, options.waiting, options.count, visitor);
  const ExitStatus status = tally.succeeded == tally.seen ? kExitDone : kExitReaderFailed;
  if (options.json) {
    out << "{\"summary\": " << SummaryJson(tally, status) << "}" << std::endl;
  } else {
    out << tally.succeeded << " of " << tally.seen << " readers configured" << std::endl;
  }
  return status;
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
  if (options.watch) return WatchAndApply(host, parsed.settings, options, out, err);
  if (const ExitStatus status = CheckScope(host, options.scope, err); status != kExitDone)
    return status;
  if (!OneReaderMeant(host, options.scope, err)) return kExitUsage;
  ResultReport report(options.json, out, err);
  ReaderVisitor visitor;
  visitor.opened = [&](ReaderSession& session, const ReaderId& reader) {
    const ReaderResult result = ApplyTo(session, reader, parsed.settings);
    report.Add(result);
    return result.outcome == Outcome::Ok;
  };
  visitor.unopenable = [&](const ReaderId& reader, const std::string& why, int error) {
    report.Add(UnopenedResult(reader, why, error));
  };
  const ReaderTally tally = VisitReaders(host, options.scope, visitor);
  return report.Finish(tally, options.scope, "configured");
}

}  // namespace tavrin::cli
