// DownLoads whose every byte is known: the user's edits (control names, and
// "Name=value" for lists and the key), then the two pages the reader must
// store, as hex, and what the form shows afterwards. Run on the test engine
// against the simulated reader and by the kernel checks.
#pragma once

namespace tavrin::user {

struct GoldenDownload {
  const char* name;
  const char* edits;
  int familyPage;
  const char* systemPage;
  const char* page;
  const char* shownAfter;  // the clamps and the key the download leaves
};

// clang-format off
inline constexpr GoldenDownload kGoldenDownloads[] = {
    {"ISO14443A at start-up", "", 1,
     "1FFF0100000000000000000000000000010000000000000000000000010000E1",
     "1F0100000000000F00603A7C19E5B08D000001000101000000030000010001F4",
     "MifareKeyEdit=3A7C19E5B08D"},
    {"ISO14443B at start-up", "TypeBRadio", 3,
     "1FFF0200000000000000000000000000010000000000000000000000010000E2",
     "1F0100000001000000000000010001000001000000030000000000000100011D", ""},
    {"ISO15693 at start-up", "Iso15693Radio", 5,
     "1FFF0400000000000000000000000000010000000000000000000000010000E4",
     "1F0100000003000000000000010001000000000000000000000000000000001D", ""},
    // Every ISO14443A control away from its default; the start sector above
    // the end moves the end up, blocks and bytes are never compared.
    {"ISO14443A edited",
     "SnrLsbFirstRadio, SnrDecRadio, SnrCapsLockCheck, SnrEndKeyCombo=Down, SnrEndCountCombo=2, "
     "OutputDataCheck, CardKind1Check, CardKind2Check, MifareMode2Radio, "
     "MifareStartSectorCombo=10, MifareEndSectorCombo=04, MifareStartBlockCombo=03, "
     "MifareEndBlockCombo=01, MifareStartByteCombo=05, MifareEndByteCombo=02, MifareKeyBRadio, "
     "MifareKeyEdit=a0 a1 a2 a3 a4 a5, MifareCapsLockCheck, MifareBlockEndKeyCombo=Tab, "
     "MifareBlockEndCountCombo=3, MifareDataEndKeyCombo=Enter, MifareDataEndCountCombo=4, "
     "UltraLightMode2Radio, UltraLightStartBlockCombo=12, UltraLightEndBlockCombo=05, "
     "UltraLightStartByteCombo=03, UltraLightEndByteCombo=01, UltraLightCapsLockCheck, "
     "UltraLightBlockEndKeyCombo=PgDn, UltraLightBlockEndCountCombo=5, "
     "UltraLightDataEndKeyCombo=Down, UltraLightDataEndCountCombo=6", 1,
     "1FFF0103000000000000000000000000010101000000000000000151020000B1",
     "1F020A03050A01020061A0A1A2A3A4A5012B032804020C0C0301014E05510660",
     "MifareEndSectorCombo=10, MifareEndBlockCombo=01, UltraLightEndBlockCombo=12, "
     "MifareKeyEdit=A0A1A2A3A4A5"},
    // SNR output off after LSB first and DEC: only its ending is sent. SR176
    // is set up, then only SRI data is chosen.
    {"ISO14443B edited",
     "TypeBRadio, SnrLsbFirstRadio, SnrDecRadio, SnrCapsLockCheck, SnrEndKeyCombo=PgDn, "
     "SnrEndCountCombo=7, OutputSnrCheck, OutputDataCheck, CardKind1Check, Sr176Mode2Radio, "
     "Sr176StartBlockCombo=07, Sr176EndBlockCombo=03, Sr176StartByteCombo=01, "
     "Sr176EndByteCombo=00, Sr176CapsLockCheck, Sr176BlockEndKeyCombo=Enter, "
     "Sr176BlockEndCountCombo=8, Sr176DataEndKeyCombo=Tab, Sr176DataEndCountCombo=9, "
     "CardKind1Check, CardKind2Check, SriStartBlockCombo=100, SriEndBlockCombo=020, "
     "SriStartByteCombo=03, SriEndByteCombo=00, SriCapsLockCheck, SriBlockEndKeyCombo=Down, "
     "SriBlockEndCountCombo=10, SriDataEndKeyCombo=PgDn", 3,
     "1FFF020002000000000000000000000000000000000000000000014E070000A8",
     "1F0207070100000000000128082B09000001646403000000000001510A4E0108",
     "Sr176EndBlockCombo=07, SriEndBlockCombo=100, SriEndByteCombo=00"},
    // The UltraLight choice made under ISO14443A stays checked but hidden:
    // it must not reach the ISO15693 kinds.
    {"ISO15693 edited",
     "OutputDataCheck, CardKind1Check, CardKind2Check, Iso15693Radio, ICodeMode2Radio, "
     "ICodeStartBlockCombo=63, ICodeEndBlockCombo=00, ICodeStartByteCombo=02, "
     "ICodeEndByteCombo=01, ICodeCapsLockCheck, ICodeBlockEndCountCombo=10, "
     "ICodeDataEndKeyCombo=Down, ICodeDataEndCountCombo=3, SnrEndKeyCombo=Enter, "
     "SnrEndCountCombo=10", 5,
     "1FFF04000001000000000000000000000100000000000000000000280A0000C6",
     "1F023F3F02010000000001000A51030000000000000000000000000000000047",
     "ICodeEndBlockCombo=63, ICodeEndByteCombo=01"},
    // Every list at its last item: a list bound to the wrong setting, or an
    // item list cut short, shows in these bytes.
    {"ISO14443A, every list at its last item",
     "SnrEndKeyCombo=PgDn, SnrEndCountCombo=10, OutputDataCheck, CardKind1Check, CardKind2Check, "
     "MifareStartSectorCombo=63, MifareEndSectorCombo=63, MifareStartBlockCombo=03, "
     "MifareEndBlockCombo=03, MifareStartByteCombo=15, MifareEndByteCombo=15, "
     "MifareBlockEndKeyCombo=PgDn, MifareBlockEndCountCombo=10, MifareDataEndKeyCombo=PgDn, "
     "MifareDataEndCountCombo=10, UltraLightStartBlockCombo=15, UltraLightEndBlockCombo=15, "
     "UltraLightStartByteCombo=03, UltraLightEndByteCombo=03, UltraLightBlockEndKeyCombo=PgDn, "
     "UltraLightBlockEndCountCombo=10, UltraLightDataEndKeyCombo=PgDn, "
     "UltraLightDataEndCountCombo=10", 1,
     "1FFF010300000000000000000000000001000000000000000000004E0A0000A7",
     "1F013F030F3F030F00603A7C19E5B08D004E0A4E0A010F0F0303004E0A4E0AF8",
     "MifareKeyEdit=3A7C19E5B08D"},
    {"ISO14443B, every list at its last item",
     "TypeBRadio, SnrEndKeyCombo=PgDn, SnrEndCountCombo=10, OutputDataCheck, CardKind1Check, "
     "CardKind2Check, Sr176StartBlockCombo=15, Sr176EndBlockCombo=15, Sr176StartByteCombo=01, "
     "Sr176EndByteCombo=01, Sr176BlockEndKeyCombo=PgDn, Sr176BlockEndCountCombo=10, "
     "Sr176DataEndKeyCombo=PgDn, Sr176DataEndCountCombo=10, SriStartBlockCombo=127, "
     "SriEndBlockCombo=127, SriStartByteCombo=03, SriEndByteCombo=03, SriBlockEndKeyCombo=PgDn, "
     "SriBlockEndCountCombo=10, SriDataEndKeyCombo=PgDn, SriDataEndCountCombo=10", 3,
     "1FFF020003000000000000000000000001000000000000000000004E0A0000A4",
     "1F010F0F010100000000004E0A4E0A0000017F7F030300000000004E0A4E0A1F", ""},
    {"ISO15693, every list at its last item",
     "Iso15693Radio, SnrEndKeyCombo=PgDn, SnrEndCountCombo=10, OutputDataCheck, CardKind1Check, "
     "ICodeStartBlockCombo=63, ICodeEndBlockCombo=63, ICodeStartByteCombo=03, "
     "ICodeEndByteCombo=03, ICodeBlockEndKeyCombo=PgDn, ICodeBlockEndCountCombo=10, "
     "ICodeDataEndKeyCombo=PgDn, ICodeDataEndCountCombo=10", 5,
     "1FFF040000010000000000000000000001000000000000000000004E0A0000A0",
     "1F013F3F030300000000004E0A4E0A000000000000000000000000000000001E", ""},
};
// clang-format on

}  // namespace tavrin::user
