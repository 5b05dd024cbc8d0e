#include <gtest/gtest.h>

#include <cerrno>

#include "FakeForm.h"
#include "session/Description.h"
#include "session/ReaderSession.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

struct SessionOnSim : ::testing::Test {
  SimHost host;
  SimReader& reader = host.AddReader();
  ReaderSession session{host};
  FakeForm form;

  void Connect() {
    session.Open();
    ASSERT_TRUE(session.IsOpen());
  }
  std::vector<std::uint8_t> Commands() const {
    std::vector<std::uint8_t> commands;
    for (const ReaderFrame& report : reader.received) commands.push_back(report[8]);
    return commands;
  }
};

TEST_F(SessionOnSim, OpensTheReaderAndSaysWhyNot) {
  reader.openError = EACCES;
  ReaderSearchReport search = session.Open();
  EXPECT_FALSE(session.IsOpen());
  EXPECT_EQ(DisconnectedText(search),
            "Device Disconnected\r\nReader found, but permission was denied: install the udev "
            "rule (see the README, \"Device access on Linux\").");
  reader.openError = ENXIO;
  EXPECT_EQ(DisconnectedText(session.Open()),
            "Device Disconnected\r\nReader found, but it could not be opened (error 6).");
  host.Unplug(reader);
  EXPECT_EQ(DisconnectedText(session.Open()), "Device Disconnected");

  host.Plug(reader);
  reader.openError = 0;
  session.Open();
  EXPECT_TRUE(session.IsOpen());
  session.Close();
  EXPECT_EQ(host.OpenHandles(), 0);
  EXPECT_TRUE(reader.received.empty());
}

TEST_F(SessionOnSim, IdentifiesInTheDescriptionsWords) {
  Connect();
  reader.identification = "READER 7";
  reader.capabilities = {0x07, 0x03, 0x03, 0x01};
  EXPECT_EQ(IdentificationText(session.Identify()),
            "READER 7\r\nDevice Support ISO14443A\r\n  Mifare S50/S70 Card\r\n  UltraLight "
            "Card\r\nDevice Support ISO14443B\r\n  SR176 Card\r\n  SRI512/2K/4K/X4K Card\r\n"
            "Device Support ISO15693\r\n  I.Code SLI\r\n  Tag-it HF-I\r\n");
  // The capability request is built over the info reply, whose tail it keeps.
  ASSERT_EQ(reader.received.size(), 2u);
  EXPECT_EQ(reader.received[1][11], 'R');

  reader.capabilities = {0x02, 0x00, 0x02, 0x01};
  EXPECT_EQ(IdentificationText(session.Identify()),
            "READER 7\r\nDevice Support ISO14443B\r\n  SRI512/2K/4K/X4K Card\r\n");
}

TEST_F(SessionOnSim, IdentifyStopsAtARefusalOrAFailure) {
  Connect();
  reader.FailNext(ReaderCommand::Info, SimFault::Refuse());
  EXPECT_EQ(IdentificationText(session.Identify()), "");
  EXPECT_EQ(reader.received.size(), 1u);

  reader.FailNext(ReaderCommand::Capability, SimFault::FailRead(EIO));
  const Identification found = session.Identify();
  EXPECT_EQ(IdentificationText(found), "TAVRIN HID READER V1.22\r\nLastError: 5\r\n");
  EXPECT_FALSE(found.capabilities);
  EXPECT_TRUE(session.IsOpen());
}

TEST_F(SessionOnSim, DownloadUnlocksThenWritesSystemAndFamilyPages) {
  Connect();
  form.ChooseFamily(ControlId::TypeBRadio);
  const DownloadResult result = session.Download(form);
  EXPECT_EQ(Commands(), (std::vector<std::uint8_t>{0xE1, 0xE2, 0xE2}));
  EXPECT_EQ(reader.received[1][9], 0);
  EXPECT_EQ(reader.received[2][9], 3);
  ASSERT_EQ(result.pages.size(), 2u);
  EXPECT_EQ(result.pages[1].page.Bytes(), *reader.Page(PageNumber::TypeB));
  EXPECT_EQ(DownloadText(result), "DownLoad Successed");
}

TEST_F(SessionOnSim, DownloadReportsWhatFailed) {
  Connect();
  reader.FailNext(ReaderCommand::Unlock, SimFault::Refuse());
  EXPECT_EQ(DownloadText(session.Download(form)), "DownLoad Failure.");
  EXPECT_EQ(Commands(), std::vector<std::uint8_t>{0xE1});

  // A refused page 0 still lets the family page through.
  reader.received.clear();
  reader.FailNext(ReaderCommand::WritePage, SimFault::Refuse());
  const DownloadResult refused = session.Download(form);
  EXPECT_EQ(Commands(), (std::vector<std::uint8_t>{0xE1, 0xE2, 0xE2}));
  EXPECT_NE(reader.Page(PageNumber::TypeA), nullptr);
  EXPECT_EQ(DownloadText(refused), "DownLoad Failure.");

  // The first exchange that could not be sent or read names the error.
  reader.FailNext(ReaderCommand::WritePage, SimFault::Refuse());
  reader.FailNext(ReaderCommand::WritePage, SimFault::FailSend(ENODEV));
  EXPECT_EQ(DownloadText(session.Download(form)), "DownLoad Failure.\r\nLastError: 19");
  EXPECT_TRUE(session.IsOpen());
}

TEST_F(SessionOnSim, AKeyThatIsNoHexNumberSendsNothing) {
  Connect();
  form.key = "12 34 5G";
  const DownloadResult result = session.Download(form);
  EXPECT_EQ(DownloadText(result), "Mifare Key Error: enter 12 hex digits (0-9, A-F)");
  EXPECT_TRUE(reader.received.empty());
  EXPECT_EQ(form.key, "12 34 5G");

  form.ChooseFamily(ControlId::TypeBRadio);  // the key is only type A's
  EXPECT_EQ(DownloadText(session.Download(form)), "DownLoad Successed");
}

TEST_F(SessionOnSim, ResetSaysWhatHappenedAndKeepsTheLink) {
  Connect();
  reader.FailNext(ReaderCommand::Reset, SimFault::FailSend(EPIPE));
  EXPECT_EQ(ResetText(session.Reset()), "LastError: 32");
  reader.FailNext(ReaderCommand::Reset, SimFault::Refuse());
  EXPECT_EQ(ResetText(session.Reset()), "Device Reset Failure.");
  EXPECT_EQ(ResetText(session.Reset()), "Device Reset Success.");
  EXPECT_EQ(reader.resets, 1);
  EXPECT_TRUE(session.IsOpen());
}

}  // namespace
}  // namespace tavrin
