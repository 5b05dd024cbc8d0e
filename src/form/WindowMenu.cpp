// The window commands, Open settings, Save settings, Typing check and About:
// on the dialog's context menu, which the right button, the Menu key and
// Shift+F10 open, and on Windows in the window menu too. Their shortcuts
// work everywhere; tooltips name them, since the dialog's face has no room.
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QToolTip>
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
namespace {

// The commands' tooltip shows over the dialog itself and over its frames and
// labels, not over a control that has work of its own.
class FreeAreaTip final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ToolTip) return false;
    const QWidget* under =
        static_cast<QWidget*>(watched)->childAt(static_cast<QHelpEvent*>(event)->pos());
    if (under == nullptr || qobject_cast<const QLabel*>(under) ||
        qobject_cast<const QGroupBox*>(under))
      return false;
    QToolTip::hideText();
    return true;
  }
};

// "Save settings... (Ctrl+S)", as a tooltip names a command.
QString Named(const QAction* action) {
  QString text = action->text().remove(QStringLiteral("(&A)")).remove('&');
  if (!action->shortcut().isEmpty())
    text += " (" + action->shortcut().toString(QKeySequence::NativeText) + ")";
  return text;
}

#ifndef Q_OS_WIN
// Windows and X11 turn the Menu key into a context menu themselves, Windows
// Shift+F10 too. Done as they do it: on the focus widget, which hands it to
// the dialog unless it has a menu of its own.
void OpenContextMenuOnShiftF10(QWidget& dialog) {
  auto* key = new QAction(&dialog);
  key->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10));
  QObject::connect(key, &QAction::triggered, &dialog, [&dialog] {
    QWidget* widget = dialog.focusWidget() != nullptr ? dialog.focusWidget() : &dialog;
    const QPoint pos = widget->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, pos, widget->mapToGlobal(pos));
    QApplication::sendEvent(widget, &event);
  });
  dialog.addAction(key);
}
#endif

// The tooltips that tell where the commands are: the dialog's over its free
// area, DownLoad's that a file can hold what it writes.
void NameCommands(QWidget& dialog, QWidget& download, const QList<QAction*>& commands) {
  QStringList named;
  for (const QAction* action : commands) named << Named(action);
  dialog.setToolTip("Right-click here, or press the Menu key or Shift+F10, for:\n" +
                    named.join('\n'));
  dialog.installEventFilter(new FreeAreaTip(&dialog));
  for (const QAction* action : commands) {
    if (action->data().toUInt() != kSaveSettingsCommand) continue;
    download.setToolTip(
        "Writes the settings on view into the reader:\nits system page and the page of the "
        "chosen card family.\n" +
        Named(action) + " saves the same settings to a file.");
  }
}

}  // namespace

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
  auto* check = new TypingCheckDialog(ScanCodesOfPlatform(QApplication::platformName()), this);
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
#ifndef Q_OS_WIN
  OpenContextMenuOnShiftF10(*this);
#endif
  NameCommands(*this, *Control(ControlId::DownloadButton), windowCommands_);
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

#else

void ConfigDialog::AppendToWindowMenu() {}

#endif

void ConfigDialog::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu;
  menu.setAccessibleName(QStringLiteral("Window commands"));
  menu.addActions(windowCommands_);
  menu.insertSeparator(windowCommands_.back());
  menu.exec(event->globalPos());
}

}  // namespace tavrin
