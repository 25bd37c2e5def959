#include "ControlsTestSupport.h"
#include "support/ApplicationPump.h"

#include <gtest/gtest.h>

namespace controlstest {

namespace {

class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        application_ = new gui::TApplication();
        application_->Initialize();
        application_->SetTitle(L"controls tests");
        application_->OnException = [](gui::TObject*, std::exception_ptr) {
            ADD_FAILURE() << "an exception reached the application object";
        };
    }
    void TearDown() override {
        delete application_;
        application_ = nullptr;
    }

private:
    gui::TApplication* application_ = nullptr;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

}  // namespace

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    return testsupport::pumpApplicationUntil(done, timeoutMs);
}

void Pump(int milliseconds) {
    testsupport::pumpApplicationFor(milliseconds);
}

PaintedPixels::PaintedPixels(int width, int height, COLORREF background) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<uint32_t*>(bits);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
    HBRUSH brush = CreateSolidBrush(background);
    RECT all{0, 0, width, height};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
}

PaintedPixels::~PaintedPixels() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
}

COLORREF PaintedPixels::at(int x, int y) const {
    GdiFlush();
    const uint32_t pixel =
        bits_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

int PaintedPixels::count(const RECT& r, COLORREF color, int tolerance) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += closeTo(at(x, y), color, tolerance) ? 1 : 0;
    return n;
}

void paintChildren(gui::TWinControl* parent, PaintedPixels& target) {
    const int saved = SaveDC(target.dc());
    parent->PaintControls(target.dc());
    RestoreDC(target.dc(), saved);
}

void paintControl(gui::TControl* control, PaintedPixels& target) {
    const int saved = SaveDC(target.dc());
    IntersectClipRect(target.dc(), 0, 0, control->Width(), control->Height());
    control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(target.dc()), 0);
    RestoreDC(target.dc(), saved);
}

}  // namespace controlstest
