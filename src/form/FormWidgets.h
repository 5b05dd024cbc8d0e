// The few widgets whose behaviour the stock ones do not give.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>
#include <memory>
#include <vector>

class QTabBar;

namespace tavrin {

// A check box that a click anywhere in its rectangle toggles, not only a
// click on its box or caption.
class CheckBox : public QCheckBox {
  Q_OBJECT
 public:
  using QCheckBox::QCheckBox;

 protected:
  bool hitButton(const QPoint& pos) const override;
};

// A radio button in an exclusive set that only the user's clicks enforce:
// a click checks it and clears the rest of its set, while setChecked from
// the program changes this button alone (an auto-exclusive group would
// refuse to clear the checked member). Like CheckBox, its whole rectangle
// takes the click.
class SetRadioButton : public QRadioButton {
  Q_OBJECT
 public:
  using Set = std::vector<SetRadioButton*>;

  explicit SetRadioButton(QWidget* parent = nullptr);
  void JoinSet(std::shared_ptr<Set> set);

 protected:
  bool hitButton(const QPoint& pos) const override;
  void nextCheckState() override;

 private:
  std::shared_ptr<Set> set_;
};

// A drop-down list whose arrow column is no wider than the arrow: the
// dialog's lists are narrow, and the style's own column would cut off
// their longest items.
class DropDownList : public QComboBox {
  Q_OBJECT
 public:
  explicit DropDownList(QWidget* parent = nullptr);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  bool styled_ = false;
};

// A label whose text may hold "\r\n" line ends: it draws them as line
// breaks while text() keeps them exactly as set.
class TextLabel : public QLabel {
  Q_OBJECT
 public:
  explicit TextLabel(QWidget* parent = nullptr);

  // The text as drawn: every "\r\n", and any lone "\r", becomes "\n".
  static QString DisplayText(const QString& text);
  // Sets the text and tells a screen reader what changed, so that it
  // speaks the new text.
  void SetText(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A group frame as dialogs draw it: an etched rectangle whose top edge runs
// through the middle of the title. It takes no input.
class GroupFrame : public QGroupBox {
  Q_OBJECT
 public:
  explicit GroupFrame(const QString& title, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// One row of tabs along the top with the panel area framed below it. The
// panels are the tab strip's siblings, laid over that area.
class TabStrip : public QWidget {
  Q_OBJECT
 public:
  explicit TabStrip(QWidget* parent = nullptr);

  // Program changes of the tab list raise no selection.
  void RemoveAllTabs();
  void InsertTab(int index, const QString& caption);

  int CurrentTab() const;
  int TabCount() const;
  QString TabCaption(int index) const;
  QTabBar* Bar() const { return bar_; }

 signals:
  // The user selected another tab.
  void TabSelected(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PlaceBar();
  void OnCurrentChanged(int index);

  QTabBar* bar_;
  int current_ = -1;
};

}  // namespace tavrin
