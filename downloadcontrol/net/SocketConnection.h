#pragma once
// Completes the TLS socket with the steps of a client session: credentials (with an optional client
// certificate), the handshake, and the check of the server's certificate chain.
#include "downloadcontrol/net/TlsSocket.h"

class SocketConnection : public TlsSocket {
public:
    // One algorithm identifier the credentials are limited to; 0 leaves the provider's choice.
    void setSupportedAlgorithm(ALG_ID algorithm) { supportedAlgorithm_ = algorithm; }

protected:
    int acquireCredentials() override;
    int startHandshake(SOCKET socket, const wchar_t* host, std::string& extra) override;
    int continueHandshake(SOCKET socket, bool readFirst, std::string& extra) override;
    int verifyServerChain(const wchar_t* host, DWORD checks) override;

    // Answers the server's request for a client certificate with one from the open store whose chain
    // ends at an issuer the server accepts; without one, the handshake goes on without a certificate.
    virtual void selectClientCertificate();

private:
    // Credentials for `certificate` (may be null) with this object's protocol and cipher settings.
    SECURITY_STATUS acquireCredentialsFor(PCCERT_CONTEXT certificate, CredHandle& handle);

    ALG_ID supportedAlgorithm_ = 0;
};
