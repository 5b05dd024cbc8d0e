// Which readers a command acts on, and going through them one at a time:
// the first one found, the one named, or every one.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "reader/HidHost.h"
#include "session/ReaderSession.h"

namespace tavrin::cli {

// The program's exit statuses.
enum ExitStatus : int {
  kExitDone = 0,
  kExitReaderFailed = 1,  // some reader refused, failed or could not be opened
  kExitUsage = 2,         // usage or settings-file error: nothing was sent
  kExitNoReader = 3,      // no reader found, or none could be opened
  kExitOutputLost = 4,    // the results could not all be written
};

struct ReaderScope {
  // When set (--reader), only the reader with this device path, serial
  // number or USB location.
  std::string path;
  bool all = false;  // every reader; otherwise the first that opens
};

// One reader as a result names it: the interface it was reached through,
// and what tells it apart whatever its path.
struct ReaderId {
  std::string path;
  std::string serial;    // its USB serial number; empty when it has none
  std::string location;  // its USB location; empty when unknown
};

// For a terminal: "/dev/hidraw3 (serial 0001A2B3)", else with the location,
// "/dev/hidraw3 (location 1-2.3)", else the path alone.
std::string ReaderName(const ReaderId& reader);

// A reader as the host lists it: those of its interfaces that may be its
// own (on Windows its keyboard's too, which never opens), with the serial
// number and location they share.
struct ListedReader {
  std::vector<std::string> paths;  // in enumeration order
  std::string serial;
  std::string location;
};

// The readers attached, in enumeration order. Interfaces that share a
// location and a serial number are one reader's; each interface without a
// location is a reader of its own.
std::vector<ListedReader> AttachedReaders(HidHost& host);

// Those of readers that name (a --reader value) names: the interface at
// that device path; else the readers with that serial number; else the
// reader at that location (serial numbers and locations in any case).
std::vector<ListedReader> NamedReaders(const std::vector<ListedReader>& readers,
                                       const std::string& name);

// Checked before a command acts on readers: kExitUsage, with why on err,
// when --reader names more than one reader (a serial number that readers
// share); otherwise kExitDone. Opens nothing.
ExitStatus CheckScope(HidHost& host, const ReaderScope& scope, std::ostream& err);

// Without --reader or --all, false after telling err which readers are
// attached when more than one opens: which of them was meant is unknown.
bool OneReaderMeant(HidHost& host, const ReaderScope& scope, std::ostream& err);

// Opening a listed reader: through the first of its interfaces that opens
// as the reader; session is open afterwards if one did.
struct ReaderOpening {
  ReaderId id;        // the interface opened, else the first one tried
  bool seen = false;  // one was listed with the reader's identifiers, or opened as it
  std::string why;    // when seen but none opened: why, in words
  int error = 0;      // ... and the error number, 0 when none
};
ReaderOpening OpenListedReader(ReaderSession& session, const ListedReader& reader);

struct ReaderVisitor {
  // Acts on an opened reader; true when it did what was asked.
  std::function<bool(ReaderSession& session, const ReaderId& reader)> opened;
  // A reader, or the asked-for one, that could not be opened: why, in
  // words, and the error number (0 when none).
  std::function<void(const ReaderId& reader, const std::string& why, int error)> unopenable;
};

struct ReaderTally {
  int seen = 0;       // readers found, opened or not
  int opened = 0;     // of those, opened
  int succeeded = 0;  // of those, done as asked
};

ReaderTally VisitReaders(HidHost& host, const ReaderScope& scope, const ReaderVisitor& visitor);

// The exit status after every reader: kExitDone, kExitReaderFailed or
// kExitNoReader.
ExitStatus StatusOf(const ReaderTally& tally);

// Says when no reader was found and, after every reader, how many were
// done ("2 of 3 readers configured", when done is given); returns
// StatusOf(tally).
ExitStatus Conclude(const ReaderTally& tally, const ReaderScope& scope, const char* done,
                    std::ostream& out, std::ostream& err);

}  // namespace tavrin::cli
