// Open settings and Save settings: the dialog's settings in the same TOML
// file tavrin-reader applies, checked by the same rules and told in the same
// words. A file with any mistake changes nothing.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>
#include <QStandardPaths>

#include "config/SettingsFile.h"
#include "form/ConfigDialog.h"
#include "session/Description.h"

namespace tavrin {
namespace {

const QString kFilter = QStringLiteral("Settings files (*.toml);;All files (*)");
const QString kNotOpened = QStringLiteral("The settings were not opened; nothing changed.");
const QString kNotSaved = QStringLiteral("The settings were not saved.");
// A settings file is a few kilobytes; a file chosen by mistake may be huge.
constexpr qint64 kMaxFileBytes = 1 << 20;

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

// The settings as DownLoad would send them, with the key as the reader gets
// it: normalised and twelve digits, so that the file opens again.
Settings AsSent(const Settings& read) {
  Settings sent = Adjusted(read);
  sent.mifareKey = NormalisedMifareKey(sent.mifareKey).substr(0, kMifareKeyChars);
  return sent;
}

// Unbuffered, so that a short write (a full disk) shows here: a buffered
// QSaveFile commits a cut-off file as whole. Writing on after a short write
// gets the system's reason.
bool WriteWhole(QSaveFile& file, const std::string& text) {
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
  for (qint64 done = 0; done < static_cast<qint64>(text.size());) {
    const qint64 wrote = file.write(text.data() + done, static_cast<qint64>(text.size()) - done);
    if (wrote <= 0) return false;
    done += wrote;
  }
  return file.commit();
}

}  // namespace

QString ConfigDialog::AskOpenPath() {
  return QFileDialog::getOpenFileName(this, QString::fromUtf8(kOpenSettingsMenuText),
                                      DocumentsFolder(), kFilter, nullptr, FileDialogOptions());
}

QString ConfigDialog::AskSavePath() {
  const QString suggested = DocumentsFolder() + QStringLiteral("/reader-settings.toml");
  return QFileDialog::getSaveFileName(this, QString::fromUtf8(kSaveSettingsMenuText), suggested,
                                      kFilter, nullptr, FileDialogOptions());
}

void ConfigDialog::ShowFileMessage(const QString& text) {
  QMessageBox box(QMessageBox::Warning, messageTitle_, text, QMessageBox::Ok, this);
  box.exec();
}

void ConfigDialog::OnOpenSettings() {
  const QString path = AskOpenPath();
  if (path.isEmpty()) return;
  QString refusal;
  const std::optional<Settings> settings = SettingsFromFile(path, refusal);
  if (!settings) return ShowFileMessage(refusal + "\n\n" + kNotOpened);
  Show(*settings);
}

std::optional<Settings> ConfigDialog::SettingsFromFile(const QString& path,
                                                       QString& refusal) const {
  const QFileInfo info(path);
  QFile file(path);
  if (info.isDir()) {
    refusal = info.fileName() + ": cannot be read: it is a folder";
    return std::nullopt;
  }
  if (!file.open(QIODevice::ReadOnly)) {
    refusal = info.fileName() + ": cannot be read: " + file.errorString();
    return std::nullopt;
  }
  if (file.size() > kMaxFileBytes) {
    refusal = info.fileName() + QStringLiteral(
                                    ": cannot be read: %1 bytes is too large for a "
                                    "settings file")
                                    .arg(file.size());
    return std::nullopt;
  }
  const QByteArray bytes = file.readAll();
  const ParsedSettings parsed =
      ParseSettings(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                    info.fileName().toStdString());
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
  const Settings read = Read();
  if (!IsValidMifareKey(read.mifareKey))
    return ShowFileMessage(QString::fromUtf8(kMifareKeyErrorText) + "\n\n" + kNotSaved);
  const QString path = AskSavePath();
  if (path.isEmpty()) return;
  // Written beside the old file and put in its place only when whole.
  QSaveFile file(path);
  if (!WriteWhole(file, SettingsFileText(AsSent(read)))) {
    ShowFileMessage(QDir::toNativeSeparators(path) + ": cannot be written: " + file.errorString() +
                    "\n\n" + kNotSaved);
  }
}

}  // namespace tavrin
