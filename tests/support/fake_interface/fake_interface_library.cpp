// A fake camera interface library: exports the SDK's entry points, records each call and answers
// as the test scripted it.
#include <algorithm>
#include <cstring>

#include "support/fake_interface/fake_link_recorder.h"

using tarvo::test::FakeLink;
using tarvo::test::FakeLinkAnswer;
using tarvo::test::FakeLinkCall;

namespace {

void Record(const char* function, std::vector<std::uint32_t> values,
            std::vector<std::uint8_t> request = {}) {
  FakeLink().calls.push_back(
      FakeLinkCall{FAKE_LIBRARY_NAME, function, std::move(values), std::move(request)});
}

__attribute__((constructor)) void OnLoad() {
  Record("load", {});
}
__attribute__((destructor)) void OnUnload() {
  Record("unload", {});
}

}  // namespace

#ifdef _WIN32
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// values: camera number, handle variable before the call
FAKE_EXPORT std::uint32_t Open_Cam(std::uint32_t cameraNumber, std::uint32_t* cameraHandle) {
  Record("Open_Cam", {cameraNumber, *cameraHandle});
  if (FakeLink().openCamResult == 0) *cameraHandle = FakeLink().handle;
  return FakeLink().openCamResult;
}

// values: handle variable
FAKE_EXPORT std::uint32_t Close_Cam(std::uint32_t* cameraHandle) {
  Record("Close_Cam", {*cameraHandle});
  return FakeLink().closeCamResult;
}

// values: handle, request length, response length
FAKE_EXPORT std::uint32_t Control_Command(std::uint32_t cameraHandle, void* request,
                                          std::uint32_t requestLength, void* response,
                                          std::uint32_t responseLength) {
  const auto* bytes = static_cast<const std::uint8_t*>(request);
  Record("Control_Command", {cameraHandle, requestLength, responseLength},
         std::vector<std::uint8_t>(bytes, bytes + requestLength));
  FakeLinkAnswer answer;
  if (!FakeLink().answers.empty()) {
    answer = FakeLink().answers.front();
    FakeLink().answers.pop_front();
  }
  std::memset(response, 0, responseLength);
  if (!answer.bytes.empty()) {
    std::memcpy(response, answer.bytes.data(),
                std::min<std::size_t>(answer.bytes.size(), responseLength));
  }
  return answer.result;
}

// values: handle, first timeout, length in bytes
FAKE_EXPORT std::uint32_t Set_Timeouts(std::uint32_t cameraHandle, std::uint32_t* timeouts,
                                       std::uint32_t lengthInBytes) {
  Record("Set_Timeouts", {cameraHandle, lengthInBytes >= 4 ? timeouts[0] : 0u, lengthInBytes});
  return 0;
}

#ifndef FAKE_WITHOUT_CHECK_DEVICE
FAKE_EXPORT std::uint32_t Check_Device_Availability(std::uint32_t cameraHandle,
                                                    std::uint32_t deviceNumber) {
  Record("Check_Device_Availability", {cameraHandle, deviceNumber});
  return 0;
}
#endif
