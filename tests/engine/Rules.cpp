#include "Rules.h"

#include <QAbstractButton>
#include <set>

#include "FormDriver.h"

namespace tavrin::engine {
namespace {

using C = ControlId;

// Each family in the dialog's own words.
struct KindWords {
  const char* line;  // in the description when the reader has the kind
  const char* caption;
  const char* panel;
};
struct FamilyWords {
  ControlId radio;
  std::uint8_t bit;       // in the capability reply's family byte
  std::size_t kindsByte;  // the capability byte of its card kinds
  std::uint8_t page;
  ControlId fallback;  // checked instead when the reader lacks the family
  const char* support;
  std::array<KindWords, 2> kinds;  // for kind bits 0 and 1; a null caption: none
};

// clang-format off
const FamilyWords kFamilies[] = {
    {C::TypeARadio, 0x01, 1, 1, C::TypeBRadio, "Device Support ISO14443A\r\n",
     {{{"  Mifare S50/S70 Card\r\n", "Mifare S50/S70", "MifarePanel"},
       {"  UltraLight Card\r\n", "UltraLight", "UltraLightPanel"}}}},
    {C::TypeBRadio, 0x02, 2, 3, C::Iso15693Radio, "Device Support ISO14443B\r\n",
     {{{"  SR176 Card\r\n", "SR176", "Sr176Panel"},
       {"  SRI512/2K/4K/X4K Card\r\n", "SRI512/2K/4K/X4K", "SriPanel"}}}},
    {C::Iso15693Radio, 0x04, 3, 5, C::TypeARadio, "Device Support ISO15693\r\n",
     {{{"  I.Code SLI\r\n  Tag-it HF-I\r\n", "I.Code/Tag-it", "ICodePanel"},
       {nullptr, nullptr, nullptr}}}},
};
// clang-format on

// The end lists a DownLoad raises to their start lists, by family page.
struct Clamp {
  std::uint8_t page;
  const char* start;
  const char* end;
};
const Clamp kClamps[] = {
    {1, "MifareStartSectorCombo", "MifareEndSectorCombo"},
    {1, "UltraLightStartBlockCombo", "UltraLightEndBlockCombo"},
    {3, "Sr176StartBlockCombo", "Sr176EndBlockCombo"},
    {3, "SriStartBlockCombo", "SriEndBlockCombo"},
    {5, "ICodeStartBlockCombo", "ICodeEndBlockCombo"},
};

const QString kSuccess = "DownLoad Successed";
const QString kFailure = "DownLoad Failure.";
const QString kKeyError = "Mifare Key Error: enter 12 hex digits (0-9, A-F)";
const QString kStartUpKey = "3A7C19E5B08D";
constexpr int kMaxDescription = 512;  // every line once comes to about 300

// The key rules themselves are pinned by their own table in tests/assembly.
QString SentKey(const QString& key) {
  return QString::fromStdString(SentMifareKey(key.toStdString()));
}
bool DialogAcceptsKey(const QString& key) { return DialogAcceptsMifareKey(key.toStdString()); }

class Judgement {
 public:
  Judgement(Rig& rig, const Before& before)
      : rig_(rig),
        dialog_(rig.dialog),
        before_(before),
        sent_(rig.tap.log.begin() + static_cast<std::ptrdiff_t>(before.logSize),
              rig.tap.log.end()) {}

  QStringList problems;

  void Expect(bool holds, const QString& what) {
    if (!holds) problems << what;
  }

  bool Open() const { return rig_.reader.opens - rig_.reader.closes == 1; }
  QString Description() const { return driver::Description(dialog_); }
  bool Checked(ControlId id) const { return driver::IsChecked(dialog_, id); }

  const FamilyWords& CheckedFamily() const {
    for (const FamilyWords& family : kFamilies) {
      if (Checked(family.radio)) return family;
    }
    return kFamilies[0];
  }

  QStringList ExpectedTabs() const {
    QStringList tabs{"System Config"};
    if (!rig_.tabsRebuilt) return tabs;
    if (Checked(C::OutputSnrCheck)) tabs << "SNR";
    const FamilyWords& family = CheckedFamily();
    if (Checked(C::CardKind1Check)) tabs << family.kinds[0].caption;
    if (family.kinds[1].caption != nullptr && Checked(C::CardKind2Check))
      tabs << family.kinds[1].caption;
    return tabs;
  }

