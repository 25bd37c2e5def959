#include "downloadcontrol/net/FtpReplyParsing.h"

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

void skipBlanks(std::string_view text, std::size_t& at) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) {
        ++at;
    }
}

// A decimal number 0..255 of one to three digits at `at`.
bool readByteValue(std::string_view text, std::size_t& at, int& value) {
    std::size_t digits = 0;
    value = 0;
    while (at < text.size() && isDigit(text[at])) {
        if (++digits > 3) {
            return false;
        }
        value = value * 10 + (text[at] - '0');
        ++at;
    }
    return digits > 0 && value <= 255;
}

}  // namespace

int ftpReplyCode(std::string_view line) {
    if (line.size() < 3 || !isDigit(line[0]) || !isDigit(line[1]) || !isDigit(line[2])) {
        return 0;
    }
    const int code = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
    return code >= 100 && code <= 599 ? code : 0;
}

std::string ftpReplyText(std::string_view line) {
    return line.size() < 4 ? std::string() : std::string(line.substr(4));
}

bool ftpEndsReply(std::string_view line, int code) {
    return ftpReplyCode(line) == code && (line.size() == 3 || line[3] == ' ');
}

std::string_view withoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
        line.remove_suffix(1);
    }
    return line;
}

bool parsePassiveReply(std::string_view text, PassiveAddress& address) {
    const std::size_t parenthesis = text.find('(');
    std::size_t at = 0;
    if (parenthesis != std::string_view::npos) {
        at = parenthesis + 1;
    } else {
        while (at < text.size() && !isDigit(text[at])) {
            ++at;
        }
    }
    int values[6] = {};
    for (int i = 0; i < 6; ++i) {
        skipBlanks(text, at);
        if (!readByteValue(text, at, values[i])) {
            return false;
        }
        skipBlanks(text, at);
        if (i < 5) {
            if (at >= text.size() || text[at] != ',') {
                return false;
            }
            ++at;
        }
    }
    // A seventh number is no passive address either.
    if (at < text.size() && (text[at] == ',' || isDigit(text[at]))) {
        return false;
    }
    if (parenthesis != std::string_view::npos && (at >= text.size() || text[at] != ')')) {
        return false;
    }
    const int port = values[4] * 256 + values[5];
    if (port < 1) {
        return false;
    }
    address.host = std::to_string(values[0]) + "." + std::to_string(values[1]) + "." +
                   std::to_string(values[2]) + "." + std::to_string(values[3]);
    address.port = port;
    return true;
}
