#pragma once
// A socket that can run a client TLS session of the system security provider (SSPI, Schannel) between
// the protocol clients and WinSock. While TLS is enabled, start, close, shutdown, receive, send and the
// two readiness tests go through the session; while it is disabled they are the plain calls, except
// that receives are read ahead into the same buffer as decrypted bytes (one recv per block the socket
// holds, not per block the caller asks for).
//
// The handshake, credential and certificate steps are supplied by SocketConnection; this class keeps
// the session's state, reads and writes records, and shuts the session down.
#ifndef SECURITY_WIN32
#define SECURITY_WIN32
#endif
#include <winsock2.h>
#include <windows.h>
#include <wincrypt.h>
#include <security.h>
#include <schannel.h>

#include <string>
#include <vector>

#include "downloadcontrol/net/CertificateHolder.h"
#include "downloadcontrol/net/RawSocket.h"

class TlsSocket : public RawSocket {
public:
    // Verification modes: check the server's chain and name through the system and refuse a server that
    // fails the check, or skip the check.
    enum VerificationMode { VerifyServer = 1, SkipVerification = 2 };

    TlsSocket();
    ~TlsSocket() override;

    int startTls(SOCKET socket, const char* host) override;
    int closeSocket(SOCKET socket) override;
    int shutdownSocket(SOCKET socket, int how) override;
    int receiveRaw(SOCKET socket, char* buffer, int size, int flags) override;
    int sendRaw(SOCKET socket, const char* data, int length, int flags) override;
    bool hasPendingData(SOCKET socket) override;
    bool isNotReadable(SOCKET socket, long seconds, long microseconds) override;

    void setTlsEnabled(bool enabled) { tlsEnabled_ = enabled; }
    bool isTlsEnabled() const { return tlsEnabled_; }
    // Texts longer than 99 characters are cut.
    void setClientCertificateSubject(const wchar_t* subject);
    void setCertificateStoreName(const wchar_t* name);
    // Keeps a duplicate of `certificate` (null clears it).
    void setClientCertificate(PCCERT_CONTEXT certificate);
    // The SCHANNEL_CRED protocol mask; 0 is the provider's default.
    void setEnabledProtocols(DWORD protocols) { enabledProtocols_ = protocols; }
    void setMinimumCipherStrength(DWORD bits) { minimumCipherStrength_ = bits; }
    void setMaximumCipherStrength(DWORD bits) { maximumCipherStrength_ = bits; }
    void setVerificationMode(int mode) { verificationMode_ = mode; }
    int verificationMode() const { return verificationMode_; }
    // True once the peer ended the session with a close-notify; a TCP close without one may be a cut.
    bool peerClosedSession() const { return sessionClosed_; }

protected:
    // Called for every failure of the session except a failed close-notify.
    virtual void onTlsFailure(int code);
    // Asked in mode 1 when the server's chain or name breaks the SSL policy: true accepts the
    // certificate. The default refuses: transfers run on worker threads, where no question may be put
    // to the user.
    virtual bool confirmCertificate(const CertificateHolder& certificate, DWORD policyError,
                                    const std::wstring& host);
    // Loads the provider library and copies its function table, once per object.
    virtual int loadSecurityProvider();
    // Deletes the context and credentials, frees the provider and closes the store this object opened.
    void releaseTls();
    // Calls onTlsFailure and returns `code`.
    int reportTlsFailure(int code);
    // Sends a close-notify when a session exists and deletes the context in every case.
    virtual int shutdownTls(SOCKET socket);
    // Decrypts records into the plaintext buffer: 0 also when the peer closed (no plaintext then).
    virtual int readTlsRecords(SOCKET socket);

    // The steps that SocketConnection supplies.
    virtual int acquireCredentials() = 0;
    // `extra` receives bytes that followed the server's last handshake message.
    virtual int startHandshake(SOCKET socket, const wchar_t* host, std::string& extra) = 0;
    // `extra` holds bytes already received on entry and those that followed the handshake on return.
    virtual int continueHandshake(SOCKET socket, bool readFirst, std::string& extra) = 0;
    virtual int verifyServerChain(const wchar_t* host, DWORD checks) = 0;

    void deleteContext();
    void freeCredentials();
    // True when bytes read ahead (decrypted or plain), or received bytes of a record, wait here: a read
    // starts with them rather than with a wait on the socket.
    bool hasBufferedInput() const { return plainCount_ > 0 || (tlsEnabled_ && recordCount_ > 0); }

    // Flags asked of every InitializeSecurityContextW call.
    static constexpr ULONG kContextRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT |
                                             ISC_REQ_CONFIDENTIALITY | ISC_REQ_ALLOCATE_MEMORY |
                                             ISC_REQ_EXTENDED_ERROR | ISC_REQ_STREAM;

    bool tlsEnabled_ = false;
    HMODULE providerLibrary_ = nullptr;
    SecurityFunctionTableW functions_{};
    bool providerLoaded_ = false;

    HCERTSTORE store_ = nullptr;
    bool storeOpenedHere_ = false;
    std::wstring clientCertificateSubject_;
    std::wstring certificateStoreName_;
    CertificateHolder clientCertificate_;
    DWORD enabledProtocols_ = 0;
    DWORD minimumCipherStrength_ = 0;
    DWORD maximumCipherStrength_ = 0;
    int verificationMode_ = VerifyServer;

    CredHandle credentials_{};
    bool hasCredentials_ = false;
    CtxtHandle context_{};
    bool hasContext_ = false;
    SecPkgContext_StreamSizes sizes_{};

private:
    int writeRecords(SOCKET socket, const char* data, int length);

    // Received ciphertext; the first recordCount_ bytes are an incomplete record kept between reads.
    std::vector<char> records_;
    std::size_t recordCount_ = 0;
    // Header, data and trailer of one outgoing record.
    std::vector<char> sendBuffer_;
    // Bytes read from the connection (decrypted with TLS, as received without) not yet handed out:
    // plainCount_ bytes from plainStart_.
    std::vector<char> plain_;
    std::size_t plainStart_ = 0;
    std::size_t plainCount_ = 0;
    // The peer ended the session with a close-notify: reads give 0 from then on.
    bool sessionClosed_ = false;
};
