#include "downloadcontrol/net/CertificateHolder.h"

void CertificateHolder::reset(PCCERT_CONTEXT context) {
    if (context_ && context_ != context) {
        CertFreeCertificateContext(context_);
    }
    context_ = context;
    subject_.clear();
    issuer_.clear();
    subjectRead_ = false;
    issuerRead_ = false;
}

const std::wstring& CertificateHolder::subjectName() const {
    if (!subjectRead_) {
        subject_ = displayName(0);
        subjectRead_ = true;
    }
    return subject_;
}

const std::wstring& CertificateHolder::issuerName() const {
    if (!issuerRead_) {
        issuer_ = displayName(CERT_NAME_ISSUER_FLAG);
        issuerRead_ = true;
    }
    return issuer_;
}

std::wstring CertificateHolder::displayName(DWORD flags) const {
    if (!context_) {
        return {};
    }
    DWORD length = CertGetNameStringW(context_, CERT_NAME_SIMPLE_DISPLAY_TYPE, flags, nullptr, nullptr, 0);
    if (length <= 1) {
        return {};
    }
    std::wstring name(length, L'\0');
    length = CertGetNameStringW(context_, CERT_NAME_SIMPLE_DISPLAY_TYPE, flags, nullptr, &name[0], length);
    name.resize(length > 0 ? length - 1 : 0);
    return name;
}
