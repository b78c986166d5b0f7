#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "link/link.h"
#include "link_fixture.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;

class LinkBinding : public LinkTest {};

TEST_F(LinkBinding, OpensCameraZeroWithClearedHandleVariable) {
  ASSERT_EQ(OpenLink(INTERFACE_USB2), 0u);
  const auto opens = Fake().CallsOf("Open_Cam");
  ASSERT_EQ(opens.size(), 1u);
  EXPECT_EQ(opens[0].library, "qlm_usb");
  EXPECT_THAT(opens[0].values, ElementsAre(0u, 0u));
  EXPECT_EQ(CurrentLinkState().cameraHandle, Fake().handle);
  EXPECT_NE(CurrentLinkState().library, nullptr);
}

TEST_F(LinkBinding, EachInterfaceTypeLoadsItsOwnLibrary) {
  ASSERT_EQ(OpenLink(INTERFACE_USB3), 0u);
  EXPECT_EQ(Fake().CallsOf("Open_Cam").at(0).library, "qlm_usb3");
  EXPECT_EQ(InterfaceLibraryStem(INTERFACE_USB2), std::string("qlm_usb"));
  EXPECT_EQ(InterfaceLibraryStem(INTERFACE_GIGE), std::string("qlm_gige"));
  EXPECT_EQ(InterfaceLibraryStem(INTERFACE_USB3), std::string("qlm_usb3"));
}

TEST_F(LinkBinding, UnknownInterfaceTypesLeaveNothingLoadedAndCloseTheOpenConnection) {
  for (InterfaceType type : {2u, 6u, 0u}) {
    Fake().Reset();
    ASSERT_EQ(OpenLink(INTERFACE_USB2), 0u);
    EXPECT_EQ(OpenLink(type), ERR_LINK_UNAVAILABLE) << type;
    EXPECT_THAT(Fake().Sequence(), ElementsAre("qlm_usb:load", "qlm_usb:Open_Cam",
                                               "qlm_usb:Close_Cam", "qlm_usb:unload"));
    EXPECT_EQ(CurrentLinkState().library, nullptr);
    EXPECT_EQ(CurrentLinkState().cameraHandle, 0u);
    // Nothing of the unloaded library stays callable.
    EXPECT_EQ(Transact(100, nullptr, 0, nullptr, 0), ERR_LINK_NOT_BOUND);
    EXPECT_EQ(CloseLink(), 0u);
  }
}

TEST_F(LinkBinding, LibraryWithoutCheckDeviceAvailabilityCannotBeBound) {
  EXPECT_EQ(OpenLink(INTERFACE_GIGE), ERR_LINK_UNAVAILABLE);
  EXPECT_THAT(Fake().Sequence(), ElementsAre("qlm_gige:load", "qlm_gige:unload"));
  EXPECT_EQ(CurrentLinkState().library, nullptr);
  EXPECT_EQ(CurrentLinkState().openCam, nullptr);
  EXPECT_EQ(CurrentLinkState().controlCommand, nullptr);
}

TEST_F(LinkBinding, SecondOpenClosesFirstConnectionBeforeLoadingSecondLibrary) {
  ASSERT_EQ(OpenLink(INTERFACE_USB2), 0u);
  ASSERT_EQ(OpenLink(INTERFACE_USB3), 0u);
  EXPECT_THAT(Fake().Sequence(),
              ElementsAre("qlm_usb:load", "qlm_usb:Open_Cam", "qlm_usb:Close_Cam", "qlm_usb:unload",
                          "qlm_usb3:load", "qlm_usb3:Open_Cam"));
  EXPECT_THAT(Fake().CallsOf("Close_Cam").at(0).values, ElementsAre(Fake().handle));
}

TEST_F(LinkBinding, FailedOpenCamKeepsLibraryBoundUntilCloseLink) {
  Fake().openCamResult = 0x80002001;
  EXPECT_EQ(OpenLink(INTERFACE_USB2), 0x80002001u);
  EXPECT_NE(CurrentLinkState().library, nullptr);
  Fake().closeCamResult = 0x80002015;
  EXPECT_EQ(CloseLink(), 0x80002015u);
  // Close_Cam is called also when no connection handle was handed out.
  EXPECT_THAT(Fake().CallsOf("Close_Cam").at(0).values, ElementsAre(0u));
  EXPECT_EQ(Fake().Sequence().back(), "qlm_usb:unload");
  EXPECT_EQ(CurrentLinkState().library, nullptr);
}

TEST_F(LinkBinding, CloseLinkWithNothingBoundReturnsZeroAndCallsNothing) {
  EXPECT_EQ(CloseLink(), 0u);
  EXPECT_TRUE(Fake().calls.empty());
}

TEST_F(LinkBinding, TransactBeforeBindingCallsNothing) {
  std::uint8_t request[5] = {};
  std::uint8_t answer[23] = {};
  EXPECT_EQ(Transact(2500, request, 5, answer, 23), ERR_LINK_NOT_BOUND);
  EXPECT_TRUE(Fake().calls.empty());
}

TEST_F(LinkBinding, TransactSetsTimeoutAndRestores200msAfterAFailingExchange) {
  ASSERT_EQ(OpenLink(INTERFACE_USB2), 0u);
  Fake().calls.clear();
  Fake().answers.push_back({0x10000002, {}});
  std::uint8_t request[5] = {0x10, 0x01, 0x05, 0x00, 0x00};
  std::uint8_t answer[23] = {};
  EXPECT_EQ(Transact(2500, request, sizeof request, answer, sizeof answer), 0x10000002u);
  ASSERT_EQ(Fake().calls.size(), 3u);
  EXPECT_EQ(Fake().calls[0].function, "Set_Timeouts");
  EXPECT_THAT(Fake().calls[0].values, ElementsAre(Fake().handle, 2500u, 4u));
  EXPECT_EQ(Fake().calls[1].function, "Control_Command");
  EXPECT_THAT(Fake().calls[1].values, ElementsAre(Fake().handle, 5u, 23u));
  EXPECT_EQ(Fake().calls[2].function, "Set_Timeouts");
  EXPECT_THAT(Fake().calls[2].values, ElementsAre(Fake().handle, 200u, 4u));
}

TEST_F(LinkBinding, CheckDeviceAvailabilityIsNeverCalled) {
  ASSERT_EQ(OpenLink(INTERFACE_USB2), 0u);
  std::uint8_t buffer[17] = {};
  (void)Transact(100, buffer, 13, buffer, 17);
  (void)CloseLink();
  EXPECT_TRUE(Fake().CallsOf("Check_Device_Availability").empty());
}

// Runs with a library folder that holds only the USB 2.0 library.
class LinkWithMissingLibrary : public LinkTest {};

TEST_F(LinkWithMissingLibrary, MissingLibraryIsUnavailableAndTheOpenConnectionIsClosedFirst) {
  ASSERT_EQ(OpenLink(INTERFACE_USB2), 0u);
  EXPECT_EQ(OpenLink(INTERFACE_USB3), ERR_LINK_UNAVAILABLE);
  EXPECT_THAT(Fake().Sequence(), ElementsAre("qlm_usb:load", "qlm_usb:Open_Cam",
                                             "qlm_usb:Close_Cam", "qlm_usb:unload"));
  EXPECT_EQ(CurrentLinkState().library, nullptr);
  EXPECT_EQ(OpenLink(INTERFACE_GIGE), ERR_LINK_UNAVAILABLE);
  EXPECT_EQ(CloseLink(), 0u);
}

}  // namespace
}  // namespace tarvo::test
