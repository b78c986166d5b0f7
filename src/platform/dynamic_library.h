// Loading shared libraries at run time: the camera's interface libraries are not linked,
// they are loaded by bare file name when an operation needs the camera.
#pragma once

#include <string>

namespace tarvo::platform {

using LibraryHandle = void*;

// File name of a shared library on this platform: "libNAME.so" on Linux, "NAME.dll" on Windows.
std::string SharedLibraryFileName(const std::string& stem);

// Loads a library by file name with the platform's search order (on Linux: LD_LIBRARY_PATH,
// the executable's RUNPATH=$ORIGIN, then the system folders). nullptr when it cannot be loaded.
LibraryHandle LoadSharedLibrary(const std::string& fileName);

// Address of an exported entry point, or nullptr when the library does not export it.
void* ResolveEntryPoint(LibraryHandle library, const char* name);

void UnloadSharedLibrary(LibraryHandle library);

// Text of the platform's last loader error, for diagnostics only.
std::string LastLoaderError();

}  // namespace tarvo::platform
