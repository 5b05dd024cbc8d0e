// tavrin-uhid-reader: emulated readers on the kernel's HID stack, for the
// tests that run in a throwaway virtual machine.
//
//   tavrin-uhid-reader serve [SOCKET]       make no reader yet; serve commands
//   tavrin-uhid-reader ask COMMAND [ARG]    send one command, print the reply
//
// The commands are listed in sim/uhid/Emulation.h. ask exits with 1 when
// the reply is an error or the emulation cannot be reached.
#include <cstdio>
#include <string>

#include "sim/uhid/Emulation.h"

namespace {

int Usage() {
  std::fputs("usage: tavrin-uhid-reader serve [SOCKET] | ask COMMAND [ARG]\n", stderr);
  return 2;
}

int Ask(int argc, char** argv) {
  std::string command;
  for (int i = 2; i < argc; ++i) {
    if (i > 2) command += ' ';
    command += argv[i];
  }
  const auto reply = tavrin::AskEmulation(command);
  if (!reply) {
    std::fprintf(stderr, "no emulation at %s\n", tavrin::kEmulationSocket);
    return 1;
  }
  std::printf("%s\n", reply->c_str());
  return reply->starts_with("error:") ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "ask" && argc > 2) return Ask(argc, argv);
  if (mode != "serve" || argc > 3) return Usage();
  tavrin::Emulation emulation;
  const std::string error = emulation.Serve(argc > 2 ? argv[2] : tavrin::kEmulationSocket);
  std::fprintf(stderr, "tavrin-uhid-reader: %s\n", error.c_str());
  return 1;
}
