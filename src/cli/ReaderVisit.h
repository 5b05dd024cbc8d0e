// Which readers a command acts on, and going through them one at a time:
// the first one found, the one at a device path, or every one.
#pragma once

#include <functional>
#include <ostream>
#include <string>

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
  std::string path;  // when set, only the reader at this path
  bool all = false;  // every reader; otherwise the first that opens
};

struct ReaderVisitor {
  // Acts on an opened reader; true when it did what was asked.
  std::function<bool(ReaderSession& session, const std::string& path)> opened;
  // A reader, or the asked-for path, that could not be opened: why, in words.
  std::function<void(const std::string& path, const std::string& why)> unopenable;
};

struct ReaderTally {
  int seen = 0;       // readers found, opened or not
  int opened = 0;     // of those, opened
  int succeeded = 0;  // of those, done as asked
};

ReaderTally VisitReaders(HidHost& host, const ReaderScope& scope, const ReaderVisitor& visitor);

// Without --reader or --all, false after telling err which readers are
// attached when more than one opens: which of them was meant is unknown.
bool OneReaderMeant(HidHost& host, const ReaderScope& scope, std::ostream& err);

// Says when no reader was found and, after every reader, how many were
// done ("2 of 3 readers configured", when done is given); returns
// kExitDone, kExitReaderFailed or kExitNoReader.
ExitStatus Conclude(const ReaderTally& tally, const ReaderScope& scope, const char* done,
                    std::ostream& out, std::ostream& err);

}  // namespace tavrin::cli
