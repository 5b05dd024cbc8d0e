// The demo's reader monitor: what it lists for the requests the simulated
// reader receives, and how it decodes the pages the reader stores.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cerrno>
#include <memory>

#include "FormDriver.h"
#include "app/demo/DemoReader.h"
#include "app/demo/ReaderMonitor.h"
#include "form/ConfigDialog.h"
#include "reader/ReaderLink.h"
#include "sim/SimHost.h"

namespace tavrin::demo {
namespace {

// A reader on a simulated host, opened, with a monitor watching it.
struct Bench {
  SimHost host;
  SimReader& reader = host.AddReader();
  ReaderLink link{host, FindReader(host)};
  std::unique_ptr<ReaderMonitor> monitor = std::make_unique<ReaderMonitor>(host, reader);

  bool Exchange(void (*build)(ReaderFrame&)) {
    ReaderFrame frame{};
    build(frame);
    return ExchangeFrame(link, frame);
  }

  bool Write(const ConfigPage& page, PageNumber number) {
    ReaderFrame frame{};
    BuildWritePageRequest(frame, number, page);
    return ExchangeFrame(link, frame);
  }
};

void Unlock(ReaderFrame& frame) { BuildUnlockRequest(frame); }

// Each report row as "command | reply | bytes".
QStringList Rows(const ReaderMonitor& monitor) {
  QStringList rows;
  auto* list = monitor.findChild<QTreeWidget*>("ReportList");
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = list->topLevelItem(i);
    rows << item->text(kCommandColumn) + " | " + item->text(kReplyColumn) + " | " +
                item->text(kBytesColumn);
  }
  return rows;
}

QTreeWidgetItem* PageItem(const ReaderMonitor& monitor, PageNumber page) {
  auto* tree = monitor.findChild<QTreeWidget*>("PageTree");
  const QList<QTreeWidgetItem*> found =
      tree->findItems(QString("Page %1:").arg(static_cast<int>(page)), Qt::MatchStartsWith);
  return found.size() == 1 ? found[0] : nullptr;
}

// A field as shown: "hex | decimal", or "hidden" while its page is not written.
QString Field(const ReaderMonitor& monitor, PageNumber page, const QString& name) {
  QTreeWidgetItem* item = PageItem(monitor, page);
  for (int i = 0; item != nullptr && i < item->childCount(); ++i) {
    const QTreeWidgetItem* child = item->child(i);
    if (child->text(kFieldColumn) != name) continue;
    if (child->isHidden()) return "hidden";
    return child->text(kHexColumn) + " | " + child->text(kDecimalColumn);
  }
  return "no such field";
}

QString State(const ReaderMonitor& monitor) {
  return monitor.findChild<QLabel*>("ReaderStateText")->text();
}

// Presses OK on the message box an accepted reset shows, once its modal loop
// runs; gives up after a bounded number of event-loop turns.
void CloseMessageBoxWhenShown(int turnsLeft = 1000) {
  QTimer::singleShot(0, [turnsLeft] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box != nullptr) {
      QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    } else if (turnsLeft > 0) {
      CloseMessageBoxWhenShown(turnsLeft - 1);
    }
  });
}

}  // namespace

