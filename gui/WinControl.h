#pragma once
// TWinControl: a control with a window of its own. It holds child controls (windowless ones are
// painted by it, in z-order, and get their mouse messages from it), takes the keyboard focus,
// paints through PaintWindow (off-screen when DoubleBuffered) and fills its background with Brush.
#include "gui/Control.h"
#include <vector>

namespace gui {

// How the window is made; subclasses adjust it in CreateParams.
struct TCreateParams {
    std::wstring Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
    // A system window class to create and subclass ("EDIT", "LISTBOX", ...), or null for the
    // library's own class named by ClassName.
    const wchar_t* SystemClass = nullptr;
    const wchar_t* ClassName = nullptr;
};

// Names of the library's own window classes.
extern const wchar_t* const kControlClassName;
extern const wchar_t* const kFormClassName;

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // The window, made on first use (under a hidden parking window while the control has no
    // parent).
    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    // Destroys and remakes the window (for styles that only take effect at creation).
    void RecreateWnd();

    // Child controls: windowless ones first (in z-order, bottom first), then windowed ones.
    int ControlCount() const { return static_cast<int>(graphics_.size() + windowed_.size()); }
    TControl* Controls(int index) const;
    // The topmost visible child under a point of the client area: windowless children only,
    // unless allowWinControls (windowed children lie above the windowless ones).
    TControl* ControlAtPos(POINT p, bool allowDisabled, bool allowWinControls = false) const;
    // Moves every child by (dx, dy) and scrolls the window's pixels with them.
    void ScrollBy(int dx, int dy);

    bool Focused() const;
    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop) { tabStop_ = tabStop; }

    // The background brush; its colour follows Color, a bitmap makes it a pattern. Changing it
    // repaints nothing by itself (controls switch brushes while they paint): call Invalidate.
    TBrush* Brush() { return &brush_; }
    // When set, WM_PAINT draws into an off-screen bitmap and copies it to the window at once.
    bool DoubleBuffered() const { return doubleBuffered_; }
    void SetDoubleBuffered(bool doubleBuffered) { doubleBuffered_ = doubleBuffered; }

    void SetParent(TWinControl* parent) override;
    void SetBounds(int left, int top, int width, int height) override;
    RECT ClientRect() const override;
    void SetClientSize(int width, int height) override;
    POINT ClientOrigin() const override;
    bool Showing() const override;
    void Invalidate() override;
    void Update() override;
    void Repaint() override;

    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // Our control of a window handle, or null.
    static TWinControl* FindControl(HWND window);
    // The windowed control of ours that is window or contains it, or null.
    static TWinControl* FindControlOrAncestor(HWND window);

    // Windowless children in z-order; used by painting and by the parent's hit testing.
    const std::vector<TControl*>& GraphicControls() const { return graphics_; }
    const std::vector<TControl*>& WinControls() const { return windowed_; }

    // Paints the windowless children that intersect the clip box of dc (parent's client
    // coordinates), each with the origin moved to its top-left corner and clipped to its bounds.
    void PaintControls(HDC dc);

    // Keyboard entry points (also used by a form with KeyPreview for its children's keys).
    bool DoKeyDown(TMessage& message);
    bool DoKeyUp(TMessage& message);
    bool DoKeyPress(TMessage& message);

protected:
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    virtual void DestroyWnd();
    // The window exists: send it the control's state (font, texts, items, ...).
    virtual void HandleCreated();
    // The background, before the windowless children are painted over it. Opaque windowless
    // children are excluded from dc's clip region.
    virtual void PaintWindow(HDC dc);
    // WM_PAINT of the library's own window classes: background, PaintWindow, children. A
    // device context in wParam is painted as it is (off screen when lParam holds it too).
    void PaintHandler(TMessage& message);
    void EraseBackground(TMessage& message);
    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void KeyPress(wchar_t& key);
    virtual void DoEnter();
    virtual void DoExit();
    // True when the window belongs to a subclassed system class.
    bool IsSystemClass() const { return systemClass_; }
    void UpdateBounds();
    void ExcludeOpaqueChildren(HDC dc);
    // Sets or clears bit in the window's style (index GWL_STYLE or GWL_EXSTYLE) and has the frame
    // laid out again. Nothing before the window exists: CreateParams reads the property then.
    void ChangeFrameStyle(int index, LONG_PTR bit, bool set);

    void ColorChanged() override;
    void FontChanged() override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    std::wstring GetText() const override;
    void StoreText(const std::wstring& text) override;
    void ParentColorChanged() override;
    void ParentFontChanged() override;

    friend class TControl;
    friend class TForm;

private:
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void MoveChild(TControl* control, bool toFront);
    void attach(HWND window);
    void detach();
    void createChildHandles();
    void placeInZOrder();
    void reflect(TMessage& message, HWND child);
    void setCursorMessage(TMessage& message);

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    WNDPROC defWndProc_ = nullptr;
    bool systemClass_ = false;
    bool creating_ = false;
    std::vector<TControl*> graphics_;
    std::vector<TControl*> windowed_;
    TBrush brush_;
    bool doubleBuffered_ = false;
    bool tabStop_ = false;
};

// A hidden window that holds windows of controls that have no parent yet.
HWND ParkingWindow();

// Hands an exception that reached a Win32 callback to the application object.
void HandleCallbackException(TObject* sender);

}  // namespace gui
