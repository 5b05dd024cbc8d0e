#include "cli/ReaderResult.h"

#include "cli/TextOutput.h"

namespace tavrin::cli {
namespace {

std::string OrNull(const std::string& utf8) { return utf8.empty() ? "null" : JsonUtf8String(utf8); }

}  // namespace

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

ReaderResult UnopenedResult(const ReaderId& reader, const std::string& why, int error) {
  ReaderResult result{reader, Outcome::Unopened, why, why, std::nullopt};
  if (error != 0) result.error = error;
  return result;
}

std::string ResultLine(const ReaderResult& result) {
  return ReaderName(result.reader) + ": " + TerminalText(result.text);
}

std::string IdJson(const ReaderId& reader) {
  return "\"path\": " + JsonString(reader.path) + ", \"serial\": " + OrNull(reader.serial) +
         ", \"location\": " + OrNull(reader.location);
}

std::string ResultJson(const ReaderResult& result, const std::string& more) {
  std::string json =
      "{" + IdJson(result.reader) + ", \"result\": \"" + OutcomeName(result.outcome) +
      "\", \"reason\": " + (result.reason.empty() ? "null" : JsonString(result.reason)) +
      ", \"error\": " + (result.error ? std::to_string(*result.error) : "null");
  if (!result.text.empty()) json += ", \"text\": " + JsonString(result.text);
  return json + more + "}";
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

std::string SupportedJson(const Capabilities& capabilities) {
  std::string json = "[";
  for (const SupportedFamily& supported : capabilities.Supported()) {
    if (json.size() > 1) json += ", ";
    json += "{\"name\": " + JsonString(supported.family->key) + ", \"kinds\": [";
    const char* comma = "";
    for (const CardKind* kind : supported.kinds) {
      json += comma + JsonString(kind->key);
      comma = ", ";
    }
    json += "]}";
  }
  return json + "]";
}

std::string SummaryJson(const ReaderTally& tally, int status) {
  return "{\"readers\": " + std::to_string(tally.seen) +
         ", \"succeeded\": " + std::to_string(tally.succeeded) +
         ", \"failed\": " + std::to_string(tally.seen - tally.succeeded) +
         ", \"exit\": " + std::to_string(status) + "}";
}

void ResultReport::Add(const ReaderResult& result, const std::string& moreJson) {
  if (json_) {
    objects_.push_back(ResultJson(result, moreJson));
  } else {
    (result.outcome == Outcome::Ok ? out_ : err_) << ResultLine(result) << std::endl;
  }
}

ExitStatus ResultReport::Finish(const ReaderTally& tally, const ReaderScope& scope,
                                const char* done) {
  if (!json_) return Conclude(tally, scope, done, out_, err_);
  if (tally.seen == 0) err_ << "No reader found.\n";
  const ExitStatus status = StatusOf(tally);
  out_ << "{\"readers\": [";
  for (std::size_t i = 0; i < objects_.size(); ++i) out_ << (i ? ",\n  " : "\n  ") << objects_[i];
  out_ << (objects_.empty() ? "" : "\n") << "],\n \"summary\": " << SummaryJson(tally, status)
       << "}\n";
  return status;
}

}  // namespace tavrin::cli
