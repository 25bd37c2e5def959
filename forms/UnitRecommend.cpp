#include "forms/UnitRecommend.h"

#include "common/OpenLink.h"
#include "common/ServiceHosts.h"
#include "gui/OleValues.h"
#include "gui/Win32Handles.h"
#include "resources/SkinIds.h"

#include <exdisp.h>
#include <mshtml.h>

using namespace gui;
using Microsoft::WRL::ComPtr;

TFormRecommend* FormRecommend = nullptr;

namespace {

constexpr TColor stripColor = 0xEFAE00;
constexpr int titleImageTop = 6;

// The drag in progress: the window being dragged (null when none), the pointer's last place on
// the screen, and the hook that follows the pointer while the button is down.
TFormRecommend* draggedForm = nullptr;
POINT lastCursorPos{};
HHOOK dragHook = nullptr;

void endDrag() {
    draggedForm = nullptr;
    if (dragHook) {
        UnhookWindowsHookEx(dragHook);
        dragHook = nullptr;
    }
}

// The text of an element's "value" attribute; false when the element is missing.
bool elementValue(IHTMLDocument3* document, const wchar_t* id, std::wstring& text) {
    ComPtr<IHTMLElement> element;
    if (FAILED(document->getElementById(OleString(id).Get(), element.GetAddressOf())) || !element)
        return false;
    OleVariant value;
    if (FAILED(element->getAttribute(OleString(L"value").Get(), 2, value.Out())))
        return true;  // found, but without a size: the decision treats the empty text as none
    text = value.AsText();
    return true;
}

}  // namespace

std::wstring recommendPageAddress() {
    return L"http://" + makerHost() + L"/Recommend.html";
}

TFormRecommend::TFormRecommend(TComponent* owner) : TFormRecommend(owner, CLSID_WebBrowser) {}

TFormRecommend::TFormRecommend(TComponent* owner, const CLSID& browserClass) : TForm(owner) {
    FormRecommend = this;
    createComponents(browserClass);
}

TFormRecommend::~TFormRecommend() {
    if (draggedForm == this)
        endDrag();
    resizeTimer->SetEnabled(false);
    if (FormRecommend == this)
        FormRecommend = nullptr;
}

void TFormRecommend::createComponents(const CLSID& browserClass) {
    SetBorderStyle(bsNone);
    SetCaption(L"Recommended by Pixhaul");
    SetClientSize(446, 312);

    topPanel = new controls::TPanelEx(this);
    topPanel->SetParent(this);
    titleImage = new controls::Image(this);
    titleImage->SetParent(topPanel);

    webBrowser = new TCppWebBrowser(this, browserClass);
    webBrowser->SetParent(this);
    hiddenWebBrowser = new TCppWebBrowser(this, browserClass);
    hiddenWebBrowser->SetParent(this);

    resizeTimer = new TTimer(this);
    resizeTimer->SetEnabled(false);
    resizeTimer->SetOnTimer([this](TObject* sender) { resizeTimerTimer(sender); });

    applicationEvents = new TApplicationEvents(this);
    applicationEvents->OnMessage = [this](MSG& msg, bool& handled) {
        applicationEventsMessage(msg, handled);
    };

    webBrowser->OnNavigateComplete2 = [this](TObject* sender, IDispatch* browser, const std::wstring& url) {
        webBrowserNavigateComplete2(sender, browser, url);
    };
    webBrowser->OnNewWindow2 = [this](TObject* sender, ComPtr<IDispatch>& newBrowser, bool& cancel) {
        webBrowserNewWindow2(sender, newBrowser, cancel);
    };
    hiddenWebBrowser->OnBeforeNavigate2 = [this](TObject* sender, IDispatch* browser, const std::wstring& url,
                                                 bool& cancel) {
        hiddenWebBrowserBeforeNavigate2(sender, browser, url, cancel);
    };
    topPanel->OnMouseDown = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
        topPanelMouseDown(sender, button, shift, x, y);
    };
    titleImage->OnMouseDown = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
        titleImageMouseDown(sender, button, shift, x, y);
    };
    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    OnResize = [this](TObject* sender) { FormResize(sender); };
    OnClose = [](TObject*, TCloseAction& action) { action = caHide; };
}

void TFormRecommend::FormCreate(TObject*) {
    topPanel->SetBounds(0, 0, ClientWidth(), kRecommendTitleHeight);
    topPanel->SetColor(stripColor);
    titleImage->setTransparent(true);
    titleImage->setImageResourceId(skin::recommendTitle);
    titleImage->SetBounds((topPanel->Width() - titleImage->BitmapWidth()) / 2, titleImageTop,
                          titleImage->BitmapWidth(), titleImage->BitmapHeight());

    hiddenWebBrowser->SetVisible(false);
    webBrowser->SetBounds(kRecommendBorder, kRecommendTitleHeight, 100, 100);

    // The browsers get their windows (and the page starts loading) with nothing shown on screen:
    // the window's handle brings its children's, and a hosted control is activated as soon as it
    // has one. The window is never shown for that, not even for a moment off screen, so nothing
    // takes it for the program's main window while the program starts.
    SetTop(-10000);
    HandleNeeded();

    loadRecommendPage();
}

void TFormRecommend::FormResize(TObject*) {
    topPanel->SetWidth(ClientWidth());
    titleImage->SetLeft((topPanel->Width() - titleImage->Width()) / 2);
}

void TFormRecommend::loadRecommendPage() {
    if (!navigated_)
        webBrowser->Navigate(recommendPageAddress());
}

RECT TFormRecommend::workArea() {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    HMONITOR monitor = MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST);
    if (monitor && GetMonitorInfoW(monitor, &info))
        return info.rcWork;
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

