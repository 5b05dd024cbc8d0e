// Bytes as hexadecimal text, for people and for logs.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tavrin {

// "00 AA 1F": upper case, separator between bytes.
std::string HexBytes(std::span<const std::uint8_t> bytes, std::string_view separator = " ");

}  // namespace tavrin