  QString PanelOfTab(const QString& caption) const {
    if (caption == "System Config") return "SystemPanel";
    if (caption == "SNR") return "SnrPanel";
    for (const FamilyWords& family : kFamilies) {
      for (std::size_t kind = 0; kind < 2; ++kind) {
        if (family.kinds[kind].caption != nullptr && caption == family.kinds[kind].caption)
          return family.kinds[kind].panel;
      }
    }
    return "no panel";
  }

  // The card-kind checks show with data output only (the second not under
  // ISO15693), a block panel the frames of its checked mode only.
  QStringList ShouldShow(Panel panel) const {
    const bool data = Checked(C::OutputDataCheck);
    QStringList names;
    for (ControlId id : PanelMembers(panel)) {
      bool shown = true;
      if (id == C::CardKind1Check) shown = data;
      if (id == C::CardKind2Check) shown = data && !Checked(C::Iso15693Radio);
      if (std::find(kBlockPanels.begin(), kBlockPanels.end(), panel) != kBlockPanels.end()) {
        const bool mode1 = Checked(BlockControl(panel, BlockRole::Mode1Radio));
        for (BlockRole role : {BlockRole::Mode1StartFrame, BlockRole::Mode1EndFrame})
          if (id == BlockControl(panel, role)) shown = mode1;
        for (BlockRole role : {BlockRole::Mode2BlockFrame, BlockRole::Mode2ByteFrame})
          if (id == BlockControl(panel, role)) shown = !mode1;
      }
      if (shown) names << driver::NameOf(id);
    }
    return names;
  }

  void FormRules() {
    int families = 0;
    for (const FamilyWords& family : kFamilies) families += Checked(family.radio);
    Expect(families == 1, QString("%1 family radios checked").arg(families));
    Expect(
        Checked(C::OutputDataCheck) || (!Checked(C::CardKind1Check) && !Checked(C::CardKind2Check)),
        "a card kind checked without data output");

    const QStringList tabs = driver::TabCaptions(dialog_);
    Expect(tabs == ExpectedTabs(), "tabs [" + tabs.join(", ") + "], the choices call for [" +
                                       ExpectedTabs().join(", ") + "]");
    if (rig_.tabsRebuilt) {
      const FamilyWords& family = CheckedFamily();
      for (std::size_t kind = 0; kind < 2; ++kind) {
        const ControlId check = kind == 0 ? C::CardKind1Check : C::CardKind2Check;
        if (family.kinds[kind].caption == nullptr) continue;
        Expect(driver::Caption(dialog_, check) == family.kinds[kind].caption,
               driver::NameOf(check) + " captioned " + driver::Caption(dialog_, check));
      }
    }

    const int current = driver::CurrentTab(dialog_);
    const QString panel = current >= 0 && current < tabs.size() ? PanelOfTab(tabs[current]) : "";
    QStringList onView;
    for (const PanelDef& def : kPanels) {
      QStringList shown;
      for (ControlId id : PanelMembers(def.panel)) {
        if (!driver::Control(dialog_, id)->isHidden()) shown << driver::NameOf(id);
      }
      if (shown.isEmpty()) continue;
      onView << def.name;
      Expect(shown == ShouldShow(def.panel),
             QString(def.name) + " shows [" + shown.join(", ") + "]");
    }
    Expect(onView == QStringList{panel},
           QString("tab %1 selected, panels on view: [%2]").arg(current).arg(onView.join(", ")));
    Expect(driver::Control(dialog_, C::CardKind3Check)->isHidden(), "CardKind3Check on view");
    const QString text = Description();
    Expect(text.size() <= kMaxDescription && !text.contains(QChar(0)), "description " + text);
  }

  void LinkRules() {
    const bool open = Open();
    Expect(rig_.sim.OpenHandles() == (open ? 1 : 0), "handles left open");
    Expect(rig_.keyboard.opens == rig_.keyboard.closes, "the keyboard was left open");
    Expect(driver::Caption(dialog_, C::ConnectButton) == (open ? "Disconnect" : "Connect"),
           "ConnectButton reads " + driver::Caption(dialog_, C::ConnectButton));
    for (ControlId id : {C::OutputSnrCheck, C::OutputDataCheck, C::CardKind1Check,
                         C::CardKind2Check, C::DownloadButton, C::ResetButton}) {
      Expect(driver::IsEnabled(dialog_, id) == open,
             driver::NameOf(id) + (open ? " disabled" : " enabled"));
    }
    Expect(driver::IsEnabled(dialog_, C::PageTabs) == (open || !rig_.tabsRebuilt), "PageTabs");
    for (const FamilyWords& family : kFamilies) {
      const bool enabled = open && (rig_.families & family.bit) != 0;
      Expect(driver::IsEnabled(dialog_, family.radio) == enabled,
             driver::NameOf(family.radio) + (enabled ? " disabled" : " enabled"));
    }
  }

