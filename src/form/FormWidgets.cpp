#include "form/FormWidgets.h"

#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>
#include <utility>

namespace tavrin {

CheckBox::CheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {}

bool CheckBox::hitButton(const QPoint& pos) const { return rect().contains(pos); }

SetRadioButton::SetRadioButton(QWidget* parent) : QRadioButton(parent) { setAutoExclusive(false); }

bool SetRadioButton::hitButton(const QPoint& pos) const { return rect().contains(pos); }

void SetRadioButton::JoinSet(std::shared_ptr<Set> set) {
  set->push_back(this);
  set_ = std::move(set);
}

void SetRadioButton::nextCheckState() {
  setChecked(true);
  if (!set_) return;
  for (SetRadioButton* other : *set_) {
    if (other != this) other->setChecked(false);
  }
}

TextLabel::TextLabel(QWidget* parent) : QLabel(parent) { setTextFormat(Qt::PlainText); }

QString TextLabel::DisplayText(const QString& text) {
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QChar('\r'), QChar('\n'));
  return shown;
}

void TextLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int flags = static_cast<int>(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
  style()->drawItemText(&painter, contentsRect(), flags, palette(), isEnabled(),
                        DisplayText(text()), foregroundRole());
}

GroupFrame::GroupFrame(const QString& title, QWidget* parent) : QGroupBox(title, parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
}

void GroupFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QFontMetrics metrics(font());
  const int indent = metrics.averageCharWidth();
  const QRect titleArea(indent, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());

  QRegion lines(rect());
  if (!title().isEmpty()) lines -= QRegion(titleArea);
  painter.setClipRegion(lines);
  const QRect box = rect().adjusted(0, metrics.height() / 2, -2, -2);
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(box);
  painter.setPen(palette().color(QPalette::Light));
  painter.drawRect(box.translated(1, 1));
  painter.setClipping(false);

  if (title().isEmpty()) return;
  style()->drawItemText(&painter, titleArea.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                        palette(), isEnabled(), title(), QPalette::WindowText);
}

TabStrip::TabStrip(QWidget* parent) : QWidget(parent), bar_(new QTabBar(this)) {
  bar_->setFocusPolicy(Qt::NoFocus);
  bar_->setDrawBase(false);
  bar_->setExpanding(false);
  connect(bar_, &QTabBar::currentChanged, this, &TabStrip::TabSelected);
  PlaceBar();
}

void TabStrip::RemoveAllTabs() {
  const QSignalBlocker quiet(bar_);
  while (bar_->count() > 0) bar_->removeTab(bar_->count() - 1);
  PlaceBar();
}

void TabStrip::InsertTab(int index, const QString& caption) {
  const QSignalBlocker quiet(bar_);
  bar_->insertTab(index, caption);
  PlaceBar();
}

int TabStrip::CurrentTab() const { return bar_->currentIndex(); }

int TabStrip::TabCount() const { return bar_->count(); }

QString TabStrip::TabCaption(int index) const { return bar_->tabText(index); }

void TabStrip::PlaceBar() {
  const QSize hint = bar_->sizeHint();
  bar_->setGeometry(0, 0, qMin(hint.width(), width()), hint.height());
  update();
}

void TabStrip::resizeEvent(QResizeEvent*) { PlaceBar(); }

void TabStrip::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionTabWidgetFrame frame;
  frame.initFrom(this);
  frame.shape = QTabBar::RoundedNorth;
  frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
  frame.tabBarSize = bar_->size();
  frame.tabBarRect = bar_->geometry();
  const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
  const int top = qMax(0, bar_->sizeHint().height() - overlap);
  frame.rect = QRect(0, top, width(), height() - top);
  painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}

}  // namespace tavrin
