#include <gtest/gtest.h>

#include "log/error_texts.h"
#include "log/result_codes.h"

namespace tarvo {
namespace {

TEST(FileErrorText, FillsTheFileNameIntoEachText) {
  EXPECT_EQ(FileErrorText(ERR_FILE_OPEN, "a.hex"), "File 'a.hex' could not be opened!");
  EXPECT_EQ(FileErrorText(ERR_FILE_READ, "a.hex"), "Read from file 'a.hex' failed!");
  EXPECT_EQ(FileErrorText(ERR_FILE_WRITE, "a.hex"), "Write to file 'a.hex' failed!");
  EXPECT_EQ(FileErrorText(ERR_FILE_CHECKSUM, "a.hex"), "Checksum error in file 'a.hex'!");
  EXPECT_EQ(FileErrorText(ERR_FILE_STRUCTURE, "a.hex"), "Unknown data structure in file 'a.hex'!");
  EXPECT_EQ(FileErrorText(ERR_FILE_TOO_MUCH_DATA, "a.hex"), "Too much data in file 'a.hex'");
  EXPECT_EQ(FileErrorText(ERR_FILE_NAME, "x.y"), "'x.y' not a valid filename or extension!");
}

TEST(FileErrorText, PercentSignsInNamesStayAsTheyAre) {
  EXPECT_EQ(FileErrorText(ERR_FILE_OPEN, "100%s_%d.hex"),
            "File '100%s_%d.hex' could not be opened!");
}

TEST(ErrorTexts, OtherCodesGetTheCameraErrorText) {
  EXPECT_EQ(FileErrorText(0x80001080, "a.hex"),
            "Firmware error 80001080 at device 'Unknown device': Command is invalid.");
  EXPECT_EQ(DeviceErrorText(0x10000006),
            "Undefined layer error 10000006 at device 'Unknown device': No error text available!");
}

TEST(DeviceErrorText, ResponseAndVerifyCodes) {
  EXPECT_EQ(DeviceErrorText(ERR_RESPONSE_TIMEOUT), "Timeout waiting for response!");
  EXPECT_EQ(DeviceErrorText(ERR_RESPONSE_CHECKSUM), "Checksum error in response!");
  EXPECT_EQ(DeviceErrorText(ERR_RESPONSE_SIZE), "Wrong size of response!");
  EXPECT_EQ(DeviceErrorText(ERR_RESPONSE_UNEXPECTED), "Unexpected response message!");
  EXPECT_EQ(DeviceErrorText(ERR_VERIFY_FAILED), "Verify failed!");
}

}  // namespace
}  // namespace tarvo
