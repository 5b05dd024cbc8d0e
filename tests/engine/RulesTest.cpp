// The rules of tests/engine applied two ways. A seeded random user makes
// thousands of clicks, tabs, list choices, typed keys, connects, downloads
// and resets against a reader that refuses, loses replies, now and then
// answers with any bytes, disappears and comes back with other card
// families. A failure matrix makes every exchange
// of Connect, DownLoad (each family) and Reset meet every kind of failure
// once, from a golden form where every control of the family is away from
// its default, so that a download has end lists and a key to move.
//
// Replay the walk or run it longer by hand:
//   TAVRIN_WALK_SEED=123 TAVRIN_WALK_STEPS=200000 ./engine_rules randomWalk
// TAVRIN_WALK_SEED=random picks a fresh seed (printed).
#include <QTest>
#include <cerrno>
#include <deque>
#include <memory>
#include <random>
#include <span>
#include <utility>

#include "FormDriver.h"
#include "GoldenDownloads.h"
#include "Rules.h"

namespace tavrin::engine {
namespace {

constexpr std::uint32_t kDefaultSeed = 20261206;
constexpr int kDefaultSteps = 6000;

// Readers that may come back when the reader is plugged in again.
constexpr std::array<std::uint8_t, 4> kReaders[] = {
    {0x07, 0x03, 0x03, 0x01}, {0x01, 0x03, 0x00, 0x00}, {0x02, 0x00, 0x03, 0x00},
    {0x04, 0x00, 0x00, 0x01}, {0x03, 0x01, 0x02, 0x00}, {0x00, 0x00, 0x00, 0x00},
};
// Their identification, a byte past ASCII included.
const char* const kIdentifications[] = {"TAVRIN HID READER V1.22", "READER \xC4 2"};
constexpr ReaderCommand kCommands[] = {ReaderCommand::Info, ReaderCommand::Capability,
                                       ReaderCommand::Unlock, ReaderCommand::WritePage,
                                       ReaderCommand::Reset};
constexpr int kErrors[] = {EIO, ETIMEDOUT, EPIPE};
const char* const kKeys[] = {"a0a1a2a3a4a5",
                             "FF FF FF FF FF FF",
                             "12ab",
                             "",
                             "3A7C 19E5 B08G",
                             "0x1234567890",
                             "  123\t456  789ABC",
                             "ABCDEFGHIJKL",
                             "key \xC3\x84",
                             "3A7C19E5B08D99"};

class Walker {
 public:
  explicit Walker(Rig& rig, std::uint32_t seed) : rig_(rig), random_(seed) {}

  int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
  bool Chance(int percent) { return Pick(100) < percent; }

  // Mostly edits on the form; a disconnected user soon connects, a vanished
  // reader soon comes back.
  Action Next() {
    const bool open = rig_.sim.OpenHandles() > 0;
    const bool plugged = rig_.sim.IsPlugged(rig_.reader);
    const double connect = open ? 2.0 : 20.0, reset = open ? 2.0 : 0.5;
    // In ActionKind's order: Connect to Unplug, then Save, Open and Assist.
    std::discrete_distribution<int> weights{
        connect, 6.0, reset, 8.0, 30.0, 25.0, 20.0, 6.0, plugged ? 1.0 : 20.0, 1.0, 1.0, 8.0};
    const auto kind = static_cast<ActionKind>(weights(random_));
    Action action{kind, Pick(256), Pick(256), QString()};
    if (kind == ActionKind::TypeKey) action.text = kKeys[Pick(std::size(kKeys))];
    if (kind == ActionKind::Unplug && !plugged) {
      rig_.reader.capabilities = kReaders[Pick(std::size(kReaders))];
      rig_.reader.identification = kIdentifications[Pick(std::size(kIdentifications))];
      rig_.reader.openError = Chance(10) ? EACCES : 0;
    }
    ArmFault();
    return action;
  }

  // The firmware answers again, and stores what it is sent.
  void Disarm() {
    rig_.reader.ClearFaults();
    rig_.reader.replyHook = nullptr;
    rig_.storesAsSent = true;
  }

