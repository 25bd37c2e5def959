#pragma once
// Running the machine's own tools on files the tests make under Wine.
#include <string>

// The Unix path of a Windows path; empty when Wine cannot map it.
std::string unixPath(const std::wstring& windowsPath);
// The same in double quotes, as an argument of a check script.
std::string quotedUnixPath(const std::wstring& windowsPath);

// Runs tests/saving/<script> with python3 and the arguments (each in double quotes), waits for it, and
// returns what it wrote to its result file: "OK" or a description of what was wrong.
std::string runCheckScript(const std::string& script, const std::string& arguments);
// zip_check.py on an archive against the folder of its original files; mode "all" or "subset".
std::string checkArchive(const std::wstring& zipPath, const std::wstring& reference, const std::string& mode);

// A small tmpfs the test mounts on a folder ("16k", "64m ro"), unmounted at the end; tests skip
// where mounting is refused.
class Mount {
public:
    Mount(const std::wstring& folder, const std::string& options);
    ~Mount();
    Mount(const Mount&) = delete;
    Mount& operator=(const Mount&) = delete;
    bool mounted() const { return result_ == "OK"; }
    const std::string& result() const { return result_; }

private:
    std::wstring folder_;
    std::string result_;
};
