// DownLoad clicked through the dialog: the exact reports the reader gets and
// the pages it keeps, from the start-up form and from edited ones, with the
// clamps and the normalised key left on the form afterwards.
#include <QTest>
#include <memory>

#include "ReaderSession.h"

namespace tavrin {

using session::Page;

namespace {

const QByteArray kStartUpSystemPage = Page({{1, 0xFF}, {2, 1}, {16, 1}, {28, 1}});
const QByteArray kStartUpTypeAPage = Page({{1, 1},
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
                                           {30, 1}});
const QByteArray kStartUpTypeBPage =
    Page({{1, 1}, {5, 1}, {12, 1}, {14, 1}, {17, 1}, {21, 3}, {28, 1}, {30, 1}});
const QByteArray kStartUpIso15693Page = Page({{1, 1}, {5, 3}, {12, 1}, {14, 1}});
// "A, B=x, C": one edit or reading per item.
QStringList Edits(const char* list) { return QString(list).split(", "); }

const QString kKeyError = QStringLiteral("Mifare Key Error: enter 12 hex digits (0-9, A-F)");

}  // namespace

class DownloadTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<session::Session> session_;
  session::Session& S() { return *session_; }

  // Unlock, page 0, then the family page, byte for byte, and nothing else;
  // the reader keeps exactly those two pages and the dialog says so.
  void VerifyDownload(int number, const QByteArray& systemPage, const QByteArray& familyPage) {
    QCOMPARE(S().Commands(), session::Bytes({0xE1, 0xE2, 0xE2}));
    QCOMPARE(S().Received(0), session::UnlockReport());
    QCOMPARE(S().Received(1).left(43), session::WriteRequest(0, systemPage));
    QCOMPARE(S().Received(2).left(43), session::WriteRequest(number, familyPage));
    QCOMPARE(S().StoredPageNumbers(), QList<int>({0, number}));
    QCOMPARE(S().Stored(PageNumber::System), systemPage);
    QCOMPARE(S().Stored(static_cast<PageNumber>(number)), familyPage);
    QCOMPARE(S().Description(), session::kSuccess);
    QVERIFY(S().IsConnected());
    QCOMPARE(driver::CurrentTab(*S().dialog), 0);
    QCOMPARE(driver::PanelsOnView(*S().dialog), QStringList{"SystemPanel"});
  }

  // Card data on with Mifare S50/S70 chosen, so that its tab is there.
  void TypeKey(const QString& typed) {
    QVERIFY(S().Connect());
    QVERIFY(S().EditAll({"OutputDataCheck", "CardKind1Check", "MifareKeyEdit=" + typed}));
  }

 private slots:
  void init() {
    session_ = std::make_unique<session::Session>();
    QVERIFY(S().Open());
  }
  void cleanup() { session_.reset(); }

