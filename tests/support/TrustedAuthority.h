#pragma once
// A certificate authority of the tests, trusted by this Wine prefix while the object lives: its
// certificate is added to the machine's root store, so that the system's chain check accepts servers
// whose certificates it signed, and removed again when the object goes.
#include <windows.h>
#include <wincrypt.h>

#include <string>

namespace testsupport {

class TrustedAuthority {
public:
    // `pemPath`: the authority's certificate in PEM form.
    explicit TrustedAuthority(const std::wstring& pemPath);
    ~TrustedAuthority();
    TrustedAuthority(const TrustedAuthority&) = delete;
    TrustedAuthority& operator=(const TrustedAuthority&) = delete;

    bool trusted() const { return added_ != nullptr; }

private:
    HCERTSTORE store_ = nullptr;
    PCCERT_CONTEXT added_ = nullptr;
};

}  // namespace testsupport
