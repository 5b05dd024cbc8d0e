// libFuzzer target: a short run of user actions on the configuration dialog
// against a reader whose every answer the input chooses (FuzzScript.h). The
// rules of the test engine judge each action; a broken one aborts so that
// libFuzzer keeps the input. Sanitizers watch the rest.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "FuzzScript.h"
#include "Rules.h"

namespace {

void Require(const QStringList& problems, const tavrin::engine::Action& action) {
  if (problems.isEmpty()) return;
  std::fprintf(stderr, "after %s: %s\n", qPrintable(tavrin::engine::Describe(action)),
               qPrintable(problems.join("; ")));
  std::abort();
}

}  // namespace

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
  tavrin::fuzz::FuzzScript script(data, size);
  {
    Rig rig;
    rig.storesAsSent = false;  // the script answers for the firmware
    rig.reader.replyHook = [&script](const tavrin::ReaderFrame& request) {
      return script.NextReply(request);
    };
    for (const Action& action : script.Actions()) {
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
