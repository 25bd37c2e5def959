#pragma once
// TApplication: the program's message loop and its services: forms (the first one created is the
// main form), message filters (TApplicationEvents::OnMessage, also inside modal loops), dialog
// keys, mouse-enter and mouse-leave notifications, hints, activation and exception display.
#include "gui/Component.h"
#include "gui/Events.h"
#include "gui/HoverTracker.h"
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace gui {

class TControl;
class TForm;
class THintWindow;

class TApplication : public TComponent {
public:
    // One per program; it becomes the global Application.
    TApplication();
    ~TApplication() override;

    void Initialize();
    // Makes a form owned by the application. The first form made is the main form; closing
    // the main form ends the program.
    template <class FormClass>
    void CreateForm(FormClass*& reference) {
        FormClass* form = new FormClass(this);
        reference = form;
        formCreated(form);
    }
    // Shows the main form and runs the message loop until Terminate.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Handles one message, or, with none waiting, does the idle work and waits for one.
    void HandleMessage();
    // Handles every message that is waiting.
    void ProcessMessages();

    TForm* MainForm() const { return mainForm_; }
    // A hidden window of the application (owner of message boxes without a form).
    HWND Handle() const { return window_; }
    const std::wstring& Title() const { return title_; }
    void SetTitle(const std::wstring& title);

    // The program is the foreground application.
    bool Active() const { return active_; }
    void Minimize();
    void Restore();

    // ---- hints
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool showHint);
    int HintPause() const { return hintPause_; }
    void SetHintPause(int milliseconds) { hintPause_ = milliseconds; }
    int HintShortPause() const { return hintShortPause_; }
    void SetHintShortPause(int milliseconds) { hintShortPause_ = milliseconds; }
    int HintHidePause() const { return hintHidePause_; }
    void SetHintHidePause(int milliseconds) { hintHidePause_ = milliseconds; }
    // Hides a shown hint and forgets its control (the next move onto a control starts anew).
    void CancelHint();
    // Shows the hint of the control under the pointer now (the hint pause has passed).
    void ActivateHint();
    THintWindow* HintWindow() const { return hintWindow_.get(); }

    // ---- the control under the pointer
    // The control that last received CM_MOUSEENTER and no CM_MOUSELEAVE since.
    TControl* MouseControl() const { return hover_.Current(); }
    // Looks at the pointer again and sends CM_MOUSELEAVE / CM_MOUSEENTER when the control under
    // it changed (called after mouse messages and when the queue is idle).
    void UpdateMouseControl();
    // The topmost visible control of ours at a screen point (windowless ones included), or null.
    static TControl* FindControlAtPoint(POINT screenPoint);

    // ---- errors
    // Every exception that reaches a window procedure or the loop ends here: OnException when
    // set, else ShowException.
    void HandleException(TObject* sender, std::exception_ptr error);
    void ShowException(std::exception_ptr error);
    std::function<void(TObject* sender, std::exception_ptr error)> OnException;

    // ---- used by the library's controls and forms
    void ControlDestroying(TControl* control);
    void FormDestroying(TForm* form);
    void ReleaseForm(TForm* form);
    void ActivateApp(bool active);
    void Restored();

private:
    void formCreated(TForm* form);
    bool processMessage(MSG& msg);
    void idle();
    bool isDialogKey(const MSG& msg);
    void beforeDispatch(const MSG& msg);
    void afterDispatch(const MSG& msg);
    void trackLeave(HWND window);
    void startHintTimer(UINT_PTR id, int milliseconds);
    void stopHintTimers();
    void hideHint();
    void hintMouseMove(TControl* underPointer);
    void releasePendingForms();
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    TForm* mainForm_ = nullptr;
    std::wstring title_;
    bool terminated_ = false;
    bool active_ = false;
    HoverTracker hover_;
    bool updatingMouse_ = false;
    HWND trackedWindow_ = nullptr;
    std::vector<TForm*> pendingRelease_;

    bool showHint_ = true;
    int hintPause_ = 500;
    int hintShortPause_ = 50;
    int hintHidePause_ = 2500;
    TControl* hintControl_ = nullptr;
    bool hintActive_ = false;
    std::unique_ptr<THintWindow> hintWindow_;
};

extern TApplication* Application;

}  // namespace gui
