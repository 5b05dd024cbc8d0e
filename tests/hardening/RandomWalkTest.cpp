// A seeded random user: thousands of clicks, tab and list choices, typed
// keys, connects, downloads and resets against a reader that refuses, loses
// replies, disappears and comes back. After every action the form must be
// sound and the action must have done what it says and nothing more.
//
// Replay or run longer by hand:
//   TAVRIN_WALK_SEED=123 TAVRIN_WALK_STEPS=200000 ./hardening_random_walk
// TAVRIN_WALK_SEED=random picks a fresh seed (printed).
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QTest>
#include <cerrno>
#include <deque>
#include <random>
#include <set>

#include "FormDriver.h"
#include "FormInvariants.h"
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

constexpr std::uint32_t kDefaultSeed = 20261206;
constexpr int kDefaultSteps = 3000;
constexpr std::size_t kHistoryLines = 30;

// Records the reset message instead of waiting for the user to close it.
class WalkDialog final : public ConfigDialog {
 public:
  using ConfigDialog::ConfigDialog;
  int resetMessages = 0;

 protected:
  void ShowResetMessage() override { ++resetMessages; }
};

const QString kSuccess = "DownLoad Successed";
const QString kKeyError = "Mifare Key Error: enter 12 hex digits (0-9, A-F)";
const QString kFullDescription =
    "Device Connected\r\nTAVRIN HID READER V1.22\r\n"
    "Device Support ISO14443A\r\n  Mifare S50/S70 Card\r\n  UltraLight Card\r\n"
    "Device Support ISO14443B\r\n  SR176 Card\r\n  SRI512/2K/4K/X4K Card\r\n"
    "Device Support ISO15693\r\n  I.Code SLI\r\n  Tag-it HF-I\r\n";

// Readers that may come back when the reader is plugged in again.
using Capabilities = std::array<std::uint8_t, 4>;
constexpr Capabilities kFullReader{0x07, 0x03, 0x03, 0x01};
constexpr Capabilities kReaders[] = {
    kFullReader,
    {0x01, 0x03, 0x00, 0x00},
    {0x02, 0x00, 0x03, 0x00},
    {0x04, 0x00, 0x00, 0x01},
    {0x03, 0x01, 0x02, 0x00},
    {0x05, 0x02, 0x00, 0x01},
    {0x06, 0x00, 0x01, 0x01},
    {0x00, 0x00, 0x00, 0x00},
};

// An end list a download moves up to its start list.
struct EndClamp {
  ControlId family;
  ControlId start;
  ControlId end;
};
constexpr EndClamp kEndClamps[] = {
    {C::TypeARadio, C::MifareStartSectorCombo, C::MifareEndSectorCombo},
    {C::TypeARadio, C::UltraLightStartBlockCombo, C::UltraLightEndBlockCombo},
    {C::TypeBRadio, C::Sr176StartBlockCombo, C::Sr176EndBlockCombo},
    {C::TypeBRadio, C::SriStartBlockCombo, C::SriEndBlockCombo},
    {C::Iso15693Radio, C::ICodeStartBlockCombo, C::ICodeEndBlockCombo},
};

constexpr ReaderCommand kCommands[] = {ReaderCommand::Info, ReaderCommand::Capability,
                                       ReaderCommand::Unlock, ReaderCommand::WritePage,
                                       ReaderCommand::Reset};
constexpr int kErrors[] = {EIO, ETIMEDOUT, EPIPE, ENODEV};
constexpr Qt::Key kListKeys[] = {Qt::Key_Down, Qt::Key_Up,       Qt::Key_Home,
                                 Qt::Key_End,  Qt::Key_PageDown, Qt::Key_PageUp};

QString Name(ControlId id) { return driver::NameOf(id); }

// The buttons at the foot have actions of their own.
bool IsSetting(ControlKind kind) {
  return kind == ControlKind::CheckBox || kind == ControlKind::RadioButton;
}

