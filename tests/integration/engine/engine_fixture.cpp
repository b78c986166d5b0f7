#include "engine_fixture.h"

#include <algorithm>
#include <filesystem>

#include "firmware/firmware_packet.h"
#include "sim/core/factory_images.h"

namespace tarvo::test {

PacketImage RecognisedImage(DeviceIndex device, std::uint16_t variant, std::uint8_t major,
                            std::uint8_t minor) {
  sim::FactoryImage image = sim::BuildFactoryImage(device, variant, major, minor);
  return PacketImage{device, image.start, std::move(image.bytes),
                     sim::MakeImageVersion(variant, major, minor)};
}

PacketImage PlainImage(DeviceIndex device, std::uint32_t start, std::uint32_t size,
                       std::uint32_t seed, std::uint16_t variant, std::uint8_t major,
                       std::uint8_t minor) {
  PacketImage image{device, start, std::vector<std::uint8_t>(size),
                    sim::MakeImageVersion(variant, major, minor)};
  sim::FillSynthetic(image.bytes.data(), size, seed);
  return image;
}

EngineFixture::EngineFixture()
    : dataHome_("TARVO_DATA_DIR", temp_.File("data")),
      simFolder_("QLM_SIM_DIR", temp_.File("camera")),
      timeScale_("TARVO_TIME_SCALE", std::nullopt),
      programFolder_(temp_.File("program")) {
  std::filesystem::create_directories(programFolder_);
  std::string error;
  if (!camera_.Open(temp_.File("camera"), &error)) ADD_FAILURE() << error;
}

EngineFixture::~EngineFixture() {
  dlg_.reset();
  camera_.Close();
}

void EngineFixture::ResetCamera(bool withFirmware, std::uint16_t variant, std::uint8_t major,
                                std::uint8_t minor) {
  sim::FolderLock lock(camera_);
  ASSERT_TRUE(
      sim::ResetCamera(camera_, sim::DefaultSettings(), withFirmware, variant, major, minor));
}

void EngineFixture::ChangeCamera(const std::function<void(sim::CameraState&)>& change) {
  sim::FolderLock lock(camera_);
  change(camera_.State());
}

void EngineFixture::FailTelegram(std::uint16_t command, std::uint32_t nth, std::uint32_t code) {
  ChangeCamera([&](sim::CameraState& state) {
    state.faults.failTelegram = sim::TelegramFault{1, {0}, command, nth, 0, code};
  });
}

void EngineFixture::FactoryWrite(const PacketImage& image) {
  sim::FolderLock lock(camera_);
  sim::FlashDevice& flash = camera_.Flash(image.device);
  ASSERT_TRUE(flash.Erase());
  ASSERT_TRUE(flash.Program(image.start, image.bytes.data(),
                            static_cast<std::uint32_t>(image.bytes.size())));
}

void EngineFixture::EraseDevice(DeviceIndex device) {
  sim::FolderLock lock(camera_);
  ASSERT_TRUE(camera_.Flash(device).Erase());
}

std::vector<std::uint8_t> EngineFixture::ReadFlash(DeviceIndex device, std::uint32_t address,
                                                   std::uint32_t length) {
  sim::FolderLock lock(camera_);
  std::vector<std::uint8_t> bytes(length);
  EXPECT_TRUE(camera_.Flash(device).Read(address, bytes.data(), length));
  return bytes;
}

// NOR flash only clears bits; rewriting a byte takes an erase, so the device is erased and its
// used part written again with the changed bytes.
void EngineFixture::CorruptFlash(DeviceIndex device, std::uint32_t address, std::uint32_t count) {
  sim::FolderLock lock(camera_);
  sim::FlashDevice& flash = camera_.Flash(device);
  std::vector<std::uint8_t> all(flash.Capacity());
  ASSERT_TRUE(flash.Read(0, all.data(), flash.Capacity()));
  for (std::uint32_t i = 0; i < count; ++i) all[address + i] ^= 0x5A;
  std::uint32_t used = flash.Capacity();
  while (used > 0 && all[used - 1] == 0xFF) --used;
  ASSERT_TRUE(flash.Erase());
  ASSERT_TRUE(flash.Program(0, all.data(), used));
}

std::string EngineFixture::WritePacket(const std::string& path,
                                       const std::vector<PacketImage>& images,
                                       const std::optional<std::vector<std::uint16_t>>& steps) {
  CFirmwarePacket packet;
  EXPECT_TRUE(packet.CreatePacket());
  for (const PacketImage& image : images) {
    EXPECT_TRUE(packet.AddImage(static_cast<std::uint16_t>(image.device), image.start,
                                static_cast<std::uint32_t>(image.bytes.size()), image.bytes.data(),
                                image.version))
        << packet.LastError();
  }
  if (steps) {
    ProgramOrder order;
    order.fill(ORDER_END);
    std::copy(steps->begin(), steps->end(), order.begin());
    EXPECT_TRUE(packet.SetOrder(order));
  }
  EXPECT_TRUE(packet.SealPacket()) << packet.LastError();
  EXPECT_TRUE(packet.SavePacket(path)) << packet.LastError();
  return path;
}

CProgrammerDlg& EngineFixture::Start(bool emergency, bool packetGeneration) {
  dlg_ = std::make_unique<CProgrammerDlg>(window_, clock_, programFolder_);
  dlg_->SetModes(emergency, packetGeneration);
  dlg_->StartWindow();
  return *dlg_;
}

void EngineFixture::LoadPacket(const std::vector<PacketImage>& images, bool emergency) {
  if (!dlg_) Start(emergency);
  ASSERT_EQ(dlg_->LoadPacketFile(WritePacket(PacketPath("p.tvf"), images)), 1);
  window_.ClearRecords();
  NewLogLines();
}

void EngineFixture::ConnectFresh() {
  if (!dlg_) Start();
  dlg_->OnConnect();
  ASSERT_TRUE(dlg_->Camera().connected);
  window_.ClearRecords();
  clock_.Reset();
  NewLogLines();
}

void EngineFixture::ConnectWithPacket(const std::vector<PacketImage>& images,
                                      const std::optional<std::vector<std::uint16_t>>& steps) {
  if (!dlg_) Start();
  ASSERT_EQ(dlg_->LoadPacketFile(WritePacket(PacketPath("run.tvf"), images, steps)), 1);
  ConnectFresh();
}

std::vector<std::string> EngineFixture::BoxTexts() const {
  std::vector<std::string> texts;
  for (const ShownMessageBox& box : window_.MessageBoxes()) texts.push_back(box.text);
  return texts;
}

std::string EngineFixture::LogPath() const {
  return dlg_->Log().Path();
}

std::vector<std::string> EngineFixture::AllLogLines() const {
  return LogLineTexts(LogPath());
}

std::vector<std::string> EngineFixture::NewLogLines() {
  std::vector<std::string> all = AllLogLines();
  std::vector<std::string> fresh(all.begin() + static_cast<std::ptrdiff_t>(logMark_), all.end());
  logMark_ = all.size();
  return fresh;
}

}  // namespace tarvo::test
