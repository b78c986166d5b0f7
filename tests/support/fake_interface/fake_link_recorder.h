// What the fake interface libraries record and how a test scripts their answers.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// On Windows the recorder DLL exports exactly these (not the runtime it carries inside).
#if defined(_WIN32) && defined(tarvo_fake_link_recorder_EXPORTS)
#define FAKE_LINK_RECORDER_API __declspec(dllexport)
#elif defined(_WIN32)
#define FAKE_LINK_RECORDER_API __declspec(dllimport)
#else
#define FAKE_LINK_RECORDER_API
#endif

namespace tarvo::test {

struct FakeLinkCall {
  std::string library;                // "qlm_usb", "qlm_usb3", "qlm_gige"
  std::string function;               // entry point, or "load" / "unload" for the library itself
  std::vector<std::uint32_t> values;  // the 32-bit arguments (see the fake for each function)
  std::vector<std::uint8_t> request;  // Control_Command: the request bytes
};

struct FakeLinkAnswer {
  std::uint32_t result = 0;
  std::vector<std::uint8_t> bytes;  // copied to the start of the response buffer
};

struct FAKE_LINK_RECORDER_API FakeLinkRecorder {
  std::vector<FakeLinkCall> calls;
  std::deque<FakeLinkAnswer> answers;  // consumed by Control_Command in order
  std::uint32_t openCamResult = 0;
  std::uint32_t closeCamResult = 0;
  std::uint32_t handle = 0x00C0FFEE;  // handle Open_Cam hands out

  void Reset() { *this = FakeLinkRecorder(); }
  // The calls of one entry point, in order.
  std::vector<FakeLinkCall> CallsOf(const std::string& function) const;
  // "library:function" of every call, for sequence checks.
  std::vector<std::string> Sequence() const;
};

FAKE_LINK_RECORDER_API FakeLinkRecorder& FakeLink();

}  // namespace tarvo::test
