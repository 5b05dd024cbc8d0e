#include "cli/ReaderVisit.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

#include "cli/TextOutput.h"
#include "reader/ReaderLink.h"
#include "session/Description.h"

namespace tavrin::cli {
namespace {

constexpr const char* kNotNamed = "no reader has this path, serial number or location";

bool SameText(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

std::vector<ListedReader> Matching(const std::vector<ListedReader>& readers,
                                   const std::string ListedReader::*field,
                                   const std::string& name) {
  std::vector<ListedReader> found;
  for (const ListedReader& reader : readers) {
    if (!(reader.*field).empty() && SameText(reader.*field, name)) found.push_back(reader);
  }
  return found;
}

}  // namespace

std::string ReaderName(const ReaderId& reader) {
  std::string name = TerminalText(reader.path);
  if (!reader.serial.empty()) return name + " (serial " + TerminalUtf8(reader.serial) + ")";
  if (!reader.location.empty()) return name + " (location " + TerminalUtf8(reader.location) + ")";
  return name;
}

std::vector<ListedReader> AttachedReaders(HidHost& host) {
  std::vector<ListedReader> readers;
  for (const HidInterface& device : PossibleReaders(host)) {
    // Without a location, two readers with one serial number (or none) could
    // not be told from one reader's interfaces.
    const bool placed = !device.location.empty();
    const auto same = std::find_if(readers.begin(), readers.end(), [&](const ListedReader& reader) {
      return placed && reader.serial == device.serial && reader.location == device.location;
    });
    if (same != readers.end()) {
      same->paths.push_back(device.path);
    } else {
      readers.push_back({{device.path}, device.serial, device.location});
    }
  }
  return readers;
}

std::vector<ListedReader> NamedReaders(const std::vector<ListedReader>& readers,
                                       const std::string& name) {
  for (const ListedReader& reader : readers) {
    if (std::find(reader.paths.begin(), reader.paths.end(), name) != reader.paths.end())
      return {{{name}, reader.serial, reader.location}};
  }
  std::vector<ListedReader> found = Matching(readers, &ListedReader::serial, name);
  return found.empty() ? Matching(readers, &ListedReader::location, name) : found;
}

ExitStatus CheckScope(HidHost& host, const ReaderScope& scope, std::ostream& err) {
  if (scope.path.empty()) return kExitDone;
  const std::vector<ListedReader> named = NamedReaders(AttachedReaders(host), scope.path);
  if (named.size() < 2) return kExitDone;
  err << "--reader " << TerminalUtf8(scope.path) << " names " << named.size()
      << " readers, which share this serial number:\n";
  for (const ListedReader& reader : named)
    err << "  " << ReaderName({reader.paths.front(), "", reader.location}) << "\n";
  err << "Name one by its location or path. Nothing was sent to any reader.\n";
  return kExitUsage;
}

bool OneReaderMeant(HidHost& host, const ReaderScope& scope, std::ostream& err) {
  if (scope.all || !scope.path.empty()) return true;
  std::vector<ReaderId> openable;
  for (const ListedReader& reader : AttachedReaders(host)) {
    ReaderSession session(host);
    const ReaderOpening opening = OpenListedReader(session, reader);
    if (session.IsOpen()) openable.push_back(opening.id);
  }
  if (openable.size() < 2) return true;
  err << openable.size()
      << " readers can be opened; name one with --reader (its path, serial number or location), "
         "or use --all:\n";
  for (const ReaderId& reader : openable) err << "  " << ReaderName(reader) << "\n";
  err << "Nothing was sent to any reader.\n";
  return false;
}

ReaderOpening OpenListedReader(ReaderSession& session, const ListedReader& reader) {
  ReaderOpening opening;
  opening.id = {reader.paths.front(), reader.serial, reader.location};
  bool failed = false;
  for (const std::string& path : reader.paths) {
    const ReaderSearchReport search = session.Open(path);
    if (session.IsOpen()) {
      opening.id.path = path;
      opening.seen = true;
      return opening;
    }
    if (!search.readerSeen || failed) continue;
    // The first interface that looked like the reader and did not open.
    failed = opening.seen = true;
    opening.id.path = path;
    opening.why = search.readerUnopenable ? WhyUnopenableText(search) : "no reader at this path";
    opening.error = search.readerUnopenable ? search.openError : 0;
  }
  return opening;
}

ReaderTally VisitReaders(HidHost& host, const ReaderScope& scope, const ReaderVisitor& visitor) {
  ReaderTally tally;
  std::vector<ListedReader> readers = AttachedReaders(host);
  if (!scope.path.empty()) {
    readers = NamedReaders(readers, scope.path);
    if (readers.empty()) readers.push_back({{scope.path}, "", ""});  // told as not found
  }
  // Looking for the first reader skips those that do not open, as the
  // dialog does; they are told only when none opens.
  std::vector<ReaderOpening> skipped;
  for (const ListedReader& reader : readers) {
    ReaderSession session(host);
    ReaderOpening opening = OpenListedReader(session, reader);
    if (!session.IsOpen()) {
      if (!opening.seen && scope.path.empty()) continue;  // not a reader
      if (!opening.seen) opening.why = kNotNamed;
      ++tally.seen;
      skipped.push_back(opening);
      if (scope.all) visitor.unopenable(opening.id, opening.why, opening.error);
      continue;
    }
    const int succeeded = visitor.opened(session, opening.id) ? 1 : 0;
    if (!scope.all) return {1, 1, succeeded};
    ++tally.seen;
    ++tally.opened;
    tally.succeeded += succeeded;
  }
  if (!scope.all) {
    for (const ReaderOpening& opening : skipped)
      visitor.unopenable(opening.id, opening.why, opening.error);
  }
  return tally;
}

ExitStatus StatusOf(const ReaderTally& tally) {
  if (tally.opened == 0) return kExitNoReader;
  return tally.succeeded == tally.seen ? kExitDone : kExitReaderFailed;
}

ExitStatus Conclude(const ReaderTally& tally, const ReaderScope& scope, const char* done,
                    std::ostream& out, std::ostream& err) {
  if (tally.seen == 0) err << "No reader found.\n";
  if (scope.all && done != nullptr && tally.seen > 0)
    out << tally.succeeded << " of " << tally.seen << " readers " << done << "\n";
  return StatusOf(tally);
}

}  // namespace tavrin::cli
