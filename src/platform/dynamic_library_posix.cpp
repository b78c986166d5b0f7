#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include "platform/folders.h"

namespace tarvo::platform {

std::string SharedLibraryFileName(const std::string& stem) {
  return "lib" + stem + ".so";
}

LibraryHandle LoadSharedLibrary(const std::string& fileName) {
  LibraryHandle library = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library != nullptr || FileNameOf(fileName) != fileName) return library;
  // The loader searches the executable's RUNPATH ($ORIGIN) only when the program itself calls
  // dlopen; under AddressSanitizer the call comes from the sanitizer's runtime and the program
  // folder is skipped. Looking there again keeps the library beside the program loadable.
  const std::string programFolder = ProgramFolder();
  library = dlopen(JoinPath(programFolder, fileName).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library != nullptr) return library;
  // Last, the installed simulated camera: only when no real library was found anywhere.
  const std::string fallback = JoinPath(programFolder, TARVO_FALLBACK_LIBRARY_FOLDER);
  return dlopen(JoinPath(fallback, fileName).c_str(), RTLD_NOW | RTLD_LOCAL);
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
