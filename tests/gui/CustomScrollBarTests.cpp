// The custom-drawn scroll bar on a real window under Wine: the drawing notifications its parent
// receives, what the parent draws reaching the screen, and the scroll codes that real mouse input
// (SendInput) makes it send to its window.
#include "GuiTestSupport.h"
#include "gui/CustomScrollBar.h"
#include "gui/Form.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace gui;
using guitest::PumpUntil;
using testsupport::mouseButton;
using testsupport::moveMouseTo;

namespace {

constexpr int kBarId = 11001;

struct DrawRecord {
    HWND From = nullptr;
    UINT_PTR Id = 0;
    DWORD Stage = 0;
    RECT Rect{};
    UINT Item = 0;
    UINT State = 0;
    UINT Bar = 0;
    bool HasDC = false;
};

struct ScrollRecord {
    int Code = 0;
    int HighWord = 0;
    LPARAM LParam = 0;
    int TrackPosition = 0;  // the bar's SIF_TRACKPOS when the message arrived
};

// What the test windows saw; their procedures are plain functions.
struct Journal {
    std::vector<DrawRecord> draws;
    std::vector<ScrollRecord> scrolls;
    bool followScrolls = false;  // the bar's window moves the bar as a scrolled window would
    void clear() {
        draws.clear();
        scrolls.clear();
    }
};
Journal journal;
WNDPROC barDefaultProcedure = nullptr;

// The parent draws each item in a colour of its own, a darker one when pressed or hot.
COLORREF itemColor(UINT item, UINT state) {
    if (state & sbsDisabled)
        return RGB(90, 90, 90);
    const int shade = (state & sbsPressed) ? 100 : (state & sbsHot) ? 160 : 220;
    switch (item) {
    case 0:
        return RGB(shade, 0, 0);
    case 1:
        return RGB(0, shade, 0);
    case 2:
        return RGB(0, 0, shade);
    case 3:
        return RGB(shade, shade, 0);
    default:
        return RGB(shade, 0, shade);
    }
}

LRESULT CALLBACK parentProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == kScrollBarCustomDraw) {
            const auto* draw = reinterpret_cast<const ScrollBarCustomDraw*>(lParam);
            journal.draws.push_back({header->hwndFrom, header->idFrom, draw->DrawStage, draw->Rect,
                                     draw->Item, draw->State, draw->Bar, draw->DC != nullptr});
            if (draw->DrawStage == CDDS_ITEMPREPAINT) {
                HBRUSH brush = CreateSolidBrush(itemColor(draw->Item, draw->State));
                FillRect(draw->DC, &draw->Rect, brush);
                DeleteObject(brush);
                return 0;
            }
            return CDRF_SKIPDEFAULT;
        }
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

// The program subclasses its bar windows before attaching the bar; so does this test.
LRESULT CALLBACK barProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_VSCROLL) {
        CustomScrollBar* bar = CustomScrollBar::FromWindow(window);
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_ALL;
        if (bar)
            bar->GetScrollInfo(info);
        const int code = LOWORD(wParam);
        journal.scrolls.push_back({code, HIWORD(wParam), lParam, info.nTrackPos});
        if (bar && journal.followScrolls) {
            int position = info.nPos;
            switch (code) {
            case SB_LINEUP:
                position -= 1;
                break;
            case SB_LINEDOWN:
                position += 1;
                break;
            case SB_PAGEUP:
                position -= static_cast<int>(info.nPage);
                break;
            case SB_PAGEDOWN:
                position += static_cast<int>(info.nPage);
                break;
            case SB_THUMBTRACK:
                position = info.nTrackPos;
                break;
            default:
                break;
            }
            bar->SetScrollPos(position, true);
        }
        return 0;
    }
    return CallWindowProcW(barDefaultProcedure, window, msg, wParam, lParam);
}

void registerClasses() {
    static bool registered = false;
    if (registered)
        return;
    const std::pair<const wchar_t*, WNDPROC> classes[] = {{L"ScrollBarTestParent", parentProcedure},
                                                          {L"ScrollBarTestBar", DefWindowProcW}};
    for (const auto& [name, procedure] : classes) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = name;
        RegisterClassW(&windowClass);
    }
    registered = true;
}

std::vector<std::pair<DWORD, UINT>> stagesAndItems() {
    std::vector<std::pair<DWORD, UINT>> result;
    for (const DrawRecord& r : journal.draws)
        result.emplace_back(r.Stage, r.Item);
    return result;
}

const DrawRecord* lastItem(UINT item) {
    for (auto it = journal.draws.rbegin(); it != journal.draws.rend(); ++it) {
        if (it->Stage == CDDS_ITEMPREPAINT && it->Item == item)
            return &*it;
    }
    return nullptr;
}