  // Nothing on the wire, the link and the texts as they were but for the
  // description a file command gives; fileMessages message boxes about a file.
  void Quiet(int fileMessages, const QString& description = {}) {
    Expect(sent_.empty(), QString("%1 reports sent").arg(sent_.size()));
    Expect(Open() == before_.open, "the link changed");
    Expect(Description() == (description.isEmpty() ? before_.description : description),
           "description became " + Description());
    Expect(dialog_.resetMessages == before_.resetMessages, "a reset message appeared");
    Expect(dialog_.fileMessages == before_.fileMessages + fileMessages,
           QString("%1 file messages").arg(dialog_.fileMessages - before_.fileMessages));
  }

  // Quiet, and no setting changed but those named.
  void Passive(const std::set<QString>& mayChange, int fileMessages = 0,
               const QString& description = {}) {
    Quiet(fileMessages, description);
    const Settings now = SettingsOf(dialog_);
    for (const auto& [name, value] : now) {
      Expect(value == before_.settings.at(name) || mayChange.contains(name),
             name + " changed to " + value);
    }
  }

  void ClickRules(const Action& action) {
    const ControlId id = TargetOf(action);
    const QString name = driver::NameOf(id);
    std::set<QString> mayChange{name};
    const bool radio = qobject_cast<const QRadioButton*>(driver::Control(dialog_, id)) != nullptr;
    if (radio) {
      Expect(Checked(id), name + " not checked by its click");
      for (const std::vector<ControlId>& set : RadioSets()) {
        if (std::find(set.begin(), set.end(), id) == set.end()) continue;
        for (ControlId member : set) mayChange.insert(driver::NameOf(member));
      }
    } else {
      Expect(Checked(id) != (before_.settings.at(name) == "checked"), name + " did not toggle");
    }
    if (id == C::OutputDataCheck)
      mayChange.insert({driver::NameOf(C::CardKind1Check), driver::NameOf(C::CardKind2Check)});
    Passive(mayChange);
  }

  void SettingsBecome(const Settings& expected) {
    const Settings now = SettingsOf(dialog_);
    for (const auto& [name, value] : expected) {
      Expect(now.at(name) == value, name + " is " + now.at(name) + ", expected " + value);
    }
  }

  // The reader's text from offset 11 to its zero byte, then its families and
  // kinds; an exchange that failed ends the lines with its error.
  QString IdentificationLines() const {
    QString lines;
    if (sent_[0].Accepted()) {
      const ReaderFrame& reply = sent_[0].reply;
      const auto end = std::find(reply.begin() + 11, reply.end(), 0);
      lines +=
          QString::fromLatin1(reinterpret_cast<const char*>(&reply[11]), end - reply.begin() - 11);
      lines += "\r\n";
    }
    if (sent_.size() == 2 && sent_[1].Accepted()) {
      const ReaderFrame& caps = sent_[1].reply;
      for (const FamilyWords& family : kFamilies) {
        if ((caps[11] & family.bit) == 0) continue;
        lines += family.support;
        for (std::size_t kind = 0; kind < 2; ++kind) {
          if (family.kinds[kind].line != nullptr &&
              (caps[11 + family.kindsByte] & (1 << kind)) != 0)
            lines += family.kinds[kind].line;
        }
      }
    }
    for (const Exchange& exchange : sent_) {
      if (!exchange.Completed()) lines += QString("LastError: %1\r\n").arg(exchange.error);
    }
    return lines;
  }

