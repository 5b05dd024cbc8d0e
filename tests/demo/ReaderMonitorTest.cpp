// The demo's reader monitor: what it lists for the requests the simulated
// reader receives, and how it decodes the pages the reader stores.
#include <QHeaderView>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>
#include <cerrno>

#include "FormDriver.h"
#include "app/demo/ReaderMonitor.h"
#include "form/ConfigDialog.h"
#include "reader/ReaderLink.h"
#include "sim/DemoReader.h"
#include "sim/SimHost.h"

namespace tavrin::demo {
namespace {

// One column of the report list, a row per request.
QStringList Column(const ReaderMonitor& monitor, int column) {
  QStringList texts;
  auto* list = monitor.findChild<QTreeWidget*>("ReportList");
  for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(column);
  return texts;
}

// A field, by its name unique across pages, as shown: "hex | decimal", or
// "hidden" while its page is not written.
QString Field(const ReaderMonitor& monitor, const QString& name) {
  const QTreeWidgetItem* field = monitor.findChild<QTreeWidget*>("PageTree")
                                     ->findItems(name, Qt::MatchExactly | Qt::MatchRecursive)[0];
  if (field->isHidden()) return "hidden";
  return field->text(kHexColumn) + " | " + field->text(kDecimalColumn);
}

}  // namespace

class ReaderMonitorTest : public QObject {
  Q_OBJECT
 private slots:
  void listsEveryRequestReceivedAndDecodesStoredPages() {
    SimHost host;
    SimReader& reader = host.AddReader();
    ReaderLink link{host, FindReader(host)};
    ReaderMonitor monitor(host, reader);
    const auto send = [&link](auto build) {
      ReaderFrame frame{};
      build(frame);
      return ExchangeFrame(link, frame);
    };
    const auto unlock = [](ReaderFrame& frame) { BuildUnlockRequest(frame); };
    ConfigPage page = MakePage(PageNumber::TypeA);
    page.Set(10, std::array<std::uint8_t, 6>{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB});
    page.Seal();

    QVERIFY(send([&page](ReaderFrame& frame) { BuildWritePageRequest(frame, 0, page.Bytes()); }));
    reader.FailNext(ReaderCommand::Unlock, SimFault::Refuse());
    QVERIFY(send(unlock));
    QVERIFY(send(unlock));
    QVERIFY(send([&page](ReaderFrame& frame) { BuildWritePageRequest(frame, 1, page.Bytes()); }));
    reader.FailNext(ReaderCommand::Reset, SimFault::FailRead(EIO));
    QVERIFY(!send(BuildResetRequest));

    QCOMPARE(Column(monitor, kCommandColumn),
             QStringList({"Write page 0", "Unlock", "Unlock", "Write page 1", "Reset"}));
    QCOMPARE(Column(monitor, kReplyColumn), QStringList({"refused (04 locked)", "refused (FF)",
                                                         "accepted", "accepted", "no reply read"}));
    QVERIFY(Column(monitor, kBytesColumn)[0].startsWith("00 AA AA AA 96 69 00 23 E2 00 1F 00"));
    QCOMPARE(Column(monitor, kBytesColumn)[4], "00 AA AA AA 96 69 00 03 E3 84 64");
    // The reader acted on the reset although its reply was lost.
    QCOMPARE(monitor.findChild<QLabel*>("ReaderStateText")->text(), "Unlocked: no    Resets: 1");
    QCOMPARE(Field(monitor, "mifareKey"), "01 23 45 67 89 AB | 1 35 69 103 137 171");
    QCOMPARE(Field(monitor, "cardFamily"), "hidden");
  }

  void followsTheDialogOnTheDemoReader() {
    SimHost host;
    SimReader& reader = AddDemoReader(host);
    ConfigDialog dialog(host);
    ReaderMonitor monitor(host, reader);
    dialog.show();
    QVERIFY(driver::Click(dialog, "ConnectButton"));
    QVERIFY(driver::IsEnabled(dialog, ControlId::TypeBRadio) &&
            driver::IsEnabled(dialog, ControlId::Iso15693Radio));
    QVERIFY(driver::Click(dialog, "DownloadButton"));
    QCOMPARE(Column(monitor, kCommandColumn),
             QStringList({"Info", "Capability", "Unlock", "Write page 0", "Write page 1"}));
    QCOMPARE(Column(monitor, kReplyColumn), QStringList(5, "accepted"));
    QCOMPARE(Field(monitor, "cardFamily"), "01 | 1");
    // At its default size beside the dialog on a 1280 x 800 screen, with
    // room for frames, every row and column of the two pages in view.
    monitor.show();
    QVERIFY(dialog.width() + 12 + monitor.width() <= 1280 - 40 && monitor.height() <= 800 - 40);
    auto* pages = monitor.findChild<QTreeWidget*>("PageTree");
    QTreeWidgetItem* last = pages->topLevelItem(pages->topLevelItemCount() - 1);
    QVERIFY(pages->viewport()->rect().contains(pages->visualItemRect(last)));
    QVERIFY(pages->header()->length() <= pages->viewport()->width());
    QCOMPARE(monitor.findChild<QLabel*>("IdentificationText")->text(),
             "Reader: TAVRIN DEMO READER (simulated) V1.22");
  }
};

}  // namespace tavrin::demo

QTEST_MAIN(tavrin::demo::ReaderMonitorTest)
#include "ReaderMonitorTest.moc"
