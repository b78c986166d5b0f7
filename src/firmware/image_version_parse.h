// The version of a raw image file: variant, major and minor from its name
// ("CALDO_1_V04_11.bit": variant 1, version 4.11), hour, minute, day, month and year from its
// last-write time in UTC.
#pragma once

#include <string>
#include <string_view>

#include "firmware/image_version.h"

namespace tarvo {

// The file name part of a path: the text after the last backslash, the last colon and the
// last slash (a path separator on both systems).
std::string_view ImageFileName(std::string_view path);

// Reads variant, major and minor from a file name: anything up to the first underscore, the
// variant, an underscore, V or v and the major version, an underscore and the minor version;
// anything may follow. The fields after the first thing missing stay as they are (zero in a
// cleared version). true when all three were read.
bool ParseImageVersionName(std::string_view fileName, ImageVersion* version);

// Clears the version, then sets the time fields from the file's last-write time (all stay
// zero when the file cannot be opened) and the version fields from its name. true when the
// name gave all three version fields; no caller needs to look.
bool ParseImageVersion(const std::string& path, ImageVersion* version);

}  // namespace tarvo
