#include <gtest/gtest.h>

#include <cerrno>

#include "FakeForm.h"
#include "session/Description.h"
#include "session/ReaderSession.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

struct SessionOnSim : ::testing::Test {
  void SetUp() override {
    session.Open();
    ASSERT_TRUE(session.IsOpen());
  }
  std::vector<std::uint8_t> Commands() const {
    std::vector<std::uint8_t> commands;
    for (const ReaderFrame& report : reader.received) commands.push_back(report[8]);
    return commands;
  }

  SimHost host;
  SimReader& reader = host.AddReader();
  ReaderSession session{host};
  FakeForm form;
};

TEST_F(SessionOnSim, SaysWhyTheReaderDidNotOpen) {
  session.Close();
  EXPECT_EQ(host.OpenHandles(), 0);
  reader.openError = EACCES;
  EXPECT_EQ(DisconnectedText(session.Open()),
            "Device Disconnected\r\nReader found, but permission was denied: install the udev "
            "rule (see the README, \"Device access on Linux\").");
  reader.openError = ENXIO;
  EXPECT_EQ(DisconnectedText(session.Open()),
            "Device Disconnected\r\nReader found, but it could not be opened (error 6).");
  host.Unplug(reader);
  EXPECT_EQ(DisconnectedText(session.Open()), "Device Disconnected");
  EXPECT_FALSE(session.IsOpen());
}

TEST_F(SessionOnSim, IdentifiesInTheDescriptionsWordsAndStopsAtARefusalOrAFailure) {
  reader.identification = "READER 7";
  EXPECT_EQ(IdentificationText(session.Identify()),
            "READER 7\r\nDevice Support ISO14443A\r\n  Mifare S50/S70 Card\r\n  UltraLight "
            "Card\r\nDevice Support ISO14443B\r\n  SR176 Card\r\n  SRI512/2K/4K/X4K Card\r\n"
            "Device Support ISO15693\r\n  I.Code SLI\r\n  Tag-it HF-I\r\n");
  // The capability request is built over the info reply, whose tail it keeps.
  EXPECT_EQ(reader.received.at(1)[11], 'R');
  reader.capabilities = {0x02, 0x00, 0x02, 0x01};
  EXPECT_EQ(IdentificationText(session.Identify()),
            "READER 7\r\nDevice Support ISO14443B\r\n  SRI512/2K/4K/X4K Card\r\n");

  reader.FailNext(ReaderCommand::Info, SimFault::Refuse());
  EXPECT_EQ(IdentificationText(session.Identify()), "");
  reader.FailNext(ReaderCommand::Capability, SimFault::FailRead(EIO));
  EXPECT_EQ(IdentificationText(session.Identify()), "READER 7\r\nLastError: 5\r\n");
}

TEST_F(SessionOnSim, DownloadUnlocksThenWritesSystemAndFamilyPages) {
  form.ChooseFamily(ControlId::TypeBRadio);
  const DownloadResult result = session.Download(form);
  EXPECT_EQ(Commands(), (std::vector<std::uint8_t>{0xE1, 0xE2, 0xE2}));
  EXPECT_EQ(reader.received[1][9], 0);
  EXPECT_EQ(reader.received[2][9], 3);
  EXPECT_EQ(result.pages.at(1).page.Bytes(), *reader.Page(PageNumber::TypeB));
  EXPECT_EQ(DownloadText(result), "DownLoad Successed");
}

TEST_F(SessionOnSim, DownloadReportsWhatFailed) {
  reader.FailNext(ReaderCommand::Unlock, SimFault::Refuse());
  EXPECT_EQ(DownloadText(session.Download(form)), "DownLoad Failure.");
  EXPECT_EQ(Commands(), std::vector<std::uint8_t>{0xE1});

  // A refused page 0 still lets the family page through.
  reader.FailNext(ReaderCommand::WritePage, SimFault::Refuse());
  EXPECT_EQ(DownloadText(session.Download(form)), "DownLoad Failure.");
  EXPECT_NE(reader.Page(PageNumber::TypeA), nullptr);

  // The first exchange that could not be sent or read names the error.
  reader.FailNext(ReaderCommand::WritePage, SimFault::Refuse());
  reader.FailNext(ReaderCommand::WritePage, SimFault::FailSend(ENODEV));
  EXPECT_EQ(DownloadText(session.Download(form)), "DownLoad Failure.\r\nLastError: 19");
  EXPECT_TRUE(session.IsOpen());
}

TEST_F(SessionOnSim, AKeyThatIsNoHexNumberSendsNothing) {
  form.key = "12 34 5G";
  EXPECT_EQ(DownloadText(session.Download(form)),
            "Mifare Key Error: enter 12 hex digits (0-9, A-F)");
  EXPECT_TRUE(reader.received.empty());
  EXPECT_EQ(form.key, "12 34 5G");
  form.ChooseFamily(ControlId::TypeBRadio);  // the key is only type A's
  EXPECT_EQ(DownloadText(session.Download(form)), "DownLoad Successed");
}

TEST_F(SessionOnSim, ResetSaysWhatHappenedAndKeepsTheLink) {
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