  void Connect() {
    rig_.tabsRebuilt = true;
    Expect(dialog_.resetMessages == before_.resetMessages, "a reset message appeared");
    const bool findable = before_.plugged && before_.openError == 0;
    if (before_.open || !findable) {
      Expect(!Open(), "still connected");
      Expect(sent_.empty(), "Disconnect or a failed search talked to the reader");
      const bool seen = !before_.open && before_.plugged;
      Expect(seen ? Description().startsWith("Device Disconnected\r\nReader found, but ")
                  : Description() == "Device Disconnected",
             "disconnected, description " + Description());
      SettingsBecome(before_.settings);
      rig_.families = 0;
      return;
    }
    Expect(Open(), "not connected to a present reader");
    Expect(!sent_.empty() && sent_[0].Command() == ReaderCommand::Info, "no info request first");
    if (sent_.empty()) return;
    const bool identified = sent_[0].Accepted();
    Expect(sent_.size() == (identified ? 2u : 1u) &&
               (!identified || sent_[1].Command() == ReaderCommand::Capability),
           "capability asked for out of turn");
    Expect(Description() == "Device Connected\r\n" + IdentificationLines(),
           "connected, description " + Description());
    const bool known = sent_.size() == 2 && sent_[1].Accepted();
    rig_.families = known ? sent_[1].reply[11] & 0x07 : 0;
    Settings expected = before_.settings;
    if (known) {
      // A family the reader lacks hands the choice on, A to B to 15693 to A.
      ControlId chosen = C::TypeARadio;
      for (const FamilyWords& family : kFamilies) {
        if (expected.at(driver::NameOf(family.radio)) == "checked") chosen = family.radio;
      }
      for (const FamilyWords& family : kFamilies) {
        if ((rig_.families & family.bit) == 0 && chosen == family.radio) chosen = family.fallback;
      }
      for (const FamilyWords& family : kFamilies)
        expected[driver::NameOf(family.radio)] = family.radio == chosen ? "checked" : "unchecked";
    }
    SettingsBecome(expected);
  }

  // The family's end lists raised to their starts.
  Settings Raised(Settings settings) const {
    const FamilyWords& family = CheckedFamily();
    for (const Clamp& clamp : kClamps) {
      if (clamp.page != family.page) continue;
      const QString start = settings.at(clamp.start);
      QString& end = settings.at(clamp.end);
      if (start.toInt() > end.toInt()) end = start;
    }
    return settings;
  }

  // What writing the family page moves: end lists up to their starts, and
  // the Mifare key into the twelve characters sent.
  Settings AfterDownload() const {
    Settings expected = Raised(before_.settings);
    QString& key = expected.at(driver::NameOf(C::MifareKeyEdit));
    if (CheckedFamily().radio == C::TypeARadio) key = SentKey(key);
    return expected;
  }

  // A save changes nothing on view; what it saved is what opening the file
  // shows: the family's end lists raised, the key as the reader gets it. A
  // key that DownLoad would refuse is not saved under ISO14443A; under the
  // others the start-up key is.
  void SaveFile() {
    const QString key = before_.settings.at(driver::NameOf(C::MifareKeyEdit));
    const bool valid = DialogAcceptsKey(key);
    const bool saves = valid || CheckedFamily().radio != C::TypeARadio;
    Passive({}, saves ? 0 : 1, saves ? "Settings saved to settings.toml" : "");
    if (!saves) return;
    rig_.saved = Raised(before_.settings);
    rig_.saved->at(driver::NameOf(C::MifareKeyEdit)) = valid ? SentKey(key) : kStartUpKey;
  }

  // Opening shows the saved settings, brings the data output and the tabs in
  // line, and sends nothing; with no file saved yet, or connected to a
  // reader without the file's family, it is refused and nothing changes.
  void OpenFile() {
    const FamilyWords* family = nullptr;
    for (const FamilyWords& f : kFamilies) {
      if (rig_.saved && rig_.saved->at(driver::NameOf(f.radio)) == "checked") family = &f;
    }
    if (family == nullptr || (Open() && (rig_.families & family->bit) == 0)) return Passive({}, 1);
    Settings expected = before_.settings;
    const std::set<QString> checks{"CardKind1Check", "CardKind2Check", "OutputDataCheck"};
    for (const auto& [name, value] : *rig_.saved) {
      if (!checks.contains(name)) expected[name] = value;
    }
    for (std::size_t kind = 0; kind < 2 && family->kinds[kind].caption != nullptr; ++kind) {
      const QString check = kind == 0 ? "CardKind1Check" : "CardKind2Check";
      expected[check] = rig_.saved->at(check);
      if (expected[check] == "checked") expected["OutputDataCheck"] = "checked";
    }
    Quiet(0, "Settings opened from settings.toml; DownLoad writes them into the reader");
    SettingsBecome(expected);
    rig_.tabsRebuilt = true;
  }

