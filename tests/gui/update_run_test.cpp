// Whole runs clicked through the window against the simulated camera, through the real
// interface library: an update with backup and the verify after it, and a packet built with
// the "Packet" button that the window then loads.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <string>
#include <vector>

#include "firmware/firmware_packet.h"
#include "gui/gui_test_support.h"
#include "log/log_seal.h"
#include "sim/core/camera_folder.h"
#include "sim/core/factory_images.h"
#include "sim/core/raw_image_files.h"
#include "ui/order_dlg.h"

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

  // Clicks a button whose run ends in one result box, answers it and returns its text.
  std::string ClickForResult(CommandControl control) {
    ModalAnswerer answers;
    answers.Then(ModalAnswerer::Accept());
    Button(control)->click();
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(answers.Unexpected(), 0);
    return answers.MessageTexts().empty() ? "" : answers.MessageTexts().back();
  }

  ScopedEnvironment simFolder_{"QLM_SIM_DIR", temp_.File("camera")};
  ScopedEnvironment timeScale_{"TARVO_TIME_SCALE", "0"};
  sim::CameraFolder camera_;
};

TEST_F(UpdateThroughWindow, ProgramWithBackupThenVerify) {
  const std::string packet = WriteUpdatePacket();
  Start();
  {
    ModalAnswerer answers;
    answers.Then(test::ChooseFile(packet));
    Button(CommandControl::kLoadFile)->click();
    ASSERT_TRUE(answers.AllAnswered());
  }
  {
    ModalAnswerer answers;
    Button(CommandControl::kConnect)->click();
    EXPECT_EQ(answers.Unexpected(), 0);
  }
  ASSERT_TRUE(programmer_->Camera().connected);
  ASSERT_TRUE(Button(CommandControl::kProgram)->isEnabled());
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    EXPECT_TRUE(window_->DeviceCheckBox(device)->isChecked()) << DeviceDisplayName(device);
    EXPECT_EQ(window_->PacketVersionLabel(device)->text().toStdString(), kNewVersionText);
    EXPECT_NE(window_->CameraVersionLabel(device)->text().toStdString(), kNewVersionText);
  }
  Button(CommandControl::kSkipBackup)->click();
  ASSERT_FALSE(Button(CommandControl::kSkipBackup)->isChecked());
  const auto enabledBefore = test::EnabledStates(*window_);

  // Sampled at the first event dispatch inside the run.
  std::vector<std::string> enabledDuring;
  bool sampled = false;
  QTimer::singleShot(0, window_.get(), [&] {
    sampled = true;
    for (const auto& [caption, enabled] : test::EnabledStates(*window_)) {
      if (enabled) enabledDuring.push_back(caption);
    }
  });
  EXPECT_EQ(ClickForResult(CommandControl::kProgram),
            "Updating firmware\nin camera SN 4711\nsuccessful.");
  ASSERT_TRUE(sampled);
  EXPECT_TRUE(enabledDuring.empty()) << enabledDuring.front();
  EXPECT_EQ(test::EnabledStates(*window_), enabledBefore);
  EXPECT_FALSE(window_->Busy());

  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    SCOPED_TRACE(DeviceDisplayName(device));
    QProgressBar* bar = window_->DeviceProgressBar(device);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->value(), 100);
    EXPECT_EQ(test::MiddleColour(bar), QColor(0, 255, 0));
    EXPECT_EQ(window_->CameraVersionLabel(device)->text().toStdString(), kNewVersionText);
  }
  const std::string backup = programmer_->LastBackupFile();
  ASSERT_FALSE(backup.empty());
  EXPECT_GT(std::filesystem::file_size(backup), 0u);
  CFirmwarePacket backupPacket;
  EXPECT_TRUE(backupPacket.LoadPacket(backup)) << backupPacket.LastError();

  EXPECT_EQ(ClickForResult(CommandControl::kVerify),
            "Verifying firmware\nin camera SN 4711\nsuccessful.");
  EXPECT_EQ(test::EnabledStates(*window_), enabledBefore);

  // Ending the window seals the log.
  const std::string log = programmer_->Log().Path();
  programmer_.reset();
  EXPECT_EQ(CheckLogSealFile(log).result, LogSealCheck::kValid);
}

TEST_F(UpdateThroughWindow, PacketButtonWritesAPacketTheWindowLoads) {
  sim::RawImageRequest request;
  request.major = kNewMajor;
  request.minor = kNewMinor;
  std::vector<std::string> written;
  std::string error;
  ASSERT_TRUE(sim::WriteRawImageFiles(temp_.File("raw"), request, &written, &error)) << error;
  const auto rawFile = [&](DeviceIndex device) {
    return temp_.File("raw/" + sim::RawImageFileName(device, request));
  };
  Start(false, true);

  {
    ModalAnswerer answers;
    answers
        .Then([](QWidget* window) {
          auto* order = qobject_cast<COrderDlg*>(window);
          ASSERT_NE(order, nullptr);
          // Main uP, a reboot, then Main FPGA.
          for (const DeviceIndex device : {DEVICE_MAIN_UP, DEVICE_MAIN_FPGA}) {
            const QList<QListWidgetItem*> items = order->AvailableList()->findItems(
                QString::fromLatin1(DeviceListName(device)), Qt::MatchExactly);
            ASSERT_EQ(items.size(), 1) << DeviceListName(device);
            order->AvailableList()->setCurrentItem(items.front());
            order->MoveInButton()->click();
            if (device == DEVICE_MAIN_UP) order->AddRebootButton()->click();
          }
          order->DoneButton()->click();
        })
        .Then(test::ChooseFile(rawFile(DEVICE_MAIN_UP)))
        .Then(test::ChooseFile(rawFile(DEVICE_MAIN_FPGA)))
        .Then(test::ChooseFile(temp_.File("generated")))
        .Then(ModalAnswerer::Accept());
    Button(CommandControl::kPacket)->click();
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(answers.Unexpected(), 0);
    EXPECT_EQ(answers.MessageTexts().back(),
              "Creating packet file successful.\n" + temp_.File("generated.tvf"));
  }
  EXPECT_TRUE(Button(CommandControl::kPacket)->isEnabled());

  const std::string path = temp_.File("generated.tvf");
  CFirmwarePacket packet;
  ASSERT_TRUE(packet.LoadPacket(path)) << packet.LastError();
  ProgramOrder order;
  ASSERT_TRUE(packet.GetOrder(&order));
  EXPECT_EQ(order[0], DEVICE_MAIN_UP);
  EXPECT_EQ(order[1], ORDER_REBOOT);
  EXPECT_EQ(order[2], DEVICE_MAIN_FPGA);
  EXPECT_EQ(order[3], ORDER_END);

  ModalAnswerer load;
  load.Then(test::ChooseFile(path));
  Button(CommandControl::kLoadFile)->click();
  EXPECT_TRUE(load.AllAnswered());
  EXPECT_EQ(load.Unexpected(), 0);
  EXPECT_EQ(window_->PacketVersionLabel(DEVICE_MAIN_UP)->text().toStdString(), kNewVersionText);
  EXPECT_EQ(window_->PacketVersionLabel(DEVICE_MAIN_FPGA)->text().toStdString(), kNewVersionText);
  EXPECT_TRUE(window_->PacketVersionLabel(DEVICE_BOOT_UP)->text().isEmpty());
}

}  // namespace
}  // namespace tarvo::ui
