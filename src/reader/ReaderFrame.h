// Requests to the reader and the few reply bytes the tool reads. Every
// request and its reply share one 65-byte HID report buffer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "reader/HidHost.h"

namespace tavrin {

using ReaderFrame = std::array<std::uint8_t, kReportSize>;

enum class ReaderCommand : std::uint8_t {
  Info = 0xF1,
  Capability = 0xE0,
  Unlock = 0xE1,
  WritePage = 0xE2,
  Reset = 0xE3
};

// The code the reader wants before it stores configuration pages.
inline constexpr std::array<std::uint8_t, 4> kAccessCode{0x5B, 0x5B, 0x5B, 0x5B};

inline constexpr std::array<std::uint8_t, 5> kFramePreamble{0xAA, 0xAA, 0xAA, 0x96, 0x69};
inline constexpr std::size_t kLengthOffset = 6;  // 16 bits, high byte first
inline constexpr std::size_t kCommandOffset = 8;
inline constexpr std::size_t kDataOffset = 9;
// Data bytes that still leave room for the checksum in one report.
inline constexpr std::size_t kMaxFrameData = kReportSize - kDataOffset - 1;

// Flags of the capability reply: ReplyCapabilities()[0] holds the families,
// [1], [2] and [3] the card kinds of type A, type B and ISO 15693.
inline constexpr std::uint8_t kFamilyTypeA = 0x01;
inline constexpr std::uint8_t kFamilyTypeB = 0x02;
inline constexpr std::uint8_t kFamilyIso15693 = 0x04;
inline constexpr std::uint8_t kKindMifare = 0x01;
inline constexpr std::uint8_t kKindUltraLight = 0x02;
inline constexpr std::uint8_t kKindSr176 = 0x01;
inline constexpr std::uint8_t kKindSri = 0x02;
inline constexpr std::uint8_t kKindICodeTagIt = 0x01;

// Exclusive-or of count bytes, starting from 0.
std::uint8_t XorChecksum(const std::uint8_t* bytes, std::size_t count);

// Writes report id, preamble, length, command, data and checksum (bytes 0 to
// 9 + data.size()) and leaves every later byte as it was: a request built
// over a reply keeps the reply's tail as filler. data.size() <= kMaxFrameData.
void BuildFrame(ReaderFrame& frame, std::uint8_t command, std::span<const std::uint8_t> data);

void BuildInfoRequest(ReaderFrame& frame);
void BuildCapabilityRequest(ReaderFrame& frame);
void BuildUnlockRequest(ReaderFrame& frame, const std::array<std::uint8_t, 4>& code = kAccessCode);
// page holds the 32 bytes of a sealed configuration page.
void BuildWritePageRequest(ReaderFrame& frame, std::uint8_t pageNumber,
                           std::span<const std::uint8_t, 32> page);
void BuildResetRequest(ReaderFrame& frame);

// A frame from its report identifier through its checksum, as its length
// field tells; the filler after it means nothing.
std::span<const std::uint8_t> FrameBytes(const ReaderFrame& frame);

// Where the reply to command keeps its status byte (0 means accepted).
std::size_t ReplyStatusOffset(ReaderCommand command);
std::uint8_t ReplyStatus(const ReaderFrame& frame, ReaderCommand command);

// The info reply's text: from offset 11 to the first zero byte, or to the
// end of the report when there is none.
std::string ReplyIdentification(const ReaderFrame& frame);

// The capability reply's four flag bytes (offsets 11 to 14).
std::array<std::uint8_t, 4> ReplyCapabilities(const ReaderFrame& frame);

}  // namespace tavrin