 private:
  // Now and then the next request of some command fails, or the next reply
  // is one the firmware never gives.
  void ArmFault() {
    if (Chance(4)) return ArmStrangeReply();
    if (!Chance(12)) return;
    const int error = kErrors[Pick(std::size(kErrors))];
    const SimFault faults[] = {SimFault::FailSend(error), SimFault::FailRead(error),
                               SimFault::Refuse(Chance(50) ? 0xFF : 0x01)};
    rig_.reader.FailNext(kCommands[Pick(std::size(kCommands))], faults[Pick(std::size(faults))]);
  }

  // Any 65 bytes, or a well-framed reply with any status and payload.
  void ArmStrangeReply() {
    rig_.storesAsSent = false;
    rig_.reader.replyHook = [this, armed = true](const ReaderFrame& request) mutable {
      std::optional<SimOutcome> outcome;
      if (!std::exchange(armed, false)) return outcome;
      ReaderFrame bytes{};
      for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(Pick(256));
      const auto payload = std::span(bytes).first(std::size_t(Pick(kMaxFrameData + 1)));
      outcome = SimOutcome::Reply(
          Chance(50) ? bytes : SimReply(request[kCommandOffset], bytes.back(), payload));
      return outcome;
    };
  }

  Rig& rig_;
  std::mt19937 random_;
};

std::uint32_t Seed() {
  const QByteArray chosen = qgetenv("TAVRIN_WALK_SEED");
  if (chosen == "random") return std::random_device{}();
  return chosen.isEmpty() ? kDefaultSeed : chosen.toUInt();
}

// One request of an operation: the command, and for a page write its page.
struct Step {
  ActionKind operation;
  ReaderCommand command;
  int page;  // -1: any
};

const Step kSteps[] = {
    {ActionKind::Connect, ReaderCommand::Info, -1},
    {ActionKind::Connect, ReaderCommand::Capability, -1},
    {ActionKind::Download, ReaderCommand::Unlock, -1},
    {ActionKind::Download, ReaderCommand::WritePage, 0},
    {ActionKind::Download, ReaderCommand::WritePage, 1},  // page of the chosen family
    {ActionKind::Reset, ReaderCommand::Reset, -1},
};

const SimFault kFaults[] = {SimFault::FailSend(EIO), SimFault::FailRead(ETIMEDOUT),
                            SimFault::Refuse(0x01), SimFault::Refuse(0x80), SimFault::Refuse(0xFF)};

QByteArray Hex(const std::array<std::uint8_t, kPageSize>* page) {
  if (page == nullptr) return "no page";
  return QByteArray(reinterpret_cast<const char*>(page->data()), kPageSize).toHex().toUpper();
}

// Fails the first request that matches step, the firmware's own way; the
// flag tells whether it came.
std::shared_ptr<bool> Arm(SimReader& reader, const Step& step, int familyPage, SimFault fault) {
  const int page = step.page == 1 ? familyPage : step.page;
  auto fired = std::make_shared<bool>(false);
  reader.replyHook = [&reader, step, page, fault, fired](const ReaderFrame& request) {
    const bool matches = request[kCommandOffset] == static_cast<std::uint8_t>(step.command) &&
                         (page < 0 || request[kDataOffset] == page);
    if (matches && !*fired) reader.FailNext(step.command, fault);
    *fired = *fired || matches;
    return std::optional<SimOutcome>();
  };
  return fired;
}

}  // namespace

class RulesTest : public QObject {
  Q_OBJECT

 private:
  // Performs and judges one action; false (with the problems logged) when a rule broke.
  static bool Act(Rig& rig, const Action& action) {
    const Before before = Capture(rig);
    const QStringList problems = Judge(rig, action, Perform(rig, action), before);
    for (const QString& problem : problems) qWarning("%s", qPrintable(problem));
    return problems.isEmpty();
  }

