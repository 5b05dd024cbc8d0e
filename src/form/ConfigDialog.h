// The configuration dialog: the program's only window. Every setting lives
// in its controls, which Read and Show move to and from a Settings value;
// handlers are bound to controls by identifier.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>

#include "config/CardFamilies.h"
#include "config/Settings.h"
#include "form/ControlTable.h"
#include "form/DialogUnits.h"
#include "reader/HidHost.h"
#include "session/ReaderSession.h"

class QAction;

namespace tavrin {

class TabStrip;

// Window commands and their menu texts.
inline constexpr unsigned kAboutCommand = 16;
inline constexpr const char* kAboutMenuText = "About Tavrin Config Tools(&A)...";
inline constexpr unsigned kOpenSettingsCommand = 32;
inline constexpr const char* kOpenSettingsMenuText = "Open settings...";
inline constexpr unsigned kSaveSettingsCommand = 48;
inline constexpr const char* kSaveSettingsMenuText = "Save settings...";
inline constexpr unsigned kTypingCheckCommand = 64;
inline constexpr const char* kTypingCheckMenuText = "Typing check...";

class ConfigDialog : public QDialog {
  Q_OBJECT
 public:
  explicit ConfigDialog(HidHost& host, QWidget* parent = nullptr);
  ~ConfigDialog() override;

  // A window-menu command; true when handled here, false for the platform's
  // default handling. Identifiers 16 to 31 open the About box, 32 to 47
  // open a settings file, 48 to 63 save one, 64 to 79 open the typing check.
  bool HandleWindowCommand(unsigned id);

  // The settings the controls hold now.
  Settings Read() const;
  // Sets the controls to settings without running a handler, then brings
  // the data output, the card-kind checks, the tabs and the panels in line
  // as the handlers would: the System Config panel on view, the tab strip
  // disabled while disconnected.
  void Show(const Settings& settings);

 protected:
  // The message box after an accepted reset. Modal; returns when the user
  // has closed it.
  virtual void ShowResetMessage();
  // Why a settings file was not opened or saved, in a message box.
  virtual void ShowFileMessage(const QString& text);
  // The file to open or save as, chosen by the user; empty when cancelled.
  virtual QString AskOpenPath();
  virtual QString AskSavePath();

  void contextMenuEvent(QContextMenuEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
#ifdef Q_OS_WIN
  bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

 private:
  // Form operations, addressed by identifier. Setting a check changes the
  // addressed control only and runs no handler.
  QWidget* Control(ControlId id) const;
  bool IsChecked(ControlId id) const;
  void SetChecked(ControlId id, bool checked);
  int SelectedIndex(ControlId id) const;
  void SelectIndex(ControlId id, int index);
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

  // One setting's control, and the controls of all; a card kind's check is
  // set only for the chosen family's kinds.
  int ReadSetting(const SettingDef& row) const;
  void ShowSetting(const SettingDef& row, int value);
  void SetControls(const Settings& settings);

  void SetDescription(const QString& text);
  void AppendDescription(const QString& text);

  // Tabs and panels.
  void RebuildTabList();
  void HideAllPanels();
  void ShowSystemPanel();
  void ShowSnrPanel();
  void HideSystemPanel();
  void HideSnrPanel();
  void HideMifarePanel();
  void HideUltraLightPanel();
  void HideSr176Panel();
  void HideSriPanel();
  void HideICodePanel();

  // The window commands: one action each, with its shortcut, offered by the
  // window menu on Windows and by the context menu elsewhere.
  struct WindowCommand;
  static std::span<const WindowCommand> WindowCommands();
  void CreateWindowCommands();
  void AppendToWindowMenu();
  void OnAbout();
  void OnOpenSettings();
  void OnSaveSettings();
  void OnTypingCheck();
  // The settings of the file at path, or why they are refused.
  std::optional<Settings> SettingsFromFile(const QString& path, QString& refusal) const;

  // Handlers of the three buttons and the step Connect takes.
  void OnConnect();
  void OnDownload();
  void OnReset();
  void IdentifyReader();

  void CreateControls();
  QWidget* CreateControl(const ControlDef& def);
  void LabelForScreenReaders(const ControlDef& def);
  void FitCaption(QWidget* widget);
  void JoinRadioSets();
  void BindEvents();
  void StartUp();
  void SetUpBanner();

  TabStrip* Tabs() const;
  void ShowPanel(Panel panel);
  void HidePanel(Panel panel);
  bool ShowsMember(Panel panel, ControlId id) const;
  void ShowKind1Panel();
  void ShowKind2Panel();
  void ShowModeFrames(Panel panel);
  void InsertTabAtNext(const QString& caption);

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
  void ApplyFamilies(const Capabilities& capabilities);
  void NameKindChecks(const CardFamily& family);
  void CheckOnly(ControlId familyRadio);

  DialogBaseUnits units_;
  std::unordered_map<int, QWidget*> controls_;
  std::uint8_t nextTabIndex_ = 0;
  QFont bannerFont_;
  QList<QAction*> windowCommands_;
  ReaderSession session_;
  // What the connected reader said it supports, when it said.
  std::optional<Capabilities> capabilities_;
};

}  // namespace tavrin
