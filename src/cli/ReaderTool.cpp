#include "cli/ReaderTool.h"

#include <CLI/CLI.hpp>
#include <functional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "config/SettingsFile.h"

namespace tavrin::cli {
namespace {

constexpr const char* kFooter =
    "Exit status:\n"
    "  0  all done\n"
    "  1  some reader refused, failed or could not be opened\n"
    "  2  usage or settings-file error; nothing was sent\n"
    "  3  no reader found, or none could be opened\n"
    "  4  standard output or error could not be written\n"
    "\n"
    "Start a settings file with \"tavrin-reader template --output readers.toml\".";

// An empty name would mean the first reader, and one that starts with "-"
// is an option that took the path's place: neither names a reader.
std::string CheckReaderName(const std::string& name) {
  if (name.empty())
    return "an empty name names no reader; \"tavrin-reader list\" shows their names";
  if (name.front() != '-') return "";
  return ShownText(name) +
         " is an option, not a reader; give the reader's path, serial number or location after "
         "--reader";
}

// --reader READER and --all, which exclude each other.
void AddScope(CLI::App& command, ReaderScope& scope, bool withAll) {
  CLI::Option* reader = command.add_option(
      "--reader", scope.path,
      "The reader with this device path, serial number or USB location (as \"list\" shows them)");
  reader->check(CLI::Validator([](std::string& name) { return CheckReaderName(name); }, ""));
  if (!withAll) return;
  command.add_flag("--all", scope.all, "Every reader found, one after the other")->excludes(reader);
}

// Plainer words for two mistakes that the parser words by their
// consequence: a command that does not exist ("A subcommand is required")
// and a file named like an option ("file is required"). Empty otherwise.
std::string Misunderstood(CLI::App& app, int argc, const char* const* argv) {
  const std::vector<CLI::App*> given = app.get_subcommands();
  if (given.empty()) {
    const std::vector<CLI::App*> every = app.get_subcommands({});
    std::string commands;
    for (std::size_t i = 0; i < every.size(); ++i)
      commands += (i == 0 ? "" : i + 1 == every.size() ? " or " : ", ") + every[i]->get_name();
    for (int i = 1; i < argc; ++i) {
      if (argv[i][0] != '-')
        return ShownText(argv[i]) + " is not a command; the commands are " + commands;
    }
    return "";
  }
  const std::string command = given.front()->get_name();
  for (const std::string& arg : given.front()->remaining()) {
    if (arg.size() < 2 || arg.front() != '-') continue;
    const std::string told = command + ": " + ShownText(arg) + " is not one of its options (\"" +
                             "tavrin-reader " + command + " --help\" lists them)";
    if (arg[1] == '-' && arg.find('.') == std::string::npos) return told;
    const std::string file = arg.size() <= 40 ? arg : "-NAME";
    return told + "; a file whose name starts with \"-\" is given as ./" + file +
           " or after \"--\": tavrin-reader " + command + " -- " + file;
  }
  return "";
}

// Results that could not be written were not delivered: the status then
// never says all was done.
int Delivered(int status, std::ostream& out, std::ostream& err) {
  out.flush();
  if (!out) err << "tavrin-reader: standard output could not be written; results are lost\n";
  err.flush();
  return out && err ? status : kExitOutputLost;
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
  std::string templateFile;
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

  CLI::App* templateCommand =
      app.add_subcommand("template", "Print a settings file with the dialog's start-up values");
  templateCommand->add_option("-o,--output", templateFile,
                              "Write it into this file, in UTF-8, instead of printing it");
  templateCommand->callback([&] { run = [&] { return PrintTemplate(templateFile, out, err); }; });

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
    const std::string why = error.get_exit_code() == 0 ? "" : Misunderstood(app, argc, argv);
    if (!why.empty()) {
      err << why << "\nRun with --help for more information.\n";
      return Delivered(kExitUsage, out, err);
    }
    const int status = app.exit(error, out, err);
    return Delivered(status == 0 ? kExitDone : kExitUsage, out, err);
  }
  return Delivered(run(), out, err);
}

}  // namespace tavrin::cli
