#pragma once
#include <string>

// What became of one start of the helper.
struct HelperOutcome {
    bool started = false;
    unsigned long startError = 0;  // when not started: the system's error code
    unsigned long exitCode = 0;    // when started: how many keys it could not change
};

// The permission helper written out of the launcher's own resources, started and removed again.
// Only the bytes the launcher carries are ever started: a file already at the path is replaced,
// and the copy is checked and kept from being changed until the helper has been started.
class PermissionHelper {
public:
    explicit PermissionHelper(std::string path) : helperPath(std::move(path)) {}
    // Deletes the helper file if it is still there.
    ~PermissionHelper();
    PermissionHelper(const PermissionHelper&) = delete;
    PermissionHelper& operator=(const PermissionHelper&) = delete;

    const std::string& path() const { return helperPath; }
    // A file (not a folder) is at the path.
    bool exists() const;
    // Writes the embedded helper to the path, replacing whatever is there. Throws
    // std::runtime_error when the resource cannot be read or the file cannot be written.
    void extract();
    // Writes the helper, starts it (the shell asks for elevation where it must), waits for it
    // to end however long it takes, then deletes the file. showProgress false passes the
    // single parameter "noprogress".
    HelperOutcome run(bool showProgress);

    // The file name, in a folder of its own inside the temporary folder.
    static constexpr const char* kFileName = "MallowbrookPermissions.exe";

private:
    std::string helperPath;
};