class ReaderMonitorTest : public QObject {
  Q_OBJECT
 private slots:
  void showsRefusalsAndRepliesNeverRead() {
    Bench bench;
    QVERIFY(bench.Write(MakePage(PageNumber::System), PageNumber::System));  // unsealed
    bench.reader.FailNext(ReaderCommand::Unlock, SimFault::Refuse());
    QVERIFY(bench.Exchange(Unlock));
    bench.reader.FailNext(ReaderCommand::Info, SimFault::FailSend(EIO));
    QVERIFY(!bench.Exchange(BuildInfoRequest));
    bench.reader.FailNext(ReaderCommand::Reset, SimFault::FailRead(EIO));
    QVERIFY(!bench.Exchange(BuildResetRequest));
    const QStringList rows = Rows(*bench.monitor);
    QCOMPARE(rows.size(), 3);  // the report that never arrived is not listed
    QVERIFY(rows[0].startsWith(
        "Write page 0 | refused (04 locked) | 00 AA AA AA 96 69 00 23 E2 00 1F FF"));
    QVERIFY(rows[1].startsWith("Unlock | refused (FF) | "));
    QVERIFY(rows[2].startsWith("Reset | no reply read | 00 AA AA AA 96 69 00 03 E3 84 64"));
    // The reader acted on the reset although its reply was lost.
    QCOMPARE(State(*bench.monitor), "Unlocked: no    Resets: 1");
  }

  void decodesStoredPagesByField() {
    Bench bench;
    QCOMPARE(PageItem(*bench.monitor, PageNumber::TypeA)->text(kHexColumn), "not written");
    QCOMPARE(Field(*bench.monitor, PageNumber::TypeA, "mifareKey"), "hidden");
    ConfigPage page = MakePage(PageNumber::TypeA);
    page.Set(PageField::mifareMode, kMode2);
    page.SetMifareKey({0x01, 0x23, 0x45, 0x67, 0x89, 0xAB});
    page.Set(PageField::ultraLightDataEndKey, 0x28);
    page.Seal();
    QVERIFY(bench.Exchange(Unlock));
    QVERIFY(bench.Write(page, PageNumber::TypeA));

    const ReaderMonitor& monitor = *bench.monitor;
    QCOMPARE(Field(monitor, PageNumber::TypeA, "head"), "1F | 31");
    QCOMPARE(Field(monitor, PageNumber::TypeA, "mifareMode"), "02 | 2");
    QCOMPARE(Field(monitor, PageNumber::TypeA, "mifareKey"),
             "01 23 45 67 89 AB | 1 35 69 103 137 171");
    QCOMPARE(Field(monitor, PageNumber::TypeA, "ultraLightDataEndKey"), "28 | 40");
    QCOMPARE(Field(monitor, PageNumber::TypeA, "checksum"),
             QString("%1 | %2")
                 .arg(page.Bytes()[31], 2, 16, QChar('0'))
                 .toUpper()
                 .arg(page.Bytes()[31]));
    QVERIFY(PageItem(monitor, PageNumber::TypeA)->isExpanded());
    QCOMPARE(Field(monitor, PageNumber::System, "cardFamily"), "hidden");
    QVERIFY(Rows(monitor).last().startsWith("Write page 1 | accepted | "));

    QVERIFY(bench.Exchange(BuildResetRequest));
    QCOMPARE(State(monitor), "Unlocked: no    Resets: 1");
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
    CloseMessageBoxWhenShown();
    QVERIFY(driver::Click(dialog, "ResetButton"));
    QStringList commands;
    for (const QString& row : Rows(monitor)) commands << row.section(" | ", 0, 1);
    QCOMPARE(commands, QStringList({"Info | accepted", "Capability | accepted", "Unlock | accepted",
                                    "Write page 0 | accepted", "Write page 1 | accepted",
                                    "Reset | accepted"}));
    QCOMPARE(Field(monitor, PageNumber::System, "cardFamily"), "01 | 1");
    QCOMPARE(Field(monitor, PageNumber::TypeA, "mifareKeyType"), "60 | 96");
    QCOMPARE(Field(monitor, PageNumber::TypeB, "sr176Mode"), "hidden");
    QCOMPARE(State(monitor), "Unlocked: no    Resets: 1");
    QCOMPARE(monitor.findChild<QLabel*>("IdentificationText")->text(),
             "Reader: TAVRIN DEMO READER (simulated) V1.22");
  }
};

}  // namespace tavrin::demo

QTEST_MAIN(tavrin::demo::ReaderMonitorTest)
#include "ReaderMonitorTest.moc"
