// tavrin-reader against simulated readers: bad settings files and usage
// send nothing; apply, reset, info and list say per reader what happened
// and end with the documented exit status.
#include <gtest/gtest.h>

#include <cerrno>

#include "ToolRun.h"
#include "sim/SimHost.h"

#ifdef _WIN32
#include "reader/WinHidHost.h"
#endif

namespace tavrin::cli {
namespace {

// EXPECT_TRUE(Has(text, part)) prints both when part is missing.
::testing::AssertionResult Has(const std::string& text, const std::string& part) {
  if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\"" << part << "\" is not in:\n" << text;
}

constexpr const char* kMifareAndUltraLight =
    "family = \"iso14443a\"\n"
    "[mifare]\noutput = true\nstart-sector = 10\nend-sector = 4\nkey = \"3a7c 19e5 b0\"\n"
    "[ultralight]\noutput = true\n";

std::string Hex(const ReaderFrame& report) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (std::uint8_t byte : FrameBytes(report)) {
    if (!text.empty()) text += ' ';
    text += {kDigits[byte >> 4], kDigits[byte & 0xF]};
  }
  return text;
}

std::vector<std::uint8_t> Commands(const SimDevice& device) {
  std::vector<std::uint8_t> commands;
  for (const ReaderFrame& report : device.received) commands.push_back(report[kCommandOffset]);
  return commands;
}

const std::vector<std::uint8_t> kIdentify{0xF1, 0xE0};
const std::vector<std::uint8_t> kIdentifyAndDownload{0xF1, 0xE0, 0xE1, 0xE2, 0xE2};

struct BadFile {
  const char* text;
  const char* message;  // after "<file>:"
};

// Each is refused whole, with the place, the setting and what is allowed.
const BadFile kBadFiles[] = {
    {"family = \"iso14443a\n", "1:20: invalid TOML: "},
    {"[snr]\noutput = true\n[snr]\ncaps-lock = true\n",
     "3:1: invalid TOML: Error while parsing table header: cannot redefine existing table 'snr'"},
    {"[snr]\nend-count = 2\nend-count = 3\n", "3:13: invalid TOML: "},
    {"famly = \"iso14443b\"\n",
     "1:1: unknown setting \"famly\"; the top level holds family and "
     "the tables [snr] [mifare] [ultralight] [sr176] [sri] [icode]"},
    {"[snr]\ncolour = 1\n",
     "2:1: unknown setting \"snr.colour\"; [snr] holds output, "
     "byte-order, number-base, caps-lock, end-key, end-count"},
    {"snr = 3\n", "1:7: snr: expected a table, found a number"},
    {"[snr]\noutput = 1\n", "2:10: snr.output: expected true or false, found a number"},
    {"[snr]\nend-count = \"3\"\n",
     "2:13: snr.end-count: expected a whole number, found a text; allowed: 1 to 10"},
    {"family = 1\n",
     "1:10: family: expected a text in quotes, found a number; allowed: "
     "\"iso14443a\", \"iso14443b\" or \"iso15693\""},
    {"[snr]\nend-count = 0\n", "2:13: snr.end-count: 0 is out of range; allowed: 1 to 10"},
    {"[icode]\ndata-end-count = 11\n",
     "2:18: icode.data-end-count: 11 is out of range; allowed: 1 to 10"},
    {"[mifare]\nstart-sector = 64\n",
     "2:16: mifare.start-sector: 64 is out of range; allowed: 0 to 63"},
    {"[sri]\nend-block = 128\n", "2:13: sri.end-block: 128 is out of range; allowed: 0 to 127"},
    {"[sr176]\nend-byte = -1\n", "2:12: sr176.end-byte: -1 is out of range; allowed: 0 to 1"},
    {"[snr]\nend-key = \"\\u001b[2J\"\n", "2:11: snr.end-key: \"?[2J\" is not allowed"},
    {"[snr]\nend-key = \"esc\"\n",
     "2:11: snr.end-key: \"esc\" is not allowed; allowed: "
     "\"none\", \"down\", \"tab\", \"enter\" or \"pgdn\""},
    {"[ultralight]\nmode = \"Mode1\"\n",
     "2:8: ultralight.mode: \"Mode1\" is not allowed; allowed: \"mode1\" or \"mode2\""},
    {"[mifare]\nkey = \"3A7C19E5B08G\"\n",
     "2:7: mifare.key: \"3A7C19E5B08G\" is not a key; allowed: 12 hexadecimal digits"},
    {"[mifare]\nkey = \"3A7C19E5B08D00\"\n", "2:7: mifare.key: \"3A7C19E5B08D00\" is not a key"},
    {"family = \"iso14443b\"\n[mifare]\noutput = true\n",
     "3:10: mifare.output: Mifare S50/S70 is not a card kind of family \"iso14443b\", whose "
     "kinds are sr176 and sri"},
};

TEST(SettingsFile, BadInputIsRefusedBeforeAnythingIsSent) {
  int index = 0;
  for (const BadFile& bad : kBadFiles) {
    SCOPED_TRACE(bad.text);
    SimHost host;
    SimReader& reader = host.AddReader();
    const std::string file = SettingsFile("bad-" + std::to_string(index++) + ".toml", bad.text);
    const ToolRun run = RunTool(host, {"apply", "--all", file});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Has(run.err, file + ":" + bad.message));
    EXPECT_TRUE(Has(run.err, "Nothing was sent to any reader."));
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(reader.opens, 0);
  }
}

