#include "gui/Win32Handles.h"
#include <cstring>

namespace gui {

std::wstring WideFromNarrow(const char* text) {
    if (!text || !*text)
        return std::wstring();
    const int length = static_cast<int>(std::strlen(text));
    UINT codePage = CP_UTF8;
    int needed = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, length, nullptr, 0);
    if (needed <= 0) {
        codePage = CP_ACP;
        needed = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
        if (needed <= 0)
            return std::wstring();
    }
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0, text, length, &wide[0],
                        needed);
    return wide;
}

}  // namespace gui
