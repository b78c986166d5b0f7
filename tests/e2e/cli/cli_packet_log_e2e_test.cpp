// tarvo-cli's packet and log commands as a user runs them: exit statuses, output, files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "log/log_seal.h"
#include "platform/folders.h"
#include "platform/new_file.h"
#include "support/program_run.h"
#include "support/temp_folder.h"
#include "unit/firmware/raw_image_files.h"

namespace tarvo {
namespace {

using CliResult = test::ProgramRun;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class CliTest : public ::testing::Test {
 protected:
  CliTest()
      : dataHome_("TARVO_DATA_DIR", temp_.File("data")),
        paths_(test::WriteRawImageFiles(temp_.Path())) {}

  CliResult Run(const std::string& arguments) {
    return test::RunProgram(TARVO_CLI_PATH, arguments, temp_.Path());
  }

  std::string LogPath() const { return temp_.File("data/orva/TARVO_PROG.log"); }

  // Builds a packet of all nine devices; returns its path.
  std::string BuildAll() {
    std::string images;
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      images += " --image '" + std::to_string(device) + "=" + paths_[device] + "'";
    }
    const std::string out = temp_.File("all");
    const CliResult result = Run("packet build --order '0,reboot,wait:5,Boot FPGA,2,3,4,5,6,7,8'" +
                                 images + " -o '" + out + "'");
    EXPECT_EQ(result.status, 0) << result.err;
    return out + ".tvf";
  }

  // An extract onto the packet itself, under another name, is refused and changes nothing.
  void ExpectRefusedAsInput(const std::string& packet, const std::string& output) {
    const CliResult extract =
        Run("packet extract '" + packet + "' --device 8 --force -o '" + output + "'");
    EXPECT_EQ(extract.status, 1) << output;
    EXPECT_EQ(extract.err, output + " is the input file " + packet +
                               ": a command never writes over its own input.\n");
  }

  test::TempFolder temp_;
  test::ScopedEnvironment dataHome_;
  std::vector<std::string> paths_;
};

// A packet built from image files reads back as it was built; the commands that only read
// never touch the log, which every writing command leaves sealed.
TEST_F(CliTest, BuildShowExtractAndCheckARoundTrip) {
  const std::string packet = BuildAll();
  EXPECT_EQ(CheckLogSealFile(LogPath()).result, LogSealCheck::kValid);
  const std::string log = test::ReadFileText(LogPath());
  EXPECT_TRUE(Has(log, "Programmer started "));
  EXPECT_TRUE(Has(log, "Programmer closed."));

  const CliResult text = Run("packet show '" + packet + "'");
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_TRUE(Has(text.out, "Header text:     Firmware packet file for orva.tarvo"));
  EXPECT_TRUE(Has(text.out, "Main FPGA    00000000"));
  EXPECT_TRUE(Has(text.out,
                  "   2. Reboot the camera and wait 30 s for it\n   3. Wait 5 s\n"
                  "   4. Erase and program Boot FPGA, then pause 2 s\n"));

  const std::string out = temp_.File("power.bin");
  const CliResult extract =
      Run("packet extract '" + packet + "' --device 'Power uP' -o '" + out + "'");
  ASSERT_EQ(extract.status, 0) << extract.err;
  const std::vector<std::uint8_t> bytes = test::ReadFileBytes(out);
  ASSERT_EQ(bytes.size(), 0x3600u);
  EXPECT_EQ(bytes[0x35C0], 0x0B);
  EXPECT_EQ(bytes[0x35C1], 0xB0);

  const CliResult check = Run("packet check '" + packet + "'");
  EXPECT_EQ(check.out, "Packet file check passed: " + packet + "\n");
  EXPECT_EQ(Run("log check '" + LogPath() + "'").status, 0);
  EXPECT_EQ(test::ReadFileText(LogPath()), log);

  // An edited log fails its check, as does one never sealed.
  std::string edited = log;
  edited[20] = edited[20] == 'x' ? 'y' : 'x';
  test::WriteFileText(temp_.File("edited.log"), edited);
  const CliResult result = Run("log check '" + temp_.File("edited.log") + "'");
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(Has(result.err, "does not match"));
  test::WriteFileText(temp_.File("unsealed.log"), "12:00:00.000 text\r\n");
  EXPECT_EQ(Run("log check '" + temp_.File("unsealed.log") + "'").status, 1);
}

TEST_F(CliTest, FailuresAndBadCommandLinesHaveTheirExitStatuses) {
  const std::string packet = BuildAll();
  // The work failed, a check failed, or an input is missing or unusable: 1, with the reason.
  std::vector<std::uint8_t> damaged = test::ReadFileBytes(packet);
  damaged[7000] ^= 1;
  test::WriteFileBytes(temp_.File("damaged.tvf"), damaged);
  CliResult result = Run("packet check '" + temp_.File("damaged.tvf") + "'");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err.rfind("Firmware packet file integrity check failed. The words of the file "
                             "add up to ",
                             0),
            0u)
      << result.err;
  EXPECT_EQ(Run("packet show '" + temp_.File("missing.tvf") + "'").status, 1);

