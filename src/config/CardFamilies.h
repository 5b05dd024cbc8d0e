// The three card families and their card kinds: how the reader reports
// them, where the form offers them and which page stores them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "config/ConfigPage.h"
#include "config/ControlId.h"
#include "config/PanelTable.h"
#include "reader/ReaderFrame.h"

namespace tavrin {

struct CardKind {
  Panel panel;                 // its tab, whose caption names the kind
  std::uint8_t capabilityBit;  // in the family's byte of the capability reply
  const char* supportLines;    // the description's lines when the reader has it
};

struct CardFamily {
  const char* name;            // also ends the description's "Device Support" line
  ControlId radio;             // the radio that chooses it
  std::uint8_t capabilityBit;  // in the capability reply's family byte
  std::size_t kindsByte;       // the capability byte of its card kinds
  PageNumber page;             // where its card kinds are configured
  std::uint8_t familyValue;    // the system page's cardFamily value
  PageField kindsField;        // the system page's field of chosen card kinds
  std::array<CardKind, 2> kinds;
  std::size_t kindCount;
  // Identify enables the card-kind checks for this family only.
  bool identifyEnablesKindChecks;
  // Checked instead when the family is chosen but the reader lacks it.
  ControlId fallback;

  std::span<const CardKind> Kinds() const { return {kinds.data(), kindCount}; }
};

inline constexpr std::array<CardFamily, 3> kCardFamilies{{
    {"ISO14443A",
     ControlId::TypeARadio,
     kFamilyTypeA,
     1,
     PageNumber::TypeA,
     kCardFamilyTypeA,
     PageField::typeAKinds,
     {{{Panel::Mifare, kKindMifare, "  Mifare S50/S70 Card\r\n"},
       {Panel::UltraLight, kKindUltraLight, "  UltraLight Card\r\n"}}},
     2,
     true,
     ControlId::TypeBRadio},
    {"ISO14443B",
     ControlId::TypeBRadio,
     kFamilyTypeB,
     2,
     PageNumber::TypeB,
     kCardFamilyTypeB,
     PageField::typeBKinds,
     {{{Panel::Sr176, kKindSr176, "  SR176 Card\r\n"},
       {Panel::Sri, kKindSri, "  SRI512/2K/4K/X4K Card\r\n"}}},
     2,
     false,
     ControlId::Iso15693Radio},
    {"ISO15693",
     ControlId::Iso15693Radio,
     kFamilyIso15693,
     3,
     PageNumber::Iso15693,
     kCardFamilyIso15693,
     PageField::iso15693Kinds,
     {{{Panel::ICode, kKindICodeTagIt, "  I.Code SLI\r\n  Tag-it HF-I\r\n"}}},
     1,
     false,
     ControlId::TypeARadio},
}};

// The family with that radio, or nullptr.
constexpr const CardFamily* FamilyOfRadio(ControlId radio) {
  for (const CardFamily& family : kCardFamilies) {
    if (family.radio == radio) return &family;
  }
  return nullptr;
}

}  // namespace tavrin
