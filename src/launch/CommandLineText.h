#pragma once
#include <string>

// Text rules of the Access command line, kept free of Windows calls.

// The hive named by the prefix of a -CMD key; without a known prefix the key is machine-wide.
enum class CommandRoot { LocalMachine, CurrentUser };

struct CommandKey {
    CommandRoot root;
    std::string subkey;
};

// "HKLM\" and "HKCU\" (exact case) choose the hive and are removed; any other text is used
// as it stands under HKEY_LOCAL_MACHINE.
CommandKey splitCommandKey(const std::string& key);

// The database a -WINDOWSPROFILE launch opens: the file name of the database the command line
// names (in lower case) inside localFolder.
std::string windowsProfileDatabase(const std::string& commandLine, const std::string& localFolder);
// The -WINDOWSPROFILE rewrite: everything from the drive letter of the last absolute path on is
// replaced by the database's file name inside localFolder, a closing quote, a blank and arguments.
std::string windowsProfileCommandLine(const std::string& commandLine, const std::string& localFolder,
                                      const std::string& arguments);

// The -UPDATE rewrite: the database path the command line names is replaced by the profile copy's
// path, and everything around it (its quotes, the Access switches) stays as it was.
std::string profileCopyCommandLine(const std::string& commandLine, const std::string& copyPath);
