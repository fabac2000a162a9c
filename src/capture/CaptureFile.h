#pragma once
#include <string>

// The enciphered capture file "~QVReg.dat" in the user's temporary folder, written hidden and
// opened without sharing. Results are Windows error codes, 0 for success.

// The temporary folder followed by "~QVReg.dat"; the bare name when the folder is unknown.
std::string captureFilePath();
// Writes the bytes under a fresh name in the same folder, checks every write, flushes, then
// puts that file in place of the old one. On any failure the old file stays as it was.
unsigned long writeCaptureFile(const std::string& bytes);
// The whole file, which stays where it is. ERROR_FILE_NOT_FOUND when there is none.
unsigned long readCaptureFile(std::string& bytes);
unsigned long deleteCaptureFile();
// The system's text for a file error, on one line.
std::string captureFileErrorText(unsigned long error);
