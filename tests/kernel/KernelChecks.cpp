// Checks that run inside a throwaway virtual machine (scripts/test-kernel):
// the dialog on the product's own HID host, hidapi on hidraw, against
// readers that tavrin-uhid-reader emulates through the kernel's uhid
// driver. It must be serving. Name the check to run:
//
//   kernel_checks connect           kernel_checks --uid 1000 noAccess
//
// --uid drops to that user and group before anything else runs.
#include <grp.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "FormDriver.h"
#include "GoldenDownloads.h"
#include "reader/PlatformHidHost.h"
#include "sim/uhid/Emulation.h"

namespace tavrin {
namespace {

using driver::Caption;
using driver::Click;

const QString kDisconnected = "Device Disconnected", kSuccess = "DownLoad Successed";
const QString kConnectedDescription =
    "Device Connected\r\nTAVRIN HID READER V1.22\r\nDevice Support ISO14443A\r\n"
    "  Mifare S50/S70 Card\r\n  UltraLight Card\r\nDevice Support ISO14443B\r\n"
    "  SR176 Card\r\n  SRI512/2K/4K/X4K Card\r\nDevice Support ISO15693\r\n"
    "  I.Code SLI\r\n  Tag-it HF-I\r\n";

// The emulated reader's traffic after each kind of session.
const QString kAfterConnect =
    "received=2 reads=2 resets=0 keyboard=0 commands=F1E0 plugged=1 open=1";
const QString kAfterDownload =
    "received=5 reads=5 resets=0 keyboard=0 commands=F1E0E1E2E2 plugged=1 open=1";
const QString kUntouched = "received=0 reads=0 resets=0 keyboard=0 commands= plugged=1 open=0";

// A golden download's pages, number and bytes, as the emulation lists them.
QString PagesOf(const user::GoldenDownload& golden) {
  return QString("0 %1\n%2 %3").arg(golden.systemPage).arg(golden.familyPage).arg(golden.page);
}

QString Emulate(const QString& command) {
  const auto reply = AskEmulation(command.toStdString());
  return reply ? QString::fromStdString(*reply) : QStringLiteral("error: no emulation");
}

}  // namespace

class KernelChecks : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<HidHost> host_;
  std::unique_ptr<ConfigDialog> dialog_;
  ConfigDialog& D() { return *dialog_; }

  bool Connected() {
    return Caption(D(), "ConnectButton") == "Disconnect" &&
           driver::IsEnabled(D(), ControlId::DownloadButton);
  }
  bool Disconnected() {
    return Caption(D(), "ConnectButton") == "Connect" &&
           !driver::IsEnabled(D(), ControlId::DownloadButton) &&
           driver::Description(D()) == kDisconnected;
  }

 private slots:
  void init() {
    host_ = CreatePlatformHidHost();
    dialog_ = std::make_unique<ConfigDialog>(*host_);
    dialog_->show();
  }
  void cleanup() {
    dialog_.reset();
    host_.reset();
  }

  // The keyboard interface comes first with the same identifiers; hidraw
  // would open it, but it does not speak the reader's protocol.
  void connect() {
    QCOMPARE(Emulate("setup 1"), "ok");
    QVERIFY(Click(D(), "ConnectButton"));
    QCOMPARE(driver::Description(D()), kConnectedDescription);
    QVERIFY(Connected());
    QCOMPARE(Emulate("status 0"), kAfterConnect);
  }

  // Those of the simulator-based tests: ISO14443A with a typed key, the others
  // from start-up.
  void download_data() {
    QTest::addColumn<int>("row");
    for (int row : {3, 1, 2}) QTest::newRow(user::kGoldenDownloads[row].name) << row;
  }

  void download() {
    QFETCH(int, row);
    const user::GoldenDownload& golden = user::kGoldenDownloads[row];
    QCOMPARE(Emulate("setup 1"), "ok");
    QVERIFY(Click(D(), "ConnectButton"));
    QVERIFY(driver::Edit(D(), golden.edits));
    QVERIFY(Click(D(), "DownloadButton"));
    QCOMPARE(driver::Description(D()), kSuccess);
    QCOMPARE(Emulate("pages 0"), PagesOf(golden));
    QCOMPARE(Emulate("status 0"), kAfterDownload);
  }

