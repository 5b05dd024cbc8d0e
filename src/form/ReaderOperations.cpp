// Connect, identify, reset, unlock and download: the work behind the three
// buttons at the foot of the dialog.
#include <QMessageBox>
#include <array>

#include "config/PageAssembly.h"
#include "form/ConfigDialog.h"
#include "form/FormWidgets.h"
#include "reader/ReaderFrame.h"

namespace tavrin {
namespace {

using C = ControlId;

// Enabled on Connect and disabled on Disconnect, in this order; the family
// radios are disabled too but enabled only for the families the reader has.
constexpr std::array kDisabledOnDisconnect{
    C::PageTabs,        C::TypeARadio,     C::TypeBRadio,     C::Iso15693Radio,  C::OutputSnrCheck,
    C::OutputDataCheck, C::CardKind1Check, C::CardKind2Check, C::DownloadButton, C::ResetButton};
constexpr std::array kEnabledOnConnect{C::PageTabs,       C::OutputSnrCheck, C::OutputDataCheck,
                                       C::CardKind1Check, C::CardKind2Check, C::DownloadButton,
                                       C::ResetButton};

// One card family as the capability reply reports it.
struct FamilyStep {
  ControlId radio;
  std::uint8_t familyBit;
  const char* supportLine;
  std::size_t kindByte;                  // index into the four capability bytes
  std::array<const char*, 2> kindLines;  // appended for kind bits 0 and 1
  const char* kind1Caption;
  const char* kind2Caption;  // nullptr: left as it is
  bool enablesKindChecks;
  ControlId fallback;  // checked instead when the family is missing but chosen
};

constexpr std::array kFamilySteps{
    FamilyStep{C::TypeARadio,
               kFamilyTypeA,
               "Device Support ISO14443A\r\n",
               1,
               {"  Mifare S50/S70 Card\r\n", "  UltraLight Card\r\n"},
               "Mifare S50/S70",
               "UltraLight",
               true,
               C::TypeBRadio},
    FamilyStep{C::TypeBRadio,
               kFamilyTypeB,
               "Device Support ISO14443B\r\n",
               2,
               {"  SR176 Card\r\n", "  SRI512/2K/4K/X4K Card\r\n"},
               "SR176",
               "SRI512/2K/4K/X4K",
               false,
               C::Iso15693Radio},
    FamilyStep{C::Iso15693Radio,
               kFamilyIso15693,
               "Device Support ISO15693\r\n",
               3,
               {"  I.Code SLI\r\n  Tag-it HF-I\r\n", nullptr},
               "I.Code/Tag-it",
               nullptr,
               false,
               C::TypeARadio},
};

const QString kDownloadSuccess = QStringLiteral("DownLoad Successed");
const QString kKeyError = QStringLiteral("Mifare Key Error: enter 12 hex digits (0-9, A-F)");

QString LastErrorText(int error) { return QStringLiteral("LastError: %1").arg(error); }

// Why a reader that was seen could not be opened, and what to do about it.
QString UnopenableReaderText(const ReaderSearchReport& search) {
  if (search.permissionDenied) {
#ifdef Q_OS_WIN
    return QStringLiteral(
        "Reader found, but access was denied: close other programs "
        "that use it and try again.");
#else
    return QStringLiteral(
        "Reader found, but permission was denied: install the udev rule "
        "(see the README, \"Device access on Linux\").");
#endif
  }
  return QStringLiteral("Reader found, but it could not be opened (error %1).")
      .arg(search.openError);
}

}  // namespace

void ConfigDialog::OnConnect() {
  pullBoundText();
  ReaderSearchReport search;
  if (!link_.IsOpen()) {
    link_.handle = FindReader(link_.host, &search);
  } else {
    CloseReader(link_);
  }
  if (!link_.IsOpen()) {
    ShowDisconnected(search);
  } else {
    descriptionText_ = QStringLiteral("Device Connected\r\n");
    SetCaption(C::ConnectButton, QStringLiteral("Disconnect"));
    for (ControlId id : kEnabledOnConnect) EnableControl(id);
    pushBoundText();
    IdentifyReader();
  }
  HideAllPanels();
  ShowSystemPanel();
  RefreshTabs();
  pullBoundText();
}

void ConfigDialog::ShowDisconnected(const ReaderSearchReport& search) {
  QString text = QStringLiteral("Device Disconnected");
  if (search.readerUnopenable) text += QStringLiteral("\r\n") + UnopenableReaderText(search);
  SetCaption(C::DescriptionText, text);
  SetCaption(C::ConnectButton, QStringLiteral("Connect"));
  for (ControlId id : kDisabledOnDisconnect) DisableControl(id);
}

void ConfigDialog::IdentifyReader() {
  if (!link_.IsOpen()) return;
  ReaderFrame frame{};
  pullBoundText();
  BuildInfoRequest(frame);
  if (AskReader(frame, ReaderCommand::Info)) {
    descriptionText_ += QString::fromLatin1(ReplyIdentification(frame)) + QStringLiteral("\r\n");
    BuildCapabilityRequest(frame);
    if (AskReader(frame, ReaderCommand::Capability)) ApplyCapabilities(ReplyCapabilities(frame));
  }
  pushBoundText();
}

bool ConfigDialog::AskReader(ReaderFrame& frame, ReaderCommand command) {
  if (!ExchangeFrame(link_, frame)) {
    descriptionText_ += LastErrorText(link_.host.LastError()) + QStringLiteral("\r\n");
    return false;
  }
  return ReplyStatus(frame, command) == 0;
}

void ConfigDialog::ApplyCapabilities(const std::array<std::uint8_t, 4>& caps) {
  const std::uint8_t families = caps[0];
  for (const FamilyStep& step : kFamilySteps) {
    if ((families & step.familyBit) == 0) {
      if (IsChecked(step.radio)) CheckOnly(step.fallback);
      continue;
    }
    EnableControl(step.radio);
    descriptionText_ += QString::fromLatin1(step.supportLine);
    for (std::size_t bit = 0; bit < step.kindLines.size(); ++bit) {
      if (step.kindLines[bit] != nullptr && (caps[step.kindByte] & (1u << bit)) != 0)
        descriptionText_ += QString::fromLatin1(step.kindLines[bit]);
    }
    SetCaption(C::CardKind1Check, QString::fromLatin1(step.kind1Caption));
    if (step.kind2Caption != nullptr)
      SetCaption(C::CardKind2Check, QString::fromLatin1(step.kind2Caption));
    if (step.enablesKindChecks) {
      EnableControl(C::CardKind1Check);
      EnableControl(C::CardKind2Check);
    }
  }
  // The ISO14443A kinds name the checks whenever the reader has that family.
  if ((families & kFamilyTypeA) != 0) {
    SetCaption(C::CardKind1Check, QString::fromLatin1(kFamilySteps[0].kind1Caption));
    SetCaption(C::CardKind2Check, QString::fromLatin1(kFamilySteps[0].kind2Caption));
  }
}

void ConfigDialog::CheckOnly(ControlId familyRadio) {
  for (const FamilyStep& step : kFamilySteps) SetChecked(step.radio, step.radio == familyRadio);
}

void ConfigDialog::OnReset() {
  if (!link_.IsOpen()) return;
  ReaderFrame frame{};
  pullBoundText();
  BuildResetRequest(frame);
  if (!ExchangeFrame(link_, frame)) {
    SetCaption(C::DescriptionText, LastErrorText(link_.host.LastError()));
    return;
  }
  if (ReplyStatus(frame, ReaderCommand::Reset) != 0) {
    SetCaption(C::DescriptionText, QStringLiteral("Device Reset Failure."));
    return;
  }
  SetCaption(C::DescriptionText, QStringLiteral("Device Reset Success."));
  OnConnect();
  ShowResetMessage();
}

void ConfigDialog::ShowResetMessage() {
  QMessageBox box(QMessageBox::Warning, messageTitle_,
                  TextLabel::DisplayText(QStringLiteral("Device reset success \r\nand Disconnect")),
                  QMessageBox::Ok, this);
  box.exec();
}

std::uint8_t ConfigDialog::UnlockReader() {
  if (!link_.IsOpen()) return kResultFailed;
  ReaderFrame frame{};
  BuildUnlockRequest(frame);
  if (!ExchangeFrame(link_, frame)) return kResultFailed;
  return ReplyStatus(frame, ReaderCommand::Unlock) == 0 ? kResultOk : kResultFailed;
}

void ConfigDialog::OnDownload() {
  if (!link_.IsOpen()) return;
  HideAllPanels();
  ShowSystemPanel();
  RefreshTabs();
  pullBoundText();
  // What an earlier download reported must not stand for this one.
  if (descriptionText_ == kDownloadSuccess || descriptionText_ == kKeyError)
    descriptionText_.clear();
  // A key that is no hex number would reach the reader as garbage bytes.
  if (IsChecked(C::TypeARadio) && !IsValidMifareKey(mifareKeyText_)) {
    descriptionText_ = kKeyError;
  } else if (UnlockReader() == kResultOk) {
    std::uint8_t result = WriteSystemPage(link_, *this);
    if (IsChecked(C::TypeARadio)) result |= WriteTypeAPage(link_, *this);
    if (IsChecked(C::TypeBRadio)) result |= WriteTypeBPage(link_, *this);
    if (IsChecked(C::Iso15693Radio)) result |= WriteIso15693Page(link_, *this);
    if (result == kResultOk) descriptionText_ = kDownloadSuccess;
  }
  pushBoundText();
}

}  // namespace tavrin