  // Only a wrong command line: 2.
  for (const std::string& wrong : {std::string(""), std::string("packet show"),
                                   "--interface usb4 packet check '" + packet + "'",
                                   "packet extract '" + packet + "' --device 12 -o x"}) {
    EXPECT_EQ(Run(wrong).status, 2) << wrong;
  }
  result = Run("packet frobnicate x");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err.rfind("unknown command 'packet frobnicate'\n", 0), 0u);

  // Global options parse before any command.
  EXPECT_EQ(Run("--interface gige --emergency packet check '" + packet + "'").status, 0);
  // Help: the exit statuses, and for every command its examples.
  EXPECT_TRUE(Has(Run("--help").out, "Exit status:\n  0  success\n  1  the work failed"));
  for (const char* command :
       {"info", "program", "verify", "backup", "backup list", "history", "packet show",
        "packet check", "packet build", "packet extract", "log check"}) {
    EXPECT_TRUE(Has(Run(std::string(command) + " --help").out, "Examples:\n  tarvo-cli "))
        << command;
  }
}

// A command's output is never one of its inputs, however named, and replaces an existing file
// only with --force.
TEST_F(CliTest, OutputsNeverReplaceAnInputOrWithoutForceAnExistingFile) {
  const std::string packet = BuildAll();
  const std::vector<std::uint8_t> bytes = test::ReadFileBytes(packet);
  std::error_code linked;
  std::filesystem::create_hard_link(packet, temp_.File("hard.tvf"), linked);
  ASSERT_FALSE(linked) << linked.message();
  for (const std::string& output : {temp_.File("./all.tvf"), temp_.File("hard.tvf")}) {
    ExpectRefusedAsInput(packet, output);
  }
  const std::string image = paths_[8];
  test::WriteFileText(temp_.File("out.tvf"), "mine");
  const CliResult kept =
      Run("packet build --order 8 --image '8=" + image + "' -o '" + temp_.File("out") + "'");
  EXPECT_EQ(kept.status, 1);
  EXPECT_EQ(kept.err, temp_.File("out.tvf") + " exists already: give --force to replace it.\n");
  EXPECT_EQ(
      Run("packet extract '" + packet + "' --device 8 -o '" + temp_.File("out.tvf") + "'").status,
      1);
  EXPECT_EQ(test::ReadFileText(temp_.File("out.tvf")), "mine");
  EXPECT_EQ(
      Run("packet build --order 8 --force --image '8=" + image + "' -o '" + temp_.File("out") + "'")
          .status,
      0);
  EXPECT_NE(test::ReadFileText(temp_.File("out.tvf")), "mine");
  EXPECT_EQ(test::ReadFileBytes(packet), bytes);
}

