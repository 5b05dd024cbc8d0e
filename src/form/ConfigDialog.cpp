#include "form/ConfigDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <limits>

#include "form/Accessibility.h"
#include "form/AppIcon.h"
#include "form/FormWidgets.h"
#include "form/ItemLists.h"
#include "form/MinimizedIcon.h"
#include "form/Product.h"

namespace tavrin {
namespace {

constexpr int kDialogWidthDu = 354;
constexpr int kDialogHeightDu = 259;
constexpr int kBannerCellHeight = 22;

Qt::Alignment AlignmentOf(TextAlign align) {
  switch (align) {
    case TextAlign::Right:
      return Qt::AlignRight | Qt::AlignTop;
    case TextAlign::Centre:
      return Qt::AlignCenter;
    case TextAlign::Left:
      break;
  }
  return Qt::AlignLeft | Qt::AlignTop;
}

// Which controls take the focus, and how.
Qt::FocusPolicy FocusPolicyOf(const ControlDef& def) {
  if (def.tabStop) return Qt::StrongFocus;
  switch (def.kind) {
    case ControlKind::GroupFrame:
    case ControlKind::Label:
    case ControlKind::TabStrip:
      return Qt::NoFocus;
    default:
      return Qt::ClickFocus;
  }
}

QWidget* NewWidget(const ControlDef& def, QWidget* parent) {
  const QString caption = QString::fromStdString(def.caption);
  switch (def.kind) {
    case ControlKind::PushButton:
      return new QPushButton(caption, parent);
    case ControlKind::DefaultButton: {
      auto* button = new QPushButton(caption, parent);
      button->setDefault(true);
      return button;
    }
    case ControlKind::CheckBox:
      return new CheckBox(caption, parent);
    case ControlKind::RadioButton: {
      auto* radio = new SetRadioButton(parent);
      radio->setText(caption);
      return radio;
    }
    case ControlKind::GroupFrame:
      return new GroupFrame(caption, parent);
    case ControlKind::Label: {
      auto* label = new TextLabel(parent);
      label->setText(caption);
      label->setAlignment(AlignmentOf(def.align));
      label->setWordWrap(def.align != TextAlign::Centre);
      return label;
    }
    case ControlKind::TextField: {
      auto* edit = new QLineEdit(caption, parent);
      edit->setMaxLength(std::numeric_limits<int>::max());
      return edit;
    }
    case ControlKind::DropDownList:
      return new DropDownList(parent);  // filled once placed
    case ControlKind::TabStrip:
      return new TabStrip(parent);
  }
  return nullptr;
}

// The rectangle of a drop-down list is that of its opened list; the closed
// box keeps the style's own height and the list shows as many items as fit.
void PlaceDropDownList(QComboBox* list, const QRect& opened) {
  const int closedHeight = list->sizeHint().height();
  list->setGeometry(opened.x(), opened.y(), opened.width(), closedHeight);
  const int itemHeight = list->fontMetrics().height();
  list->setMaxVisibleItems(qMax(1, (opened.height() - closedHeight) / itemHeight));
}

const ControlId kDisabledAtStartUp[] = {
    ControlId::TypeARadio,     ControlId::TypeBRadio,      ControlId::Iso15693Radio,
    ControlId::OutputSnrCheck, ControlId::OutputDataCheck, ControlId::CardKind1Check,
    ControlId::CardKind2Check, ControlId::DownloadButton,  ControlId::ResetButton,
};
const ControlId kHiddenAtStartUp[] = {
    ControlId::CardKind1Check,
    ControlId::CardKind2Check,
    ControlId::CardKind3Check,
};

}  // namespace

ConfigDialog::ConfigDialog(HidHost& host, QWidget* parent) : QDialog(parent), session_(host) {
  // Before anything a screen reader could ask about.
  InstallAccessibility();
  setWindowTitle(QString::fromUtf8(kProductName));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFont(DialogFont());
  units_ = BaseUnitsOf(font());
  setFixedSize(DuToPixels(kDialogWidthDu, kDialogHeightDu, units_));
  CreateControls();
  JoinRadioSets();
  BindEvents();
  StartUp();
}

ConfigDialog::~ConfigDialog() = default;

void ConfigDialog::CreateControls() {
  for (const ControlDef& def : Controls()) controls_[static_cast<int>(def.id)] = CreateControl(def);
  for (const ControlDef& def : Controls()) LabelForScreenReaders(def);
}

// A screen reader names a list or the key edit after its label, so the
// label carries the full name ("SNR end key") while its caption stays
// short. Nothing on screen labels the key edit: a label never drawn stands in.
void ConfigDialog::LabelForScreenReaders(const ControlDef& def) {
  QLabel* label = nullptr;
  if (const ControlDef* beside = LabelOf(def)) {
    label = static_cast<QLabel*>(Control(beside->id));
  } else if (def.kind == ControlKind::TextField) {
    label = new QLabel(this);
    label->hide();
  } else {
    return;
  }
  label->setBuddy(Control(def.id));
  label->setAccessibleName(AccessibleNameOf(def));
}

QWidget* ConfigDialog::CreateControl(const ControlDef& def) {
  QWidget* widget = NewWidget(def, this);
  widget->setObjectName(QString::fromStdString(def.name));
  widget->setProperty("controlId", static_cast<int>(def.id));
  widget->setFocusPolicy(FocusPolicyOf(def));
  widget->setAccessibleName(AccessibleNameOf(def));
  const QRect place = DuToPixels(def.rect, units_);
  if (auto* list = qobject_cast<QComboBox*>(widget)) {
    PlaceDropDownList(list, place);
    // Filled after sizing: the closed height does not depend on the items,
    // and sizing a full list would measure every item's text.
    list->addItems(ItemTexts(def.id));
  } else {
    widget->setGeometry(place);
  }
  FitCaption(widget);
  widget->setHidden(!def.shownInTemplate);
  return widget;
}

// A check box or radio button whose caption is wider than its place grows
// to the right rather than cut the caption off.
void ConfigDialog::FitCaption(QWidget* widget) {
  if (!qobject_cast<QCheckBox*>(widget) && !qobject_cast<QRadioButton*>(widget)) return;
  const ControlDef& def = DefOf(static_cast<ControlId>(widget->property("controlId").toInt()));
  const int width = qMax(DuToPixelsX(def.rect.width, units_), widget->sizeHint().width());
  widget->resize(width, widget->height());
}

void ConfigDialog::JoinRadioSets() {
  for (const std::vector<ControlId>& members : RadioSets()) {
    auto set = std::make_shared<SetRadioButton::Set>();
    for (ControlId id : members) static_cast<SetRadioButton*>(Control(id))->JoinSet(set);
  }
}

void ConfigDialog::StartUp() {
  CreateWindowCommands();
  AppendToWindowMenu();
  setWindowIcon(AppIcon());
  RemoveAllTabs();
  nextTabIndex_ = 1;
  InsertTab(0, QString::fromUtf8(kPanels[0].tabCaption));
  HideAllPanels();
  ShowSystemPanel();
  SetControls(StartUpSettings());
  for (ControlId id : kDisabledAtStartUp) DisableControl(id);
  for (ControlId id : kHiddenAtStartUp) HideControl(id);
  SetUpBanner();
  session_.Close();
  Control(ControlId::ConnectButton)->setFocus();
}

// A bold face whose character cell, internal leading included, is 22 pixels.
void ConfigDialog::SetUpBanner() {
  bannerFont_ = QFont(DialogFaceName());
  bannerFont_.setStyleHint(QFont::SansSerif);
  bannerFont_.setWeight(QFont::DemiBold);
  bannerFont_.setItalic(false);
  int pixels = kBannerCellHeight;
  bannerFont_.setPixelSize(pixels);
  while (pixels > 1 && QFontMetrics(bannerFont_).height() > kBannerCellHeight) {
    bannerFont_.setPixelSize(--pixels);
  }
  Control(ControlId::BannerText)->setFont(bannerFont_);
  SetCaption(ControlId::BannerText, QString::fromUtf8(kMakerName));
}

QWidget* ConfigDialog::Control(ControlId id) const {
  const auto found = controls_.find(static_cast<int>(id));
  return found == controls_.end() ? nullptr : found->second;
}

bool ConfigDialog::IsChecked(ControlId id) const {
  const auto* button = qobject_cast<const QAbstractButton*>(Control(id));
  return button != nullptr && button->isChecked();
}

void ConfigDialog::SetChecked(ControlId id, bool checked) {
  if (auto* button = qobject_cast<QAbstractButton*>(Control(id))) button->setChecked(checked);
}

int ConfigDialog::SelectedIndex(ControlId id) const {
  const auto* list = qobject_cast<const QComboBox*>(Control(id));
  return list == nullptr ? -1 : list->currentIndex();
}

void ConfigDialog::SelectIndex(ControlId id, int index) {
  if (auto* list = qobject_cast<QComboBox*>(Control(id))) list->setCurrentIndex(index);
}

void ConfigDialog::ShowControl(ControlId id) { Control(id)->setVisible(true); }

void ConfigDialog::HideControl(ControlId id) { Control(id)->setVisible(false); }

void ConfigDialog::EnableControl(ControlId id) { Control(id)->setEnabled(true); }

void ConfigDialog::DisableControl(ControlId id) { Control(id)->setEnabled(false); }

QString ConfigDialog::Caption(ControlId id) const {
  QWidget* widget = Control(id);
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
  if (auto* frame = qobject_cast<QGroupBox*>(widget)) return frame->title();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
  return {};
}

void ConfigDialog::SetCaption(ControlId id, const QString& caption) {
  QWidget* widget = Control(id);
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(caption);
    FitCaption(button);
  }
  if (auto* frame = qobject_cast<QGroupBox*>(widget)) frame->setTitle(caption);
  if (auto* label = qobject_cast<TextLabel*>(widget)) label->SetText(caption);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->setText(caption);
}

TabStrip* ConfigDialog::Tabs() const {
  return static_cast<TabStrip*>(Control(ControlId::PageTabs));
}

void ConfigDialog::RemoveAllTabs() { Tabs()->RemoveAllTabs(); }

void ConfigDialog::InsertTab(int index, const QString& caption) {
  Tabs()->InsertTab(index, caption);
}

int ConfigDialog::CurrentTab() const { return Tabs()->CurrentTab(); }

void ConfigDialog::paintEvent(QPaintEvent* event) {
  if (!isMinimized()) {
    QDialog::paintEvent(event);
    return;
  }
  QPainter painter(this);
  painter.eraseRect(rect());
  const int side = style()->pixelMetric(QStyle::PM_LargeIconSize, nullptr, this);
  const QSize icon(side, side);
  painter.drawPixmap(MinimizedIconPosition(size(), icon), AppIcon().pixmap(icon));
}

}  // namespace tavrin
