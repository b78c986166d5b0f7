#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include "platform/folders.h"

namespace tarvo::platform {

std::string SharedLibraryFileName(const std::string& stem) {
  return "lib" + stem + ".so";
}

LibraryHandle LoadSharedLibrary(const std::string& fileName) {
  LibraryHandle library = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library != nullptr || fileName.find('/') != std::string::npos) return library;
  // The loader searches the executable's RUNPATH ($ORIGIN) only when the program itself calls
  // dlopen; under AddressSanitizer the call comes from the sanitizer's runtime and the program
  // folder is skipped. Looking there last keeps the library beside the program loadable.
  return dlopen(JoinPath(ProgramFolder(), fileName).c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* ResolveEntryPoint(LibraryHandle library, const char* name) {
  if (library == nullptr) return nullptr;
  return dlsym(library, name);
}

void UnloadSharedLibrary(LibraryHandle library) {
  if (library != nullptr) dlclose(library);
}

std::string LastLoaderError() {
  const char* text = dlerror();
  return text != nullptr ? text : "";
}

}  // namespace tarvo::platform
