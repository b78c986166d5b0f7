#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/simple_mapi.h"

namespace tarvo::platform {
namespace {

using ::testing::ElementsAre;

// What the fake entry points were given, and what they answer.
struct FakeMapi {
  std::deque<MapiUlong> logonResults;
  std::deque<MapiUlong> sendResults;
  struct Logon {
    MapiHandle parent;
    bool profileGiven;
    bool passwordGiven;
    MapiUlong flags;
  };
  std::vector<Logon> logons;
  struct Sent {
    MapiHandle session;
    MapiUlong flags;
    std::string subject, body, recipient;
    MapiUlong recipientClass, recipientCount;
    bool addressGiven;
    std::vector<std::string> paths;
    std::vector<MapiUlong> positions;
  };
  std::vector<Sent> sent;
  std::vector<MapiHandle> logoffs;
};

FakeMapi* fake = nullptr;

MapiUlong FakeLogon(MapiHandle parent, char* profile, char* password, MapiUlong flags, MapiUlong,
                    MapiHandle* session) {
  fake->logons.push_back({parent, profile != nullptr, password != nullptr, flags});
  const MapiUlong result = fake->logonResults.empty() ? 0 : fake->logonResults.front();
  if (!fake->logonResults.empty()) fake->logonResults.pop_front();
  if (result == 0) *session = 0x5E55;
  return result;
}

MapiUlong FakeSendMail(MapiHandle session, MapiHandle, MapiMessage* message, MapiUlong flags,
                       MapiUlong) {
  FakeMapi::Sent sent{session,
                      flags,
                      message->lpszSubject,
                      message->lpszNoteText,
                      message->lpRecips[0].lpszName,
                      message->lpRecips[0].ulRecipClass,
                      message->nRecipCount,
                      message->lpRecips[0].lpszAddress != nullptr,
                      {},
                      {}};
  for (MapiUlong i = 0; i < message->nFileCount; ++i) {
    sent.paths.push_back(message->lpFiles[i].lpszPathName);
    sent.positions.push_back(message->lpFiles[i].nPosition);
  }
  fake->sent.push_back(sent);
  const MapiUlong result = fake->sendResults.empty() ? 0 : fake->sendResults.front();
  if (!fake->sendResults.empty()) fake->sendResults.pop_front();
  return result;
}

MapiUlong FakeLogoff(MapiHandle session, MapiHandle, MapiUlong, MapiUlong) {
  fake->logoffs.push_back(session);
  return 0;
}

class SimpleMapiMail : public ::testing::Test {
 protected:
  void SetUp() override { fake = &mapi_; }
  void TearDown() override { fake = nullptr; }

  std::vector<std::string> Send(const std::string& recipients = "support@orva.example") {
    std::vector<std::string> shown;
    const SupportMail mail{{"/data/orva/TARVO_PROG.log"}, recipients, "Subject", "Body"};
    SendMailThroughMapi(&functions_, 0x77, mail,
                        [&shown](const std::string& text) { shown.push_back(text); });
    return shown;
  }

