#pragma once
// Wine's browser launcher pointed at a script that logs the addresses it is given, for tests that
// check which web or mail address the program opened (ShellExecuteW "open" on http:, mailto: ...).
#include <string>

namespace testsupport {

// While this lives, web and mail addresses handed to the launcher are appended to log() one a line
// instead of being opened; the log starts empty.
class OpenedLinks {
public:
    OpenedLinks();
    ~OpenedLinks();
    OpenedLinks(const OpenedLinks&) = delete;
    OpenedLinks& operator=(const OpenedLinks&) = delete;

    std::string log() const;
    void clear() const;
    // Waits until the log holds at least one address; the log then.
    std::string waitForLog(int timeoutMs = 20000) const;
};

}  // namespace testsupport
