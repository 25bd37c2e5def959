#include "saving/JobMessages.h"

namespace {

std::wstring withReason(std::wstring text, DWORD error) {
    const std::wstring reason = systemErrorText(error);
    if (!reason.empty())
        text += L"\r\n" + reason;
    return text;
}

}  // namespace

std::wstring systemErrorText(DWORD error) {
    if (error == 0)
        return std::wstring();
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length > 0 && buffer)
        text.assign(buffer, length);
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    return text;
}

std::wstring notSavedMessage(int32_t count, const std::wstring& folder, DWORD error) {
    const std::wstring photos = count == 1 ? L"1 photo" : std::to_wstring(count) + L" photos";
    return withReason(photos + L" could not be saved to \"" + folder + L"\".", error);
}

std::wstring zipNotWrittenMessage(const std::wstring& zipPath, DWORD error) {
    return withReason(L"The zip file \"" + zipPath + L"\" could not be written.", error);
}

std::wstring printerUnusableMessage(const std::wstring& printer, DWORD error) {
    return withReason(L"The printer \"" + printer + L"\" cannot be used.", error);
}

std::wstring notPrintedMessage() {
    return L"The photos could not be printed.";
}