  void reset() {
    QCOMPARE(Emulate("setup 1"), "ok");
    QVERIFY(Click(D(), "ConnectButton"));
    QStringList message;
    driver::AnswerMessageBox(message);
    QVERIFY(Click(D(), "ResetButton"));
    QCOMPARE(message, QStringList({"Tavrin Config Tools", "Device reset success \nand Disconnect",
                                   QString::number(QMessageBox::Warning),
                                   QString::number(QMessageBox::Ok), kDisconnected}));
    QVERIFY(Disconnected());
    QCOMPARE(Emulate("status 0"),
             "received=3 reads=3 resets=1 keyboard=0 commands=F1E0E3 plugged=1 open=0");
  }

  // Without a udev daemon the hidraw nodes are root's alone, as they are
  // for a user without the rule.
  void noAccess() {
    QVERIFY2(geteuid() != 0, "run this check with --uid");
    QCOMPARE(Emulate("setup 1"), "ok");
    QVERIFY(Click(D(), "ConnectButton"));
    QVERIFY(!Connected());
    const QStringList lines = driver::Description(D()).split("\r\n");
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], kDisconnected);
    QVERIFY2(lines[1].contains("udev rule") && lines[1].contains("README"), qPrintable(lines[1]));
    QCOMPARE(Emulate("status 0"), kUntouched);
  }

  // The reader pulled out after Connect. The text after the failed
  // DownLoad is compared last, so that everything else is checked anyway.
  void unplug() {
    QCOMPARE(Emulate("setup 1"), "ok");
    QVERIFY(Click(D(), "ConnectButton"));
    QCOMPARE(Emulate("unplug 0"), "ok");
    QVERIFY(Click(D(), "DownloadButton"));
    const QString failure = driver::Description(D());
    QVERIFY(failure != kSuccess);
    QVERIFY(Connected());  // a failed exchange leaves the link open
    QVERIFY(Click(D(), "ConnectButton"));
    QVERIFY(Disconnected());
    QVERIFY(Click(D(), "ConnectButton"));
    QVERIFY(Disconnected());
    QCOMPARE(Emulate("plug 0"), "ok");
    QVERIFY(Click(D(), "ConnectButton"));
    QCOMPARE(driver::Description(D()), kConnectedDescription);
    QCOMPARE(Emulate("status 0"),
             "received=4 reads=4 resets=0 keyboard=0 commands=F1E0F1E0 plugged=1 open=1");
    QCOMPARE(failure, "DownLoad Failure.\r\nLastError: 19");
  }

  void twoReaders() {
    QCOMPARE(Emulate("setup 2"), "ok");
    QVERIFY(Click(D(), "ConnectButton"));
    QVERIFY(Click(D(), "DownloadButton"));
    QCOMPARE(driver::Description(D()), kSuccess);
    QCOMPARE(Emulate("pages 0"), PagesOf(user::kGoldenDownloads[0]));
    QCOMPARE(Emulate("status 0"), kAfterDownload);
    QCOMPARE(Emulate("status 1"), kUntouched);
  }
};

}  // namespace tavrin

int main(int argc, char** argv) {
  std::vector<char*> args(argv, argv + argc);
  if (args.size() > 2 && std::string(args[1]) == "--uid") {
    const auto id = static_cast<uid_t>(std::stoul(args[2]));
    if (setgroups(0, nullptr) != 0 || setgid(id) != 0 || setuid(id) != 0) {
      std::perror("--uid");
      return 1;
    }
    args.erase(args.begin() + 1, args.begin() + 3);
  }
  int count = static_cast<int>(args.size());
  QApplication app(count, args.data());
  tavrin::KernelChecks checks;
  return QTest::qExec(&checks, count, args.data());
}

#include "KernelChecks.moc"
