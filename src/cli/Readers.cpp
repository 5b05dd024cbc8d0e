#include "cli/Readers.h"

#include <algorithm>
#include <cctype>

#include "cli/Status.h"
#include "cli/Text.h"
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

// The interface at that path; else the readers with that serial number;
// else the reader at that location, the last two in any case.
std::vector<ListedReader> NamedReaders(const std::vector<ListedReader>& readers,
                                       const std::string& name) {
  for (const ListedReader& reader : readers) {
    for (const HidInterface& device : reader.interfaces) {
      if (device.path == name) return {{{device}, reader.serial, reader.location}};
    }
  }
  std::vector<ListedReader> found = Matching(readers, &ListedReader::serial, name);
  return found.empty() ? Matching(readers, &ListedReader::location, name) : found;
}

[[noreturn]] void RefuseSharedSerial(const std::string& name,
                                     const std::vector<ListedReader>& named) {
  std::vector<std::string> lines{"--reader " + TerminalText(name) + " names " +
                                 std::to_string(named.size()) +
                                 " readers, which share this serial number:"};
  for (const ListedReader& reader : named)
    lines.push_back("  " + ReaderName({reader.interfaces.front().path, "", reader.location, ""}));
  lines.emplace_back("Name one by its location or path.");
  Fail(kExitUsage, std::move(lines));
}

[[noreturn]] void RefuseToChoose(const std::vector<OpenedReader>& opened) {
  std::vector<std::string> lines{
      std::to_string(opened.size()) +
      " readers can be opened; name one with --reader (its path, serial number or location), or "
      "use --all:"};
  for (const OpenedReader& reader : opened) lines.push_back("  " + ReaderName(reader.id));
  Fail(kExitUsage, std::move(lines));
}

OpenedReader Unmatched(const std::string& name, const std::string& path) {
  OpenedReader none;
  none.id = {path, "", "", path.empty() ? name : ""};
  none.isReader = true;  // told, as the reader asked for
  none.why = kNotNamed;
  return none;
}

}  // namespace

std::string ReaderName(const ReaderId& reader) {
  if (!reader.unmatchedName.empty()) return TerminalText(reader.unmatchedName);
  const std::string name = TerminalText(reader.path);
  if (!reader.serial.empty()) return name + " (serial " + TerminalText(reader.serial) + ")";
  if (!reader.location.empty()) return name + " (location " + TerminalText(reader.location) + ")";
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
      same->interfaces.push_back(device);
    } else {
      readers.push_back({{device}, device.serial, device.location});
    }
  }
  return readers;
}

OpenedReader OpenReader(HidHost& host, const ListedReader& reader) {
  OpenedReader opened;
  opened.id = {reader.interfaces.front().path, reader.serial, reader.location, ""};
  opened.session = std::make_unique<ReaderSession>(host);
  for (const HidInterface& device : reader.interfaces) {
    const ReaderSearchReport search = opened.session->Open(device);
    if (opened.session->IsOpen()) {
      opened.id.path = device.path;
      opened.isReader = true;
      return opened;
    }
    if (!search.readerSeen || opened.isReader) continue;
    // The first interface that looked like the reader and did not open.
    opened.isReader = true;
    opened.id.path = device.path;
    opened.why = search.readerUnopenable ? UnopenableReaderText(search) : "no reader at this path";
    opened.error = search.readerUnopenable ? search.openError : 0;
  }
  return opened;
}

void VisitReaders(HidHost& host, const ReaderScope& scope, WhenUnnamed unnamed,
                  const std::function<void(OpenedReader&)>& visit) {
  std::vector<ListedReader> readers = AttachedReaders(host);
  const bool named = !scope.name.empty();
  if (named) {
    readers = NamedReaders(readers, scope.name);
    if (readers.size() > 1) RefuseSharedSerial(scope.name, readers);
    if (readers.empty()) {
      OpenedReader none = Unmatched(scope.name, "");
      return visit(none);
    }
  }
  // Without a name, readers that do not open are skipped, as the dialog
  // does; they are told only when none opens.
  std::vector<OpenedReader> opened, unopened;
  for (const ListedReader& reader : readers) {
    OpenedReader one = OpenReader(host, reader);
    if (named && !one.isReader) one = Unmatched(scope.name, one.id.path);
    if (!one.isReader) continue;  // no reader at all
    if (scope.all || named) {
      visit(one);
    } else {
      (one.Opened() ? opened : unopened).push_back(std::move(one));
      if (!opened.empty() && unnamed == WhenUnnamed::FirstThatOpens) break;
    }
  }
  if (scope.all || named) return;
  if (opened.size() > 1) RefuseToChoose(opened);
  for (OpenedReader& one : opened.empty() ? unopened : opened) visit(one);
}

}  // namespace tavrin::cli
