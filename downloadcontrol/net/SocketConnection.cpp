#include "downloadcontrol/net/SocketConnection.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "downloadcontrol/net/NetResult.h"

namespace {

constexpr std::size_t kHandshakeBufferSize = 64 * 1024;
char kClientAuthenticationUsage[] = "1.3.6.1.5.5.7.3.2";

// Frees a token that the provider allocated.
class ContextBuffer {
public:
    ContextBuffer(SecurityFunctionTableW& functions, SecBuffer& buffer)
        : functions_(functions), buffer_(buffer) {}
    ~ContextBuffer() { free(); }
    ContextBuffer(const ContextBuffer&) = delete;
    ContextBuffer& operator=(const ContextBuffer&) = delete;
    void free() {
        if (buffer_.pvBuffer) {
            functions_.FreeContextBuffer(buffer_.pvBuffer);
            buffer_.pvBuffer = nullptr;
            buffer_.cbBuffer = 0;
        }
    }

private:
    SecurityFunctionTableW& functions_;
    SecBuffer& buffer_;
};

}  // namespace

SECURITY_STATUS SocketConnection::acquireCredentialsFor(PCCERT_CONTEXT certificate, CredHandle& handle) {
    SCHANNEL_CRED credentials{};
    credentials.dwVersion = SCHANNEL_CRED_VERSION;
    if (certificate) {
        credentials.cCreds = 1;
        credentials.paCred = &certificate;
    }
    credentials.grbitEnabledProtocols = enabledProtocols_;
    ALG_ID algorithm = supportedAlgorithm_;
    if (algorithm) {
        credentials.cSupportedAlgs = 1;
        credentials.palgSupportedAlgs = &algorithm;
    }
    credentials.dwMinimumCipherStrength = minimumCipherStrength_;
    credentials.dwMaximumCipherStrength = maximumCipherStrength_;
    credentials.dwFlags = SCH_CRED_NO_DEFAULT_CREDS | SCH_CRED_MANUAL_CRED_VALIDATION;

    TimeStamp expiry{};
    return functions_.AcquireCredentialsHandleW(nullptr, const_cast<SEC_WCHAR*>(UNISP_NAME_W),
                                                SECPKG_CRED_OUTBOUND, nullptr, &credentials, nullptr, nullptr,
                                                &handle, &expiry);
}

int SocketConnection::acquireCredentials() {
    PCCERT_CONTEXT chosen = nullptr;
    CertificateHolder found;
    if (!clientCertificate_.empty()) {
        chosen = clientCertificate_.get();
        if (store_ && storeOpenedHere_) {
            CertCloseStore(store_, 0);
        }
        store_ = chosen->hCertStore;
        storeOpenedHere_ = false;
    } else {
        if (!store_) {
            store_ = CertOpenSystemStoreW(0, certificateStoreName_.c_str());
            if (!store_) {
                return TlsStoreNotOpened;
            }
            storeOpenedHere_ = true;
        }
        if (!clientCertificateSubject_.empty()) {
            found.reset(CertFindCertificateInStore(store_, X509_ASN_ENCODING, 0, CERT_FIND_SUBJECT_STR_W,
                                                   clientCertificateSubject_.c_str(), nullptr));
            if (found.empty()) {
                return TlsClientCertificateNotFound;
            }
            chosen = found.get();
        }
    }
    if (chosen && CertVerifyTimeValidity(nullptr, chosen->pCertInfo) != 0) {
        return TlsClientCertificateExpired;
    }

    CredHandle handle;
    SecInvalidateHandle(&handle);
    if (acquireCredentialsFor(chosen, handle) != SEC_E_OK) {
        return TlsCredentialsNotAcquired;
    }
    freeCredentials();
    credentials_ = handle;
    hasCredentials_ = true;
    return NetOk;
}

