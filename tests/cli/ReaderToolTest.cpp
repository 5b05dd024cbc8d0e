// tavrin-reader against simulated readers, one row a run: the readers
// present, the arguments and settings file, the exit status, what standard
// output and error tell, and the reports each reader received.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <nlohmann/json.hpp>

#include "ToolRun.h"
#include "reader/Hex.h"
#include "sim/SimHost.h"

#ifndef _WIN32
#include <unistd.h>

#include <ext/stdio_filebuf.h>
#endif

namespace tavrin::cli {
namespace {

#define EXPECT_HAS(text, part) EXPECT_PRED_FORMAT2(::testing::IsSubstring, part, text)

using Json = nlohmann::json;
using Readers = std::vector<SimReader*>;

constexpr const char* kTypeA = "family = \"iso14443a\"\n";
const std::string kBusy =
    "Reader found, but it could not be opened (error " + std::to_string(EBUSY) + ").";
const std::string kEio = std::to_string(EIO);

SimReader& Named(SimReader& reader, const std::string& serial, const std::string& location) {
  reader.serial = serial;
  reader.location = location;
  return reader;
}

struct Case {
  const char* what;
  std::vector<std::string> args;  // "FILE": the settings file's path
  std::string file = kTypeA;
  int readers = 3;
  std::function<void(SimHost&, Readers&)> arrange = [](SimHost&, Readers&) {};
  int status = 0;
  std::vector<std::string> out = {}, err = {};
  std::vector<std::size_t> reports = {};                // per reader; none: nothing was sent
  std::vector<std::pair<const char*, Json>> json = {};  // in standard output
};

const Case kCases[] = {
    // Usage: told in our words, with exit 2, and nothing sent.
    {.what = "a value given to a flag",
     .args = {"apply", "--all", "--dry-run=-5", "FILE"},
     .status = 2,
     .err = {"--dry-run takes no value: \"--dry-run=-5\"\nNothing was sent"}},
    {.what = "a count of none",
     .args = {"apply", "--watch", "--count", "0", "FILE"},
     .status = 2,
     .err = {"--count: \"0\" is not a number of readers; allowed: 1 to 1000000\n"}},
    {.what = "no command",
     .args = {},
     .status = 2,
     .err = {"no command given; the commands are list, info, template, apply, reset or "
             "typing-check\n"}},
    {.what = "no file", .args = {"apply"}, .status = 2, .err = {"apply: no settings file given"}},
    {.what = "an option without its value",
     .args = {"reset", "--reader"},
     .status = 2,
     .err = {"reset: --reader is given without its value\n"}},
    {.what = "a file named like an option",
     .args = {"apply", "-x.toml"},
     .status = 2,
     .err = {"a file whose name starts with \"-\" is given as ./-x.toml or after \"--\""}},
    {.what = "an option in the reader's place",
     .args = {"apply", "--reader", "--dry-run", "FILE"},
     .status = 2,
     .err = {"--reader: \"--dry-run\" is an option, not a reader;"}},
    {.what = "an empty reader name",
     .args = {"reset", "--reader", ""},
     .status = 2,
     .err = {"--reader: an empty name names no reader"}},
    {.what = "--watch with --all", .args = {"apply", "--watch", "--all", "FILE"}, .status = 2},
    {.what = "a folder",
     .args = {"apply", "."},
     .status = 2,
     .err = {".: cannot be read: it is a folder\nNothing was sent"}},
    {.what = "a file past the limit",
     .args = {"apply", "FILE"},
     .file = std::string(1048577, '#'),
     .status = 2,
     .err = {": cannot be read: 1048577 bytes is too large for a settings file\nNothing"}},
    {.what = "a mistake in the file, as the parser words it",
     .args = {"apply", "--all", "FILE"},
     .file = "family = \"iso14443a\"\n[snr]\nend-count = 0\n",
     .status = 2,
     .err = {":3:13: snr.end-count: 0 is out of range; allowed: 1 to 10\nNothing was sent"}},
    {.what = "several readers and none named",
     .args = {"apply", "FILE"},
     .status = 2,
     .err = {"3 readers can be opened; name one with --reader (its path, serial number or "
             "location), or use --all:\n  sim:hid/0\n  sim:hid/1\n  sim:hid/2\nNothing"}},
    {.what = "a serial number two readers share",
     .args = {"reset", "--reader", "a1"},
     .arrange = [](SimHost&, Readers& r) { Named(*r[0], "A1", "1-2"), Named(*r[2], "A1", "1-3"); },
     .status = 2,
     .err = {"--reader a1 names 2 readers, which share this serial number:\n  sim:hid/0 "
             "(location 1-2)\n  sim:hid/2 (location 1-3)\nName one by its location or path.\n"
             "Nothing"}},

    // Names: UTF-8 whole, control characters shown, the unmatched under "name".
    {.what = "a name that matches nothing",
     .args = {"info", "--reader", "\xE8\xAE\xBE\xE7\xBD\xAE"},
     .status = 3,
     .err = {"\xE8\xAE\xBE\xE7\xBD\xAE: no reader has this path, serial number or location\n"}},
    {.what = "... and in JSON",
     .args = {"info", "--json", "--reader", "\xE8\xAE\xBE\xE7\xBD\xAE"},
     .status = 3,
     .json = {{"/readers/0/name", "\xE8\xAE\xBE\xE7\xBD\xAE"},
              {"/readers/0/path", nullptr},
              {"/readers/0/result", "unopened"},
              {"/summary/exit", 3}}},
    {.what = "by serial number in any case, location and path",
     .args = {"reset", "--reader", "c3"},
     .arrange = [](SimHost&, Readers& r) { Named(*r[1], "C3", "1-4"); },
     .out = {"sim:hid/1 (serial C3): Device Reset Success.\n"},
     .reports = {0, 1, 0}},
    {.what = "a serial number shown as a terminal can",
     .args = {"apply", "--reader", "1-4", "FILE"},
     .arrange = [](SimHost&, Readers& r) { Named(*r[2], "S\"0\x01\xC3\x84", "1-4"); },
     .out = {"sim:hid/2 (serial S\"0?\xC3\x84): DownLoad Successed\n"},
     .reports = {0, 0, 5}},
    {.what = "a reader's interface that never opens is part of it",
     .args = {"apply", "--all", "FILE"},
     .arrange =
         [](SimHost&, Readers& r) {
           Named(*r[1], "K", "1-5").openError = EBUSY;
           Named(*r[2], "K", "1-5");
         },
     .out = {"sim:hid/0: DownLoad Successed\nsim:hid/2 (serial K): DownLoad Successed\n2 of 2"},
     .reports = {5, 0, 5}},

    // Results: every reader is told, a failing one stops no other.
    {.what = "a refusing reader among others",
     .args = {"apply", "--all", "FILE"},
     .arrange = [](SimHost&,
                   Readers& r) { r[1]->FailNext(ReaderCommand::Unlock, SimFault::Refuse()); },
     .status = 1,
     .out = {"sim:hid/0: DownLoad Successed\nsim:hid/2: DownLoad Successed\n2 of 3 readers "
             "configured\n"},
     .err = {"sim:hid/1: DownLoad Failure. (the unlock was not accepted)\n"},
     .reports = {5, 3, 5}},
    {.what = "... in JSON, with a failing and an unopenable one",
     .args = {"apply", "--all", "--json", "FILE"},
     .arrange =
         [](SimHost&, Readers& r) {
           r[0]->FailNext(ReaderCommand::Unlock, SimFault::Refuse());
           r[1]->FailAlways(ReaderCommand::WritePage, SimFault::FailRead(EIO));
           r[2]->openError = EBUSY;
         },
     .status = 1,
     .reports = {3, 5, 0},
     .json = {{"/readers/0/result", "refused"},
              {"/readers/0/reason", "the unlock was not accepted"},
              {"/readers/0/error", nullptr},
              {"/readers/1/result", "failed"},
              {"/readers/1/error", EIO},
              {"/readers/1/text",
               "DownLoad Failure. LastError: " + kEio + " (page 0 was not accepted)"},
              {"/readers/2/result", "unopened"},
              {"/readers/2/text", kBusy},
              {"/summary", {{"readers", 3}, {"succeeded", 0}, {"failed", 3}, {"exit", 1}}}}},
    {.what = "a reader that lacks a card kind",
     .args = {"apply", "FILE"},
     .file = "family = \"iso14443a\"\n[ultralight]\noutput = true\n",
     .readers = 1,
     .arrange =
         [](SimHost&, Readers& r) {
           r[0]->capabilities = {0x05, 0x01, 0, 0};
         },
     .status = 1,
     .err = {"sim:hid/0: refused: the reader does not support ultralight; it supports iso14443a "
             "(mifare), iso15693 (no card kinds); nothing was written\n"},
     .reports = {2}},
    {.what = "a reader that does not tell what it supports",
     .args = {"apply", "FILE"},
     .readers = 1,
     .arrange = [](SimHost&,
                   Readers& r) { r[0]->FailNext(ReaderCommand::Capability, SimFault::Refuse()); },
     .status = 1,
     .err = {"sim:hid/0: the reader did not tell what it supports; nothing was written\n"},
     .reports = {2}},
    {.what = "resets, refused and failed",
     .args = {"reset", "--all", "--json"},
     .arrange =
         [](SimHost&, Readers& r) {
           r[1]->FailNext(ReaderCommand::Reset, SimFault::Refuse());
           r[2]->FailNext(ReaderCommand::Reset, SimFault::FailSend(EIO));
         },
     .status = 1,
     .reports = {1, 1, 0},
     .json = {{"/readers/0/text", "Device Reset Success."},
              {"/readers/1/reason", "the reset was not accepted"},
              {"/readers/2/reason", "the reset could not be sent or its answer read"},
              {"/readers/2/text", "LastError: " + kEio}}},
    {.what = "no reader",
     .args = {"reset", "--all"},
     .readers = 0,
     .status = 3,
     .err = {"No reader found.\n"}},
    {.what = "only one reader opens: it is the one meant",
     .args = {"apply", "FILE"},
     .readers = 2,
     .arrange =
         [](SimHost& host, Readers& r) {
           host.AddDevice(0x046D, 0xC077);
           r[0]->openError = EBUSY;
         },
     .out = {"sim:hid/1: DownLoad Successed\n"},
     .reports = {0, 5}},
    {.what = "list: every reader, the reader's own text made UTF-8",
     .args = {"list"},
     .readers = 2,
     .arrange =
         [](SimHost&, Readers& r) {
           r[0]->openError = EBUSY;
           r[1]->identification = "R\x80";
           r[1]->capabilities = {0x06, 0, 0x02, 0};
         },
     .status = 1,
     .out = {"sim:hid/0\n  serial: none\n  location: none\n  " + kBusy +
             "\nsim:hid/1\n  serial: none\n  location: none\n  identification: R\xC2\x80\n"
             "  supports: iso14443b (sri), iso15693 (no card kinds)\n"},
     .reports = {0, 2}},
    {.what = "... in JSON",
     .args = {"list", "--json"},
     .readers = 2,
     .arrange =
         [](SimHost&, Readers& r) {
           r[0]->openError = EBUSY;
           r[1]->identification = "R\x80";
           r[1]->FailNext(ReaderCommand::Capability, SimFault::FailSend(EIO));
         },
     .status = 1,
     .reports = {0, 1},
     .json = {{"/readers/0/opens", false},
              {"/readers/0/error", EBUSY},
              {"/readers/1/opens", true},
              {"/readers/1/identification", "R\xC2\x80"},
              {"/readers/1/families", nullptr},
              {"/readers/1/reason", "the reader did not tell what it supports"}}},
    // What the dry run shows, with the dialog's adjustments and the key sent.
    {.what = "a dry run",
     .args = {"apply", "--dry-run", "FILE"},
     .file = "family = \"iso14443a\"\n[mifare]\nstart-sector = 10\nend-sector = 4\n"
             "key = \"3a7c 19e5 b0\"\n",
     .out = {"  mifare.end-sector = 10  (given 4)\n",
             "  mifare.key = \"3A7C19E5B077\"  (given \"3a7c 19e5 b0\")\n",
             "  mifareKey                   3A 7C 19 E5 B0 77\n"},
     .err = {":5:7: mifare.key: warning: \"3a7c 19e5 b0\" has 10 of 12 hexadecimal digits; a "
             "shorter key is filled up with 7s, as the dialog does: \"3A7C19E5B077\"\n"}},
    {.what = "... in JSON",
     .args = {"apply", "--dry-run", "--json", "FILE"},
     .file = "family = \"iso15693\"\n[icode]\nstart-block = 5\n",
     .json = {{"/settings/icode.start-block", 5},
              {"/pages/1/fields/iCodeStartBlock", "05"},
              {"/reports/0/request", "Unlock"}}},
    {.what = "--help, with the exit statuses",
     .args = {"--help"},
     .out = {"  4  standard output or error could not be written, or template --output could not "
             "write its file: results are lost\n"}},
};

void Expect(const Case& run, const Told& told, const Readers& readers) {
  EXPECT_EQ(told.status, run.status);
  for (const std::string& part : run.out) EXPECT_HAS(told.out, part);
  for (const std::string& part : run.err) EXPECT_HAS(told.err, part);
  for (std::size_t i = 0; i < readers.size(); ++i) {
    const std::size_t expected = run.reports.empty() ? 0 : run.reports.at(i);
    EXPECT_EQ(readers[i]->received.size(), expected) << readers[i]->path;
    EXPECT_LE(readers[i]->opens, 1) << readers[i]->path;
  }
  if (run.json.empty()) return;
  const Json document = Json::parse(told.out);
  for (const auto& [pointer, value] : run.json)
    EXPECT_EQ(document.at(Json::json_pointer(pointer)), value) << pointer;
}

TEST(ReaderTool, EachRunTellsWhatHappenedToEachReader) {
  for (const Case& run : kCases) {
    SCOPED_TRACE(run.what);
    SimHost host;
    Readers readers;
    for (int i = 0; i < run.readers; ++i) readers.push_back(&host.AddReader());
    run.arrange(host, readers);
    const std::string file = SettingsFile("run.toml", run.file);
    std::vector<std::string> args = run.args;
    for (std::string& arg : args) arg = arg == "FILE" ? file : arg;
    Expect(run, RunTool(host, args), readers);
    EXPECT_LE(host.enumerations, 1) << "the devices are listed once";
    EXPECT_EQ(host.OpenHandles(), 0);
  }
}

// What the dry run prints is what a reader then holds and was sent.
TEST(ReaderTool, DryRunShowsWhatApplySends) {
  SimHost host;
  const SimReader& reader = host.AddReader();
  const std::string file =
      SettingsFile("dry.toml", "family = \"iso15693\"\n[icode]\noutput = true\n");
  const Json dry = Json::parse(RunTool(host, {"apply", "--dry-run", "--json", file}).out);
  EXPECT_EQ(RunTool(host, {"apply", file}).status, 0);
  for (std::size_t i = 0; i < 3; ++i)
    EXPECT_EQ(dry["reports"][i]["bytes"], HexBytes(FrameBytes(reader.received.at(2 + i))));
}

// A template written by name is UTF-8 under a name of any script; a failed
// write leaves the file that was there whole.
TEST(ReaderTool, TemplateFileIsWrittenWholeOrNotAtAll) {
  SimHost host;
  const std::string name = "\xE8\xAE\xBE\xE7\xBD\xAE-template.toml";
  EXPECT_EQ(RunTool(host, {"template", "--output", name}).status, 0);
  std::string text = FileText(name);
  std::erase(text, '\r');
  EXPECT_EQ(text, RunTool(host, {"template"}).out);
  std::filesystem::create_directory(Utf8Path(name + ".saving"));  // where it writes first
  SettingsFile(name, "mine");
  const Told failed = RunTool(host, {"template", "--output", name});
  EXPECT_EQ(failed.status, 4);
  EXPECT_HAS(failed.err, "-template.toml: cannot be written: ");
  EXPECT_EQ(FileText(name), "mine");
  std::filesystem::remove(Utf8Path(name + ".saving"));
}

// Output that cannot be written is lost, but every reader is still done.
TEST(ReaderTool, LostOutputEndsWithFourAfterEveryReader) {
  SimHost host;
  std::vector<const SimReader*> readers{&host.AddReader(), &host.AddReader()};
  const std::string file = SettingsFile("lost.toml", kTypeA);
  std::ostream full(nullptr);
  EXPECT_EQ(RunTool(host, {"apply", "--all", file}, SystemWatchHooks(), &full).status, 4);
#ifndef _WIN32
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  close(ends[0]);  // as "| head -c 10" does once it has its bytes
  __gnu_cxx::stdio_filebuf<char> pipeOut(ends[1], std::ios::out);
  std::ostream piped(&pipeOut);
  const Told told = RunTool(host, {"apply", "--all", file}, SystemWatchHooks(), &piped);
  EXPECT_EQ(told.status, 4);
  EXPECT_HAS(told.err, "standard output could not be written; results are lost\n");
#endif
  for (const SimReader* reader : readers) EXPECT_EQ(reader->received.size() % 5, 0u);
  EXPECT_EQ(readers[0]->received.size(), readers[1]->received.size());
}

// The watch's clock, pauses and stop: step i runs in pause i; the watch is
// stopped at the pause after the last step, so the last step has one look.
struct FakeWaiting {
  std::vector<std::function<void()>> steps;
  int starts = 0, pauses = 0;

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
      time.tm_year = 126, time.tm_mon = 11, time.tm_mday = 7, time.tm_hour = 9;
      time.tm_sec = pauses;
      return time;
    };
    return hooks;
  }
};

