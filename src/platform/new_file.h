// Creating and removing single files. A name that must be unique (a backup's) is taken by
// creating the file exclusively: of two programs trying the same name, exactly one gets it.
#pragma once

#include <string>

namespace tarvo::platform {

enum class NewFileResult {
  kCreated,  // the empty file now exists and belongs to this caller
  kExists,   // a file (or folder) of that name exists already
  kFailed,   // not created for another reason (LastSystemErrorText says why)
};

NewFileResult CreateNewFile(const std::string& path);

// true when the file is gone afterwards (also when it did not exist).
bool RemoveFile(const std::string& path);

}  // namespace tarvo::platform
