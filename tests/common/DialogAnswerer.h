#pragma once
// Answers a modal common dialog from a second thread while the test's own thread is inside the
// dialog's execute call: it waits for the dialog window (class "#32770") that the test thread
// shows, hands it to the answer function, and waits for the dialog to close. Observations are
// written to the test's variables by the answer and checked after execute returns.
//
// The dialog is to be owned by owner(), a hidden window of the test thread: a modal dialog tells
// its owner each time its message queue runs empty, which is how the answer knows that the dialog
// has handled everything it was sent and posted before it looks at it.
#include <windows.h>

#include <functional>
#include <string>
#include <thread>

class DialogAnswerer {
public:
    using Answer = std::function<void(HWND dialog)>;

    // Starts watching for a dialog of the calling thread.
    explicit DialogAnswerer(Answer answer);

    // The owner to give the dialog.
    HWND owner() const { return owner_; }
    // Stops watching (when no dialog came) and waits for the answering thread.
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    // Call after execute returned: whether a dialog was seen and answered, and whether the answer
    // failed to close it (it was then cancelled so that the test does not hang).
    void finish();
    bool sawDialog() const { return sawDialog_; }
    bool answerLeftDialogOpen() const { return leftOpen_; }

private:
    void run();

    DWORD testThread_;
    Answer answer_;
    HANDLE stop_;
    HANDLE idle_;
    HWND owner_;
    bool sawDialog_ = false;
    bool leftOpen_ = false;
    std::thread thread_;
};

// Helpers for answers; all of them may be called from the answering thread.
RECT windowRect(HWND window);
// Presses a push button of the dialog as a click would (the notification is posted).
void pressDialogButton(HWND dialog, int id);
// Moves and sizes the dialog as the user would, and waits until its thread has handled it.
void moveDialog(HWND dialog, int x, int y, int width, int height);
// Waits until the dialog has handled every message sent and posted to it before.
void syncWithDialog(HWND dialog);
std::wstring windowText(HWND window);
