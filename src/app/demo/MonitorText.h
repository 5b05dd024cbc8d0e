// How the reader monitor words what the simulated reader received and holds.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <span>

#include "config/ConfigPage.h"
#include "reader/ReaderFrame.h"

namespace tavrin::demo {

// "Info", "Capability", "Unlock", "Write page 1", "Reset", or "Unknown 7A".
QString RequestName(const ReaderFrame& request);

// The reply's status byte as words: "accepted", "refused (04 locked)"; no
// status means the reply was never read.
QString ReplyOutcome(std::optional<std::uint8_t> status);

// The request from its report identifier through its checksum; the filler
// after it means nothing.
std::span<const std::uint8_t> RequestBytes(const ReaderFrame& request);

// "00 AA 1F", upper case, one space between bytes.
QString HexText(std::span<const std::uint8_t> bytes);

// "31 255 0": each byte in decimal.
QString DecimalBytes(std::span<const std::uint8_t> bytes);

// "Page 1: ISO14443A".
QString PageTitle(PageNumber page);

}  // namespace tavrin::demo