bool sameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

std::vector<int> scrollCodes() {
    std::vector<int> codes;
    for (const ScrollRecord& r : journal.scrolls)
        codes.push_back(r.Code);
    return codes;
}

class CustomScrollBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerClasses();
        journal.clear();
        journal.followScrolls = false;
        moveMouseTo({5, 5});
        parent = CreateWindowExW(WS_EX_TOPMOST, L"ScrollBarTestParent", L"", WS_POPUP | WS_VISIBLE, 300, 200,
                                 200, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        barWidth = GetSystemMetrics(SM_CXVSCROLL);
        window = CreateWindowExW(0, L"ScrollBarTestBar", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 50, 20,
                                 barWidth, 200, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBarId)),
                                 GetModuleHandleW(nullptr), nullptr);
        barDefaultProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(barProcedure)));
        bar = CustomScrollBar::Attach(window);
        ASSERT_NE(bar, nullptr);
        setInfo(0, 99, 10, 0);
        guitest::Pump(50);
        journal.clear();
    }
    void TearDown() override {
        mouseButton(true, false);
        moveMouseTo({5, 5});
        guitest::Pump(30);
        bar.reset();
        if (IsWindow(parent))
            DestroyWindow(parent);
    }
    void setInfo(int minimum, int maximum, int page, int position, bool redraw = true) {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMin = minimum;
        info.nMax = maximum;
        info.nPage = static_cast<UINT>(page);
        info.nPos = position;
        bar->SetScrollInfo(info, redraw);
    }
    // Screen point of a point in the bar window's coordinates.
    POINT screen(POINT p) const {
        RECT r{};
        GetWindowRect(window, &r);
        return POINT{r.left + p.x, r.top + p.y};
    }
    POINT centre(ScrollBarPart part) const {
        const RECT r = bar->Layout().PartRect(part);
        return screen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
    COLORREF pixel(POINT barPoint) const {
        HDC dc = GetWindowDC(window);
        const COLORREF color = GetPixel(dc, barPoint.x, barPoint.y);
        ReleaseDC(window, dc);
        return color;
    }
    COLORREF pixelOf(ScrollBarPart part) const {
        const RECT r = bar->Layout().PartRect(part);
        return pixel(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
    bool waitForScrolls(size_t count, int timeoutMs = 3000) {
        return PumpUntil([&] { return journal.scrolls.size() >= count; }, timeoutMs);
    }
    void click(POINT at) {
        moveMouseTo(at);
        guitest::Pump(20);
        mouseButton(true, true);
        PumpUntil([] { return !journal.scrolls.empty(); }, 1000);
        mouseButton(true, false);
        PumpUntil([] { return !journal.scrolls.empty() && journal.scrolls.back().Code == SB_ENDSCROLL; },
                  1000);
    }

    HWND parent = nullptr;
    HWND window = nullptr;
    int barWidth = 16;
    std::unique_ptr<CustomScrollBar> bar;
};

}  // namespace

TEST_F(CustomScrollBarTest, AttachingTakesOverTheWindowsVerticalBar) {
    EXPECT_EQ(CustomScrollBar::FromWindow(window), bar.get());
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & WS_VSCROLL, 0);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 0) << "the bar takes the whole width of a bar-wide window";
    EXPECT_TRUE(sameRect(bar->Layout().Bar, RECT{0, 0, barWidth, 200}));
    EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0,
                           MAKELPARAM(centre(ScrollBarPart::Thumb).x, centre(ScrollBarPart::Thumb).y)),
              HTVSCROLL);
    EXPECT_EQ(CustomScrollBar::Attach(window), nullptr) << "a second bar on the same window";

    HWND plain = CreateWindowExW(0, L"ScrollBarTestBar", L"", WS_CHILD, 0, 0, 10, 10, parent, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(CustomScrollBar::Attach(plain), nullptr) << "a window without WS_VSCROLL";
    DestroyWindow(plain);

    bar.reset();
    EXPECT_EQ(CustomScrollBar::FromWindow(window), nullptr);
    EXPECT_NE(GetWindowLongPtrW(window, GWL_STYLE) & WS_VSCROLL, 0) << "detaching gives the system bar back";
}

