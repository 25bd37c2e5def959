#include "gui/Exception.h"
#include "gui/Win32Handles.h"
#include <windows.h>

namespace gui {

Exception::Exception(std::wstring message) : message_(std::move(message)) {
    const int needed = WideCharToMultiByte(CP_UTF8, 0, message_.c_str(), static_cast<int>(message_.size()),
                                           nullptr, 0, nullptr, nullptr);
    if (needed > 0) {
        narrow_.resize(static_cast<size_t>(needed));
        WideCharToMultiByte(CP_UTF8, 0, message_.c_str(), static_cast<int>(message_.size()), &narrow_[0],
                            needed, nullptr, nullptr);
    }
}

std::wstring ExceptionMessage(std::exception_ptr error) {
    if (!error)
        return L"Unknown error.";
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        return e.Message();
    } catch (const std::bad_alloc&) {
        return L"Out of memory.";
    } catch (const std::exception& e) {
        std::wstring text = WideFromNarrow(e.what());
        return text.empty() ? L"Unknown error." : text;
    } catch (...) {
        return L"Unknown error.";
    }
}

}  // namespace gui
