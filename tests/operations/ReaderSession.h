// One dialog on a simulated host and what the reader-operation tests do with
// it: press the buttons, edit the form as a user would, and read back the
// description, the state of the controls and the reader's traffic.
#pragma once

#include <QAbstractButton>
#include <QByteArray>
#include <QComboBox>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <initializer_list>
#include <memory>
#include <utility>

#include "FormDriver.h"
#include "form/ConfigDialog.h"
#include "sim/SimHost.h"

namespace tavrin::session {

inline const QString kConnectedLine = QStringLiteral("Device Connected");
inline const QString kDisconnected = QStringLiteral("Device Disconnected");
inline const QString kSuccess = QStringLiteral("DownLoad Successed");
inline const QStringList kFamilyRadios{"TypeARadio", "TypeBRadio", "Iso15693Radio"};

// The ten controls a Disconnect disables; all but the radios come back on Connect.
inline const QStringList kConnectControls{
    "PageTabs",        "TypeARadio",     "TypeBRadio",     "Iso15693Radio",  "OutputSnrCheck",
    "OutputDataCheck", "CardKind1Check", "CardKind2Check", "DownloadButton", "ResetButton"};

// Lines as the description holds them: each one ended by \r\n.
inline QString Lines(const QStringList& lines) {
  QString text;
  for (const QString& line : lines) text += line + QStringLiteral("\r\n");
  return text;
}

inline QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray bytes;
  for (int value : values) bytes.append(static_cast<char>(value));
  return bytes;
}

inline std::uint8_t Xor(const QByteArray& bytes, int from, int to) {
  std::uint8_t sum = 0;
  for (int i = from; i < to; ++i) sum ^= static_cast<std::uint8_t>(bytes[i]);
  return sum;
}

// A 32-byte page: head 0x1F, the given (offset, value) bytes, zeros, and the
// checksum of bytes 0 to 30 last.
inline QByteArray Page(std::initializer_list<std::pair<int, int>> bytes) {
  QByteArray page(32, '\0');
  page[0] = 0x1F;
  for (const auto& [offset, value] : bytes) page[offset] = static_cast<char>(value);
  page[31] = static_cast<char>(Xor(page, 0, 31));
  return page;
}

// Bytes 0 to 42 of the write-page request that carries page.
inline QByteArray WriteRequest(int number, const QByteArray& page) {
  QByteArray request = Bytes({0x00, 0xAA, 0xAA, 0xAA, 0x96, 0x69, 0x00, 0x23, 0xE2, number});
  request += page;
  request.append(static_cast<char>(Xor(request, 7, 42)));
  return request;
}

// The whole unlock report: the code 5B 5B 5B 5B over a cleared report.
inline QByteArray UnlockReport() {
  QByteArray report =
      Bytes({0x00, 0xAA, 0xAA, 0xAA, 0x96, 0x69, 0x00, 0x06, 0xE1, 0x5B, 0x5B, 0x5B, 0x5B, 0xE7});
  return report.leftJustified(kReportSize, '\0');
}

class Session {
 public:
  explicit Session(bool withReader = true) {
    if (withReader) reader = &host.AddReader();
  }
  ~Session() { dialog.reset(); }  // before the host it talks to

  SimHost host;
  SimReader* reader = nullptr;
  std::unique_ptr<ConfigDialog> dialog;

  [[nodiscard]] bool Open() { return Open(host); }

  // The dialog on another host, such as the platform's: the form helpers
  // serve as ever; the traffic and the open handles are that host's to tell.
  [[nodiscard]] bool Open(HidHost& dialogHost) {
    dialog = std::make_unique<ConfigDialog>(dialogHost);
    dialog->show();
    dialog->activateWindow();
    return QTest::qWaitForWindowActive(dialog.get());
  }

  template <class Widget = QWidget>
  Widget* Find(const QString& name) const {
    return driver::Find<Widget>(*dialog, name);
  }

  [[nodiscard]] bool Press(const QString& name) { return driver::Click(*dialog, name); }

