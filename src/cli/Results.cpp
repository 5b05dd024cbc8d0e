#include "cli/Results.h"

#include "cli/Text.h"
#include "reader/Utf8.h"
#include "session/Description.h"

namespace tavrin::cli {
namespace {

Json OrNull(const std::string& text) { return text.empty() ? Json() : Json(text); }

const char* OutcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::Ok:
      return "ok";
    case Outcome::Refused:
      return "refused";
    case Outcome::Failed:
      return "failed";
    case Outcome::Unopened:
      break;
  }
  return "unopened";
}

Json FamiliesJson(const Capabilities& capabilities) {
  Json families = Json::array();
  for (const SupportedFamily& supported : capabilities.Supported()) {
    Json kinds = Json::array();
    for (const CardKind* kind : supported.kinds) kinds.push_back(kind->key);
    families.push_back({{"name", supported.family->key}, {"kinds", kinds}});
  }
  return families;
}

// "/dev/hidraw3", then indented: its serial number, location and either
// what it said of itself or why that is not known.
std::string ReaderBlock(const ReaderResult& result) {
  const ReaderId& reader = result.reader;
  std::string block =
      TerminalText(reader.path) +
      "\n  serial: " + (reader.serial.empty() ? "none" : TerminalText(reader.serial)) +
      "\n  location: " + (reader.location.empty() ? "none" : TerminalText(reader.location)) + "\n";
  const std::optional<Identification>& found = result.identified;
  if (found && found->text)
    block += "  identification: " + TerminalText(ReaderText(*found->text)) + "\n";
  if (found && found->capabilities)
    block += "  supports: " + SupportedText(*found->capabilities) + "\n";
  if (result.outcome == Outcome::Ok) return block;
  const bool told = result.outcome == Outcome::Unopened;  // the reason gives the error
  const std::string error = result.error && !told ? " (" + LastErrorText(*result.error) + ")" : "";
  return block + "  " + TerminalText(result.reason) + error + "\n";
}

}  // namespace

ReaderResult UnopenedResult(const OpenedReader& reader) {
  ReaderResult result{reader.id, Outcome::Unopened, reader.why, reader.why, std::nullopt, {},
                      false};
  if (reader.error != 0) result.error = reader.error;
  return result;
}

void to_json(Json& json, const ReaderResult& result) {
  const ReaderId& reader = result.reader;
  json = Json::object();
  if (!reader.unmatchedName.empty()) json["name"] = reader.unmatchedName;
  json["path"] = OrNull(reader.path);
  json["serial"] = OrNull(reader.serial);
  json["location"] = OrNull(reader.location);
  json["result"] = OutcomeName(result.outcome);
  json["reason"] = OrNull(result.reason);
  json["error"] = result.error ? Json(*result.error) : Json();
  if (!result.identifying) {
    if (!result.text.empty()) json["text"] = result.text;
    return;
  }
  const std::optional<Identification>& found = result.identified;
  json["opens"] = result.outcome != Outcome::Unopened;
  json["identification"] = found && found->text ? Json(Latin1ToUtf8(*found->text)) : Json();
  json["families"] = found && found->capabilities ? FamiliesJson(*found->capabilities) : Json();
}

std::string SupportedText(const Capabilities& capabilities) {
  std::string text;
  for (const SupportedFamily& supported : capabilities.Supported()) {
    std::string kinds;
    for (const CardKind* kind : supported.kinds)
      kinds += (kinds.empty() ? "" : ", ") + std::string(kind->key);
    text += (text.empty() ? "" : ", ") + std::string(supported.family->key) + " (" +
            (kinds.empty() ? "no card kinds" : kinds) + ")";
  }
  return text.empty() ? "no card family" : text;
}

void Tally::Count(const ReaderResult& result) {
  ++seen;
  opened += result.outcome == Outcome::Unopened ? 0 : 1;
  succeeded += result.outcome == Outcome::Ok ? 1 : 0;
}

ExitStatus Tally::Status() const {
  if (opened == 0) return kExitNoReader;
  return succeeded == seen ? kExitDone : kExitReaderFailed;
}

void to_json(Json& json, const Tally& tally) {
  json = {{"readers", tally.seen},
          {"succeeded", tally.succeeded},
          {"failed", tally.seen - tally.succeeded},
          {"exit", tally.Status()}};
}

std::string JsonText(const Json& json, int indent) {
  return json.dump(indent, ' ', false, Json::error_handler_t::replace);
}

std::string ResultLine(const ReaderResult& result) {
  return ReaderName(result.reader) + ": " + TerminalText(result.text);
}

void ResultReport::Add(const ReaderResult& result) {
  tally_.Count(result);
  if (json_) {
    readers_.push_back(result);
  } else if (result.identifying && (listing_ || result.outcome != Outcome::Unopened)) {
    out_ << ReaderBlock(result) << std::flush;
  } else {
    (result.outcome == Outcome::Ok ? out_ : err_) << ResultLine(result) << std::endl;
  }
}

ExitStatus ResultReport::Finish(const char* done) {
  if (tally_.seen == 0) err_ << "No reader found.\n";
  if (json_) {
    out_ << JsonText({{"readers", readers_}, {"summary", tally_}}, 2) << "\n";
  } else if (done != nullptr && tally_.seen > 0) {
    out_ << tally_.succeeded << " of " << tally_.seen << " readers " << done << "\n";
  }
  return tally_.Status();
}

}  // namespace tavrin::cli
