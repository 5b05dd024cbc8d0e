// Connect and Disconnect clicked through the dialog: what the description
// says for each kind of reader, which families become selectable, which one
// ends checked, the tabs, and every report that reaches the reader.
#include <QCoreApplication>
#include <QTest>
#include <cerrno>
#include <memory>

#include "ReaderSession.h"

namespace tavrin {

using session::kConnectedLine;
using session::kDisconnected;
using session::Lines;
using Caps = std::array<std::uint8_t, 4>;

class ConnectTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<session::Session> session_;
  session::Session& S() { return *session_; }
  QString Identification() { return QString::fromStdString(S().reader->identification); }

  // Chooses card data with both kinds and the family on a fully capable
  // reader, then disconnects: the form a later Connect starts from.
  void ChooseFamilyThenDisconnect(const QString& family) {
    QVERIFY(S().Press("ConnectButton"));
    QVERIFY(S().EditAll({"OutputDataCheck", "CardKind1Check", "CardKind2Check", family}));
    QVERIFY(S().IsChecked(family));
    QVERIFY(S().Press("ConnectButton"));
    QVERIFY(S().IsDisconnected());
  }

 private slots:
  void init() {
    session_ = std::make_unique<session::Session>();
    QVERIFY(S().Open());
  }
  void cleanup() { session_.reset(); }

  void connectAsksForInfoThenCapabilities() {
    QVERIFY(S().Press("ConnectButton"));
    QCOMPARE(S().Commands(), session::Bytes({0xF1, 0xE0}));
    const QByteArray info = S().Received(0);
    QCOMPARE(info.left(11),
             session::Bytes({0, 0xAA, 0xAA, 0xAA, 0x96, 0x69, 0, 3, 0xF1, 0xFF, 0x0D}));
    QCOMPARE(info.mid(11), QByteArray(kReportSize - 11, '\0'));
    QCOMPARE(S().Received(1).left(11),
             session::Bytes({0, 0xAA, 0xAA, 0xAA, 0x96, 0x69, 0, 3, 0xE0, 0xFF, 0x1C}));
    QCOMPARE(S().reader->reads, 2);
  }

  void capabilities_data() {
    QTest::addColumn<Caps>("caps");
    QTest::addColumn<QString>("chosen");  // empty: straight from start-up
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<QStringList>("kindCaptions");
    QTest::addColumn<QStringList>("tabs");

    const QString a = "Device Support ISO14443A", b = "Device Support ISO14443B",
                  iso = "Device Support ISO15693";
    const QStringList typeATabs{"System Config", "SNR", "Mifare S50/S70", "UltraLight"};
    const QStringList typeACaptions{"Mifare S50/S70", "UltraLight"};
    QTest::newRow("every family and kind")
        << Caps{0x07, 0x03, 0x03, 0x01} << ""
        << QStringList{a,   "  Mifare S50/S70 Card", "  UltraLight Card",
                       b,   "  SR176 Card",          "  SRI512/2K/4K/X4K Card",
                       iso, "  I.Code SLI",          "  Tag-it HF-I"}
        << session::kFamilyRadios << "TypeARadio" << typeACaptions
        << QStringList{"System Config", "SNR"};
    QTest::newRow("ISO14443B only, ISO14443A chosen")
        << Caps{0x02, 0x00, 0x03, 0x00} << "TypeARadio"
        << QStringList{b, "  SR176 Card", "  SRI512/2K/4K/X4K Card"} << QStringList{"TypeBRadio"}
        << "TypeBRadio" << QStringList{"SR176", "SRI512/2K/4K/X4K"}
        << QStringList{"System Config", "SNR", "SR176", "SRI512/2K/4K/X4K"};
    for (const char* chosen : {"", "TypeBRadio", "Iso15693Radio"}) {
      QTest::addRow("no family, %s chosen", *chosen ? chosen : "start-up")
          << Caps{0x00, 0x03, 0x03, 0x01} << chosen << QStringList{} << QStringList{}
          << "TypeARadio" << typeACaptions
          << (*chosen ? typeATabs : QStringList{"System Config", "SNR"});
    }
    QTest::newRow("ISO14443A with UltraLight only")
        << Caps{0x01, 0x02, 0x00, 0x00} << "" << QStringList{a, "  UltraLight Card"}
        << QStringList{"TypeARadio"} << "TypeARadio" << typeACaptions
        << QStringList{"System Config", "SNR"};
    QTest::newRow("ISO15693 only, ISO14443A at start-up")
        << Caps{0x04, 0x00, 0x00, 0x01} << "" << QStringList{iso, "  I.Code SLI", "  Tag-it HF-I"}
        << QStringList{"Iso15693Radio"} << "Iso15693Radio" << QStringList{"I.Code/Tag-it", ""}
        << QStringList{"System Config", "SNR"};
    QTest::newRow("ISO14443B SRI and ISO15693 without kinds, ISO15693 chosen")
        << Caps{0x06, 0x00, 0x02, 0x00} << "Iso15693Radio"
        << QStringList{b, "  SRI512/2K/4K/X4K Card", iso}
        << QStringList{"TypeBRadio", "Iso15693Radio"} << "Iso15693Radio"
        << QStringList{"I.Code/Tag-it", "SRI512/2K/4K/X4K"}
        << QStringList{"System Config", "SNR", "I.Code/Tag-it"};
  }

