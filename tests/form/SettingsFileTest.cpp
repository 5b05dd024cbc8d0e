// Save settings and Open settings: what the dialog saves, tavrin-reader
// applies and another dialog opens gives the reader the same pages as the
// dialog's own DownLoad; a file with any mistake, or one that cannot be
// read or written, changes nothing and says why. The rules engine judges
// saving and opening among its random actions.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "FormDriver.h"
#include "GoldenDownloads.h"
#include "ToolRun.h"
#include "sim/DemoReader.h"
#include "sim/SimHost.h"

#ifndef Q_OS_WIN
#include <sys/resource.h>
#endif

namespace tavrin {
namespace {

// The user's file choices are the test's; the message boxes are noted.
class FileDialog final : public ConfigDialog {
 public:
  using ConfigDialog::ConfigDialog;
  QString path;
  QStringList messages;

  void Save() { HandleWindowCommand(kSaveSettingsCommand); }
  void Open() { HandleWindowCommand(kOpenSettingsCommand); }

 protected:
  QString AskOpenPath() override { return path; }
  QString AskSavePath() override { return path; }
  void ShowFileMessage(const QString& text) override { messages << text; }
};

// A dialog on a reader of every family, connected.
struct Bench {
  SimHost host;
  SimReader& reader = demo::AddDemoReader(host);
  FileDialog dialog{host};

  Bench() {
    dialog.show();
    if (!driver::Click(dialog, ControlId::ConnectButton)) qFatal("no Connect");
  }

  // The pages a DownLoad leaves in the reader; none when it failed.
  std::map<std::uint8_t, std::array<std::uint8_t, kPageSize>> Download() {
    reader.pages.clear();
    if (!driver::Click(dialog, ControlId::DownloadButton)) return {};
    return driver::Description(dialog) == "DownLoad Successed" ? reader.pages
                                                               : decltype(reader.pages){};
  }
};

}  // namespace

class SettingsFileTest : public QObject {
  Q_OBJECT

  QTemporaryDir folder_;

