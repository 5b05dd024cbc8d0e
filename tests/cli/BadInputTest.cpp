// The bad inputs a new user met, one row each: the command line and the
// files it needs, the exit status and what is told, and that no reader
// received anything where nothing may be sent.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "ToolRun.h"
#include "cli/demo/HeldPages.h"
#include "config/SettingsFile.h"
#include "sim/DemoReader.h"
#include "sim/SimHost.h"

namespace tavrin::cli {
namespace {

#define EXPECT_HAS(text, part) EXPECT_PRED_FORMAT2(::testing::IsSubstring, part, text)

constexpr const char* kTypeB = "family = \"iso14443b\"\n[sri]\noutput = true\n";

std::string WithKey(const std::string& key) {
  return "family = \"iso14443a\"\n[mifare]\nkey = \"" + key + "\"\n";
}

// text in UTF-16 with its byte-order mark, lines ended by CR LF as Windows
// PowerShell 5.1's ">" writes them; text is ASCII.
std::string Utf16(const std::string& text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char c : text) {
    if (c == '\n') bytes += bigEndian ? std::string("\0\r", 2) : std::string("\r\0", 2);
    bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
  }
  return bytes;
}

struct Row {
  const char* hazard;
  std::vector<std::string> args;
  std::vector<std::pair<std::string, std::string>> files;  // name, bytes
  int status;
  std::vector<std::string> told;  // parts of "status|out|err|"
  bool mayWrite = false;          // whether a reader may be sent anything
  int readers = 1;
  FullStream full = FullStream::None;
};

// Built when the test runs, not when the program starts: one row is 50 MB.
std::vector<Row> Rows() {
  const std::string fifty(50'000'000, 'a');
  return {
      {"an empty file configures every reader with the start-up values",
       {"apply", "--all", "bad-empty.toml"},
       {{"bad-empty.toml", ""}},
       2,
       {"2||bad-empty.toml: family: missing; every settings file names its card family: "
        "\"iso14443a\", \"iso14443b\" or \"iso15693\". Start from the file \"tavrin-reader "
        "template\" writes.\nNothing was sent to any reader.\n|"},
       false,
       3},
      {"a file without family does too, and every mistake is told with the missing family",
       {"apply", "--all", "bad-no-family.toml"},
       {{"bad-no-family.toml", "[snr]\nend-key = \"tab\"\nend-count = 0\n"}},
       2,
       {"2||bad-no-family.toml:3:13: snr.end-count: 0 is out of range; allowed: 1 to 10\n"
        "bad-no-family.toml: family: missing;"},
       false,
       3},
      {"--reader \"\" means the first reader",
       {"reset", "--reader", ""},
       {},
       2,
       {"2||--reader: an empty name names no reader; \"tavrin-reader list\" shows their names\n"}},
      {"apply FILE with three readers writes the first and says nothing of the others",
       {"apply", "bad-b.toml"},
       {{"bad-b.toml", kTypeB}},
       2,
       {"2||3 readers can be opened; name one with --reader (its path, serial number or location), "
        "or use --all:\n  sim:hid/0\n  sim:hid/1\n  sim:hid/2\nNothing was sent to any reader.\n|"},
       false,
       3},
      {"reset with three readers resets the first",
       {"reset"},
       {},
       2,
       {"2||3 readers can be opened;"},
       false,
       3},
      {"--reader --dry-run f.toml takes --dry-run as the path",
       {"apply", "--reader", "--dry-run", "bad-b.toml"},
       {{"bad-b.toml", kTypeB}},
       2,
       {"2||--reader: \"--dry-run\" is an option, not a reader; give the reader's path, serial "
        "number or location after --reader\n"}},
      {"key = \"\" is padded with 7s without a word",
       {"apply", "bad-empty-key.toml"},
       {{"bad-empty-key.toml", WithKey("")}},
       0,
       {"0|sim:hid/0: DownLoad Successed\n|bad-empty-key.toml:3:7: mifare.key: warning: \"\" has 0 "
        "of 12 hexadecimal digits; it is filled up with 7s, as the dialog does: "
        "\"777777777777\"\n|"},
       true},
      {"an 11-digit key is padded with 7s without a word outside the dry run",
       {"apply", "--dry-run", "bad-11.toml"},
       {{"bad-11.toml", WithKey("3a7c19e5b08")}},
       0,
       {"bad-11.toml:3:7: mifare.key: warning: \"3a7c19e5b08\" has 11 of 12 hexadecimal digits; it "
        "is filled up with 7s, as the dialog does: \"3A7C19E5B087\"\n|"}},
      {"an unknown subcommand says \"A subcommand is required\"",
       {"frob", "bad-b.toml"},
       {},
       2,
       {"2||\"frob\" is not a command; the commands are list, info, template, apply or reset\n"}},
      {"apply -dash.toml says \"file is required\"",
       {"apply", "-bad-dash.toml"},
       {{"-bad-dash.toml", kTypeB}},
       2,
       {"2||apply: \"-bad-dash.toml\" is not one of its options (\"tavrin-reader apply --help\" "
        "lists them); a file whose name starts with \"-\" is given as ./-bad-dash.toml or after "
        "\"--\": tavrin-reader apply -- -bad-dash.toml\n"}},
      {"... and named as told, it is read",
       {"apply", "--dry-run", "./-bad-dash.toml"},
       {{"-bad-dash.toml", kTypeB}},
       0,
       {"  sri.output = true\n"}},
      {"... also after --",
       {"apply", "--dry-run", "--", "-bad-dash.toml"},
       {{"-bad-dash.toml", kTypeB}},
       0,
       {"  sri.output = true\n"}},
      {"a 50 MB value is echoed whole into the error",
       {"apply", "bad-50mb.toml"},
       {{"bad-50mb.toml", "family = \"" + fifty + "\"\n"}},
       2,
       {"2||bad-50mb.toml:1:10: family: \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa...\" (50000000 "
        "characters) is not allowed; allowed: \"iso14443a\", \"iso14443b\" or \"iso15693\"\n"}},
      {"... and so is a long name in the parser's own words",
       {"apply", "bad-long-name.toml"},
       {{"bad-long-name.toml",
         "\"" + std::string(1000, 'k') + "\" = 1\n\"" + std::string(1000, 'k') + "\" = 2\n"}},
       2,
       {"2||bad-long-name.toml:2:",
        ": invalid TOML: Error while parsing key-value pair: cannot "
        "redefine existing integer '\"kkkkk",
        "kkk...\n"}},
      {"template > /dev/full exits 0 and leaves an empty file",
       {"template"},
       {},
       4,
       {"4||tavrin-reader: standard output could not be written; results are lost\n|"},
       false,
       1,
       FullStream::Out},
      {"... and so must a lost warning, though the rest was written",
       {"apply", "--dry-run", "bad-11.toml"},
       {{"bad-11.toml", WithKey("3a7c19e5b08")}},
       4,
       {"4|Settings to send"},
       false,
       1,
       FullStream::Err},
      {"Windows PowerShell 5.1's > writes UTF-16LE, which fails at 1:1",
       {"apply", "--dry-run", "bad-utf16le.toml"},
       {{"bad-utf16le.toml", Utf16(kTypeB, false)}},
       0,
       {"  sri.output = true\n"}},
      {"... and UTF-16BE",
       {"apply", "--dry-run", "bad-utf16be.toml"},
       {{"bad-utf16be.toml", Utf16(kTypeB, true)}},
       0,
       {"  sri.output = true\n"}},
      {"... and UTF-8 with a byte-order mark",
       {"apply", "--dry-run", "bad-utf8-mark.toml"},
       {{"bad-utf8-mark.toml", std::string("\xEF\xBB\xBF") + kTypeB}},
       0,
       {"  sri.output = true\n"}},
      {"... but UTF-16 without a byte-order mark is told for what it is",
       {"apply", "--dry-run", "bad-utf16-bare.toml"},
       {{"bad-utf16-bare.toml", Utf16(kTypeB, false).substr(2)}},
       2,
       {"2||bad-utf16-bare.toml:1:1: UTF-16 without a byte-order mark; save the file as UTF-8, or "
        "as UTF-16 with one\n"}},
      {"... and so is broken UTF-16, where it breaks",
       {"apply", "--dry-run", "bad-utf16-half.toml"},
       {{"bad-utf16-half.toml",
         Utf16("family = \"iso14443a\"\n[snr]\nend-key = \"", false) + std::string("\x00\xD8", 2)}},
       2,
       {"2||bad-utf16-half.toml:3:12: invalid UTF-16: half of a character pair without its other "
        "half\n"}},
      {"a file name outside the ANSI code page cannot be read",
       {"apply", "--dry-run", "\xE8\xAE\xBE\xE7\xBD\xAE.toml"},  // 设置.toml
       {{"\xE8\xAE\xBE\xE7\xBD\xAE.toml", kTypeB}},
       0,
       {"  sri.output = true\n"}},
      {"a card kind of another family is told only once the rest is fixed",
       {"apply", "bad-kind.toml"},
       {{"bad-kind.toml", "family = \"iso14443b\"\n[mifare]\noutput = true\nstart-sector = 64\n"}},
       2,
       {"2||bad-kind.toml:3:10: mifare.output: mifare is not a card kind of family "
        "\"iso14443b\", whose kinds are sr176 and sri\nbad-kind.toml:4:16: mifare.start-sector: 64 "
        "is out of range; allowed: 0 to 63\nNothing"}},
      {"the dry run's heading says \"Settings sent\" when nothing is sent",
       {"apply", "--dry-run", "bad-b.toml"},
       {{"bad-b.toml", kTypeB}},
       0,
       {"0|Settings to send (with the dialog's adjustments):\n"}},
  };
}

TEST(BadInput, EachHazardIsToldAndSendsNothingItShouldNot) {
  for (const Row& row : Rows()) {
    SCOPED_TRACE(row.hazard);
    SimHost host;
    std::vector<const SimReader*> readers;
    for (int i = 0; i < row.readers; ++i) readers.push_back(&host.AddReader());
    for (const auto& [name, bytes] : row.files) SettingsFile(name, bytes);
    const std::string told = RunTool(host, row.args, row.full);
    EXPECT_EQ(told.substr(0, told.find('|')), std::to_string(row.status)) << told.substr(0, 2000);
    for (const std::string& part : row.told) EXPECT_HAS(told.substr(0, 8000), part);
    EXPECT_LT(told.size(), 8000u) << "more than a screenful";
    for (const SimReader* reader : readers)
      EXPECT_TRUE(row.mayWrite || reader->received.empty()) << reader->path;
    EXPECT_EQ(host.OpenHandles(), 0);
    for (const auto& [name, bytes] : row.files) std::filesystem::remove(Utf8Path(name));
  }
}

// The template written by name is UTF-8 whatever the console uses, under a
// name of any script, and reads back as the start-up settings.
TEST(ReaderToolFiles, TemplateWrittenToAFileReadsBack) {
  SimHost host;
  const std::string name = "\xE8\xAE\xBE\xE7\xBD\xAE-template.toml";
  EXPECT_EQ(RunTool(host, {"template", "--output", name}), "0|||");
  std::ifstream in(Utf8Path(name), std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::erase(text, '\r');  // Windows ends its lines so
  EXPECT_EQ(text, SettingsTemplate());
  EXPECT_HAS(RunTool(host, {"apply", "--dry-run", name}), "0|Settings to send");
  EXPECT_EQ(RunTool(host, {"template", "--output", "."}).substr(0, 6), "4||.: ");
}

// The demo's readers, after a command, hold what the dry run shows.
TEST(ReaderDemo, ShowsThePagesItsReadersHold) {
  SimHost host;
  const SimReader& reader = demo::AddDemoReader(host);
  const std::string file = SettingsFile("demo-held.toml",
                                        "family = \"iso15693\"\n[icode]\n"
                                        "output = true\nstart-block = 5\n");
  std::ostringstream before, after;
  demo::PrintHeldPages({&reader}, before);
  EXPECT_EQ(before.str(), "\nsim:hid/0 (serial DEMO0001) now holds no configuration page.\n");
  const std::string dry = RunTool(host, {"apply", "--dry-run", file});
  EXPECT_EQ(RunTool(host, {"apply", file}),
            "0|sim:hid/0 (serial DEMO0001): DownLoad Successed\n||");
  demo::PrintHeldPages({&reader}, after);
  const std::size_t from = dry.find("\nPage 0"), to = dry.find("\nReports");
  EXPECT_EQ(after.str(), "\nsim:hid/0 (serial DEMO0001) now holds these configuration pages:\n" +
                             dry.substr(from, to - from));
  EXPECT_HAS(after.str(), "  iCodeStartBlock             05\n");
}

}  // namespace
}  // namespace tavrin::cli
