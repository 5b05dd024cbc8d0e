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

#include "Rules.h"

namespace tavrin::engine {
namespace {

constexpr std::size_t kMaxActions = 32;
constexpr std::size_t kMaxKeyText = 24;
constexpr int kActionKinds = static_cast<int>(ActionKind::OpenSettings) + 1;

enum class ReplyKind : std::uint8_t { Firmware, FailSend, FailRead, Raw, Framed, kCount };

// Reads the input front to back; reads past the end give zeros.
class FuzzScript {
 public:
  FuzzScript(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {
    const std::size_t count = std::min<std::size_t>(Next(), kMaxActions);
    for (std::size_t i = 0; i < count && !Empty(); ++i) actions.push_back(ReadAction());
  }

  std::vector<Action> actions;

  // How the reader answers request: nullopt lets the firmware answer.
  std::optional<SimOutcome> NextReply(const ReaderFrame& request) {
    if (Empty()) return std::nullopt;
    switch (static_cast<ReplyKind>(Next() % static_cast<int>(ReplyKind::kCount))) {
      case ReplyKind::FailSend:
        return SimOutcome::FailSend(Next());
      case ReplyKind::FailRead:
        return SimOutcome::FailRead(Next());
      case ReplyKind::Raw: {
        ReaderFrame reply{};
        const std::vector<std::uint8_t> bytes = Take(reply.size());
        std::copy(bytes.begin(), bytes.end(), reply.begin());
        return SimOutcome::Reply(reply);
      }
      case ReplyKind::Framed: {
        const std::uint8_t status = Next();
        const std::vector<std::uint8_t> payload = Take(Next() % (kMaxFrameData + 1));
        return SimOutcome::Reply(SimReply(request[kCommandOffset], status, payload));
      }
      default:
        return std::nullopt;
    }
  }

 private:
  bool Empty() const { return at_ >= size_; }
  std::uint8_t Next() { return Empty() ? 0 : data_[at_++]; }
  std::vector<std::uint8_t> Take(std::size_t count) {
    std::vector<std::uint8_t> taken;
    while (taken.size() < count && !Empty()) taken.push_back(Next());
    return taken;
  }

  Action ReadAction() {
    Action action;
    action.kind = static_cast<ActionKind>(Next() % kActionKinds);
    if (action.kind == ActionKind::Family || action.kind == ActionKind::Click ||
        action.kind == ActionKind::SelectTab || action.kind == ActionKind::SelectItem) {
      action.arg = Next();
    }
    if (action.kind == ActionKind::SelectItem) action.arg2 = Next();
    if (action.kind == ActionKind::TypeKey) {
      const std::vector<std::uint8_t> text = Take(Next() % (kMaxKeyText + 1));
      action.text = QString::fromLatin1(reinterpret_cast<const char*>(text.data()),
                                        static_cast<qsizetype>(text.size()));
    }
    return action;
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
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
