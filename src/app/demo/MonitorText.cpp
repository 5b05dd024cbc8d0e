#include "app/demo/MonitorText.h"

#include <QStringList>
#include <algorithm>

#include "reader/Hex.h"
#include "sim/SimHost.h"

namespace tavrin::demo {
namespace {

struct CommandText {
  ReaderCommand command;
  const char* name;
};

constexpr CommandText kCommandTexts[] = {
    {ReaderCommand::Info, "Info"},     {ReaderCommand::Capability, "Capability"},
    {ReaderCommand::Unlock, "Unlock"}, {ReaderCommand::WritePage, "Write page"},
    {ReaderCommand::Reset, "Reset"},
};

struct StatusText {
  std::uint8_t status;
  const char* why;
};

// The reasons the simulated firmware gives; other statuses show bare.
constexpr StatusText kStatusTexts[] = {
    {kSimBadFrame, "bad frame"},
    {kSimUnknownCommand, "unknown command"},
    {kSimWrongCode, "wrong access code"},
    {kSimLocked, "locked"},
    {kSimBadPageNumber, "bad page number"},
    {kSimBadPageChecksum, "bad page checksum"},
};

struct PageText {
  PageNumber page;
  const char* what;
};

constexpr PageText kPageTexts[] = {
    {PageNumber::System, "system"},
    {PageNumber::TypeA, "ISO14443A"},
    {PageNumber::TypeB, "ISO14443B"},
    {PageNumber::Iso15693, "ISO15693"},
};

QString Hex(std::uint8_t byte) { return HexText(std::span(&byte, 1)); }

}  // namespace

QString RequestName(const ReaderFrame& request) {
  const std::uint8_t command = request[kCommandOffset];
  for (const CommandText& text : kCommandTexts) {
    if (static_cast<std::uint8_t>(text.command) != command) continue;
    if (text.command != ReaderCommand::WritePage) return text.name;
    return QString("%1 %2").arg(text.name).arg(request[kDataOffset]);
  }
  return "Unknown " + Hex(command);
}

QString ReplyOutcome(std::optional<std::uint8_t> status) {
  if (!status) return "no reply read";
  if (*status == kSimOk) return "accepted";
  for (const StatusText& text : kStatusTexts) {
    if (text.status == *status) return QString("refused (%1 %2)").arg(Hex(*status), text.why);
  }
  return QString("refused (%1)").arg(Hex(*status));
}

std::span<const std::uint8_t> RequestBytes(const ReaderFrame& request) {
  return FrameBytes(request);
}

QString HexText(std::span<const std::uint8_t> bytes) {
  return QString::fromStdString(HexBytes(bytes));
}

QString DecimalBytes(std::span<const std::uint8_t> bytes) {
  QStringList parts;
  for (std::uint8_t byte : bytes) parts << QString::number(byte);
  return parts.join(' ');
}

QString PageTitle(PageNumber page) {
  const auto text = std::find_if(std::begin(kPageTexts), std::end(kPageTexts),
                                 [page](const PageText& entry) { return entry.page == page; });
  const QString title = QString("Page %1").arg(static_cast<int>(page));
  return text == std::end(kPageTexts) ? title : title + ": " + text->what;
}

}  // namespace tavrin::demo
