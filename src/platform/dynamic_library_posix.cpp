#include "platform/dynamic_library.h"

#include <dlfcn.h>

namespace tarvo::platform {

std::string SharedLibraryFileName(const std::string& stem) {
  return "lib" + stem + ".so";
}

LibraryHandle LoadSharedLibrary(const std::string& fileName) {
  return dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
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
