#include "downloadcontrol/net/FtpDataConnection.h"

#include "downloadcontrol/net/FtpSession.h"

void FtpDataConnection::onTlsFailure(int) {
    session_.aborted_ = true;
}

bool FtpDataConnection::isTransferAborted() {
    return session_.isTransferAborted();
}
