// libFuzzer target: the reader session both front ends share, without Qt,
// against a reader whose every answer the input chooses. Each operation's
// result is worded as the front ends word it and judged against what
// crossed the wire, as a tap between the session and the simulated host
// logged it. Sanitizers watch the rest.
//
// Input layout: a host byte (the bits of HostBits); the settings: a count
// (at most kMaxSettings) of (row, value) pairs, values brought into the
// row's range, then a key length and its characters from kKeyCharacters;
// the operations: a count (at most kMaxOperations) and an Operation byte
// each. Every byte after them is a reply choice (FuzzInput::NextReply),
// taken one per request in the order sent.
#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "Tap.h"
#include "config/PageAssembly.h"
#include "session/Description.h"
#include "session/ReaderSession.h"

namespace tavrin::fuzz {
namespace {

constexpr std::size_t kMaxSettings = 24;
constexpr std::size_t kMaxKeyText = 16;
constexpr std::size_t kMaxOperations = 24;
constexpr std::string_view kKeyCharacters = "0123456789ABCDEFabcdef \tG-";
// Far more than any description needs; a reply cannot make one longer.
constexpr std::size_t kMaxDescription = 512;

enum HostBits : std::uint8_t {
  kKeyboardFirst = 0x01,     // another HID device listed before the reader
  kIdsUnknown = 0x02,        // the reader's identifiers are only known once opened
  kOpenDenied = 0x04,        // opening the reader fails with EACCES
  kAttributesUnread = 0x08,  // its identifiers cannot be read once opened
  kNoEnumeration = 0x10,     // the host cannot list its devices
};

enum class Operation : std::uint8_t { Open, OpenPath, Identify, Download, Reset, Close, Replug };
constexpr int kOperations = static_cast<int>(Operation::Replug) + 1;

struct Script {
  std::uint8_t host = 0;
  Settings settings = StartUpSettings();
  std::vector<Operation> operations;
};

Settings ReadSettings(FuzzInput& input) {
  Settings settings = StartUpSettings();
  const std::vector<SettingDef>& rows = SettingsSchema();
  const std::size_t count = std::min<std::size_t>(input.Next(), kMaxSettings);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t row = input.Next() % rows.size();
    const int highest = rows[row].kind == SettingKind::Choice
                            ? static_cast<int>(rows[row].choices.size()) - 1
                            : rows[row].max;
    settings.values[row] = rows[row].min + input.Next() % (highest - rows[row].min + 1);
  }
  settings.mifareKey.clear();
  const std::size_t keyLength = input.Next() % (kMaxKeyText + 1);
  for (std::size_t i = 0; i < keyLength; ++i)
    settings.mifareKey += kKeyCharacters[input.Next() % kKeyCharacters.size()];
  return settings;
}

Script ReadScript(FuzzInput& input) {
  Script script;
  script.host = input.Next();
  script.settings = ReadSettings(input);
  const std::size_t count = std::min<std::size_t>(input.Next(), kMaxOperations);
  for (std::size_t i = 0; i < count && !input.Empty(); ++i)
    script.operations.push_back(static_cast<Operation>(input.Next() % kOperations));
  return script;
}

void CheckDescription(const std::string& text) {
  Require(text.size() <= kMaxDescription, "a description of " + std::to_string(text.size()));
  Require(text.find('\0') == std::string::npos, "a NUL in a description");
}

// A request as the session builds it: preamble, length and checksum right.
void CheckRequest(const engine::Exchange& exchange, ReaderCommand command) {
  const ReaderFrame& frame = exchange.request;
  Require(exchange.Command() == command, "a request of another command");
  const std::size_t lengthAt = kLengthOffset + 1;
  const std::size_t length = frame[kLengthOffset] << 8 | frame[lengthAt];
  Require(std::equal(kFramePreamble.begin(), kFramePreamble.end(), frame.begin() + 1) &&
              length >= 2 && lengthAt + length < frame.size(),
          "a request framed wrong");
  Require(frame[lengthAt + length] == XorChecksum(&frame[lengthAt], length),
          "a request with a wrong checksum");
}

// The session on a simulated host with a tap, and what each operation did.
class Run {
 public:
  Run(const Script& script, FuzzInput& replies)
      : reader_(AddDevices(script.host)), settings_(Adjusted(script.settings)) {
    reader_.replyHook = [&replies](const ReaderFrame& request) {
      return replies.NextReply(request);
    };
  }

  void Perform(Operation operation) {
    const std::size_t before = tap_.log.size();
    const bool wasOpen = session_.IsOpen();
    switch (operation) {
      case Operation::Open:
        return CheckOpen(session_.Open(), wasOpen, before);
      case Operation::OpenPath:
        return CheckOpen(session_.Open(ListedReader()), wasOpen, before);
      case Operation::Identify: {
        const Identification found = session_.Identify();
        return CheckIdentify(found, Sent(before));
      }
      case Operation::Download: {
        const DownloadResult result = session_.Download(settings_);
        return CheckDownload(result, Sent(before));
      }
      case Operation::Reset: {
        const ExchangeRecord reset = session_.Reset();
        return CheckReset(reset, Sent(before), wasOpen);
      }
      case Operation::Close:
        session_.Close();
        return CheckClosed();
      case Operation::Replug:
        if (host_.IsPlugged(reader_)) return host_.Unplug(reader_);
        return host_.Plug(reader_);
    }
  }

