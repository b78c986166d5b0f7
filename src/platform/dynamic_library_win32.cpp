#include <windows.h>

#include "platform/dynamic_library.h"
#include "platform/folders.h"

namespace tarvo::platform {

namespace {

DWORD lastError = 0;

HMODULE LoadQuietly(const std::string& path, DWORD flags) {
  // A damaged or foreign DLL must come back as a failed load, not as a system message box.
  DWORD previousMode = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
  HMODULE module = LoadLibraryExA(path.c_str(), nullptr, flags);
  lastError = module == nullptr ? GetLastError() : 0;
  SetThreadErrorMode(previousMode, nullptr);
  return module;
}

}  // namespace

std::string SharedLibraryFileName(const std::string& stem) {
  return stem + ".dll";
}

LibraryHandle LoadSharedLibrary(const std::string& fileName) {
  // Windows' own search first: the program's folder, the system folders, the current folder,
  // then PATH. A real SDK DLL found anywhere there wins over the simulated camera.
  HMODULE module = LoadQuietly(fileName, 0);
  if (module != nullptr || FileNameOf(fileName) != fileName) return module;
  // Last, the simulated camera in the camsim folder beside the program.
  const std::string fallback = JoinPath(ProgramFolder(), TARVO_FALLBACK_LIBRARY_FOLDER);
  return LoadQuietly(JoinPath(fallback, fileName), LOAD_WITH_ALTERED_SEARCH_PATH);
}

void* ResolveEntryPoint(LibraryHandle library, const char* name) {
  if (library == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void UnloadSharedLibrary(LibraryHandle library) {
  if (library != nullptr) FreeLibrary(static_cast<HMODULE>(library));
}

std::string LastLoaderError() {
  if (lastError == 0) return "";
  char text[512] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, lastError, 0, text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
    message.pop_back();
  }
  return "Windows error " + std::to_string(lastError) + (message.empty() ? "" : ": " + message);
}

}  // namespace tarvo::platform
