// Builds the reader's configuration pages from the form and writes them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/CardFamilies.h"
#include "config/ConfigPage.h"
#include "config/FormView.h"
#include "reader/ReaderLink.h"

namespace tavrin {

inline constexpr std::uint8_t kResultOk = 0;
inline constexpr std::uint8_t kResultFailed = 255;

// Appended to a key text shorter than twelve characters.
inline constexpr const char* kMifareKeyFiller = "777777777777";
inline constexpr std::size_t kMifareKeyChars = 12;

// An end-position list that is moved up to its start list when it lies
// below it, so that the page and the form agree on what is sent.
struct EndClamp {
  PageNumber page;
  ControlId startList;
  ControlId endList;
};
inline constexpr std::array<EndClamp, 5> kEndClamps{{
    {PageNumber::TypeA, ControlId::MifareStartSectorCombo, ControlId::MifareEndSectorCombo},
    {PageNumber::TypeA, ControlId::UltraLightStartBlockCombo, ControlId::UltraLightEndBlockCombo},
    {PageNumber::TypeB, ControlId::Sr176StartBlockCombo, ControlId::Sr176EndBlockCombo},
    {PageNumber::TypeB, ControlId::SriStartBlockCombo, ControlId::SriEndBlockCombo},
    {PageNumber::Iso15693, ControlId::ICodeStartBlockCombo, ControlId::ICodeEndBlockCombo},
}};

// The five controls behind every "CapsLk / Every Block End / Data End" group,
// stored in five consecutive page bytes.
struct EndingControls {
  ControlId capsLock, blockEndKey, blockEndCount, dataEndKey, dataEndCount;
};

// A card kind chosen by block and byte: mode, start block, end block, start
// byte and end byte in five consecutive bytes from `mode`, its ending group
// from `capsLock`.
struct BlockKindControls {
  ControlId mode1, startBlock, endBlock, startByte, endByte;
  EndingControls ending;
  PageField mode, capsLock;
};

inline constexpr BlockKindControls kUltraLightControls{
    ControlId::UltraLightMode1Radio,
    ControlId::UltraLightStartBlockCombo,
    ControlId::UltraLightEndBlockCombo,
    ControlId::UltraLightStartByteCombo,
    ControlId::UltraLightEndByteCombo,
    {ControlId::UltraLightCapsLockCheck, ControlId::UltraLightBlockEndKeyCombo,
     ControlId::UltraLightBlockEndCountCombo, ControlId::UltraLightDataEndKeyCombo,
     ControlId::UltraLightDataEndCountCombo},
    PageField::ultraLightMode,
    PageField::ultraLightCapsLock};

inline constexpr BlockKindControls kSr176Controls{
    ControlId::Sr176Mode1Radio,
    ControlId::Sr176StartBlockCombo,
    ControlId::Sr176EndBlockCombo,
    ControlId::Sr176StartByteCombo,
    ControlId::Sr176EndByteCombo,
    {ControlId::Sr176CapsLockCheck, ControlId::Sr176BlockEndKeyCombo,
     ControlId::Sr176BlockEndCountCombo, ControlId::Sr176DataEndKeyCombo,
     ControlId::Sr176DataEndCountCombo},
    PageField::sr176Mode,
    PageField::sr176CapsLock};

inline constexpr BlockKindControls kSriControls{
    ControlId::SriMode1Radio,
    ControlId::SriStartBlockCombo,
    ControlId::SriEndBlockCombo,
    ControlId::SriStartByteCombo,
    ControlId::SriEndByteCombo,
    {ControlId::SriCapsLockCheck, ControlId::SriBlockEndKeyCombo, ControlId::SriBlockEndCountCombo,
     ControlId::SriDataEndKeyCombo, ControlId::SriDataEndCountCombo},
    PageField::sriMode,
    PageField::sriCapsLock};

inline constexpr BlockKindControls kICodeControls{
    ControlId::ICodeMode1Radio,
    ControlId::ICodeStartBlockCombo,
    ControlId::ICodeEndBlockCombo,
    ControlId::ICodeStartByteCombo,
    ControlId::ICodeEndByteCombo,
    {ControlId::ICodeCapsLockCheck, ControlId::ICodeBlockEndKeyCombo,
     ControlId::ICodeBlockEndCountCombo, ControlId::ICodeDataEndKeyCombo,
     ControlId::ICodeDataEndCountCombo},
    PageField::iCodeMode,
    PageField::iCodeCapsLock};

inline constexpr EndingControls kMifareEnding{
    ControlId::MifareCapsLockCheck, ControlId::MifareBlockEndKeyCombo,
    ControlId::MifareBlockEndCountCombo, ControlId::MifareDataEndKeyCombo,
    ControlId::MifareDataEndCountCombo};

// Page contents as the form shows them now. A family page first applies its
// end-position clamps to the form, and the type A page normalises the Mifare
// key text in place: that is what the reader gets.
ConfigPage AssembleSystemPage(const FormView& form);
ConfigPage AssembleTypeAPage(FormView& form);
ConfigPage AssembleTypeBPage(FormView& form);
ConfigPage AssembleIso15693Page(FormView& form);
ConfigPage AssembleFamilyPage(const CardFamily& family, FormView& form);

// A page as it was sent, and what came of its request.
struct PageWrite {
  PageNumber number{};
  ConfigPage page;
  ExchangeRecord exchange;
};

// Each writer sends its page in one write-page request and returns kResultOk
// when the reader accepted it, kResultFailed otherwise; written, when given,
// receives the page and its exchange. Without an open link the form is not
// read (nor changed) and written is left alone.
std::uint8_t WriteSystemPage(ReaderLink& link, FormView& form, PageWrite* written = nullptr);
std::uint8_t WriteTypeAPage(ReaderLink& link, FormView& form, PageWrite* written = nullptr);
std::uint8_t WriteTypeBPage(ReaderLink& link, FormView& form, PageWrite* written = nullptr);
std::uint8_t WriteIso15693Page(ReaderLink& link, FormView& form, PageWrite* written = nullptr);
std::uint8_t WriteFamilyPage(ReaderLink& link, const CardFamily& family, FormView& form,
                             PageWrite* written = nullptr);

// Drops spaces and tabs, raises a-z to upper case and appends the filler
// when fewer than twelve characters remain.
void NormaliseMifareKey(std::string& keyText);

// True when the first twelve characters of the normalised key are
// hexadecimal digits; the text itself is left as typed.
bool IsValidMifareKey(std::string keyText);

// Converts length characters of text, two per byte, into out. Returns 0, or 1
// (nothing written) when the text is too short or length is odd.
std::uint8_t HexToBytes(std::string text, std::size_t length, std::uint8_t* out,
                        std::size_t& outCount);

// Any two characters give a byte: '0'-'9' and 'A'-'F' their values, others
// whatever the same digit rule makes of them, modulo 256.
std::uint8_t HexPairToByte(char first, char second);

}  // namespace tavrin
