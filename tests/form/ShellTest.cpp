// The shell around the dialog: window commands and the About box, the icon,
// the application title, the reset message and closing the dialog.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "FormDriver.h"
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
    QTest::keyClick(about, Qt::Key_Escape);
  });
}

// Counts the file choices asked for, and cancels them.
class ShellDialog final : public ConfigDialog {
 public:
  using ConfigDialog::ConfigDialog;
  int opens = 0, saves = 0;

 protected:
  QString AskOpenPath() override { return ++opens, QString(); }
  QString AskSavePath() override { return ++saves, QString(); }
};

}  // namespace

class ShellTest : public QObject {
  Q_OBJECT

 private:
  SimHost host_;
  std::unique_ptr<ShellDialog> dialog_;

  AboutSeen RunCommand(unsigned id) {
    AboutSeen seen;
    CloseAboutWhenOpen(seen);
    seen.handled = dialog_->HandleWindowCommand(id);
    QCoreApplication::processEvents();  // the check runs even when nothing opened
    return seen;
  }

  // The items of the menu that open() brings up, and whether its last
  // item opened the About box.
  QStringList ChooseAboutFromMenu(const std::function<void()>& open) {
    AboutSeen seen;
    QStringList items;
    QTimer::singleShot(0, [&seen, &items] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      for (const QAction* action : menu->actions()) items << action->text();
      CloseAboutWhenOpen(seen);
      menu->setActiveAction(menu->actions().back());
      QTest::keyClick(menu, Qt::Key_Return);
    });
    open();
    return seen.opened ? items << "About opened" : items;
  }

 private slots:
  void init() {
    dialog_ = std::make_unique<ShellDialog>(host_);
    dialog_->show();
  }
  void cleanup() { dialog_.reset(); }

  // Window commands 16 to 31 open the About box, 32 to 47 ask for a file to
  // open, 48 to 63 for one to save as; 64 to 79 are the typing check's, and
  // no other is handled.
  void windowCommandsClearTheLowFourBits() {
    const struct {
      unsigned command;
      bool about, open, save;
    } kCommands[] = {{16, true, false, false},  {17, true, false, false},
                     {31, true, false, false},  {32, false, true, false},
                     {47, false, true, false},  {48, false, false, true},
                     {63, false, false, true},  {15, false, false, false},
                     {80, false, false, false}, {0xF060, false, false, false}};
    for (const auto& [command, about, open, save] : kCommands) {
      const int opens = dialog_->opens, saves = dialog_->saves;
      const AboutSeen seen = RunCommand(command);
      QVERIFY2(seen.handled == (about || open || save) && seen.opened == about &&
                   dialog_->opens - opens == open && dialog_->saves - saves == save,
               qPrintable(QString::number(command)));
    }
  }

  void shortcutsAskForTheFiles() {
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
    QTest::keyClick(dialog_.get(), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(dialog_.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(dialog_->opens, 1);
    QCOMPARE(dialog_->saves, 1);
  }

  void aboutBoxTexts() {
    const AboutSeen seen = RunCommand(kAboutCommand);
    QCOMPARE(seen.title, QString("About Tavrin Config Tools"));
    QCOMPARE(seen.texts,
             QStringList({"Tavrin Config Tools 1.22", "Belmora Electronics Co.,LTD", "OK"}));
  }

  // By Shift+F10 on the focus widget (Connect), which hands it on, and by
  // the right button; Windows turns Shift+F10 into the second itself.
  void contextMenuThenTheItemOpensAbout() {
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
    const QStringList chosen{"Open settings...",
                             "Save settings...",
                             "Typing check...",
                             "",
                             "About Tavrin Config Tools(&A)...",
                             "About opened"};
#ifndef Q_OS_WIN
    QCOMPARE(ChooseAboutFromMenu([this] {
               QTest::keyClick(dialog_->focusWidget(), Qt::Key_F10, Qt::ShiftModifier);
             }),
             chosen);
#endif
    QCOMPARE(ChooseAboutFromMenu([this] {
               QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                       dialog_->mapToGlobal(QPoint(5, 5)));
               QApplication::sendEvent(dialog_.get(), &event);
             }),
             chosen);
  }

#ifndef Q_OS_WIN
  // Qt's own file dialog, in the documents folder; cancelling changes
  // nothing. Windows has the system's, which no test can answer.
  void fileCommandsAskWithQtsFileDialog() {
    QTemporaryDir home;  // with a documents folder, which test machines may lack
    const QByteArray realHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    QVERIFY(QDir(home.path()).mkdir("Documents"));
    ConfigDialog dialog(host_);
    dialog.show();
    const Settings before = dialog.Read();
    for (const unsigned command : {kOpenSettingsCommand, kSaveSettingsCommand}) {
      QStringList seen;
      QTimer::singleShot(0, [&seen] {
        auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (files == nullptr) return;
        seen << files->windowTitle() << files->directory().absolutePath()
             << QString::number(files->testOption(QFileDialog::DontUseNativeDialog))
             << files->selectedFiles().value(0).section('/', -1);
        files->reject();
      });
      QVERIFY(dialog.HandleWindowCommand(command));
      const QString documents =
          QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).absolutePath();
      QCOMPARE(seen.mid(1, 2), QStringList({documents, "1"}));
      QCOMPARE(seen[0], command == kOpenSettingsCommand ? "Open settings..." : "Save settings...");
      if (command == kSaveSettingsCommand) QCOMPARE(seen[3], QString("reader-settings.toml"));
    }
    QCOMPARE(dialog.Read(), before);
    // A bare name gets ".toml"; saved again, the user is asked before the
    // file is replaced, and says no.
    QString asked;
    for (int save = 0; save < 2; ++save) {
      QTimer::singleShot(0, [&asked] {
        auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        files->selectFile("front-desk");
        QTimer::singleShot(0, [&asked] {
          if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            asked = box->text(), QTest::keyClick(box, Qt::Key_Escape);
        });
        QMetaObject::invokeMethod(files, "accept");
        if (files->isVisible()) files->reject();
      });
      QVERIFY(dialog.HandleWindowCommand(kSaveSettingsCommand));
    }
    QCOMPARE(QDir(home.filePath("Documents")).entryList(QDir::Files), {"front-desk.toml"});
    QVERIFY2(asked.startsWith("front-desk.toml already exists."), qPrintable(asked));
    QCOMPARE(driver::Description(dialog), "Settings saved to front-desk.toml");
    qputenv("HOME", realHome);
  }
#endif

  void iconsAndPlaces() {
    QVERIFY(dialog_->windowIcon().availableSizes().contains(QSize(48, 48)));
    QCOMPARE(MinimizedIconPosition({20, 36}, {32, 32}), QPoint(-5, 2));
    QCOMPARE(MinimizedIconPosition({160, 27}, {32, 32}), QPoint(64, -2));
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
    QCOMPARE(seen, QStringList({"Tavrin Config Tools", "Device reset success \nand Disconnect",
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
