// The About item: on Windows in the window menu, as the system draws it;
// elsewhere the window manager owns that menu, so the dialog's context menu
// carries the item.
#include <QContextMenuEvent>
#include <QMenu>

#include "form/AboutDialog.h"
#include "form/ConfigDialog.h"

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace tavrin {

bool ConfigDialog::HandleWindowCommand(unsigned id) {
  if ((id & ~0xFu) != kAboutCommand) return false;
  AboutDialog about(this);
  about.exec();
  return true;
}

std::unique_ptr<QMenu> ConfigDialog::CreateWindowCommandMenu() {
  auto menu = std::make_unique<QMenu>();
  QAction* about = menu->addAction(QString::fromUtf8(kAboutMenuText));
  about->setData(kAboutCommand);
  return menu;
}

#ifdef Q_OS_WIN

void ConfigDialog::AppendAboutToWindowMenu() {
  const QString text = QString::fromUtf8(kAboutMenuText);
  HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE);
  if (menu == nullptr || text.isEmpty()) return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kAboutCommand, reinterpret_cast<LPCWSTR>(text.utf16()));
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

void ConfigDialog::AppendAboutToWindowMenu() {}

void ConfigDialog::contextMenuEvent(QContextMenuEvent* event) {
  const std::unique_ptr<QMenu> menu = CreateWindowCommandMenu();
  if (const QAction* chosen = menu->exec(event->globalPos())) {
    HandleWindowCommand(chosen->data().toUInt());
  }
}

#endif

}  // namespace tavrin
