#pragma once
// The passive data connection of an FTP session. It answers to its session: a failure of its TLS
// session raises the session's abort flag, and its waits end when the session's transfer is stopped.
#include "downloadcontrol/net/ProtocolClient.h"

class FtpSession;

class FtpDataConnection : public ProtocolClient {
public:
    explicit FtpDataConnection(FtpSession& session) : session_(session) {}

protected:
    void onTlsFailure(int code) override;
    bool isTransferAborted() override;

private:
    FtpSession& session_;
};
