// The window commands, Open settings, Save settings, Typing check and About:
// on Windows in the window menu, as the system draws it; elsewhere the window
// manager owns that menu, so the dialog's context menu carries them. Their
// shortcuts work everywhere.
#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <span>

#include "form/AboutDialog.h"
#include "form/ConfigDialog.h"
#include "form/TypingCheckDialog.h"

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace tavrin {

// In menu order: the settings and the typing check first, About at the
// foot. The system keeps the low four bits of a window-menu command to itself.
struct ConfigDialog::WindowCommand {
  unsigned id;
  const char* text;
  int ctrlKey;  // with Ctrl, its shortcut; 0 for none
  void (ConfigDialog::*run)();
};

std::span<const ConfigDialog::WindowCommand> ConfigDialog::WindowCommands() {
  static const WindowCommand kCommands[] = {
      {kOpenSettingsCommand, kOpenSettingsMenuText, Qt::Key_O, &ConfigDialog::OnOpenSettings},
      {kSaveSettingsCommand, kSaveSettingsMenuText, Qt::Key_S, &ConfigDialog::OnSaveSettings},
      {kTypingCheckCommand, kTypingCheckMenuText, Qt::Key_T, &ConfigDialog::OnTypingCheck},
      {kAboutCommand, kAboutMenuText, 0, &ConfigDialog::OnAbout},
  };
  return kCommands;
}

bool ConfigDialog::HandleWindowCommand(unsigned id) {
  for (const WindowCommand& command : WindowCommands()) {
    if ((id & ~0xFu) != command.id) continue;
    (this->*command.run)();
    return true;
  }
  return false;
}

void ConfigDialog::OnAbout() {
  AboutDialog about(this);
  about.exec();
}

// Modal to the dialog, but without a loop of its own: the dialog's window
// procedure returns while it is open. One at a time.
void ConfigDialog::OnTypingCheck() {
  if (auto* open = findChild<TypingCheckDialog*>(); open != nullptr && open->isVisible()) {
    open->activateWindow();
    return;
  }
  auto* check = new TypingCheckDialog(ScanCodesOfPlatform(QGuiApplication::platformName()), this);
  check->setAttribute(Qt::WA_DeleteOnClose);
  check->open();
}

void ConfigDialog::CreateWindowCommands() {
  for (const WindowCommand& command : WindowCommands()) {
    auto* action = new QAction(QString::fromUtf8(command.text), this);
    if (command.ctrlKey != 0) action->setShortcut(QKeySequence(Qt::CTRL | command.ctrlKey));
    action->setData(command.id);
    connect(action, &QAction::triggered, this,
            [this, id = command.id] { HandleWindowCommand(id); });
    addAction(action);  // so that its shortcut works while no menu is open
    windowCommands_.push_back(action);
  }
}

#ifdef Q_OS_WIN

void ConfigDialog::AppendToWindowMenu() {
  HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE);
  if (menu == nullptr) return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  for (const QAction* action : windowCommands_) {
    QString text = action->text();
    if (!action->shortcut().isEmpty())
      text += '\t' + action->shortcut().toString(QKeySequence::NativeText);
    AppendMenuW(menu, MF_STRING, action->data().toUInt(), reinterpret_cast<LPCWSTR>(text.utf16()));
  }
}

bool ConfigDialog::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
  const auto* msg = static_cast<const MSG*>(message);
  if (msg->message == WM_SYSCOMMAND && HandleWindowCommand(static_cast<unsigned>(msg->wParam))) {
    *result = 0;
    return true;
  }
  return QDialog::nativeEvent(eventType, message, result);
}

void ConfigDialog::contextMenuEvent(QContextMenuEvent* event) { QDialog::contextMenuEvent(event); }

#else

void ConfigDialog::AppendToWindowMenu() {}

void ConfigDialog::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu;
  menu.addActions(windowCommands_);
  menu.insertSeparator(windowCommands_.back());
  menu.exec(event->globalPos());
}

#endif

}  // namespace tavrin
