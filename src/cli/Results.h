// What a command did with each reader, told as a line for a person or as a
// JSON object for a script, and the summary after every reader.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>

#include "cli/Readers.h"
#include "cli/Status.h"
#include "config/CardFamilies.h"

namespace tavrin::cli {

using Json = nlohmann::ordered_json;

enum class Outcome {
  Ok,        // done as asked
  Refused,   // the reader answered, but not as asked, or lacks what the file chooses
  Failed,    // a report could not be sent or its answer read (error says why)
  Unopened,  // it could not be opened, or no reader has the name given
};

struct ReaderResult {
  ReaderId reader;
  Outcome outcome = Outcome::Ok;
  std::string text;          // apply and reset: what the line says after the reader's name
  std::string reason;        // when not Ok: why, in words
  std::optional<int> error;  // the system's error number, when one is known
  // list and info: what the reader told of itself, when it opened.
  std::optional<Identification> identified;
  bool identifying = false;
};

// A reader that could not be opened, as its opening tells it.
ReaderResult UnopenedResult(const OpenedReader& reader);

// {"path", "serial", "location", "result", "reason", "error", then "text"
// for apply and reset, or "opens", "identification", "families"}.
void to_json(Json& json, const ReaderResult& result);

// "iso14443a (mifare, ultralight), iso15693 (no card kinds)", by the names
// of a settings file; "no card family" when none.
std::string SupportedText(const Capabilities& capabilities);

struct Tally {
  int seen = 0;       // readers told, opened or not
  int opened = 0;     // of those, opened
  int succeeded = 0;  // of those, done as asked

  void Count(const ReaderResult& result);
  // kExitDone, kExitReaderFailed, or kExitNoReader when none opened.
  ExitStatus Status() const;
};

// {"readers": N, "succeeded": N, "failed": N, "exit": N}
void to_json(Json& json, const Tally& tally);

// A JSON document as the program prints it: UTF-8, a byte that is no
// UTF-8 replaced.
std::string JsonText(const Json& json, int indent = -1);

// Tells each result as it comes: a line (on out when Ok, else on err), a
// reader's block (list and info), or, for JSON, an object of the document
// printed at the end.
class ResultReport {
 public:
  // listing: every reader as a block, those that did not open too (list).
  ResultReport(bool json, std::ostream& out, std::ostream& err, bool listing = false)
      : json_(json), listing_(listing), out_(out), err_(err) {}

  void Add(const ReaderResult& result);

  // After every reader: "No reader found." when none was; with done, "2 of
  // 3 readers configured"; or the JSON document.
  ExitStatus Finish(const char* done);

 private:
  bool json_;
  bool listing_;
  std::ostream& out_;
  std::ostream& err_;
  Json readers_ = Json::array();
  Tally tally_;
};

// "/dev/hidraw3 (serial 0001A2B3): DownLoad Successed"
std::string ResultLine(const ReaderResult& result);

}  // namespace tavrin::cli
