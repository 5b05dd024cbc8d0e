// Connect, DownLoad and Reset clicked through the dialog against the
// simulated reader, checked against literal bytes and texts: the reports
// and stored pages of a DownLoad per family, from the start-up form and
// from forms where every control is away from its default; the description
// and the selectable families for each kind of reader; the reset message.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "DialogUser.h"
#include "sim/SimHost.h"

namespace tavrin {

using user::Bytes;
using user::Lines;
using user::Page;
using Caps = std::array<std::uint8_t, 4>;

namespace {

QStringList Edits(const char* list) { return QString(list).split(", ", Qt::SkipEmptyParts); }

const char kTypeAEdits[] =
    "SnrLsbFirstRadio, SnrDecRadio, SnrCapsLockCheck, SnrEndKeyCombo=Down, SnrEndCountCombo=2, "
    "OutputDataCheck, CardKind1Check, CardKind2Check, MifareMode2Radio, "
    "MifareStartSectorCombo=10, MifareEndSectorCombo=04, MifareStartBlockCombo=03, "
    "MifareEndBlockCombo=01, MifareStartByteCombo=05, MifareEndByteCombo=02, MifareKeyBRadio, "
    "MifareKeyEdit=a0 a1 a2 a3 a4 a5, MifareCapsLockCheck, MifareBlockEndKeyCombo=Tab, "
    "MifareBlockEndCountCombo=3, MifareDataEndKeyCombo=Enter, MifareDataEndCountCombo=4, "
    "UltraLightMode2Radio, UltraLightStartBlockCombo=12, UltraLightEndBlockCombo=05, "
    "UltraLightStartByteCombo=03, UltraLightEndByteCombo=01, UltraLightCapsLockCheck, "
    "UltraLightBlockEndKeyCombo=PgDn, UltraLightBlockEndCountCombo=5, "
    "UltraLightDataEndKeyCombo=Down, UltraLightDataEndCountCombo=6";

// SNR output off after choosing LSB first and DEC: only its ending is sent.
// SR176 is set up, then only SRI data is chosen.
const char kTypeBEdits[] =
    "TypeBRadio, SnrLsbFirstRadio, SnrDecRadio, SnrCapsLockCheck, SnrEndKeyCombo=PgDn, "
    "SnrEndCountCombo=7, OutputSnrCheck, OutputDataCheck, CardKind1Check, Sr176Mode2Radio, "
    "Sr176StartBlockCombo=07, Sr176EndBlockCombo=03, Sr176StartByteCombo=01, "
    "Sr176EndByteCombo=00, Sr176CapsLockCheck, Sr176BlockEndKeyCombo=Enter, "
    "Sr176BlockEndCountCombo=8, Sr176DataEndKeyCombo=Tab, Sr176DataEndCountCombo=9, "
    "CardKind1Check, CardKind2Check, SriStartBlockCombo=100, SriEndBlockCombo=020, "
    "SriStartByteCombo=03, SriEndByteCombo=00, SriCapsLockCheck, SriBlockEndKeyCombo=Down, "
    "SriBlockEndCountCombo=10, SriDataEndKeyCombo=PgDn";

// The UltraLight choice made under ISO14443A stays checked but hidden: it
// must not reach the ISO15693 kinds.
const char kIso15693Edits[] =
    "OutputDataCheck, CardKind1Check, CardKind2Check, Iso15693Radio, ICodeMode2Radio, "
    "ICodeStartBlockCombo=63, ICodeEndBlockCombo=00, ICodeStartByteCombo=02, "
    "ICodeEndByteCombo=01, ICodeCapsLockCheck, ICodeBlockEndCountCombo=10, "
    "ICodeDataEndKeyCombo=Down, ICodeDataEndCountCombo=3, SnrEndKeyCombo=Enter, "
    "SnrEndCountCombo=10";

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

