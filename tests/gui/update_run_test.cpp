// Whole runs clicked through the window against the simulated camera, through the real
// interface library: an update with backup and the verify after it, and a long erase in a run
// that fails.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <string>
#include <vector>

#include "firmware/firmware_packet.h"
#include "gui/gui_test_support.h"
#include "link/telegram_layout.h"
#include "sim/core/camera_folder.h"
#include "sim/core/factory_images.h"

namespace tarvo::ui {
namespace {

using test::ModalAnswerer;
using test::ScopedEnvironment;

constexpr std::uint8_t kOldMajor = 1;
constexpr std::uint8_t kOldMinor = 0;
constexpr std::uint8_t kNewMajor = 4;
constexpr std::uint8_t kNewMinor = 12;
constexpr const char* kNewVersionText = "001 V04.12";

class UpdateThroughWindow : public test::WindowTest {
 protected:
  UpdateThroughWindow() {
    std::string error;
    EXPECT_TRUE(camera_.Open(temp_.File("camera"), &error)) << error;
    sim::FolderLock lock(camera_);
    EXPECT_TRUE(sim::ResetCamera(camera_, sim::DefaultSettings(), true, 1, kOldMajor, kOldMinor));
  }
  ~UpdateThroughWindow() override {
    programmer_.reset();
    window_.reset();
    camera_.Close();
  }

  // Newer firmware for all nine devices, in the order a release would program them.
  std::string WriteUpdatePacket() {
    CFirmwarePacket packet;
    EXPECT_TRUE(packet.CreatePacket());
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      const sim::FactoryImage image = sim::BuildFactoryImage(device, 1, kNewMajor, kNewMinor);
      EXPECT_TRUE(packet.AddImage(static_cast<std::uint16_t>(device), image.start,
                                  static_cast<std::uint32_t>(image.bytes.size()),
                                  image.bytes.data(),
                                  sim::MakeImageVersion(1, kNewMajor, kNewMinor)))
          << packet.LastError();
    }
    ProgramOrder order;
    order.fill(ORDER_END);
    const std::uint16_t steps[] = {2, 3, 4, ORDER_REBOOT, 7, 8, 5, 6, ORDER_REBOOT, 1, 0};
    std::copy(std::begin(steps), std::end(steps), order.begin());
    EXPECT_TRUE(packet.SetOrder(order));
    EXPECT_TRUE(packet.SealPacket());
    const std::string path = temp_.File("orva_tarvo_V04_12.tvf");
    EXPECT_TRUE(packet.SavePacket(path)) << packet.LastError();
    return path;
  }

  // Loads the packet and connects through the buttons.
  void LoadAndConnect(const std::string& packet) {
    ModalAnswerer answers;
    answers.Then(test::ChooseFile(packet));
    Button(CommandControl::kLoadFile)->click();
    Button(CommandControl::kConnect)->click();
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(answers.Unexpected(), 0);
    ASSERT_TRUE(Button(CommandControl::kProgram)->isEnabled());
  }

  // Clicks a button whose run ends in a result box, answers the boxes (the last one with the
  // given answer) and returns the last one's text.
  std::string ClickForResult(CommandControl control, int boxes = 1,
                             ModalAnswerer::Answer last = ModalAnswerer::Accept()) {
    ModalAnswerer answers;
    for (int box = 1; box < boxes; ++box) answers.Then(ModalAnswerer::Accept());
    answers.Then(std::move(last));
    Button(control)->click();
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(answers.Unexpected(), 0);
    return answers.MessageTexts().empty() ? "" : answers.MessageTexts().back();
  }