int SocketConnection::startHandshake(SOCKET socket, const wchar_t* host, std::string& extra) {
    extra.clear();
    SecBuffer token{0, SECBUFFER_TOKEN, nullptr};
    SecBufferDesc output{SECBUFFER_VERSION, 1, &token};
    ContextBuffer tokenOwner(functions_, token);
    ULONG attributes = 0;
    TimeStamp expiry{};
    deleteContext();
    const SECURITY_STATUS status = functions_.InitializeSecurityContextW(
        &credentials_, nullptr, const_cast<SEC_WCHAR*>(host), kContextRequest, 0, 0, nullptr, 0, &context_,
        &output, &attributes, &expiry);
    if (status != SEC_I_CONTINUE_NEEDED) {
        if (!FAILED(status)) {
            hasContext_ = true;
        }
        return reportTlsFailure(TlsTokenFailed);
    }
    hasContext_ = true;
    if (token.pvBuffer && token.cbBuffer > 0) {
        const int length = static_cast<int>(token.cbBuffer);
        if (sendAll(socket, static_cast<const char*>(token.pvBuffer), length) != length) {
            return reportTlsFailure(NetTlsSendFailed);
        }
    }
    tokenOwner.free();
    return continueHandshake(socket, true, extra);
}

int SocketConnection::continueHandshake(SOCKET socket, bool readFirst, std::string& extra) {
    std::vector<char> input;
    try {
        input.resize(std::max(kHandshakeBufferSize, extra.size()));
    } catch (const std::bad_alloc&) {
        return reportTlsFailure(NetOutOfMemory);
    }
    std::size_t count = extra.size();
    std::memcpy(input.data(), extra.data(), count);
    extra.clear();

    bool mayRead = readFirst;
    bool needMore = false;
    bool credentialsAnswered = false;
    for (;;) {
        if ((count == 0 || needMore) && mayRead) {
            if (count >= input.size()) {
                return reportTlsFailure(TlsTokenFailed);  // a handshake message larger than the buffer
            }
            const int received =
                receiveFromSocket(socket, input.data() + count, static_cast<int>(input.size() - count), 0);
            if (received <= 0) {
                return reportTlsFailure(NetTlsReceiveFailed);
            }
            count += static_cast<std::size_t>(received);
        }
        mayRead = true;

        SecBuffer inputBuffers[2] = {
            {static_cast<ULONG>(count), SECBUFFER_TOKEN, input.data()},
            {0, SECBUFFER_EMPTY, nullptr},
        };
        SecBufferDesc inputDescription{SECBUFFER_VERSION, 2, inputBuffers};
        SecBuffer token{0, SECBUFFER_TOKEN, nullptr};
        SecBufferDesc output{SECBUFFER_VERSION, 1, &token};
        ContextBuffer tokenOwner(functions_, token);
        ULONG attributes = 0;
        TimeStamp expiry{};
        const SECURITY_STATUS status = functions_.InitializeSecurityContextW(
            &credentials_, &context_, nullptr, kContextRequest, 0, 0, &inputDescription, 0, nullptr, &output,
            &attributes, &expiry);

        const bool sendToken = status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED ||
                               (FAILED(status) && (attributes & ISC_RET_EXTENDED_ERROR));
        if (sendToken && token.pvBuffer && token.cbBuffer > 0) {
            const int length = static_cast<int>(token.cbBuffer);
            if (sendAll(socket, static_cast<const char*>(token.pvBuffer), length) != length) {
                return reportTlsFailure(NetTlsSendFailed);
            }
        }
        tokenOwner.free();

        if (status == SEC_E_INCOMPLETE_MESSAGE) {
            needMore = true;
            continue;
        }
        needMore = false;
        if (status == SEC_I_INCOMPLETE_CREDENTIALS) {
            // Answered once: a provider that asks again would otherwise keep the handshake going round.
            if (credentialsAnswered) {
                return reportTlsFailure(TlsTokenFailed);
            }
            credentialsAnswered = true;
            selectClientCertificate();
            mayRead = false;
            continue;
        }
        if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED) {
            return reportTlsFailure(TlsTokenFailed);
        }

        // Unread bytes are the last bytes of the input.
        std::size_t left = 0;
        if (inputBuffers[1].BufferType == SECBUFFER_EXTRA) {
            left = std::min<std::size_t>(inputBuffers[1].cbBuffer, count);
        }
        if (status == SEC_E_OK) {
            extra.assign(input.data() + count - left, left);
            return NetOk;
        }
        std::memmove(input.data(), input.data() + count - left, left);
        count = left;
    }
}