  void startUpForm_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("number");
    QTest::addColumn<QByteArray>("systemPage");
    QTest::addColumn<QByteArray>("familyPage");
    QTest::newRow("ISO14443A") << "TypeARadio" << 1 << kStartUpSystemPage << kStartUpTypeAPage;
    QTest::newRow("ISO14443B") << "TypeBRadio" << 3 << Page({{1, 0xFF}, {2, 2}, {16, 1}, {28, 1}})
                               << kStartUpTypeBPage;
    QTest::newRow("ISO15693") << "Iso15693Radio" << 5 << Page({{1, 0xFF}, {2, 4}, {16, 1}, {28, 1}})
                              << kStartUpIso15693Page;
  }

  void startUpForm() {
    QFETCH(QString, family);
    QFETCH(int, number);
    QFETCH(QByteArray, systemPage);
    QFETCH(QByteArray, familyPage);
    QVERIFY(S().Connect());
    QVERIFY(S().Edit(family));
    QVERIFY(S().Press("DownloadButton"));
    VerifyDownload(number, systemPage, familyPage);
    QCOMPARE(S().Shown("MifareKeyEdit"), QString("3A7C19E5B08D"));
    QCOMPARE(S().reader->reads, 2 + 3);
  }

  void startUpChecksums() {
    QCOMPARE(std::uint8_t(kStartUpSystemPage[31]), 0xE1);
    QCOMPARE(std::uint8_t(kStartUpTypeBPage[31]), 0x1D);
    QCOMPARE(std::uint8_t(kStartUpIso15693Page[31]), 0x1D);
  }

  void editedForm_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QByteArray>("systemPage");
    QTest::addColumn<QByteArray>("familyPage");
    QTest::addColumn<QStringList>("shownAfter");

    // Start sector above the end: the end moves up; blocks and bytes are
    // never compared.
    QTest::newRow("ISO14443A")
        << 1
        << Edits(
               "SnrLsbFirstRadio, SnrDecRadio, SnrCapsLockCheck, SnrEndKeyCombo=Down, "
               "SnrEndCountCombo=2, OutputDataCheck, CardKind1Check, CardKind2Check, "
               "MifareMode2Radio, MifareStartSectorCombo=10, MifareEndSectorCombo=04, "
               "MifareStartBlockCombo=03, MifareEndBlockCombo=01, MifareStartByteCombo=05, "
               "MifareEndByteCombo=02, MifareKeyBRadio, MifareKeyEdit=a0 a1 a2 a3 a4 a5, "
               "MifareCapsLockCheck, MifareBlockEndKeyCombo=Tab, MifareBlockEndCountCombo=3, "
               "MifareDataEndKeyCombo=Enter, MifareDataEndCountCombo=4, UltraLightMode2Radio, "
               "UltraLightStartBlockCombo=12, UltraLightEndBlockCombo=05, "
               "UltraLightStartByteCombo=03, UltraLightEndByteCombo=01, UltraLightCapsLockCheck, "
               "UltraLightBlockEndKeyCombo=PgDn, UltraLightBlockEndCountCombo=5, "
               "UltraLightDataEndKeyCombo=Down, UltraLightDataEndCountCombo=6")
        << Page(
               {{1, 0xFF}, {2, 1}, {3, 3}, {16, 1}, {17, 1}, {18, 1}, {26, 1}, {27, 0x51}, {28, 2}})
        << Page({{1, 2},     {2, 10},    {3, 3},     {4, 5},     {5, 10},    {6, 1},
                 {7, 2},     {9, 0x61},  {10, 0xA0}, {11, 0xA1}, {12, 0xA2}, {13, 0xA3},
                 {14, 0xA4}, {15, 0xA5}, {16, 1},    {17, 0x2B}, {18, 3},    {19, 0x28},
                 {20, 4},    {21, 2},    {22, 12},   {23, 12},   {24, 3},    {25, 1},
                 {26, 1},    {27, 0x4E}, {28, 5},    {29, 0x51}, {30, 6}})
        << Edits(
               "MifareEndSectorCombo=10, MifareEndBlockCombo=01, MifareEndByteCombo=02, "
               "UltraLightEndBlockCombo=12, UltraLightEndByteCombo=01, "
               "MifareKeyEdit=A0A1A2A3A4A5, SnrEndKeyCombo=Down");

    // SNR output off after choosing LSB first and DEC: only its ending is
    // sent. SR176 is set up, then only SRI data is chosen.
    QTest::newRow("ISO14443B")
        << 3
        << Edits(
               "TypeBRadio, SnrLsbFirstRadio, SnrDecRadio, SnrCapsLockCheck, "
               "SnrEndKeyCombo=PgDn, SnrEndCountCombo=7, OutputSnrCheck, OutputDataCheck, "
               "CardKind1Check, Sr176Mode2Radio, Sr176StartBlockCombo=07, Sr176EndBlockCombo=03, "
               "Sr176StartByteCombo=01, Sr176EndByteCombo=00, Sr176CapsLockCheck, "
               "Sr176BlockEndKeyCombo=Enter, Sr176BlockEndCountCombo=8, "
               "Sr176DataEndKeyCombo=Tab, Sr176DataEndCountCombo=9, CardKind1Check, "
               "CardKind2Check, SriStartBlockCombo=100, SriEndBlockCombo=020, "
               "SriStartByteCombo=03, SriEndByteCombo=00, SriCapsLockCheck, "
               "SriBlockEndKeyCombo=Down, SriBlockEndCountCombo=10, SriDataEndKeyCombo=PgDn")
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
        << Edits(
               "Sr176EndBlockCombo=07, Sr176EndByteCombo=00, SriEndBlockCombo=100, "
               "SriEndByteCombo=00");

    // The UltraLight choice made under ISO14443A stays checked but hidden:
    // it must not reach the ISO15693 kinds.
    QTest::newRow("ISO15693")
        << 5
        << Edits(
               "OutputDataCheck, CardKind1Check, CardKind2Check, Iso15693Radio, "
               "ICodeMode2Radio, ICodeStartBlockCombo=63, ICodeEndBlockCombo=00, "
               "ICodeStartByteCombo=02, ICodeEndByteCombo=01, ICodeCapsLockCheck, "
               "ICodeBlockEndCountCombo=10, ICodeDataEndKeyCombo=Down, "
               "ICodeDataEndCountCombo=3, SnrEndKeyCombo=Enter, SnrEndCountCombo=10")
        << Page({{1, 0xFF}, {2, 4}, {5, 1}, {16, 1}, {27, 0x28}, {28, 10}})
        << Page({{1, 2}, {2, 63}, {3, 63}, {4, 2}, {5, 1}, {10, 1}, {12, 10}, {13, 0x51}, {14, 3}})
        << Edits("ICodeEndBlockCombo=63, ICodeEndByteCombo=01");
  }

  void editedForm() {
    QFETCH(int, number);
    QFETCH(QStringList, edits);
    QFETCH(QByteArray, systemPage);
    QFETCH(QByteArray, familyPage);
    QFETCH(QStringList, shownAfter);
    QVERIFY(S().Connect());
    QVERIFY(S().EditAll(edits));
    QVERIFY(S().Press("DownloadButton"));
    VerifyDownload(number, systemPage, familyPage);
    for (const QString& shown : shownAfter) {
      const QStringList parts = shown.split('=');
      QCOMPARE(S().Shown(parts[0]), parts[1]);
    }
  }

  void mifareKey_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QString>("shownAfter");
    const QByteArray startUpKey = session::Bytes({0x3A, 0x7C, 0x19, 0xE5, 0xB0, 0x8D});
    QTest::newRow("lower case") << "3a7c19e5b08d" << startUpKey << "3A7C19E5B08D";
    QTest::newRow("spaces") << " 3A 7C 19 E5 B0 8D " << startUpKey << "3A7C19E5B08D";
    QTest::newRow("tabs and spaces") << "3a\t7c 19\te5 b08d\t" << startUpKey << "3A7C19E5B08D";
    QTest::newRow("empty") << "" << QByteArray(6, 0x77) << "777777777777";
    QTest::newRow("blanks only") << "  \t " << QByteArray(6, 0x77) << "777777777777";
    QTest::newRow("short") << "ab12" << session::Bytes({0xAB, 0x12, 0x77, 0x77, 0x77, 0x77})
                           << "AB12777777777777";
    QTest::newRow("long") << "0123456789abcdef"
                          << session::Bytes({0x01, 0x23, 0x45, 0x67, 0x89, 0xAB})
                          << "0123456789ABCDEF";
    QTest::newRow("anything after twelve")
        << "ffffffffffff-?xyz" << QByteArray(6, '\xFF') << "FFFFFFFFFFFF-?XYZ";
  }

  // A second DownLoad of what the first one left on the form sends the
  // same key and leaves the text as it is.
  void mifareKey() {
    QFETCH(QString, typed);
    QFETCH(QByteArray, key);
    QFETCH(QString, shownAfter);
    TypeKey(typed);
    for (int round = 0; round < 2; ++round) {
      S().reader->received.clear();
      QVERIFY(S().Press("DownloadButton"));
      QCOMPARE(S().Sent(), 3);
      QCOMPARE(S().Received(2).mid(10 + 10, 6), key);
      QCOMPARE(S().Stored(PageNumber::TypeA).mid(10, 6), key);
      QCOMPARE(S().Shown("MifareKeyEdit"), shownAfter);
      QCOMPARE(S().Description(), session::kSuccess);
    }
  }

  void invalidMifareKey_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("letter after F") << "3A7C19E5B08G";
    QTest::newRow("lower case non-digit") << "3a7c19e5b0gz";
    QTest::newRow("dash inside") << "3A7C-19E5B08D";
    QTest::newRow("short non-digits") << "xyz";
    QTest::newRow("non-ASCII") << QString::fromUtf8("3A7C19E5B08\u00C9");
  }

  // Refused before anything is sent; the same text is no matter under
  // ISO14443B, whose page carries no key.
  void invalidMifareKey() {
    QFETCH(QString, typed);
    TypeKey(typed);
    QVERIFY(S().Press("DownloadButton"));
    QCOMPARE(S().Sent(), 0);
    QCOMPARE(S().Description(), kKeyError);
    QCOMPARE(S().Shown("MifareKeyEdit"), typed);
    QVERIFY(S().IsConnected());
    QVERIFY(S().reader->pages.empty());

    QVERIFY(S().Edit("TypeBRadio"));
    QVERIFY(S().Press("DownloadButton"));
    QCOMPARE(S().Commands(), session::Bytes({0xE1, 0xE2, 0xE2}));
    QCOMPARE(S().StoredPageNumbers(), QList<int>({0, 3}));
    QCOMPARE(S().Description(), session::kSuccess);
    QCOMPARE(S().Shown("MifareKeyEdit"), typed);
  }

  void fixedKeyIsSent() {
    TypeKey("3A7C19E5B08G");
    QVERIFY(S().Press("DownloadButton"));
    QCOMPARE(S().Sent(), 0);
    QVERIFY(S().Edit("MifareKeyEdit=3A7C19E5B08F"));
    QVERIFY(S().Press("DownloadButton"));
    QCOMPARE(S().Sent(), 3);
    QCOMPARE(S().Stored(PageNumber::TypeA).mid(10, 6),
             session::Bytes({0x3A, 0x7C, 0x19, 0xE5, 0xB0, 0x8F}));
    QCOMPARE(S().Description(), session::kSuccess);
  }

  // Once the key is right, a refused unlock must not leave the old key
  // complaint standing as if the key were still wrong.
  void fixedKeyThenRefusedUnlockDropsTheKeyError() {
    TypeKey("3A7C19E5B08G");
    QVERIFY(S().Press("DownloadButton"));
    QVERIFY(S().Edit("MifareKeyEdit=3A7C19E5B08F"));
    S().reader->FailNext(ReaderCommand::Unlock, SimFault::Refuse());
    QVERIFY(S().Press("DownloadButton"));
    QCOMPARE(S().Sent(), 1);
    QVERIFY(S().Description() != kKeyError);
    QVERIFY(S().Description() != session::kSuccess);
  }
};

}  // namespace tavrin

QTEST_MAIN(tavrin::DownloadTest)
#include "DownloadTest.moc"
