#pragma once
// The fixture site (tools/fixture-site) on free ports of 127.0.0.1 for the life of one object, and
// the site's control requests. The site is a Unix process started through tests/support/fixturesite.py;
// it stops when this object closes its control connection, also when the test program dies.
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// One HTTP/1.0 exchange with 127.0.0.1:port; the reply's body, empty when the exchange failed.
// status receives the reply's status code (0 when there was no reply).
std::string httpExchange(int port, const std::string& method, const std::string& target,
                         int* status = nullptr);

class FixtureSite {
public:
    // Starts the site; delayMs is how long the "slow" user's replies wait.
    explicit FixtureSite(int delayMs = 1500);
    ~FixtureSite();
    FixtureSite(const FixtureSite&) = delete;
    FixtureSite& operator=(const FixtureSite&) = delete;

    // True when the site answered its start; the other calls expect it.
    bool running() const { return control_ != kNoSocket; }
    // Why the start failed, for the test's message.
    const std::string& failure() const { return failure_; }

    int servicePort() const { return servicePort_; }
    int imagePort() const { return imagePort_; }
    int makerPort() const { return makerPort_; }
    // "127.0.0.1:<port>", as the program's host variables take it.
    std::wstring serviceHost() const;
    std::wstring makerHost() const;

    // GET /__log: the requests served so far, as the site's JSON text.
    std::string logText() const;
    // The logged requests as "METHOD target" lines, in the order served.
    std::vector<std::string> requests() const;
    // How many logged requests start with the given "METHOD target" prefix.
    int countRequests(const std::string& prefix) const;
    // POST /__reset: forgets the log and counters, restores the modes.
    bool reset() const;
    // POST /__mode?<query>, for example "version=2.2&delay_ms=500".
    bool setMode(const std::string& query) const;

private:
    // The control connection's SOCKET, kept as a number so that this header needs no winsock2.h.
    static constexpr std::uintptr_t kNoSocket = ~std::uintptr_t(0);
    std::uintptr_t control_ = kNoSocket;
    int servicePort_ = 0;
    int imagePort_ = 0;
    int makerPort_ = 0;
    std::string failure_;
};

}  // namespace testsupport
