#include "saving/UpdateCheck.h"

#include "common/PathFunctions.h"
#include "common/RegistryKey.h"
#include "common/RegistryValues.h"
#include "common/ServiceHosts.h"
#include "common/TextDecoder.h"
#include "common/TextFunctions.h"

#include <vector>

const wchar_t lastCheckUpdateLowValue[] = L"lastCheckUpdateLow";
const wchar_t lastCheckUpdateHighValue[] = L"lastCheckUpdateHigh";

namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (valid())
            closeFileHandle(handle_);
    }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

uint64_t currentUtcFileTime() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    FILETIME time = {};
    if (!SystemTimeToFileTime(&now, &time))
        return 0;
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

uint64_t joinStoredTime(int low, int high) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(high)) << 32) | static_cast<uint32_t>(low);
}

bool updateCheckDue(uint64_t now, uint64_t last) {
    const uint64_t difference = now > last ? now - last : last - now;
    return difference > kUpdateCheckInterval;
}

uint64_t readLastCheckTime(HKEY root) {
    RegistryKey key;
    if (RegOpenKeyExW(root, settingsKeyPath, 0, KEY_READ, key.out()) != ERROR_SUCCESS)
        return 0;
    if (!regValueStoredAs(key.get(), lastCheckUpdateLowValue, REG_DWORD, sizeof(DWORD)) ||
        !regValueStoredAs(key.get(), lastCheckUpdateHighValue, REG_DWORD, sizeof(DWORD)))
        return 0;
    return joinStoredTime(regReadDword(key.get(), lastCheckUpdateLowValue),
                          regReadDword(key.get(), lastCheckUpdateHighValue));
}

void writeLastCheckTime(HKEY root, uint64_t time) {
    RegistryKey key;
    if (RegCreateKeyExW(root, settingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(), nullptr) !=
        ERROR_SUCCESS)
        return;
    regWriteDword(key.get(), lastCheckUpdateLowValue, static_cast<DWORD>(time & 0xFFFFFFFFu));
    regWriteDword(key.get(), lastCheckUpdateHighValue, static_cast<DWORD>(time >> 32));
}

bool readVersionFile(const std::wstring& path, std::wstring& text) {
    text.clear();
    FileHandle file(openExistingFile(path, GENERIC_READ, FILE_SHARE_READ));
    if (!file.valid())
        return false;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<uint64_t>(size.QuadPart) > kMaxVersionFileSize)
        return false;
    std::vector<char> bytes(static_cast<size_t>(size.QuadPart));
    size_t filled = 0;
    while (filled < bytes.size()) {
        const DWORD read =
            readFileBytes(file.get(), bytes.data() + filled, static_cast<DWORD>(bytes.size() - filled));
        if (read == 0)
            return false;
        filled += read;
    }
    TextEncoding encoding;
    std::unique_ptr<std::wstring> decoded = TextDecoder().decodeText(bytes.data(), bytes.size(), encoding);
    if (!decoded || decoded->empty())
        return false;
    text = std::move(*decoded);
    return true;
}

std::wstring versionLine(const std::wstring& text) {
    return trimString(text.substr(0, text.find_first_of(L"\r\n")));
}

UpdateCheckOutcome failedDownloadOutcome(long lastError) {
    return lastError == kConnectionFailedError ? UpdateCheckOutcome::NoConnection
                                               : UpdateCheckOutcome::ServerIssues;
}

UpdateCheckOutcome versionOutcome(const std::wstring& version, bool askedByUser) {
    if (version == applicationVersion)
        return askedByUser ? UpdateCheckOutcome::UpToDate : UpdateCheckOutcome::Silent;
    return UpdateCheckOutcome::NewVersionOffered;
}

UpdateCheckBox updateCheckBox(UpdateCheckOutcome outcome) {
    switch (outcome) {
    case UpdateCheckOutcome::Silent:
        return {};
    case UpdateCheckOutcome::NoConnection:
        return {L"Please check your Internet connection.", MB_OK | MB_ICONWARNING};
    case UpdateCheckOutcome::ServerIssues:
        return {L"There are some temporary server issues while checking for update. Please try again.",
                MB_OK | MB_ICONWARNING};
    case UpdateCheckOutcome::UpToDate:
        return {L"Pixhaul is up to date.", MB_OK | MB_ICONINFORMATION};
    case UpdateCheckOutcome::NewVersionOffered:
        return {
            L"New version of Pixhaul is available!\r\n\r\nDo you want to upgrade now?\r\n\r\nIMPORTANT: "
            L"After you "
            L"click \"Yes\" button you MUST close Pixhaul before you run Pixhaul installer.",
            MB_YESNO | MB_ICONWARNING};
    }
    return {};
}

std::wstring versionFileAddress() {
    return L"http://" + makerHost() + L"/CurrentVersion.txt";
}

std::wstring installerAddress() {
    return L"http://" + makerHost() + L"/downloads/Pixhaul.exe";
}
