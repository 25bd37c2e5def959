#pragma once
// Method-pointer events. Assign a lambda or std::bind of a member; an empty event does nothing.
#include "gui/Types.h"
#include <functional>
#include <string>

namespace gui {

class TObject;
class TControl;

using TNotifyEvent = std::function<void(TObject* sender)>;
using TMouseEvent =
    std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
// Setting key to 0 consumes the key: the control's own handling does not see it.
using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;
// Setting key to 0 consumes the character.
using TKeyPressEvent = std::function<void(TObject* sender, wchar_t& key)>;
using TWndMethod = std::function<void(TMessage& message)>;

enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

// What the hint machinery is about to show; OnShowHint handlers may change it.
struct THintInfo {
    TControl* HintControl = nullptr;
    POINT HintPos{};  // screen position of the hint window's top-left corner
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    RECT CursorRect{};    // in HintControl's client coordinates: the hint stays while the pointer is inside
    POINT CursorPos{};    // in HintControl's client coordinates
    int HideTimeout = 0;  // milliseconds
    std::wstring HintStr;
};
using TShowHintEvent = std::function<void(std::wstring& hintStr, bool& canShow, THintInfo& hintInfo)>;
using TMessageEvent = std::function<void(MSG& msg, bool& handled)>;

}  // namespace gui
