#pragma once
// One header block of an HTTP reply: its status line and its header values.
#include <string>
#include <string_view>
#include <vector>

class HttpReplyHeader {
public:
    // Longest header line taken; a longer one makes the block malformed.
    static constexpr std::size_t kMaximumLineLength = 16 * 1024;

    // Splits the block (the bytes before its empty line) into lines. False when a line is too long.
    bool parse(std::string_view block);

    // The status code of the first line, -1 when it is not an HTTP/1.x status line.
    int status() const { return status_; }
    const std::wstring& reason() const { return reason_; }

    // The trimmed value of the first header line with this name (case ignored); "" when none.
    std::wstring value(std::wstring_view name) const;

private:
    void parseStatusLine();

    std::vector<std::wstring> lines_;
    int status_ = -1;
    std::wstring reason_;
};