TEST(SettingsFile, EveryMistakeIsToldInFileOrder) {
  SimHost host;
  const std::string file =
      SettingsFile("mistakes.toml", "[snr]\nend-key = \"esc\"\ncaps-lock = 1\n[sri]\nmode = 3\n");
  const ToolRun run = RunTool(host, {"apply", "--dry-run", file});
  EXPECT_EQ(run.status, 2);
  const auto first = run.err.find(":2:11: snr.end-key");
  const auto second = run.err.find(":3:13: snr.caps-lock");
  const auto third = run.err.find(":5:8: sri.mode");
  EXPECT_LT(first, second);
  EXPECT_LT(second, third);
  EXPECT_NE(third, std::string::npos);
}

TEST(Usage, MistakesExitTwoAndTouchNoReader) {
  SimHost host;
  SimReader& reader = host.AddReader();
  const std::string file = SettingsFile("usage.toml", "");
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"configure"},
                                             {"apply"},
                                             {"apply", file, "--all", "--reader", "sim:hid/0"},
                                             {"apply", file, "--json"},
                                             {"apply", "no-such-file.toml"},
                                             {"reset", "--everything"}}) {
    const ToolRun run = RunTool(host, args);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err, "");
  }
  EXPECT_EQ(reader.opens, 0);
  const ToolRun help = RunTool(host, {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(Has(help.out, "3  no reader found, or none could be opened"));
}

TEST(Apply, AllConfiguresEachReaderAndReportsTheOneThatRefused) {
  SimHost host;
  SimReader& first = host.AddReader();
  SimReader& refusing = host.AddReader();
  SimReader& third = host.AddReader();
  refusing.FailNext(ReaderCommand::Unlock, SimFault::Refuse());
  const std::string file = SettingsFile("all.toml", kMifareAndUltraLight);

  const ToolRun run = RunTool(host, {"apply", "--all", file});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "sim:hid/0: DownLoad Successed\nsim:hid/2: DownLoad Successed\n"
            "2 of 3 readers configured\n");
  EXPECT_EQ(run.err, "sim:hid/1: DownLoad Failure. (the unlock was not accepted)\n");
  EXPECT_EQ(Commands(first), kIdentifyAndDownload);
  EXPECT_EQ(Commands(refusing), (std::vector<std::uint8_t>{0xF1, 0xE0, 0xE1}));
  EXPECT_EQ(Commands(third), kIdentifyAndDownload);
  EXPECT_EQ(first.pages, third.pages);
  EXPECT_TRUE(refusing.pages.empty());
  EXPECT_EQ(host.OpenHandles(), 0);
}