  ScopedEnvironment simFolder_{"QLM_SIM_DIR", temp_.File("camera")};
  ScopedEnvironment timeScale_{"TARVO_TIME_SCALE", "0"};
  sim::CameraFolder camera_;
};

const QColor kSuccessColour(46, 160, 96);

// After the update the picture shows success; after the backup the next packet dialog starts
// in the log folder, where the backup went; after the verify Power uP, which cannot be read
// back, says so instead of looking queued.
TEST_F(UpdateThroughWindow, ProgramWithBackupThenVerify) {
  Start();
  LoadAndConnect(WriteUpdatePacket());
  Button(CommandControl::kSkipBackup)->click();
  ASSERT_FALSE(Button(CommandControl::kSkipBackup)->isChecked());
  EXPECT_EQ(ClickForResult(CommandControl::kProgram),
            "Updating firmware\nin camera SN 4711\nsuccessful.");
  EXPECT_EQ(test::MiddleColour(window_->DeviceProgressBar(DEVICE_BOOT_UP)), QColor(0, 255, 0));
  EXPECT_EQ(window_->CameraVersionLabel(DEVICE_BOOT_UP)->text().toStdString(), kNewVersionText);
  EXPECT_EQ(test::MiddleColour(window_->RunPicture(), 20), kSuccessColour);

  std::string startFolder;
  {
    ModalAnswerer load;
    load.Then(test::RecordStartFolder(&startFolder));
    Button(CommandControl::kLoadFile)->click();
  }
  EXPECT_EQ(startFolder, programmer_->LogFolder());

  EXPECT_EQ(ClickForResult(CommandControl::kVerify),
            "Verifying firmware\nin camera SN 4711\nsuccessful.");
  QProgressBar* powerBar = window_->DeviceProgressBar(DEVICE_POWER_UP);
  EXPECT_TRUE(powerBar->isTextVisible());
  EXPECT_EQ(powerBar->text().toStdString(), "not verified");
  EXPECT_EQ(test::MiddleColour(window_->DeviceProgressBar(DEVICE_MAIN_UP)), QColor(0, 255, 0));
  EXPECT_EQ(test::MiddleColour(window_->RunPicture(), 20), kSuccessColour);
}

// The engine's telegrams block a worker thread, not the window: while a 5 s erase runs, the
// window's events go on being dispatched (the one timed check here, with a wide margin), the
// cursor shows the window busy and every command is held. The run then fails at its first
// write; the window ends on the engine's line naming the failed device, and the result box is
// wide enough for its title.
TEST_F(UpdateThroughWindow, WindowKeepsTurningDuringALongEraseAndEndsOnTheFailure) {
  Start();
  LoadAndConnect(WriteUpdatePacket());
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    window_->DeviceCheckBox(device)->setChecked(device == DEVICE_MAIN_FPGA);
  }
  {
    sim::FolderLock lock(camera_);
    sim::CameraState& state = camera_.State();
    state.settings.latencyCommand = telegram::kEraseDevice;
    state.settings.latencyMs = 5000;
    state.faults.failTelegram = {1, {}, telegram::kWriteBlock, 1, 0, 0x80031013};
  }
  const auto enabledBefore = test::EnabledStates(*window_);

  QElapsedTimer clock;
  qint64 lastTick = 0;
  qint64 longestGap = 0;
  bool busyCursor = true;
  std::vector<std::string> enabledDuring;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    // Measured while the engine works, not while the result box is up.
    if (window_->Busy() && QApplication::activeModalWidget() == nullptr) {
      longestGap = std::max(longestGap, now - lastTick);
      busyCursor = busyCursor && window_->cursor().shape() == Qt::BusyCursor;
    }
    // Well inside the erase, long after the run has disabled the controls.
    if (now > 1000 && now < 4000) {
      for (const auto& [caption, enabled] : test::EnabledStates(*window_)) {
        if (enabled) enabledDuring.push_back(caption);
      }
    }
    lastTick = now;
  });
  bool boxWideEnough = false;
  const ModalAnswerer::Answer measureBox = [&boxWideEnough](QWidget* box) {
    const QFontMetrics metrics(box->font());
    boxWideEnough =
        box->width() >= metrics.horizontalAdvance(box->windowTitle()) + 4 * metrics.height();
    ModalAnswerer::Accept()(box);
  };
  clock.start();
  ticker.start(10);
  // The version check's box, then the result box.
  EXPECT_EQ(ClickForResult(CommandControl::kProgram, 2, measureBox),
            "Updating firmware\nin camera SN 4711\nFAILED!");
  ticker.stop();

  EXPECT_GE(clock.elapsed(), 4500);  // the erase did take its time
  EXPECT_LT(longestGap, 200);
  RecordProperty("longest_gap_ms", static_cast<int>(longestGap));
  EXPECT_TRUE(busyCursor);
  EXPECT_NE(window_->cursor().shape(), Qt::BusyCursor);
  EXPECT_TRUE(enabledDuring.empty()) << enabledDuring.front();
  EXPECT_EQ(test::EnabledStates(*window_), enabledBefore);
  EXPECT_TRUE(boxWideEnough);

  const std::string status = window_->StatusLabel()->text().toStdString();
  EXPECT_EQ(status, RunFailureSummary(programmer_->LastRun()));
  EXPECT_NE(status.find("Main FPGA"), std::string::npos) << status;
  EXPECT_EQ(test::MiddleColour(window_->RunPicture(), 20), QColor(210, 58, 50));
}

}  // namespace
}  // namespace tarvo::ui
