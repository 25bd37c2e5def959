#pragma once
// Small helpers shared by the test suites.
#include <functional>
#include <string>

namespace testsupport {

// A folder under the system temporary folder, created empty and removed with its contents.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path, ending in a backslash.
    const std::wstring& path() const { return path_; }
    // path() + name
    std::wstring file(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

// Windows form of a path in the source tree (tests run under Wine, where / is drive Z:).
std::wstring sourcePath(const std::wstring& relative);

// Windows form of a Unix path (drive Z:), and a Unix path or other ASCII text made wide.
std::wstring windowsPath(const std::string& unixPath);
std::wstring widen(const std::string& ascii);

// Windows form of a path in the build tree.
std::wstring binaryPath(const std::wstring& relative);

// Writes bytes to a file, replacing it; false on failure.
bool writeFileBytes(const std::wstring& path, const std::string& bytes);

// Reads a whole file; empty when it cannot be read.
std::string readFileBytes(const std::wstring& path);

// Whether a file or folder of that name exists.
bool pathExists(const std::wstring& path);

// Checks the condition every few milliseconds until it holds or timeoutMs have passed; its last
// result. For conditions another process or thread makes true (no messages are handled here).
bool waitUntil(const std::function<bool()>& condition, int timeoutMs);

}  // namespace testsupport
