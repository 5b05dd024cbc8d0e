// Which readers a command acts on. The devices are listed once; --reader
// NAME, --all or neither resolve into the readers meant, or into one usage
// failure; each reader meant is opened once.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "reader/HidHost.h"
#include "session/ReaderSession.h"

namespace tavrin::cli {

struct ReaderScope {
  std::string name;  // --reader: a device path, serial number or USB location
  bool all = false;  // --all
};

// Without --reader or --all: info takes the first reader that opens;
// apply and reset refuse to choose among several.
enum class WhenUnnamed { FirstThatOpens, OnlyOneThatOpens };

// One reader as a result names it. A --reader name that matches no reader
// is told under its own name, with no path.
struct ReaderId {
  std::string path;
  std::string serial;    // empty when it has none
  std::string location;  // empty when unknown
  std::string unmatchedName;
};

// For a terminal: "/dev/hidraw3 (serial 0001A2B3)", else with the location,
// else the path alone.
std::string ReaderName(const ReaderId& reader);

// A reader as the host lists it: those of its interfaces that may be its
// own (on Windows its keyboard's too, which never opens), sharing its serial
// number and location.
struct ListedReader {
  std::vector<HidInterface> interfaces;  // in enumeration order
  std::string serial;
  std::string location;
};

// The readers attached, in enumeration order. Interfaces that share a
// location and a serial number are one reader's; each one without a
// location is a reader of its own.
std::vector<ListedReader> AttachedReaders(HidHost& host);

// A listed reader opened through the first of its interfaces that opens as
// the reader, or why none did.
struct OpenedReader {
  ReaderId id;  // the interface opened, else the first that looked like the reader
  std::unique_ptr<ReaderSession> session;  // open when it opened
  bool isReader = false;                   // it opened, or one interface was listed as the reader
  std::string why;                         // when a reader that did not open: why, in words
  int error = 0;                           // ... and the system's error number, 0 when none

  bool Opened() const { return session && session->IsOpen(); }
};
OpenedReader OpenReader(HidHost& host, const ListedReader& reader);

// Hands the readers a command acts on to visit, in order, each opened or
// told as not; with --all each is opened only while it is visited. Throws
// a usage Failure, listing the candidates, when --reader names several
// readers, or, for OnlyOneThatOpens, when several open. A --reader name
// that matches nothing comes as one unopened reader.
void VisitReaders(HidHost& host, const ReaderScope& scope, WhenUnnamed unnamed,
                  const std::function<void(OpenedReader&)>& visit);

}  // namespace tavrin::cli
