// Whether two paths name the same file, however they are spelled: "./x", a symbolic link to
// it or a hard link all count, because a command that writes one of its own inputs would
// destroy what it reads.
#pragma once

#include <string>

namespace tarvo::platform {

// true when both paths exist and are the same file (device and inode on POSIX, volume and
// file index on Windows).
bool IsSameFile(const std::string& first, const std::string& second);

}  // namespace tarvo::platform