TEST_F(CliTest, OutputsNeverReplaceAnInputReachedThroughASymbolicLink) {
  const std::string packet = BuildAll();
  const std::vector<std::uint8_t> bytes = test::ReadFileBytes(packet);
  ASSERT_TRUE(test::MakeSymbolicLink(packet, temp_.File("link.tvf")));
  ExpectRefusedAsInput(packet, temp_.File("link.tvf"));
  EXPECT_EQ(test::ReadFileBytes(packet), bytes);
}

TEST_F(CliTest, BuildRefusesBadOrdersAndInputsAndWritesNoFileWhenItFails) {
  const std::string out = temp_.File("bad.tvf");
  const std::string main = " --image '2=" + paths_[2] + "'";
  std::string tooMany;
  for (int step = 0; step < 64; ++step) tooMany += "reboot,";
  const std::pair<std::string, std::string> wrong[] = {
      {"2,3" + main, "The order names Mem FPGA 1, but no --image 3=FILE is given for it."},
      {"2" + main + " --image '3=" + paths_[3] + "'",
       "Image given for Mem FPGA 1, but the order has no step for it."},
      {"2,wait:300" + main, "Bad wait step 'wait:300': seconds must be 0..255."},
      {"reboot" + main, "The order has no device step: there is no image to put into a packet."},
      {"2,2" + main, "Device 'Main FPGA' is named twice in the order."},
      {"2,foo" + main, "Bad step 'foo': expected a device (0..8 or its name), reboot or wait:N."},
      {"2 --image 2", "Bad image '2': expected DEV=FILE."},
      {"2 --image x=a.bit", "Bad device in image 'x=a.bit': expected 0..8 or a device name."},
      {tooMany + "2" + main, "Too many steps: a programming order holds at most 63."}};
  for (const auto& [arguments, message] : wrong) {
    const CliResult result = Run("packet build --order " + arguments + " -o '" + out + "'");
    EXPECT_EQ(result.status, 2) << arguments;
    EXPECT_EQ(result.err, message + "\n") << arguments;
  }
  EXPECT_FALSE(platform::PathExists(out));

  // An image file of another type than the device's is refused unless forced.
  CliResult result = Run("packet build --order 8 --image '8=" + paths_[0] + "' -o '" + out + "'");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "The image file of Color Data is a .cdt file; " + paths_[0] +
                            " is not (give --force to use it anyway).\n");
  EXPECT_FALSE(platform::PathExists(out));

  // A broken bitstream: the file error goes to the log, no packet is written.
  test::WriteFileBytes(temp_.File("CALDO_1_V01_00.bit"), {1, 2, 3});
  result = Run("packet build --order 0,2 --image '0=" + paths_[0] +
               "' --image '2=" + temp_.File("CALDO_1_V01_00.bit") + "' -o '" + out + "'");
  EXPECT_EQ(result.status, 1);
  EXPECT_FALSE(platform::PathExists(out));
  EXPECT_TRUE(Has(test::ReadFileText(LogPath()), "File error: Unknown data structure in file '" +
                                                     temp_.File("CALDO_1_V01_00.bit") + "'! \r\n"));

  // Write failures name the path and the reason.
  const std::string nowhere = temp_.File("missing/p.tvf");
  result = Run("packet build --order 8 --image '8=" + paths_[8] + "' -o '" + nowhere + "'");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "Operation Status: Creating packet file failed.\n");
  EXPECT_EQ(result.err, "Creating file " + nowhere + " failed!. No such file or directory.\n");
  EXPECT_NE(test::ReadFileText(LogPath()).find("ERROR: Creating packet file failed."),
            std::string::npos);

  result = Run("packet extract '" + BuildAll() + "' --device 8 -o '" + nowhere + "'");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "Writing file " + nowhere + " failed: No such file or directory.\n");
}

}  // namespace
}  // namespace tarvo
