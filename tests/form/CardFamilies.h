// The three card families as the tests see them: the radio that picks one,
// its bit in the reader's capability reply, and the page DownLoad writes for
// it. Qt-free, so the fuzzer shares it too.
#pragma once

#include <cstdint>

#include "config/ConfigPage.h"
#include "config/ControlId.h"
#include "reader/ReaderFrame.h"

namespace tavrin {

struct CardFamily {
  const char* name;
  ControlId radio;
  std::uint8_t bit;
  PageNumber page;
};

inline constexpr CardFamily kCardFamilies[] = {
    {"ISO14443A", ControlId::TypeARadio, kFamilyTypeA, PageNumber::TypeA},
    {"ISO14443B", ControlId::TypeBRadio, kFamilyTypeB, PageNumber::TypeB},
    {"ISO15693", ControlId::Iso15693Radio, kFamilyIso15693, PageNumber::Iso15693},
};

}  // namespace tavrin