TEST_F(CustomScrollBarTest, WideWindowKeepsItsClientAreaLeftOfTheBar) {
    bar.reset();
    HWND wide = CreateWindowExW(0, L"ScrollBarTestBar", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER,
                                80, 20, 100, 150, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    auto wideBar = CustomScrollBar::Attach(wide);
    ASSERT_NE(wideBar, nullptr);
    RECT client{};
    GetClientRect(wide, &client);
    EXPECT_EQ(client.right, 100 - 2 - barWidth);
    const RECT laidOut = wideBar->Layout().Bar;
    EXPECT_TRUE(sameRect(laidOut, RECT{1 + client.right, 1, 1 + client.right + barWidth, 149}));
    // The window goes first: the bar is left without a window and does nothing.
    DestroyWindow(wide);
    EXPECT_EQ(wideBar->Window(), nullptr);
    wideBar->SetScrollPos(3, true);
    wideBar->Redraw();
}

TEST_F(CustomScrollBarTest, ParentDrawsEveryStageAndItemInOrder) {
    setInfo(0, 99, 10, 45);
    const ScrollBarLayout layout = bar->Layout();
    const std::vector<std::pair<DWORD, UINT>> expected{{CDDS_PREPAINT, kNoScrollBarItem},
                                                       {CDDS_ITEMPREPAINT, 0},
                                                       {CDDS_ITEMPREPAINT, 1},
                                                       {CDDS_ITEMPREPAINT, 2},
                                                       {CDDS_ITEMPREPAINT, 3},
                                                       {CDDS_ITEMPREPAINT, 5},
                                                       {CDDS_POSTPAINT, kNoScrollBarItem}};
    ASSERT_EQ(stagesAndItems(), expected);
    for (const DrawRecord& r : journal.draws) {
        EXPECT_EQ(r.From, window);
        EXPECT_EQ(r.Id, static_cast<UINT_PTR>(kBarId));
        EXPECT_EQ(r.Bar, static_cast<UINT>(SB_VERT));
        EXPECT_EQ(r.State, 0u);
        EXPECT_TRUE(r.HasDC);
        const RECT part =
            r.Stage == CDDS_ITEMPREPAINT ? layout.PartRect(static_cast<ScrollBarPart>(r.Item)) : layout.Bar;
        EXPECT_TRUE(sameRect(r.Rect, part)) << "item " << r.Item;
    }
    // What the parent drew is on the screen.
    EXPECT_EQ(pixelOf(ScrollBarPart::UpArrow), itemColor(0, 0));
    EXPECT_EQ(pixelOf(ScrollBarPart::DownArrow), itemColor(1, 0));
    EXPECT_EQ(pixelOf(ScrollBarPart::TrackAbove), itemColor(2, 0));
    EXPECT_EQ(pixelOf(ScrollBarPart::TrackBelow), itemColor(3, 0));
    EXPECT_EQ(pixelOf(ScrollBarPart::Thumb), itemColor(5, 0));

    // Without a redraw nothing is sent; the system's frame painting draws the bar too.
    journal.clear();
    setInfo(0, 99, 10, 50, false);
    EXPECT_TRUE(journal.draws.empty());
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(stagesAndItems(), expected);
    // At the top the track above the thumb is empty and is not drawn.
    journal.clear();
    bar->SetScrollPos(0, true);
    EXPECT_EQ(stagesAndItems(), (std::vector<std::pair<DWORD, UINT>>{{CDDS_PREPAINT, kNoScrollBarItem},
                                                                     {CDDS_ITEMPREPAINT, 0},
                                                                     {CDDS_ITEMPREPAINT, 1},
                                                                     {CDDS_ITEMPREPAINT, 3},
                                                                     {CDDS_ITEMPREPAINT, 5},
                                                                     {CDDS_POSTPAINT, kNoScrollBarItem}}));
}

TEST_F(CustomScrollBarTest, FormParentsSeeTheNotificationsInTheirWindowProcedure) {
    class RecordingForm : public TForm {
    public:
        using TForm::TForm;
        void WndProc(TMessage& message) override {
            if (message.Msg == WM_NOTIFY &&
                reinterpret_cast<const NMHDR*>(message.LParam)->code == kScrollBarCustomDraw)
                items.push_back(reinterpret_cast<const ScrollBarCustomDraw*>(message.LParam)->Item);
            TForm::WndProc(message);
        }
        std::vector<UINT> items;
    };
    RecordingForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(100, 100, 100, 240);
    form.Show();
    HWND child = CreateWindowExW(0, L"ScrollBarTestBar", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 10, 10,
                                 barWidth, 200, form.Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    auto formBar = CustomScrollBar::Attach(child);
    ASSERT_NE(formBar, nullptr);
    form.items.clear();
    formBar->SetScrollPos(5, true);
    EXPECT_EQ(form.items, (std::vector<UINT>{kNoScrollBarItem, 0, 1, 2, 3, 5, kNoScrollBarItem}));
    formBar.reset();
    DestroyWindow(child);
}

TEST_F(CustomScrollBarTest, DisabledBarDrawsEveryPartDisabledAndIgnoresTheMouse) {
    setInfo(0, 99, 10, 45);
    EXPECT_TRUE(bar->EnableArrows(ESB_DISABLE_BOTH));
    EXPECT_FALSE(bar->EnableArrows(ESB_DISABLE_BOTH));
    for (UINT item : {0u, 1u, 2u, 3u, 5u}) {
        const DrawRecord* r = lastItem(item);
        ASSERT_NE(r, nullptr) << item;
        EXPECT_EQ(r->State, static_cast<UINT>(sbsDisabled)) << item;
    }
    EXPECT_EQ(pixelOf(ScrollBarPart::Thumb), itemColor(5, sbsDisabled));
    moveMouseTo(centre(ScrollBarPart::DownArrow));
    guitest::Pump(20);
    mouseButton(true, true);
    guitest::Pump(100);
    mouseButton(true, false);
    guitest::Pump(50);
    EXPECT_TRUE(journal.scrolls.empty());

    // One arrow only.
    journal.clear();
    EXPECT_TRUE(bar->EnableArrows(ESB_DISABLE_UP));
    EXPECT_EQ(lastItem(0)->State, static_cast<UINT>(sbsDisabled));
    EXPECT_EQ(lastItem(1)->State, 0u);
    EXPECT_EQ(lastItem(5)->State, 0u);

    // A disabled window disables its bar.
    bar->EnableArrows(ESB_ENABLE_BOTH);
    journal.clear();
    EnableWindow(window, FALSE);
    ASSERT_NE(lastItem(5), nullptr);
    EXPECT_EQ(lastItem(5)->State, static_cast<UINT>(sbsDisabled));
    EnableWindow(window, TRUE);
    EXPECT_EQ(lastItem(5)->State, 0u);
}

TEST_F(CustomScrollBarTest, NothingToScrollDrawsAWholeDisabledTrack) {
    setInfo(0, 9, 10, 0);
    const std::vector<std::pair<DWORD, UINT>> expected{{CDDS_PREPAINT, kNoScrollBarItem},
                                                       {CDDS_ITEMPREPAINT, 0},
                                                       {CDDS_ITEMPREPAINT, 1},
                                                       {CDDS_ITEMPREPAINT, 2},
                                                       {CDDS_POSTPAINT, kNoScrollBarItem}};
    EXPECT_EQ(stagesAndItems(), expected);
    EXPECT_TRUE(sameRect(lastItem(2)->Rect, bar->Layout().Track));
    EXPECT_EQ(lastItem(2)->State, static_cast<UINT>(sbsDisabled));
}

TEST_F(CustomScrollBarTest, ArrowsSendLineCodesAndRepeatWhileHeld) {
    setInfo(0, 99, 10, 45);
    click(centre(ScrollBarPart::UpArrow));
    EXPECT_EQ(scrollCodes(), (std::vector<int>{SB_LINEUP, SB_ENDSCROLL}));
    EXPECT_EQ(journal.scrolls[0].LParam, 0) << "sent as the window's own bar";

    journal.clear();
    click(centre(ScrollBarPart::DownArrow));
    EXPECT_EQ(scrollCodes(), (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL}));

    // Held down, the arrow repeats and shows pressed; the window follows each line.
    journal.clear();
    journal.followScrolls = true;
    moveMouseTo(centre(ScrollBarPart::DownArrow));
    guitest::Pump(20);
    mouseButton(true, true);
    EXPECT_TRUE(waitForScrolls(4));
    EXPECT_EQ(bar->PartState(ScrollBarPart::DownArrow), static_cast<unsigned>(sbsPressed));
    EXPECT_EQ(pixelOf(ScrollBarPart::DownArrow), itemColor(1, sbsPressed));
    mouseButton(true, false);
    PumpUntil([] { return journal.scrolls.back().Code == SB_ENDSCROLL; });
    const std::vector<int> codes = scrollCodes();
    ASSERT_GE(codes.size(), 5u);
    for (size_t i = 0; i + 1 < codes.size(); ++i)
        EXPECT_EQ(codes[i], SB_LINEDOWN) << i;
    EXPECT_EQ(codes.back(), SB_ENDSCROLL);
    EXPECT_EQ(bar->GetScrollPos(), 45 + static_cast<int>(codes.size()) - 1);
    EXPECT_EQ(bar->PartState(ScrollBarPart::DownArrow), static_cast<unsigned>(sbsNormal));
}

TEST_F(CustomScrollBarTest, TrackSendsPageCodes) {
    setInfo(0, 99, 10, 45);
    const ScrollBarLayout layout = bar->Layout();
    click(screen(POINT{barWidth / 2, layout.Track.top + 2}));
    EXPECT_EQ(scrollCodes(), (std::vector<int>{SB_PAGEUP, SB_ENDSCROLL}));
    journal.clear();
    click(screen(POINT{barWidth / 2, layout.Track.bottom - 2}));
    EXPECT_EQ(scrollCodes(), (std::vector<int>{SB_PAGEDOWN, SB_ENDSCROLL}));
}

TEST_F(CustomScrollBarTest, ThumbDragSendsTrackCodesThenThePositionAndTheEnd) {
    journal.followScrolls = true;
    setInfo(0, 999, 100, 0);
    const ScrollBarLayout start = bar->Layout();
    const POINT grab = centre(ScrollBarPart::Thumb);
    moveMouseTo(grab);
    guitest::Pump(20);
    mouseButton(true, true);
    PumpUntil([&] { return bar->PartState(ScrollBarPart::Thumb) == sbsPressed; });
    EXPECT_EQ(lastItem(5)->State, static_cast<UINT>(sbsPressed));
    for (int dy = 10; dy <= 60; dy += 10) {
        moveMouseTo(POINT{grab.x, grab.y + dy});
        const size_t seen = journal.scrolls.size();
        PumpUntil([&] { return journal.scrolls.size() > seen; }, 1000);
    }
    // Sideways off the bar the drag goes on.
    moveMouseTo(POINT{grab.x + 80, grab.y + 60});
    guitest::Pump(50);
    EXPECT_EQ(bar->Layout().Thumb.top, start.Thumb.top + 60) << "the thumb follows the pointer";
    mouseButton(true, false);
    PumpUntil([] { return !journal.scrolls.empty() && journal.scrolls.back().Code == SB_ENDSCROLL; });

    const std::vector<int> codes = scrollCodes();
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(codes[codes.size() - 2], SB_THUMBPOSITION);
    EXPECT_EQ(codes.back(), SB_ENDSCROLL);
    int previous = 0;
    for (size_t i = 0; i + 2 < codes.size(); ++i) {
        const ScrollRecord& r = journal.scrolls[i];
        EXPECT_EQ(r.Code, SB_THUMBTRACK) << i;
        EXPECT_GT(r.TrackPosition, previous) << "positions grow as the thumb goes down";
        EXPECT_EQ(r.HighWord, r.TrackPosition) << "the message carries the track position";
        previous = r.TrackPosition;
    }
    // 60 pixels of the thumb's travel stand for 60 / travel of the 900 positions.
    const int expected = static_cast<int>(60.0 * 900 / start.ThumbTravel() + 0.5);
    const ScrollRecord& last = journal.scrolls[codes.size() - 2];
    EXPECT_EQ(last.HighWord, expected);
    EXPECT_EQ(last.TrackPosition, expected);
    EXPECT_EQ(bar->GetScrollPos(), expected);
    EXPECT_EQ(bar->PartState(ScrollBarPart::Thumb), static_cast<unsigned>(sbsNormal));
}

TEST_F(CustomScrollBarTest, HotPartsFollowThePointerWithHotTracking) {
    setInfo(0, 99, 10, 45);
    bar->SetHotTracking(true);
    moveMouseTo(centre(ScrollBarPart::Thumb));
    ASSERT_TRUE(PumpUntil([] { return lastItem(5) && lastItem(5)->State == sbsHot; }));
    EXPECT_EQ(pixelOf(ScrollBarPart::Thumb), itemColor(5, sbsHot));
    EXPECT_EQ(lastItem(0)->State, 0u);

    moveMouseTo(centre(ScrollBarPart::UpArrow));
    ASSERT_TRUE(PumpUntil([] { return lastItem(0)->State == sbsHot; }));
    EXPECT_EQ(lastItem(5)->State, 0u);
    EXPECT_EQ(pixelOf(ScrollBarPart::UpArrow), itemColor(0, sbsHot));

    // Leaving the bar clears the hot part.
    moveMouseTo(screen(POINT{barWidth + 40, 100}));
    ASSERT_TRUE(PumpUntil([] { return lastItem(0)->State == 0; }));
    EXPECT_EQ(pixelOf(ScrollBarPart::UpArrow), itemColor(0, 0));

    // Without hot tracking nothing lights up.
    bar->SetHotTracking(false);
    journal.clear();
    moveMouseTo(centre(ScrollBarPart::Thumb));
    guitest::Pump(100);
    for (const DrawRecord& r : journal.draws)
        EXPECT_EQ(r.State, 0u);
}
