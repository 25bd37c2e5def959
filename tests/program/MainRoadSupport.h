#pragma once
// Pixhaul.exe on the fixture site, driven through its user-name box as a person does: typing a
// name and Enter, pasting, the start/stop button; read back through the site's log, the work
// folder's thumbnails, the box's text and the program's message boxes.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "program/ProgramTests.h"

namespace mainroad {

// One request of the site's log; end is 0 while its reply was not sent.
struct LoggedRequest {
    double time = 0;
    double end = 0;
    std::string host;  // "service", "images" or "maker"
    std::string method;
    std::string path;
    int status = 0;
};

std::vector<LoggedRequest> parseLog(const std::string& json);

// The requests split into batches by batchOf (0, 1, ...): the size of each batch, or an empty list
// when a request of a batch began before every request of the batches before it had its reply.
std::vector<size_t> batchesOneAfterAnother(const std::vector<LoggedRequest>& requests,
                                           const std::function<size_t(const LoggedRequest&)>& batchOf);

// A file of the work folder's Thumbnails folder.
struct ThumbnailFile {
    std::wstring name;
    FILETIME time{};
    std::string bytes;
};

// The program on the test program's fixture site, whose log and modes start afresh.
class MainRoadSession {
public:
    // Started and shown, with the site's modes set first and in the given temporary folder (else
    // one of its own); false (with a failure added to the test) when not.
    bool start(bool clearSettings = true, const std::string& siteMode = "",
               const std::wstring& temporaryFolder = L"");
    // Started, then alice loaded with her 45 thumbnails stored; false when not (with failures added).
    bool startWithAlice();

    testsupport::FixtureSite& site() { return programtest::site(); }
    testsupport::ProgramUnderTest& program() { return *program_; }

    // Types the text into the user-name box in place of what it shows; Enter when asked.
    void typeUserName(const std::wstring& text, bool enter = true);
    // Puts the text on the clipboard and pastes it into the box with Ctrl+V, then Enter.
    void pasteUserName(const std::wstring& text);
    // Types the text into the search box in place of what it shows, or pastes it, then Enter.
    void typeSearch(const std::wstring& text, bool paste = false);
    HWND searchEdit() const;
    // Clicks the start/stop button beside the box; the pointer stays on the top panel.
    void clickStartStop();
    std::wstring userNameText() const;
    bool userNameEditFocused() const;
    // Gives an edit of the program the focus and replaces what it shows with the text, typed or
    // pasted (Ctrl+V); the pointer is parked afterwards.
    void replaceText(HWND edit, const std::wstring& text, bool paste = false);
    static std::wstring textOf(HWND edit);
    // True when the box shows the name in its typed colour's place: the load ended.
    bool waitForUserNameText(const std::wstring& text, int timeoutMs);

    // A message box's text, answered with its default button; empty when none came in time.
    std::wstring answerMessageBox(int timeoutMs);
    bool messageBoxShown() const;

    // The logged requests whose path starts with the prefix (any host).
    std::vector<LoggedRequest> requests(const std::string& pathPrefix) const;
    size_t countRequests(const std::string& pathPrefix) const { return requests(pathPrefix).size(); }
    bool waitForRequests(const std::string& pathPrefix, size_t count, int timeoutMs) const;

    // The finished files (the control keeps an unfinished one under its name and ".tmp").
    std::vector<ThumbnailFile> thumbnailFiles() const;
    bool waitForThumbnailCount(size_t count, int timeoutMs) const;

    // Waits until the start/stop button's writing matches (shown) or no longer matches (!shown)
    // the one it showed when the program had started: what the program paints reaches the screen
    // in its own time, after the work it starts is already under way.
    bool waitForGoFace(bool shown, int timeoutMs = 5000) const;
    bool pieVisible() const;
    void saveScreenshot(const std::wstring& name) const;

private:
    void pressEnterAndWait(const std::wstring& typed);
    HWND userNamePanel() const;
    RECT startStopRect() const;

    std::unique_ptr<testsupport::ProgramUnderTest> program_;
    HWND edit_ = nullptr;
    std::vector<COLORREF> goFace_;
};

}  // namespace mainroad
