// tavrin-bench: prints how fast the configuration tool starts, what its
// dialog and operations cost, how many exchanges each operation makes and
// how much memory the program takes at start. Offscreen; no reader needed.
#include <QApplication>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ChildRuns.h"
#include "DialogCosts.h"
#include "Median.h"

namespace tavrin::bench {
namespace {

constexpr int kStartRuns = 15;
constexpr int kDialogRuns = 50;
constexpr double kIdleSeconds = 3;

constexpr double kStartRatioTarget = 1.3;
constexpr double kConstructionTargetMs = 20;
constexpr double kDownloadTargetMs = 1;
constexpr double kPeakRssTargetMb = 45;

struct StartFigures {
  double shownMs = 0;
  double peakRssMb = 0;
  int failures = 0;
};

enum Program { kProduct, kBare, kBareWithText, kProgramCount };

// The programs in turn, so that all see the same machine; one unmeasured run
// of each first warms the file cache.
void MeasureStarts(StartFigures (&figures)[kProgramCount]) {
  const std::string directory = OwnDirectory();
  const std::vector<std::string> commands[kProgramCount] = {
      {directory + "/tavrin-bench-product"},
      {directory + "/tavrin-bench-bare"},
      {directory + "/tavrin-bench-bare", "Tavrin Config Tools"},
  };
  std::vector<double> shown[kProgramCount];
  std::vector<double> rss[kProgramCount];
  for (int run = -1; run < kStartRuns; ++run) {
    for (int which = 0; which < kProgramCount; ++which) {
      const auto result = RunUntilShown(commands[which]);
      if (!result) ++figures[which].failures;
      if (!result || run < 0) continue;
      shown[which].push_back(result->shownMs);
      rss[which].push_back(result->peakRssMb);
    }
  }
  for (int which = 0; which < kProgramCount; ++which) {
    figures[which].shownMs = Median(shown[which]);
    figures[which].peakRssMb = Median(rss[which]);
  }
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

void Row(const char* what, const std::string& figure, const std::string& target = "",
         const char* verdict = "") {
  std::printf("%-50s %-28s %-14s %s\n", what, figure.c_str(), target.c_str(), verdict);
}

std::string Format(const char* format, double a, double b = 0) {
  char text[64];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

std::string Exchanges(const OperationCost& cost) {
  return cost.minExchanges == cost.maxExchanges
             ? std::to_string(cost.minExchanges)
             : std::to_string(cost.minExchanges) + "-" + std::to_string(cost.maxExchanges);
}

void PrintOperation(const char* what, const OperationCost& cost, double targetMs) {
  const std::string figure = Format("%.3f ms (sim %.3f ms)", cost.ownMs, cost.simMs);
  if (targetMs > 0) {
    Row(what, figure, Format("<= %.0f ms", targetMs), Verdict(cost.ownMs <= targetMs));
  } else {
    Row(what, figure);
  }
  if (!cost.succeeded) Row("  (some runs did not end as expected)", "");
}

double Ratio(const StartFigures& figures, const StartFigures& yardstick) {
  return yardstick.shownMs > 0 ? figures.shownMs / yardstick.shownMs : 0;
}

void PrintStarts(const StartFigures (&figures)[kProgramCount]) {
  const StartFigures& product = figures[kProduct];
  Row("start to dialog shown, product path", Format("%.1f ms", product.shownMs));
  Row("start to dialog shown, bare Qt QDialog", Format("%.1f ms", figures[kBare].shownMs));
  const double ratio = Ratio(product, figures[kBare]);
  Row("  ratio to the bare QDialog", Format("%.2f", ratio), Format("<= %.1f", kStartRatioTarget),
      Verdict(ratio <= kStartRatioTarget));
  Row("start to dialog shown, QDialog with one label",
      Format("%.1f ms", figures[kBareWithText].shownMs));
  Row("  ratio to the QDialog with one label",
      Format("%.2f", Ratio(product, figures[kBareWithText])));
  Row("peak resident memory at start, product path", Format("%.1f MB", product.peakRssMb),
      Format("<= %.0f MB", kPeakRssTargetMb), Verdict(product.peakRssMb <= kPeakRssTargetMb));
  Row("peak resident memory at start, bare Qt QDialog",
      Format("%.1f MB", figures[kBare].peakRssMb));
}

void PrintDialog(const DialogCosts& costs) {
  Row("ConfigDialog construction + start-up, median",
      Format("%.2f ms (first %.1f ms)", costs.medianConstructionMs, costs.firstConstructionMs),
      Format("<= %.0f ms", kConstructionTargetMs),
      Verdict(costs.medianConstructionMs <= kConstructionTargetMs));
  PrintOperation("Connect CPU, own work", costs.connect, 0);
  PrintOperation("DownLoad CPU, own work", costs.download, kDownloadTargetMs);
  PrintOperation("Reset CPU, own work", costs.reset, 0);
  const std::string counts = Exchanges(costs.connect) + " / " + Exchanges(costs.download) + " / " +
                             Exchanges(costs.reset) + " / " + std::to_string(costs.idleExchanges);
  Row(Format("exchanges: Connect / DownLoad / Reset / idle %.0f s", costs.idleSeconds).c_str(),
      counts, "2 / 3 / 1 / 0", Verdict(counts == "2 / 3 / 1 / 0"));
}

void PrintHeading() {
  std::printf("Tavrin Config Tools benchmark, QT_QPA_PLATFORM=%s\n",
              qgetenv("QT_QPA_PLATFORM").constData());
  std::printf(
      "Start: from spawning the program until its first dialog has painted itself and its\n"
      "controls; median of %d runs each after one warm-up run. The\n"
      "product path is the program's own ConfigApp::Run on the platform HID host; the\n"
      "yardsticks are an empty QDialog and a QDialog with one label. Peak memory: the child's\n"
      "maximum resident set. Operations: thread CPU time of one click against the simulated\n"
      "reader, median of %d, with the simulated host's own time apart.\n\n",
      kStartRuns, kDialogRuns);
  Row("what", "measured", "target", "");
}

}  // namespace
}  // namespace tavrin::bench

int main(int argc, char** argv) {
  using namespace tavrin::bench;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  StartFigures starts[kProgramCount];
  MeasureStarts(starts);
  QApplication app(argc, argv);
  const DialogCosts costs = MeasureDialogCosts(kDialogRuns, kIdleSeconds);
  PrintHeading();
  PrintStarts(starts);
  PrintDialog(costs);
  int failures = 0;
  for (const StartFigures& figures : starts) failures += figures.failures;
  if (failures > 0) std::printf("\n%d start runs did not show their dialog\n", failures);
  return failures == 0 ? 0 : 1;
}
