#include "support/TrustedAuthority.h"

#include <vector>

#include "support/TestSupport.h"

namespace testsupport {

TrustedAuthority::TrustedAuthority(const std::wstring& pemPath) {
    const std::string pem = readFileBytes(pemPath);
    DWORD length = 0;
    if (pem.empty() || !CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()),
                                             CRYPT_STRING_BASE64HEADER, nullptr, &length, nullptr, nullptr)) {
        return;
    }
    std::vector<BYTE> der(length);
    if (!CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                              der.data(), &length, nullptr, nullptr)) {
        return;
    }
    store_ = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    if (!store_) {
        return;
    }
    if (!CertAddEncodedCertificateToStore(store_, X509_ASN_ENCODING, der.data(), length,
                                          CERT_STORE_ADD_REPLACE_EXISTING, &added_)) {
        added_ = nullptr;
    }
}

TrustedAuthority::~TrustedAuthority() {
    if (added_) {
        // Deleting frees the context too.
        CertDeleteCertificateFromStore(added_);
    }
    if (store_) {
        CertCloseStore(store_, 0);
    }
}

}  // namespace testsupport
