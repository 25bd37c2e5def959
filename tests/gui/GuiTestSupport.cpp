#include "GuiTestSupport.h"
#include "support/ApplicationPump.h"
#include "gui/Exception.h"
#include <gtest/gtest.h>

namespace guitest {

namespace {

class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        application_ = new gui::TApplication();
        application_->Initialize();
        application_->SetTitle(L"gui tests");
        application_->OnException = [](gui::TObject*, std::exception_ptr error) {
            CaughtExceptions().push_back(gui::ExceptionMessage(error));
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

std::vector<std::wstring>& CaughtExceptions() {
    static std::vector<std::wstring> caught;
    return caught;
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    return testsupport::pumpApplicationUntil(done, timeoutMs);
}

void Pump(int milliseconds) {
    testsupport::pumpApplicationFor(milliseconds);
}

RecordingGraphic::RecordingGraphic(gui::TComponent* owner, const std::string& name_, COLORREF color_)
    : gui::TGraphicControl(owner), name(name_), color(color_) {}

RecordingGraphic::~RecordingGraphic() {
    log("destroyed");
}

void RecordingGraphic::log(const std::string& event) {
    if (journal)
        journal->push_back(name + ":" + event);
}

void RecordingGraphic::Dispatch(gui::TMessage& message) {
    if (message.Msg == gui::CM_MOUSEENTER)
        log("enter");
    else if (message.Msg == gui::CM_MOUSELEAVE)
        log("leave");
    gui::TGraphicControl::Dispatch(message);
}

void RecordingGraphic::Paint() {
    ++paints;
    lastClip = Canvas()->ClipRect();
    HBRUSH brush = CreateSolidBrush(color);
    RECT r = fillBeyondBounds ? RECT{-500, -500, 2000, 2000} : RECT{0, 0, Width(), Height()};
    FillRect(Canvas()->Handle(), &r, brush);
    DeleteObject(brush);
}

void RecordingGraphic::MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
    log("down " + std::to_string(x) + "," + std::to_string(y));
    gui::TGraphicControl::MouseDown(button, shift, x, y);
}

void RecordingGraphic::MouseMove(gui::TShiftState shift, int x, int y) {
    log("move " + std::to_string(x) + "," + std::to_string(y));
    gui::TGraphicControl::MouseMove(shift, x, y);
}

void RecordingGraphic::MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
    log("up " + std::to_string(x) + "," + std::to_string(y));
    gui::TGraphicControl::MouseUp(button, shift, x, y);
}

void RecordingGraphic::Click() {
    log("click");
    gui::TGraphicControl::Click();
}

}  // namespace guitest
