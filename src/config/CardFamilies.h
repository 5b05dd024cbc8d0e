// The three card families and their card kinds: how the reader reports
// them, where the form offers them, which page stores them and what a
// settings file calls them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "config/ConfigPage.h"
#include "config/ControlId.h"
#include "config/PanelTable.h"
#include "reader/ReaderFrame.h"

namespace tavrin {

struct CardKind {
  const char* key;             // its table in a settings file: "mifare"
  Panel panel;                 // its tab, whose caption names the kind
  std::uint8_t capabilityBit;  // in the family's byte of the capability reply
  const char* supportLines;    // the description's lines when the reader has it
};

struct CardFamily {
  const char* key;             // its name in a settings file: "iso14443a"
  const char* name;            // also ends the description's "Device Support" line
  ControlId radio;             // the radio that chooses it
  std::uint8_t capabilityBit;  // in the capability reply's family byte
  std::size_t kindsByte;       // the capability byte of its card kinds
  PageNumber page;             // where its card kinds are configured
  std::uint8_t familyValue;    // the system page's cardFamily value
  // The system page's field of chosen card kinds: bit 0 the first kind.
  std::uint8_t kindsOffset;
  const char* kindsFieldName;
  std::array<CardKind, 2> kinds;
  std::size_t kindCount;
  // Identify enables the card-kind checks for this family only.
  bool identifyEnablesKindChecks;
  // Checked instead when the family is chosen but the reader lacks it.
  ControlId fallback;

  std::span<const CardKind> Kinds() const { return {kinds.data(), kindCount}; }
};

inline constexpr std::array<CardFamily, 3> kCardFamilies{{
    {"iso14443a",
     "ISO14443A",
     ControlId::TypeARadio,
     kFamilyTypeA,
     1,
     PageNumber::TypeA,
     kCardFamilyTypeA,
     3,
     "typeAKinds",
     {{{"mifare", Panel::Mifare, kKindMifare, "  Mifare S50/S70 Card\r\n"},
       {"ultralight", Panel::UltraLight, kKindUltraLight, "  UltraLight Card\r\n"}}},
     2,
     true,
     ControlId::TypeBRadio},
    {"iso14443b",
     "ISO14443B",
     ControlId::TypeBRadio,
     kFamilyTypeB,
     2,
     PageNumber::TypeB,
     kCardFamilyTypeB,
     4,
     "typeBKinds",
     {{{"sr176", Panel::Sr176, kKindSr176, "  SR176 Card\r\n"},
       {"sri", Panel::Sri, kKindSri, "  SRI512/2K/4K/X4K Card\r\n"}}},
     2,
     false,
     ControlId::Iso15693Radio},
    {"iso15693",
     "ISO15693",
     ControlId::Iso15693Radio,
     kFamilyIso15693,
     3,
     PageNumber::Iso15693,
     kCardFamilyIso15693,
     5,
     "iso15693Kinds",
     {{{"icode", Panel::ICode, kKindICodeTagIt, "  I.Code SLI\r\n  Tag-it HF-I\r\n"}}},
     1,
     false,
     ControlId::TypeARadio},
}};

// The family whose card kind has that panel, or nullptr.
const CardFamily* FamilyOfPanel(Panel panel);
// The card kind of that panel, or nullptr.
const CardKind* KindOfPanel(Panel panel);

// A family and those of its card kinds a reader supports.
struct SupportedFamily {
  const CardFamily* family;
  std::vector<const CardKind*> kinds;
};

// What the reader's capability reply says it supports.
class Capabilities {
 public:
  explicit Capabilities(const std::array<std::uint8_t, 4>& reply) : bytes_(reply) {}

  bool Has(const CardFamily& family) const;
  bool Has(const CardFamily& family, const CardKind& kind) const;
  // The families it has, in table order, each with the kinds it has.
  std::vector<SupportedFamily> Supported() const;

 private:
  std::array<std::uint8_t, 4> bytes_;
};

}  // namespace tavrin