// A reader attached at the start arrives first; one that stays is left
// alone; one unplugged and plugged in again is configured again; the count
// ends the watch at once.
TEST(ReaderWatch, ConfiguresEachReaderOnceAsItArrivesUntilTheCount) {
  SimHost host;
  SimReader& first = Named(host.AddReader(), "W1", "1-4.1");
  SimReader& second = Named(host.AddReader(), "W2", "1-4.2");
  host.Unplug(second);
  FakeWaiting waiting{
      {[&] { host.Plug(second); }, [] {}, [&] { host.Unplug(first); }, [&] { host.Plug(first); }}};
  const std::string file = SettingsFile("watch.toml", "family = \"iso15693\"\n");
  const Told told = RunTool(host, {"apply", "--watch", "--count", "3", file}, waiting.Hooks());
  EXPECT_EQ(told.out,
            "09:00:00 1/3 sim:hid/0 (serial W1): DownLoad Successed\n"
            "09:00:01 2/3 sim:hid/1 (serial W2): DownLoad Successed\n"
            "09:00:04 3/3 sim:hid/0 (serial W1): DownLoad Successed\n"
            "3 of 3 readers configured\n");
  EXPECT_EQ(told.err,
            "Waiting for readers: each one plugged in is configured once, until 3 have been. "
            "Ctrl-C stops.\n");
  EXPECT_EQ(first.received.size() + second.received.size(), 3u * 5);
  EXPECT_EQ(waiting.starts * 10 + waiting.pauses, 14);
  FakeWaiting unused;  // a bad file ends the watch before it waits for anything
  const std::string bad = SettingsFile("watch.toml", "family = \"iso14443z\"\n");
  EXPECT_EQ(RunTool(host, {"apply", "--watch", bad}, unused.Hooks()).status, 2);
  EXPECT_EQ(unused.starts + unused.pauses, 0);
}

