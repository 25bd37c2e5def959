#include "UnixTools.h"

#include "support/TestSupport.h"

#include <windows.h>

#include <cstdlib>

std::string unixPath(const std::wstring& windowsPath) {
    using Converter = char*(CDECL*)(const wchar_t*);
    static const auto convert = reinterpret_cast<Converter>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert)
        return std::string();
    char* path = convert(windowsPath.c_str());
    if (!path)
        return std::string();
    std::string result(path);
    HeapFree(GetProcessHeap(), 0, path);
    return result;
}

std::string quotedUnixPath(const std::wstring& windowsPath) {
    return "\"" + unixPath(windowsPath) + "\"";
}

std::string runCheckScript(const std::string& script, const std::string& arguments) {
    const char* source = std::getenv("PIXHAUL_SOURCE_DIR");
    if (!source)
        return "PIXHAUL_SOURCE_DIR is not set";
    testsupport::TempFolder folder;
    const std::wstring resultFile = folder.file(L"result.txt");
    const std::string command = "/usr/bin/python3 " + std::string(source) + "/tests/saving/" + script +
                                " \"" + unixPath(resultFile) + "\" " + arguments;
    std::wstring wide(command.size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, command.data(), static_cast<int>(command.size()), &wide[0],
                                    static_cast<int>(wide.size())));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &wide[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return "cannot start python3, error " + std::to_string(GetLastError());
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // A Unix child's handle does not always signal under Wine: wait for its result file instead.
    const ULONGLONG deadline = GetTickCount64() + 60000;
    std::string text;
    while (GetTickCount64() < deadline) {
        text = testsupport::readFileBytes(resultFile);
        if (!text.empty() && text.back() == '\n')
            return text.substr(0, text.size() - 1);
        Sleep(50);
    }
    return "the check script wrote no result: " + text;
}

std::string checkArchive(const std::wstring& zipPath, const std::wstring& reference,
                         const std::string& mode) {
    return runCheckScript("zip_check.py",
                          quotedUnixPath(zipPath) + " " + quotedUnixPath(reference) + " " + mode);
}

Mount::Mount(const std::wstring& folder, const std::string& options)
    : folder_(folder),
      result_(runCheckScript("mount_tmpfs.py", "mount " + quotedUnixPath(folder) + " " + options)) {}

Mount::~Mount() {
    if (mounted())
        runCheckScript("mount_tmpfs.py", "umount " + quotedUnixPath(folder_));
}