TEST(Apply, FailedPageWriteIsToldWithItsErrorNumber) {
  SimHost host;
  SimReader& reader = host.AddReader();
  reader.FailAlways(ReaderCommand::WritePage, SimFault::FailRead(EIO));
  const ToolRun run = RunTool(host, {"apply", SettingsFile("eio.toml", "")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "sim:hid/0: DownLoad Failure. LastError: " + std::to_string(EIO) +
                         " (page 0 was not accepted)\n");
}

// The dry run's reports are the very ones apply sends, after the clamp and
// the key normalisation; no reader is opened for it.
TEST(Apply, DryRunShowsWhatApplySends) {
  SimHost host;
  SimReader& reader = host.AddReader();
  const std::string file = SettingsFile("dry.toml", kMifareAndUltraLight);
  const ToolRun dry = RunTool(host, {"apply", "--dry-run", file});
  EXPECT_EQ(dry.status, 0);
  EXPECT_EQ(reader.opens, 0);
  EXPECT_TRUE(Has(dry.out, "  mifare.end-sector = 10  (given 4)\n"));
  EXPECT_TRUE(Has(dry.out, "  mifare.key = \"3A7C19E5B077\"  (given \"3a7c 19e5 b0\")\n"));
  EXPECT_TRUE(Has(dry.out, "  mifareKey                   3A 7C 19 E5 B0 77\n"));
  EXPECT_EQ(dry.out.find("sri."), std::string::npos);  // another family's: not sent

  ASSERT_EQ(RunTool(host, {"apply", file}).status, 0);
  ASSERT_EQ(reader.received.size(), 5u);
  EXPECT_TRUE(Has(dry.out, "  Unlock        " + Hex(reader.received[2]) + "\n"));
  EXPECT_TRUE(Has(dry.out, "  Write page 0  " + Hex(reader.received[3]) + "\n"));
  EXPECT_TRUE(Has(dry.out, "  Write page 1  " + Hex(reader.received[4]) + "\n"));

  const ToolRun json = RunTool(host, {"apply", "--dry-run", "--json", file});
  EXPECT_TRUE(Has(json.out, "\"mifare.end-sector\": 10,"));
  EXPECT_TRUE(Has(
      json.out, "{\"request\": \"Write page 1\", \"bytes\": \"" + Hex(reader.received[4]) + "\"}"));
}

TEST(Apply, CardKindTheReaderLacksIsRefusedBeforeTheUnlock) {
  SimHost host;
  SimReader& reader = host.AddReader();
  reader.capabilities = {kFamilyTypeA | kFamilyIso15693, kKindMifare, 0, 0};
  const ToolRun run = RunTool(host, {"apply", SettingsFile("kinds.toml", kMifareAndUltraLight)});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "sim:hid/0: refused: the reader does not support UltraLight; it supports ISO14443A "
            "(Mifare S50/S70), ISO15693 (no card kinds); nothing was written\n");
  EXPECT_EQ(Commands(reader), kIdentify);

  reader.received.clear();
  const ToolRun family = RunTool(host, {"apply", SettingsFile("b.toml", "family = \"iso14443b\"")});
  EXPECT_EQ(family.status, 1);
  EXPECT_TRUE(Has(family.err, "refused: the reader does not support ISO14443B;"));
  EXPECT_EQ(Commands(reader), kIdentify);
}

TEST(Apply, NothingIsWrittenToAReaderThatDoesNotSayWhatItSupports) {
  SimHost host;
  SimReader& reader = host.AddReader();
  reader.FailNext(ReaderCommand::Capability, SimFault::Refuse());
  const ToolRun run = RunTool(host, {"apply", SettingsFile("unknown.toml", "")});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Has(run.err, "the reader did not tell what it supports"));
  EXPECT_EQ(Commands(reader), kIdentify);
}

TEST(Apply, FirstReaderThatOpensOrTheOneNamed) {
  SimHost host;
  host.AddDevice(0x046D, 0xC077);
  SimReader& locked = host.AddReader();
  locked.openError = EACCES;
  SimReader& second = host.AddReader();
  SimReader& third = host.AddReader();
  const std::string file = SettingsFile("first.toml", "");

  const ToolRun first = RunTool(host, {"apply", file});
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(first.out, "sim:hid/2: DownLoad Successed\n");
  EXPECT_EQ(Commands(second), kIdentifyAndDownload);
  EXPECT_TRUE(third.received.empty());

  const ToolRun named = RunTool(host, {"apply", "--reader", "sim:hid/3", file});
  EXPECT_EQ(named.out, "sim:hid/3: DownLoad Successed\n");
  EXPECT_EQ(Commands(third), kIdentifyAndDownload);

  const ToolRun mouse = RunTool(host, {"apply", "--reader", "sim:hid/0", file});
  EXPECT_EQ(mouse.status, 3);
  EXPECT_EQ(mouse.err, "sim:hid/0: no reader at this path\n");
  EXPECT_EQ(host.OpenHandles(), 0);
}

