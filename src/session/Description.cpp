#include "session/Description.h"

#include "config/CardFamilies.h"

namespace tavrin {
namespace {

constexpr const char* kLineEnd = "\r\n";

std::string CapabilityLines(const Capabilities& capabilities) {
  std::string lines;
  for (const SupportedFamily& supported : capabilities.Supported()) {
    lines += std::string("Device Support ") + supported.family->name + kLineEnd;
    for (const CardKind* kind : supported.kinds) lines += kind->supportLines;
  }
  return lines;
}

}  // namespace

std::string UnopenableReaderText(const ReaderSearchReport& search) {
  if (search.permissionDenied) {
#ifdef _WIN32
    return "Reader found, but access was denied: close other programs that use it and try again.";
#else
    return "Reader found, but permission was denied: install the udev rule "
           "(see the README, \"Device access on Linux\").";
#endif
  }
  return "Reader found, but it could not be opened (error " + std::to_string(search.openError) +
         ").";
}

std::string LastErrorText(int error) { return "LastError: " + std::to_string(error); }

std::string DisconnectedText(const ReaderSearchReport& search) {
  std::string text = "Device Disconnected";
  if (search.readerUnopenable) text += kLineEnd + UnopenableReaderText(search);
  return text;
}

std::string IdentificationText(const Identification& found) {
  std::string text;
  if (found.text) text += *found.text + kLineEnd;
  if (found.capabilities) text += CapabilityLines(*found.capabilities);
  if (found.error) text += LastErrorText(*found.error) + kLineEnd;
  return text;
}

std::string ResetText(const ExchangeRecord& reset) {
  if (!reset.completed) return LastErrorText(reset.error);
  return reset.status == 0 ? "Device Reset Success." : "Device Reset Failure.";
}

std::string DownloadText(const DownloadResult& result) {
  if (result.keyInvalid) return kMifareKeyErrorText;
  if (result.Succeeded()) return kDownloadSuccessText;
  const std::optional<int> error = result.FirstError();
  if (!error) return kDownloadFailureText;
  return kDownloadFailureText + (kLineEnd + LastErrorText(*error));
}

}  // namespace tavrin
