#include "DialogCosts.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <vector>

#include "CpuTimedHost.h"
#include "Median.h"
#include "form/ConfigDialog.h"
#include "form/ControlTable.h"
#include "sim/SimHost.h"

namespace tavrin::bench {
namespace {

using C = ControlId;

// The reset message would wait for a user; the benchmark has none.
class BenchDialog final : public ConfigDialog {
 public:
  using ConfigDialog::ConfigDialog;

 protected:
  void ShowResetMessage() override {}
};

// Controls are found by name, as a user-level test finds them.
QAbstractButton* ButtonOf(const QWidget& dialog, ControlId id) {
  return dialog.findChild<QAbstractButton*>(QString::fromStdString(DefOf(id).name));
}

QString DescriptionOf(const QWidget& dialog) {
  return dialog.findChild<QLabel*>(QStringLiteral("DescriptionText"))->text();
}

double NsToMs(std::int64_t ns) { return static_cast<double>(ns) / 1e6; }

void Settle() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

struct Session {
  SimHost sim;
  SimReader& reader = sim.AddReader();
  CpuTimedHost host{sim};
  BenchDialog dialog{host};

  void Click(ControlId id) {
    ButtonOf(dialog, id)->click();
    Settle();
  }
  int Sent() const { return static_cast<int>(reader.received.size()); }
  bool Connected() const { return sim.OpenHandles() > 0; }
};

// Clicks button runs times, each after prepare, and times each click.
template <class Prepare, class Succeeded>
OperationCost Measure(Session& session, ControlId button, int runs, Prepare prepare,
                      Succeeded succeeded) {
  std::vector<double> own;
  std::vector<double> sim;
  OperationCost cost;
  cost.minExchanges = 1 << 30;
  for (int i = 0; i < runs; ++i) {
    prepare();
    const int sent = session.Sent();
    const std::int64_t simBefore = session.host.innerNs;
    const std::int64_t start = ThreadCpuNs();
    ButtonOf(session.dialog, button)->click();
    const std::int64_t total = ThreadCpuNs() - start;
    const std::int64_t simNs = session.host.innerNs - simBefore;
    own.push_back(NsToMs(total - simNs));
    sim.push_back(NsToMs(simNs));
    cost.minExchanges = std::min(cost.minExchanges, session.Sent() - sent);
    cost.maxExchanges = std::max(cost.maxExchanges, session.Sent() - sent);
    cost.succeeded = cost.succeeded && succeeded();
    Settle();
  }
  cost.ownMs = Median(own);
  cost.simMs = Median(sim);
  return cost;
}

void MeasureConstruction(DialogCosts& costs, int runs) {
  using Clock = std::chrono::steady_clock;
  SimHost sim;
  std::vector<double> times;
  for (int i = 0; i <= runs; ++i) {
    const Clock::time_point start = Clock::now();
    { BenchDialog dialog(sim); }
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    Settle();
  }
  costs.firstConstructionMs = times.front();
  costs.medianConstructionMs = Median({times.begin() + 1, times.end()});
}

int IdleExchanges(Session& session, double seconds) {
  const int sent = session.Sent();
  QEventLoop idle;
  QTimer::singleShot(static_cast<int>(seconds * 1000), &idle, &QEventLoop::quit);
  idle.exec();
  return session.Sent() - sent;
}

}  // namespace

DialogCosts MeasureDialogCosts(int runs, double idleSeconds) {
  DialogCosts costs;
  MeasureConstruction(costs, runs);

  Session session;
  session.dialog.show();
  Settle();
  auto disconnect = [&] {
    if (session.Connected()) session.Click(C::ConnectButton);
  };
  auto connect = [&] {
    if (!session.Connected()) session.Click(C::ConnectButton);
  };
  costs.connect =
      Measure(session, C::ConnectButton, runs, disconnect, [&] { return session.Connected(); });
  costs.download = Measure(session, C::DownloadButton, runs, connect,
                           [&] { return DescriptionOf(session.dialog) == "DownLoad Successed"; });
  costs.reset = Measure(session, C::ResetButton, runs, connect,
                        [&] { return !session.Connected() && session.reader.resets > 0; });
  connect();
  costs.idleSeconds = idleSeconds;
  costs.idleExchanges = IdleExchanges(session, idleSeconds);
  return costs;
}

}  // namespace tavrin::bench
