#pragma once
// TCppWebBrowser: the system's web browser control hosted in place, with navigation, the
// document and application objects, and the three navigation events a window needs. A browser
// without an engine behind it creates or not, navigates or not: either way every call here stays
// harmless and Navigate() reports false, so the window around it keeps working.
#include "gui/TOleControl.h"
#include <functional>
#include <string>

struct IWebBrowser2;

namespace gui {

// A navigation is about to start; set cancel to stop it.
using TBeforeNavigate2Event =
    std::function<void(TObject* sender, IDispatch* browser, const std::wstring& url, bool& cancel)>;
// The page asks for a new window: hand back the application object of the browser that is to
// show it in newBrowser (or set cancel).
using TNewWindow2Event =
    std::function<void(TObject* sender, Microsoft::WRL::ComPtr<IDispatch>& newBrowser, bool& cancel)>;
using TNavigateComplete2Event =
    std::function<void(TObject* sender, IDispatch* browser, const std::wstring& url)>;

class TCppWebBrowser : public TOleControl {
public:
    // The system's web browser.
    explicit TCppWebBrowser(TComponent* owner);
    // Another class in its place (a class that is not a browser gives an unavailable one).
    TCppWebBrowser(TComponent* owner, const CLSID& classId);
    ~TCppWebBrowser() override;

    // The browser control exists and answers as a browser.
    bool BrowserAvailable() const { return browser_ != nullptr; }

    // Starts loading the address (the other navigation arguments are left out); false when the
    // browser is not available or refused.
    bool Navigate(const std::wstring& url);
    // The current document, or null (no page, or no engine to show one).
    Microsoft::WRL::ComPtr<IDispatch> Document() const;
    // The browser's automation object, or null.
    Microsoft::WRL::ComPtr<IDispatch> Application() const;

    TBeforeNavigate2Event OnBeforeNavigate2;
    TNewWindow2Event OnNewWindow2;
    TNavigateComplete2Event OnNavigateComplete2;

private:
    void connectEvents();

    Microsoft::WRL::ComPtr<IWebBrowser2> browser_;
};

}  // namespace gui
