// tavrin-reader against simulated readers: bad settings files and usage
// send nothing; apply, reset, info and list say per reader what happened
// and end with the documented exit status.
#include <gtest/gtest.h>

#include <cerrno>

#include "ToolRun.h"
#include "sim/SimHost.h"

namespace tavrin::cli {
namespace {

// Prints both when part is not in text.
#define EXPECT_HAS(text, part) EXPECT_PRED_FORMAT2(::testing::IsSubstring, part, text)

std::string Hex(const ReaderFrame& report) {
  std::string text;
  for (std::uint8_t byte : FrameBytes(report))
    text += {' ', "0123456789ABCDEF"[byte >> 4], "0123456789ABCDEF"[byte & 0xF]};
  return text.substr(1);
}

// Its key is short: filled up with 7s, with a warning.
constexpr const char* kMifareAndUltraLight =
    "family = \"iso14443a\"\n[mifare]\noutput = true\nstart-sector = 10\nend-sector = 4\nkey = "
    "\"3a7c 19e5 b0\"\n"
    "[ultralight]\noutput = true\n";

std::string ShortKeyWarning(const std::string& file) {
  return file +
         ":6:7: mifare.key: warning: \"3a7c 19e5 b0\" has 10 of 12 hexadecimal digits; it "
         "is filled up with 7s, as the dialog does: \"3A7C19E5B077\"\n";
}

// Settings files refused whole, and what is told: the place, the setting and
// what is allowed, in file order.
const std::pair<const char*, const char*> kBadFiles[] = {
    {"family = \"iso14443a\n", "bad:1:20: invalid TOML: "},
    {"famly = \"iso14443b\"\n[snr]\ncolour = 1\n",
     "bad:1:1: unknown setting \"famly\"; the top level holds family and the tables [snr] [mifare] "
     "[ultralight] [sr176] [sri] [icode]\nbad:3:1: unknown setting \"snr.colour\"; [snr] holds "
     "output, byte-order, number-base, caps-lock, end-key, end-count\n"},
    {"snr = 3\n[mifare]\nstart-sector = 64\nkey = \"3A7C19E5B08D00\"\n",
     "bad:1:7: snr: expected a table, found a number\nbad:3:16: mifare.start-sector: 64 is out of "
     "range; allowed: 0 to 63\nbad:4:7: mifare.key: \"3A7C19E5B08D00\" is not a key; allowed: 12 "
     "hexadecimal digits"},
    {"[snr]\nend-key = \"esc\\u001b\"\ncaps-lock = 1\n[mifare]\nkey = \"3A7C19E5B08G\"\n",
     "bad:2:11: snr.end-key: \"esc?\" is not allowed; allowed: \"none\", \"down\", \"tab\", "
     "\"enter\" or \"pgdn\"\nbad:3:13: snr.caps-lock: expected true or false, found a number\n"
     "bad:5:7: mifare.key: \"3A7C19E5B08G\" is not a key"},
    {"family = true\n[snr]\nend-count = \"3\"\n",
     "bad:1:10: family: expected a text in quotes, found true or false; allowed: \"iso14443a\", "
     "\"iso14443b\" or \"iso15693\"\nbad:3:13: snr.end-count: expected a whole number, found a "
     "text; allowed: 1 to 10\n"},
    {"family = \"iso14443b\"\n[mifare]\noutput = true\n",
     "bad:3:10: mifare.output: mifare is not a card kind of family \"iso14443b\", whose "
     "kinds are sr176 and sri\n"},
};

TEST(ReaderTool, MistakesExitTwoAndTouchNoReader) {
  SimHost host;
  const SimReader& reader = host.AddReader();
  for (const auto& [text, told] : kBadFiles) {
    SettingsFile("bad", text);  // named as given: "bad:1:20: ..."
    const std::string run = RunTool(host, {"apply", "--all", "bad"});
    EXPECT_HAS(run, std::string("2||") + told);
    EXPECT_HAS(run, "\nNothing was sent to any reader.\n|");
  }
  SettingsFile("usage", "");
  // No command, no such file, --count without --watch, --watch with --all
  // or --dry-run, a count of 0, --all with --reader or for info.
  for (const auto& args : {std::vector<std::string>{},
                           {"apply", "no-such-file"},
                           {"apply", "usage", "--count", "3"},
                           {"apply", "usage", "--watch", "--all"},
                           {"apply", "usage", "--watch", "--dry-run"},
                           {"apply", "usage", "--watch", "--count", "0"},
                           {"apply", "usage", "--all", "--reader", "x"},
                           {"info", "--all"}})
    EXPECT_EQ(RunTool(host, args)[0], '2');
  EXPECT_EQ(reader.opens, 0);
  const std::string help = RunTool(host, {"--help"});
  EXPECT_EQ(help[0], '0');
  EXPECT_HAS(help, "3  no reader found, or none could be opened");
}

// The dry run shows what apply sends, after the clamp and the key's
// normalisation, and opens no reader; apply and reset go on past a reader
// that refuses.
TEST(ReaderTool, DryRunThenApplyAndResetEveryReader) {
  SimHost host;
  const SimReader& first = host.AddReader();
  SimReader& second = host.AddReader();
  const SimReader& third = host.AddReader();
  const std::string file = SettingsFile("all", kMifareAndUltraLight);
  const std::string dry = RunTool(host, {"apply", "--dry-run", file});
  const std::string json = RunTool(host, {"apply", "--dry-run", "--json", file});
  EXPECT_EQ(first.opens + second.opens + third.opens, 0);
  EXPECT_HAS(dry, "0|Settings to send (with the dialog's adjustments):\n");
  EXPECT_HAS(dry, "  mifare.end-sector = 10  (given 4)\n");
  EXPECT_HAS(dry, "  mifare.key = \"3A7C19E5B077\"  (given \"3a7c 19e5 b0\")\n");
  EXPECT_HAS(dry, "  mifareKey                   3A 7C 19 E5 B0 77\n");
  EXPECT_EQ(dry.find("sri."), std::string::npos);  // another family's: not sent
  EXPECT_HAS(json, "\"mifare.end-sector\": 10,");

  second.FailNext(ReaderCommand::Unlock, SimFault::Refuse());
  EXPECT_EQ(RunTool(host, {"apply", "--all", file}),
            "1|sim:hid/0: DownLoad Successed\nsim:hid/2: DownLoad Successed\n2 of 3 readers "
            "configured\n|" +
                ShortKeyWarning(file) +
                "sim:hid/1: DownLoad Failure. (the unlock was not accepted)\n|");
  EXPECT_HAS(dry, "  Unlock        " + Hex(first.received.at(2)) + "\n  Write page 0  " +
                      Hex(first.received.at(3)) + "\n  Write page 1  " + Hex(first.received.at(4)));
  EXPECT_HAS(json, "\"Write page 1\", \"bytes\": \"" + Hex(first.received.at(4)) + "\"}");

  second.FailNext(ReaderCommand::Reset, SimFault::Refuse());
  EXPECT_EQ(RunTool(host, {"reset", "--all"}),
            "1|sim:hid/0: Device Reset Success.\nsim:hid/2: Device Reset Success.\n2 of 3 readers "
            "reset\n|sim:hid/1: Device Reset Failure.\n|");
}

// A reader lacking a card kind or the family, or not saying what it
// supports, gets nothing after its identification; a failed write is named.
TEST(ReaderTool, ReaderIsCheckedBeforeTheUnlockAndFailuresAreNamed) {
  SimHost host;
  SimReader& reader = host.AddReader();
  reader.capabilities = {kFamilyTypeA | kFamilyIso15693, kKindMifare, 0, 0};
  const std::string kinds = SettingsFile("kinds", kMifareAndUltraLight);
  EXPECT_EQ(RunTool(host, {"apply", kinds}),
            "1||" + ShortKeyWarning(kinds) +
                "sim:hid/0: refused: the reader does not support ultralight; it supports iso14443a "
                "(mifare), iso15693 (no card kinds); nothing was written\n|");
  EXPECT_HAS(RunTool(host, {"apply", SettingsFile("b", "family = \"iso14443b\"")}),
             "1||sim:hid/0: refused: the reader does not support iso14443b;");
  reader.FailNext(ReaderCommand::Capability, SimFault::Refuse());
  const std::string startUp = SettingsFile("start-up", "family = \"iso14443a\"");
  EXPECT_HAS(RunTool(host, {"apply", startUp}),
             "1||sim:hid/0: the reader did not tell what it supports; nothing was written");
  EXPECT_EQ(reader.received.size(), 3u * 2);  // identification and capabilities only

  reader.FailAlways(ReaderCommand::WritePage, SimFault::FailRead(EIO));
  EXPECT_EQ(RunTool(host, {"apply", startUp}),
            "1||sim:hid/0: DownLoad Failure. LastError: " + std::to_string(EIO) +
                " (page 0 was not accepted)\n|");
}

// list and info tell every reader, or why none opens; apply acts on the
// only reader that opens, or only on the one named, and refuses to choose
// between several.
TEST(ReaderTool, ReadersAreFoundAndNamed) {
  SimHost host;
  EXPECT_EQ(RunTool(host, {"reset", "--all"}), "3||No reader found.\n|");
  const SimDevice& foreign = host.AddDevice(0x046D, 0xC077);
  host.AddReader().openError = EBUSY;
  const std::string file = SettingsFile("found", "family = \"iso14443b\"");
  const std::string why =
      "Reader found, but it could not be opened (error " + std::to_string(EBUSY) + ").";
  EXPECT_EQ(RunTool(host, {"apply", file}), "3||sim:hid/1: " + why + "\n|");

  SimReader& second = host.AddReader();
  second.identification = "R\x80";
  second.capabilities = {kFamilyTypeB | kFamilyIso15693, 0, kKindSri, 0};
  const std::string identified =
      "sim:hid/2\n  serial: none\n  location: none\n  identification: R\xC2\x80\n"
      "  supports: iso14443b (sri), iso15693 (no card kinds)\n";
  EXPECT_EQ(RunTool(host, {"list"}),
            "1|sim:hid/1\n  serial: none\n  location: none\n  " + why + "\n" + identified + "||");
  EXPECT_EQ(
      RunTool(host, {"list", "--json"}),
      "1|{\"readers\": [\n  {\"path\": \"sim:hid/1\", \"serial\": null, \"location\": null, "
      "\"result\": \"unopened\", \"reason\": \"" +
          why + "\", \"error\": " + std::to_string(EBUSY) +
          ", \"opens\": false, \"identification\": null, \"families\": null},\n  {\"path\": "
          "\"sim:hid/2\", \"serial\": null, \"location\": null, \"result\": \"ok\", \"reason\": "
          "null, \"error\": null, \"opens\": true, \"identification\": \"R\xC2\x80\", "
          "\"families\": [{\"name\": \"iso14443b\", \"kinds\": [\"sri\"]}, {\"name\": "
          "\"iso15693\", \"kinds\": []}]}\n],\n \"summary\": {\"readers\": 2, \"succeeded\": 1, "
          "\"failed\": 1, \"exit\": 1}}\n||");
  EXPECT_EQ(RunTool(host, {"info"}), "0|" + identified + "||");

  EXPECT_EQ(RunTool(host, {"apply", file}), "0|sim:hid/2: DownLoad Successed\n||");
  const SimReader& third = host.AddReader();
  EXPECT_EQ(RunTool(host, {"apply", file}),
            "2||2 readers can be opened; name one with --reader (its path, serial number or "
            "location), or use --all:\n  sim:hid/2\n"
            "  sim:hid/3\nNothing was sent to any reader.\n|");
  EXPECT_TRUE(third.received.empty());
  EXPECT_EQ(RunTool(host, {"apply", "--reader", "sim:hid/3", file}),
            "0|sim:hid/3: DownLoad Successed\n||");
  EXPECT_EQ(foreign.opens, 0) << "its identifiers were known: no need to open it";
  EXPECT_EQ(RunTool(host, {"apply", "--reader", "sim:hid/0", file}),
            "3||sim:hid/0: no reader has this path, serial number or location\n|");
  EXPECT_EQ(host.OpenHandles(), 0);
}

}  // namespace
}  // namespace tavrin::cli
