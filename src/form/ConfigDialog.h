// The configuration dialog: the program's only window. Every setting lives
// in its controls; handlers are bound to controls by identifier.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "config/CardFamilies.h"
#include "config/FormView.h"
#include "form/ControlTable.h"
#include "form/DialogUnits.h"
#include "reader/HidHost.h"
#include "session/ReaderSession.h"

class QMenu;

namespace tavrin {

class TabStrip;

// Window command that opens the About box, with its menu text.
inline constexpr unsigned kAboutCommand = 16;
inline constexpr const char* kAboutMenuText = "About Tavrin Config Tools(&A)...";

class ConfigDialog : public QDialog, public FormView {
  Q_OBJECT
 public:
  // messageTitle captions the dialog's message box: the program's name.
  explicit ConfigDialog(HidHost& host, QWidget* parent = nullptr,
                        const QString& messageTitle = QCoreApplication::applicationName());
  ~ConfigDialog() override;

  // A window-menu command; true when handled here, false for the platform's
  // default handling. Identifiers 16 to 31 open the About box.
  bool HandleWindowCommand(unsigned id);

 protected:
  // The one message box: after an accepted reset. Modal; returns when the
  // user has closed it.
  virtual void ShowResetMessage();

  void contextMenuEvent(QContextMenuEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
#ifdef Q_OS_WIN
  bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

 private:
  // Form operations, addressed by identifier. Setting a check changes the
  // addressed control only and runs no handler.
  QWidget* Control(ControlId id) const;
  bool IsChecked(ControlId id) const override;
  void SetChecked(ControlId id, bool checked);
  int SelectedIndex(ControlId id) const override;
  void SelectIndex(ControlId id, int index) override;
  void ShowControl(ControlId id);
  void HideControl(ControlId id);
  void EnableControl(ControlId id);
  void DisableControl(ControlId id);
  QString Caption(ControlId id) const;
  void SetCaption(ControlId id, const QString& caption);

  // The tab strip. Inserting the first tab makes it the current one.
  void RemoveAllTabs();
  void InsertTab(int index, const QString& caption);
  int CurrentTab() const;

  // The two bound texts and their transfers: pull reads the label
  // DescriptionText and MifareKeyEdit into the values, push writes the
  // values back. Both always move both.
  void pullBoundText();
  void pushBoundText();
  std::string& MifareKeyText() override { return mifareKeyText_; }

  // Tabs and panels.
  void RebuildTabList();
  void RefreshTabs();
  void HideAllPanels();
  void ShowSystemPanel();
  void ShowSnrPanel();
  void ShowMifarePanel();
  void ShowUltraLightPanel();
  void ShowSr176Panel();
  void ShowSriPanel();
  void ShowICodePanel();
  void HideSystemPanel();
  void HideSnrPanel();
  void HideMifarePanel();
  void HideUltraLightPanel();
  void HideSr176Panel();
  void HideSriPanel();
  void HideICodePanel();

  // The window menu's extra item, offered from the context menu where the
  // window menu is out of reach.
  std::unique_ptr<QMenu> CreateWindowCommandMenu();

  // Handlers of the three buttons and the step Connect takes.
  void OnConnect();
  void OnDownload();
  void OnReset();
  void IdentifyReader();

  void CreateControls();
  QWidget* CreateControl(const ControlDef& def);
  void FitCaption(QWidget* widget);
  void JoinRadioSets();
  void BindEvents();
  void StartUp();
  void AppendAboutToWindowMenu();
  void SelectStartUpItems();
  void SetUpBanner();

  TabStrip* Tabs() const;
  void SetPanelShown(Panel panel, bool shown);
  void ShowPanel(Panel panel);
  void HidePanel(Panel panel);
  bool ShowsMember(Panel panel, ControlId id) const;
  void ShowKind1Panel();
  void ShowKind2Panel();
  void ShowModeFrames(Panel panel);
  void InsertTabAtNext(const QString& caption);
  void RebuildFamilyTabs(const char* kind1, const char* kind2);

  // Handlers of the form, bound in BindEvents.
  void OnTabSelected();
  void OnTypeARadio();
  void OnTypeBRadio();
  void OnOutputDataCheck();
  void OnUltraLightModeRadio();
  void OnSr176ModeRadio();
  void OnSriModeRadio();
  void OnICodeModeRadio();
  void OnNothing();

  // Reader operation steps.
  void ShowDisconnected(const ReaderSearchReport& search);
  void ApplyFamilies(std::uint8_t families);
  void NameKindChecks(const CardFamily& family);
  void CheckOnly(ControlId familyRadio);

  DialogBaseUnits units_;
  std::unordered_map<int, QWidget*> controls_;
  QString descriptionText_;
  std::string mifareKeyText_;
  std::uint8_t nextTabIndex_ = 0;
  QFont bannerFont_;
  QString messageTitle_;
  ReaderSession session_;
};

}  // namespace tavrin