  QString Path(const QString& name) { return folder_.filePath(name); }
  QString Write(const QString& name, const QByteArray& text) {
    QFile file(Path(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) qFatal("no file");
    return file.fileName();
  }

 private slots:
  // For each form whose DownLoad is golden: the dialog's DownLoad,
  // tavrin-reader applying the saved file, and a new dialog's DownLoad after
  // opening it give the reader the same pages.
  void savedSettingsGiveTheSamePagesEverywhere() {
    for (const user::GoldenDownload& golden : user::kGoldenDownloads) {
      Bench first;
      first.dialog.path = Path("round-trip.toml");
      QVERIFY(driver::Edit(first.dialog, golden.edits));
      first.dialog.Save();
      QCOMPARE(first.dialog.messages, QStringList());
      QCOMPARE(driver::Description(first.dialog), "Settings saved to round-trip.toml");
      const auto pages = first.Download();
      QCOMPARE(pages.size(), std::size_t{2});

      SimHost host;
      const SimReader& applied = demo::AddDemoReader(host);
      const cli::Told told = cli::RunTool(host, {"apply", first.dialog.path.toStdString()});
      QVERIFY2(told.status == 0, told.err.c_str());
      QVERIFY(applied.pages == pages);

      Bench second;
      second.dialog.path = first.dialog.path;
      second.dialog.Open();
      QCOMPARE(second.dialog.messages, QStringList());
      QCOMPARE(driver::Description(second.dialog),
               "Settings opened from round-trip.toml; DownLoad writes them into the reader");
      QVERIFY(second.Download() == pages);
      QCOMPARE(second.dialog.Read(), first.dialog.Read());
    }
  }

  // Refused whole, told why in tavrin-reader's words, and nothing changes.
  void mistakesAndUnreadableFilesChangeNothing() {
    Bench bench;
    bench.reader.capabilities = {kFamilyTypeA | kFamilyIso15693, kKindMifare, 0, kKindICodeTagIt};
    QVERIFY(driver::Click(bench.dialog, ControlId::ConnectButton));  // again: the new families
    QVERIFY(driver::Click(bench.dialog, ControlId::ConnectButton));
    QVERIFY(
        driver::Edit(bench.dialog, "OutputDataCheck, CardKind1Check, MifareStartSectorCombo=07"));
    QDir(folder_.path()).mkdir("folder.toml");
    const std::pair<QString, QString> kRefused[] = {
        {Path("folder.toml"), "folder.toml: cannot be read: it is a folder"},
#ifndef Q_OS_WIN
        {"/dev/zero",
         "zero: cannot be read: more than 1048576 bytes is too large for a settings "
         "file"},
#endif
        {Write("mistakes.toml", "snr = 3\n[mifare]\nstart-sector = 64\n"),
         "mistakes.toml:1:7: snr: expected a table, found a number\nmistakes.toml:3:16: "
         "mifare.start-sector: 64 is out of range; allowed: 0 to 63"},
        {Write("typeb.toml", "family = \"iso14443b\"\n"),
         "typeb.toml: family \"iso14443b\" is not one this reader has; it has \"iso14443a\", "
         "\"iso15693\""},
    };
    for (const auto& [path, told] : kRefused) {
      const Settings before = bench.dialog.Read();
      const QString description = driver::Description(bench.dialog);
      bench.dialog.messages.clear();
      bench.dialog.path = path;
      bench.dialog.Open();
      QCOMPARE(bench.dialog.messages.size(), 1);
      QVERIFY2(bench.dialog.messages[0].startsWith(told), qPrintable(bench.dialog.messages[0]));
      QVERIFY(
          bench.dialog.messages[0].endsWith("\n\nThe settings were not opened; nothing changed."));
      QVERIFY(bench.dialog.Read() == before);
      QCOMPARE(driver::Description(bench.dialog), description);
    }
    QCOMPARE(bench.reader.received.size(), std::size_t{4});  // the two Connects' requests only
  }

  // A key DownLoad would refuse is not saved: the file could not be opened
  // again. Under a family that does not send it, the start-up key is.
  void aKeyDownLoadWouldRefuseIsNotSaved() {
    Bench bench;
    bench.dialog.path = Path("never.toml");
    QVERIFY(driver::Edit(bench.dialog, "OutputDataCheck, CardKind1Check, MifareKeyEdit=zz"));
    bench.dialog.Save();
    QCOMPARE(bench.dialog.messages, QStringList({"Mifare Key Error: enter 12 hex digits (0-9, A-F)"
                                                 "\n\nThe settings were not saved."}));
    QVERIFY(!QFile::exists(bench.dialog.path));
    QVERIFY(driver::Edit(bench.dialog, "TypeBRadio"));
    bench.dialog.Save();
    QCOMPARE(bench.dialog.messages.size(), 1);
    QFile file(bench.dialog.path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(
        text.contains("# The dialog held \"zz\", which is no key; iso14443b does not send "
                      "it, so the start-up key stands here.\nkey = \"3A7C19E5B08D\"\n"));
    QCOMPARE(driver::Caption(bench.dialog, ControlId::MifareKeyEdit), QString("zz"));
  }

  // A disk that fills up although part of the file fits leaves the old file
  // as it was.
  void failedWritesSayWhyAndKeepTheOldFile() {
#ifdef Q_OS_WIN
    QSKIP("needs /proc and a POSIX file size limit; see the README on the Windows tests");
#else
    // A file size limit fails the write as a full disk would.
    Bench bench;
    const QString old = Write("old.toml", "family = \"iso15693\"\n");
    bench.dialog.path = old;
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{64, limit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    bench.dialog.Save();
    setrlimit(RLIMIT_FSIZE, &limit);
    QCOMPARE(bench.dialog.messages.size(), 1);
    QVERIFY2(bench.dialog.messages[0].contains("old.toml: cannot be written: File too large"),
             qPrintable(bench.dialog.messages[0]));
    QFile file(old);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("family = \"iso15693\"\n"));
    QCOMPARE(QDir(folder_.path()).entryList({"old.toml*"}, QDir::Files), QStringList{"old.toml"});
#endif
  }
};

}  // namespace tavrin

QTEST_MAIN(tavrin::SettingsFileTest)
#include "SettingsFileTest.moc"
