#include "cli/Commands.h"

#include "cli/Files.h"
#include "cli/ReaderResult.h"
#include "cli/TextOutput.h"
#include "config/CardFamilies.h"
#include "config/SettingsFile.h"
#include "session/Description.h"

namespace tavrin::cli {
namespace {

bool Identified(const Identification& found) { return found.capabilities && !found.error; }

// The reader's own text (Latin-1, any bytes) on one line of a terminal.
std::string TerminalLine(const std::string& latin1) {
  std::string line = TerminalText(OneLine(latin1));
  for (char& c : line) {
    if (c == '\n') c = ' ';
  }
  return line;
}

ReaderResult IdentificationResult(const ReaderId& reader, const Identification& found) {
  ReaderResult result{reader, Outcome::Ok, "", "", std::nullopt};
  if (Identified(found)) return result;
  result.outcome = found.error ? Outcome::Failed : Outcome::Refused;
  result.reason = "the reader did not tell what it supports";
  result.error = found.error;
  return result;
}

// "/dev/hidraw3", then indented: its serial number, location and either
// what it said of itself or why that is not known.
std::string ReaderBlock(const ReaderId& reader) {
  return TerminalText(reader.path) +
         "\n  serial: " + (reader.serial.empty() ? "none" : TerminalUtf8(reader.serial)) +
         "\n  location: " + (reader.location.empty() ? "none" : TerminalUtf8(reader.location)) +
         "\n";
}

std::string IdentifiedBlock(const ReaderId& reader, const Identification& found) {
  std::string block = ReaderBlock(reader);
  if (found.text) block += "  identification: " + TerminalLine(*found.text) + "\n";
  if (found.capabilities) block += "  supports: " + SupportedText(*found.capabilities) + "\n";
  const ReaderResult result = IdentificationResult(reader, found);
  if (result.outcome != Outcome::Ok) {
    block +=
        "  " + result.reason + (found.error ? " (" + LastErrorText(*found.error) + ")" : "") + "\n";
  }
  return block;
}

std::string IdentifiedJsonMembers(const Identification& found) {
  return ", \"opens\": true, \"identification\": " +
         (found.text ? JsonString(*found.text) : "null") +
         ", \"families\": " + (found.capabilities ? SupportedJson(*found.capabilities) : "null");
}

constexpr const char* kUnopenedJsonMembers =
    ", \"opens\": false, \"identification\": null, \"families\": null";

// list and info: each reader's block, or the JSON document.
int Identify(HidHost& host, const ReaderScope& scope, bool json, std::ostream& out,
             std::ostream& err) {
  ResultReport report(json, out, err);
  ReaderVisitor visitor;
  visitor.opened = [&](ReaderSession& session, const ReaderId& reader) {
    const Identification found = session.Identify();
    if (json) {
      report.Add(IdentificationResult(reader, found), IdentifiedJsonMembers(found));
    } else {
      out << IdentifiedBlock(reader, found);
    }
    return Identified(found);
  };
  visitor.unopenable = [&](const ReaderId& reader, const std::string& why, int error) {
    if (json) {
      ReaderResult result = UnopenedResult(reader, why, error);
      result.text.clear();  // list and info tell no line of their own
      report.Add(result, kUnopenedJsonMembers);
    } else if (scope.all) {  // list
      out << ReaderBlock(reader) << "  " << TerminalText(why) << "\n";
    } else {
      err << ResultLine(UnopenedResult(reader, why, error)) << "\n";
    }
  };
  return report.Finish(VisitReaders(host, scope, visitor), scope, nullptr);
}

}  // namespace

int ListReaders(HidHost& host, bool json, std::ostream& out, std::ostream& err) {
  return Identify(host, ReaderScope{"", true}, json, out, err);
}

int ShowInfo(HidHost& host, const ReaderScope& scope, bool json, std::ostream& out,
             std::ostream& err) {
  if (const ExitStatus status = CheckScope(host, scope, err); status != kExitDone) return status;
  return Identify(host, scope, json, out, err);
}

int PrintTemplate(const std::string& file, std::ostream& out, std::ostream& err) {
  if (file.empty()) {
    out << SettingsTemplate();
    return kExitDone;
  }
  return WriteFile(file, SettingsTemplate(), err) ? kExitDone : kExitOutputLost;
}

int ResetReaders(HidHost& host, const ReaderScope& scope, bool json, std::ostream& out,
                 std::ostream& err) {
  if (const ExitStatus status = CheckScope(host, scope, err); status != kExitDone) return status;
  if (!OneReaderMeant(host, scope, err)) return kExitUsage;
  ResultReport report(json, out, err);
  ReaderVisitor visitor;
  visitor.opened = [&](ReaderSession& session, const ReaderId& reader) {
    const ExchangeRecord reset = session.Reset();
    ReaderResult result{reader, Outcome::Ok, ResetText(reset), "", std::nullopt};
    if (!reset.Accepted()) {
      result.outcome = reset.completed ? Outcome::Refused : Outcome::Failed;
      result.reason = reset.completed ? "the reset was not accepted"
                                      : "the reset could not be sent or its answer read";
      if (!reset.completed) result.error = reset.error;
    }
    report.Add(result);
    return reset.Accepted();
  };
  visitor.unopenable = [&](const ReaderId& reader, const std::string& why, int error) {
    report.Add(UnopenedResult(reader, why, error));
  };
  return report.Finish(VisitReaders(host, scope, visitor), scope, "reset");
}

}  // namespace tavrin::cli
