// The tab list, the panels it stands for and the handlers that keep the two
// in step with the user's choices.
#include <QAbstractButton>

#include "form/ConfigDialog.h"
#include "form/FormWidgets.h"

namespace tavrin {
namespace {

enum class FormEvent { Clicked, TabSelected };

QString TabCaption(Panel panel) { return QString::fromUtf8(TabCaptionOf(panel)); }

// The panel of a family's second card kind; Panel::None when it has one.
Panel Kind2Panel(const CardFamily& family) {
  return family.kindCount > 1 ? family.kinds[1].panel : Panel::None;
}

bool IsBlockPanel(Panel panel) {
  for (Panel block : kBlockPanels) {
    if (block == panel) return true;
  }
  return false;
}

}  // namespace

void ConfigDialog::BindEvents() {
  struct Binding {
    ControlId id;
    FormEvent event;
    void (ConfigDialog::*handler)();
  };
  static const Binding kBindings[] = {
      {ControlId::ConnectButton, FormEvent::Clicked, &ConfigDialog::OnConnect},
      {ControlId::DownloadButton, FormEvent::Clicked, &ConfigDialog::OnDownload},
      {ControlId::ResetButton, FormEvent::Clicked, &ConfigDialog::OnReset},
      {ControlId::ReadConfigButton, FormEvent::Clicked, &ConfigDialog::OnNothing},
      {ControlId::SaveConfigButton, FormEvent::Clicked, &ConfigDialog::OnNothing},
      {ControlId::PageTabs, FormEvent::TabSelected, &ConfigDialog::OnTabSelected},
      {ControlId::TypeARadio, FormEvent::Clicked, &ConfigDialog::OnTypeARadio},
      {ControlId::TypeBRadio, FormEvent::Clicked, &ConfigDialog::OnTypeBRadio},
      {ControlId::Iso15693Radio, FormEvent::Clicked, &ConfigDialog::RebuildTabList},
      {ControlId::OutputSnrCheck, FormEvent::Clicked, &ConfigDialog::RebuildTabList},
      {ControlId::OutputDataCheck, FormEvent::Clicked, &ConfigDialog::OnOutputDataCheck},
      {ControlId::CardKind1Check, FormEvent::Clicked, &ConfigDialog::RebuildTabList},
      {ControlId::CardKind2Check, FormEvent::Clicked, &ConfigDialog::RebuildTabList},
      {ControlId::MifareMode1Radio, FormEvent::Clicked, &ConfigDialog::OnNothing},
      {ControlId::MifareMode2Radio, FormEvent::Clicked, &ConfigDialog::OnNothing},
      {ControlId::UltraLightMode1Radio, FormEvent::Clicked, &ConfigDialog::OnUltraLightModeRadio},
      {ControlId::UltraLightMode2Radio, FormEvent::Clicked, &ConfigDialog::OnUltraLightModeRadio},
      {ControlId::Sr176Mode1Radio, FormEvent::Clicked, &ConfigDialog::OnSr176ModeRadio},
      {ControlId::Sr176Mode2Radio, FormEvent::Clicked, &ConfigDialog::OnSr176ModeRadio},
      {ControlId::SriMode1Radio, FormEvent::Clicked, &ConfigDialog::OnSriModeRadio},
      {ControlId::SriMode2Radio, FormEvent::Clicked, &ConfigDialog::OnSriModeRadio},
      {ControlId::ICodeMode1Radio, FormEvent::Clicked, &ConfigDialog::OnICodeModeRadio},
      {ControlId::ICodeMode2Radio, FormEvent::Clicked, &ConfigDialog::OnICodeModeRadio},
  };
  for (const Binding& binding : kBindings) {
    const auto run = [this, handler = binding.handler] { (this->*handler)(); };
    if (binding.event == FormEvent::TabSelected) {
      connect(Tabs(), &TabStrip::TabSelected, this, run);
    } else {
      connect(static_cast<QAbstractButton*>(Control(binding.id)), &QAbstractButton::clicked, this,
              run);
    }
  }
}

void ConfigDialog::InsertTabAtNext(const QString& caption) {
  InsertTab(nextTabIndex_, caption);
  ++nextTabIndex_;
}

void ConfigDialog::RebuildTabList() {
  RemoveAllTabs();
  nextTabIndex_ = 1;
  InsertTab(0, TabCaption(Panel::System));
  if (IsChecked(ControlId::OutputSnrCheck)) InsertTabAtNext(TabCaption(Panel::Snr));
  for (const CardFamily& family : kCardFamilies) {
    if (!IsChecked(family.radio)) continue;
    const Panel kind1 = family.kinds[0].panel;
    const Panel kind2 = Kind2Panel(family);
    SetCaption(ControlId::CardKind1Check, TabCaption(kind1));
    if (kind2 == Panel::None) {
      HideControl(ControlId::CardKind2Check);
    } else {
      SetCaption(ControlId::CardKind2Check, TabCaption(kind2));
    }
    if (IsChecked(ControlId::CardKind1Check)) InsertTabAtNext(TabCaption(kind1));
    if (kind2 != Panel::None && IsChecked(ControlId::CardKind2Check)) {
      InsertTabAtNext(TabCaption(kind2));
    }
  }
}

void ConfigDialog::HideAllPanels() {
  HideSystemPanel();
  HideSnrPanel();
  HideMifarePanel();
  HideUltraLightPanel();
  HideSr176Panel();
  HideSriPanel();
  HideICodePanel();
}

void ConfigDialog::ShowSystemPanel() { ShowPanel(Panel::System); }
void ConfigDialog::ShowSnrPanel() { ShowPanel(Panel::Snr); }
void ConfigDialog::HideSystemPanel() { HidePanel(Panel::System); }
void ConfigDialog::HideSnrPanel() { HidePanel(Panel::Snr); }
void ConfigDialog::HideMifarePanel() { HidePanel(Panel::Mifare); }
void ConfigDialog::HideUltraLightPanel() { HidePanel(Panel::UltraLight); }
void ConfigDialog::HideSr176Panel() { HidePanel(Panel::Sr176); }
void ConfigDialog::HideSriPanel() { HidePanel(Panel::Sri); }
void ConfigDialog::HideICodePanel() { HidePanel(Panel::ICode); }

void ConfigDialog::ShowPanel(Panel panel) {
  for (ControlId id : PanelMembers(panel)) {
    if (ShowsMember(panel, id)) ShowControl(id);
  }
}

void ConfigDialog::HidePanel(Panel panel) {
  for (ControlId id : PanelMembers(panel)) HideControl(id);
}

// The card-kind checks appear with data output only (and are otherwise left
// as they are); a mode panel shows the frames of its checked mode only.
bool ConfigDialog::ShowsMember(Panel panel, ControlId id) const {
  if (id == ControlId::CardKind1Check || id == ControlId::CardKind2Check) {
    return IsChecked(ControlId::OutputDataCheck);
  }
  if (!IsBlockPanel(panel)) return true;
  const bool mode1 = IsChecked(BlockControl(panel, BlockRole::Mode1Radio));
  if (id == BlockControl(panel, BlockRole::Mode1StartFrame) ||
      id == BlockControl(panel, BlockRole::Mode1EndFrame)) {
    return mode1;
  }
  if (id == BlockControl(panel, BlockRole::Mode2BlockFrame) ||
      id == BlockControl(panel, BlockRole::Mode2ByteFrame)) {
    return !mode1;
  }
  return true;
}

void ConfigDialog::ShowKind1Panel() {
  for (const CardFamily& family : kCardFamilies) {
    if (IsChecked(family.radio)) ShowPanel(family.kinds[0].panel);
  }
}

void ConfigDialog::ShowKind2Panel() {
  for (const CardFamily& family : kCardFamilies) {
    if (Kind2Panel(family) != Panel::None && IsChecked(family.radio)) ShowPanel(Kind2Panel(family));
  }
}

void ConfigDialog::OnTabSelected() {
  const bool snr = IsChecked(ControlId::OutputSnrCheck);
  const bool kind1 = IsChecked(ControlId::CardKind1Check);
  const bool kind2 = IsChecked(ControlId::CardKind2Check);
  switch (CurrentTab()) {
    case 0:
      HideAllPanels();
      ShowSystemPanel();
      // The rebuild hides CardKind2Check again, which has no ISO15693 kind.
      if (IsChecked(ControlId::Iso15693Radio)) RebuildTabList();
      break;
    case 1:
      HideAllPanels();
      if (snr) {
        ShowSnrPanel();
      } else if (kind1) {
        ShowKind1Panel();
      } else if (kind2) {
        ShowKind2Panel();
      }
      break;
    case 2:
      // The second card kind, or the first one after the SNR tab.
      HideAllPanels();
      if (snr && kind1) {
        ShowKind1Panel();
      } else if (kind2) {
        ShowKind2Panel();
      }
      break;
    case 3:
      HideAllPanels();
      if (kind2) ShowKind2Panel();
      break;
    default:
      break;
  }
}

void ConfigDialog::OnTypeARadio() {
  if (IsChecked(ControlId::OutputDataCheck)) {
    ShowControl(ControlId::CardKind1Check);
    ShowControl(ControlId::CardKind2Check);
  }
  RebuildTabList();
}

void ConfigDialog::OnTypeBRadio() {
  if (IsChecked(ControlId::OutputDataCheck)) ShowControl(ControlId::CardKind2Check);
  RebuildTabList();
}

void ConfigDialog::OnOutputDataCheck() {
  const bool on = IsChecked(ControlId::OutputDataCheck);
  for (ControlId kind : {ControlId::CardKind1Check, ControlId::CardKind2Check}) {
    if (on) {
      ShowControl(kind);
      EnableControl(kind);
    } else {
      HideControl(kind);
      SetChecked(kind, false);
    }
  }
  RebuildTabList();
}

void ConfigDialog::ShowModeFrames(Panel panel) {
  const auto frame = [panel](BlockRole role) { return BlockControl(panel, role); };
  if (IsChecked(frame(BlockRole::Mode1Radio))) {
    ShowControl(frame(BlockRole::Mode1StartFrame));
    ShowControl(frame(BlockRole::Mode1EndFrame));
    HideControl(frame(BlockRole::Mode2BlockFrame));
    HideControl(frame(BlockRole::Mode2ByteFrame));
  } else if (IsChecked(frame(BlockRole::Mode2Radio))) {
    HideControl(frame(BlockRole::Mode1StartFrame));
    HideControl(frame(BlockRole::Mode1EndFrame));
    ShowControl(frame(BlockRole::Mode2BlockFrame));
    ShowControl(frame(BlockRole::Mode2ByteFrame));
  }
}

void ConfigDialog::OnUltraLightModeRadio() { ShowModeFrames(Panel::UltraLight); }
void ConfigDialog::OnSr176ModeRadio() { ShowModeFrames(Panel::Sr176); }
void ConfigDialog::OnSriModeRadio() { ShowModeFrames(Panel::Sri); }
void ConfigDialog::OnICodeModeRadio() { ShowModeFrames(Panel::ICode); }

// The Mifare mode only matters when the pages are assembled.
void ConfigDialog::OnNothing() {}

}  // namespace tavrin
