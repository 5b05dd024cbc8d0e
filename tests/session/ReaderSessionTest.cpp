// What the dialog's tests do not reach in the session: the permission hint,
// the capability request built over the info reply, and a key that is no
// hex number (the dialog's random user seldom gets one to a DownLoad).
#include <gtest/gtest.h>

#include <cerrno>

#include "FakeForm.h"
#include "session/Description.h"
#include "session/ReaderSession.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

TEST(ReaderSession, PermissionHintFillerAndTheKeyCheck) {
  SimHost host;
  SimReader& reader = host.AddReader();
  ReaderSession session{host};
  reader.openError = EACCES;
  EXPECT_EQ(DisconnectedText(session.Open()),
            "Device Disconnected\r\nReader found, but permission was denied: install the udev "
            "rule (see the README, \"Device access on Linux\").");
  EXPECT_FALSE(session.IsOpen());

  reader.openError = 0;
  reader.identification = "READER 7";
  session.Open();
  session.Identify();
  EXPECT_EQ(reader.received.at(1)[11], 'R');

  FakeForm form;
  form.key = "12 34 5G";
  EXPECT_EQ(DownloadText(session.Download(form)),
            "Mifare Key Error: enter 12 hex digits (0-9, A-F)");
  EXPECT_EQ(reader.received.size(), 2u);
  EXPECT_EQ(form.key, "12 34 5G");
  form.family = ControlId::TypeBRadio;  // the key is only type A's
  EXPECT_EQ(DownloadText(session.Download(form)), "DownLoad Successed");
}

}  // namespace
}  // namespace tavrin