  // Connect, then forget the traffic it caused.
  [[nodiscard]] bool Connect() {
    if (!Press("ConnectButton") || !IsConnected()) return false;
    reader->received.clear();
    return true;
  }

  QString Description() const { return driver::Caption(*dialog, ControlId::DescriptionText); }

  // What a control shows: a list's chosen item, else its caption or text.
  QString Shown(const QString& name) const {
    if (auto* list = Find<QComboBox>(name)) return list->currentText();
    return driver::Caption(*dialog,
                           static_cast<ControlId>(Find(name)->property("controlId").toInt()));
  }

  bool IsEnabled(const QString& name) const { return Find(name)->isEnabled(); }
  bool IsChecked(const QString& name) const { return Find<QAbstractButton>(name)->isChecked(); }

  QStringList Filter(const QStringList& names, bool (Session::*test)(const QString&) const) const {
    QStringList kept;
    for (const QString& name : names) {
      if ((this->*test)(name)) kept << name;
    }
    return kept;
  }
  QStringList EnabledFamilies() const { return Filter(kFamilyRadios, &Session::IsEnabled); }
  QStringList CheckedFamilies() const { return Filter(kFamilyRadios, &Session::IsChecked); }

  bool IsConnected() const {
    const QStringList enabled = Filter(kConnectControls, &Session::IsEnabled);
    return Shown("ConnectButton") == "Disconnect" && host.OpenHandles() == 1 &&
           enabled.size() == 7 + EnabledFamilies().size();
  }
  bool IsDisconnected() const {
    return Shown("ConnectButton") == "Connect" && host.OpenHandles() == 0 &&
           Filter(kConnectControls, &Session::IsEnabled).isEmpty();
  }

  int Sent() const { return static_cast<int>(reader->received.size()); }

  // The command byte of every report the reader received, in order.
  QByteArray Commands() const {
    QByteArray commands;
    for (const ReaderFrame& report : reader->received)
      commands.append(static_cast<char>(report[8]));
    return commands;
  }
  QByteArray Received(std::size_t index) const {
    const ReaderFrame& report = reader->received.at(index);
    return QByteArray(reinterpret_cast<const char*>(report.data()), kReportSize);
  }
  QByteArray Stored(PageNumber number) const {
    const auto* page = reader->Page(number);
    return page == nullptr ? QByteArray()
                           : QByteArray(reinterpret_cast<const char*>(page->data()), kPageSize);
  }
  QList<int> StoredPageNumbers() const {
    QList<int> numbers;
    for (const auto& entry : reader->pages) numbers << entry.first;
    return numbers;
  }

  // Selects the tabs in turn until one shows the control.
  [[nodiscard]] bool ShowTabWith(const QString& name) {
    QWidget* widget = Find(name);
    if (widget == nullptr) return false;
    for (int tab = 0; !widget->isVisible(); ++tab) {
      if (!driver::SelectTab(*dialog, tab)) return false;
    }
    return true;
  }

  // One user edit: a click on a button, an item chosen in a list, or text
  // typed into an edit box ("Name" or "Name=value").
  [[nodiscard]] bool Edit(const QString& edit) {
    const qsizetype split = edit.indexOf('=');
    const QString name = split < 0 ? edit : edit.left(split);
    const QString value = split < 0 ? QString() : edit.mid(split + 1);
    if (!ShowTabWith(name) || !Find(name)->isEnabled()) return false;
    if (auto* list = Find<QComboBox>(name)) {
      const int index = list->findText(value);
      if (index < 0) return false;
      list->setCurrentIndex(index);
      return true;
    }
    if (auto* box = Find<QLineEdit>(name)) {
      if (value.contains('\t')) {
        // The Tab key moves the focus on; a tab gets in by pasting.
        box->selectAll();
        box->insert(value);
      } else {
        driver::Type(*dialog, name, value);
      }
      return box->text() == value;
    }
    return Press(name);
  }

  [[nodiscard]] bool EditAll(const QStringList& edits) {
    for (const QString& edit : edits) {
      if (!Edit(edit)) {
        qWarning("edit failed: %s", qPrintable(edit));
        return false;
      }
    }
    return true;
  }
};

}  // namespace tavrin::session