const std::vector<ControlId>& RadioSetOf(ControlId radio) {
  static const std::vector<ControlId> none;
  for (const std::vector<ControlId>& set : RadioSets()) {
    if (std::find(set.begin(), set.end(), radio) != set.end()) return set;
  }
  return none;
}

QString Normalised(const QString& key) {
  std::string text = key.toStdString();
  NormaliseMifareKey(text);
  return QString::fromStdString(text);
}

// A fault armed for one action only.
struct Armed {
  bool any = false;
  ReaderCommand command{};
  SimFault fault;
  bool On(ReaderCommand c) const { return any && command == c; }
};

QString Describe(const Armed& armed) {
  if (!armed.any) return {};
  static const char* kinds[] = {"refuse", "send fails", "read fails"};
  return QString(" [next %1 request: %2 %3]")
      .arg(static_cast<int>(armed.command), 2, 16, QChar('0'))
      .arg(kinds[static_cast<int>(armed.fault.kind)])
      .arg(armed.fault.kind == SimFault::Kind::Refuse ? armed.fault.status : armed.fault.error);
}

// What an action is judged against.
struct Before {
  Settings settings;
  QString description;
  bool linkOpen = false;
  bool live = false;
  int sends = 0;
  int reads = 0;
  std::size_t received = 0;
  int resets = 0;
  int messages = 0;
};

class Walk {
 public:
  explicit Walk(std::uint32_t seed)
      : keyboard_(sim_.AddDevice(0x046D, 0xC31C)),
        reader_(sim_.AddReader()),
        host_(sim_),
        dialog_(host_),
        random_(seed) {}

  WalkDialog& Dialog() { return dialog_; }

  // Performs one action; returns what went wrong, empty when nothing did.
  QStringList Step() {
    problems_.clear();
    const Action action = ChooseAction();
    armed_ = ArmFault(action);
    before_ = Capture();
    switch (action) {
      case Action::ClickSetting:
        ClickAnyControl();
        break;
      case Action::Connect:
        ClickButton(C::ConnectButton);
        break;
      case Action::Download:
        ClickButton(C::DownloadButton);
        break;
      case Action::Reset:
        ClickButton(C::ResetButton);
        break;
      case Action::SelectTab:
        SelectAnyTab();
        break;
      case Action::ChooseItem:
        ChooseAnyListItem();
        break;
      case Action::TypeKey:
        TypeAnyKey();
        break;
      case Action::PlugOrUnplug:
        PlugOrUnplug();
        break;
    }
    reader_.ClearFaults();
    CheckLink();
    problems_ << hardening::FormProblems(dialog_, connectPressed_);
    return problems_;
  }

  QString History() const { return QStringList(history_.begin(), history_.end()).join("\n"); }

  // How much of the ground the walk covered.
  int downloads = 0;
  int successes = 0;
  int deepTabs = 0;
  int listChoices = 0;
  int keysTyped = 0;
  int resets = 0;
  int unplugs = 0;
  int connects = 0;

 private:
  void Log(const QString& action) {
    history_.push_back(action + Describe(armed_));
    if (history_.size() > kHistoryLines) history_.pop_front();
  }

  void Expect(bool holds, const QString& what) {
    if (!holds) problems_ << what;
  }

  int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
  bool Chance(int percent) { return Pick(100) < percent; }

  enum class Action {
    ClickSetting,
    Connect,
    Download,
    Reset,
    SelectTab,
    ChooseItem,
    TypeKey,
    PlugOrUnplug
  };

  // The user mostly edits the form and lingers on a card tab; a
  // disconnected user soon connects, a vanished reader soon comes back.
  Action ChooseAction() {
    const bool open = (sim_.OpenHandles() > 0);
    const bool plugged = sim_.IsPlugged(reader_);
    const bool onCardTab = driver::CurrentTab(dialog_) > 0;
    std::discrete_distribution<int> weights{35.0,
                                            open ? 2.0 : 20.0,
                                            5.0,
                                            open ? 2.0 : 0.5,
                                            25.0,
                                            onCardTab ? 40.0 : 20.0,
                                            onCardTab ? 40.0 : 10.0,
                                            plugged ? 1.0 : 20.0};
    return static_cast<Action>(weights(random_));
  }

