// The demo's reader monitor beside the dialog: the requests the simulated
// reader receives, the pages it stores, and a size that fits the screen.
#include <QHeaderView>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

#include "FormDriver.h"
#include "app/demo/ReaderMonitor.h"
#include "form/ConfigDialog.h"
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
