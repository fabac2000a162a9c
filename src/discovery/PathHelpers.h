#pragma once
#include <string>

#include "base/PathText.h"

// True for an existing file; a folder or a missing entry gives false.
bool fileExists(const std::string& path);

// Size a buffer given to specialFolderPath must have at least (MAX_PATH).
constexpr unsigned kFolderBufferSize = 260;

// Fills `buffer` (kFolderBufferSize bytes or more, zeroed by the caller) with the path of a shell
// folder (a CSIDL_ value). Without SHGetFolderPathA it gives the common program files folder
// from the registry's "CommonFilesDir", whatever folder was asked for.
void specialFolderPath(int folderId, char* buffer);
// The common program files folder; empty when it cannot be found.
std::string commonFilesFolder();
// The common program files folder of 64-bit programs, where a 64-bit Office keeps its shared
// files: "CommonFilesDir" of the 64-bit view, else %CommonProgramW6432%; on a 32-bit system
// (which has neither) the one folder there is.
std::string commonFilesFolder64();

// The look-up behind specialFolderPath with the library and function named, so that the
// fallback can be exercised where the system has the function.
void specialFolderPathFrom(const char* library, const char* function, int folderId, char* buffer);
// Copies a folder found in the registry into a specialFolderPath buffer. A folder that does
// not fit is not copied at all: a cut-off path would name some other folder.
void copyFolderText(const std::string& folder, char* buffer);