  QByteArray Received(std::size_t index) const {
    const ReaderFrame& report = reader_->received.at(index);
    return QByteArray(reinterpret_cast<const char*>(report.data()), kReportSize);
  }
  QByteArray Stored(int number) const {
    const auto* page = reader_->Page(static_cast<PageNumber>(number));
    return page == nullptr ? QByteArray()
                           : QByteArray(reinterpret_cast<const char*>(page->data()), kPageSize);
  }
  QByteArray Commands() const {
    QByteArray commands;
    for (const ReaderFrame& report : reader_->received) commands.append(char(report[8]));
    return commands;
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
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<int>("number");
    QTest::addColumn<QByteArray>("systemPage");
    QTest::addColumn<QByteArray>("familyPage");
    QTest::addColumn<QStringList>("shownAfter");
    const QByteArray startUpTypeBPage =
        Page({{1, 1}, {5, 1}, {12, 1}, {14, 1}, {17, 1}, {21, 3}, {28, 1}, {30, 1}});
    QTest::newRow("ISO14443A at start-up")
        << QStringList() << 1 << Page({{1, 0xFF}, {2, 1}, {16, 1}, {28, 1}})
        << Page({{1, 1},
                 {7, 15},
                 {9, 0x60},
                 {10, 0x3A},
                 {11, 0x7C},
                 {12, 0x19},
                 {13, 0xE5},
                 {14, 0xB0},
                 {15, 0x8D},
                 {18, 1},
                 {20, 1},
                 {21, 1},
                 {25, 3},
                 {28, 1},
                 {30, 1}})
        << Edits("MifareKeyEdit=3A7C19E5B08D");
    QTest::newRow("ISO14443B at start-up")
        << Edits("TypeBRadio") << 3 << Page({{1, 0xFF}, {2, 2}, {16, 1}, {28, 1}})
        << startUpTypeBPage << QStringList();
    QTest::newRow("ISO15693 at start-up")
        << Edits("Iso15693Radio") << 5 << Page({{1, 0xFF}, {2, 4}, {16, 1}, {28, 1}})
        << Page({{1, 1}, {5, 3}, {12, 1}, {14, 1}}) << QStringList();
    // Start sector above the end: the end moves up; blocks and bytes are
    // never compared.
    QTest::newRow("ISO14443A edited")
        << Edits(kTypeAEdits) << 1
        << Page(
               {{1, 0xFF}, {2, 1}, {3, 3}, {16, 1}, {17, 1}, {18, 1}, {26, 1}, {27, 0x51}, {28, 2}})
        << Page({{1, 2},     {2, 10},    {3, 3},     {4, 5},     {5, 10},    {6, 1},
                 {7, 2},     {9, 0x61},  {10, 0xA0}, {11, 0xA1}, {12, 0xA2}, {13, 0xA3},
                 {14, 0xA4}, {15, 0xA5}, {16, 1},    {17, 0x2B}, {18, 3},    {19, 0x28},
                 {20, 4},    {21, 2},    {22, 12},   {23, 12},   {24, 3},    {25, 1},
                 {26, 1},    {27, 0x4E}, {28, 5},    {29, 0x51}, {30, 6}})
        << Edits(
               "MifareEndSectorCombo=10, MifareEndBlockCombo=01, UltraLightEndBlockCombo=12, "
               "MifareKeyEdit=A0A1A2A3A4A5");
    QTest::newRow("ISO14443B edited")
        << Edits(kTypeBEdits) << 3
        << Page({{1, 0xFF}, {2, 2}, {4, 2}, {26, 1}, {27, 0x4E}, {28, 7}})
        << Page({{1, 2},
                 {2, 7},
                 {3, 7},
                 {4, 1},
                 {10, 1},
                 {11, 0x28},
                 {12, 8},
                 {13, 0x2B},
                 {14, 9},
                 {17, 1},
                 {18, 100},
                 {19, 100},
                 {20, 3},
                 {26, 1},
                 {27, 0x51},
                 {28, 10},
                 {29, 0x4E},
                 {30, 1}})
        << Edits("Sr176EndBlockCombo=07, SriEndBlockCombo=100, SriEndByteCombo=00");
    QTest::newRow("ISO15693 edited")
        << Edits(kIso15693Edits) << 5
        << Page({{1, 0xFF}, {2, 4}, {5, 1}, {16, 1}, {27, 0x28}, {28, 10}})
        << Page({{1, 2}, {2, 63}, {3, 63}, {4, 2}, {5, 1}, {10, 1}, {12, 10}, {13, 0x51}, {14, 3}})
        << Edits("ICodeEndBlockCombo=63, ICodeEndByteCombo=01");
  }

  // Unlock, page 0, then the family page, byte for byte, and nothing else;
  // the reader keeps exactly those two pages and the dialog says so.
  void download() {
    QFETCH(QStringList, edits);
    QFETCH(int, number);
    QFETCH(QByteArray, systemPage);
    QFETCH(QByteArray, familyPage);
    QFETCH(QStringList, shownAfter);
    QVERIFY(U().Press("ConnectButton"));
    QVERIFY(U().EditAll(edits));
    reader_->received.clear();
    QVERIFY(U().Press("DownloadButton"));
    QCOMPARE(Commands(), Bytes({0xE1, 0xE2, 0xE2}));
    QCOMPARE(Received(0), Bytes({0x00, 0xAA, 0xAA, 0xAA, 0x96, 0x69, 0x00, 0x06, 0xE1, 0x5B, 0x5B,
                                 0x5B, 0x5B, 0xE7})
                              .leftJustified(kReportSize, '\0'));
    QCOMPARE(Received(1).left(43), user::WriteRequest(0, systemPage));
    QCOMPARE(Received(2).left(43), user::WriteRequest(number, familyPage));
    QCOMPARE(int(reader_->pages.size()), 2);
    QCOMPARE(Stored(0), systemPage);
    QCOMPARE(Stored(number), familyPage);
    QCOMPARE(U().Description(), user::kSuccess);
    for (const QString& shown : shownAfter)
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
    QCOMPARE(Received(0), Bytes({0x00, 0xAA, 0xAA, 0xAA, 0x96, 0x69, 0x00, 0x03, 0xE3, 0x84, 0x64})
                              .leftJustified(kReportSize, '\0'));
    QCOMPARE(reader_->resets, 1);
    QCOMPARE(U().Shown("ConnectButton"), QString("Connect"));
  }
};

}  // namespace tavrin

QTEST_MAIN(tavrin::OperationsTest)
#include "OperationsTest.moc"
