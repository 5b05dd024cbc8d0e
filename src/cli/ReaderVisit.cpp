#include "cli/ReaderVisit.h"

#include <utility>
#include <vector>

#include "cli/TextOutput.h"
#include "reader/ReaderLink.h"
#include "session/Description.h"

namespace tavrin::cli {
namespace {

std::string WhyNotOpened(const ReaderSearchReport& search) {
  return search.readerUnopenable ? WhyUnopenableText(search) : "no reader at this path";
}

}  // namespace

ReaderTally VisitReaders(HidHost& host, const ReaderScope& scope, const ReaderVisitor& visitor) {
  ReaderTally tally;
  const std::vector<std::string> paths =
      scope.path.empty() ? PossibleReaderPaths(host) : std::vector<std::string>{scope.path};
  // Looking for the first reader skips those that do not open, as the
  // dialog does; they are told only when none opens.
  std::vector<std::pair<std::string, std::string>> skipped;
  for (const std::string& path : paths) {
    ReaderSession session(host);
    const ReaderSearchReport search = session.Open(path);
    if (!session.IsOpen()) {
      if (!search.readerSeen && scope.path.empty()) continue;  // not a reader
      ++tally.seen;
      skipped.emplace_back(path, WhyNotOpened(search));
      if (scope.all) visitor.unopenable(path, skipped.back().second);
      continue;
    }
    const int succeeded = visitor.opened(session, path) ? 1 : 0;
    if (!scope.all) return {1, 1, succeeded};
    ++tally.seen;
    ++tally.opened;
    tally.succeeded += succeeded;
  }
  if (!scope.all) {
    for (const auto& [path, why] : skipped) visitor.unopenable(path, why);
  }
  return tally;
}

bool OneReaderMeant(HidHost& host, const ReaderScope& scope, std::ostream& err) {
  if (scope.all || !scope.path.empty()) return true;
  std::vector<std::string> openable;
  for (const std::string& path : PossibleReaderPaths(host)) {
    ReaderSession session(host);
    session.Open(path);
    if (session.IsOpen()) openable.push_back(path);
  }
  if (openable.size() < 2) return true;
  err << openable.size() << " readers can be opened; name one with --reader PATH, or use --all:\n";
  for (const std::string& path : openable) err << "  " << TerminalText(path) << "\n";
  err << "Nothing was sent to any reader.\n";
  return false;
}

ExitStatus Conclude(const ReaderTally& tally, const ReaderScope& scope, const char* done,
                    std::ostream& out, std::ostream& err) {
  if (tally.seen == 0) err << "No reader found.\n";
  if (scope.all && done != nullptr && tally.seen > 0)
    out << tally.succeeded << " of " << tally.seen << " readers " << done << "\n";
  if (tally.opened == 0) return kExitNoReader;
  return tally.succeeded == tally.seen ? kExitDone : kExitReaderFailed;
}

}  // namespace tavrin::cli