  // Now and then a request of the coming action fails; more rarely one
  // that the action should not send at all.
  Armed ArmFault(Action action) {
    std::vector<ReaderCommand> commands;
    if (action == Action::Connect) commands = {ReaderCommand::Info, ReaderCommand::Capability};
    if (action == Action::Download) commands = {ReaderCommand::Unlock, ReaderCommand::WritePage};
    if (action == Action::Reset) commands = {ReaderCommand::Reset};
    Armed armed;
    if (!commands.empty() && Chance(25)) {
      armed.command = commands[Pick(commands.size())];
    } else if (Chance(5)) {
      armed.command = kCommands[Pick(std::size(kCommands))];
    } else {
      return armed;
    }
    armed.any = true;
    const int error = kErrors[Pick(std::size(kErrors))];
    static constexpr std::uint8_t kStatuses[] = {0x01, 0x80, 0xFF, 0x04};
    const SimFault faults[] = {SimFault::FailSend(error), SimFault::FailRead(error),
                               SimFault::Refuse(kStatuses[Pick(std::size(kStatuses))])};
    armed.fault = faults[Pick(std::size(faults))];
    reader_.FailNext(armed.command, armed.fault);
    return armed;
  }

  Before Capture() const {
    return {hardening::SnapshotSettings(dialog_),
            driver::Caption(dialog_, C::DescriptionText),
            (sim_.OpenHandles() > 0),
            live_,
            host_.sends,
            host_.reads,
            reader_.received.size(),
            reader_.resets,
            dialog_.resetMessages};
  }

  Settings SettingsNow() const { return hardening::SnapshotSettings(dialog_); }

  // Only the named settings may have changed.
  void ExpectSettingsKept(const std::set<QString>& mayChange = {}) {
    for (const QString& change : hardening::SettingChanges(before_.settings, SettingsNow())) {
      Expect(mayChange.contains(change.section(':', 0, 0)), "setting lost: " + change);
    }
  }

  void ExpectExactSettings(const Settings& expected) {
    const QStringList got = hardening::SettingChanges(before_.settings, SettingsNow());
    const QStringList want = hardening::SettingChanges(before_.settings, expected);
    Expect(got == want,
           QString("settings changed [%1], expected [%2]").arg(got.join("; "), want.join("; ")));
  }

  void ExpectExchanges(int sends, int reads) {
    Expect(host_.sends - before_.sends == sends && host_.reads - before_.reads == reads,
           QString("%1 reports sent and %2 read, expected %3 and %4")
               .arg(host_.sends - before_.sends)
               .arg(host_.reads - before_.reads)
               .arg(sends)
               .arg(reads));
  }

  // A passive action: nothing on the wire, the link and the text as they were.
  void ExpectQuiet(const std::set<QString>& mayChange = {}) {
    ExpectExchanges(0, 0);
    Expect((sim_.OpenHandles() > 0) == before_.linkOpen, "the link changed");
    Expect(driver::Caption(dialog_, C::DescriptionText) == before_.description,
           "description changed to " + driver::Caption(dialog_, C::DescriptionText));
    ExpectSettingsKept(mayChange);
    Expect(dialog_.resetMessages == before_.messages, "a reset message appeared");
  }

  void CheckLink() {
    const bool open = (sim_.OpenHandles() > 0);
    Expect(driver::Caption(dialog_, C::ConnectButton) == (open ? "Disconnect" : "Connect"),
           "ConnectButton reads " + driver::Caption(dialog_, C::ConnectButton));
    Expect(reader_.opens - reader_.closes == (open ? 1 : 0),
           QString("reader opened %1 times, closed %2").arg(reader_.opens).arg(reader_.closes));
    Expect(keyboard_.opens == keyboard_.closes, "another device was left open");
    Expect(sim_.OpenHandles() == (open ? 1 : 0),
           QString("%1 handles open").arg(sim_.OpenHandles()));
    for (ControlId id : {C::OutputSnrCheck, C::OutputDataCheck, C::CardKind1Check,
                         C::CardKind2Check, C::DownloadButton, C::ResetButton}) {
      Expect(driver::IsEnabled(dialog_, id) == open, Name(id) + (open ? " disabled" : " enabled"));
    }
    Expect(driver::IsEnabled(dialog_, C::PageTabs) == (open || !connectPressed_),
           "PageTabs enabled state");
    for (const CardFamily& family : kCardFamilies) {
      const bool enabled = open && (enabledFamilies_ & family.capabilityBit) != 0;
      Expect(driver::IsEnabled(dialog_, family.radio) == enabled,
             Name(family.radio) + (enabled ? " disabled" : " enabled"));
    }
  }

