// Every exchange of every reader operation meets every kind of failure: the
// send fails, the read fails, or the reader refuses with some status. Each
// row checks what the user sees, whether the dialog stays connected, what
// the reader stored, how many reports crossed, and that the user's settings
// survive but for what a download itself moves.
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <memory>
#include <vector>

#include "FormDriver.h"
#include "Harness.h"
#include "config/CardFamilies.h"
#include "config/PageAssembly.h"
#include "form/ConfigDialog.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

using C = ControlId;
using hardening::CountingHost;
using hardening::Settings;

enum class Operation { Connect, Download, Reset };

// One request of an operation; page -1 matches any request of the command.
struct Exchange {
  const char* name;
  ReaderCommand command;
  int page;
};

std::vector<Exchange> ExchangesOf(Operation operation, PageNumber familyPage) {
  switch (operation) {
    case Operation::Connect:
      return {{"info", ReaderCommand::Info, -1}, {"capability", ReaderCommand::Capability, -1}};
    case Operation::Download:
      return {{"unlock", ReaderCommand::Unlock, -1},
              {"page 0", ReaderCommand::WritePage, 0},
              {"family page", ReaderCommand::WritePage, static_cast<int>(familyPage)}};
    case Operation::Reset:
      break;
  }
  return {{"reset", ReaderCommand::Reset, -1}};
}

constexpr int kSendError = EIO;
constexpr int kReadError = ETIMEDOUT;

struct FaultKind {
  const char* name;
  SimFault fault;
};

const FaultKind kFaultKinds[] = {
    {"send fails", SimFault::FailSend(kSendError)}, {"read fails", SimFault::FailRead(kReadError)},
    {"refused 01", SimFault::Refuse(0x01)},         {"refused 80", SimFault::Refuse(0x80)},
    {"refused FF", SimFault::Refuse(0xFF)},
};

const QString kIdentification = "TAVRIN HID READER V1.22";
const QString kMifareKeyTyped = "a0 a1 a2 a3 a4 a5";

// Settings away from the defaults: every output on, the second Mifare and
// SNR choices, and end positions below their starts so that a download has
// something to move.
struct ListChoice {
  ControlId list;
  int index;
};
const ListChoice kListChoices[] = {
    {C::SnrEndKeyCombo, 2},          {C::SnrEndCountCombo, 3},
    {C::MifareStartSectorCombo, 9},  {C::MifareEndSectorCombo, 4},
    {C::MifareStartBlockCombo, 2},   {C::MifareEndBlockCombo, 1},
    {C::MifareStartByteCombo, 7},    {C::MifareEndByteCombo, 3},
    {C::MifareDataEndKeyCombo, 4},   {C::UltraLightStartBlockCombo, 7},
    {C::UltraLightEndBlockCombo, 3}, {C::UltraLightStartByteCombo, 3},
    {C::UltraLightEndByteCombo, 1},  {C::Sr176StartBlockCombo, 5},
    {C::Sr176EndBlockCombo, 2},      {C::SriStartBlockCombo, 8},
    {C::SriEndBlockCombo, 4},        {C::ICodeStartBlockCombo, 10},
    {C::ICodeEndBlockCombo, 6},      {C::ICodeBlockEndCountCombo, 2},
};
const ControlId kCheckedChoices[] = {
    C::OutputSnrCheck,   C::OutputDataCheck,      C::CardKind1Check,   C::CardKind2Check,
    C::SnrLsbFirstRadio, C::SnrDecRadio,          C::SnrCapsLockCheck, C::MifareMode2Radio,
    C::MifareKeyBRadio,  C::UltraLightMode2Radio, C::SriCapsLockCheck, C::ICodeMode2Radio,
};

// What the family page's assembly moves: end lists up to their starts.
struct Clamp {
  ControlId family;
  ControlId endList;
  int movedTo;
};
const Clamp kClamps[] = {
    {C::TypeARadio, C::MifareEndSectorCombo, 9},   {C::TypeARadio, C::UltraLightEndBlockCombo, 7},
    {C::TypeBRadio, C::Sr176EndBlockCombo, 5},     {C::TypeBRadio, C::SriEndBlockCombo, 8},
    {C::Iso15693Radio, C::ICodeEndBlockCombo, 10},
};

QString NameOf(ControlId id) { return driver::NameOf(id); }

const QString kFullDescription =
    "Device Connected\r\n" + kIdentification +
    "\r\nDevice Support ISO14443A\r\n  Mifare S50/S70 Card\r\n  UltraLight Card\r\n"
    "Device Support ISO14443B\r\n  SR176 Card\r\n  SRI512/2K/4K/X4K Card\r\n"
    "Device Support ISO15693\r\n  I.Code SLI\r\n  Tag-it HF-I\r\n";

}  // namespace

class FailureMatrixTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<SimHost> sim_;
  std::unique_ptr<CountingHost> host_;
  std::unique_ptr<ConfigDialog> dialog_;
  SimReader* reader_ = nullptr;
  int messageBoxes_ = 0;
  QTimer boxCloser_;

  ConfigDialog& Dialog() { return *dialog_; }

  void ChooseSettings(ControlId family) {
    for (const CardFamily& f : kCardFamilies)
      driver::SetChecked(Dialog(), f.radio, f.radio == family);
    for (ControlId id : kCheckedChoices) driver::SetChecked(Dialog(), id, true);
    for (ControlId id : {C::SnrMsbFirstRadio, C::SnrHexRadio, C::MifareMode1Radio,
                         C::MifareKeyARadio, C::UltraLightMode1Radio, C::ICodeMode1Radio}) {
      driver::SetChecked(Dialog(), id, false);
    }
    for (const ListChoice& choice : kListChoices)
      driver::Control<QComboBox>(Dialog(), choice.list)->setCurrentIndex(choice.index);
    driver::Type(Dialog(), "MifareKeyEdit", kMifareKeyTyped);
  }

  // Fails the exchange's request once, the firmware's own way.
  void ArmFault(const Exchange& exchange, SimFault fault) {
    auto fired = std::make_shared<bool>(false);
    SimReader& reader = *reader_;
    reader_->replyHook = [=, &reader](const ReaderFrame& request) -> std::optional<SimOutcome> {
      const bool matches = request[kCommandOffset] == static_cast<std::uint8_t>(exchange.command) &&
                           (exchange.page < 0 || request[kDataOffset] == exchange.page);
      if (matches && !*fired) {
        *fired = true;
        reader.FailNext(exchange.command, fault);
      }
      return std::nullopt;
    };
  }

  void ExpectEnabled(bool familiesEnabled) {
    for (ControlId id : {C::PageTabs, C::OutputSnrCheck, C::OutputDataCheck, C::CardKind1Check,
                         C::CardKind2Check, C::DownloadButton, C::ResetButton, C::ConnectButton}) {
      QVERIFY2(driver::IsEnabled(Dialog(), id), qPrintable(NameOf(id)));
    }
    for (const CardFamily& f : kCardFamilies) {
      QVERIFY2(driver::IsEnabled(Dialog(), f.radio) == familiesEnabled,
               qPrintable(NameOf(f.radio)));
    }
  }

 private slots:
  void initTestCase() {
    // Closes any message box as a user would; no failure may raise one.
    connect(&boxCloser_, &QTimer::timeout, this, [this] {
      if (QWidget* box = QApplication::activeModalWidget()) {
        ++messageBoxes_;
        box->close();
      }
    });
    boxCloser_.start(20);
  }

  void init() {
    sim_ = std::make_unique<SimHost>();
    sim_->AddDevice(0x046D, 0xC31C);  // a keyboard listed before the reader
    reader_ = &sim_->AddReader();
    host_ = std::make_unique<CountingHost>(*sim_);
    dialog_ = std::make_unique<ConfigDialog>(*host_);
    dialog_->show();
    dialog_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
    messageBoxes_ = 0;
  }

  void cleanup() {
    dialog_.reset();
    QCOMPARE(sim_->OpenHandles(), 0);
    host_.reset();
    sim_.reset();
  }

  void everyExchangeFails_data() {
    QTest::addColumn<int>("operation");
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("failAt");
    QTest::addColumn<int>("faultKind");
    const auto addRows = [](Operation operation, int family, const QString& prefix) {
      const std::vector<Exchange> exchanges = ExchangesOf(operation, kCardFamilies[family].page);
      for (int at = 0; at < static_cast<int>(exchanges.size()); ++at) {
        for (int kind = 0; kind < static_cast<int>(std::size(kFaultKinds)); ++kind) {
          const QString name =
              QString("%1 %2, %3").arg(prefix, exchanges[at].name, kFaultKinds[kind].name);
          QTest::newRow(qPrintable(name)) << static_cast<int>(operation) << family << at << kind;
        }
      }
    };
    addRows(Operation::Connect, 1, "connect:");
    for (int family = 0; family < 3; ++family) {
      addRows(Operation::Download, family, QString("download %1:").arg(kCardFamilies[family].name));
    }
    addRows(Operation::Reset, 1, "reset:");
  }

  void everyExchangeFails() {
    QFETCH(int, operation);
    QFETCH(int, family);
    QFETCH(int, failAt);
    QFETCH(int, faultKind);
    const auto op = static_cast<Operation>(operation);
    const CardFamily& chosen = kCardFamilies[family];
    const std::vector<Exchange> exchanges = ExchangesOf(op, chosen.page);
    const FaultKind& fault = kFaultKinds[faultKind];
    const bool sendFails = fault.fault.kind == SimFault::Kind::FailSend;
    const bool refused = fault.fault.kind == SimFault::Kind::Refuse;

    ChooseSettings(chosen.radio);
    if (op != Operation::Connect) {
      QVERIFY(driver::Click(Dialog(), C::ConnectButton));
      QCOMPARE(driver::Caption(Dialog(), C::DescriptionText), kFullDescription);
    }
    ArmFault(exchanges[failAt], fault.fault);
    const Settings before = hardening::SnapshotSettings(Dialog());
    const QString descriptionBefore = driver::Caption(Dialog(), C::DescriptionText);
    reader_->received.clear();
    host_->sends = host_->reads = 0;

    const ControlId button = op == Operation::Connect    ? C::ConnectButton
                             : op == Operation::Download ? C::DownloadButton
                                                         : C::ResetButton;
    QVERIFY(driver::Click(Dialog(), button));

    // Requests that reached the reader: all up to the failing one, which a
    // failed send loses; a download still writes the family page after a
    // failed page 0, everything else stops at the failure.
    std::vector<std::uint8_t> expectedCommands;
    for (int at = 0; at < static_cast<int>(exchanges.size()); ++at) {
      const bool continues = op == Operation::Download && failAt == 1;
      if (at > failAt && !continues) break;
      if (at == failAt && sendFails) continue;
      expectedCommands.push_back(static_cast<std::uint8_t>(exchanges[at].command));
    }
    std::vector<std::uint8_t> commands;
    for (const ReaderFrame& frame : reader_->received) commands.push_back(frame[kCommandOffset]);
    QCOMPARE(commands, expectedCommands);
    const int delivered = static_cast<int>(expectedCommands.size());
    QCOMPARE(host_->sends, delivered + (sendFails ? 1 : 0));
    QCOMPARE(host_->reads, delivered);

    // What the user reads.
    QString expected = descriptionBefore;
    const QString lastError =
        QString("LastError: %1")
            .arg(fault.fault.kind == SimFault::Kind::FailSend ? kSendError : kReadError);
    if (op == Operation::Connect) {
      expected = "Device Connected\r\n";
      if (failAt == 1) expected += kIdentification + "\r\n";
      if (!refused) expected += lastError + "\r\n";
    } else if (op == Operation::Reset) {
      expected = refused ? QString("Device Reset Failure.") : lastError;
    } else {
      expected = "DownLoad Failure." + (refused ? QString() : "\r\n" + lastError);
    }
    QCOMPARE(driver::Caption(Dialog(), C::DescriptionText), expected);
    QCOMPARE(messageBoxes_, 0);

    // Still connected, and nothing else switched on or off.
    QCOMPARE(driver::Caption(Dialog(), C::ConnectButton), QString("Disconnect"));
    QCOMPARE(reader_->opens - reader_->closes, 1);
    QCOMPARE(sim_->OpenHandles(), 1);
    ExpectEnabled(op != Operation::Connect);
    QCOMPARE(driver::PanelsOnView(Dialog()), QStringList{"SystemPanel"});

    // What the reader kept: a refused request changes nothing, a lost
    // reply does not undo what the reader did.
    const auto acted = [&](int at) {
      if (at == failAt) return !sendFails && !refused;
      return std::find(expectedCommands.begin(), expectedCommands.end(),
                       static_cast<std::uint8_t>(exchanges[at].command)) != expectedCommands.end();
    };
    const bool downloads = op == Operation::Download;
    QCOMPARE(reader_->unlocked, downloads && acted(0));
    QCOMPARE(reader_->resets, op == Operation::Reset && acted(0) ? 1 : 0);
    std::vector<std::uint8_t> expectedPages;
    if (downloads && acted(1)) expectedPages.push_back(0);
    if (downloads && failAt > 0 && acted(2)) expectedPages.push_back(std::uint8_t(chosen.page));
    std::vector<std::uint8_t> storedPages;
    for (const auto& [number, bytes] : reader_->pages) storedPages.push_back(number);
    QCOMPARE(storedPages, expectedPages);
    const auto sent = hardening::PagesSent(reader_->received);
    for (const auto& [number, bytes] : reader_->pages) QVERIFY(sent.at(number) == bytes);

    // The user's settings: a download that got past the unlock moves the
    // end lists of its family and normalises the key under ISO14443A.
    Settings expectedSettings = before;
    if (downloads && failAt > 0) {
      for (const Clamp& clamp : kClamps) {
        if (clamp.family == chosen.radio) {
          expectedSettings[NameOf(clamp.endList)] = QString::number(clamp.movedTo);
        }
      }
      if (chosen.radio == C::TypeARadio) expectedSettings["MifareKeyEdit"] = "A0A1A2A3A4A5";
    }
    QCOMPARE(hardening::SettingChanges(before, hardening::SnapshotSettings(Dialog())),
             hardening::SettingChanges(before, expectedSettings));

    // Whatever was sent is what the form now shows.
    if (sent.contains(0)) QVERIFY(sent.at(0) == AssembleSystemPage(Dialog()).Bytes());
    const auto familyPage = std::uint8_t(chosen.page);
    if (sent.contains(familyPage)) {
      const ConfigPage page = chosen.radio == C::TypeARadio   ? AssembleTypeAPage(Dialog())
                              : chosen.radio == C::TypeBRadio ? AssembleTypeBPage(Dialog())
                                                              : AssembleIso15693Page(Dialog());
      QVERIFY(sent.at(familyPage) == page.Bytes());
    }
  }
};

}  // namespace tavrin

QTEST_MAIN(tavrin::FailureMatrixTest)
#include "FailureMatrixTest.moc"
