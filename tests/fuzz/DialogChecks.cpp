#include "DialogChecks.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "config/CardFamilies.h"
#include "config/ConfigPage.h"

namespace tavrin::fuzz {
namespace {

using C = ControlId;

// Connected line, the longest reader text, every support line and an error
// line come to about 300 characters; more means text piles up.
constexpr int kMaxDescription = 512;
const QString kSuccess = QStringLiteral("DownLoad Successed");

void Require(bool holds, const char* rule) {
  if (holds) return;
  std::fprintf(stderr, "dialog rule broken: %s\n", rule);
  std::abort();
}

bool IsOpen(const WatchedReader& watched) { return watched.host.OpenHandles() > 0; }

QString Description(const FuzzDialog& dialog) {
  return driver::Caption(dialog, C::DescriptionText);
}

const CardFamily* CheckedFamily(const FuzzDialog& dialog) {
  const CardFamily* checked = nullptr;
  for (const CardFamily& family : kCardFamilies) {
    if (!driver::IsChecked(dialog, family.radio)) continue;
    Require(checked == nullptr, "more than one family radio checked");
    checked = &family;
  }
  Require(checked != nullptr, "no family radio checked");
  return checked;
}

void CheckAlways(const FuzzDialog& dialog, const WatchedReader& watched) {
  CheckedFamily(dialog);
  const QString description = Description(dialog);
  Require(description.size() <= kMaxDescription, "description grows without bound");
  Require(!description.contains(QChar(0)), "description holds a zero character");
  const bool open = IsOpen(watched);
  Require(watched.OpenCount() == (open ? 1 : 0), "reader opens and closes do not balance");
  Require(watched.host.OpenHandles() == (open ? 1 : 0), "host handles leak");
  Require(driver::Caption(dialog, C::ConnectButton) == (open ? "Disconnect" : "Connect"),
          "connect caption disagrees with the link");
  Require(driver::IsEnabled(dialog, C::DownloadButton) == open &&
              driver::IsEnabled(dialog, C::ResetButton) == open,
          "download and reset enabled while disconnected, or disabled while connected");
}

void CheckConnect(const FuzzDialog& dialog, const WatchedReader& watched,
                  std::span<const Exchange> sent, const Before& before) {
  const bool open = IsOpen(watched);
  if (before.open || !open) {
    Require(!open, "disconnect left the link open");
    Require(sent.empty(), "disconnect or a failed search talked to the reader");
    Require(Description(dialog).startsWith("Device Disconnected"), "disconnect text missing");
    return;
  }
  Require(Description(dialog).startsWith("Device Connected\r\n"), "connected text missing");
  Require(!sent.empty() && sent[0].Command() == ReaderCommand::Info, "connect skipped info");
  Require(sent.size() == (sent[0].Accepted() ? 2u : 1u), "capability asked for out of turn");
  const bool known =
      sent.size() == 2 && sent[1].Command() == ReaderCommand::Capability && sent[1].Accepted();
  const std::uint8_t families = known ? ReplyCapabilities(sent[1].reply)[0] : 0;
  for (const CardFamily& family : kCardFamilies) {
    Require(driver::IsEnabled(dialog, family.radio) == ((families & family.capabilityBit) != 0),
            "family radio enabled against the capability reply");
  }
}

const QString kFailure = QStringLiteral("DownLoad Failure.");
const QString kFailureWithError = QStringLiteral("DownLoad Failure.\r\nLastError: ");

bool StoredAsSent(const WatchedReader& watched, const Exchange& write) {
  if (!write.byFirmware) return true;  // the script's reply stands in for the reader
  const auto* stored = watched.reader.Page(static_cast<PageNumber>(write.PageNumber()));
  return stored != nullptr && std::equal(stored->begin(), stored->end(), write.Page());
}

void CheckDownload(const FuzzDialog& dialog, const WatchedReader& watched,
                   std::span<const Exchange> sent, const Before& before) {
  Require(IsOpen(watched) == before.open, "download changed the link");
  const bool success = Description(dialog) == kSuccess;
  if (sent.empty()) {
    // A refused key, or an unlock that never reached a vanished reader.
    Require(Description(dialog).startsWith("Mifare Key Error") ||
                Description(dialog).startsWith(kFailureWithError),
            "download that sent nothing not reported as such");
    return;
  }
  Require(sent[0].Command() == ReaderCommand::Unlock, "download did not unlock first");
  Require(sent.size() == (sent[0].Accepted() ? 3u : 1u), "pages written against the unlock");
  if (sent.size() == 3) {
    Require(sent[1].Command() == ReaderCommand::WritePage && sent[1].PageNumber() == 0,
            "system page not second");
    Require(sent[2].Command() == ReaderCommand::WritePage &&
                sent[2].PageNumber() == static_cast<std::uint8_t>(CheckedFamily(dialog)->page),
            "family page not that of the checked family");
  }
  const bool allAccepted = std::all_of(sent.begin(), sent.end(), [&](const Exchange& e) {
    return e.Accepted() && (e.Command() != ReaderCommand::WritePage || StoredAsSent(watched, e));
  });
  Require(success == (sent.size() == 3 && allAccepted),
          "download success text disagrees with the reader's replies");
  if (!success) {
    const bool lost =
        std::any_of(sent.begin(), sent.end(), [](const Exchange& e) { return !e.answered; });
    Require(
        lost ? Description(dialog).startsWith(kFailureWithError) : Description(dialog) == kFailure,
        "failed download not reported as failed");
  }
}

void CheckReset(const FuzzDialog& dialog, const WatchedReader& watched,
                std::span<const Exchange> sent, const Before& before) {
  Require(sent.size() <= 1 && (sent.empty() || sent[0].Command() == ReaderCommand::Reset),
          "reset sent something other than one reset request");
  const bool accepted = sent.size() == 1 && sent[0].Accepted();
  Require(IsOpen(watched) == !accepted, "reset left the link in the wrong state");
  Require(dialog.resetMessages == before.resetMessages + (accepted ? 1 : 0),
          "reset message shown without an accepted reset");
  const QString description = Description(dialog);
  if (accepted) {
    Require(description == "Device Disconnected", "accepted reset not shown as disconnected");
  } else if (sent.size() == 1 && sent[0].answered) {
    Require(description == "Device Reset Failure.", "refused reset not shown");
  } else {
    Require(description.startsWith("LastError: "), "failed reset exchange not shown");
  }
}

}  // namespace

Before Snapshot(const FuzzDialog& dialog, const WatchedReader& watched) {
  return {IsOpen(watched), watched.log.size(), dialog.resetMessages, Description(dialog), false};
}

void CheckAfter(const FuzzDialog& dialog, const WatchedReader& watched, const Action& action,
                const Before& before) {
  CheckAlways(dialog, watched);
  const std::span<const Exchange> sent = std::span(watched.log).subspan(before.logSize);
  if (!before.ran) {
    Require(sent.empty(), "a control out of reach talked to the reader");
    return;
  }
  switch (action.kind) {
    case ActionKind::Connect:
      return CheckConnect(dialog, watched, sent, before);
    case ActionKind::Download:
      return CheckDownload(dialog, watched, sent, before);
    case ActionKind::Reset:
      return CheckReset(dialog, watched, sent, before);
    default:
      Require(sent.empty(), "a form control talked to the reader");
      Require(IsOpen(watched) == before.open, "a form control changed the link");
  }
}

void CheckClosed(const WatchedReader& watched) {
  Require(watched.OpenCount() == 0 && watched.host.OpenHandles() == 0,
          "the reader stays open after the dialog closed");
}

}  // namespace tavrin::fuzz
