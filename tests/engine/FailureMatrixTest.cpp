// Every exchange of Connect, DownLoad (each family) and Reset meets every
// kind of failure once: the send fails, the read fails, or the reader
// refuses with some status. The rules judge each case, from a form set away
// from its defaults so that a download has end lists and a key to move.
#include <QTest>
#include <cerrno>
#include <memory>

#include "FormDriver.h"
#include "Rules.h"

namespace tavrin::engine {
namespace {

using C = ControlId;

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

const char* const kChecked[] = {"OutputDataCheck",  "CardKind1Check",   "CardKind2Check",
                                "SnrLsbFirstRadio", "SnrCapsLockCheck", "MifareKeyBRadio"};
const std::pair<const char*, int> kItems[] = {
    {"MifareStartSectorCombo", 9},  {"MifareEndSectorCombo", 4}, {"UltraLightStartBlockCombo", 7},
    {"UltraLightEndBlockCombo", 3}, {"Sr176StartBlockCombo", 5}, {"Sr176EndBlockCombo", 2},
    {"SriStartBlockCombo", 8},      {"SriEndBlockCombo", 4},     {"ICodeStartBlockCombo", 10},
    {"ICodeEndBlockCombo", 6},      {"SnrEndKeyCombo", 2},       {"MifareDataEndKeyCombo", 4},
};

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

class FailureMatrixTest : public QObject {
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
    for (const char* name : kChecked)
      driver::Find<QAbstractButton>(rig.dialog, name)->setChecked(true);
    for (const auto& [name, index] : kItems)
      driver::Find<QComboBox>(rig.dialog, name)->setCurrentIndex(index);
    driver::Type(rig.dialog, "MifareKeyEdit", "a0 a1 a2 a3 a4 a5");
    const Step& failing = kSteps[step];
    if (failing.operation != ActionKind::Connect) {
      QVERIFY(Act(rig, {ActionKind::Connect, 0, 0, {}}));
      QVERIFY(Act(rig, {ActionKind::Family, family, 0, {}}));
    }
    const auto fired = Arm(rig.reader, failing, int(kCardFamilies[family].page), kFaults[fault]);
    QVERIFY(Act(rig, {failing.operation, 0, 0, {}}));
    QVERIFY(*fired);
  }
};

}  // namespace tavrin::engine

QTEST_MAIN(tavrin::engine::FailureMatrixTest)
#include "FailureMatrixTest.moc"
