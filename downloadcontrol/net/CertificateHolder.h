#pragma once
// Sole owner of a certificate context, with its subject and issuer display names computed on first use.
#include <windows.h>
#include <wincrypt.h>

#include <string>

class CertificateHolder {
public:
    CertificateHolder() = default;
    // Takes ownership of `context` (which may be null).
    explicit CertificateHolder(PCCERT_CONTEXT context) : context_(context) {}
    ~CertificateHolder() { reset(); }
    CertificateHolder(const CertificateHolder&) = delete;
    CertificateHolder& operator=(const CertificateHolder&) = delete;

    PCCERT_CONTEXT get() const { return context_; }
    bool empty() const { return context_ == nullptr; }

    // Frees the held context and its cached names, then takes ownership of another.
    void reset(PCCERT_CONTEXT context = nullptr);

    // Simple display names; empty without a certificate.
    const std::wstring& subjectName() const;
    const std::wstring& issuerName() const;

private:
    std::wstring displayName(DWORD flags) const;

    PCCERT_CONTEXT context_ = nullptr;
    mutable std::wstring subject_;
    mutable std::wstring issuer_;
    mutable bool subjectRead_ = false;
    mutable bool issuerRead_ = false;
};
