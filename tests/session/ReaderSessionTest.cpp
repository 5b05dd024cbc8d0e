// What the dialog's tests do not reach in the session: the permission hint
// and the capability request built over the info reply.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "session/Description.h"
#include "session/ReaderSession.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

// Each system's way out of a reader it may not open.
#ifdef _WIN32
constexpr const char* kPermissionHint =
    "Reader found, but access was denied: close other programs that use it and try again.";
#else
constexpr const char* kPermissionHint =
    "Reader found, but permission was denied: install the udev rule (see the README, \"Device "
    "access on Linux\").";
#endif

TEST(ReaderSession, PermissionHintAndTheRequestFiller) {
  SimHost host;
  SimReader& reader = host.AddReader();
  ReaderSession session{host};
  reader.openError = EACCES;
  EXPECT_EQ(DisconnectedText(session.Open()),
            std::string("Device Disconnected\r\n") + kPermissionHint);
  EXPECT_FALSE(session.IsOpen());

  reader.openError = 0;
  reader.identification = "READER 7";
  session.Open();
  session.Identify();
  EXPECT_EQ(reader.received.at(1)[11], 'R');
}

}  // namespace
}  // namespace tavrin
