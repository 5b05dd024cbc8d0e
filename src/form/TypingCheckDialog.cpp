#include "form/TypingCheckDialog.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "form/DialogUnits.h"

namespace tavrin {
namespace {

constexpr const char* kTitle = "Typing check";
constexpr const char* kPrompt = "Present a card to the reader";
constexpr const char* kReceivedCaption = "This computer received:";
constexpr const char* kPressedCaption = "The reader pressed:";
constexpr const char* kSame = "This computer reads the reader's keys as the reader means them";
constexpr const char* kChanged =
    "This computer's keyboard layout changes the reader's keys: the reader pressed %1, the "
    "computer made %2. To have them typed as the reader means them, switch this computer's "
    "input language to English (US).";
constexpr const char* kNoScanCodes =
    "This computer gives no scan codes with its keys here (platform \"%1\"), so the check "
    "cannot tell which keys the reader pressed: it shows only what this computer received.";
constexpr int kMinimumWidthDu = 240;

// The keys a reader presses that type no character, as the layout named
// them.
const struct {
  int key;
  KeyUsage usage;
} kNamedKeys[] = {
    {Qt::Key_Tab, kUsageTab},           {Qt::Key_Backtab, kUsageTab},
    {Qt::Key_Return, kUsageEnter},      {Qt::Key_Enter, kUsageEnter},
    {Qt::Key_Down, kUsageDown},         {Qt::Key_PageDown, kUsagePageDown},
    {Qt::Key_CapsLock, kUsageCapsLock},
};

QString ReceivedText(const QKeyEvent& event) {
  for (const auto& named : kNamedKeys) {
    if (event.key() == named.key) return QString::fromStdString(KeyName(named.usage));
  }
  const QString text = event.text();
  if (!text.isEmpty() && text.at(0).isPrint()) return text;
  const QString name = QKeySequence(event.key()).toString(QKeySequence::PortableText);
  return QStringLiteral("<%1>").arg(name.isEmpty() ? QStringLiteral("?") : name);
}

// The usage as the reader sent it, with the Shift it held.
QString UsageText(const KeyReading& reading) {
  if (!reading.scanned) return QStringLiteral("no scan code");
  if (!reading.usage) return QStringLiteral("none: no key a reader presses");
  QString text = "0x" + QString::number(*reading.usage, 16).toUpper().rightJustified(2, '0');
  if (reading.state.shift) text += QStringLiteral(" + Shift");
  if (reading.state.capsLock) text += QStringLiteral(" (Caps Lock on)");
  return text;
}

// Captions keep to one line; what the keys made wraps.
QLabel* NewLabel(const QString& text, const char* name, QWidget* parent, bool wraps = true) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromUtf8(name));
  label->setTextFormat(Qt::PlainText);  // "<Tab>" is no markup
  label->setWordWrap(wraps);
  return label;
}

}  // namespace

ScanCodes ScanCodesOfPlatform(const QString& platformName) {
  if (platformName == QStringLiteral("xcb") || platformName.startsWith(QStringLiteral("wayland")))
    return ScanCodes::Evdev8;
  if (platformName == QStringLiteral("windows")) return ScanCodes::Set1;
  return ScanCodes::None;
}

TypingCheckDialog::TypingCheckDialog(ScanCodes codes, QWidget* parent)
    : QDialog(parent), codes_(codes) {
  setWindowTitle(QString::fromUtf8(kTitle));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFont(DialogFont());
  CreateControls();
  setMinimumWidth(DuToPixelsX(kMinimumWidthDu, BaseUnitsOf(font())));
  field_->setFocus();
}

