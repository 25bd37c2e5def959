#pragma once
// The pieces of FTP replies that the session reads: the code and text of a reply line, the line that
// ends a multi-line reply, and the data address of a passive-mode reply. Pure functions on text.
#include <cstdint>
#include <string>
#include <string_view>

// The reply code of a line: its first three characters as a number 100..599, 0 when they are not.
int ftpReplyCode(std::string_view line);

// The classes of reply codes: 2xx success; 3xx intermediate (the server waits for more); 2xx or 3xx
// accepted.
inline bool isFtpSuccess(int code) {
    return code >= 200 && code <= 299;
}
inline bool isFtpIntermediate(int code) {
    return code >= 300 && code <= 399;
}
inline bool isFtpAccepted(int code) {
    return isFtpSuccess(code) || isFtpIntermediate(code);
}

// The text after the code and its separator (from the fifth character); "" for a line shorter than four.
std::string ftpReplyText(std::string_view line);

// True when a line of a multi-line reply opened with `code` ends the reply: the same three digits
// followed by a blank, or nothing.
bool ftpEndsReply(std::string_view line, int code);

// A line without the carriage returns and line feeds at its end.
std::string_view withoutLineEnd(std::string_view line);

// The address in the text of a passive-mode reply: six numbers 0..255 separated by commas, in
// parentheses after the first "(" or, without one, from the first digit ("h1,h2,h3,h4,p1,p2").
struct PassiveAddress {
    std::string host;  // "h1.h2.h3.h4"
    int port = 0;      // p1 * 256 + p2, 1..65535
};

// False when the text holds fewer than six numbers, a number above 255 or something else in their
// place, or a port of 0.
bool parsePassiveReply(std::string_view text, PassiveAddress& address);
