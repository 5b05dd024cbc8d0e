#include "cli/ReaderTool.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <csignal>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Text.h"
#include "cli/TypingCheck.h"
#include "config/SettingsFile.h"

namespace tavrin::cli {
namespace {

constexpr const char* kNothingSent = "Nothing was sent to any reader.";
constexpr int kMostReaders = 1000000;
// Flags are on or off: a value given to one is a mistake, never a setting.
constexpr std::array<std::string_view, 4> kFlags{"--all", "--dry-run", "--json", "--watch"};

std::string Footer() {
  std::string footer = "Exit status:\n";
  for (const ExitStatusMeaning& exit : kExitStatuses)
    footer += "  " + std::to_string(exit.status) + "  " + exit.meaning + "\n";
  return footer + "\nStart a settings file with \"tavrin-reader template --output readers.toml\".";
}

void RefuseFlagValues(int argc, const char* const* argv) {
  for (int i = 1; i < argc && std::string_view(argv[i]) != "--"; ++i) {
    const std::string_view arg = argv[i];
    for (const std::string_view flag : kFlags) {
      if (arg.starts_with(flag) && arg.size() > flag.size() && arg[flag.size()] == '=')
        Fail(kExitUsage, {std::string(flag) + " takes no value: " + ShownText(arg)});
    }
  }
}

int CountOf(const std::string& text) {
  int count = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
  if (error != std::errc() || end != text.data() + text.size() || count < 1 || count > kMostReaders)
    Fail(kExitUsage,
         {"--count: " + ShownText(text) + " is not a number of readers; allowed: 1 to " +
          std::to_string(kMostReaders)});
  return count;
}

// An empty name would mean the first reader, and one that starts with "-"
// is an option that took the name's place: neither names a reader.
void CheckReaderName(const std::string& name) {
  if (name.empty())
    Fail(kExitUsage, {"--reader: an empty name names no reader; \"tavrin-reader list\" shows "
                      "their names"});
  if (name.front() == '-')
    Fail(kExitUsage, {"--reader: " + ShownText(name) +
                      " is an option, not a reader; give the reader's path, serial number or "
                      "location after --reader"});
}

std::string CommandNames(CLI::App& app) {
  const std::vector<CLI::App*> every = app.get_subcommands({});
  std::string names;
  for (std::size_t i = 0; i < every.size(); ++i)
    names += (i == 0 ? "" : i + 1 == every.size() ? " or " : ", ") + every[i]->get_name();
  return names;
}

// The argument library's refusal in our words: what was wrong, and where.
std::string Misunderstood(CLI::App& app, const CLI::ParseError& error, int argc,
                          const char* const* argv) {
  const std::vector<CLI::App*> given = app.get_subcommands();
  if (given.empty()) {
    for (int i = 1; i < argc; ++i) {
      if (argv[i][0] != '-')
        return ShownText(argv[i]) + " is not a command; the commands are " + CommandNames(app);
    }
    return "no command given; the commands are " + CommandNames(app);
  }
  const std::string command = given.front()->get_name();
  for (const std::string& arg : given.front()->remaining()) {
    if (arg.size() < 2 || arg.front() != '-')
      return command + ": " + ShownText(arg) + " is one argument too many";
    const std::string told = command + ": " + ShownText(arg) + " is not one of its options (\"" +
                             "tavrin-reader " + command + " --help\" lists them)";
    if (arg[1] == '-' && arg.find('.') == std::string::npos) return told;
    const std::string file = arg.size() <= 40 ? arg : "-NAME";
    return told + "; a file whose name starts with \"-\" is given as ./" + file +
           " or after \"--\": tavrin-reader " + command + " -- " + file;
  }
  if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr && command == "apply")
    return "apply: no settings file given: tavrin-reader apply FILE";
  const std::string what = error.what();
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr && what.starts_with("-"))
    return command + ": " + what.substr(0, what.find(':')) + " is given without its value";
  return command + ": " + error.what();
}

// Results that could not be written were not delivered: the status then
// never says all was done.
int Delivered(int status, std::ostream& out, std::ostream& err) {
  out.flush();
  if (!out) err << "tavrin-reader: standard output could not be written; results are lost\n";
  err.flush();
  return out && err ? status : kExitOutputLost;
}

void Tell(const Failure& failure, std::ostream& err) {
  for (const std::string& line : failure.lines) err << line << "\n";
  if (failure.status == kExitUsage) err << kNothingSent << "\n";
}

}  // namespace