  ControlId CheckedFamily() const {
    for (const CardFamily& family : kCardFamilies) {
      if (driver::IsChecked(dialog_, family.radio)) return family.radio;
    }
    return C::TypeARadio;
  }

  void ClickAnyControl() {
    std::vector<ControlId> visible;
    for (const ControlDef& def : Controls()) {
      if (IsSetting(def.kind) && driver::Control(dialog_, def.id)->isVisible())
        visible.push_back(def.id);
    }
    ClickSetting(visible[Pick(visible.size())]);
  }

  void ClickSetting(ControlId id) {
    const bool enabled = driver::IsEnabled(dialog_, id);
    const bool wasChecked = driver::IsChecked(dialog_, id);
    const bool radio = qobject_cast<QRadioButton*>(driver::Control(dialog_, id)) != nullptr;
    Log("click " + Name(id) + (enabled ? "" : " (disabled)"));
    if (!driver::Click(dialog_, id)) Expect(false, "could not click " + Name(id));
    if (!enabled) {
      ExpectQuiet();
      return;
    }
    std::set<QString> mayChange{Name(id)};
    if (radio) {
      Expect(driver::IsChecked(dialog_, id), Name(id) + " not checked by its click");
      for (ControlId member : RadioSetOf(id)) mayChange.insert(Name(member));
    } else {
      Expect(driver::IsChecked(dialog_, id) != wasChecked, Name(id) + " did not toggle");
    }
    if (id == C::OutputDataCheck)
      mayChange.insert({Name(C::CardKind1Check), Name(C::CardKind2Check)});
    ExpectQuiet(mayChange);
  }

  void ClickButton(ControlId id) {
    Log("click " + Name(id));
    if (!driver::Click(dialog_, id)) Expect(false, "could not click " + Name(id));
    if (id == C::ConnectButton) AfterConnect();
    if (id == C::DownloadButton) AfterDownload();
    if (id == C::ResetButton) AfterReset();
  }

  void AfterConnect() {
    connectPressed_ = true;
    const bool open = (sim_.OpenHandles() > 0);
    const QString text = driver::Caption(dialog_, C::DescriptionText);
    Expect(dialog_.resetMessages == before_.messages, "a reset message appeared");
    if (before_.linkOpen || !sim_.IsPlugged(reader_) || reader_.openError != 0) {
      Expect(!open, "connected");
      Expect(text.startsWith("Device Disconnected"), "description " + text);
      ExpectExchanges(0, 0);
      ExpectSettingsKept();
      live_ = false;
      return;
    }
    ++connects;
    Expect(open, "not connected to a present reader");
    live_ = open;
    Expect(text.startsWith("Device Connected\r\n"), "description " + text);
    if (armed_.On(ReaderCommand::Info) || armed_.On(ReaderCommand::Capability)) {
      enabledFamilies_ = 0;  // no capability reply, no family
      const bool lost = armed_.fault.kind != SimFault::Kind::Refuse;
      Expect(text.endsWith(lost ? QString("\r\nLastError: %1\r\n").arg(armed_.fault.error)
                                : QString("\r\n")),
             "identify failed, description " + text);
      ExpectSettingsKept();
      return;
    }
    ExpectExchanges(2, 2);
    enabledFamilies_ = reader_.capabilities[0] & 0x07;
    if (reader_.capabilities == kFullReader)
      Expect(text == kFullDescription, "description " + text);
    // A family the reader lacks hands the choice on: A to B, B to 15693, 15693 to A.
    ControlId family = before_.settings.at(Name(C::TypeARadio)) == "checked"   ? C::TypeARadio
                       : before_.settings.at(Name(C::TypeBRadio)) == "checked" ? C::TypeBRadio
                                                                               : C::Iso15693Radio;
    for (std::size_t i = 0; i < std::size(kCardFamilies); ++i) {
      const CardFamily& step = kCardFamilies[i];
      if ((enabledFamilies_ & step.capabilityBit) == 0 && family == step.radio) {
        family = kCardFamilies[(i + 1) % std::size(kCardFamilies)].radio;
      }
    }
    Settings expected = before_.settings;
    for (const CardFamily& f : kCardFamilies) {
      expected[Name(f.radio)] = f.radio == family ? "checked" : "unchecked";
    }
    ExpectExactSettings(expected);
  }

