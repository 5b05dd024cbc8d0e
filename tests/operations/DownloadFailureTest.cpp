// DownLoad when the reader refuses a request or a report gets lost, at each
// of its three exchanges: what still reaches the reader, that no success is
// claimed, that the dialog stays connected and the form keeps its settings.
#include <QTest>
#include <cerrno>
#include <memory>

#include "ReaderSession.h"

namespace tavrin {

namespace {

enum class Step { Unlock, SystemPage, FamilyPage };

struct FaultCase {
  const char* name;
  SimFault fault;
  bool delivered;  // the reader saw the request
  bool acted;      // ... and did what it asked
};

const FaultCase kFaults[] = {
    {"refused", SimFault::Refuse(), true, false},
    {"not sent", SimFault::FailSend(EIO), false, false},
    {"reply lost", SimFault::FailRead(ETIMEDOUT), true, true},
};

}  // namespace

class DownloadFailureTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<session::Session> session_;
  session::Session& S() { return *session_; }

  // The next write-page request after page 0 meets fault.
  void FailFamilyPage(const SimFault& fault) {
    S().host.onReport = [this, fault](const SimDevice&, SimDirection direction,
                                      const ReaderFrame& report) {
      if (direction == SimDirection::Output && report[8] == 0xE2 && report[9] == 0) {
        S().reader->FailNext(ReaderCommand::WritePage, fault);
      }
    };
  }

 private slots:
  void init() {
    session_ = std::make_unique<session::Session>();
    QVERIFY(S().Open());
  }
  void cleanup() { session_.reset(); }

  void failedStep_data() {
    QTest::addColumn<Step>("step");
    QTest::addColumn<SimFault>("fault");
    QTest::addColumn<QString>("family");
    QTest::addColumn<QByteArray>("commands");
    QTest::addColumn<QList<int>>("stored");

    const struct {
      const char* name;
      Step step;
    } steps[] = {
        {"unlock", Step::Unlock}, {"page 0", Step::SystemPage}, {"family page", Step::FamilyPage}};
    const struct {
      const char* radio;
      int page;
    } families[] = {{"TypeARadio", 1}, {"TypeBRadio", 3}};
    for (const auto& step : steps) {
      for (const FaultCase& fault : kFaults) {
        for (const auto& family : families) {
          QByteArray commands = session::Bytes({0xE1, 0xE2, 0xE2});
          QList<int> stored{0, family.page};
          if (step.step == Step::Unlock) {
            commands = fault.delivered ? session::Bytes({0xE1}) : QByteArray();
            stored.clear();
          } else {
            const int failed = step.step == Step::SystemPage ? 1 : 2;
            if (!fault.delivered) commands.remove(failed, 1);
            if (!fault.acted) stored.removeAt(failed - 1);
          }
          QTest::addRow("%s %s, %s", step.name, fault.name, family.radio)
              << step.step << fault.fault << family.radio << commands << stored;
        }
      }
    }
  }

  void failedStep() {
    QFETCH(Step, step);
    QFETCH(SimFault, fault);
    QFETCH(QString, family);
    QFETCH(QByteArray, commands);
    QFETCH(QList<int>, stored);
    QVERIFY(S().Connect());
    // The key is typed last under ISO14443A: clicking that radio puts back
    // the key text of the last transfer.
    QStringList edits{"OutputDataCheck",      "CardKind1Check",
                      "CardKind2Check",       "TypeBRadio",
                      "SriEndBlockCombo=042", "SnrEndKeyCombo=Tab",
                      "TypeARadio",           "MifareKeyEdit=ab cd ef 01 23 45"};
    if (family != "TypeARadio") edits << family;
    QVERIFY(S().EditAll(edits));
    const QString before = S().Description();
    if (step == Step::Unlock) S().reader->FailNext(ReaderCommand::Unlock, fault);
    if (step == Step::SystemPage) S().reader->FailNext(ReaderCommand::WritePage, fault);
    if (step == Step::FamilyPage) FailFamilyPage(fault);

    QVERIFY(S().Press("DownloadButton"));
    QCOMPARE(S().Commands(), commands);
    QCOMPARE(S().StoredPageNumbers(), stored);
    QCOMPARE(S().Description(), before);
    QVERIFY(!S().dialog->DescriptionValue().contains(session::kSuccess));
    QVERIFY(S().IsConnected());
    QCOMPARE(S().CheckedFamilies(), QStringList{family});
    QVERIFY(S().IsChecked("CardKind1Check") && S().IsChecked("CardKind2Check"));
    QCOMPARE(S().Shown("SnrEndKeyCombo"), QString("Tab"));
    QCOMPARE(S().Shown("SriEndBlockCombo"), QString("042"));
    // The key is normalised only where the ISO14443A page was assembled.
    const bool keyAssembled = family == "TypeARadio" && step != Step::Unlock;
    QCOMPARE(S().Shown("MifareKeyEdit"),
             QString(keyAssembled ? "ABCDEF012345" : "ab cd ef 01 23 45"));

    // Once the reader answers again, the same form goes through.
    S().host.onReport = nullptr;
    S().reader->received.clear();
    QVERIFY(S().Press("DownloadButton"));
    QCOMPARE(S().Commands(), session::Bytes({0xE1, 0xE2, 0xE2}));
    QCOMPARE(S().Description(), session::kSuccess);
  }

  // The text an earlier DownLoad left must not speak for this one.
  void failureAfterASuccessClaimsNothing() {
    QVERIFY(S().Connect());
    QVERIFY(S().Press("DownloadButton"));
    QCOMPARE(S().Description(), session::kSuccess);
    S().reader->FailNext(ReaderCommand::WritePage, SimFault::Refuse());
    QVERIFY(S().Press("DownloadButton"));
    QCOMPARE(S().Sent(), 6);
    QVERIFY(S().Description() != session::kSuccess);
    QVERIFY(S().IsConnected());
  }

  // The reader's own refusal: another access code.
  void unlockRefusedForAnotherCode() {
    QVERIFY(S().Connect());
    S().reader->accessCode = {1, 2, 3, 4};
    const QString before = S().Description();
    QVERIFY(S().Press("DownloadButton"));
    QCOMPARE(S().Commands(), session::Bytes({0xE1}));
    QVERIFY(!S().reader->unlocked);
    QCOMPARE(S().Description(), before);
    QVERIFY(S().IsConnected());
  }

  void readerGoneDuringDownload() {
    QVERIFY(S().Connect());
    S().host.Unplug(*S().reader);
    const QString before = S().Description();
    QVERIFY(S().Press("DownloadButton"));
    QCOMPARE(S().Sent(), 0);
    QCOMPARE(S().Description(), before);
    QCOMPARE(S().Shown("ConnectButton"), QString("Disconnect"));
    QVERIFY(S().Press("ConnectButton"));
    QVERIFY(S().IsDisconnected());
  }
};

}  // namespace tavrin

QTEST_MAIN(tavrin::DownloadFailureTest)
#include "DownloadFailureTest.moc"
