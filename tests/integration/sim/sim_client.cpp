#include "sim_client.h"

#include "link/telegram_layout.h"
#include "platform/dynamic_library.h"
#include "platform/folders.h"

namespace tarvo::simtest {

namespace tg = tarvo::telegram;

std::string LibraryPath(const std::string& stem) {
  return platform::JoinPath(TARVO_SIM_LIBRARY_FOLDER, platform::SharedLibraryFileName(stem));
}

SimClient::SimClient(const std::string& stem) {
  library_ = platform::LoadSharedLibrary(LibraryPath(stem));
  if (library_ == nullptr) return;
  openCam = reinterpret_cast<OpenCamFunction>(platform::ResolveEntryPoint(library_, kOpenCamName));
  closeCam =
      reinterpret_cast<CloseCamFunction>(platform::ResolveEntryPoint(library_, kCloseCamName));
  controlCommand = reinterpret_cast<ControlCommandFunction>(
      platform::ResolveEntryPoint(library_, kControlCommandName));
  setTimeouts = reinterpret_cast<SetTimeoutsFunction>(
      platform::ResolveEntryPoint(library_, kSetTimeoutsName));
  checkDevice = reinterpret_cast<CheckDeviceAvailabilityFunction>(
      platform::ResolveEntryPoint(library_, kCheckDeviceAvailabilityName));
}

SimClient::~SimClient() {
  if (handle_ != 0) Close();
  if (library_ != nullptr) platform::UnloadSharedLibrary(library_);
}

std::uint32_t SimClient::Open() {
  handle_ = 0;
  return openCam(0, &handle_);
}

std::uint32_t SimClient::Close() {
  return closeCam(&handle_);
}

Answer SimClient::Send(std::vector<std::uint8_t> request, std::uint32_t responseLength) {
  Answer answer;
  answer.bytes.assign(responseLength, 0xEE);
  std::uint32_t timeout = 2500;
  setTimeouts(handle_, &timeout, 4);
  answer.result =
      controlCommand(handle_, request.data(), static_cast<std::uint32_t>(request.size()),
                     answer.bytes.data(), responseLength);
  return answer;
}

std::vector<std::uint8_t> Telegram(std::uint16_t code, std::uint16_t size, std::uint32_t length) {
  std::vector<std::uint8_t> bytes(length, 0);
  bytes[0] = static_cast<std::uint8_t>(code);
  bytes[1] = static_cast<std::uint8_t>(code >> 8);
  bytes[2] = static_cast<std::uint8_t>(size);
  bytes[3] = static_cast<std::uint8_t>(size >> 8);
  return bytes;
}

void PutLe32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t Le32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return Le16(bytes, at) | (Le16(bytes, at + 2) << 16);
}

std::uint32_t Le16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | (static_cast<std::uint32_t>(bytes[at + 1]) << 8);
}

Answer SimClient::CameraType() {
  return Send(Telegram(tg::kGetCameraType, 5, 5), 23);
}

Answer SimClient::VersionsPage(std::uint8_t page) {
  std::vector<std::uint8_t> request = Telegram(tg::kGetDeviceVersionsPaged, 6, 6);
  request[4] = page;
  return Send(request, 207);
}

Answer SimClient::VersionsSingle() {
  return Send(Telegram(tg::kGetDeviceVersionsSingle, 5, 5), 207);
}

std::uint32_t SimClient::Select(std::uint16_t code) {
  return Send(Telegram(code, 13, 13), 17).result;
}
std::uint32_t SimClient::End() {
  return Send(Telegram(tg::kEndDeviceAccess, 13, 13), 17).result;
}
std::uint32_t SimClient::Erase() {
  return Send(Telegram(tg::kEraseDevice, 13, 13), 17).result;
}

std::uint32_t SimClient::Write(std::uint32_t address, const std::uint8_t* data,
                               std::uint32_t length) {
  std::vector<std::uint8_t> request =
      Telegram(tg::kWriteBlock, static_cast<std::uint16_t>(length + 13), 269);
  PutLe32(request, 4, address);
  PutLe32(request, 8, address + length - 1);
  std::copy(data, data + length, request.begin() + 12);
  return Send(request, 15).result;
}

Answer SimClient::Read(std::uint32_t address, std::uint32_t length) {
  std::vector<std::uint8_t> request = Telegram(tg::kReadBlock, 13, 13);
  PutLe32(request, 4, address);
  PutLe32(request, 8, address + length - 1);
  return Send(request, 269);
}

Answer SimClient::Reboot() {
  return Send(Telegram(tg::kRequestReboot, 5, 5), 272);
}

std::uint32_t SimClient::ProgramImage(DeviceIndex index, std::uint32_t start,
                                      const std::vector<std::uint8_t>& bytes) {
  if (std::uint32_t result = SelectDevice(index)) return result;
  if (std::uint32_t result = Erase()) return result;
  for (std::uint32_t offset = 0; offset < bytes.size(); offset += 256) {
    std::uint32_t length =
        std::min<std::uint32_t>(256, static_cast<std::uint32_t>(bytes.size()) - offset);
    if (std::uint32_t result = Write(start + offset, bytes.data() + offset, length)) {
      End();
      return result;
    }
  }
  return End();
}

std::vector<std::uint8_t> SimClient::ReadRange(std::uint32_t address, std::uint32_t length) {
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t offset = 0; offset < length; offset += 256) {
    std::uint32_t n = std::min<std::uint32_t>(256, length - offset);
    Answer answer = Read(address + offset, n);
    if (answer.result != 0) return {};
    bytes.insert(bytes.end(), answer.bytes.begin() + 12, answer.bytes.begin() + 12 + n);
  }
  return bytes;
}

std::vector<std::uint8_t> Pattern(std::size_t length, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
  return bytes;
}

}  // namespace tarvo::simtest
