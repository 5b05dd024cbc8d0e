#include "form/ControlTable.h"

#include <map>
#include <stdexcept>

#include "form/Product.h"

namespace tavrin {
namespace {

constexpr ControlKind kButton = ControlKind::PushButton;
constexpr ControlKind kDefault = ControlKind::DefaultButton;
constexpr ControlKind kCheck = ControlKind::CheckBox;
constexpr ControlKind kRadio = ControlKind::RadioButton;
constexpr ControlKind kFrame = ControlKind::GroupFrame;
constexpr ControlKind kLabel = ControlKind::Label;
constexpr ControlKind kEdit = ControlKind::TextField;
constexpr ControlKind kList = ControlKind::DropDownList;
constexpr ControlKind kTabs = ControlKind::TabStrip;
using P = Panel;
constexpr bool kStop = true;
constexpr bool kNoStop = false;
constexpr TextAlign kLeft = TextAlign::Left;
constexpr TextAlign kRight = TextAlign::Right;
constexpr bool kHidden = false;
constexpr TextAlign kCentre = TextAlign::Centre;

struct Row {
  const char* name;
  ControlId id;
  ControlKind kind;
  Panel panel;
  DuRect rect;
  const char* caption = "";
  bool tabStop = kNoStop;
  TextAlign align = kLeft;
  bool shownInTemplate = true;
};

// Name and identifier from one token, so the two cannot drift apart.
#define C(name) #name, ControlId::name

// Controls outside the panels, then the System Config, SNR and Mifare
// panels. The Mifare rows follow that panel's keyboard order.
// clang-format off
const Row kFixedRows[] = {
    {C(PageTabs), kTabs, P::None, {7, 30, 340, 200}},
    {C(BannerText), kLabel, P::None, {7, 7, 340, 21}, kMakerName,
     kNoStop, kCentre},
    {C(ConnectButton), kDefault, P::None, {167, 238, 50, 14}, "Connect", kStop},
    {C(DownloadButton), kButton, P::None, {229, 238, 50, 14}, "DownLoad", kStop},
    {C(ResetButton), kButton, P::None, {291, 238, 50, 14}, "Reset", kStop},
    {C(SaveConfigButton), kButton, P::None, {70, 238, 50, 14}, "Save Config",
     kStop, kLeft, kHidden},
    {C(ReadConfigButton), kButton, P::None, {7, 238, 50, 14}, "Read Config",
     kStop, kLeft, kHidden},

    {C(SupportTypeGroup), kFrame, P::System, {23, 60, 104, 61}, "Support Type"},
    {C(TypeARadio), kRadio, P::System, {33, 73, 72, 12}, "ISO14443A"},
    {C(TypeBRadio), kRadio, P::System, {33, 88, 72, 12}, "ISO14443B"},
    {C(Iso15693Radio), kRadio, P::System, {33, 103, 72, 12}, "ISO15693"},
    {C(OutputSelectGroup), kFrame, P::System, {23, 123, 104, 91}, "Output Select"},
    {C(OutputSnrCheck), kCheck, P::System, {33, 136, 68, 12}, "Card SNR", kStop},
    {C(OutputDataCheck), kCheck, P::System, {33, 151, 69, 12}, "Card Data", kStop},
    {C(CardKind1Check), kCheck, P::System, {44, 166, 73, 12}, "", kStop},
    {C(CardKind2Check), kCheck, P::System, {44, 181, 73, 12}, "", kStop},
    {C(CardKind3Check), kCheck, P::None, {44, 196, 73, 12}, "", kStop},
    {C(DescriptionGroup), kFrame, P::System, {132, 60, 199, 154}, "Description",
     kNoStop, kLeft, kHidden},
    {C(DescriptionText), kLabel, P::System, {139, 76, 186, 131}},

    {C(SnrConfigGroup), kFrame, P::Snr, {66, 60, 219, 137}, "SNR Config"},
    {C(SnrOrderGroup), kFrame, P::Snr, {80, 74, 81, 54}},
    {C(SnrMsbFirstRadio), kRadio, P::Snr, {92, 88, 49, 12}, "MSB first"},
    {C(SnrLsbFirstRadio), kRadio, P::Snr, {92, 107, 49, 11}, "LSB first"},
    {C(SnrFormatGroup), kFrame, P::Snr, {80, 133, 81, 54}},
    {C(SnrHexRadio), kRadio, P::Snr, {92, 146, 49, 12}, "HEX"},
    {C(SnrDecRadio), kRadio, P::Snr, {92, 165, 49, 12}, "DEC", kNoStop, kLeft, kHidden},
    {C(SnrFunctionGroup), kFrame, P::Snr, {174, 74, 98, 112}, "Function"},
    {C(SnrCapsLockCheck), kCheck, P::Snr, {189, 90, 56, 13}, "CapsLk", kStop},
    {C(SnrEndGroup), kFrame, P::Snr, {184, 110, 77, 56}, "SNR end"},
    {C(SnrEndKeyLabel), kLabel, P::Snr, {194, 127, 14, 12}, "Key"},
    {C(SnrEndKeyCombo), kList, P::Snr, {217, 124, 36, 77}, "", kStop},
    {C(SnrEndCountLabel), kLabel, P::Snr, {194, 144, 16, 10}, "Num"},
    {C(SnrEndCountCombo), kList, P::Snr, {217, 144, 36, 55}, "", kStop},

    {C(MifareGroup), kFrame, P::Mifare, {42, 59, 269, 154}, "Mifare S50/S70 Output Config"},
    {C(MifareModeGroup), kFrame, P::Mifare, {52, 72, 153, 24}, "Output Mode"},
    {C(MifareMode1Radio), kRadio, P::Mifare, {63, 82, 37, 9}, "Mode1"},
    {C(MifareMode2Radio), kRadio, P::Mifare, {111, 82, 37, 9}, "Mode2"},
    {C(MifareBlockSetGroup), kFrame, P::Mifare, {52, 99, 153, 104}, "Block Set"},
    {C(MifareStartGroup), kFrame, P::Mifare, {60, 109, 65, 60}, "Start"},
    {C(MifareEndGroup), kFrame, P::Mifare, {132, 109, 65, 60}, "End"},
    {C(MifareKeyARadio), kRadio, P::Mifare, {63, 173, 37, 10}, "Key A"},
    {C(MifareKeyBRadio), kRadio, P::Mifare, {135, 172, 37, 10}, "Key B"},
    {C(MifareKeyEdit), kEdit, P::Mifare, {60, 185, 131, 12}, "", kStop},
    {C(MifareStartSectorLabel), kLabel, P::Mifare, {63, 122, 26, 10}, "Sector", kNoStop, kRight},
    {C(MifareStartSectorCombo), kList, P::Mifare, {92, 119, 28, 67}, "", kStop},
    {C(MifareStartBlockLabel), kLabel, P::Mifare, {63, 138, 26, 10}, "Block", kNoStop, kRight},
    {C(MifareStartBlockCombo), kList, P::Mifare, {92, 135, 28, 67}, "", kStop},
    {C(MifareEndSectorLabel), kLabel, P::Mifare, {135, 122, 26, 10}, "Sector", kNoStop, kRight},
    {C(MifareEndSectorCombo), kList, P::Mifare, {164, 119, 28, 61}, "", kStop},
    {C(MifareEndBlockLabel), kLabel, P::Mifare, {135, 138, 26, 10}, "Block", kNoStop, kRight},
    {C(MifareEndBlockCombo), kList, P::Mifare, {164, 135, 28, 62}, "", kStop},
    {C(MifareFunctionGroup), kFrame, P::Mifare, {212, 72, 89, 132}, "Function"},
    {C(MifareCapsLockCheck), kCheck, P::Mifare, {223, 86, 56, 10}, "CapsLk", kStop},
    {C(MifareBlockEndGroup), kFrame, P::Mifare, {219, 100, 75, 43}, "Every Block End"},
    {C(MifareBlockEndKeyLabel), kLabel, P::Mifare, {227, 112, 16, 10}, "Key", kNoStop, kRight},
    {C(MifareBlockEndKeyCombo), kList, P::Mifare, {254, 112, 34, 77}, "", kStop},
    {C(MifareBlockEndCountLabel), kLabel, P::Mifare, {227, 126, 16, 10}, "Num", kNoStop, kRight},
    {C(MifareBlockEndCountCombo), kList, P::Mifare, {254, 126, 34, 55}, "", kStop},
    {C(MifareDataEndGroup), kFrame, P::Mifare, {219, 146, 75, 43}, "Data End"},
    {C(MifareDataEndKeyLabel), kLabel, P::Mifare, {227, 160, 16, 10}, "Key", kNoStop, kRight},
    {C(MifareDataEndKeyCombo), kList, P::Mifare, {254, 158, 34, 77}, "", kStop},
    {C(MifareDataEndCountLabel), kLabel, P::Mifare, {227, 174, 16, 10}, "Num", kNoStop, kRight},
    {C(MifareDataEndCountCombo), kList, P::Mifare, {254, 172, 34, 55}, "", kStop},
    {C(MifareStartByteLabel), kLabel, P::Mifare, {63, 154, 26, 10}, "Byte", kNoStop, kRight},
    {C(MifareStartByteCombo), kList, P::Mifare, {92, 151, 28, 46}, "", kStop},
    {C(MifareEndByteLabel), kLabel, P::Mifare, {135, 154, 26, 10}, "Byte", kNoStop, kRight},
    {C(MifareEndByteCombo), kList, P::Mifare, {164, 151, 28, 46}, "", kStop},
};
// clang-format on
#undef C

// Placeholders in the template, resolved per panel.
constexpr const char* kPanelTitle = nullptr;

struct TemplateRow {
  BlockRole role;
  const char* suffix;
  std::array<ControlId, 4> ids;
  ControlKind kind;
  DuRect rect;
  const char* caption = "";
  bool tabStop = kNoStop;
  TextAlign align = kLeft;
};

// One role's name suffix and its identifiers on the four panels.
#define B(suffix)                                                                    \
  BlockRole::suffix, #suffix, {                                                      \
    ControlId::UltraLight##suffix, ControlId::Sr176##suffix, ControlId::Sri##suffix, \
        ControlId::ICode##suffix                                                     \
  }

// Rows in BlockRole order.
// clang-format off
const TemplateRow kBlockTemplate[] = {
    {B(Group), kFrame, {51, 60, 248, 154}, kPanelTitle},
    {B(ModeGroup), kFrame, {60, 74, 57, 132}, "Output Mode"},
    {B(Mode1Radio), kRadio, {67, 92, 37, 9}, "Mode1"},
    {B(Mode2Radio), kRadio, {67, 108, 37, 9}, "Mode2"},
    {B(BlockSelectGroup), kFrame, {123, 74, 168, 61}, "Block Select"},
    {B(Mode1StartFrame), kFrame, {127, 80, 160, 25}},
    {B(Mode1EndFrame), kFrame, {127, 106, 160, 25}},
    {B(Mode2BlockFrame), kFrame, {127, 80, 80, 51}},
    {B(Mode2ByteFrame), kFrame, {213, 80, 74, 51}},
    {B(StartBlockLabel), kLabel, {129, 90, 46, 10}, "Start Block", kNoStop, kRight},
    {B(StartBlockCombo), kList, {177, 88, 28, 67}, "", kStop},
    {B(EndBlockLabel), kLabel, {135, 116, 40, 10}, "End Block", kNoStop, kRight},
    {B(EndBlockCombo), kList, {177, 114, 28, 67}, "", kStop},
    {B(StartByteLabel), kLabel, {215, 90, 40, 10}, "Start Byte", kNoStop, kRight},
    {B(StartByteCombo), kList, {257, 88, 28, 61}, "", kStop},
    {B(EndByteLabel), kLabel, {219, 116, 36, 10}, "End Byte", kNoStop, kRight},
    {B(EndByteCombo), kList, {257, 114, 28, 62}, "", kStop},
    {B(FunctionGroup), kFrame, {123, 136, 168, 70}, "Function"},
    {B(CapsLockCheck), kCheck, {140, 146, 56, 10}, "CapsLk", kStop},
    {B(BlockEndGroup), kFrame, {130, 160, 75, 41}, "Every Block End"},
    {B(BlockEndKeyLabel), kLabel, {138, 172, 16, 10}, "Key", kNoStop, kRight},
    {B(BlockEndKeyCombo), kList, {164, 168, 34, 77}, "", kStop},
    {B(BlockEndCountLabel), kLabel, {138, 184, 16, 10}, "Num", kNoStop, kRight},
    {B(BlockEndCountCombo), kList, {164, 184, 34, 55}, "", kStop},
    {B(DataEndGroup), kFrame, {213, 160, 72, 41}, "Data End"},
    {B(DataEndKeyLabel), kLabel, {219, 172, 16, 10}, "Key", kNoStop, kRight},
    {B(DataEndKeyCombo), kList, {244, 168, 34, 77}, "", kStop},
    {B(DataEndCountLabel), kLabel, {219, 184, 16, 10}, "Num", kNoStop, kRight},
    {B(DataEndCountCombo), kList, {244, 184, 34, 55}, "", kStop},
};
// clang-format on
#undef B

// What differs between the four block panels, in kBlockPanels order.
struct BlockPanelSpec {
  const char* prefix;
  const char* title;
};

const BlockPanelSpec kBlockPanelSpecs[] = {
    {"UltraLight", "UltraLight Output Config"},
    {"Sr176", "SR176 Output Config"},
    {"Sri", "SRI512/2K/4K/X4K Output Config"},
    {"ICode", "I.Code/Tag-it Output Config"},
};

int BlockIndex(Panel panel) {
  for (std::size_t i = 0; i < kBlockPanels.size(); ++i) {
    if (kBlockPanels[i] == panel) return static_cast<int>(i);
  }
  throw std::invalid_argument("not a block panel");
}

ControlDef FromTemplate(const TemplateRow& row, int index) {
  const BlockPanelSpec& panel = kBlockPanelSpecs[index];
  return {std::string(panel.prefix) + row.suffix,
          row.ids[index],
          row.kind,
          kBlockPanels[index],
          row.rect,
          row.caption == kPanelTitle ? panel.title : row.caption,
          row.tabStop,
          row.align,
          true};
}

std::vector<ControlDef> BuildControls() {
  std::vector<ControlDef> controls;
  for (const Row& row : kFixedRows) {
    controls.push_back({row.name, row.id, row.kind, row.panel, row.rect, row.caption, row.tabStop,
                        row.align, row.shownInTemplate});
  }
  for (int index = 0; index < static_cast<int>(kBlockPanels.size()); ++index) {
    for (const TemplateRow& row : kBlockTemplate) controls.push_back(FromTemplate(row, index));
  }
  return controls;
}

}  // namespace

