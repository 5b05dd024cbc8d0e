#include "form/Accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cctype>
#include <map>
#include <vector>

#include "config/Settings.h"
#include "form/ConfigDialog.h"
#include "form/FormWidgets.h"

namespace tavrin {
namespace {

// The panel's short name, its tab caption's first word: "Mifare", "SNR".
std::string ShortName(Panel panel) {
  const std::string caption = TabCaptionOf(panel);
  return caption.substr(0, caption.find(' '));
}

// A setting's name for the ear: "SNR end key", "Family".
QString SettingName(const SettingDef& row) {
  std::string words = row.key;
  std::replace(words.begin(), words.end(), '-', ' ');
  const std::string prefix = ShortName(row.panel);
  if (prefix.empty()) words[0] = static_cast<char>(std::toupper(words[0]));
  return QString::fromStdString(prefix.empty() ? words : prefix + " " + words);
}

const SettingDef* SettingShownBy(ControlId id) {
  for (const SettingDef& row : SettingsSchema()) {
    if (row.control == id) return &row;
    for (const ChoiceDef& choice : row.choices) {
      if (choice.radio == id) return &row;
    }
  }
  return nullptr;
}

bool Holds(const DuRect& outer, const DuRect& inner) {
  return outer.x <= inner.x && outer.y <= inner.y &&
         inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

// The caption of the smallest captioned frame of the panel that holds def.
QString FrameCaptionOf(const ControlDef& def) {
  const ControlDef* best = nullptr;
  for (const ControlDef& frame : Controls()) {
    if (frame.kind != ControlKind::GroupFrame || frame.caption.empty()) continue;
    if (frame.panel != def.panel || !Holds(frame.rect, def.rect)) continue;
    if (best == nullptr ||
        frame.rect.width * frame.rect.height < best->rect.width * best->rect.height)
      best = &frame;
  }
  return best == nullptr ? QString() : QString::fromStdString(best->caption);
}

ControlId IdOf(const QObject* object) {
  return static_cast<ControlId>(object->property("controlId").toInt());
}

// The exclusive set a radio belongs to, as an index into RadioSets(); -1 for none.
int SetOf(const QObject* object) {
  const auto& sets = RadioSets();
  for (std::size_t i = 0; i < sets.size(); ++i) {
    if (std::ranges::find(sets[i], IdOf(object)) != sets[i].end()) return static_cast<int>(i);
  }
  return -1;
}

// One exclusive set of radios, which the widgets do not group: a screen
// reader announces the set's name and each radio's place in it.
class RadioGroupAccessible : public QAccessibleInterface {
 public:
  RadioGroupAccessible(QWidget* dialog, std::size_t set) : dialog_(dialog), set_(set) {}

  bool isValid() const override { return !dialog_.isNull(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return dialog_ ? dialog_->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(dialog_.data());
  }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) return nullptr;
    return QAccessible::queryAccessibleInterface(
        Member(Members()[static_cast<std::size_t>(index)]));
  }
  int childCount() const override { return static_cast<int>(Members().size()); }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == nullptr || child->object() == nullptr) return -1;
    const auto found = std::ranges::find(Members(), IdOf(child->object()));
    return found == Members().end() ? -1 : static_cast<int>(found - Members().begin());
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    for (int i = 0; i < childCount(); ++i) {
      if (child(i) != nullptr && child(i)->rect().contains(x, y)) return child(i);
    }
    return nullptr;
  }
  QString text(QAccessible::Text t) const override {
    const SettingDef* row = SettingShownBy(Members().front());
    return t == QAccessible::Name && row != nullptr ? SettingName(*row) : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    QRect all;
    for (int i = 0; i < childCount(); ++i) all |= child(i) ? child(i)->rect() : QRect();
    return all;
  }
  QAccessible::Role role() const override { return QAccessible::Grouping; }
  // On view while any of its radios is.
  QAccessible::State state() const override {
    QAccessible::State state;
    state.invisible = true;
    for (int i = 0; i < childCount(); ++i)
      state.invisible &= child(i) == nullptr || child(i)->state().invisible;
    return state;
  }

 private:
  QWidget* Member(ControlId id) const {
    for (QObject* object : dialog_->children()) {
      // (null while the dialog deletes its children)
      if (object && object->isWidgetType() && IdOf(object) == id)
        return static_cast<QWidget*>(object);
    }
    return nullptr;
  }

  const std::vector<ControlId>& Members() const { return RadioSets()[set_]; }

  QPointer<QWidget> dialog_;
  std::size_t set_;
};