// A refusal and a reader that never opens are told and counted; one that
// opens only at a later look is configured then; a device that is no reader
// is never touched. JSON: one object a line.
TEST(ReaderWatch, TellsFailuresAndRetriesUnopenedReaders) {
  SimHost host;
  Named(host.AddReader(), "F0", "").FailNext(ReaderCommand::Unlock, SimFault::Refuse());
  SimReader& late = Named(host.AddReader(), "F1", "");
  late.openError = EACCES;
  Named(host.AddReader(), "F2", "").openError = EBUSY;
  const SimDevice& foreign = host.AddDevice(0x046D, 0xC077);
  FakeWaiting waiting{{[] {}, [&] { late.openError = 0; }}};
  waiting.steps.resize(kWatchOpenLooks, [] {});
  const std::string file = SettingsFile("watch.toml", kTypeA);
  const Told told = RunTool(host, {"apply", file, "--watch", "--json"}, waiting.Hooks());
  EXPECT_EQ(told.status, 1);
  std::istringstream lines(told.out);
  std::vector<Json> objects;
  for (std::string line; std::getline(lines, line);) objects.push_back(Json::parse(line));
  ASSERT_EQ(objects.size(), 4u);
  EXPECT_EQ(objects[0]["reason"], "the unlock was not accepted");
  EXPECT_EQ(objects[1]["time"], "2026-12-07T09:00:02");
  EXPECT_EQ(objects[1]["count"], 2);
  EXPECT_EQ(objects[2]["text"], kBusy);
  EXPECT_EQ(objects[3]["summary"]["succeeded"], 1);
  EXPECT_EQ(late.received.size(), 5u);
  EXPECT_EQ(foreign.opens, 0);
}

}  // namespace
}  // namespace tavrin::cli
