// Connect, identify, reset and download: the work behind the three buttons
// at the foot of the dialog. The session talks to the reader; these turn
// what it found into the form's state and texts.
#include <QMessageBox>
#include <array>

#include "form/Accessibility.h"
#include "form/ConfigDialog.h"
#include "form/FormWidgets.h"
#include "form/Product.h"
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
  capabilities_.reset();
  ReaderSearchReport search;
  if (!session_.IsOpen()) {
    search = session_.Open();
  } else {
    session_.Close();
  }
  if (!session_.IsOpen()) {
    ShowDisconnected(search);
  } else {
    SetDescription(Shown(kConnectedText));
    SetCaption(C::ConnectButton, QStringLiteral("Disconnect"));
    for (ControlId id : kEnabledOnConnect) EnableControl(id);
    IdentifyReader();
  }
  HideAllPanels();
  ShowSystemPanel();
  RebuildTabList();
}

void ConfigDialog::ShowDisconnected(const ReaderSearchReport& search) {
  SetDescription(Shown(DisconnectedText(search)));
  SetCaption(C::ConnectButton, QStringLiteral("Connect"));
  for (ControlId id : kDisabledOnDisconnect) DisableControl(id);
}

void ConfigDialog::IdentifyReader() {
  if (!session_.IsOpen()) return;
  const Identification found = session_.Identify();
  AppendDescription(Shown(IdentificationText(found)));
  capabilities_ = found.capabilities;
  if (found.capabilities) ApplyFamilies(*found.capabilities);
}

void ConfigDialog::ApplyFamilies(const Capabilities& capabilities) {
  for (const CardFamily& family : kCardFamilies) {
    if (!capabilities.Has(family)) {
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
  if (capabilities.Has(typeA)) NameKindChecks(typeA);
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
  const ExchangeRecord reset = session_.Reset();
  SetDescription(Shown(ResetText(reset)));
  if (!reset.Accepted()) return;
  OnConnect();
  ShowResetMessage();
}

void ConfigDialog::ShowResetMessage() {
  QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kProductName),
                  TextLabel::DisplayText(QStringLiteral("Device reset success \r\nand Disconnect")),
                  QMessageBox::Ok, this);
  box.exec();
}

void ConfigDialog::OnDownload() {
  if (!session_.IsOpen()) return;
  HideAllPanels();
  ShowSystemPanel();
  RebuildTabList();
  const Settings adjusted = Adjusted(Read());
  const DownloadResult result = session_.Download(adjusted);
  // Once unlocked the reader is sent the adjusted settings, and the form
  // shows what it was sent: the raised end positions, the normalised key.
  if (result.unlock && result.unlock->Accepted()) SetControls(adjusted);
  // Every outcome replaces the description, a failure too: the reader may
  // now hold a new system page beside an old family page.
  SetDescription(Shown(DownloadText(result)));
}

// Each new description is news for a screen reader, as is an added line:
// "Device Connected" stays above the reader's identification.
void ConfigDialog::SetDescription(const QString& text) {
  SetCaption(C::DescriptionText, text);
  Announce(this, text, false);
}

void ConfigDialog::AppendDescription(const QString& text) {
  SetCaption(C::DescriptionText, Caption(C::DescriptionText) + text);
  Announce(this, text, true);
}

}  // namespace tavrin