  void Download() {
    Expect(Open(), "a download closed the link");
    const FamilyWords& family = CheckedFamily();
    if (family.radio == C::TypeARadio &&
        !DialogAcceptsKey(before_.settings.at(driver::NameOf(C::MifareKeyEdit)))) {
      Expect(sent_.empty(), "a key that is no hex number went out");
      Expect(Description() == kKeyError, "invalid key, description " + Description());
      SettingsBecome(before_.settings);
      return;
    }
    Expect(!sent_.empty() && sent_[0].Command() == ReaderCommand::Unlock, "no unlock first");
    if (sent_.empty()) return;
    const bool unlocked = sent_[0].Accepted();
    Expect(sent_.size() == (unlocked ? 3u : 1u), QString("%1 requests sent").arg(sent_.size()));
    if (sent_.size() == 3) {
      Expect(sent_[1].Command() == ReaderCommand::WritePage && sent_[1].PageNumber() == 0,
             "page 0 not written second");
      Expect(sent_[2].Command() == ReaderCommand::WritePage && sent_[2].PageNumber() == family.page,
             "not the checked family's page written last");
    }
    const bool success =
        sent_.size() == 3 &&
        std::all_of(sent_.begin(), sent_.end(), [](const Exchange& e) { return e.Accepted(); });
    QString expected = success ? kSuccess : kFailure;
    for (const Exchange& exchange : sent_) {
      if (success || exchange.Completed()) continue;
      expected += QString("\r\nLastError: %1").arg(exchange.error);
      break;
    }
    Expect(Description() == expected, "download, description " + Description());
    if (success && rig_.storesAsSent) {
      for (const Exchange& write : {sent_[1], sent_[2]}) {
        const auto* stored = rig_.reader.Page(static_cast<PageNumber>(write.PageNumber()));
        Expect(stored != nullptr && std::equal(stored->begin(), stored->end(), &write.request[10]),
               QString("page %1 not stored as sent").arg(write.PageNumber()));
      }
    }
    SettingsBecome(unlocked ? AfterDownload() : before_.settings);
  }

  void Reset() {
    SettingsBecome(before_.settings);
    Expect(sent_.size() == 1 && sent_[0].Command() == ReaderCommand::Reset,
           "a reset is one reset request");
    if (sent_.size() != 1) return;
    const Exchange& reset = sent_[0];
    const bool accepted = reset.Accepted();
    Expect(Open() == !accepted, "the link after a reset");
    Expect(dialog_.resetMessages == before_.resetMessages + (accepted ? 1 : 0), "reset message");
    const QString expected = accepted            ? QString("Device Disconnected")
                             : reset.Completed() ? QString("Device Reset Failure.")
                                                 : QString("LastError: %1").arg(reset.error);
    Expect(Description() == expected, "reset, description " + Description());
    if (accepted) rig_.families = 0;
  }

 private:
  Rig& rig_;
  const RigDialog& dialog_;
  const Before& before_;
  std::vector<Exchange> sent_;
};

}  // namespace

Before Capture(const Rig& rig) {
  return {SettingsOf(rig.dialog),
          driver::Description(rig.dialog),
          rig.reader.opens - rig.reader.closes == 1,
          rig.sim.IsPlugged(rig.reader),
          rig.reader.openError,
          rig.tap.log.size(),
          rig.dialog.resetMessages,
          rig.dialog.fileMessages};
}

QStringList Judge(Rig& rig, const Action& action, bool ran, const Before& before) {
  Judgement judgement(rig, before);
  const bool operation = action.kind == ActionKind::Connect ||
                         action.kind == ActionKind::Download || action.kind == ActionKind::Reset;
  if (!ran || action.kind == ActionKind::SelectTab || action.kind == ActionKind::Unplug) {
    judgement.Passive({});
  } else if (action.kind == ActionKind::Family || action.kind == ActionKind::Click ||
             action.kind == ActionKind::Assist) {
    judgement.ClickRules(action);
  } else if (action.kind == ActionKind::SaveSettings) {
    judgement.SaveFile();
  } else if (action.kind == ActionKind::OpenSettings) {
    judgement.OpenFile();
  } else if (!operation) {
    judgement.Passive({driver::NameOf(TargetOf(action))});
  } else if (action.kind == ActionKind::Connect) {
    judgement.Connect();
  } else if (action.kind == ActionKind::Download) {
    judgement.Download();
  } else {
    judgement.Reset();
  }
  judgement.FormRules();
  judgement.LinkRules();
  return judgement.problems;
}

}  // namespace tavrin::engine
