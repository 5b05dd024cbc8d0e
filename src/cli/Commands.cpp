#include "cli/Commands.h"

#include <sstream>

#include "cli/Files.h"
#include "cli/TextOutput.h"
#include "config/CardFamilies.h"
#include "config/SettingsFile.h"
#include "session/Description.h"

namespace tavrin::cli {
namespace {

// Every line of a description, indented for a listing.
std::string Indented(const std::string& description) {
  std::string text;
  std::istringstream lines(TerminalText(description));
  for (std::string line; std::getline(lines, line);) text += "  " + line + "\n";
  return text;
}

std::string JsonFamilies(const Capabilities& capabilities) {
  std::string json = "[";
  for (const SupportedFamily& supported : capabilities.Supported()) {
    if (json.size() > 1) json += ", ";
    json += "{\"name\": " + JsonString(supported.family->name) + ", \"kinds\": [";
    const char* comma = "";
    for (const CardKind* kind : supported.kinds) {
      json += comma + JsonString(TabCaptionOf(kind->panel));
      comma = ", ";
    }
    json += "]}";
  }
  return json + "]";
}

std::string JsonIdentified(const std::string& path, const Identification& found) {
  std::string json = "{\"path\": " + JsonString(path) + ", \"opens\": true";
  json += ", \"identification\": " + (found.text ? JsonString(*found.text) : "null");
  json += ", \"families\": " + (found.capabilities ? JsonFamilies(*found.capabilities) : "null");
  if (found.error) json += ", \"error\": " + JsonString(LastErrorText(*found.error));
  return json + "}";
}

bool Identified(const Identification& found) { return found.capabilities && !found.error; }

}  // namespace

int ListReaders(HidHost& host, bool json, std::ostream& out, std::ostream& err) {
  std::vector<std::string> entries;
  ReaderVisitor visitor;
  visitor.opened = [&](ReaderSession& session, const std::string& path) {
    const Identification found = session.Identify();
    entries.push_back(json ? JsonIdentified(path, found)
                           : TerminalText(path) + "\n" + Indented(IdentificationText(found)));
    return Identified(found);
  };
  visitor.unopenable = [&](const std::string& path, const std::string& why) {
    entries.push_back(json ? "{\"path\": " + JsonString(path) +
                                 ", \"opens\": false, \"error\": " + JsonString(why) + "}"
                           : TerminalText(path) + "\n" + Indented(why));
  };
  const ReaderScope every{"", true};
  const ReaderTally tally = VisitReaders(host, every, visitor);
  if (json) {
    out << "{\"readers\": [";
    for (std::size_t i = 0; i < entries.size(); ++i) out << (i ? ",\n  " : "\n  ") << entries[i];
    out << "\n]}\n";
  } else {
    for (const std::string& entry : entries) out << entry;
  }
  return Conclude(tally, every, nullptr, out, err);
}

int ShowInfo(HidHost& host, const ReaderScope& scope, std::ostream& out, std::ostream& err) {
  ReaderVisitor visitor;
  visitor.opened = [&](ReaderSession& session, const std::string& path) {
    const Identification found = session.Identify();
    out << TerminalText(path) << "\n" << TerminalText(kConnectedText + IdentificationText(found));
    return Identified(found);
  };
  visitor.unopenable = [&](const std::string& path, const std::string& why) {
    err << TerminalText(path) << ": " << why << "\n";
  };
  return Conclude(VisitReaders(host, scope, visitor), scope, nullptr, out, err);
}

int PrintTemplate(const std::string& file, std::ostream& out, std::ostream& err) {
  if (file.empty()) {
    out << SettingsTemplate();
    return kExitDone;
  }
  return WriteFile(file, SettingsTemplate(), err) ? kExitDone : kExitOutputLost;
}

int ResetReaders(HidHost& host, const ReaderScope& scope, std::ostream& out, std::ostream& err) {
  if (!OneReaderMeant(host, scope, err)) return kExitUsage;
  ReaderVisitor visitor;
  visitor.opened = [&](ReaderSession& session, const std::string& path) {
    const ExchangeRecord reset = session.Reset();
    (reset.Accepted() ? out : err) << TerminalText(path) << ": " << ResetText(reset) << std::endl;
    return reset.Accepted();
  };
  visitor.unopenable = [&](const std::string& path, const std::string& why) {
    err << TerminalText(path) << ": " << why << std::endl;
  };
  return Conclude(VisitReaders(host, scope, visitor), scope, "reset", out, err);
}

}  // namespace tavrin::cli
