#pragma once
#include <string>

// The enciphered capture file "~QVReg.dat" in the user's temporary folder, written hidden and
// opened without sharing.

// The temporary folder followed by "~QVReg.dat"; the bare name when the folder is unknown.
std::string captureFilePath();
// Replaces the file with the bytes; failures are not reported.
void writeCaptureFile(const std::string& bytes);
// The whole file, then deletes it. False when it could not be opened (usually: no file).
bool takeCaptureFile(std::string& bytes);
