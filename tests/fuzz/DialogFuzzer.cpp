// libFuzzer target: a short run of user actions on the configuration dialog
// against a reader whose every answer the input chooses. The rules of the
// test engine judge each action; a broken one aborts so that libFuzzer keeps
// the input. Sanitizers watch the rest.
//
// Input layout: byte 0 is the number of actions (at most kMaxActions); each
// action is an op byte (an engine::ActionKind) and its arguments: one for
// Family, Click and SelectTab, two for SelectItem, a length and its
// characters for TypeKey. Every byte after the actions is a reply choice,
// taken one per request in the order sent. Once the choices run out, the
// simulated firmware answers.
#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "FuzzInput.h"
#include "Rules.h"

namespace tavrin::engine {
namespace {

constexpr std::size_t kMaxActions = 32;
constexpr std::size_t kMaxKeyText = 24;
constexpr int kActionKinds = static_cast<int>(ActionKind::OpenSettings) + 1;

// The actions first, then the reply choices.
class FuzzScript {
 public:
  FuzzScript(const std::uint8_t* data, std::size_t size) : input_(data, size) {
    const std::size_t count = std::min<std::size_t>(input_.Next(), kMaxActions);
    for (std::size_t i = 0; i < count && !input_.Empty(); ++i) actions.push_back(ReadAction());
  }

  std::vector<Action> actions;

  // How the reader answers request: nullopt lets the firmware answer.
  std::optional<SimOutcome> NextReply(const ReaderFrame& request) {
    return input_.NextReply(request);
  }

 private:
  Action ReadAction() {
    Action action;
    action.kind = static_cast<ActionKind>(input_.Next() % kActionKinds);
    if (action.kind == ActionKind::Family || action.kind == ActionKind::Click ||
        action.kind == ActionKind::SelectTab || action.kind == ActionKind::SelectItem) {
      action.arg = input_.Next();
    }
    if (action.kind == ActionKind::SelectItem) action.arg2 = input_.Next();
    if (action.kind == ActionKind::TypeKey) {
      const std::vector<std::uint8_t> text = input_.Take(input_.Next() % (kMaxKeyText + 1));
      action.text = QString::fromLatin1(reinterpret_cast<const char*>(text.data()),
                                        static_cast<qsizetype>(text.size()));
    }
    return action;
  }

  fuzz::FuzzInput input_;
};

void Require(const QStringList& problems, const Action& action) {
  if (problems.isEmpty()) return;
  std::fprintf(stderr, "after %s: %s\n", qPrintable(Describe(action)),
               qPrintable(problems.join("; ")));
  std::abort();
}

}  // namespace
}  // namespace tavrin::engine

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int qtArgc = 1;
  static char* qtArgv[] = {(*argv)[0], nullptr};
  static QApplication app(qtArgc, qtArgv);
  (void)argc;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tavrin::engine;
  FuzzScript script(data, size);
  {
    Rig rig;
    rig.storesAsSent = false;  // the script answers for the firmware
    rig.reader.replyHook = [&script](const tavrin::ReaderFrame& request) {
      return script.NextReply(request);
    };
    for (const Action& action : script.actions) {
      const Before before = Capture(rig);
      Require(Judge(rig, action, Perform(rig, action), before), action);
    }
    rig.EndDialog();
    if (rig.reader.opens != rig.reader.closes) {
      std::fprintf(stderr, "the reader stays open after the dialog closed\n");
      std::abort();
    }
  }
  QCoreApplication::processEvents();
  return 0;
}
