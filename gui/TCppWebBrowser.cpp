#include "gui/TCppWebBrowser.h"

#include "gui/OleValues.h"

#include <exdisp.h>
#include <exdispid.h>

namespace gui {

TCppWebBrowser::TCppWebBrowser(TComponent* owner) : TCppWebBrowser(owner, CLSID_WebBrowser) {}

TCppWebBrowser::TCppWebBrowser(TComponent* owner, const CLSID& classId) : TOleControl(owner, classId) {
    if (!Available())
        return;
    browser_ = Host().As<IWebBrowser2>(IID_IWebBrowser2);
    Host().OnClosing = [this] { browser_.Reset(); };
    if (browser_)
        connectEvents();
}

TCppWebBrowser::~TCppWebBrowser() {
    // No event may reach this object once its own part is gone.
    browser_.Reset();
    Host().Close();
}

void TCppWebBrowser::connectEvents() {
    // A browser without events still navigates; a window that waits for its events simply never
    // sees a page, which is how a browser without an engine behaves anyway.
    if (FAILED(Host().ConnectEvents(DIID_DWebBrowserEvents2)))
        return;
    // BeforeNavigate2(browser, url, flags, target frame, post data, headers, cancel)
    Host().SetEventHandler(DISPID_BEFORENAVIGATE2, [this](OleEventArguments& a) {
        auto handler = OnBeforeNavigate2;
        if (!handler)
            return;
        bool cancel = false;
        handler(this, a.Dispatch(0), a.Text(1), cancel);
        a.SetBoolean(6, cancel);
    });
    // NewWindow2(browser out, cancel)
    Host().SetEventHandler(DISPID_NEWWINDOW2, [this](OleEventArguments& a) {
        auto handler = OnNewWindow2;
        if (!handler)
            return;
        Microsoft::WRL::ComPtr<IDispatch> newBrowser = a.Dispatch(0);
        bool cancel = false;
        handler(this, newBrowser, cancel);
        a.SetDispatch(0, newBrowser.Get());
        a.SetBoolean(1, cancel);
    });
    // NavigateComplete2(browser, url)
    Host().SetEventHandler(DISPID_NAVIGATECOMPLETE2, [this](OleEventArguments& a) {
        if (auto handler = OnNavigateComplete2)
            handler(this, a.Dispatch(0), a.Text(1));
    });
}

bool TCppWebBrowser::Navigate(const std::wstring& url) {
    if (!browser_)
        return false;
    OleVariant flags = OleVariant::Missing();
    OleVariant target = OleVariant::Missing();
    OleVariant postData = OleVariant::Missing();
    OleVariant headers = OleVariant::Missing();
    return SUCCEEDED(browser_->Navigate(OleString(url).Get(), &flags.Get(), &target.Get(), &postData.Get(),
                                        &headers.Get()));
}

Microsoft::WRL::ComPtr<IDispatch> TCppWebBrowser::Document() const {
    Microsoft::WRL::ComPtr<IDispatch> document;
    if (browser_ && FAILED(browser_->get_Document(document.GetAddressOf())))
        document.Reset();
    return document;
}

Microsoft::WRL::ComPtr<IDispatch> TCppWebBrowser::Application() const {
    Microsoft::WRL::ComPtr<IDispatch> application;
    if (browser_ && FAILED(browser_->get_Application(application.GetAddressOf())))
        application.Reset();
    return application;
}

}  // namespace gui
