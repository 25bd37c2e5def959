#pragma once
// Result codes of the FTP session's steps (greeting, TLS negotiation, log-on, transfer settings): 0 is
// success. The connect step's own codes (NetResult.h) pass through unchanged; the FTP client turns
// every one of them into the control's error codes.

enum FtpResult : int {
    FtpOk = 0,
    FtpProxyLogonRefused = 1,  // the proxy refused the server's host text or its own password
    FtpGreetingRefused = 2,    // the server greeted with a refusal (around a TLS negotiation)
    FtpSettingRefused = 10,    // a transfer setting, or the alive check, was not accepted
    FtpNoReply = 38,           // no complete reply: the connection closed or the wait ran out
    FtpUserRefused = 62,       // the user name was refused (or, without TLS, the greeting)
    FtpPasswordRefused = 63,
    FtpAccountRefused = 64,
    FtpSettingOutOfRange = 106,
    FtpTlsRefused = 142,  // the server accepts neither security request
};
