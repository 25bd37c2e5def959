#include "downloadcontrol/net/HttpReplyHeader.h"

#include "downloadcontrol/ControlUtilities.h"

namespace {

std::wstring withoutTrailingReturn(std::wstring text) {
    if (!text.empty() && text.back() == L'\r') {
        text.pop_back();
    }
    return text;
}

}  // namespace

bool HttpReplyHeader::parse(std::string_view block) {
    lines_.clear();
    status_ = -1;
    reason_.clear();
    std::size_t start = 0;
    while (start <= block.size()) {
        std::size_t end = block.find('\n', start);
        if (end == std::string_view::npos) {
            end = block.size();
        }
        if (end - start > kMaximumLineLength) {
            lines_.clear();
            return false;
        }
        lines_.push_back(bytesToWide(block.substr(start, end - start)));
        start = end + 1;
    }
    parseStatusLine();
    return true;
}

void HttpReplyHeader::parseStatusLine() {
    if (lines_.empty()) {
        return;
    }
    const std::wstring line = withoutTrailingReturn(lines_.front());
    const std::size_t first = line.find(L' ');
    if (first == std::wstring::npos) {
        return;
    }
    const std::wstring version = trimText(std::wstring_view(line).substr(0, first));
    if (compareText(version, L"HTTP/1.1", false) != 0 && compareText(version, L"HTTP/1.0", false) != 0) {
        return;
    }
    // A status line without a reason text is taken too.
    std::size_t second = line.find(L' ', first + 1);
    if (second == std::wstring::npos) {
        second = line.size();
    }
    status_ = parseInt32(trimText(std::wstring_view(line).substr(first + 1, second - first - 1)), -1);
    reason_ = second < line.size() ? trimText(std::wstring_view(line).substr(second + 1)) : std::wstring();
}

std::wstring HttpReplyHeader::value(std::wstring_view name) const {
    const std::wstring wanted = trimText(name);
    for (std::size_t i = 1; i < lines_.size(); ++i) {
        const std::wstring& line = lines_[i];
        if (line.empty() || line[0] == L' ' || line[0] == L'\t') {
            continue;
        }
        const std::size_t colon = line.find(L':');
        if (colon == std::wstring::npos) {
            continue;
        }
        if (compareText(trimText(std::wstring_view(line).substr(0, colon)), wanted, false) == 0) {
            return trimText(withoutTrailingReturn(trimText(std::wstring_view(line).substr(colon + 1))));
        }
    }
    return {};
}
