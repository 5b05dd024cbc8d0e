#include "ControlTable.h"

#include <map>
#include <stdexcept>

namespace tavrin {
namespace {

using K = ControlKind;
using P = Panel;
using I = ItemList;
constexpr bool kStop = true;
constexpr bool kNoStop = false;
constexpr TextAlign kLeft = TextAlign::Left;
constexpr TextAlign kRight = TextAlign::Right;
constexpr bool kHidden = false;

struct Row {
  const char* name;
  ControlId id;
  ControlKind kind;
  Panel panel;
  DuRect rect;
  const char* caption = "";
  bool tabStop = kNoStop;
  TextAlign align = kLeft;
  ItemList items = I::None;
  bool shownInTemplate = true;
};

// Name and identifier from one token, so the two cannot drift apart.
#define C(name) #name, ControlId::name

// Controls outside the panels, then the System Config, SNR and Mifare
// panels. The Mifare rows follow that panel's keyboard order.
const Row kFixedRows[] = {
    {C(PageTabs), K::TabStrip, P::None, {7, 30, 340, 200}},
    {C(BannerText),
     K::Label,
     P::None,
     {7, 7, 340, 21},
     "Belmora Electronics Co.,LTD",
     kNoStop,
     TextAlign::Centre},
    {C(ConnectButton), K::DefaultButton, P::None, {167, 238, 50, 14}, "Connect", kStop},
    {C(DownloadButton), K::PushButton, P::None, {229, 238, 50, 14}, "DownLoad", kStop},
    {C(ResetButton), K::PushButton, P::None, {291, 238, 50, 14}, "Reset", kStop},
    {C(SaveConfigButton),
     K::PushButton,
     P::None,
     {70, 238, 50, 14},
     "Save Config",
     kStop,
     kLeft,
     I::None,
     kHidden},
    {C(ReadConfigButton),
     K::PushButton,
     P::None,
     {7, 238, 50, 14},
     "Read Config",
     kStop,
     kLeft,
     I::None,
     kHidden},

    {C(SupportTypeGroup), K::GroupFrame, P::System, {23, 60, 104, 61}, "Support Type"},
    {C(TypeARadio), K::RadioButton, P::System, {33, 73, 72, 12}, "ISO14443A"},
    {C(TypeBRadio), K::RadioButton, P::System, {33, 88, 72, 12}, "ISO14443B"},
    {C(Iso15693Radio), K::RadioButton, P::System, {33, 103, 72, 12}, "ISO15693"},
    {C(OutputSelectGroup), K::GroupFrame, P::System, {23, 123, 104, 91}, "Output Select"},
    {C(OutputSnrCheck), K::CheckBox, P::System, {33, 136, 68, 12}, "Card SNR", kStop},
    {C(OutputDataCheck), K::CheckBox, P::System, {33, 151, 69, 12}, "Card Data", kStop},
    {C(CardKind1Check), K::CheckBox, P::System, {44, 166, 73, 12}, "", kStop},
    {C(CardKind2Check), K::CheckBox, P::System, {44, 181, 73, 12}, "", kStop},
    {C(CardKind3Check), K::CheckBox, P::None, {44, 196, 73, 12}, "", kStop},
    {C(DescriptionGroup),
     K::GroupFrame,
     P::System,
     {132, 60, 199, 154},
     "Description",
     kNoStop,
     kLeft,
     I::None,
     kHidden},
    {C(DescriptionText), K::Label, P::System, {139, 76, 186, 131}},

    {C(SnrConfigGroup), K::GroupFrame, P::Snr, {66, 60, 219, 137}, "SNR Config"},
    {C(SnrOrderGroup), K::GroupFrame, P::Snr, {80, 74, 81, 54}},
    {C(SnrMsbFirstRadio), K::RadioButton, P::Snr, {92, 88, 49, 12}, "MSB first"},
    {C(SnrLsbFirstRadio), K::RadioButton, P::Snr, {92, 107, 49, 11}, "LSB first"},
    {C(SnrFormatGroup), K::GroupFrame, P::Snr, {80, 133, 81, 54}},
    {C(SnrHexRadio), K::RadioButton, P::Snr, {92, 146, 49, 12}, "HEX"},
    {C(SnrDecRadio),
     K::RadioButton,
     P::Snr,
     {92, 165, 49, 12},
     "DEC",
     kNoStop,
     kLeft,
     I::None,
     kHidden},
    {C(SnrFunctionGroup), K::GroupFrame, P::Snr, {174, 74, 98, 112}, "Function"},
    {C(SnrCapsLockCheck), K::CheckBox, P::Snr, {189, 90, 56, 13}, "CapsLk", kStop},
    {C(SnrEndGroup), K::GroupFrame, P::Snr, {184, 110, 77, 56}, "SNR end"},
    {C(SnrEndKeyLabel), K::Label, P::Snr, {194, 127, 14, 12}, "Key"},
    {C(SnrEndKeyCombo), K::DropDownList, P::Snr, {217, 124, 36, 77}, "", kStop, kLeft, I::Keys},
    {C(SnrEndCountLabel), K::Label, P::Snr, {194, 144, 16, 10}, "Num"},
    {C(SnrEndCountCombo), K::DropDownList, P::Snr, {217, 144, 36, 55}, "", kStop, kLeft, I::Counts},

    {C(MifareGroup), K::GroupFrame, P::Mifare, {42, 59, 269, 154}, "Mifare S50/S70 Output Config"},
    {C(MifareModeGroup), K::GroupFrame, P::Mifare, {52, 72, 153, 24}, "Output Mode"},
    {C(MifareMode1Radio), K::RadioButton, P::Mifare, {63, 82, 37, 9}, "Mode1"},
    {C(MifareMode2Radio), K::RadioButton, P::Mifare, {111, 82, 37, 9}, "Mode2"},
    {C(MifareBlockSetGroup), K::GroupFrame, P::Mifare, {52, 99, 153, 104}, "Block Set"},
    {C(MifareStartGroup), K::GroupFrame, P::Mifare, {60, 109, 65, 60}, "Start"},
    {C(MifareEndGroup), K::GroupFrame, P::Mifare, {132, 109, 65, 60}, "End"},
    {C(MifareKeyARadio), K::RadioButton, P::Mifare, {63, 173, 37, 10}, "Key A"},
    {C(MifareKeyBRadio), K::RadioButton, P::Mifare, {135, 172, 37, 10}, "Key B"},
    {C(MifareKeyEdit), K::TextField, P::Mifare, {60, 185, 131, 12}, "", kStop},
    {C(MifareStartSectorLabel), K::Label, P::Mifare, {63, 122, 26, 10}, "Sector", kNoStop, kRight},
    {C(MifareStartSectorCombo),
     K::DropDownList,
     P::Mifare,
     {92, 119, 28, 67},
     "",
     kStop,
     kLeft,
     I::Numbers00To63},
    {C(MifareStartBlockLabel), K::Label, P::Mifare, {63, 138, 26, 10}, "Block", kNoStop, kRight},
    {C(MifareStartBlockCombo),
     K::DropDownList,
     P::Mifare,
     {92, 135, 28, 67},
     "",
     kStop,
     kLeft,
     I::Numbers00To03},
    {C(MifareEndSectorLabel), K::Label, P::Mifare, {135, 122, 26, 10}, "Sector", kNoStop, kRight},
    {C(MifareEndSectorCombo),
     K::DropDownList,
     P::Mifare,
     {164, 119, 28, 61},
     "",
     kStop,
     kLeft,
     I::Numbers00To63},
    {C(MifareEndBlockLabel), K::Label, P::Mifare, {135, 138, 26, 10}, "Block", kNoStop, kRight},
    {C(MifareEndBlockCombo),
     K::DropDownList,
     P::Mifare,
     {164, 135, 28, 62},
     "",
     kStop,
     kLeft,
     I::Numbers00To03},
    {C(MifareFunctionGroup), K::GroupFrame, P::Mifare, {212, 72, 89, 132}, "Function"},
    {C(MifareCapsLockCheck), K::CheckBox, P::Mifare, {223, 86, 56, 10}, "CapsLk", kStop},
    {C(MifareBlockEndGroup), K::GroupFrame, P::Mifare, {219, 100, 75, 43}, "Every Block End"},
    {C(MifareBlockEndKeyLabel), K::Label, P::Mifare, {227, 112, 16, 10}, "Key", kNoStop, kRight},
    {C(MifareBlockEndKeyCombo),
     K::DropDownList,
     P::Mifare,
     {254, 112, 34, 77},
     "",
     kStop,
     kLeft,
     I::Keys},
    {C(MifareBlockEndCountLabel), K::Label, P::Mifare, {227, 126, 16, 10}, "Num", kNoStop, kRight},
    {C(MifareBlockEndCountCombo),
     K::DropDownList,
     P::Mifare,
     {254, 126, 34, 55},
     "",
     kStop,
     kLeft,
     I::Counts},
    {C(MifareDataEndGroup), K::GroupFrame, P::Mifare, {219, 146, 75, 43}, "Data End"},
    {C(MifareDataEndKeyLabel), K::Label, P::Mifare, {227, 160, 16, 10}, "Key", kNoStop, kRight},
    {C(MifareDataEndKeyCombo),
     K::DropDownList,
     P::Mifare,
     {254, 158, 34, 77},
     "",
     kStop,
     kLeft,
     I::Keys},
    {C(MifareDataEndCountLabel), K::Label, P::Mifare, {227, 174, 16, 10}, "Num", kNoStop, kRight},
    {C(MifareDataEndCountCombo),
     K::DropDownList,
     P::Mifare,
     {254, 172, 34, 55},
     "",
     kStop,
     kLeft,
     I::Counts},
    {C(MifareStartByteLabel), K::Label, P::Mifare, {63, 154, 26, 10}, "Byte", kNoStop, kRight},
    {C(MifareStartByteCombo),
     K::DropDownList,
     P::Mifare,
     {92, 151, 28, 46},
     "",
     kStop,
     kLeft,
     I::Numbers00To15},
    {C(MifareEndByteLabel), K::Label, P::Mifare, {135, 154, 26, 10}, "Byte", kNoStop, kRight},
    {C(MifareEndByteCombo),
     K::DropDownList,
     P::Mifare,
     {164, 151, 28, 46},
     "",
     kStop,
     kLeft,
     I::Numbers00To15},
};
#undef C

// Placeholders in the template, resolved per panel.
constexpr const char* kPanelTitle = nullptr;
constexpr ItemList kPanelBlocks = static_cast<ItemList>(-1);
constexpr ItemList kPanelBytes = static_cast<ItemList>(-2);

struct TemplateRow {
  BlockRole role;
  const char* suffix;
  std::array<ControlId, 4> ids;
  ControlKind kind;
  DuRect rect;
  const char* caption = "";
  bool tabStop = kNoStop;
  TextAlign align = kLeft;
  ItemList items = I::None;
};

// One role's name suffix and its identifiers on the four panels.
#define B(suffix)                                                                    \
  BlockRole::suffix, #suffix, {                                                      \
    ControlId::UltraLight##suffix, ControlId::Sr176##suffix, ControlId::Sri##suffix, \
        ControlId::ICode##suffix                                                     \
  }

// Rows in BlockRole order.
const TemplateRow kBlockTemplate[] = {
    {B(Group), K::GroupFrame, {51, 60, 248, 154}, kPanelTitle},
    {B(ModeGroup), K::GroupFrame, {60, 74, 57, 132}, "Output Mode"},
    {B(Mode1Radio), K::RadioButton, {67, 92, 37, 9}, "Mode1"},
    {B(Mode2Radio), K::RadioButton, {67, 108, 37, 9}, "Mode2"},
    {B(BlockSelectGroup), K::GroupFrame, {123, 74, 168, 61}, "Block Select"},
    {B(Mode1StartFrame), K::GroupFrame, {127, 80, 160, 25}},
    {B(Mode1EndFrame), K::GroupFrame, {127, 106, 160, 25}},
    {B(Mode2BlockFrame), K::GroupFrame, {127, 80, 80, 51}},
    {B(Mode2ByteFrame), K::GroupFrame, {213, 80, 74, 51}},
    {B(StartBlockLabel), K::Label, {129, 90, 46, 10}, "Start Block", kNoStop, kRight},
    {B(StartBlockCombo), K::DropDownList, {177, 88, 28, 67}, "", kStop, kLeft, kPanelBlocks},
    {B(EndBlockLabel), K::Label, {135, 116, 40, 10}, "End Block", kNoStop, kRight},
    {B(EndBlockCombo), K::DropDownList, {177, 114, 28, 67}, "", kStop, kLeft, kPanelBlocks},
    {B(StartByteLabel), K::Label, {215, 90, 40, 10}, "Start Byte", kNoStop, kRight},
    {B(StartByteCombo), K::DropDownList, {257, 88, 28, 61}, "", kStop, kLeft, kPanelBytes},
    {B(EndByteLabel), K::Label, {219, 116, 36, 10}, "End Byte", kNoStop, kRight},
    {B(EndByteCombo), K::DropDownList, {257, 114, 28, 62}, "", kStop, kLeft, kPanelBytes},
    {B(FunctionGroup), K::GroupFrame, {123, 136, 168, 70}, "Function"},
    {B(CapsLockCheck), K::CheckBox, {140, 146, 56, 10}, "CapsLk", kStop},
    {B(BlockEndGroup), K::GroupFrame, {130, 160, 75, 41}, "Every Block End"},
    {B(BlockEndKeyLabel), K::Label, {138, 172, 16, 10}, "Key", kNoStop, kRight},
    {B(BlockEndKeyCombo), K::DropDownList, {164, 168, 34, 77}, "", kStop, kLeft, I::Keys},
    {B(BlockEndCountLabel), K::Label, {138, 184, 16, 10}, "Num", kNoStop, kRight},
    {B(BlockEndCountCombo), K::DropDownList, {164, 184, 34, 55}, "", kStop, kLeft, I::Counts},
    {B(DataEndGroup), K::GroupFrame, {213, 160, 72, 41}, "Data End"},
    {B(DataEndKeyLabel), K::Label, {219, 172, 16, 10}, "Key", kNoStop, kRight},
    {B(DataEndKeyCombo), K::DropDownList, {244, 168, 34, 77}, "", kStop, kLeft, I::Keys},
    {B(DataEndCountLabel), K::Label, {219, 184, 16, 10}, "Num", kNoStop, kRight},
    {B(DataEndCountCombo), K::DropDownList, {244, 184, 34, 55}, "", kStop, kLeft, I::Counts},
};
#undef B

// What differs between the four block panels, in kBlockPanels order.
struct BlockPanelSpec {
  const char* prefix;
  const char* title;
  ItemList blocks;
  ItemList bytes;
};

const BlockPanelSpec kBlockPanelSpecs[] = {
    {"UltraLight", "UltraLight Output Config", I::Numbers00To15, I::Numbers00To03},
    {"Sr176", "SR176 Output Config", I::Numbers00To15, I::Numbers00To01},
    {"Sri", "SRI512/2K/4K/X4K Output Config", I::Numbers000To127, I::Numbers00To03},
    {"ICode", "I.Code/Tag-it Output Config", I::Numbers00To63, I::Numbers00To03},
};

int BlockIndex(Panel panel) {
  for (std::size_t i = 0; i < kBlockPanels.size(); ++i) {
    if (kBlockPanels[i] == panel) return static_cast<int>(i);
  }
  throw std::invalid_argument("not a block panel");
}

ControlSpec FromTemplate(const TemplateRow& row, int index) {
  const BlockPanelSpec& panel = kBlockPanelSpecs[index];
  ItemList items = row.items;
  if (items == kPanelBlocks) items = panel.blocks;
  if (items == kPanelBytes) items = panel.bytes;
  return {std::string(panel.prefix) + row.suffix,
          row.ids[index],
          row.kind,
          kBlockPanels[index],
          row.rect,
          row.caption == kPanelTitle ? panel.title : row.caption,
          row.tabStop,
          row.align,
          items,
          true};
}

std::vector<ControlSpec> BuildControls() {
  std::vector<ControlSpec> controls;
  for (const Row& row : kFixedRows) {
    controls.push_back({row.name, row.id, row.kind, row.panel, row.rect, row.caption, row.tabStop,
                        row.align, row.items, row.shownInTemplate});
  }
  for (int index = 0; index < static_cast<int>(kBlockPanels.size()); ++index) {
    for (const TemplateRow& row : kBlockTemplate) controls.push_back(FromTemplate(row, index));
  }
  return controls;
}

}  // namespace

const std::vector<ControlSpec>& Controls() {
  static const std::vector<ControlSpec> controls = BuildControls();
  return controls;
}

const ControlSpec& SpecOf(ControlId id) {
  static const std::map<ControlId, const ControlSpec*> byId = [] {
    std::map<ControlId, const ControlSpec*> map;
    for (const ControlSpec& spec : Controls()) map.emplace(spec.id, &spec);
    return map;
  }();
  return *byId.at(id);
}

const std::vector<ControlId>& PanelMembers(Panel panel) {
  static const std::map<Panel, std::vector<ControlId>> members = [] {
    std::map<Panel, std::vector<ControlId>> map;
    for (const ControlSpec& spec : Controls()) {
      if (spec.panel != Panel::None) map[spec.panel].push_back(spec.id);
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
