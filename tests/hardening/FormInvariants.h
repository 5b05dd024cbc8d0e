// What must hold on the form after any handler, whatever came before: one
// card family chosen, tabs that match the choices, the selected tab's panel
// on view and nothing else, and the card-kind checks shown by their rules.
#pragma once

#include <QStringList>
#include <QWidget>

#include "FormDriver.h"
#include "config/CardFamilies.h"
#include "form/ConfigDialog.h"
#include "form/ControlTable.h"

namespace tavrin::hardening {

inline QString CaptionOf(Panel panel) { return TabCaptionOf(panel); }

inline Panel Kind1(const CardFamily& family) { return family.kinds[0].panel; }
inline Panel Kind2(const CardFamily& family) {
  return family.kindCount > 1 ? family.kinds[1].panel : Panel::None;
}

inline Panel PanelCaptioned(const QString& caption) {
  for (const PanelDef& def : kPanels) {
    if (caption == def.tabCaption) return def.panel;
  }
  return Panel::None;
}

inline QString PanelName(Panel panel) {
  for (const PanelDef& def : kPanels) {
    if (def.panel == panel) return def.name;
  }
  return "no panel";
}

// The tabs the current choices call for.
inline QStringList ExpectedTabs(const ConfigDialog& dialog) {
  QStringList tabs{CaptionOf(Panel::System)};
  if (driver::IsChecked(dialog, ControlId::OutputSnrCheck)) tabs << CaptionOf(Panel::Snr);
  for (const CardFamily& family : kCardFamilies) {
    if (!driver::IsChecked(dialog, family.radio)) continue;
    if (driver::IsChecked(dialog, ControlId::CardKind1Check)) tabs << CaptionOf(Kind1(family));
    if (Kind2(family) != Panel::None && driver::IsChecked(dialog, ControlId::CardKind2Check)) {
      tabs << CaptionOf(Kind2(family));
    }
  }
  return tabs;
}

// The members a shown panel shows: the card-kind checks only with data
// output (the second not under ISO15693), the frames of the checked mode.
inline QStringList ExpectedVisibleMembers(const ConfigDialog& dialog, Panel panel) {
  const bool data = driver::IsChecked(dialog, ControlId::OutputDataCheck);
  const bool iso15693 = driver::IsChecked(dialog, ControlId::Iso15693Radio);
  QStringList names;
  for (ControlId id : PanelMembers(panel)) {
    bool shown = true;
    if (id == ControlId::CardKind1Check) shown = data;
    if (id == ControlId::CardKind2Check) shown = data && !iso15693;
    for (Panel block : kBlockPanels) {
      if (block != panel) continue;
      const bool mode1 = driver::IsChecked(dialog, BlockControl(panel, BlockRole::Mode1Radio));
      if (id == BlockControl(panel, BlockRole::Mode1StartFrame) ||
          id == BlockControl(panel, BlockRole::Mode1EndFrame)) {
        shown = mode1;
      }
      if (id == BlockControl(panel, BlockRole::Mode2BlockFrame) ||
          id == BlockControl(panel, BlockRole::Mode2ByteFrame)) {
        shown = !mode1;
      }
    }
    if (shown) names << driver::NameOf(id);
  }
  return names;
}

// As the form driver reads them, but by identifier: the walk asks after
// every step.
inline QStringList VisibleMembers(const ConfigDialog& dialog, Panel panel) {
  QStringList names;
  for (ControlId id : PanelMembers(panel)) {
    if (driver::Control(dialog, id)->isVisible()) names << driver::NameOf(id);
  }
  return names;
}

inline QStringList PanelsOnView(const ConfigDialog& dialog) {
  QStringList names;
  for (const PanelDef& panel : kPanels) {
    for (ControlId id : PanelMembers(panel.panel)) {
      if (!driver::Control(dialog, id)->isVisible()) continue;
      names << panel.name;
      break;
    }
  }
  return names;
}

// Every broken rule, in words; empty when the form is sound. Until the first
// Connect nothing has rebuilt the tabs: "System Config" stands alone.
inline QStringList FormProblems(const ConfigDialog& dialog, bool tabsRebuilt) {
  QStringList problems;
  const auto expect = [&problems](bool holds, const QString& what) {
    if (!holds) problems << what;
  };

  int familiesChecked = 0;
  for (const CardFamily& family : kCardFamilies)
    familiesChecked += driver::IsChecked(dialog, family.radio);
  expect(familiesChecked == 1, QString("%1 family radios checked").arg(familiesChecked));

  const QStringList tabs = driver::TabCaptions(dialog);
  const QStringList wanted = tabsRebuilt ? ExpectedTabs(dialog) : QStringList{"System Config"};
  expect(tabs == wanted,
         QString("tabs [%1], the choices call for [%2]").arg(tabs.join(", "), wanted.join(", ")));
  for (const CardFamily& family : kCardFamilies) {
    if (!tabsRebuilt || !driver::IsChecked(dialog, family.radio)) continue;
    expect(driver::Caption(dialog, ControlId::CardKind1Check) == CaptionOf(Kind1(family)),
           "CardKind1Check captioned " + driver::Caption(dialog, ControlId::CardKind1Check));
    if (Kind2(family) != Panel::None) {
      expect(driver::Caption(dialog, ControlId::CardKind2Check) == CaptionOf(Kind2(family)),
             "CardKind2Check captioned " + driver::Caption(dialog, ControlId::CardKind2Check));
    }
  }

  const int current = driver::CurrentTab(dialog);
  const Panel selected =
      current >= 0 && current < tabs.size() ? PanelCaptioned(tabs[current]) : Panel::None;
  expect(PanelsOnView(dialog) == QStringList{PanelName(selected)},
         QString("tab %1 (%2) selected, panels on view: [%3]")
             .arg(current)
             .arg(PanelName(selected), PanelsOnView(dialog).join(", ")));
  if (selected != Panel::None) {
    const QStringList shown = VisibleMembers(dialog, selected);
    const QStringList members = ExpectedVisibleMembers(dialog, selected);
    expect(shown == members, QString("%1 shows [%2], should show [%3]")
                                 .arg(PanelName(selected), shown.join(", "), members.join(", ")));
  }
  if (selected != Panel::System) {
    expect(!driver::Control(dialog, ControlId::CardKind1Check)->isVisible() &&
               !driver::Control(dialog, ControlId::CardKind2Check)->isVisible(),
           "a card-kind check is on view away from System Config");
  }
  expect(!driver::Control(dialog, ControlId::CardKind3Check)->isVisible(),
         "CardKind3Check on view");
  expect(driver::IsChecked(dialog, ControlId::OutputDataCheck) ||
             (!driver::IsChecked(dialog, ControlId::CardKind1Check) &&
              !driver::IsChecked(dialog, ControlId::CardKind2Check)),
         "a card kind checked without data output");

  for (ControlId id : {ControlId::PageTabs, ControlId::BannerText, ControlId::ConnectButton,
                       ControlId::DownloadButton, ControlId::ResetButton}) {
    expect(driver::Control(dialog, id)->isVisible(), driver::NameOf(id) + " hidden");
  }
  for (ControlId id : {ControlId::SaveConfigButton, ControlId::ReadConfigButton}) {
    expect(!driver::Control(dialog, id)->isVisible(), driver::NameOf(id) + " on view");
  }
  return problems;
}

}  // namespace tavrin::hardening
