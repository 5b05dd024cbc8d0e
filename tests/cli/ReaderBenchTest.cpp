// tavrin-reader at a provisioning bench, on simulated readers: readers told
// apart by serial number and USB location, results as JSON that parses, and
// apply --watch configuring readers as they are plugged in, on a clock and a
// stop of the test's own.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <sstream>

#include "JsonCheck.h"
#include "ToolRun.h"
#include "sim/SimHost.h"

namespace tavrin::cli {
namespace {

// Prints both when part is not in text.
#define EXPECT_HAS(text, part) EXPECT_PRED_FORMAT2(::testing::IsSubstring, part, text)

SimReader& Reader(SimHost& host, const std::string& serial, const std::string& location) {
  SimReader& reader = host.AddReader();
  reader.serial = serial;
  reader.location = location;
  return reader;
}

constexpr const char* kSupports =
    "  supports: iso14443a (mifare, ultralight), iso14443b (sr176, sri), iso15693 (icode)\n";
const std::string kBusy =
    "Reader found, but it could not be opened (error " + std::to_string(EBUSY) + ").";

// Three readers, the third with an interface before its own that shares its
// serial number and location and never opens, as the reader's keyboard
// interface on Windows.
TEST(ReaderBench, ReadersAreToldApartBySerialNumberAndLocation) {
  SimHost host;
  SimReader& first = Reader(host, "A1", "1-2.1");
  SimReader& second = Reader(host, "", "1-2.2");
  SimReader& keyboard = Reader(host, "C3", "1-2.3");
  keyboard.openError = EBUSY;
  SimReader& third = Reader(host, "C3", "1-2.3");
  EXPECT_EQ(RunTool(host, {"list"}), std::string("0|sim:hid/0\n  serial: A1\n  location: 1-2.1\n"
                                                 "  identification: TAVRIN HID READER V1.22\n") +
                                         kSupports +
                                         "sim:hid/1\n  serial: none\n  location: 1-2.2\n"
                                         "  identification: TAVRIN HID READER V1.22\n" +
                                         kSupports +
                                         "sim:hid/3\n  serial: C3\n  location: 1-2.3\n"
                                         "  identification: TAVRIN HID READER V1.22\n" +
                                         kSupports + "||");
  const std::string file = SettingsFile("bench", "family = \"iso14443b\"\n");
  EXPECT_EQ(RunTool(host, {"apply", "--all", file}),
            "0|sim:hid/0 (serial A1): DownLoad Successed\nsim:hid/1 (location 1-2.2): DownLoad "
            "Successed\nsim:hid/3 (serial C3): DownLoad Successed\n3 of 3 readers configured\n||");

  // By serial number or location in any case, by path; the keyboard's path
  // names that interface alone.
  EXPECT_EQ(RunTool(host, {"reset", "--reader", "a1"}),
            "0|sim:hid/0 (serial A1): Device Reset Success.\n||");
  EXPECT_EQ(RunTool(host, {"reset", "--reader", "1-2.2"}),
            "0|sim:hid/1 (location 1-2.2): Device Reset Success.\n||");
  EXPECT_EQ(RunTool(host, {"reset", "--reader", "c3"}),
            "0|sim:hid/3 (serial C3): Device Reset Success.\n||");
  EXPECT_EQ(RunTool(host, {"reset", "--reader", "sim:hid/3"}),
            "0|sim:hid/3 (serial C3): Device Reset Success.\n||");
  EXPECT_EQ(RunTool(host, {"reset", "--reader", "sim:hid/2"}),
            "3||sim:hid/2 (serial C3): " + kBusy + "\n|");
  EXPECT_EQ(RunTool(host, {"info", "--reader", "1-9"}),
            "3||1-9: no reader has this path, serial number or location\n|");
  EXPECT_EQ(first.resets + second.resets + third.resets, 1 + 1 + 2);

  // A serial number that two readers share names neither.
  SimReader& twin = Reader(host, "A1", "1-3.1");
  const int opensBefore = first.opens + twin.opens;
  EXPECT_EQ(RunTool(host, {"apply", "--reader", "A1", file}),
            "2||--reader A1 names 2 readers, which share this serial number:\n"
            "  sim:hid/0 (location 1-2.1)\n  sim:hid/4 (location 1-3.1)\n"
            "Name one by its location or path. Nothing was sent to any reader.\n|");
  EXPECT_EQ(first.opens + twin.opens, opensBefore);
  EXPECT_EQ(RunTool(host, {"reset", "--reader", "1-3.1"}),
            "0|sim:hid/4 (serial A1): Device Reset Success.\n||");
  EXPECT_EQ(keyboard.opens, 0);

  // Without a location, readers that share a serial number stay two readers.
  SimHost bare;
  Reader(bare, "SAME", "");
  Reader(bare, "SAME", "");
  EXPECT_HAS(RunTool(bare, {"reset", "--all"}), "2 of 2 readers reset\n");
  EXPECT_EQ(RunTool(bare, {"reset", "--reader", "same"}),
            "2||--reader same names 2 readers, which share this serial number:\n  sim:hid/0\n"
            "  sim:hid/1\nName one by its location or path. Nothing was sent to any reader.\n|");
  EXPECT_EQ(host.OpenHandles() + bare.OpenHandles(), 0);
}

// The standard output of a run, after checking that it is valid JSON.
std::string JsonOut(const std::string& run) {
  const std::size_t start = run.find('|') + 1;
  const std::string out = run.substr(start, run.find('|', start) - start);
  EXPECT_EQ(JsonCheck::Problem(out), "") << out;
  return out;
}

TEST(ReaderBench, ResultsAsJsonPerReaderAndSummary) {
  SimHost host;
  Reader(host, "S\"0\x01\xC3\x84", "1-1");
  SimReader& refusing = Reader(host, "", "1-2");
  refusing.FailNext(ReaderCommand::Unlock, SimFault::Refuse());
  SimReader& failing = Reader(host, "S2", "");
  failing.FailAlways(ReaderCommand::WritePage, SimFault::FailRead(EIO));
  host.AddReader().openError = EBUSY;
  const std::string eio = std::to_string(EIO), busy = std::to_string(EBUSY);
  const std::string file = SettingsFile("json", "family = \"iso14443a\"\n");

  const std::string apply = RunTool(host, {"apply", "--all", "--json", file});
  EXPECT_EQ(apply,
            "1|{\"readers\": [\n"
            "  {\"path\": \"sim:hid/0\", \"serial\": \"S\\\"0\\u0001\xC3\x84\", \"location\": "
            "\"1-1\", \"result\": \"ok\", \"reason\": null, \"error\": null, \"text\": \"DownLoad "
            "Successed\"},\n"
            "  {\"path\": \"sim:hid/1\", \"serial\": null, \"location\": \"1-2\", \"result\": "
            "\"refused\", \"reason\": \"the unlock was not accepted\", \"error\": null, \"text\": "
            "\"DownLoad Failure. (the unlock was not accepted)\"},\n"
            "  {\"path\": \"sim:hid/2\", \"serial\": \"S2\", \"location\": null, \"result\": "
            "\"failed\", \"reason\": \"page 0 was not accepted\", \"error\": " +
                eio + ", \"text\": \"DownLoad Failure. LastError: " + eio +
                " (page 0 was not accepted)\"},\n"
                "  {\"path\": \"sim:hid/3\", \"serial\": null, \"location\": null, \"result\": "
                "\"unopened\", \"reason\": \"" +
                kBusy + "\", \"error\": " + busy + ", \"text\": \"" + kBusy +
                "\"}\n],\n \"summary\": {\"readers\": 4, \"succeeded\": 1, \"failed\": 3, "
                "\"exit\": 1}}\n||");
  JsonOut(apply);
  // The text lines name the same readers, the serial number as a terminal shows it.
  EXPECT_HAS(RunTool(host, {"apply", "--reader", "sim:hid/0", file}),
             "0|sim:hid/0 (serial S\"0?\xC3\x84): DownLoad Successed\n||");

  refusing.FailNext(ReaderCommand::Reset, SimFault::Refuse());
  failing.FailNext(ReaderCommand::Reset, SimFault::FailSend(EIO));
  const std::string reset = JsonOut(RunTool(host, {"reset", "--all", "--json"}));
  EXPECT_HAS(reset,
             "\"result\": \"ok\", \"reason\": null, \"error\": null, \"text\": \"Device "
             "Reset Success.\"}");
  EXPECT_HAS(reset,
             "\"location\": \"1-2\", \"result\": \"refused\", \"reason\": \"the reset was "
             "not accepted\", \"error\": null, \"text\": \"Device Reset Failure.\"}");
  EXPECT_HAS(reset,
             "\"result\": \"failed\", \"reason\": \"the reset could not be sent or its "
             "answer read\", \"error\": " +
                 eio + ", \"text\": \"LastError: " + eio + "\"}");
  EXPECT_HAS(reset, "\"summary\": {\"readers\": 4, \"succeeded\": 1, \"failed\": 3, \"exit\": 1}");

  EXPECT_EQ(JsonOut(RunTool(host, {"info", "--json", "--reader", "1-1"})),
            "{\"readers\": [\n  {\"path\": \"sim:hid/0\", \"serial\": \"S\\\"0\\u0001\xC3\x84\", "
            "\"location\": \"1-1\", \"result\": \"ok\", \"reason\": null, \"error\": null, "
            "\"opens\": true, \"identification\": \"TAVRIN HID READER V1.22\", \"families\": "
            "[{\"name\": \"iso14443a\", \"kinds\": [\"mifare\", \"ultralight\"]}, {\"name\": "
            "\"iso14443b\", \"kinds\": [\"sr176\", \"sri\"]}, {\"name\": \"iso15693\", \"kinds\": "
            "[\"icode\"]}]}\n],\n \"summary\": {\"readers\": 1, \"succeeded\": 1, \"failed\": 0, "
            "\"exit\": 0}}\n");
  failing.FailNext(ReaderCommand::Info, SimFault::FailSend(EIO));
  EXPECT_HAS(JsonOut(RunTool(host, {"info", "--json", "--reader", "S2"})),
             "\"result\": \"failed\", \"reason\": \"the reader did not tell what it supports\", "
             "\"error\": " +
                 eio + ", \"opens\": true, \"identification\": null, \"families\": null}");
  JsonOut(RunTool(host, {"list", "--json"}));
  JsonOut(RunTool(host, {"apply", "--dry-run", "--json", file}));
  EXPECT_HAS(RunTool(host, {"apply", "--dry-run", file}), "\nPage 1 (iso14443a): ");

  SimHost none;
  EXPECT_EQ(RunTool(none, {"reset", "--json"}),
            "3|{\"readers\": [],\n \"summary\": {\"readers\": 0, \"succeeded\": 0, \"failed\": 0, "
            "\"exit\": 3}}\n|No reader found.\n|");
  JsonOut(RunTool(none, {"reset", "--json"}));
}

// The watch's clock, pauses and stop: step i runs in pause i; the watch is
// stopped at the pause after the last step, so the last step has one look.
struct FakeWaiting {
  std::vector<std::function<void()>> steps;
  int starts = 0;
  int pauses = 0;

