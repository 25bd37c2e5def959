#include "downloadcontrol/net/TlsSocket.h"

#include <algorithm>
#include <cstring>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/net/NetResult.h"

namespace {

constexpr std::size_t kPlaintextCapacity = 65535;
constexpr std::size_t kMaximumTextLength = 99;
constexpr char kAlertRecord = 21;  // TLS record content type of alerts, close-notify among them

std::wstring cut(const wchar_t* text) {
    std::wstring value = text ? text : L"";
    if (value.size() > kMaximumTextLength) {
        value.resize(kMaximumTextLength);
    }
    return value;
}

}  // namespace

TlsSocket::TlsSocket() : certificateStoreName_(L"MY"), plain_(kPlaintextCapacity + 1) {
    SecInvalidateHandle(&credentials_);
    SecInvalidateHandle(&context_);
}

TlsSocket::~TlsSocket() {
    releaseTls();
}

void TlsSocket::setClientCertificateSubject(const wchar_t* subject) {
    clientCertificateSubject_ = cut(subject);
}

void TlsSocket::setCertificateStoreName(const wchar_t* name) {
    certificateStoreName_ = cut(name);
}

void TlsSocket::setClientCertificate(PCCERT_CONTEXT certificate) {
    clientCertificate_.reset(certificate ? CertDuplicateCertificateContext(certificate) : nullptr);
}

int TlsSocket::startTls(SOCKET socket, const char* host) {
    if (!tlsEnabled_) {
        return NetOk;
    }
    if (!host || !*host) {
        return reportTlsFailure(NetMissingArgument);
    }
    std::wstring targetName = multiByteToWide(host, CP_ACP);

    int result = loadSecurityProvider();
    if (result != NetOk) {
        return reportTlsFailure(TlsProviderNotLoaded);
    }
    if (acquireCredentials() != NetOk) {
        return reportTlsFailure(TlsCredentialsNotAcquired);
    }

    // A new session starts with nothing buffered from an earlier one.
    recordCount_ = 0;
    plainStart_ = 0;
    plainCount_ = 0;
    sessionClosed_ = false;

    std::string extra;
    if (startHandshake(socket, targetName.c_str(), extra) != NetOk) {
        deleteContext();
        return reportTlsFailure(TlsHandshakeNotStarted);
    }
    if (functions_.QueryContextAttributesW(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_) != SEC_E_OK) {
        deleteContext();
        return reportTlsFailure(TlsNoStreamSizes);
    }

    const std::size_t record = sizes_.cbHeader + sizes_.cbMaximumMessage + sizes_.cbTrailer;
    // A server that speaks first (an FTP data connection) may have sent many records along with its
    // last handshake message: the buffer takes all of them.
    const std::size_t bufferSize =
        std::max(std::max<std::size_t>(std::min<std::size_t>(2 * record, 65535), record), extra.size());
    try {
        records_.assign(bufferSize, 0);
        sendBuffer_.assign(record, 0);
    } catch (const std::bad_alloc&) {
        deleteContext();
        return reportTlsFailure(NetOutOfMemory);
    }

    // Bytes the server sent right after its last handshake message are the start of the first record.
    std::memcpy(records_.data(), extra.data(), extra.size());
    recordCount_ = extra.size();

    result = verifyServerChain(targetName.c_str(), 0);
    if (result != NetOk) {
        deleteContext();
    }
    return result;
}

int TlsSocket::closeSocket(SOCKET socket) {
    if (tlsEnabled_) {
        shutdownTls(socket);
    }
    // Bytes read ahead belong to the connection that ends here.
    plainStart_ = 0;
    plainCount_ = 0;
    return RawSocket::closeSocket(socket);
}

int TlsSocket::shutdownSocket(SOCKET socket, int how) {
    if (tlsEnabled_) {
        shutdownTls(socket);
    }
    return RawSocket::shutdownSocket(socket, how);
}

int TlsSocket::receiveRaw(SOCKET socket, char* buffer, int size, int flags) {
    if (!buffer || size < 0 || (tlsEnabled_ && !hasContext_)) {
        return -1;
    }
    if (plainCount_ == 0) {
        plainStart_ = 0;
        if (tlsEnabled_) {
            if (readTlsRecords(socket) != NetOk) {
                return -1;
            }
        } else {
            // Plain bytes are read ahead the same way as decrypted ones: one system call takes whatever
            // the socket holds, however small the caller's blocks are.
            const int received =
                receiveFromSocket(socket, plain_.data(), static_cast<int>(kPlaintextCapacity), 0);
            if (received < 0) {
                return -1;
            }
            plainCount_ = static_cast<std::size_t>(received);
        }
        if (plainCount_ == 0) {
            return 0;  // the peer closed
        }
    }
    const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(size), plainCount_);
    std::memcpy(buffer, plain_.data() + plainStart_, count);
    if (!(flags & MSG_PEEK)) {
        plainStart_ += count;
        plainCount_ -= count;
    }
    return static_cast<int>(count);
}

