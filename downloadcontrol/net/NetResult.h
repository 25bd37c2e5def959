#pragma once
// Result codes of the socket and TLS layers: 0 is success. They travel up through
// ProtocolClient::passResult and are turned into the control's own error codes by the protocol clients;
// some numbers coincide with error codes of the control that mean something else, so the two are never
// mixed.

enum NetResult : int {
    NetOk = 0,
    NetConnectTimedOut = 5,  // the server did not accept within the connect wait
    NetConnectFailed = 6,    // the server refused or could not be reached
    NetHostNotResolved = 7,
    NetAlreadyConnected = 16,  // connect while a socket is open
    NetSocketNotCreated = 17,
    NetConnectStopped = 18,    // the transfer was stopped while the connect waited
    NetTlsReceiveFailed = 21,  // receive failed, or the peer closed during a TLS read or handshake
    NetTlsSendFailed = 22,     // send failed during a TLS handshake or shutdown
    NetBufferTooSmall = 35,    // text accessors: the text does not fit the caller's buffer
    NetMissingArgument = 36,
    NetNoText = 39,
    NetOutOfMemory = 108,

    TlsProviderNotLoaded = 120,
    TlsStoreNotOpened = 121,
    TlsClientCertificateNotFound = 122,
    TlsCredentialsNotAcquired = 123,
    TlsTokenFailed = 124,  // a handshake or shutdown token could not be made
    TlsHandshakeNotStarted = 126,
    TlsNoServerCertificate = 127,
    TlsChainNotBuilt = 128,
    TlsPolicyCheckNotRun = 129,
    TlsCertificateRefused = 130,
    TlsNoStreamSizes = 131,
    TlsShutdownRefused = 132,
    TlsPeerClosedInRecord = 133,
    TlsRecordNotDecrypted = 135,  // a record could not be decrypted, or its text does not fit
    TlsClientCertificateExpired = 143,
};

// True for the results of a server certificate that could not be checked or failed the check.
inline bool isCertificateFailure(int result) {
    return result >= TlsNoServerCertificate && result <= TlsCertificateRefused;
}