  WatchHooks Hooks() {
    WatchHooks hooks;
    hooks.start = [this] { ++starts; };
    hooks.stopRequested = [this] { return pauses > static_cast<int>(steps.size()); };
    hooks.pause = [this] {
      if (pauses < static_cast<int>(steps.size())) steps[static_cast<std::size_t>(pauses)]();
      ++pauses;
    };
    hooks.now = [this] {  // 2026-12-07 09:00, one second a look
      std::tm time{};
      time.tm_year = 126;
      time.tm_mon = 11;
      time.tm_mday = 7;
      time.tm_hour = 9;
      time.tm_sec = pauses;
      return time;
    };
    return hooks;
  }
};

std::string RunWatching(HidHost& host, FakeWaiting& waiting, const std::vector<std::string>& args) {
  std::vector<const char*> argv{"tavrin-reader"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::ostringstream out, err;
  const int status =
      RunReaderTool(static_cast<int>(argv.size()), argv.data(), host, out, err, waiting.Hooks());
  return std::to_string(status) + "|" + out.str() + "|" + err.str() + "|";
}

// The fake clock's time at a look, as a line shows it.
std::string Clock(int look) {
  return "09:00:" + std::string(look < 10 ? "0" : "") + std::to_string(look);
}

constexpr int kReportsPerApply = 5;  // info, capabilities, unlock, two pages

// A reader attached at the start arrives first; one that stays is left
// alone; one unplugged and plugged in again is configured again.
TEST(ReaderWatch, ConfiguresEachReaderOnceAsItArrivesUntilTheCount) {
  SimHost host;
  SimReader& first = Reader(host, "W1", "1-4.1");
  SimReader& second = Reader(host, "W2", "1-4.2");
  host.Unplug(second);
  SimReader& never = Reader(host, "W3", "1-4.3");
  host.Unplug(never);
  FakeWaiting waiting{{[&] { host.Plug(second); }, [] {}, [&] { host.Unplug(first); },
                       [&] { host.Plug(first); }, [&] { host.Plug(never); }}};
  const std::string file = SettingsFile("watch", "family = \"iso15693\"\n");
  EXPECT_EQ(RunWatching(host, waiting, {"apply", "--watch", "--count", "3", file}),
            "0|09:00:00 1/3 sim:hid/0 (serial W1): DownLoad Successed\n"
            "09:00:01 2/3 sim:hid/1 (serial W2): DownLoad Successed\n"
            "09:00:04 3/3 sim:hid/0 (serial W1): DownLoad Successed\n"
            "3 of 3 readers configured\n"
            "|Waiting for readers: each one plugged in is configured once, until 3 have been. "
            "Ctrl-C stops.\n|");
  EXPECT_EQ(first.received.size(), 2u * kReportsPerApply);
  EXPECT_EQ(second.received.size(), 1u * kReportsPerApply);
  EXPECT_EQ(never.opens, 0);
  EXPECT_EQ(waiting.starts, 1);
  EXPECT_EQ(waiting.pauses, 4) << "it ends as soon as the count is reached";
  EXPECT_EQ(host.OpenHandles(), 0);
}

// A refusal and a reader that never opens are told and counted; one that
// opens only at a later look (its node not yet opened to the user) is
// configured then; a device that is no reader is never touched. The stop
// ends the watch with the summary.
TEST(ReaderWatch, TellsFailuresRetriesUnopenedReadersAndStopsOnRequest) {
  SimHost host;
  SimReader& refusing = Reader(host, "F0", "");
  refusing.FailNext(ReaderCommand::Unlock, SimFault::Refuse());
  SimReader& late = Reader(host, "F1", "");
  late.openError = EACCES;
  SimReader& busy = Reader(host, "F2", "");
  busy.openError = EBUSY;
  const SimDevice& foreign = host.AddDevice(0x046D, 0xC077);
  FakeWaiting waiting{{[] {}, [&] { late.openError = 0; }}};
  waiting.steps.resize(kWatchOpenLooks, [] {});
  const std::string file = SettingsFile("watch-fail", "family = \"iso14443a\"\n");
  EXPECT_EQ(RunWatching(host, waiting, {"apply", file, "--watch"}),
            "1|09:00:02 2 sim:hid/1 (serial F1): DownLoad Successed\n"
            "1 of 3 readers configured\n"
            "|Waiting for readers: each one plugged in is configured once. Ctrl-C stops.\n"
            "09:00:00 1 sim:hid/0 (serial F0): DownLoad Failure. (the unlock was not accepted)\n" +
                Clock(kWatchOpenLooks - 1) + " 3 sim:hid/2 (serial F2): " + kBusy + "\n|");
  EXPECT_EQ(refusing.received.size(), 3u);  // identified, then the unlock refused
  EXPECT_EQ(late.received.size(), 1u * kReportsPerApply);
  EXPECT_EQ(busy.opens + foreign.opens, 0);

  // Stopped with every reader done: exit 0. JSON: one object a line.
  SimHost one;
  Reader(one, "J1", "1-1");
  FakeWaiting stop;
  const std::string run = RunWatching(one, stop, {"apply", "--watch", "--json", file});
  EXPECT_EQ(run,
            "0|{\"path\": \"sim:hid/0\", \"serial\": \"J1\", \"location\": \"1-1\", \"result\": "
            "\"ok\", \"reason\": null, \"error\": null, \"text\": \"DownLoad Successed\", "
            "\"time\": \"2026-12-07T09:00:00\", \"count\": 1}\n"
            "{\"summary\": {\"readers\": 1, \"succeeded\": 1, \"failed\": 0, \"exit\": 0}}\n"
            "|Waiting for readers: each one plugged in is configured once. Ctrl-C stops.\n|");
  std::istringstream lines(run.substr(2, run.find('|', 2) - 2));
  for (std::string line; std::getline(lines, line);) EXPECT_EQ(JsonCheck::Problem(line), "");
}

// A bad settings file ends the watch before it waits for anything.
TEST(ReaderWatch, BadFileExitsBeforeWaiting) {
  SimHost host;
  const SimReader& reader = Reader(host, "B1", "");
  FakeWaiting waiting;
  const std::string run = RunWatching(
      host, waiting, {"apply", "--watch", SettingsFile("watch-bad", "family = \"iso14443z\"\n")});
  EXPECT_EQ(run.substr(0, 3), "2||");
  EXPECT_HAS(run, "Nothing was sent to any reader.\n|");
  EXPECT_EQ(waiting.starts + waiting.pauses + reader.opens, 0);
}

// The checker the JSON above passed: it refuses what a parser would.
TEST(JsonCheck, RefusesWhatAParserWould) {
  for (const char* valid : {"{}", "[]", "{\"a\": [1, -2.5e3, true, false, null, \"\\u00e9\\n\"]}",
                            "\"\xC3\x84\"", " 0 "})
    EXPECT_EQ(JsonCheck::Problem(valid), "") << valid;
  for (const char* invalid : {"", "{", "{\"a\" 1}", "{\"a\": 1,}", "[1 2]", "\"\x01\"", "\"\xC3\"",
                              "\"\\x\"", "01", "nul", "{} {}", "{a: 1}", "\"\xC0\x80\""})
    EXPECT_NE(JsonCheck::Problem(invalid), "") << invalid;
}

}  // namespace
}  // namespace tavrin::cli