  void capabilities() {
    QFETCH(Caps, caps);
    QFETCH(QString, chosen);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, enabled);
    QFETCH(QString, checked);
    QFETCH(QStringList, kindCaptions);
    QFETCH(QStringList, tabs);
    if (!chosen.isEmpty()) ChooseFamilyThenDisconnect(chosen);
    S().reader->capabilities = caps;
    S().reader->received.clear();

    QVERIFY(S().Press("ConnectButton"));
    const QString expected = Lines(QStringList{kConnectedLine, Identification()} + lines);
    QCOMPARE(S().Description(), expected);
    QCOMPARE(S().EnabledFamilies(), enabled);
    QCOMPARE(S().CheckedFamilies(), QStringList{checked});
    QCOMPARE(S().Shown("CardKind1Check"), kindCaptions[0]);
    QCOMPARE(S().Shown("CardKind2Check"), kindCaptions[1]);
    QCOMPARE(driver::TabCaptions(*S().dialog), tabs);
    QCOMPARE(driver::CurrentTab(*S().dialog), 0);
    QCOMPARE(driver::PanelsOnView(*S().dialog), QStringList{"SystemPanel"});
    QVERIFY(S().IsConnected());
    QCOMPARE(S().Commands(), session::Bytes({0xF1, 0xE0}));
  }

  void identifyFailures_data() {
    QTest::addColumn<ReaderCommand>("command");
    QTest::addColumn<SimFault>("fault");
    QTest::addColumn<QString>("tail");  // after the connected line; %1: identification
    QTest::addColumn<int>("received");

    QTest::newRow("info refused") << ReaderCommand::Info << SimFault::Refuse() << "" << 1;
    QTest::newRow("info not sent")
        << ReaderCommand::Info << SimFault::FailSend(EIO) << "LastError: 5\r\n"
        << 0;
    QTest::newRow("info reply lost")
        << ReaderCommand::Info << SimFault::FailRead(ETIMEDOUT) << "LastError: 110\r\n"
        << 1;
    QTest::newRow("capabilities refused")
        << ReaderCommand::Capability << SimFault::Refuse(0x02) << "%1\r\n"
        << 2;
    QTest::newRow("capabilities not sent")
        << ReaderCommand::Capability << SimFault::FailSend(EIO) << "%1\r\nLastError: 5\r\n"
        << 1;
    QTest::newRow("capabilities reply lost")
        << ReaderCommand::Capability << SimFault::FailRead(ETIMEDOUT) << "%1\r\nLastError: 110\r\n"
        << 2;
  }

  // The reader stays connected with what was gathered; no family is
  // selectable and the start-up family stays checked.
  void identifyFailures() {
    QFETCH(ReaderCommand, command);
    QFETCH(SimFault, fault);
    QFETCH(QString, tail);
    QFETCH(int, received);
    S().reader->FailNext(command, fault);
    QVERIFY(S().Press("ConnectButton"));
    const QString filled = tail.contains("%1") ? tail.arg(Identification()) : tail;
    QCOMPARE(S().Description(), "Device Connected\r\n" + filled);
    QCOMPARE(S().Sent(), received);
    QVERIFY(S().IsConnected());
    QCOMPARE(S().EnabledFamilies(), QStringList{});
    QCOMPARE(S().CheckedFamilies(), QStringList{"TypeARadio"});
  }

  void disconnectSendsNothing() {
    QVERIFY(S().Connect());
    const int reads = S().reader->reads;
    QVERIFY(S().Press("ConnectButton"));
    QCOMPARE(S().Sent(), 0);
    QCOMPARE(S().reader->reads, reads);
    QCOMPARE(S().reader->closes, 1);
    QCOMPARE(S().Description(), kDisconnected);
    QVERIFY(S().IsDisconnected());
    QCOMPARE(S().CheckedFamilies(), QStringList{"TypeARadio"});
    QCOMPARE(driver::TabCaptions(*S().dialog), QStringList({"System Config", "SNR"}));

    // Greyed buttons do nothing; Connect starts afresh.
    QVERIFY(S().Press("DownloadButton"));
    QVERIFY(S().Press("ResetButton"));
    QCOMPARE(S().Sent(), 0);
    QVERIFY(S().Press("ConnectButton"));
    QCOMPARE(S().Commands(), session::Bytes({0xF1, 0xE0}));
    QVERIFY(S().Description().startsWith("Device Connected\r\n" + Identification() + "\r\n"));
    QCOMPARE(S().Description().count(kConnectedLine), 1);
  }

  void formClicksAndIdleTimeSendNothing() {
    QVERIFY(S().Connect());
    QVERIFY(S().EditAll({"OutputDataCheck", "CardKind1Check", "CardKind2Check",
                         "MifareKeyEdit=FFFFFFFFFFFF", "SnrLsbFirstRadio", "TypeBRadio",
                         "Sr176Mode2Radio", "SriEndBlockCombo=100", "Iso15693Radio"}));
    QVERIFY(driver::SelectTab(*S().dialog, 0));
    QCoreApplication::processEvents();
    QCOMPARE(S().Sent(), 0);
    QCOMPARE(S().reader->reads, 2);
  }

  void noReader_data() {
    QTest::addColumn<bool>("otherDevice");
    QTest::newRow("nothing attached") << false;
    QTest::newRow("another HID device") << true;
  }

  void noReader() {
    QFETCH(bool, otherDevice);
    session_ = std::make_unique<session::Session>(false);
    SimDevice* other = otherDevice ? &S().host.AddDevice(0x046D, 0xC31C) : nullptr;
    QVERIFY(S().Open());
    QVERIFY(S().Press("ConnectButton"));
    QCOMPARE(S().Description(), kDisconnected);
    QVERIFY(S().IsDisconnected());
    if (other != nullptr) QVERIFY(other->received.empty());
  }

  void unopenableReader_data() {
    QTest::addColumn<int>("error");
    QTest::addColumn<QStringList>("mentions");
    QTest::newRow("permission denied") << EACCES << QStringList{"udev rule", "README"};
    QTest::newRow("not permitted") << EPERM << QStringList{"udev rule", "README"};
    QTest::newRow("busy") << EBUSY << QStringList{QString::number(EBUSY)};
  }

  void unopenableReader() {
    QFETCH(int, error);
    QFETCH(QStringList, mentions);
    S().reader->openError = error;
    QVERIFY(S().Press("ConnectButton"));
    QVERIFY(S().IsDisconnected());
    const QStringList lines = S().Description().split("\r\n");
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], kDisconnected);
    for (const QString& mention : mentions)
      QVERIFY2(lines[1].contains(mention), qPrintable(lines[1]));
  }

  void unopenableReaderBeforeAWorkingOne() {
    S().reader->openError = EACCES;
    SimReader& second = S().host.AddReader();
    QVERIFY(S().Press("ConnectButton"));
    QVERIFY(S().IsConnected());
    QVERIFY(S().Description().startsWith("Device Connected\r\n"));
    QCOMPARE(int(second.received.size()), 2);
  }
};

}  // namespace tavrin

QTEST_MAIN(tavrin::ConnectTest)
#include "ConnectTest.moc"
