// What a command did with one reader, told as a line for a person or as a
// JSON object for a script; and the JSON document of a whole command.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/ReaderVisit.h"
#include "config/CardFamilies.h"

namespace tavrin::cli {

enum class Outcome {
  Ok,        // done as asked
  Refused,   // the reader answered, but not as asked, or lacks what the file chooses
  Failed,    // a report could not be sent or its answer read (error says why)
  Unopened,  // it could not be opened, or no reader has the name given
};

struct ReaderResult {
  ReaderId reader;
  Outcome outcome = Outcome::Ok;
  std::string text;          // what the line says after the reader's name
  std::string reason;        // when not Ok: why, in words
  std::optional<int> error;  // the system's error number, when one is known
};

// A reader that could not be opened: why, with the error number (0: none).
ReaderResult UnopenedResult(const ReaderId& reader, const std::string& why, int error);

// "ok", "refused", "failed" or "unopened".
const char* OutcomeName(Outcome outcome);

// "/dev/hidraw3 (serial 0001A2B3): DownLoad Successed"
std::string ResultLine(const ReaderResult& result);

// "\"path\": ..., \"serial\": ..., \"location\": ...": the members naming
// a reader, null for what it lacks.
std::string IdJson(const ReaderId& reader);

// {"path", "serial", "location", "result", "reason", "error"}, then "text"
// when the result has one, then more (further members, comma first).
std::string ResultJson(const ReaderResult& result, const std::string& more = "");

// "iso14443a (mifare, ultralight), iso15693 (no card kinds)", by the names
// of a settings file; "no card family" when none.
std::string SupportedText(const Capabilities& capabilities);

// [{"name": "iso14443a", "kinds": ["mifare", "ultralight"]}, ...]
std::string SupportedJson(const Capabilities& capabilities);

// {"readers": N, "succeeded": N, "failed": N, "exit": N}
std::string SummaryJson(const ReaderTally& tally, int status);

// Tells each reader's result as it comes: a line (on out when Ok, else on
// err), or, for JSON, an object of the document printed at the end.
class ResultReport {
 public:
  ResultReport(bool json, std::ostream& out, std::ostream& err)
      : json_(json), out_(out), err_(err) {}

  void Add(const ReaderResult& result, const std::string& moreJson = "");

  // After every reader. Text: Conclude's summary. JSON: {"readers": [the
  // objects], "summary": SummaryJson}, and "No reader found." on err when
  // none was. Returns the exit status.
  ExitStatus Finish(const ReaderTally& tally, const ReaderScope& scope, const char* done);

 private:
  bool json_;
  std::ostream& out_;
  std::ostream& err_;
  std::vector<std::string> objects_;
};

}  // namespace tavrin::cli
