#pragma once
// TFormRecommend: a borderless window with the maker's recommendation page. The page loads off
// screen from the start; at close the main window shows this window only when the page has
// reported its size (fitToPage). A link the page opens goes to the user's browser and closes the
// window; the strip at the top drags it; Esc and Alt+F4 close it.
//
// Without a browser engine (Wine here) the page never loads, so fitToPage stays false and the
// window is never shown. A browser that cannot be made at all leaves the window inert.
#include "controls/Image.h"
#include "controls/PanelEx.h"
#include "forms/RecommendRules.h"
#include "gui/ApplicationEvents.h"
#include "gui/Form.h"
#include "gui/TCppWebBrowser.h"
#include "gui/Timer.h"

class TFormRecommend : public gui::TForm {
public:
    explicit TFormRecommend(gui::TComponent* owner);
    // With another browser class in place of the system's (a class that cannot be made gives the
    // inert window).
    TFormRecommend(gui::TComponent* owner, const CLSID& browserClass);
    ~TFormRecommend() override;

    // Starts loading the page unless a page has already loaded.
    void loadRecommendPage();
    // Reads the page's size and takes it; true only when the window was resized.
    bool fitToPage();
    // Sizes the browser and the window as a fit says (fitToPage's last step).
    void applyFit(const RecommendFit& fit);
    void startResizeTimer();
    void stopResizeTimer();
    bool Navigated() const { return navigated_; }

    gui::TCppWebBrowser* webBrowser = nullptr;
    gui::TCppWebBrowser* hiddenWebBrowser = nullptr;
    controls::TPanelEx* topPanel = nullptr;
    controls::Image* titleImage = nullptr;
    gui::TTimer* resizeTimer = nullptr;
    gui::TApplicationEvents* applicationEvents = nullptr;

    void FormCreate(gui::TObject* sender);
    void FormResize(gui::TObject* sender);
    void webBrowserNavigateComplete2(gui::TObject* sender, IDispatch* browser, const std::wstring& url);
    void webBrowserNewWindow2(gui::TObject* sender, Microsoft::WRL::ComPtr<IDispatch>& newBrowser,
                              bool& cancel);
    void hiddenWebBrowserBeforeNavigate2(gui::TObject* sender, IDispatch* browser, const std::wstring& url,
                                         bool& cancel);
    void resizeTimerTimer(gui::TObject* sender);
    void topPanelMouseDown(gui::TObject* sender, gui::TMouseButton button, gui::TShiftState shift, int x,
                           int y);
    void titleImageMouseDown(gui::TObject* sender, gui::TMouseButton button, gui::TShiftState shift, int x,
                             int y);
    void applicationEventsMessage(MSG& msg, bool& handled);

    void WndProc(gui::TMessage& message) override;

protected:
    void VisibleChanged() override;

private:
    void createComponents(const CLSID& browserClass);
    void startDrag(POINT screenPoint);
    void paintBorder(HDC dc);
    RECT workArea();

    bool navigated_ = false;
};

// The page's address on the maker's site.
std::wstring recommendPageAddress();

// The drag hook: moves the window being dragged by its strip until the left button is released.
LRESULT CALLBACK recommendMouseHookProc(int code, WPARAM message, LPARAM data);

extern TFormRecommend* FormRecommend;
