#pragma once
// Shared helpers of the class library's tests: the application object, message pumping and
// real input through SendInput (support/RealInput).
#include "gui/Application.h"
#include "gui/GraphicControl.h"
#include "support/RealInput.h"
#include <functional>
#include <string>
#include <vector>

namespace guitest {

// Handles waiting messages until the predicate holds or the time is up; returns the predicate.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 2000);
// Handles waiting messages for a while.
void Pump(int milliseconds);

// Exceptions that reached the application object during the tests.
std::vector<std::wstring>& CaughtExceptions();

// A windowless control that fills itself with a colour and records what it receives.
class RecordingGraphic : public gui::TGraphicControl {
public:
    RecordingGraphic(gui::TComponent* owner, const std::string& name, COLORREF color);
    ~RecordingGraphic() override;

    void Dispatch(gui::TMessage& message) override;

    std::string name;
    COLORREF color;
    bool fillBeyondBounds = false;                // paint a rectangle much larger than the control
    std::vector<std::string>* journal = nullptr;  // shared log "name:event"
    int paints = 0;
    RECT lastClip{};

protected:
    void Paint() override;
    void MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
    void MouseMove(gui::TShiftState shift, int x, int y) override;
    void MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
    void Click() override;

private:
    void log(const std::string& event);
};

}  // namespace guitest
