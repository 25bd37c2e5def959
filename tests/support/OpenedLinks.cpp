#include "support/OpenedLinks.h"

#include <windows.h>

#include <cstdlib>

#include "support/TestSupport.h"

namespace testsupport {
namespace {

const wchar_t kLauncherKey[] = L"Software\\Wine\\WineBrowser";

// Wine's launcher passes no Windows variables on, so the script writes to a fixed file of the build.
std::wstring logFile() {
    return binaryPath(L"tests/support/opened-links.log");
}

}  // namespace

OpenedLinks::OpenedLinks() {
    clear();
    const char* binaryDir = std::getenv("PIXHAUL_BINARY_DIR");
    const std::string script = std::string(binaryDir ? binaryDir : ".") + "/tests/support/log-opened-link.sh";
    const std::wstring launcher(script.begin(), script.end());
    for (const wchar_t* name : {L"Browsers", L"Mailers"})
        RegSetKeyValueW(HKEY_CURRENT_USER, kLauncherKey, name, REG_SZ, launcher.c_str(),
                        static_cast<DWORD>((launcher.size() + 1) * sizeof(wchar_t)));
}

OpenedLinks::~OpenedLinks() {
    for (const wchar_t* name : {L"Browsers", L"Mailers"})
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kLauncherKey, name);
}

std::string OpenedLinks::log() const {
    return readFileBytes(logFile());
}

void OpenedLinks::clear() const {
    writeFileBytes(logFile(), "");
}

std::string OpenedLinks::waitForLog(int timeoutMs) const {
    waitUntil([this] { return !log().empty(); }, timeoutMs);
    return log();
}

}  // namespace testsupport