  void AfterDownload() {
    Expect(dialog_.resetMessages == before_.messages, "a reset message appeared");
    if (!before_.linkOpen) {
      ExpectQuiet();
      return;
    }
    ++downloads;
    const QString text = driver::Caption(dialog_, C::DescriptionText);
    const ControlId family = CheckedFamily();
    const QString key = before_.settings.at(Name(C::MifareKeyEdit));
    Expect((sim_.OpenHandles() > 0), "a download closed the link");
    if (family == C::TypeARadio && !IsValidMifareKey(key.toStdString())) {
      Expect(text == kKeyError, "invalid key, description " + text);
      ExpectExchanges(0, 0);
      ExpectSettingsKept();
      return;
    }
    const bool unlocked = before_.live && !armed_.On(ReaderCommand::Unlock);
    const bool succeeds = unlocked && !armed_.On(ReaderCommand::WritePage);
    Expect(text == (succeeds ? kSuccess : DownloadFailureText()), "description " + text);
    if (succeeds) {
      ExpectExchanges(3, 3);
      ++successes;
    }
    const std::vector<ReaderFrame> frames(reader_.received.begin() + before_.received,
                                          reader_.received.end());
    const auto sent = hardening::PagesSent(frames);
    const std::uint8_t familyPage = static_cast<std::uint8_t>(PageOf(family));
    if (text == kSuccess) {
      for (std::uint8_t page : {std::uint8_t{0}, familyPage}) {
        const auto* stored = reader_.Page(static_cast<PageNumber>(page));
        Expect(sent.contains(page) && stored != nullptr && *stored == sent.at(page),
               QString("success shown, but page %1 not stored as sent").arg(page));
      }
    }
    Settings expected = before_.settings;
    if (unlocked) ApplyDownloadChanges(family, expected);
    ExpectExactSettings(expected);
    if (sent.contains(0))
      Expect(sent.at(0) == AssembleSystemPage(dialog_).Bytes(), "page 0 != form");
    if (sent.contains(familyPage)) {
      Expect(sent.at(familyPage) == AssembleFamilyPage(family).Bytes(), "family page != form");
    }
  }

  // A vanished reader fails the unlock's send; an armed fault fails its request.
  QString DownloadFailureText() const {
    const QString failure = "DownLoad Failure.";
    if (!before_.live) return failure + QString("\r\nLastError: %1").arg(ENODEV);
    if (armed_.fault.kind == SimFault::Kind::Refuse) return failure;
    return failure + QString("\r\nLastError: %1").arg(armed_.fault.error);
  }

  static PageNumber PageOf(ControlId family) {
    for (const CardFamily& f : kCardFamilies) {
      if (f.radio == family) return f.page;
    }
    return PageNumber::System;
  }

  ConfigPage AssembleFamilyPage(ControlId family) {
    if (family == C::TypeARadio) return AssembleTypeAPage(dialog_);
    if (family == C::TypeBRadio) return AssembleTypeBPage(dialog_);
    return AssembleIso15693Page(dialog_);
  }