 private:
  void CheckClosed() {
    Require(!session_.IsOpen(), "open after Close");
    Require(host_.OpenHandles() == 0, "a handle left open after Close");
  }

  SimReader& AddDevices(std::uint8_t bits) {
    if (bits & kKeyboardFirst) host_.AddDevice(0x046D, 0xC31C);
    SimReader& reader = host_.AddReader();
    reader.idsKnownUnopened = !(bits & kIdsUnknown);
    reader.openError = bits & kOpenDenied ? EACCES : 0;
    reader.attributesReadable = !(bits & kAttributesUnread);
    host_.enumerationFails = bits & kNoEnumeration;
    return reader;
  }

  std::span<const engine::Exchange> Sent(std::size_t before) const {
    return std::span(tap_.log).subspan(before);
  }

  bool ReaderOpens() const {
    return host_.IsPlugged(reader_) && reader_.openError == 0 && reader_.attributesReadable &&
           !host_.enumerationFails;
  }

  // The reader's interface as the host lists it now; unlisted, one whose
  // details cannot be read, which opens nothing.
  HidInterface ListedReader() {
    const auto devices = host_.EnumerateInterfaces();
    for (const HidInterface& device : devices.value_or(std::vector<HidInterface>{})) {
      if (device.path == reader_.path) return device;
    }
    return {reader_.path, false, {}, "", ""};
  }

  void CheckOpen(const ReaderSearchReport& search, bool wasOpen, std::size_t before) {
    Require(tap_.log.size() == before, "a report sent while opening");
    CheckDescription(session_.IsOpen() ? kConnectedText : DisconnectedText(search));
    Require(host_.OpenHandles() == (session_.IsOpen() ? 1 : 0), "a handle too many or too few");
    if (!wasOpen) Require(session_.IsOpen() == ReaderOpens(), "the reader's opening misjudged");
  }

  void CheckIdentify(const Identification& found, std::span<const engine::Exchange> sent) {
    CheckDescription(IdentificationText(found));
    Require(sent.size() <= 2, "more than two requests to identify");
    if (sent.empty()) {
      Require(!found.text && !found.capabilities && !found.error, "identified without a word");
      return;
    }
    CheckRequest(sent[0], ReaderCommand::Info);
    Require(found.text.has_value() == sent[0].Accepted(), "a text without an accepted reply");
    Require(sent.size() == 2 || !sent[0].Accepted(), "no capability request after the text");
    if (sent.size() == 2) CheckRequest(sent[1], ReaderCommand::Capability);
    Require(found.capabilities.has_value() == (sent.size() == 2 && sent[1].Accepted()),
            "capabilities without an accepted reply");
    const bool failed = std::any_of(sent.begin(), sent.end(),
                                    [](const engine::Exchange& e) { return !e.Completed(); });
    Require(found.error.has_value() == failed, "an error where none failed, or none told");
  }

  void CheckDownload(const DownloadResult& result, std::span<const engine::Exchange> sent) {
    const std::string text = DownloadText(result);
    CheckDescription(text);
    Require((text == kDownloadSuccessText) == result.Succeeded(), "success worded wrong");
    if (result.keyInvalid) {
      Require(sent.empty() && !DialogAcceptsMifareKey(settings_.mifareKey),
              "a key refused wrongly");
      return;
    }
    const bool unlocked = !sent.empty() && sent[0].Accepted();
    if (!sent.empty()) CheckRequest(sent[0], ReaderCommand::Unlock);
    Require(sent.size() == (unlocked ? 3 : std::min<std::size_t>(sent.size(), 1)),
            "pages written without an accepted unlock, or not both");
    if (!unlocked) return Require(!result.Succeeded(), "success without an accepted unlock");
    const auto pages = AssemblePages(settings_);
    for (std::size_t i = 0; i < pages.size(); ++i) {
      CheckRequest(sent[i + 1], ReaderCommand::WritePage);
      Require(sent[i + 1].PageNumber() == static_cast<std::uint8_t>(pages[i].number) &&
                  std::equal(pages[i].page.Bytes().begin(), pages[i].page.Bytes().end(),
                             sent[i + 1].request.begin() + kDataOffset + 1),
              "a page other than the settings' written");
    }
    Require(result.Succeeded() == (sent[1].Accepted() && sent[2].Accepted()),
            "success misjudged from the page writes");
  }

  void CheckReset(const ExchangeRecord& reset, std::span<const engine::Exchange> sent,
                  bool wasOpen) {
    CheckDescription(ResetText(reset));
    Require(sent.size() == (wasOpen ? 1u : 0u), "a reset not sent once");
    if (sent.empty()) return Require(!reset.completed, "a reset done without a word");
    CheckRequest(sent[0], ReaderCommand::Reset);
    Require(reset.completed == sent[0].Completed() && reset.Accepted() == sent[0].Accepted(),
            "a reset misjudged");
  }

  SimHost host_;
  SimReader& reader_;
  engine::TapHost tap_{host_};
  ReaderSession session_{tap_};
  Settings settings_;
};

}  // namespace
}  // namespace tavrin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tavrin::fuzz;
  FuzzInput input(data, size);
  const Script script = ReadScript(input);
  Run run(script, input);
  for (const Operation operation : script.operations) run.Perform(operation);
  run.Perform(Operation::Close);
  return 0;
}
