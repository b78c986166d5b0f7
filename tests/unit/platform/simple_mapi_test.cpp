// The support mail through Simple MAPI, with fake entry points that record what they are given.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/simple_mapi.h"

namespace tarvo::platform {
namespace {

using ::testing::ElementsAre;

struct FakeMapi {
  std::deque<MapiUlong> logonResults, sendResults;
  std::vector<std::string> logons;  // each logon and logoff in words
  std::vector<std::string> sent;    // each message in words
} * fake;

MapiUlong Next(std::deque<MapiUlong>& results) {
  const MapiUlong result = results.empty() ? 0 : results.front();
  if (!results.empty()) results.pop_front();
  return result;
}

MapiUlong FakeLogon(MapiHandle parent, char* profile, char* password, MapiUlong flags, MapiUlong,
                    MapiHandle* session) {
  fake->logons.push_back("parent " + std::to_string(parent) + (profile ? " profile" : "") +
                         (password ? " password" : "") + " flags " + std::to_string(flags));
  const MapiUlong result = Next(fake->logonResults);
  if (result == 0) *session = 0x5E55;
  return result;
}

MapiUlong FakeSendMail(MapiHandle session, MapiHandle, MapiMessage* message, MapiUlong flags,
                       MapiUlong) {
  std::string text = "session " + std::to_string(session) + " flags " + std::to_string(flags) +
                     " subject " + message->lpszSubject + " body " + message->lpszNoteText;
  for (MapiUlong i = 0; i < message->nRecipCount; ++i) {
    const MapiRecipDesc& to = message->lpRecips[i];
    text += " to " + std::string(to.lpszName) + " class " + std::to_string(to.ulRecipClass) +
            (to.lpszAddress != nullptr ? " address" : "");
  }
  for (MapiUlong i = 0; i < message->nFileCount; ++i) {
    text += " file " + std::string(message->lpFiles[i].lpszPathName) + " at " +
            std::to_string(message->lpFiles[i].nPosition);
  }
  fake->sent.push_back(text);
  return Next(fake->sendResults);
}

MapiUlong FakeLogoff(MapiHandle session, MapiHandle, MapiUlong, MapiUlong) {
  fake->logons.push_back("logoff " + std::to_string(session));
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

// One message to the recipient by name with the log attached. Each recipient gets a message of
// its own; a failure does not stop the next one. A refused logon is repeated once without dialog
// or profile; a cancelled one is not. A library without all entry points is not used.
TEST_F(SimpleMapiMail, LogonAndSendResultsDecideWhatIsShown) {
  EXPECT_TRUE(Send().empty());
  EXPECT_THAT(mapi_.logons,
              ElementsAre("parent 119 profile password flags " + std::to_string(MAPI_LOGON_UI),
                          "logoff 24149"));
  EXPECT_THAT(mapi_.sent,
              ElementsAre("session 24149 flags 9 subject Subject body Body to "
                          "support@orva.example class " +
                          std::to_string(MAPI_TO) + " file /data/orva/TARVO_PROG.log at 0"));
  const struct {
    std::deque<MapiUlong> logonResults, sendResults;
    const char* recipients;
    std::vector<std::string> shown;
    std::size_t logons, sent;  // logons with the logoff after a message
  } cases[] = {
      {{}, {11, 0}, "a@x;b@y", {"Mapi error: MAPI_E_ATTACHMENT_NOT_FOUND"}, 2, 2},
      {{2, 3}, {}, "a@x", {"Mapi error: MAPI_E_LOGON_FAILURE", "Can not LOGON to MAPI"}, 2, 0},
      {{MAPI_USER_ABORT}, {}, "a@x", {"Can not LOGON to MAPI"}, 1, 0},
      {{},
       {MAPI_USER_ABORT, 7, 26, 27},
       "a;b;c;d",
       {"Mapi error: Error not defined", "Mapi error: MAPI_E_NOT_SUPPORTED",
        "Unknown Mapi error 27."},
       2,
       4},
      {{3, 0}, {}, "a@x", {}, 3, 1},
  };
  for (const auto& c : cases) {
    mapi_ = FakeMapi{};
    mapi_.logonResults = c.logonResults;
    mapi_.sendResults = c.sendResults;
    EXPECT_EQ(Send(c.recipients), c.shown) << c.recipients;
    EXPECT_EQ(mapi_.logons.size(), c.logons) << c.recipients;
    EXPECT_EQ(mapi_.sent.size(), c.sent) << c.recipients;
    EXPECT_TRUE(c.sent < 2 || mapi_.sent[1].find(" to b") != std::string::npos) << c.recipients;
  }
  EXPECT_EQ(mapi_.logons[1], "parent 119 flags 0");
  functions_.sendMail = nullptr;
  mapi_ = FakeMapi{};
  EXPECT_THAT(Send("a"), ElementsAre("Can not load MAPI32.DLL"));
  EXPECT_TRUE(mapi_.logons.empty());
}

}  // namespace
}  // namespace tarvo::platform
