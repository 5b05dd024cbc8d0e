// The tab pages of the form: each groups the controls of one panel, and the
// panels of the card kinds are named after their kind.
#pragma once

#include <array>

namespace tavrin {

// Panel::None marks controls outside the panels.
enum class Panel { None, System, Snr, Mifare, UltraLight, Sr176, Sri, ICode };

struct PanelDef {
  Panel panel;
  const char* name;
  const char* tabCaption;
};

inline constexpr std::array<PanelDef, 7> kPanels = {{
    {Panel::System, "SystemPanel", "System Config"},
    {Panel::Snr, "SnrPanel", "SNR"},
    {Panel::Mifare, "MifarePanel", "Mifare S50/S70"},
    {Panel::UltraLight, "UltraLightPanel", "UltraLight"},
    {Panel::Sr176, "Sr176Panel", "SR176"},
    {Panel::Sri, "SriPanel", "SRI512/2K/4K/X4K"},
    {Panel::ICode, "ICodePanel", "I.Code/Tag-it"},
}};

// The panel's tab caption; for a card kind's panel, also the kind's name.
constexpr const char* TabCaptionOf(Panel panel) {
  for (const PanelDef& def : kPanels) {
    if (def.panel == panel) return def.tabCaption;
  }
  return "";
}

}  // namespace tavrin
