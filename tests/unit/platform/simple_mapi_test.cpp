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
  std::vector<std::string> logons;            // each logon in words
  std::vector<std::string> sent, recipients;  // each message in words; each first recipient
  std::vector<MapiHandle> logoffs;
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
  fake->recipients.push_back(message->lpRecips[0].lpszName);
  return Next(fake->sendResults);
}

MapiUlong FakeLogoff(MapiHandle session, MapiHandle, MapiUlong, MapiUlong) {
  fake->logoffs.push_back(session);
  return 0;
}

class SimpleMapiMail : public ::testing::Test {
 protected:
  void SetUp() override { fake = &mapi_; }
  void TearDown() override { fake = nullptr; }

  std::vector<std::string> Send(const std::string& recipients = "support@orva.example",
                                const SimpleMapiFunctions* functions = nullptr) {
    std::vector<std::string> shown;
    const SupportMail mail{{"/data/orva/TARVO_PROG.log"}, recipients, "Subject", "Body"};
    SendMailThroughMapi(functions ? functions : &functions_, 0x77, mail,
                        [&shown](const std::string& text) { shown.push_back(text); });
    return shown;
  }

  FakeMapi mapi_;
  SimpleMapiFunctions functions_{&FakeLogon, &FakeSendMail, &FakeLogoff};
};

TEST_F(SimpleMapiMail, SendsOneMessageToTheRecipientByNameWithTheLogAttached) {
  EXPECT_TRUE(Send().empty());
  EXPECT_THAT(mapi_.logons,
              ElementsAre("parent 119 profile password flags " + std::to_string(MAPI_LOGON_UI)));
  EXPECT_THAT(mapi_.sent,
              ElementsAre("session 24149 flags 9 subject Subject body Body to "
                          "support@orva.example class " +
                          std::to_string(MAPI_TO) + " file /data/orva/TARVO_PROG.log at 0"));
  EXPECT_THAT(mapi_.logoffs, ElementsAre(0x5E55u));
}

// Each recipient gets a message of its own; a failure does not stop the next one. A refused
// logon is repeated once without dialog or profile; a cancelled one is not.
TEST_F(SimpleMapiMail, LogonAndSendResultsDecideWhatIsShown) {
  const struct {
    std::deque<MapiUlong> logonResults, sendResults;
    const char* recipients;
    std::vector<std::string> shown;
    std::size_t logons, sent;
  } cases[] = {
      {{}, {11, 0}, "a@x;b@y", {"Mapi error: MAPI_E_ATTACHMENT_NOT_FOUND"}, 1, 2},
      {{2, 3}, {}, "a@x", {"Mapi error: MAPI_E_LOGON_FAILURE", "Can not LOGON to MAPI"}, 2, 0},
      {{MAPI_USER_ABORT}, {}, "a@x", {"Can not LOGON to MAPI"}, 1, 0},
      {{},
       {MAPI_USER_ABORT, 7, 26, 27},
       "a;b;c;d",
       {"Mapi error: Error not defined", "Mapi error: MAPI_E_NOT_SUPPORTED",
        "Unknown Mapi error 27."},
       1,
       4},
      {{3, 0}, {}, "a@x", {}, 2, 1},
  };
  for (const auto& c : cases) {
    mapi_ = FakeMapi{};
    mapi_.logonResults = c.logonResults;
    mapi_.sendResults = c.sendResults;
    EXPECT_EQ(Send(c.recipients), c.shown) << c.recipients;
    EXPECT_EQ(mapi_.logons.size(), c.logons) << c.recipients;
    EXPECT_EQ(mapi_.sent.size(), c.sent) << c.recipients;
    EXPECT_EQ(mapi_.logoffs.size(), c.sent == 0 ? 0u : 1u) << c.recipients;
    std::string to;
    for (const std::string& name : mapi_.recipients) to += (to.empty() ? "" : ";") + name;
    EXPECT_EQ(to, c.sent == 0 ? "" : c.recipients);
  }
  EXPECT_EQ(mapi_.logons.back(), "parent 119 flags 0");
}

TEST_F(SimpleMapiMail, MissingOrIncompleteLibraryIsNotLoaded) {
  const SimpleMapiFunctions incomplete{&FakeLogon, nullptr, &FakeLogoff};
  EXPECT_THAT(Send("a", &incomplete), ElementsAre("Can not load MAPI32.DLL"));
  EXPECT_TRUE(mapi_.logons.empty());
#ifndef _WIN32
  // No such library on this platform (Windows has one: windows_platform_test.cpp).
  EXPECT_EQ(MapiLibrary().Functions(), nullptr);
#endif
}

}  // namespace
}  // namespace tarvo::platform