bool TFormRecommend::fitToPage() {
    bool found = false;
    std::wstring widthText;
    std::wstring heightText;
    ComPtr<IDispatch> page = webBrowser->Document();
    ComPtr<IHTMLDocument3> document;
    if (page && SUCCEEDED(page.As(&document)) && document) {
        ComPtr<IHTMLElement> loaded;
        if (SUCCEEDED(document->getElementById(OleString(L"checkLoadedAds").Get(), loaded.GetAddressOf())) &&
            loaded) {
            loaded->click();
            found = elementValue(document.Get(), L"documentWidth", widthText) &&
                    elementValue(document.Get(), L"documentHeight", heightText);
        }
    }
    const RecommendFit fit = decideRecommendFit(found, widthText, heightText,
                                                SIZE{webBrowser->Width(), webBrowser->Height()}, workArea());
    if (!fit.resize)
        return false;
    applyFit(fit);
    return true;
}

void TFormRecommend::applyFit(const RecommendFit& fit) {
    webBrowser->SetBounds(kRecommendBorder, kRecommendTitleHeight, fit.browserWidth, fit.browserHeight);
    SetClientSize(fit.clientWidth, fit.clientHeight);
}

void TFormRecommend::startResizeTimer() {
    resizeTimer->SetInterval(100);
    resizeTimer->SetEnabled(true);
}

void TFormRecommend::stopResizeTimer() {
    resizeTimer->SetEnabled(false);
}

void TFormRecommend::resizeTimerTimer(TObject*) {
    fitToPage();
}

void TFormRecommend::webBrowserNavigateComplete2(TObject*, IDispatch*, const std::wstring&) {
    navigated_ = true;
}

void TFormRecommend::webBrowserNewWindow2(TObject*, ComPtr<IDispatch>& newBrowser, bool& cancel) {
    // Every window the page opens navigates in the hidden browser, which hands the address on.
    newBrowser = hiddenWebBrowser->Application();
    if (!newBrowser)
        cancel = true;
}

void TFormRecommend::hiddenWebBrowserBeforeNavigate2(TObject*, IDispatch*, const std::wstring& url,
                                                     bool& cancel) {
    cancel = true;
    // The page loads off screen from the start: a window it opens before the user has seen it is
    // no click of theirs and opens nothing.
    if (!Visible())
        return;
    if (CompareStringOrdinal(url.c_str(), -1, L"about:blank", -1, TRUE) != CSTR_EQUAL &&
        recommendLinkAction(url) == RecommendLinkAction::OpenAndClose && !openLink(Handle(), url)) {
        MessageBoxW(Handle(), L"Error while opening the default Web browser.", L"Pixhaul",
                    MB_OK | MB_ICONWARNING);
    }
    Close();
}

void TFormRecommend::topPanelMouseDown(TObject*, TMouseButton button, TShiftState, int x, int y) {
    if (button == mbLeft)
        startDrag(topPanel->ClientToScreen(POINT{x, y}));
}

void TFormRecommend::titleImageMouseDown(TObject*, TMouseButton button, TShiftState, int x, int y) {
    if (button == mbLeft)
        startDrag(titleImage->ClientToScreen(POINT{x, y}));
}

void TFormRecommend::startDrag(POINT screenPoint) {
    draggedForm = this;
    lastCursorPos = screenPoint;
    if (!dragHook)
        dragHook = SetWindowsHookExW(WH_MOUSE, &recommendMouseHookProc, GetModuleHandleW(nullptr),
                                     GetCurrentThreadId());
}

LRESULT CALLBACK recommendMouseHookProc(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION && draggedForm) {
        const auto* mouse = reinterpret_cast<const MOUSEHOOKSTRUCT*>(data);
        if (message == WM_MOUSEMOVE) {
            const int dx = mouse->pt.x - lastCursorPos.x;
            const int dy = mouse->pt.y - lastCursorPos.y;
            if (dx != 0)
                draggedForm->SetLeft(draggedForm->Left() + dx);
            if (dy != 0)
                draggedForm->SetTop(draggedForm->Top() + dy);
            lastCursorPos = mouse->pt;
        } else if (message == WM_LBUTTONUP) {
            endDrag();
        }
    }
    return CallNextHookEx(nullptr, code, message, data);
}

void TFormRecommend::VisibleChanged() {
    TForm::VisibleChanged();
    // A hidden window is not being dragged; its hook must not outlive the drag.
    if (!Visible() && draggedForm == this)
        endDrag();
}

void TFormRecommend::applicationEventsMessage(MSG& msg, bool& handled) {
    // The window has no close button: Esc and Alt+F4 close it, wherever in it the focus is (the
    // browser's own windows included).
    if (!Visible() || !HandleAllocated() || (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd)))
        return;
    const bool escape = msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE;
    const bool altF4 = msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F4;
    if (!escape && !altF4)
        return;
    handled = true;
    Close();
}

void TFormRecommend::WndProc(TMessage& message) {
    if (message.Msg == WM_ERASEBKGND) {
        paintBorder(reinterpret_cast<HDC>(message.WParam));
        message.Result = 1;
        return;
    }
    TForm::WndProc(message);
}

void TFormRecommend::paintBorder(HDC dc) {
    const int w = Width();
    const int h = Height();
    const int t = topPanel->Height();
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, ColorToRGB(stripColor)));
    if (!pen)
        return;
    SelectedObject selected(dc, pen.get());
    const POINT outer[4] = {{0, t}, {0, h - 1}, {w - 1, h - 1}, {w - 1, t - 1}};
    const POINT inner[4] = {{1, t}, {1, h - 2}, {w - 2, h - 2}, {w - 2, t - 1}};
    Polyline(dc, outer, 4);
    Polyline(dc, inner, 4);
}