 private slots:
  void randomWalk() {
    const std::uint32_t seed = Seed();
    const int steps = qEnvironmentVariableIsSet("TAVRIN_WALK_STEPS")
                          ? qEnvironmentVariableIntValue("TAVRIN_WALK_STEPS")
                          : kDefaultSteps;
    Rig rig;
    rig.dialog.show();
    Walker walker(rig, seed);
    std::deque<QString> history;
    int successes = 0, keyErrors = 0;
    for (int step = 0; step < steps; ++step) {
      const Action action = walker.Next();
      const Before before = Capture(rig);
      const bool ran = Perform(rig, action);
      history.push_back(Describe(action) + (ran ? "" : " (out of reach)"));
      if (history.size() > 30) history.pop_front();
      const QStringList problems = Judge(rig, action, ran, before);
      walker.Disarm();
      const bool download = ran && action.kind == ActionKind::Download;
      successes += download && driver::Description(rig.dialog) == "DownLoad Successed";
      keyErrors += download && driver::Description(rig.dialog).startsWith("Mifare Key Error");
      if (!problems.isEmpty()) {
        QFAIL(qPrintable(QString("seed %1, step %2: %3\nlast actions:\n%4")
                             .arg(seed)
                             .arg(step)
                             .arg(problems.join("; "))
                             .arg(QStringList(history.begin(), history.end()).join("\n"))));
      }
    }
    QVERIFY2(
        successes > 10 && keyErrors > 2,
        qPrintable(
            QString("%1 downloads went through, %2 met a bad key").arg(successes).arg(keyErrors)));
  }

  void everyExchangeFails_data() {
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("fault");
    for (int step = 0; step < int(std::size(kSteps)); ++step) {
      const bool download = kSteps[step].operation == ActionKind::Download;
      for (int family = 0; family < (download ? 3 : 1); ++family) {
        for (int fault = 0; fault < int(std::size(kFaults)); ++fault) {
          QTest::addRow("step %d, family %d, fault %d", step, family, fault)
              << step << family << fault;
        }
      }
    }
  }

  void everyExchangeFails() {
    QFETCH(int, step);
    QFETCH(int, family);
    QFETCH(int, fault);
    Rig rig;
    rig.dialog.show();
    const Step& failing = kSteps[step];
    if (failing.operation != ActionKind::Connect) {
      QVERIFY(Act(rig, {ActionKind::Connect, 0, 0, {}}));
      QVERIFY(driver::Edit(rig.dialog, user::kGoldenDownloads[3 + family].edits));
    }
    const auto fired = Arm(rig.reader, failing, int(kCardFamilies[family].page), kFaults[fault]);
    QVERIFY(Act(rig, {failing.operation, 0, 0, {}}));
    QVERIFY(*fired);
  }

  void goldenDownload_data() {
    QTest::addColumn<int>("row");
    for (int row = 0; row < int(std::size(user::kGoldenDownloads)); ++row)
      QTest::newRow(user::kGoldenDownloads[row].name) << row;
  }

  // The reader, which refuses a malformed request, stores exactly the two
  // pages; the form shows the end lists and the key as the page holds them.
  void goldenDownload() {
    QFETCH(int, row);
    const user::GoldenDownload& golden = user::kGoldenDownloads[row];
    Rig rig;
    rig.dialog.show();
    QVERIFY(Act(rig, {ActionKind::Connect, 0, 0, {}}));
    QVERIFY(driver::Edit(rig.dialog, golden.edits));
    QVERIFY(Act(rig, {ActionKind::Download, 0, 0, {}}));
    QCOMPARE(driver::Description(rig.dialog), QString("DownLoad Successed"));
    QCOMPARE(int(rig.reader.pages.size()), 2);
    QCOMPARE(Hex(rig.reader.Page(PageNumber(0))), QByteArray(golden.systemPage));
    QCOMPARE(Hex(rig.reader.Page(PageNumber(golden.familyPage))), QByteArray(golden.page));
    for (const QString& shown : QString(golden.shownAfter).split(", ", Qt::SkipEmptyParts))
      QCOMPARE(driver::Caption(rig.dialog, shown.section('=', 0, 0)), shown.section('=', 1));
  }
};

}  // namespace tavrin::engine

QTEST_MAIN(tavrin::engine::RulesTest)
#include "RulesTest.moc"
