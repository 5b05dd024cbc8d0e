// Reset clicked through the dialog: accepted (message box closed by the
// test as a user would), refused, and lost on the way.
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <memory>

#include "ReaderSession.h"
#include "app/ConfigApp.h"

namespace tavrin {

namespace {

// What the message box held and how the dialog stood while it was open.
struct MessageSeen {
  bool shown = false;
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  bool modal = false;
  QString description;
  QString connectCaption;
};

// Clicks OK on the message box once its modal loop is running; gives up
// after a bounded number of event-loop turns without one.
void CloseMessageWhenShown(MessageSeen& seen, session::Session& session, int turnsLeft = 1000) {
  QTimer::singleShot(0, session.dialog.get(), [&seen, &session, turnsLeft] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      if (turnsLeft > 0) CloseMessageWhenShown(seen, session, turnsLeft - 1);
      return;
    }
    seen.shown = true;
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    seen.buttons = box->standardButtons();
    seen.modal = box->isModal() && box->parentWidget() == session.dialog.get();
    seen.description = session.Description();
    seen.connectCaption = session.Shown("ConnectButton");
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
  });
}

const QByteArray kResetRequest =
    session::Bytes({0x00, 0xAA, 0xAA, 0xAA, 0x96, 0x69, 0x00, 0x03, 0xE3, 0x84, 0x64})
        .leftJustified(kReportSize, '\0');

}  // namespace

class ResetTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<session::Session> session_;
  session::Session& S() { return *session_; }

  // A connected dialog with settings the reset must not touch.
  void ConnectAndEdit() {
    QVERIFY(S().Connect());
    QVERIFY(S().EditAll({"OutputDataCheck", "CardKind1Check", "CardKind2Check", "SnrDecRadio",
                         "MifareKeyEdit=00 11 22 33 44 55"}));
    QVERIFY(driver::SelectTab(*S().dialog, 0));
  }

  void VerifyFormKept() {
    QVERIFY(S().IsChecked("CardKind1Check") && S().IsChecked("CardKind2Check"));
    QVERIFY(S().IsChecked("SnrDecRadio"));
    QCOMPARE(S().Shown("MifareKeyEdit"), QString("00 11 22 33 44 55"));
  }

 private slots:
  void init() {
    session_ = std::make_unique<session::Session>();
    QVERIFY(S().Open());
  }
  void cleanup() { session_.reset(); }

  void accepted() {
    ConnectAndEdit();
    MessageSeen seen;
    CloseMessageWhenShown(seen, S());
    QVERIFY(S().Press("ResetButton"));

    QVERIFY(seen.shown);
    QCOMPARE(seen.title, ConfigApp::Title());
    QVERIFY(!seen.title.isEmpty());
    QCOMPARE(seen.text, QString("Device reset success \nand Disconnect"));
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(seen.modal);
    // Already disconnected while the box is up.
    QCOMPARE(seen.description, session::kDisconnected);
    QCOMPARE(seen.connectCaption, QString("Connect"));

    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QCOMPARE(S().Sent(), 1);
    QCOMPARE(S().Received(0), kResetRequest);
    QCOMPARE(S().reader->resets, 1);
    QCOMPARE(S().reader->closes, 1);
    QCOMPARE(S().Description(), session::kDisconnected);
    QVERIFY(S().IsDisconnected());
    VerifyFormKept();

    QVERIFY(S().Press("ConnectButton"));
    QVERIFY(S().IsConnected());
    QCOMPARE(S().Commands(), session::Bytes({0xE3, 0xF1, 0xE0}));
  }

  void notAccepted_data() {
    QTest::addColumn<SimFault>("fault");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("sent");
    QTest::addColumn<int>("resets");
    QTest::newRow("refused") << SimFault::Refuse() << "Device Reset Failure." << 1 << 0;
    QTest::newRow("refused with another status")
        << SimFault::Refuse(0x01) << "Device Reset Failure." << 1 << 0;
    QTest::newRow("not sent") << SimFault::FailSend(EIO) << "LastError: 5" << 0 << 0;
    QTest::newRow("reply lost") << SimFault::FailRead(ETIMEDOUT) << "LastError: 110" << 1 << 1;
  }

  // No message box, the link stays open and the form as it was.
  void notAccepted() {
    QFETCH(SimFault, fault);
    QFETCH(QString, shown);
    QFETCH(int, sent);
    QFETCH(int, resets);
    ConnectAndEdit();
    S().reader->FailNext(ReaderCommand::Reset, fault);
    MessageSeen seen;
    CloseMessageWhenShown(seen, S(), 10);
    QVERIFY(S().Press("ResetButton"));
    QVERIFY(!seen.shown);
    QCOMPARE(S().Description(), shown);
    QCOMPARE(S().Sent(), sent);
    QCOMPARE(S().reader->resets, resets);
    QCOMPARE(S().reader->closes, 0);
    QVERIFY(S().IsConnected());
    VerifyFormKept();

    // The reader still answers on the same link.
    S().reader->received.clear();
    QVERIFY(S().Press("DownloadButton"));
    QCOMPARE(S().Commands(), session::Bytes({0xE1, 0xE2, 0xE2}));
  }
};

}  // namespace tavrin

QTEST_MAIN(tavrin::ResetTest)
#include "ResetTest.moc"
