// The dialog's controls as data: every control's name, identifier, kind,
// caption and place, and the panels that group them. The dialog is built
// from these tables and nothing else.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "config/ControlId.h"
#include "config/PanelTable.h"
#include "form/DialogUnits.h"

namespace tavrin {

enum class ControlKind {
  PushButton,
  DefaultButton,  // the push button that Enter activates
  CheckBox,
  RadioButton,
  GroupFrame,
  Label,
  TextField,
  DropDownList,
  TabStrip,
};

enum class TextAlign { Left, Right, Centre };

struct ControlDef {
  std::string name;
  ControlId id;
  ControlKind kind;
  Panel panel;
  DuRect rect;
  std::string caption;
  bool tabStop;
  TextAlign align;
  bool shownInTemplate;
};

// Every control, in creation order. Creation order is also the stacking
// order (PageTabs first, so it lies beneath the rest) and the keyboard order.
const std::vector<ControlDef>& Controls();

// The row of one control; every ControlId has one.
const ControlDef& DefOf(ControlId id);

// The controls that make up a panel, in creation order.
const std::vector<ControlId>& PanelMembers(Panel panel);

// The four panels built from one template: UltraLight, SR176, SRI, I.Code.
inline constexpr std::array<Panel, 4> kBlockPanels = {Panel::UltraLight, Panel::Sr176, Panel::Sri,
                                                      Panel::ICode};

// The controls of the block-panel template, in template order.
enum class BlockRole {
  Group,
  ModeGroup,
  Mode1Radio,
  Mode2Radio,
  BlockSelectGroup,
  Mode1StartFrame,
  Mode1EndFrame,
  Mode2BlockFrame,
  Mode2ByteFrame,
  StartBlockLabel,
  StartBlockCombo,
  EndBlockLabel,
  EndBlockCombo,
  StartByteLabel,
  StartByteCombo,
  EndByteLabel,
  EndByteCombo,
  FunctionGroup,
  CapsLockCheck,
  BlockEndGroup,
  BlockEndKeyLabel,
  BlockEndKeyCombo,
  BlockEndCountLabel,
  BlockEndCountCombo,
  DataEndGroup,
  DataEndKeyLabel,
  DataEndKeyCombo,
  DataEndCountLabel,
  DataEndCountCombo,
};

// The identifier of a template control on one of the four block panels.
ControlId BlockControl(Panel panel, BlockRole role);

// Radio buttons that exclude one another when the user clicks them.
const std::vector<std::vector<ControlId>>& RadioSets();

}  // namespace tavrin
