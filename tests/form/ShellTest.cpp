// The shell around the dialog: window commands and the About box, the icon,
// the application title, the reset message and closing the dialog.
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "FormDriver.h"
#include "app/ConfigApp.h"
#include "form/AboutDialog.h"
#include "form/AppIcon.h"
#include "form/ConfigDialog.h"
#include "form/MinimizedIcon.h"
#include "sim/SimHost.h"

namespace tavrin {

using driver::Find;

namespace {

// What became of one window command.
struct AboutSeen {
  bool handled = false;
  bool opened = false;
  QString title;
  QStringList texts;
};

// Closes the About box as soon as its modal loop runs, noting what it held.
void CloseAboutWhenOpen(AboutSeen& seen) {
  QTimer::singleShot(0, [&seen] {
    auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
    if (about == nullptr) return;
    seen.opened = true;
    seen.title = about->windowTitle();
    for (const char* name : {"ProgramLine", "MakerLine", "OkButton"}) {
      QWidget* widget = Find(*about, name);
      if (auto* label = qobject_cast<QLabel*>(widget)) seen.texts << label->text();
      if (auto* button = qobject_cast<QPushButton*>(widget)) seen.texts << button->text();
    }
    QStringList focusable;  // where the keyboard can go
    for (const QWidget* child : about->findChildren<QWidget*>())
      if (child->focusPolicy() != Qt::NoFocus) focusable << child->objectName();
    seen.texts << focusable.join(",");
    QTest::keyClick(about, Qt::Key_Escape);
  });
}

}  // namespace

class ShellTest : public QObject {
  Q_OBJECT

 private:
  SimHost host_;
  std::unique_ptr<ConfigDialog> dialog_;

  AboutSeen RunCommand(unsigned id) {
    AboutSeen seen;
    CloseAboutWhenOpen(seen);
    seen.handled = dialog_->HandleWindowCommand(id);
    QCoreApplication::processEvents();  // the check runs even when nothing opened
    return seen;
  }

 private slots:
  void init() {
    dialog_ = std::make_unique<ConfigDialog>(host_);
    dialog_->show();
  }
  void cleanup() { dialog_.reset(); }

  // Window commands 16 to 31 open the About box; no other does.
  void aboutCommandsClearTheLowFourBits() {
    for (const auto& [command, opens] : {std::pair{16u, true},
                                         {17u, true},
                                         {31u, true},
                                         {15u, false},
                                         {32u, false},
                                         {0xF060u, false}}) {
      const AboutSeen seen = RunCommand(command);
      QVERIFY2(seen.handled == opens && seen.opened == opens, qPrintable(QString::number(command)));
    }
  }

  void aboutBoxTexts() {
    const AboutSeen seen = RunCommand(kAboutCommand);
    QCOMPARE(seen.title, QString("About Tavrin Config Tools"));
    QCOMPARE(seen.texts, QStringList({"Tavrin Config Tools 1.22", "Belmora Electronics Co.,LTD",
                                      "OK", "OkButton"}));
  }

#ifndef Q_OS_WIN
  void rightClickThenTheItemOpensAbout() {
    AboutSeen seen;
    QStringList items;
    QTimer::singleShot(0, [&seen, &items] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      for (const QAction* action : menu->actions()) items << action->text();
      CloseAboutWhenOpen(seen);
      menu->setActiveAction(menu->actions()[0]);
      QTest::keyClick(menu, Qt::Key_Return);
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            dialog_->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(dialog_.get(), &event);
    QCOMPARE(items, QStringList{"About Tavrin Config Tools(&A)..."});
    QVERIFY(seen.opened);
  }
#endif

  void iconsPlacesAndTitle() {
    QVERIFY(dialog_->windowIcon().availableSizes().contains(QSize(48, 48)));
    QCOMPARE(MinimizedIconPosition({20, 36}, {32, 32}), QPoint(-5, 2));
    QCOMPARE(MinimizedIconPosition({160, 27}, {32, 32}), QPoint(64, -2));
    QCOMPARE(ConfigApp::Title(), QString("form_tests_shell"));  // the executable's name
  }

  // Closed by a user; already disconnected while it is up.
  void resetMessage() {
    SimHost host;
    const SimReader& reader = host.AddReader();
    ConfigDialog dialog(host);
    dialog.show();
    QVERIFY(driver::Click(dialog, "ConnectButton"));
    QStringList seen;
    driver::AnswerMessageBox(seen);
    QVERIFY(driver::Click(dialog, "ResetButton"));
    QCOMPARE(seen, QStringList({"form_tests_shell", "Device reset success \nand Disconnect",
                                QString::number(QMessageBox::Warning),
                                QString::number(QMessageBox::Ok), "Device Disconnected"}));
    QCOMPARE(reader.resets, 1);
    QCOMPARE(driver::Caption(dialog, "ConnectButton"), QString("Connect"));
  }

  void escapeClosesAndNothingIsSent() {
    SimHost host;
    host.AddReader();
    int reports = 0;
    host.onReport = [&reports](const SimDevice&, SimDirection, const ReaderFrame&) { ++reports; };
    ConfigDialog dialog(host);
    QTimer::singleShot(0, [&dialog] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QTimer::singleShot(0, [&dialog] { dialog.close(); });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QCOMPARE(reports, 0);
    QCOMPARE(host.OpenHandles(), 0);
  }
};

}  // namespace tavrin

QTEST_MAIN(tavrin::ShellTest)
#include "ShellTest.moc"
