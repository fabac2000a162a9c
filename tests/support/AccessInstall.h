#pragma once
// Installing the stand-in Access into the test prefix, registered the way Access registers
// itself, and removing it all again when the object goes.
//
//   AccessInstall full(2003, AccessKind::Full);        // C:\Program Files\Microsoft Office\OFFICE11\MSACCESS.EXE
//   AccessInstall runtime(2016, AccessKind::Runtime);  // language "0409" unless given
//   ASSERT_TRUE(runtime.installed());
//   StandinEnvironment standin;                         // STANDIN_* for the stand-ins this test starts
//   standin.set("STANDIN_WINDOW_DELAY", "500");
//   ... start Mallowbrook2016.exe ...
//   EXPECT_EQ(runtime.receivedArguments(), (std::vector<std::string>{"/runtime \"C:\\Apps\\Demo.mdb\""}));
//
// Full install: the default value of HKEY_CLASSES_ROOT "Access.Application.<N>\shell\open\command"
// is "\"<exe>\" /NOSTARTUP \"%1\"".
// 2002 and 2003 runtime: the Installer component value (value name = packed product code, data =
// the executable) under HKLM "...\Installer\UserData\S-1-5-18\Components\<packed component>".
// 2007 and later runtime: the product key HKLM "Software\Classes\Installer\Products\<packed
// product>" and the same component value, both in the 64-bit view, which is what Wine's msi.dll
// needs before MsiGetComponentPathA answers 3 (installed locally).
//
// The Installer writes its data in the machine's native view. Mallowbrook, a 32-bit program,
// enumerates "UserData" in the 64-bit view and reads values there first, then in its own
// (redirected) view; the 2002/2003 component value is written in both views, and a test may
// take one away.
// ensureInstallerUserData() makes sure "UserData\S-1-5-18" exists in the 64-bit view (it does on
// every Windows; a fresh Wine prefix lacks it, and the 2002/2003 search then finds no runtime).
// Every AccessInstall calls it; a test with no Access installed calls it itself.
//
// x64 runtime (2010, 2013, 2016): the build's package bin\packages\AccessRuntime<year>-x64.msi,
// with the 64-bit stand-in and its object library, installed by the prefix's own msiexec and
// removed by it again; nothing of the Installer's data is written by hand.
// Click-to-Run: the configuration values under HKLM
// "SOFTWARE\Microsoft\Office\ClickToRun\Configuration" in the view given, and the stand-in of the platform's bitness with its object
// library in InstallationPath\root\Office16, as Click-to-Run lays them out.
#include <windows.h>

#include <string>
#include <vector>

#include "support/RegistrySeed.h"

enum class AccessKind { Full, Runtime, Runtime64, ClickToRun };

// How a Click-to-Run install is laid out.
struct ClickToRunLayout {
    std::string platform = "x64";                  // "Platform"; "x64" installs the 64-bit stand-in
    std::string releaseIds = "O365ProPlusRetail";  // "ProductReleaseIds"
    REGSAM view = KEY_WOW64_64KEY;                 // where the configuration is written
    std::string installationPath = "C:\\Program Files\\Microsoft Office";
};

class AccessInstall {
public:
    // folder: where MSACCESS.EXE goes; empty picks a default per edition and kind (an x64 runtime
    // goes where its package puts it).
    // language: the four-digit code of a 2007-or-later runtime's product ("0000" neutral).
    AccessInstall(int edition, AccessKind kind, const std::string& folder = "", const std::string& language = "0409");
    // A Click-to-Run Access 2016 (16.0), with its object library beside it.
    explicit AccessInstall(const ClickToRunLayout& layout);
    ~AccessInstall();
    AccessInstall(const AccessInstall&) = delete;
    AccessInstall& operator=(const AccessInstall&) = delete;

    bool installed() const { return installed_; }
    const std::string& executablePath() const { return executable_; }
    const std::string& folder() const { return folder_; }
    // Where the stand-in records each command line it was given (one line per start), unless
    // STANDIN_RECORD names another file.
    std::string recordPath() const { return executable_ + ".commandline.txt"; }
    // The raw command lines received so far, and the same with the program name taken off.
    std::vector<std::string> receivedCommandLines() const;
    std::vector<std::string> receivedArguments() const;

    // The program file a test copies in for this kind: the 64-bit stand-in for 64-bit kinds.
    bool is64() const { return is64_; }
    AccessKind kind() const { return kind_; }

private:
    void registerFull();
    void registerBasicRuntime();
    void registerMsiRuntime();
    void installPackage();
    void layOutClickToRun(const ClickToRunLayout& layout);

    int edition_;
    AccessKind kind_;
    std::string language_;
    std::string folder_;
    std::string executable_;
    std::vector<std::string> createdFolders_;  // deepest last
    bool installed_ = false;
    bool is64_ = false;
    std::string productCode_;  // x64 runtime: what msiexec removes again
    std::string library_;      // Click-to-Run: the object library copied beside MSACCESS.EXE
    RegistrySeed registry_;
};

// Runs a command line (a program of the prefix, e.g. "msiexec /i ...") and waits up to the
// timeout; its exit code, or -1 when it could not be started or did not end in time.
long runCommand(const std::string& commandLine, DWORD timeoutMs = 120000);

// Makes "SOFTWARE\Microsoft\Windows\CurrentVersion\Installer\UserData\S-1-5-18" exist in the
// 64-bit view, for the life of the process's prefix.
bool ensureInstallerUserData();

// The stand-in programs of the build.
std::string standinAccessPath();    // bin\standins\MSACCESS.EXE
std::string standinLaunch32Path();  // bin\standins\launch32.exe
std::string standinAccess64Path();  // bin\standins64\MSACCESS.EXE, a 64-bit program
std::string objectLibrary64Path();  // bin\standins64\MSACC.OLB, a 64-bit object library
// The folder the x64 runtime package of an edition installs MSACCESS.EXE into.
std::string runtime64Folder(int edition);

// A copy of a file that is deleted again (with the folders made for it) when the object goes.
class InstalledFile {
public:
    InstalledFile(const std::string& source, const std::string& destination);
    ~InstalledFile();
    InstalledFile(const InstalledFile&) = delete;
    InstalledFile& operator=(const InstalledFile&) = delete;
    bool installed() const { return installed_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::vector<std::string> createdFolders_;
    bool installed_ = false;
};

// Creates every missing folder of the path; returns the ones it made, outermost first.
std::vector<std::string> createFolders(const std::string& folder);
void removeFolders(const std::vector<std::string>& folders);

// STANDIN_* (or any) environment variables of this process, put back when the object goes.
// Programs started afterwards inherit them, and pass them on to the stand-ins they start.
class StandinEnvironment {
public:
    StandinEnvironment() = default;
    ~StandinEnvironment();
    StandinEnvironment(const StandinEnvironment&) = delete;
    StandinEnvironment& operator=(const StandinEnvironment&) = delete;
    void set(const std::string& name, const std::string& value);

private:
    struct Saved {
        std::string name;
        bool existed;
        std::string value;
    };
    std::vector<Saved> saved_;
};

// The lines of a stand-in record file; the arguments of a recorded command line (the text
// after the program name and the blanks that follow it).
std::vector<std::string> readRecordLines(const std::string& path);
std::string commandLineArguments(const std::string& commandLine);

// An Installer identifier in its packed registry form: {901C0409-6000-11D3-8CFE-0050048383C9}
// gives 9040C10900063D11C8EF00054038389C.
std::string packedGuid(const std::string& guid);
