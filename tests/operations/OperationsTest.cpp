// DownLoad and Reset clicked through the dialog against the simulated
// reader, checked against literal bytes and texts: the reports and stored
// pages of a DownLoad per family, from the start-up form and from forms
// where every control is away from its default; the reset message.
#include <QApplication>

#include "FormDriver.h"
#include "GoldenDownloads.h"
#include "sim/SimHost.h"

namespace tavrin {

class OperationsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<SimHost> host_;
  SimReader* reader_ = nullptr;
  std::unique_ptr<ConfigDialog> dialog_;
  ConfigDialog& D() { return *dialog_; }

  // Each report as its command and first data byte, in hex.
  QStringList Requests() const {
    QStringList requests;
    for (const ReaderFrame& report : reader_->received)
      requests << QByteArray(reinterpret_cast<const char*>(&report[8]), 2).toHex().toUpper();
    return requests;
  }
  QByteArray Stored(int number) const {
    const auto* page = reader_->Page(static_cast<PageNumber>(number));
    return page == nullptr ? QByteArray()
                           : QByteArray(reinterpret_cast<const char*>(page->data()), kPageSize);
  }

 private slots:
  void init() {
    host_ = std::make_unique<SimHost>();
    reader_ = &host_->AddReader();
    dialog_ = std::make_unique<ConfigDialog>(*host_);
    dialog_->show();
  }
  void cleanup() {
    dialog_.reset();
    host_.reset();
  }

  void download_data() {
    QTest::addColumn<int>("row");
    for (int row = 0; row < int(std::size(user::kGoldenDownloads)); ++row)
      QTest::newRow(user::kGoldenDownloads[row].name) << row;
  }

  // Unlock, page 0, then the family page, and nothing else; the reader,
  // which refuses a malformed request, keeps exactly those two pages.
  void download() {
    QFETCH(int, row);
    const user::GoldenDownload& golden = user::kGoldenDownloads[row];
    QVERIFY(driver::Click(D(), "ConnectButton"));
    QVERIFY(driver::Edit(D(), golden.edits));
    reader_->received.clear();
    QVERIFY(driver::Click(D(), "DownloadButton"));
    QCOMPARE(Requests(), QStringList({"E15B", "E200", QString("E20%1").arg(golden.familyPage)}));
    QCOMPARE(int(reader_->pages.size()), 2);
    QCOMPARE(Stored(0).toHex().toUpper(), QByteArray(golden.systemPage));
    QCOMPARE(Stored(golden.familyPage).toHex().toUpper(), QByteArray(golden.page));
    QCOMPARE(driver::Description(D()), QString("DownLoad Successed"));
    for (const QString& shown : QString(golden.shownAfter).split(", ", Qt::SkipEmptyParts))
      QCOMPARE(driver::Caption(D(), shown.section('=', 0, 0)), shown.section('=', 1));
  }

  // Closed by a user; already disconnected while it is up.
  void resetShowsItsMessageAndDisconnects() {
    QVERIFY(driver::Click(D(), "ConnectButton"));
    reader_->received.clear();
    QStringList seen;
    driver::AnswerMessageBox(seen);
    QVERIFY(driver::Click(D(), "ResetButton"));
    QCOMPARE(seen, QStringList({"operations_tests", "Device reset success \nand Disconnect",
                                QString::number(QMessageBox::Warning),
                                QString::number(QMessageBox::Ok), "Device Disconnected"}));
    QCOMPARE(Requests(), QStringList{"E384"});
    QCOMPARE(reader_->resets, 1);
    QCOMPARE(driver::Caption(D(), "ConnectButton"), QString("Connect"));
  }
};

}  // namespace tavrin

QTEST_MAIN(tavrin::OperationsTest)
#include "OperationsTest.moc"