const std::vector<ControlDef>& Controls() {
  static const std::vector<ControlDef> controls = BuildControls();
  return controls;
}

const ControlDef& DefOf(ControlId id) {
  static const std::map<ControlId, const ControlDef*> byId = [] {
    std::map<ControlId, const ControlDef*> map;
    for (const ControlDef& def : Controls()) map.emplace(def.id, &def);
    return map;
  }();
  return *byId.at(id);
}

const std::vector<ControlId>& PanelMembers(Panel panel) {
  static const std::map<Panel, std::vector<ControlId>> members = [] {
    std::map<Panel, std::vector<ControlId>> map;
    for (const ControlDef& def : Controls()) {
      if (def.panel != Panel::None) map[def.panel].push_back(def.id);
    }
    return map;
  }();
  return members.at(panel);
}

ControlId BlockControl(Panel panel, BlockRole role) {
  return kBlockTemplate[static_cast<int>(role)].ids[BlockIndex(panel)];
}

const std::vector<std::vector<ControlId>>& RadioSets() {
  static const std::vector<std::vector<ControlId>> sets = [] {
    std::vector<std::vector<ControlId>> list = {
        {ControlId::TypeARadio, ControlId::TypeBRadio, ControlId::Iso15693Radio},
        {ControlId::SnrMsbFirstRadio, ControlId::SnrLsbFirstRadio},
        {ControlId::SnrHexRadio, ControlId::SnrDecRadio},
        {ControlId::MifareKeyARadio, ControlId::MifareKeyBRadio},
        {ControlId::MifareMode1Radio, ControlId::MifareMode2Radio},
    };
    for (Panel panel : kBlockPanels) {
      list.push_back(
          {BlockControl(panel, BlockRole::Mode1Radio), BlockControl(panel, BlockRole::Mode2Radio)});
    }
    return list;
  }();
  return sets;
}

}  // namespace tavrin
