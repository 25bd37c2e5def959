#include "common/OpenLink.h"

#include <shellapi.h>

bool openLink(HWND owner, const std::wstring& address) {
    HINSTANCE result = ShellExecuteW(owner, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::wstring webPageOpenFailedText(const std::wstring& address) {
    return L"Error while opening \"" + address +
           L"\" in the default Web browser.\r\nPlease launch your Web browser and go to:\r\n\r\n" + address;
}

namespace {

bool startsWithIgnoringCase(const std::wstring& text, const wchar_t* prefix) {
    const size_t length = wcslen(prefix);
    return text.size() > length && CompareStringOrdinal(text.c_str(), static_cast<int>(length), prefix,
                                                        static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

}  // namespace

bool isWebOrMailLink(const std::wstring& address) {
    return startsWithIgnoringCase(address, L"http://") || startsWithIgnoringCase(address, L"https://") ||
           startsWithIgnoringCase(address, L"mailto:");
}
