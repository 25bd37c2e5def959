#include "NetPeers.h"

#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <vector>

#include "downloadcontrol/ControlUtilities.h"
#include "support/TestSupport.h"
#include "support/TrustedAuthority.h"

namespace nettest {
namespace {

std::wstring windowsPath(const std::string& unixPath) {
    std::wstring result = L"Z:";
    for (char c : unixPath) {
        result += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return result;
}

// Starts peers.py as a Unix process, waits for its port list and holds its control connection: the
// peers stop when that connection closes, also when this program dies.
class PeersEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(startWinSock());
        const char* source = std::getenv("PIXHAUL_SOURCE_DIR");
        const char* binary = std::getenv("PIXHAUL_BINARY_DIR");
        ASSERT_TRUE(source && binary) << "PIXHAUL_SOURCE_DIR and PIXHAUL_BINARY_DIR must be set";
        folder_ = std::string(binary) + "/net-peers-" + std::to_string(GetCurrentProcessId());

        std::wstring command =
            L"/usr/bin/python3 " + bytesToWide(source) + L"/tests/net/peers.py --dir " + bytesToWide(folder_);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process))
            << "cannot start peers.py, error " << GetLastError();
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);

        const std::wstring info = windowsPath(folder_ + "/peers.txt");
        std::string text;
        for (int i = 0; i < 600 && text.empty(); ++i) {
            Sleep(100);
            text = testsupport::readFileBytes(info);
        }
        ASSERT_FALSE(text.empty()) << "the network peers did not start (see " << folder_ << ")";
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
        address.sin_port = htons(static_cast<u_short>(port("control")));
        address.sin_addr.s_addr = inet_addr("127.0.0.1");
        ASSERT_EQ(::connect(control_, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);

        // The peers' certificates are signed by an authority of this run, trusted while the suite runs.
        authority_ = std::make_unique<testsupport::TrustedAuthority>(windowsPath(values()["authority"]));
        ASSERT_TRUE(authority_->trusted()) << "the test authority cannot be added to the root store";
    }

    void TearDown() override {
        authority_.reset();
        if (control_ != INVALID_SOCKET) {
            closesocket(control_);
            control_ = INVALID_SOCKET;
        }
    }

    static std::map<std::string, std::string>& values() {
        static std::map<std::string, std::string> map;
        return map;
    }

private:
    std::string folder_;
    SOCKET control_ = INVALID_SOCKET;
    std::unique_ptr<testsupport::TrustedAuthority> authority_;
};

[[maybe_unused]] const ::testing::Environment* const kPeers =
    ::testing::AddGlobalTestEnvironment(new PeersEnvironment);

const std::string& value(const char* name) {
    static const std::string none;
    auto found = PeersEnvironment::values().find(name);
    return found == PeersEnvironment::values().end() ? none : found->second;
}

}  // namespace

int port(const char* name) {
    return std::atoi(value(name).c_str());
}

std::string servedFile(const char* relative) {
    return testsupport::readFileBytes(windowsPath(value("www") + "/" + relative));
}

std::string pattern(int64_t start, int64_t count) {
    std::string bytes(static_cast<std::size_t>(count), '\0');
    for (int64_t i = 0; i < count; ++i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<char>(((start + i) * 7 + 3) & 0xFF);
    }
    return bytes;
}

Fetched fetchSegment(DownloadClient& client, LastErrorHolder& errors, int32_t segmentNumber, int64_t start,
                     int64_t length, int64_t fileSize) {
    Fetched result;
    result.fileSize = fileSize;
    std::vector<char> buffer(static_cast<std::size_t>(client.receiveBufferSize()));
    int32_t received = 0;
    bool done = false;
    errors.setError(0);
    if (!client.openSegment(segmentNumber, start, length, result.fileSize, buffer.data(), received,
                            result.rangesAccepted, done)) {
        result.error = errors.error();
        return result;
    }
    result.body.append(buffer.data(), static_cast<std::size_t>(received));
    while (!done) {
        if (!client.receiveMore(buffer.data(), received, done)) {
            result.error = errors.error();
            client.close();
            return result;
        }
        result.body.append(buffer.data(), static_cast<std::size_t>(received));
    }
    client.close();
    result.ok = true;
    return result;
}

}  // namespace nettest
