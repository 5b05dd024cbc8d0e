// Connect, DownLoad and Reset clicked through the dialog against the
// simulated reader, checked against literal bytes and texts: the reports
// and stored pages of a DownLoad per family, from the start-up form and
// from forms where every control is away from its default; the description
// and the selectable families for each kind of reader; the reset message.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "DialogUser.h"
#include "GoldenDownloads.h"
#include "sim/SimHost.h"

namespace tavrin {

using user::Lines;
using Caps = std::array<std::uint8_t, 4>;

namespace {

QStringList Edits(const char* list) { return QString(list).split(", ", Qt::SkipEmptyParts); }

const QString a = "Device Support ISO14443A", b = "Device Support ISO14443B",
              iso = "Device Support ISO15693";

}  // namespace

class OperationsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<SimHost> host_;
  SimReader* reader_ = nullptr;
  std::unique_ptr<user::DialogUser> user_;
  user::DialogUser& U() { return *user_; }

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
    user_ = std::make_unique<user::DialogUser>(*host_);
  }
  void cleanup() {
    user_.reset();
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
    QVERIFY(U().Press("ConnectButton"));
    QVERIFY(U().EditAll(Edits(golden.edits)));
    reader_->received.clear();
    QVERIFY(U().Press("DownloadButton"));
    QCOMPARE(Requests(), QStringList({"E15B", "E200", QString("E20%1").arg(golden.familyPage)}));
    QCOMPARE(int(reader_->pages.size()), 2);
    QCOMPARE(Stored(0).toHex().toUpper(), QByteArray(golden.systemPage));
    QCOMPARE(Stored(golden.familyPage).toHex().toUpper(), QByteArray(golden.page));
    QCOMPARE(U().Description(), user::kSuccess);
    for (const QString& shown : Edits(golden.shownAfter))
      QCOMPARE(U().Shown(shown.section('=', 0, 0)), shown.section('=', 1));
  }

  void connect_data() {
    QTest::addColumn<Caps>("caps");
    QTest::addColumn<QString>("chosen");  // before Connect
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<QStringList>("kindCaptions");
    QTest::newRow("every family and kind")
        << Caps{0x07, 0x03, 0x03, 0x01} << "TypeARadio"
        << QStringList{a,   "  Mifare S50/S70 Card", "  UltraLight Card",
                       b,   "  SR176 Card",          "  SRI512/2K/4K/X4K Card",
                       iso, "  I.Code SLI",          "  Tag-it HF-I"}
        << user::kFamilyRadios << "TypeARadio" << QStringList{"Mifare S50/S70", "UltraLight"};
    QTest::newRow("ISO15693 only, ISO14443A chosen")
        << Caps{0x04, 0x00, 0x00, 0x01} << "TypeARadio"
        << QStringList{iso, "  I.Code SLI", "  Tag-it HF-I"} << QStringList{"Iso15693Radio"}
        << "Iso15693Radio" << QStringList{"I.Code/Tag-it", "UltraLight"};
  }

  // The family chosen on a reader with every family; then a reader of
  // another kind connects.
  void connect() {
    QFETCH(Caps, caps);
    QFETCH(QString, chosen);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, enabled);
    QFETCH(QString, checked);
    QFETCH(QStringList, kindCaptions);
    QVERIFY(U().Press("ConnectButton"));
    QVERIFY(U().EditAll({"OutputDataCheck", chosen}));
    QVERIFY(U().Press("ConnectButton"));
    reader_->capabilities = caps;
    reader_->identification = "READER \xC4 2";
    QVERIFY(U().Press("ConnectButton"));
    QCOMPARE(U().Description(),
             Lines(QStringList{"Device Connected", QString::fromLatin1("READER \xC4 2")} + lines));
    QCOMPARE(U().EnabledFamilies(), enabled);
    QCOMPARE(U().CheckedFamilies(), QStringList{checked});
    QCOMPARE(U().Shown("CardKind1Check"), kindCaptions[0]);
    QCOMPARE(U().Shown("CardKind2Check"), kindCaptions[1]);
  }

  // Closed by a user; already disconnected while it is up.
  void resetShowsItsMessageAndDisconnects() {
    QVERIFY(U().Press("ConnectButton"));
    reader_->received.clear();
    QStringList seen;
    QTimer::singleShot(0, U().dialog.get(), [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      seen << box->windowTitle() << box->text() << QString::number(box->icon())
           << QString::number(box->standardButtons())
           << QString::number(box->parentWidget() == U().dialog.get()) << U().Description();
      QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    QVERIFY(U().Press("ResetButton"));
    QCOMPARE(seen, QStringList({"operations_tests", "Device reset success \nand Disconnect",
                                QString::number(QMessageBox::Warning),
                                QString::number(QMessageBox::Ok), "1", "Device Disconnected"}));
    QCOMPARE(Requests(), QStringList{"E384"});
    QCOMPARE(reader_->resets, 1);
    QCOMPARE(U().Shown("ConnectButton"), QString("Connect"));
  }
};

}  // namespace tavrin

QTEST_MAIN(tavrin::OperationsTest)
#include "OperationsTest.moc"
