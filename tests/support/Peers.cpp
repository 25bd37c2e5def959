#include "Peers.h"

#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>

#include "support/TestSupport.h"
#include "support/TrustedAuthority.h"

namespace testsupport {
namespace {

std::map<std::string, std::string>& values() {
    static std::map<std::string, std::string> map;
    return map;
}

const std::string& value(const char* name) {
    static const std::string none;
    auto found = values().find(name);
    return found == values().end() ? none : found->second;
}

// Starts peers.py as a Unix process, reads its port list and holds its control connection: the peers
// stop when that connection closes, also when this program dies.
class PeersEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        WSADATA data;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
        const char* source = std::getenv("PIXHAUL_SOURCE_DIR");
        const char* binary = std::getenv("PIXHAUL_BINARY_DIR");
        ASSERT_TRUE(source && binary) << "PIXHAUL_SOURCE_DIR and PIXHAUL_BINARY_DIR must be set";
        // Wine hands out a finished process's id again, and peers.py empties its folder when it starts:
        // the time keeps a later test program off the folder of a run whose peers are still stopping.
        const std::string folder = std::string(binary) + "/peers-" + std::to_string(GetCurrentProcessId()) +
                                   "-" + std::to_string(GetTickCount64());
        std::wstring command =
            L"/usr/bin/python3 " + widen(source) + L"/tests/support/peers/peers.py --dir " + widen(folder);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process))
            << "cannot start peers.py, error " << GetLastError();
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);

        std::string text;
        waitUntil([&] { return !(text = readFileBytes(windowsPath(folder + "/peers.txt"))).empty(); }, 60000);
        ASSERT_FALSE(text.empty()) << "the peers did not start (see " << folder << ")";
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line)) {
            const std::size_t equals = line.find('=');
            if (equals != std::string::npos) {
                values()[line.substr(0, equals)] = line.substr(equals + 1);
            }
        }
        control_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<u_short>(peerPort("control")));
        address.sin_addr.s_addr = inet_addr("127.0.0.1");
        ASSERT_EQ(::connect(control_, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);

        authority_ = std::make_unique<TrustedAuthority>(windowsPath(value("authority")));
        ASSERT_TRUE(authority_->trusted()) << "the test authority cannot be added to the root store";
    }

    void TearDown() override {
        authority_.reset();
        if (control_ != INVALID_SOCKET) {
            closesocket(control_);
            control_ = INVALID_SOCKET;
        }
    }

private:
    SOCKET control_ = INVALID_SOCKET;
    std::unique_ptr<TrustedAuthority> authority_;
};

[[maybe_unused]] const ::testing::Environment* const kPeers =
    ::testing::AddGlobalTestEnvironment(new PeersEnvironment);

std::vector<std::string> fileLines(const std::wstring& path) {
    std::vector<std::string> lines;
    std::istringstream stream(readFileBytes(path));
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

}  // namespace

int peerPort(const char* name) {
    return std::atoi(value(name).c_str());
}

std::wstring peerUrl(const char* peer, const std::wstring& path) {
    return L"http://127.0.0.1:" + std::to_wstring(peerPort(peer)) + path;
}

std::wstring servedPath(const std::wstring& relative) {
    std::wstring path = windowsPath(value("www")) + L"\\" + relative;
    for (wchar_t& c : path) {
        c = c == L'/' ? L'\\' : c;
    }
    return path;
}

std::string servedFile(const char* relative) {
    return readFileBytes(servedPath(widen(relative)));
}

std::wstring scriptedPath(const std::wstring& name) {
    return windowsPath(value("scripted_folder")) + L"\\" + name;
}

std::vector<AccessEntry> accessLog() {
    std::vector<AccessEntry> entries;
    for (const std::string& line : fileLines(windowsPath(value("access_log")))) {
        std::istringstream fields(line);
        AccessEntry entry;
        double duration = 0;
        int64_t bytes = 0;
        fields >> entry.end >> duration >> entry.method >> entry.uri >> entry.status >> bytes;
        std::string range;
        std::getline(fields, range);
        const std::size_t open = range.find('"');
        const std::size_t close = range.rfind('"');
        entry.range =
            open != std::string::npos && close > open ? range.substr(open + 1, close - open - 1) : "-";
        entry.start = entry.end - duration;
        entries.push_back(entry);
    }
    return entries;
}

std::vector<std::string> scriptedRequests() {
    return fileLines(scriptedPath(L"requests.log"));
}

}  // namespace testsupport