TEST(Apply, NoReaderOrNoneThatOpensExitsThree) {
  SimHost host;
  const std::string file = SettingsFile("none.toml", "");
  const ToolRun none = RunTool(host, {"apply", "--all", file});
  EXPECT_EQ(none.status, 3);
  EXPECT_EQ(none.err, "No reader found.\n");
  EXPECT_EQ(none.out, "");

  host.AddReader().openError = EACCES;
  const ToolRun denied = RunTool(host, {"apply", file});
  EXPECT_EQ(denied.status, 3);
  EXPECT_TRUE(Has(denied.err, "sim:hid/0: Reader found, but "));
}

// The template holds the dialog's start-up values: page 0 is the start-up
// system page, checksum 0xE1.
TEST(Template, AppliesAsTheStartUpForm) {
  SimHost host;
  SimReader& reader = host.AddReader();
  const ToolRun made = RunTool(host, {"template"});
  ASSERT_EQ(made.status, 0);
  const ToolRun run = RunTool(host, {"apply", SettingsFile("template.toml", made.out)});
  ASSERT_EQ(run.status, 0) << run.err;
  std::array<std::uint8_t, kPageSize> page0{0x1F, 0xFF, 0x01};
  page0[16] = 1;
  page0[28] = 1;
  page0[31] = 0xE1;
  EXPECT_EQ(*reader.Page(PageNumber::System), page0);
}

TEST(Reset, EachReaderSaysHowItWent) {
  SimHost host;
  host.AddReader();
  host.AddReader().FailNext(ReaderCommand::Reset, SimFault::Refuse());
  SimReader& lost = host.AddReader();
  lost.FailNext(ReaderCommand::Reset, SimFault::FailSend(EPIPE));
  const ToolRun run = RunTool(host, {"reset", "--all"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "sim:hid/0: Device Reset Success.\n1 of 3 readers reset\n");
  EXPECT_EQ(run.err, "sim:hid/1: Device Reset Failure.\nsim:hid/2: LastError: " +
                         std::to_string(EPIPE) + "\n");
}

TEST(List, EveryReaderWithWhatItSupportsOrWhyItDoesNotOpen) {
  SimHost host;
  host.AddDevice(0x046D, 0xC077);
  SimReader& reader = host.AddReader();
  reader.identification = "READER \xB0\xC9 V2";
  reader.capabilities = {kFamilyTypeB, 0, kKindSri, 0};
  host.AddReader().openError = EBUSY;

  const ToolRun text = RunTool(host, {"list"});
  EXPECT_EQ(text.status, 1);
  EXPECT_EQ(text.out,
            "sim:hid/1\n  READER \xC2\xB0\xC3\x89 V2\n  Device Support ISO14443B\n"
            "    SRI512/2K/4K/X4K Card\n"
            "sim:hid/2\n  Reader found, but it could not be opened (error " +
                std::to_string(EBUSY) + ").\n");

  const ToolRun json = RunTool(host, {"list", "--json"});
  EXPECT_EQ(json.out,
            "{\"readers\": [\n  {\"path\": \"sim:hid/1\", \"opens\": true, \"identification\": "
            "\"READER \xC2\xB0\xC3\x89 V2\", \"families\": [{\"name\": \"ISO14443B\", \"kinds\": "
            "[\"SRI512/2K/4K/X4K\"]}]},\n  {\"path\": \"sim:hid/2\", \"opens\": false, "
            "\"error\": \"Reader found, but it could not be opened (error " +
                std::to_string(EBUSY) + ").\"}\n]}\n");

  const ToolRun info = RunTool(host, {"info"});
  EXPECT_EQ(info.status, 0);
  EXPECT_EQ(info.out,
            "sim:hid/1\nDevice Connected\nREADER \xC2\xB0\xC3\x89 V2\nDevice Support ISO14443B\n"
            "  SRI512/2K/4K/X4K Card\n");
}

#ifdef _WIN32
// Wine lists HID devices but no reader: the walk ends cleanly.
TEST(WindowsHid, ListEndsWithNoReaderFound) {
  WinHidHost host;
  const ToolRun run = RunTool(host, {"list"});
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "No reader found.\n");
}
#endif

}  // namespace
}  // namespace tavrin::cli