  // What assembling the family page moves on the form.
  static void ApplyDownloadChanges(ControlId family, Settings& settings) {
    for (const EndClamp& clamp : kEndClamps) {
      if (clamp.family != family) continue;
      const QString start = settings.at(Name(clamp.start));
      if (start.toInt() > settings.at(Name(clamp.end)).toInt()) settings[Name(clamp.end)] = start;
    }
    if (family == C::TypeARadio) {
      settings[Name(C::MifareKeyEdit)] = Normalised(settings.at(Name(C::MifareKeyEdit)));
    }
  }

  void AfterReset() {
    ExpectSettingsKept();
    if (!before_.linkOpen) {
      ExpectQuiet();
      return;
    }
    ++resets;
    const QString text = driver::Caption(dialog_, C::DescriptionText);
    const bool open = (sim_.OpenHandles() > 0);
    if (!before_.live) {
      Expect(text == QString("LastError: %1").arg(ENODEV), "reset of a vanished reader: " + text);
      Expect(open, "link closed");
      ExpectExchanges(1, 0);
      return;
    }
    if (armed_.On(ReaderCommand::Reset)) {
      const SimFault& fault = armed_.fault;
      const bool refused = fault.kind == SimFault::Kind::Refuse;
      Expect(text == (refused ? QString("Device Reset Failure.")
                              : QString("LastError: %1").arg(fault.error)),
             "failed reset: " + text);
      Expect(open, "a failed reset closed the link");
      Expect(dialog_.resetMessages == before_.messages, "reset message after a failure");
      const bool reached = fault.kind != SimFault::Kind::FailSend;
      Expect(reader_.resets == before_.resets + (reached && !refused ? 1 : 0), "reader resets");
      return;
    }
    Expect(reader_.resets == before_.resets + 1, "the reader was not reset");
    Expect(dialog_.resetMessages == before_.messages + 1, "no reset message");
    Expect(!open, "still connected after a reset");
    Expect(text == "Device Disconnected", "after reset: " + text);
    ExpectExchanges(1, 1);
    live_ = false;
  }

  void SelectAnyTab() {
    const int count = driver::TabCaptions(dialog_).size();
    const int tab = Pick(count);
    Log(QString("select tab %1 of %2").arg(tab).arg(count));
    if (!driver::SelectTab(dialog_, tab)) Expect(false, "tab bar not on view");
    if (tab > 0 && driver::CurrentTab(dialog_) == tab) ++deepTabs;
    ExpectQuiet();
  }

  void ChooseAnyListItem() {
    std::vector<QComboBox*> lists;
    for (const ControlDef& def : Controls()) {
      auto* list = qobject_cast<QComboBox*>(driver::Control(dialog_, def.id));
      if (list != nullptr && list->isVisible() && list->isEnabled()) lists.push_back(list);
    }
    if (lists.empty()) {
      Log("no list on view");
      return;
    }
    QComboBox* list = lists[Pick(lists.size())];
    const int presses = 1 + Pick(3);
    QStringList keys;
    list->setFocus();
    for (int i = 0; i < presses; ++i) {
      const Qt::Key key = kListKeys[Pick(std::size(kListKeys))];
      keys << QKeySequence(key).toString();
      QTest::keyClick(list, key);
    }
    Log(QString("keys %1 in %2").arg(keys.join(" "), list->objectName()));
    ++listChoices;
    Expect(list->view() == nullptr || !list->view()->isVisible(), "a list popped up");
    ExpectQuiet({list->objectName()});
  }

  QString RandomKey() {
    static const char kHex[] = "0123456789abcdefABCDEF";
    static const QString kJunk[] = {"G", "z", "-", "!", "\u00c4", "0x", ":"};
    QString key;
    const int length = Pick(4) == 0 ? Pick(12) : 12 + Pick(3) * Pick(2);
    for (int i = 0; i < length; ++i) {
      key += QChar(kHex[Pick(sizeof kHex - 1)]);
      if (Chance(10)) key += ' ';
    }
    if (Chance(25)) key.insert(Pick(key.size() + 1), kJunk[Pick(std::size(kJunk))]);
    return key;
  }

