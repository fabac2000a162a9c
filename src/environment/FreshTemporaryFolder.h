#pragma once
#include <string>

// A folder made for one use inside the temporary folder, under a name nobody can guess in
// advance, so that nothing put into the temporary folder beforehand lies beside what is placed
// in it. Removed again when destroyed, if it is empty by then.
class FreshTemporaryFolder {
public:
    // Throws std::runtime_error when no folder can be made.
    FreshTemporaryFolder();
    ~FreshTemporaryFolder();
    FreshTemporaryFolder(const FreshTemporaryFolder&) = delete;
    FreshTemporaryFolder& operator=(const FreshTemporaryFolder&) = delete;

    // Ends in "\".
    const std::string& path() const { return path_; }

    static constexpr const char* kNamePrefix = "Mallowbrook-";

private:
    std::string path_;
};