// The dialog: its widgets, with each exclusive set of radios in a group of
// its own at the place of its first radio.
class DialogAccessible : public QAccessibleWidget {
 public:
  explicit DialogAccessible(QWidget* dialog) : QAccessibleWidget(dialog, QAccessible::Dialog) {}
  ~DialogAccessible() override {
    for (const auto& [set, id] : groups_) QAccessible::deleteAccessibleInterface(id);
  }

  QAccessibleInterface* Group(int set) const {
    auto found = groups_.find(set);
    if (found == groups_.end()) {
      const auto id = QAccessible::registerAccessibleInterface(
          new RadioGroupAccessible(widget(), static_cast<std::size_t>(set)));
      found = groups_.emplace(set, id).first;
    }
    return QAccessible::accessibleInterface(found->second);
  }

  int childCount() const override { return static_cast<int>(Children().size()); }
  QAccessibleInterface* child(int index) const override {
    const auto children = Children();
    return index >= 0 && index < static_cast<int>(children.size()) ? children[index] : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const auto children = Children();
    const auto found = std::ranges::find(children, child);
    return found == children.end() ? -1 : static_cast<int>(found - children.begin());
  }

 private:
  std::vector<QAccessibleInterface*> Children() const {
    std::vector<QAccessibleInterface*> children;
    std::vector<int> placed;
    for (QObject* object : widget()->children()) {
      if (!object || !object->isWidgetType() || static_cast<QWidget*>(object)->isWindow()) continue;
      const int set = SetOf(object);
      if (set < 0) {
        children.push_back(QAccessible::queryAccessibleInterface(object));
      } else if (std::ranges::find(placed, set) == placed.end()) {
        placed.push_back(set);
        children.push_back(Group(set));
      }
    }
    return children;
  }

  mutable std::map<int, QAccessible::Id> groups_;
};

// A check box or radio: Toggle and Press do what a click does, through
// the same handler; a radio of a set lies in its set's group.
class ButtonAccessible : public QAccessibleWidget {
 public:
  ButtonAccessible(QAbstractButton* button, QAccessible::Role role)
      : QAccessibleWidget(button, role) {}

  QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }

  QString text(QAccessible::Text t) const override {
    const QString own = QAccessibleWidget::text(t);
    return t == QAccessible::Name && own.isEmpty() ? Button()->text() : own;
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = Button()->isChecked();
    return state;
  }
  QStringList actionNames() const override {
    return QStringList{toggleAction(), pressAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action != toggleAction() && action != pressAction()) {
      QAccessibleWidget::doAction(action);
    } else if (Button()->isEnabled() && Button()->isVisible()) {
      Button()->click();
    }
  }
  QStringList keyBindingsForAction(const QString& action) const override {
    return action == toggleAction() ? QStringList{QStringLiteral("Space")} : QStringList{};
  }
  QAccessibleInterface* parent() const override {
    const int set = SetOf(widget());
    auto* dialog = dynamic_cast<DialogAccessible*>(QAccessibleWidget::parent());
    return set >= 0 && dialog != nullptr ? dialog->Group(set) : QAccessibleWidget::parent();
  }
};

// A widget whose text the user reads and cannot edit: what a label draws,
// the item a list shows.
class ShownTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  ShownTextAccessible(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}
  virtual QString Shown() const = 0;

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QString text(int start, int end) const override { return Shown().mid(start, end - start); }
  int characterCount() const override { return static_cast<int>(Shown().size()); }
  void selection(int, int* start, int* end) const override { *start = *end = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QRect characterRect(int) const override { return {}; }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int, int* start, int* end) const override {
    *start = 0;
    *end = characterCount();
    return {};
  }
};

// A drop-down list named by what it sets, not by its item; the item is its
// value, and its text, which is where a screen reader reads the value. Its
// one child is the list of items, as Qt's own lists have it.
class ListAccessible : public ShownTextAccessible {
 public:
  explicit ListAccessible(QComboBox* list) : ShownTextAccessible(list, QAccessible::ComboBox) {}

  QComboBox* List() const { return static_cast<QComboBox*>(widget()); }
  QString Shown() const override { return List()->currentText(); }

  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Value ? Shown() : QAccessibleWidget::text(t);
  }
  int childCount() const override { return 1; }
  QAccessibleInterface* child(int index) const override {
    return index == 0 ? QAccessible::queryAccessibleInterface(List()->view()) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child != nullptr && child->object() == List()->view() ? 0 : -1;
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.expandable = true;
    state.expanded = List()->view()->isVisible();
    state.collapsed = !state.expanded;
    return state;
  }
  QStringList actionNames() const override {
    return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action != showMenuAction() && action != pressAction()) {
      QAccessibleWidget::doAction(action);
    } else if (List()->isEnabled() && List()->view()->isVisible()) {
      List()->hidePopup();
    } else if (List()->isEnabled()) {
      List()->showPopup();
    }
  }
};

