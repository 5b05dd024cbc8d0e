// The reader as both front ends use it: finding and opening it, asking who
// it is, writing the configuration, and resetting it. Plain results come
// back; Description.h words them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/CardFamilies.h"
#include "config/ConfigPage.h"
#include "config/Settings.h"
#include "reader/HidHost.h"
#include "reader/ReaderLink.h"

namespace tavrin {

// What the reader said of itself. Identification stops at the first
// exchange that fails or is refused; error is set when one failed.
struct Identification {
  std::optional<std::string> text;
  std::optional<Capabilities> capabilities;
  std::optional<int> error;
};

// A page written, and what came of its request.
struct PageWrite {
  PageNumber number{};
  ExchangeRecord exchange;
};

// What a DownLoad sent and what came of it, in order.
struct DownloadResult {
  bool keyInvalid = false;  // the Mifare key is no hex number: nothing was sent
  std::optional<ExchangeRecord> unlock;
  std::vector<PageWrite> pages;  // page 0, then the chosen family's page

  bool Succeeded() const;
  // The error number of the first exchange that could not be sent or read.
  std::optional<int> FirstError() const;
};

class ReaderSession {
 public:
  explicit ReaderSession(HidHost& host);
  ~ReaderSession();  // lets an open reader go without a word to it
  ReaderSession(const ReaderSession&) = delete;
  ReaderSession& operator=(const ReaderSession&) = delete;

  // Opens the first reader in enumeration order; the report tells why none
  // was opened.
  ReaderSearchReport Open();
  // Opens the reader at that listed interface, by the same rules.
  ReaderSearchReport Open(const HidInterface& device);
  void Close();
  bool IsOpen() const { return link_.IsOpen(); }

  // The info request, then, over the same frame, the capability request.
  Identification Identify();

  // Unlocks, then writes page 0 and the chosen family's page as assembled
  // from the settings, which the caller has Adjusted; a refused or failed
  // page 0 does not stop the family page. With type A chosen and a Mifare
  // key that is no hex number, nothing is sent.
  DownloadResult Download(const Settings& adjusted);

  // The reset request. The link stays open whatever the answer.
  ExchangeRecord Reset();

 private:
  ExchangeRecord Exchange(ReaderFrame& frame, ReaderCommand command);

  ReaderLink link_;
};

}  // namespace tavrin
