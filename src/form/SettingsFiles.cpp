// Open settings and Save settings: the dialog's settings in the same TOML
// file tavrin-reader applies, checked by the same rules and told in the same
// words. A file with any mistake changes nothing; the description box tells
// what a save or an open did.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

#include "config/SettingsFile.h"
#include "config/SettingsStore.h"
#include "form/ConfigDialog.h"
#include "form/Product.h"
#include "session/Description.h"

namespace tavrin {
namespace {

const QString kFilter = QStringLiteral("Settings files (*.toml);;All files (*)");
const QString kNotOpened = QStringLiteral("The settings were not opened; nothing changed.");
const QString kNotSaved = QStringLiteral("The settings were not saved.");

QString DocumentsFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

// Qt's own file dialog on Linux, the system's on Windows.
QFileDialog::Options FileDialogOptions() {
#ifdef Q_OS_WIN
  return {};
#else
  return QFileDialog::DontUseNativeDialog;
#endif
}

QString Quoted(const char* text) { return QStringLiteral("\"%1\"").arg(QString::fromUtf8(text)); }

// "\"iso14443a\", \"iso15693\"", or "none" for a reader that has none.
QString FamilyKeys(const Capabilities& capabilities) {
  QStringList keys;
  for (const SupportedFamily& supported : capabilities.Supported())
    keys << Quoted(supported.family->key);
  return keys.isEmpty() ? QStringLiteral("none") : keys.join(", ");
}

}  // namespace

QString ConfigDialog::AskOpenPath() {
  return QFileDialog::getOpenFileName(this, QString::fromUtf8(kOpenSettingsMenuText),
                                      DocumentsFolder(), kFilter, nullptr, FileDialogOptions());
}

// A name typed without an extension gets ".toml" before the dialog asks
// whether to replace a file of that name.
QString ConfigDialog::AskSavePath() {
  QFileDialog files(this, QString::fromUtf8(kSaveSettingsMenuText), DocumentsFolder(), kFilter);
  files.setOptions(FileDialogOptions());
  files.setAcceptMode(QFileDialog::AcceptSave);
  files.setDefaultSuffix(QStringLiteral("toml"));
  files.selectFile(QStringLiteral("reader-settings.toml"));
  return files.exec() == QDialog::Accepted ? files.selectedFiles().value(0) : QString();
}

void ConfigDialog::ShowFileMessage(const QString& text) {
  QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kProductName), text, QMessageBox::Ok,
                  this);
  box.exec();
}

void ConfigDialog::OnOpenSettings() {
  const QString path = AskOpenPath();
  if (path.isEmpty()) return;
  QString refusal;
  const std::optional<Settings> settings = SettingsFromFile(path, refusal);
  if (!settings) return ShowFileMessage(refusal + "\n\n" + kNotOpened);
  Show(*settings);
  SetDescription("Settings opened from " + QFileInfo(path).fileName() +
                 "; DownLoad writes them into the reader");
}

std::optional<Settings> ConfigDialog::SettingsFromFile(const QString& path,
                                                       QString& refusal) const {
  const QFileInfo info(path);
  const FileResult file = ReadSettingsBytes(path.toStdString());
  if (file.Failed()) {
    refusal = info.fileName() + ": " + QString::fromStdString(file.error);
    return std::nullopt;
  }
  const ParsedSettings parsed = ParseSettings(file.bytes, info.fileName().toStdString());
  QStringList errors;
  for (const std::string& error : parsed.errors) errors << QString::fromStdString(error);
  const CardFamily& family = ChosenFamily(parsed.settings);
  if (errors.isEmpty() && session_.IsOpen() && !(capabilities_ && capabilities_->Has(family))) {
    errors << info.fileName() + ": family " + Quoted(family.key) +
                  " is not one this reader has; it has " +
                  (capabilities_ ? FamilyKeys(*capabilities_) : QStringLiteral("none"));
  }
  refusal = errors.join('\n');
  if (!errors.isEmpty()) return std::nullopt;
  return parsed.settings;
}

void ConfigDialog::OnSaveSettings() {
  // As DownLoad would send them, the key as the reader gets it, so that the
  // file opens again. A key the chosen family does not send is no reason
  // to refuse: the file then holds the start-up key, and says so.
  Settings sent = Adjusted(Read());
  const bool keyAccepted = DialogAcceptsMifareKey(sent.mifareKey);
  if (ChosenFamily(sent).page == PageNumber::TypeA && !keyAccepted)
    return ShowFileMessage(QString::fromUtf8(kMifareKeyErrorText) + "\n\n" + kNotSaved);
  if (keyAccepted) sent.mifareKey = SentMifareKey(sent.mifareKey);
  const QString path = AskSavePath();
  if (path.isEmpty()) return;
  const FileResult written = WriteSettingsText(path.toStdString(), SettingsFileText(sent));
  if (written.Failed()) {
    return ShowFileMessage(QDir::toNativeSeparators(path) + ": " +
                           QString::fromStdString(written.error) + "\n\n" + kNotSaved);
  }
  SetDescription("Settings saved to " + QFileInfo(path).fileName());
}

}  // namespace tavrin
