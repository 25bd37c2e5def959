#pragma once
// THintWindow: the small popup that shows a hint's wide text near the pointer. It never takes
// the focus or the mouse.
#include "gui/Types.h"
#include "gui/Win32Handles.h"
#include <string>

namespace gui {

class THintWindow {
public:
    THintWindow();
    ~THintWindow();
    THintWindow(const THintWindow&) = delete;
    THintWindow& operator=(const THintWindow&) = delete;

    // The window's size for the text (word-wrapped at maxWidth), as a rectangle at (0, 0).
    RECT CalcHintRect(int maxWidth, const std::wstring& text);
    // Shows the text in the window at the screen rectangle.
    void ActivateHint(const RECT& screenRect, const std::wstring& text);
    void Hide();
    bool Visible() const;
    HWND Handle() const { return window_; }
    const std::wstring& Text() const { return text_; }
    void SetColor(TColor color) { color_ = color; }

private:
    void paint(HDC dc);
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    GdiObject<HFONT> font_;
    std::wstring text_;
    TColor color_ = clInfoBk;
};

}  // namespace gui
