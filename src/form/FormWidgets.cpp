#include "form/FormWidgets.h"

#include <QAccessible>
#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>
#include <utility>

namespace tavrin {
namespace {

// The application's style with the drop-down arrow in a column three
// quarters of a line wide, room for the arrow at any font size; the text
// field takes the rest.
class NarrowArrowStyle : public QProxyStyle {
 public:
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                       const QWidget* widget) const override {
    const QRect base = QProxyStyle::subControlRect(control, option, part, widget);
    if (control != CC_ComboBox) return base;
    if (part != SC_ComboBoxArrow && part != SC_ComboBoxEditField) return base;
    // The style's frame, from how far its text field stands in.
    const QRect field =
        QProxyStyle::subControlRect(CC_ComboBox, option, SC_ComboBoxEditField, widget);
    const int frame = (option->rect.height() - field.height()) / 2;
    const QRect inner = option->rect.adjusted(frame, frame, -frame, -frame);
    const int arrow = option->fontMetrics.height() * 3 / 4;
    const QRect logical = part == SC_ComboBoxArrow
                              ? QRect(inner.right() - arrow + 1, inner.top(), arrow, inner.height())
                              : inner.adjusted(0, 0, -arrow, 0);
    return visualRect(option->direction, option->rect, logical);
  }
};

// One for all lists; the application owns it.
QStyle* SharedNarrowArrowStyle() {
  static QPointer<QStyle> style;
  if (style.isNull()) {
    style = new NarrowArrowStyle;
    style->setParent(qApp);
  }
  return style;
}

}  // namespace

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

DropDownList::DropDownList(QWidget* parent) : QComboBox(parent) {
  setStyle(SharedNarrowArrowStyle());
  styled_ = true;
}

// Setting the style in the constructor sends a style change, and the list's
// own handling of it builds its popup: a cost every list would pay with the
// dialog for nothing, as no list has measured or drawn anything yet.
void DropDownList::changeEvent(QEvent* event) {
  if (event->type() == QEvent::StyleChange && !styled_) {
    QWidget::changeEvent(event);
    return;
  }
  QComboBox::changeEvent(event);
}

TextLabel::TextLabel(QWidget* parent) : QLabel(parent) { setTextFormat(Qt::PlainText); }

QString TextLabel::DisplayText(const QString& text) {
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QChar('\r'), QChar('\n'));
  return shown;
}

void TextLabel::SetText(const QString& text) {
  const QString before = DisplayText(QLabel::text());
  setText(text);
  if (!QAccessible::isActive()) return;
  QAccessibleTextUpdateEvent event(this, 0, before, DisplayText(text));
  QAccessible::updateAccessibility(&event);
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
  connect(bar_, &QTabBar::currentChanged, this, &TabStrip::OnCurrentChanged);
  PlaceBar();
}

// A screen reader selects a tab whether the strip is enabled or not; a
// click on a disabled strip selects none, and neither does this.
void TabStrip::OnCurrentChanged(int index) {
  if (!isEnabled()) {
    const QSignalBlocker quiet(bar_);
    bar_->setCurrentIndex(current_);
    return;
  }
  current_ = index;
  emit TabSelected(index);
}

void TabStrip::RemoveAllTabs() {
  const QSignalBlocker quiet(bar_);
  while (bar_->count() > 0) bar_->removeTab(bar_->count() - 1);
  current_ = bar_->currentIndex();
  PlaceBar();
}

void TabStrip::InsertTab(int index, const QString& caption) {
  const QSignalBlocker quiet(bar_);
  bar_->insertTab(index, caption);
  current_ = bar_->currentIndex();
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