  void TypeAnyKey() {
    QWidget* edit = driver::Control(dialog_, C::MifareKeyEdit);
    if (!edit->isVisible() || !edit->isEnabled()) {
      SelectAnyTab();  // looks for it
      return;
    }
    const QString key = RandomKey();
    Log("type key \"" + key + "\"");
    driver::Type(dialog_, Name(C::MifareKeyEdit), key);
    ++keysTyped;
    Expect(driver::Caption(dialog_, C::MifareKeyEdit) == key,
           "key field shows " + driver::Caption(dialog_, C::MifareKeyEdit));
    ExpectQuiet({Name(C::MifareKeyEdit)});
  }

  void PlugOrUnplug() {
    if (sim_.IsPlugged(reader_)) {
      Log("unplug the reader");
      sim_.Unplug(reader_);
      live_ = false;
      ++unplugs;
    } else {
      reader_.capabilities = Chance(50) ? kFullReader : kReaders[Pick(std::size(kReaders))];
      reader_.openError = Chance(15) ? EACCES : 0;
      Log(QString("plug in a reader with capabilities %1%2")
              .arg(reader_.capabilities[0])
              .arg(reader_.openError != 0 ? " that may not be opened" : ""));
      sim_.Plug(reader_);
    }
    ExpectQuiet();
  }

  SimHost sim_;
  SimDevice& keyboard_;
  SimReader& reader_;
  CountingHost host_;
  WalkDialog dialog_;
  std::mt19937 random_;

  Armed armed_;
  Before before_;
  QStringList problems_;
  std::deque<QString> history_;
  bool live_ = false;            // open, and the reader not unplugged since
  bool connectPressed_ = false;  // PageTabs is enabled until the first Connect
  std::uint8_t enabledFamilies_ = 0;
};

std::uint32_t SeedFromEnvironment() {
  const QByteArray text = qgetenv("TAVRIN_WALK_SEED");
  if (text.isEmpty()) return kDefaultSeed;
  if (text == "random") return std::random_device{}();
  return text.toUInt();
}

int StepsFromEnvironment() {
  bool ok = false;
  const int steps = qEnvironmentVariableIntValue("TAVRIN_WALK_STEPS", &ok);
  return ok && steps > 0 ? steps : kDefaultSteps;
}

}  // namespace

class RandomWalkTest : public QObject {
  Q_OBJECT

 private slots:
  void randomUser() {
    const std::uint32_t seed = SeedFromEnvironment();
    const int steps = StepsFromEnvironment();
    qInfo("random walk: seed %u, %d steps", seed, steps);
    Walk walk(seed);
    walk.Dialog().show();
    walk.Dialog().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&walk.Dialog()));
    const QStringList start = hardening::FormProblems(walk.Dialog(), false);
    QVERIFY2(start.isEmpty(), qPrintable(start.join("\n")));

    for (int step = 1; step <= steps; ++step) {
      const QStringList problems = walk.Step();
      if (problems.isEmpty()) continue;
      const QString report =
          QString(
              "seed %1, step %2:\n  %3\nlast actions:\n%4\nreplay: TAVRIN_WALK_SEED=%1 "
              "TAVRIN_WALK_STEPS=%2")
              .arg(seed)
              .arg(step)
              .arg(problems.join("\n  "), walk.History());
      QFAIL(qPrintable(report));
    }
    qInfo(
        "covered: %d connects, %d downloads (%d accepted), %d resets, %d unplugs, "
        "%d tabs past the first, %d list choices, %d keys typed",
        walk.connects, walk.downloads, walk.successes, walk.resets, walk.unplugs, walk.deepTabs,
        walk.listChoices, walk.keysTyped);
    if (steps >= kDefaultSteps) {
      QVERIFY(walk.successes > 10 && walk.resets > 10 && walk.unplugs > 5);
      QVERIFY(walk.deepTabs > 100 && walk.listChoices > 100 && walk.keysTyped > 10);
    }
  }
};

}  // namespace tavrin

QTEST_MAIN(tavrin::RandomWalkTest)
#include "RandomWalkTest.moc"