int TlsSocket::sendRaw(SOCKET socket, const char* data, int length, int flags) {
    if (!tlsEnabled_) {
        return RawSocket::sendRaw(socket, data, length, flags);
    }
    if (!hasContext_ || !data) {
        return -1;
    }
    if (length <= 0) {
        return 0;
    }
    return writeRecords(socket, data, length);
}

int TlsSocket::writeRecords(SOCKET socket, const char* data, int length) {
    int offset = 0;
    while (offset < length) {
        const ULONG part = std::min<ULONG>(static_cast<ULONG>(length - offset), sizes_.cbMaximumMessage);
        char* header = sendBuffer_.data();
        char* body = header + sizes_.cbHeader;
        char* trailer = body + part;
        std::memcpy(body, data + offset, part);

        SecBuffer buffers[4] = {
            {sizes_.cbHeader, SECBUFFER_STREAM_HEADER, header},
            {part, SECBUFFER_DATA, body},
            {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, trailer},
            {0, SECBUFFER_EMPTY, nullptr},
        };
        SecBufferDesc description{SECBUFFER_VERSION, 4, buffers};
        if (functions_.EncryptMessage(&context_, 0, &description, 0) != SEC_E_OK) {
            reportTlsFailure(TlsRecordNotDecrypted);
            return -1;
        }
        // The provider may use less than the maximum header and trailer; the record is what it filled,
        // laid out contiguously from the header on.
        const int recordLength =
            static_cast<int>(buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
        const int sent = sendAll(socket, header, recordLength);
        if (sent != recordLength) {
            reportTlsFailure(NetTlsSendFailed);
            return sent <= 0 ? sent : -1;
        }
        offset += static_cast<int>(part);
    }
    return length;
}

bool TlsSocket::hasPendingData(SOCKET socket) {
    return hasBufferedInput() || RawSocket::hasPendingData(socket);
}

bool TlsSocket::isNotReadable(SOCKET socket, long seconds, long microseconds) {
    if (hasBufferedInput()) {
        return false;
    }
    return RawSocket::isNotReadable(socket, seconds, microseconds);
}

void TlsSocket::onTlsFailure(int) {}

bool TlsSocket::confirmCertificate(const CertificateHolder&, DWORD, const std::wstring&) {
    return false;
}

int TlsSocket::loadSecurityProvider() {
    if (providerLoaded_) {
        return NetOk;
    }
    providerLibrary_ = LoadLibraryW(L"security.dll");
    if (!providerLibrary_) {
        providerLibrary_ = LoadLibraryW(L"secur32.dll");
    }
    if (!providerLibrary_) {
        return TlsProviderNotLoaded;
    }
    auto initialize = reinterpret_cast<INIT_SECURITY_INTERFACE_W>(
        reinterpret_cast<void*>(GetProcAddress(providerLibrary_, "InitSecurityInterfaceW")));
    PSecurityFunctionTableW table = initialize ? initialize() : nullptr;
    if (!table) {
        FreeLibrary(providerLibrary_);
        providerLibrary_ = nullptr;
        return TlsProviderNotLoaded;
    }
    functions_ = *table;
    providerLoaded_ = true;
    return NetOk;
}

void TlsSocket::deleteContext() {
    if (hasContext_) {
        functions_.DeleteSecurityContext(&context_);
        SecInvalidateHandle(&context_);
        hasContext_ = false;
    }
}

void TlsSocket::freeCredentials() {
    if (hasCredentials_) {
        functions_.FreeCredentialsHandle(&credentials_);
        SecInvalidateHandle(&credentials_);
        hasCredentials_ = false;
    }
}

void TlsSocket::releaseTls() {
    deleteContext();
    freeCredentials();
    if (providerLibrary_) {
        FreeLibrary(providerLibrary_);
        providerLibrary_ = nullptr;
    }
    providerLoaded_ = false;
    if (store_ && storeOpenedHere_) {
        CertCloseStore(store_, 0);
    }
    store_ = nullptr;
    storeOpenedHere_ = false;
    std::vector<char>().swap(records_);
    std::vector<char>().swap(sendBuffer_);
    recordCount_ = 0;
    plainStart_ = 0;
    plainCount_ = 0;
}

int TlsSocket::reportTlsFailure(int code) {
    onTlsFailure(code);
    return code;
}

int TlsSocket::shutdownTls(SOCKET socket) {
    if (!hasContext_) {
        return NetOk;
    }
    // A close-notify that cannot be made or sent only ends this session: it is not reported as a
    // failure, since the transfer it closes is over and the next one starts a new session.
    int result = NetOk;
    DWORD type = SCHANNEL_SHUTDOWN;
    SecBuffer control{sizeof(type), SECBUFFER_TOKEN, &type};
    SecBufferDesc controlDescription{SECBUFFER_VERSION, 1, &control};
    if (functions_.ApplyControlToken(&context_, &controlDescription) != SEC_E_OK) {
        result = TlsShutdownRefused;
    } else {
        SecBuffer token{0, SECBUFFER_TOKEN, nullptr};
        SecBufferDesc tokenDescription{SECBUFFER_VERSION, 1, &token};
        ULONG attributes = 0;
        TimeStamp expiry{};
        SECURITY_STATUS status = functions_.InitializeSecurityContextW(
            &credentials_, &context_, nullptr, kContextRequest, 0, 0, nullptr, 0, nullptr, &tokenDescription,
            &attributes, &expiry);
        if (FAILED(status)) {
            result = TlsTokenFailed;
        } else if (token.pvBuffer && token.cbBuffer > 0) {
            if (sendAll(socket, static_cast<const char*>(token.pvBuffer), static_cast<int>(token.cbBuffer)) !=
                static_cast<int>(token.cbBuffer)) {
                result = NetTlsSendFailed;
            }
        }
        if (token.pvBuffer) {
            functions_.FreeContextBuffer(token.pvBuffer);
        }
    }
    deleteContext();
    return result;
}

int TlsSocket::readTlsRecords(SOCKET socket) {
    if (sessionClosed_) {
        return NetOk;
    }
    bool needInput = recordCount_ == 0;
    bool produced = false;
    for (;;) {
        if (needInput) {
            if (produced) {
                return NetOk;  // the incomplete record waits for the next read
            }
            if (recordCount_ >= records_.size()) {
                return reportTlsFailure(TlsRecordNotDecrypted);
            }
            const int received = receiveFromSocket(socket, records_.data() + recordCount_,
                                                   static_cast<int>(records_.size() - recordCount_), 0);
            if (received < 0) {
                return reportTlsFailure(NetTlsReceiveFailed);
            }
            if (received == 0) {
                if (recordCount_ == 0) {
                    return NetOk;
                }
                return reportTlsFailure(TlsPeerClosedInRecord);
            }
            recordCount_ += static_cast<std::size_t>(received);
        }

        const bool alertRecord = records_[0] == kAlertRecord;
        SecBuffer buffers[4] = {
            {static_cast<ULONG>(recordCount_), SECBUFFER_DATA, records_.data()},
            {0, SECBUFFER_EMPTY, nullptr},
            {0, SECBUFFER_EMPTY, nullptr},
            {0, SECBUFFER_EMPTY, nullptr},
        };
        SecBufferDesc description{SECBUFFER_VERSION, 4, buffers};
        const SECURITY_STATUS status = functions_.DecryptMessage(&context_, &description, 0, nullptr);
        if (status == SEC_E_INCOMPLETE_MESSAGE) {
            needInput = true;
            continue;
        }
        if (status == SEC_I_CONTEXT_EXPIRED || status == SEC_E_CONTEXT_EXPIRED) {
            recordCount_ = 0;  // the peer's close-notify: nothing follows
            sessionClosed_ = true;
            return NetOk;
        }
        if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE) {
            return reportTlsFailure(TlsRecordNotDecrypted);
        }

        const SecBuffer* data = nullptr;
        const SecBuffer* extra = nullptr;
        for (const SecBuffer& buffer : buffers) {
            if (buffer.BufferType == SECBUFFER_DATA && !data) {
                data = &buffer;
            } else if (buffer.BufferType == SECBUFFER_EXTRA && !extra) {
                extra = &buffer;
            }
        }
        if (data && data->cbBuffer > 0) {
            const std::size_t end = plainStart_ + plainCount_;
            if (data->cbBuffer > kPlaintextCapacity - end) {
                return reportTlsFailure(TlsRecordNotDecrypted);
            }
            std::memmove(plain_.data() + end, data->pvBuffer, data->cbBuffer);
            plainCount_ += data->cbBuffer;
            produced = true;
        }
        // Bytes after the decrypted record are the start of the next one; they are the last bytes
        // of the input.
        std::size_t left = extra ? std::min<std::size_t>(extra->cbBuffer, recordCount_) : 0;
        if (left > 0) {
            std::memmove(records_.data(), records_.data() + recordCount_ - left, left);
        }
        recordCount_ = left;
        // Records still buffered wait for the next read once another might not fit the plaintext.
        if (produced && recordCount_ > 0 && status == SEC_E_OK &&
            kPlaintextCapacity - (plainStart_ + plainCount_) < sizes_.cbMaximumMessage) {
            return NetOk;
        }
        // Some providers answer a close-notify with success and no data; the record's type tells.
        if (status == SEC_E_OK && alertRecord && !(data && data->cbBuffer > 0)) {
            recordCount_ = 0;
            sessionClosed_ = true;
            return NetOk;
        }

        if (status == SEC_I_RENEGOTIATE) {
            std::string handshake(records_.data(), recordCount_);
            recordCount_ = 0;
            const int result = continueHandshake(socket, false, handshake);
            if (result != NetOk) {
                return result;
            }
            if (handshake.size() > records_.size()) {
                return reportTlsFailure(TlsRecordNotDecrypted);
            }
            std::memcpy(records_.data(), handshake.data(), handshake.size());
            recordCount_ = handshake.size();
        }
        needInput = recordCount_ == 0;
    }
}