void SocketConnection::selectClientCertificate() {
    if (!store_) {
        return;
    }
    SecPkgContext_IssuerListInfoEx issuers{};
    if (functions_.QueryContextAttributesW(&context_, SECPKG_ATTR_ISSUER_LIST_EX, &issuers) != SEC_E_OK) {
        return;
    }
    CERT_CHAIN_FIND_BY_ISSUER_PARA criteria{};
    criteria.cbSize = sizeof(criteria);
    criteria.pszUsageIdentifier = kClientAuthenticationUsage;
    criteria.cIssuer = issuers.cIssuers;
    criteria.rgIssuer = issuers.aIssuers;

    PCCERT_CHAIN_CONTEXT chain = nullptr;
    while ((chain = CertFindChainInStore(store_, X509_ASN_ENCODING, 0, CERT_CHAIN_FIND_BY_ISSUER, &criteria,
                                         chain)) != nullptr) {
        PCCERT_CONTEXT certificate = chain->rgpChain[0]->rgpElement[0]->pCertContext;
        CredHandle handle;
        SecInvalidateHandle(&handle);
        if (acquireCredentialsFor(certificate, handle) == SEC_E_OK) {
            freeCredentials();
            credentials_ = handle;
            hasCredentials_ = true;
            CertFreeCertificateChain(chain);
            break;
        }
    }
    if (issuers.aIssuers) {
        functions_.FreeContextBuffer(issuers.aIssuers);
    }
}

int SocketConnection::verifyServerChain(const wchar_t* host, DWORD checks) {
    if (verificationMode_ == SkipVerification) {
        return NetOk;
    }
    PCCERT_CONTEXT remote = nullptr;
    if (functions_.QueryContextAttributesW(&context_, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &remote) != SEC_E_OK ||
        !remote) {
        return reportTlsFailure(TlsNoServerCertificate);
    }
    CertificateHolder server(remote);
    if (!host || !*host) {
        return reportTlsFailure(NetMissingArgument);
    }

    CERT_CHAIN_PARA chainParameters{};
    chainParameters.cbSize = sizeof(chainParameters);
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (!CertGetCertificateChain(nullptr, remote, nullptr, remote->hCertStore, &chainParameters, 0, nullptr,
                                 &chain)) {
        return reportTlsFailure(TlsChainNotBuilt);
    }

    SSL_EXTRA_CERT_CHAIN_POLICY_PARA sslParameters{};
    sslParameters.cbSize = sizeof(sslParameters);
    sslParameters.dwAuthType = AUTHTYPE_SERVER;
    sslParameters.fdwChecks = checks;
    sslParameters.pwszServerName = const_cast<wchar_t*>(host);
    CERT_CHAIN_POLICY_PARA policyParameters{};
    policyParameters.cbSize = sizeof(policyParameters);
    policyParameters.pvExtraPolicyPara = &sslParameters;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof(status);
    const BOOL checked =
        CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policyParameters, &status);
    CertFreeCertificateChain(chain);
    if (!checked) {
        return reportTlsFailure(TlsPolicyCheckNotRun);
    }
    if (status.dwError != 0 && !confirmCertificate(server, status.dwError, host)) {
        return reportTlsFailure(TlsCertificateRefused);
    }
    return NetOk;
}
