// In-process costs of the configuration dialog on the simulated reader:
// construction, the CPU time of each operation with the simulator's part
// apart, and the exchanges each operation and an idle spell make.
#pragma once

namespace tavrin::bench {

struct OperationCost {
  double ownMs = 0;  // median CPU time of the handler, simulator excluded
  double simMs = 0;  // median CPU time spent in the simulated host
  int minExchanges = 0;
  int maxExchanges = 0;
  bool succeeded = true;  // every run ended as the operation should
};

struct DialogCosts {
  double firstConstructionMs = 0;   // includes Qt's one-time set-up
  double medianConstructionMs = 0;  // later constructions
  OperationCost connect;
  OperationCost download;
  OperationCost reset;
  int idleExchanges = 0;
  double idleSeconds = 0;
};

// runs: how many times each thing is measured. Needs a QApplication.
DialogCosts MeasureDialogCosts(int runs, double idleSeconds);

}  // namespace tavrin::bench