  FakeMapi mapi_;
  SimpleMapiFunctions functions_{&FakeLogon, &FakeSendMail, &FakeLogoff};
};

TEST_F(SimpleMapiMail, SendsOneMessageToTheRecipientByNameWithTheLogAttached) {
  EXPECT_TRUE(Send().empty());
  ASSERT_EQ(mapi_.logons.size(), 1u);
  EXPECT_EQ(mapi_.logons[0].parent, 0x77u);
  EXPECT_EQ(mapi_.logons[0].flags, MAPI_LOGON_UI);
  ASSERT_EQ(mapi_.sent.size(), 1u);
  const FakeMapi::Sent& sent = mapi_.sent[0];
  EXPECT_EQ(sent.session, 0x5E55u);
  EXPECT_EQ(sent.flags, 9u);
  EXPECT_EQ(sent.subject, "Subject");
  EXPECT_EQ(sent.body, "Body");
  EXPECT_EQ(sent.recipient, "support@orva.example");
  EXPECT_EQ(sent.recipientClass, MAPI_TO);
  EXPECT_EQ(sent.recipientCount, 1u);
  EXPECT_FALSE(sent.addressGiven);
  EXPECT_THAT(sent.paths, ElementsAre("/data/orva/TARVO_PROG.log"));
  EXPECT_THAT(sent.positions, ElementsAre(0u));
  EXPECT_THAT(mapi_.logoffs, ElementsAre(0x5E55u));
}

TEST_F(SimpleMapiMail, EachRecipientGetsItsOwnMessageAndAFailureDoesNotStopTheNext) {
  mapi_.sendResults = {11, 0};
  EXPECT_THAT(Send("a@x;b@y"), ElementsAre("Mapi error: MAPI_E_ATTACHMENT_NOT_FOUND"));
  ASSERT_EQ(mapi_.sent.size(), 2u);
  EXPECT_EQ(mapi_.sent[0].recipient, "a@x");
  EXPECT_EQ(mapi_.sent[1].recipient, "b@y");
}

TEST_F(SimpleMapiMail, RefusedLogonIsRepeatedOnceWithoutDialogOrProfile) {
  mapi_.logonResults = {3, 0};
  EXPECT_TRUE(Send().empty());
  ASSERT_EQ(mapi_.logons.size(), 2u);
  EXPECT_TRUE(mapi_.logons[0].profileGiven);
  EXPECT_FALSE(mapi_.logons[1].profileGiven);
  EXPECT_FALSE(mapi_.logons[1].passwordGiven);
  EXPECT_EQ(mapi_.logons[1].flags, 0u);
  EXPECT_EQ(mapi_.sent.size(), 1u);
}

TEST_F(SimpleMapiMail, LogonRefusedTwiceShowsTheSecondCodeThenTheLogonFailure) {
  mapi_.logonResults = {2, 3};
  EXPECT_THAT(Send(), ElementsAre("Mapi error: MAPI_E_LOGON_FAILURE", "Can not LOGON to MAPI"));
  EXPECT_TRUE(mapi_.sent.empty());
  EXPECT_TRUE(mapi_.logoffs.empty());
}

TEST_F(SimpleMapiMail, CancelledLogonIsNotRepeated) {
  mapi_.logonResults = {MAPI_USER_ABORT};
  EXPECT_THAT(Send(), ElementsAre("Can not LOGON to MAPI"));
  EXPECT_EQ(mapi_.logons.size(), 1u);
}

TEST_F(SimpleMapiMail, SendResultsAreShownByNameOrNumberAndCancelSilently) {
  mapi_.sendResults = {MAPI_USER_ABORT, 7, 26, 27};
  EXPECT_THAT(Send("a;b;c;d"),
              ElementsAre("Mapi error: Error not defined", "Mapi error: MAPI_E_NOT_SUPPORTED",
                          "Unknown Mapi error 27."));
}

TEST_F(SimpleMapiMail, MissingOrIncompleteLibraryIsNotLoaded) {
  std::vector<std::string> shown;
  const auto show = [&shown](const std::string& text) { shown.push_back(text); };
  SendMailThroughMapi(nullptr, 0, {}, show);
  SimpleMapiFunctions incomplete{&FakeLogon, nullptr, &FakeLogoff};
  SendMailThroughMapi(&incomplete, 0, {}, show);
  EXPECT_THAT(shown, ElementsAre("Can not load MAPI32.DLL", "Can not load MAPI32.DLL"));
  EXPECT_TRUE(mapi_.logons.empty());
#ifndef _WIN32
  // No such library on this platform (Windows has one: windows_platform_test.cpp).
  EXPECT_EQ(MapiLibrary().Functions(), nullptr);
#endif
}

}  // namespace
}  // namespace tarvo::platform