// In reading order, which screen readers follow. The field keeps the focus,
// so that every key the reader presses reaches it: the other controls take
// none.
void TypingCheckDialog::CreateControls() {
  auto* layout = new QVBoxLayout(this);
  field_ = new QLineEdit(this);
  field_->setObjectName(QStringLiteral("KeyField"));
  field_->setReadOnly(true);
  field_->setPlaceholderText(QString::fromUtf8(kPrompt));
  field_->setAccessibleName(QString::fromUtf8(kPrompt));
  field_->installEventFilter(this);
  layout->addWidget(field_);
  layout->addLayout(CreateLines());

  list_ = new QTreeWidget(this);
  list_->setObjectName(QStringLiteral("KeyList"));
  list_->setHeaderLabels({QStringLiteral("The reader pressed"), QStringLiteral("HID usage"),
                          QStringLiteral("This computer received")});
  list_->setRootIsDecorated(false);
  list_->setFocusPolicy(Qt::NoFocus);
  list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(list_, 1);

  verdict_ = NewLabel(QString(), "VerdictText", this);
  layout->addWidget(verdict_);
  layout->addLayout(CreateButtons());
}

QLayout* TypingCheckDialog::CreateLines() {
  const struct {
    const char *caption, *captionName, *lineName;
    QLabel** line;
  } kLines[] = {{kReceivedCaption, "ReceivedCaption", "ReceivedText", &received_},
                {kPressedCaption, "PressedCaption", "PressedText", &pressed_}};
  auto* lines = new QGridLayout;
  int row = 0;
  for (const auto& line : kLines) {
    lines->addWidget(NewLabel(QString::fromUtf8(line.caption), line.captionName, this, false), row,
                     0);
    *line.line = NewLabel(QString(), line.lineName, this);
    lines->addWidget(*line.line, row++, 1);
  }
  lines->setColumnStretch(1, 1);
  return lines;
}

QLayout* TypingCheckDialog::CreateButtons() {
  auto* clear = new QPushButton(QStringLiteral("Clear"), this);
  clear->setObjectName(QStringLiteral("ClearButton"));
  connect(clear, &QPushButton::clicked, this, &TypingCheckDialog::OnClear);
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  close->setObjectName(QStringLiteral("CloseButton"));
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* button : {clear, close}) {
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  return buttons;
}

bool TypingCheckDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched != field_ || event->type() != QEvent::KeyPress)
    return QDialog::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  if (!Takes(*key)) return false;
  Take(*key);
  return true;  // Tab moves no focus, Enter presses no button
}

// Not Escape, which closes the check, nor shortcuts: no reader presses
// Ctrl, Alt or the Windows key.
bool TypingCheckDialog::Takes(const QKeyEvent& event) const {
  switch (event.key()) {
    case Qt::Key_Escape:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
      return false;
    default:
      return (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
  }
}

void TypingCheckDialog::Take(const QKeyEvent& event) {
  ArrivedKey key{ReadKey(codes_, event.nativeScanCode(), event.nativeModifiers()),
                 ReceivedText(event)};
  // Shift shows in the keys it changes.
  if (event.key() == Qt::Key_Shift || (key.reading.usage && IsShift(*key.reading.usage))) return;
  keys_.push_back(std::move(key));
  ShowKeys();
}

void TypingCheckDialog::OnClear() {
  keys_.clear();
  ShowKeys();
}

void TypingCheckDialog::ShowKeys() {
  QString received, pressed;
  bool scanned = true;
  list_->clear();
  for (const ArrivedKey& key : keys_) {
    received += key.received;
    pressed += QString::fromStdString(key.reading.pressed);
    scanned = scanned && key.reading.scanned;
    const QString us = key.reading.scanned ? QString::fromStdString(key.reading.pressed) : "";
    list_->addTopLevelItem(new QTreeWidgetItem({us, UsageText(key.reading), key.received}));
  }
  received_->setText(received);
  pressed_->setText(scanned ? pressed : QString());
  verdict_->setText(Verdict());
  if (!keys_.empty()) list_->scrollToItem(list_->topLevelItem(list_->topLevelItemCount() - 1));
}

QString TypingCheckDialog::Verdict() const {
  if (keys_.empty()) return QString();
  for (const ArrivedKey& key : keys_) {
    if (!key.reading.scanned)
      return QString::fromUtf8(kNoScanCodes).arg(QGuiApplication::platformName());
  }
  for (const ArrivedKey& key : keys_) {
    const QString pressed = QString::fromStdString(key.reading.pressed);
    if (pressed != key.received) return QString::fromUtf8(kChanged).arg(pressed, key.received);
  }
  return QString::fromUtf8(kSame);
}

}  // namespace tavrin
