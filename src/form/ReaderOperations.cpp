// Connect, identify, reset and download: the work behind the three buttons
// at the foot of the dialog. The session talks to the reader; these turn
// what it found into the form's state and texts.
#include <QMessageBox>
#include <array>

#include "form/ConfigDialog.h"
#include "form/FormWidgets.h"
#include "session/Description.h"

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

// The session's texts are ASCII but for the reader's own, which is Latin-1.
QString Shown(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void ConfigDialog::OnConnect() {
  pullBoundText();
  ReaderSearchReport search;
  if (!session_.IsOpen()) {
    search = session_.Open();
  } else {
    session_.Close();
  }
  if (!session_.IsOpen()) {
    ShowDisconnected(search);
  } else {
    descriptionText_ = Shown(kConnectedText);
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
  SetCaption(C::DescriptionText, Shown(DisconnectedText(search)));
  SetCaption(C::ConnectButton, QStringLiteral("Connect"));
  for (ControlId id : kDisabledOnDisconnect) DisableControl(id);
}

void ConfigDialog::IdentifyReader() {
  if (!session_.IsOpen()) return;
  pullBoundText();
  const Identification found = session_.Identify();
  descriptionText_ += Shown(IdentificationText(found));
  if (found.capabilities) ApplyFamilies((*found.capabilities)[0]);
  pushBoundText();
}

void ConfigDialog::ApplyFamilies(std::uint8_t families) {
  for (const CardFamily& family : kCardFamilies) {
    if ((families & family.capabilityBit) == 0) {
      if (IsChecked(family.radio)) CheckOnly(family.fallback);
      continue;
    }
    EnableControl(family.radio);
    NameKindChecks(family);
    if (family.identifyEnablesKindChecks) {
      EnableControl(C::CardKind1Check);
      EnableControl(C::CardKind2Check);
    }
  }
  // The ISO14443A kinds name the checks whenever the reader has that family.
  const CardFamily& typeA = kCardFamilies[0];
  if ((families & typeA.capabilityBit) != 0) NameKindChecks(typeA);
}

// A family of one kind leaves the second check's caption as it is.
void ConfigDialog::NameKindChecks(const CardFamily& family) {
  const std::array kindChecks{C::CardKind1Check, C::CardKind2Check};
  for (std::size_t i = 0; i < family.Kinds().size(); ++i)
    SetCaption(kindChecks[i], QString::fromUtf8(TabCaptionOf(family.kinds[i].panel)));
}

void ConfigDialog::CheckOnly(ControlId familyRadio) {
  for (const CardFamily& family : kCardFamilies)
    SetChecked(family.radio, family.radio == familyRadio);
}

void ConfigDialog::OnReset() {
  if (!session_.IsOpen()) return;
  pullBoundText();
  const ExchangeRecord reset = session_.Reset();
  SetCaption(C::DescriptionText, Shown(ResetText(reset)));
  if (!reset.Accepted()) return;
  OnConnect();
  ShowResetMessage();
}

void ConfigDialog::ShowResetMessage() {
  QMessageBox box(QMessageBox::Warning, messageTitle_,
                  TextLabel::DisplayText(QStringLiteral("Device reset success \r\nand Disconnect")),
                  QMessageBox::Ok, this);
  box.exec();
}

void ConfigDialog::OnDownload() {
  if (!session_.IsOpen()) return;
  HideAllPanels();
  ShowSystemPanel();
  RefreshTabs();
  pullBoundText();
  // Every outcome replaces the description, a failure too: the reader may
  // now hold a new system page beside an old family page.
  descriptionText_ = Shown(DownloadText(session_.Download(*this)));
  pushBoundText();
}

}  // namespace tavrin