// A label that reports its text as drawn, and the list it labels.
class LabelAccessible : public ShownTextAccessible {
 public:
  explicit LabelAccessible(TextLabel* label)
      : ShownTextAccessible(label, QAccessible::StaticText) {}

  QString Shown() const override {
    return TextLabel::DisplayText(static_cast<TextLabel*>(widget())->text());
  }

  QString text(QAccessible::Text t) const override {
    const QString own = QAccessibleWidget::text(t);
    return t == QAccessible::Name && own.isEmpty() ? Shown() : own;
  }
  QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
      QAccessible::Relation match) const override {
    auto relations = QAccessibleWidget::relations(match);
    QWidget* buddy = static_cast<TextLabel*>(widget())->buddy();
    if ((match & QAccessible::Labelled) && buddy != nullptr)
      relations.append({QAccessible::queryAccessibleInterface(buddy), QAccessible::Labelled});
    return relations;
  }
};

const char kNoticeName[] = "ScreenReaderNotice";

// A notification that appears for a moment: a screen reader speaks it as it
// appears, wherever the focus is. What one action adds is spoken at once,
// after the action, in place of text that the action replaced.
class Notice : public QWidget {
 public:
  explicit Notice(QWidget* window) : QWidget(window) {
    setObjectName(kNoticeName);
    setFixedSize(0, 0);
    hide();
  }

  void Add(const QString& text, bool added) {
    if (pending_.isEmpty()) QTimer::singleShot(0, this, [this] { Speak(); });
    pending_ = added && !pending_.isEmpty() ? pending_ + "\n" + text : text;
  }

 private:
  // Orca speaks a notification as it is shown; UI Automation's notification
  // event, which Narrator and NVDA speak, comes from a change of value.
  void Speak() {
    setAccessibleName(pending_);
    pending_.clear();
    show();
#ifdef Q_OS_WIN
    QAccessibleValueChangeEvent event(this, accessibleName());
    QAccessible::updateAccessibility(&event);
#endif
    hide();
  }

  QString pending_;
};

QAccessibleInterface* Factory(const QString& key, QObject* object) {
  if (key == QLatin1String("QWidget") && object->objectName() == QLatin1String(kNoticeName))
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
  if (key == QLatin1String(ConfigDialog::staticMetaObject.className()))
    return new DialogAccessible(static_cast<QWidget*>(object));
  if (key == QLatin1String(SetRadioButton::staticMetaObject.className()))
    return new ButtonAccessible(static_cast<QAbstractButton*>(object), QAccessible::RadioButton);
  if (key == QLatin1String(CheckBox::staticMetaObject.className()))
    return new ButtonAccessible(static_cast<QAbstractButton*>(object), QAccessible::CheckBox);
  if (key == QLatin1String(DropDownList::staticMetaObject.className()))
    return new ListAccessible(static_cast<QComboBox*>(object));
  if (key == QLatin1String(TextLabel::staticMetaObject.className()))
    return new LabelAccessible(static_cast<TextLabel*>(object));
  return nullptr;
}

}  // namespace

void InstallAccessibility() { QAccessible::installFactory(Factory); }

void Announce(QWidget* window, const QString& text, bool added) {
  const QString spoken = TextLabel::DisplayText(text).trimmed();
  if (spoken.isEmpty()) return;
  auto* notice = window->findChild<Notice*>(kNoticeName, Qt::FindDirectChildrenOnly);
  (notice != nullptr ? notice : new Notice(window))->Add(spoken, added);
}

QString AccessibleNameOf(const ControlDef& def) {
  if (def.kind == ControlKind::DropDownList || def.kind == ControlKind::TextField) {
    const SettingDef* row = SettingShownBy(def.id);
    return row == nullptr ? QString() : SettingName(*row);
  }
  if (def.kind == ControlKind::Label && def.caption.empty()) return FrameCaptionOf(def);
  return {};
}

const ControlDef* LabelOf(const ControlDef& def) {
  static const std::string kList = "Combo";
  if (def.kind != ControlKind::DropDownList || !def.name.ends_with(kList)) return nullptr;
  const std::string label = def.name.substr(0, def.name.size() - kList.size()) + "Label";
  for (const ControlDef& other : Controls()) {
    if (other.name == label) return &other;
  }
  return nullptr;
}

}  // namespace tavrin
