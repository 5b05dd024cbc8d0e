#include "cli/ReaderTool.h"

#include <CLI/CLI.hpp>
#include <functional>

#include "cli/Commands.h"

namespace tavrin::cli {
namespace {

constexpr const char* kFooter =
    "Exit status:\n"
    "  0  all done\n"
    "  1  some reader refused, failed or could not be opened\n"
    "  2  usage or settings-file error; nothing was sent\n"
    "  3  no reader found, or none could be opened\n"
    "\n"
    "Start a settings file with \"tavrin-reader template > readers.toml\".";

// --reader READER and --all, which exclude each other.
void AddScope(CLI::App& command, ReaderScope& scope, bool withAll) {
  CLI::Option* reader = command.add_option(
      "--reader", scope.path,
      "The reader with this device path, serial number or USB location (as \"list\" shows them)");
  if (!withAll) return;
  command.add_flag("--all", scope.all, "Every reader found, one after the other")->excludes(reader);
}

}  // namespace

int RunReaderTool(int argc, const char* const* argv, HidHost& host, std::ostream& out,
                  std::ostream& err) {
  return RunReaderTool(argc, argv, host, out, err, SystemWatchHooks());
}

int RunReaderTool(int argc, const char* const* argv, HidHost& host, std::ostream& out,
                  std::ostream& err, const WatchHooks& waiting) {
  CLI::App app{"Configures Tavrin card readers from the command line and settings files.",
               "tavrin-reader"};
  app.footer(kFooter);
  app.set_version_flag("--version", "tavrin-reader " TAVRIN_VERSION);
  app.require_subcommand(1);
  // A settings file may be named by a path that starts with a slash.
  app.allow_windows_style_options(false);

  std::function<int()> run;
  bool json = false;
  ReaderScope scope;
  ApplyOptions apply;
  apply.waiting = waiting;

  CLI::App* list = app.add_subcommand(
      "list",
      "Every reader: its path, serial number and location, whether it opens, what it supports");
  list->add_flag("--json", json, "Print JSON for scripts");
  list->callback([&] { run = [&] { return ListReaders(host, json, out, err); }; });

  CLI::App* info = app.add_subcommand("info", "What one reader is and supports");
  AddScope(*info, scope, false);
  info->add_flag("--json", json, "Print JSON for scripts");
  info->callback([&] { run = [&] { return ShowInfo(host, scope, json, out, err); }; });

  app.add_subcommand("template", "Print a settings file with the dialog's start-up values")
      ->callback([&] { run = [&] { return PrintTemplate(out); }; });

  CLI::App* applyCommand =
      app.add_subcommand("apply", "Check a settings file, then write it into the reader");
  applyCommand->add_option("file", apply.file, "The settings file (TOML)")->required();
  AddScope(*applyCommand, apply.scope, true);
  CLI::Option* dryRun = applyCommand->add_flag(
      "--dry-run", apply.dryRun, "Touch no reader: print the pages and reports that would be sent");
  applyCommand->add_flag("--json", apply.json,
                         "Print JSON for scripts: one object per reader, or the dry run");
  CLI::Option* watch = applyCommand->add_flag(
      "--watch", apply.watch,
      "Wait for readers and configure each once as it is plugged in, until Ctrl-C");
  watch->excludes(dryRun)
      ->excludes(applyCommand->get_option("--reader"))
      ->excludes(applyCommand->get_option("--all"));
  applyCommand->add_option("--count", apply.count, "With --watch: stop after N readers")
      ->check(CLI::PositiveNumber)
      ->needs(watch);
  applyCommand->callback([&] { run = [&] { return ApplySettings(host, apply, out, err); }; });

  CLI::App* reset = app.add_subcommand("reset", "Restart the reader");
  AddScope(*reset, scope, true);
  reset->add_flag("--json", json, "Print JSON for scripts");
  reset->callback([&] { run = [&] { return ResetReaders(host, scope, json, out, err); }; });

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error, out, err);
    return status == 0 ? kExitDone : kExitUsage;
  }
  return run();
}

}  // namespace tavrin::cli
