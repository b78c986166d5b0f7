#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "link/link.h"
#include "link_fixture.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;

class LinkBinding : public LinkTest {};

// Camera 0 opens with a cleared handle variable; a second open closes the first connection
// with its own library before loading the next. A failing Open_Cam keeps the library bound
// until CloseLink, which calls Close_Cam also when no handle was handed out.
TEST_F(LinkBinding, EachOpenClosesTheConnectionBeforeAndLoadsItsOwnLibrary) {
  ASSERT_EQ(OpenLink(INTERFACE_USB2), 0u);
  EXPECT_THAT(Fake().CallsOf("Open_Cam").at(0).values, ElementsAre(0u, 0u));
  ASSERT_EQ(OpenLink(INTERFACE_USB3), 0u);
  EXPECT_THAT(Fake().Sequence(),
              ElementsAre("qlm_usb:load", "qlm_usb:Open_Cam", "qlm_usb:Close_Cam", "qlm_usb:unload",
                          "qlm_usb3:load", "qlm_usb3:Open_Cam"));
  EXPECT_THAT(Fake().CallsOf("Close_Cam").at(0).values, ElementsAre(Fake().handle));

  Fake().openCamResult = 0x80002001;
  Fake().closeCamResult = 0x80002015;
  EXPECT_EQ(OpenLink(INTERFACE_USB2), 0x80002001u);
  EXPECT_EQ(CloseLink(), 0x80002015u);
  EXPECT_THAT(Fake().CallsOf("Close_Cam").back().values, ElementsAre(0u));
  EXPECT_EQ(Fake().Sequence().back(), "qlm_usb:unload");
}

// An unknown type or a library without all five entry points leaves nothing bound, and nothing
// of an unloaded library stays callable.
TEST_F(LinkBinding, UnknownTypesAndIncompleteLibrariesLeaveNothingBound) {
  for (InterfaceType type : {2u, 6u, 0u}) {
    Fake().Reset();
    ASSERT_EQ(OpenLink(INTERFACE_USB2), 0u);
    EXPECT_EQ(OpenLink(type), ERR_LINK_UNAVAILABLE) << type;
    EXPECT_THAT(Fake().Sequence(), ElementsAre("qlm_usb:load", "qlm_usb:Open_Cam",
                                               "qlm_usb:Close_Cam", "qlm_usb:unload"));
    Fake().Reset();
    EXPECT_EQ(Transact(100, nullptr, 0, nullptr, 0), ERR_LINK_NOT_BOUND);
    EXPECT_EQ(CloseLink(), 0u);
    EXPECT_TRUE(Fake().calls.empty());
  }
  // The fake GigE library lacks Check_Device_Availability.
  EXPECT_EQ(OpenLink(INTERFACE_GIGE), ERR_LINK_UNAVAILABLE);
  EXPECT_THAT(Fake().Sequence(), ElementsAre("qlm_gige:load", "qlm_gige:unload"));
}

// Runs with a library folder that holds only the USB 2.0 library.
class LinkWithMissingLibrary : public LinkTest {};

TEST_F(LinkWithMissingLibrary, MissingLibraryIsUnavailableAndTheOpenConnectionIsClosedFirst) {
  ASSERT_EQ(OpenLink(INTERFACE_USB2), 0u);
  EXPECT_EQ(OpenLink(INTERFACE_USB3), ERR_LINK_UNAVAILABLE);
  EXPECT_THAT(Fake().Sequence(), ElementsAre("qlm_usb:load", "qlm_usb:Open_Cam",
                                             "qlm_usb:Close_Cam", "qlm_usb:unload"));
}

}  // namespace
}  // namespace tarvo::test
