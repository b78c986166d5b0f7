#include "support/fake_interface/fake_link_recorder.h"

namespace tarvo::test {

std::vector<FakeLinkCall> FakeLinkRecorder::CallsOf(const std::string& function) const {
  std::vector<FakeLinkCall> found;
  for (const FakeLinkCall& call : calls) {
    if (call.function == function) found.push_back(call);
  }
  return found;
}

std::vector<std::string> FakeLinkRecorder::Sequence() const {
  std::vector<std::string> sequence;
  for (const FakeLinkCall& call : calls) sequence.push_back(call.library + ":" + call.function);
  return sequence;
}

FakeLinkRecorder& FakeLink() {
  // Never destroyed: a fake library still loaded at process exit records its unloading after
  // static objects are gone.
  static FakeLinkRecorder* recorder = new FakeLinkRecorder();
  return *recorder;
}

}  // namespace tarvo::test
