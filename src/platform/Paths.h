// File-system helpers on wide paths: the running executable's path, the
// folder part of a path, and existence tests and folder creation.
#pragma once
#include <string>

#include "platform/Handle.h"

namespace platform {

// Full path of the running executable, however long.
std::wstring ModulePath();

// Makes ModulePath return path instead of the real one (tests point the
// executable's folder at a scratch folder). An empty path restores it.
void SetModulePathForTest(const std::wstring& path);

// The drive and folder part of a path, up to and including its last '\\',
// '/' or ':'; empty when it has none.
std::wstring ExtractFilePath(const std::wstring& path);

// True when path names an existing folder.
bool DirectoryExists(const std::wstring& path);

// True when path names an existing file (not a folder).
bool FileExists(const std::wstring& path);

// path opened for reading as the profile reader opens it (sharing reading
// and writing with others); empty when it cannot be opened.
UniqueFileHandle OpenForReading(const std::wstring& path);

// The system's error code for that opening; 0 when it opens.
unsigned long OpenForReadingError(const std::wstring& path);

// Creates one folder level; false when it could not be created (already
// there, parent missing, refused).
// The system's error for opening an existing file for writing (0: it
// opened), as a write of the file would: a file another program holds
// without write sharing gives a sharing violation.
unsigned long OpenForWritingError(const std::wstring& path);

bool CreateDir(const std::wstring& path);

}  // namespace platform