int RunReaderTool(int argc, const char* const* argv, HidHost& host, std::ostream& out,
                  std::ostream& err) {
  return RunReaderTool(argc, argv, host, out, err, SystemWatchHooks());
}

int RunReaderTool(int argc, const char* const* argv, HidHost& host, std::ostream& out,
                  std::ostream& err, const WatchHooks& waiting) {
#ifdef SIGPIPE
  // A reader of our output that goes away loses the output, not the run.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  CLI::App app{"Configures Tavrin card readers from the command line and settings files.",
               "tavrin-reader"};
  app.footer(Footer());
  app.set_version_flag("--version", "tavrin-reader " TAVRIN_VERSION);
  app.require_subcommand(1);
  // A settings file may be named by a path that starts with a slash.
  app.allow_windows_style_options(false);

  std::function<ExitStatus()> run;
  bool json = false;
  std::string templateFile, count;
  ReaderScope scope;
  ApplyOptions apply;
  apply.waiting = waiting;
  const auto addReader = [](CLI::App& command, ReaderScope& into, bool withAll) {
    CLI::Option* reader = command.add_option(
        "--reader", into.name,
        "The reader with this device path, serial number or USB location (as \"list\" shows "
        "them)");
    reader->each(CheckReaderName);
    if (withAll)
      command.add_flag("--all", into.all, "Every reader found, one after the other")
          ->excludes(reader);
  };
  const auto addJson = [](CLI::App& command, bool& into, const char* what) {
    command.add_flag("--json", into, what);
  };

  CLI::App* list = app.add_subcommand(
      "list",
      "Every reader: its path, serial number and location, whether it opens, what it supports");
  addJson(*list, json, "Print JSON for scripts");
  list->callback([&] { run = [&] { return ListReaders(host, json, out, err); }; });

  CLI::App* info = app.add_subcommand("info", "What one reader is and supports");
  addReader(*info, scope, false);
  addJson(*info, json, "Print JSON for scripts");
  info->callback([&] { run = [&] { return ShowInfo(host, scope, json, out, err); }; });

  CLI::App* templateCommand =
      app.add_subcommand("template", "Print a settings file with the dialog's start-up values");
  templateCommand->add_option("-o,--output", templateFile,
                              "Write it into this file, in UTF-8, instead of printing it");
  templateCommand->callback([&] { run = [&] { return PrintTemplate(templateFile, out); }; });

  CLI::App* applyCommand =
      app.add_subcommand("apply", "Check a settings file, then write it into the reader");
  applyCommand->add_option("file", apply.file, "The settings file (TOML)")->required();
  addReader(*applyCommand, apply.scope, true);
  CLI::Option* dryRun = applyCommand->add_flag(
      "--dry-run", apply.dryRun, "Touch no reader: print the pages and reports that would be sent");
  addJson(*applyCommand, apply.json,
          "Print JSON for scripts: one object per reader, or the dry run");
  CLI::Option* watch = applyCommand->add_flag(
      "--watch", apply.watch,
      "Wait for readers and configure each once as it is plugged in, until Ctrl-C");
  watch->excludes(dryRun)
      ->excludes(applyCommand->get_option("--reader"))
      ->excludes(applyCommand->get_option("--all"));
  applyCommand->add_option("--count", count, "With --watch: stop after N readers")->needs(watch);
  applyCommand->callback([&] {
    if (applyCommand->get_option("--count")->count() > 0) apply.count = CountOf(count);
    run = [&] { return ApplySettings(host, apply, out, err); };
  });

  CLI::App* reset = app.add_subcommand("reset", "Restart the reader");
  addReader(*reset, scope, true);
  addJson(*reset, json, "Print JSON for scripts");
  reset->callback([&] { run = [&] { return ResetReaders(host, scope, json, out, err); }; });

  CLI::App* typing = app.add_subcommand("typing-check", kTypingCheckHelp);
  typing->callback([&] { run = [&] { return ExitStatus(TypingCheck(std::cin, out)); }; });

  try {
    RefuseFlagValues(argc, argv);
    try {
      app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
      if (error.get_exit_code() == 0) return Delivered(app.exit(error, out, err), out, err);
      Fail(kExitUsage,
           {Misunderstood(app, error, argc, argv), "Run with --help for more information."});
    }
    return Delivered(run(), out, err);
  } catch (const Failure& failure) {
    Tell(failure, err);
    return Delivered(failure.status, out, err);
  }
}

}  // namespace tavrin::cli
