// A check from the menu whose download the control refuses at once: no completion event follows,
// so the check must end there and the next one must run.
#include "FormTestSupport.h"
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace formtest;

namespace {

// Answers the dialogs this thread shows, in turn, with the given buttons, and keeps their texts.
class DialogButtons {
public:
    explicit DialogButtons(std::vector<int> buttons) : buttons_(std::move(buttons)) {
        watcher_ = std::thread([this] { run(); });
    }
    ~DialogButtons() { texts(); }
    // Stops watching; the texts of the dialogs answered.
    std::vector<std::wstring> texts() {
        stop_ = true;
        if (watcher_.joinable())
            watcher_.join();
        return texts_;
    }

private:
    void run() {
        for (size_t answered = 0; answered < buttons_.size() && !stop_;) {
            HWND dialog = nullptr;
            EnumThreadWindows(
                thread_,
                [](HWND window, LPARAM found) -> BOOL {
                    wchar_t name[16] = L"";
                    GetClassNameW(window, name, 16);
                    if (IsWindowVisible(window) && wcscmp(name, L"#32770") == 0)
                        *reinterpret_cast<HWND*>(found) = window;
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&dialog));
            if (!dialog || dialog == last_) {
                Sleep(20);
                continue;
            }
            last_ = dialog;
            wchar_t text[512] = L"";
            GetDlgItemTextW(dialog, 0xFFFF, text, 512);
            texts_.push_back(text);
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttons_[answered++], BN_CLICKED), 0);
        }
    }

    const DWORD thread_ = GetCurrentThreadId();
    std::vector<int> buttons_;
    std::vector<std::wstring> texts_;
    HWND last_ = nullptr;
    std::atomic<bool> stop_{false};
    std::thread watcher_;
};

const std::wstring kServerIssues =
    L"There are some temporary server issues while checking for update. Please try again.";

}  // namespace

TEST(UpdateCheckRefusal, ACheckWhoseDownloadIsRefusedEndsAndTheNextOneRuns) {
    WorkFolderSetting setting;
    TForm1* form = openForm();
    const std::wstring copy = form->versionFilePath;

    // Without a file name the control asks for one; cancelling that refuses the download.
    form->versionFilePath = L"";
    DialogButtons answers({IDCANCEL, IDOK});
    form->checkForUpdatesMenuItemClick(form->checkForUpdatesMenuItem);
    EXPECT_FALSE(form->updateCheckRunning);
    const std::vector<std::wstring> texts = answers.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1], kServerIssues);

    // The next check runs: against the unreachable compiled host it fails in its own time.
    form->versionFilePath = copy;
    DialogButtons failed({IDOK});
    form->checkForUpdatesMenuItemClick(form->checkForUpdatesMenuItem);
    EXPECT_TRUE(form->updateCheckRunning);
    EXPECT_TRUE(pumpUntil([form] { return !form->updateCheckRunning; }, 30000));
    EXPECT_EQ(failed.texts(), std::vector<std::wstring>{kServerIssues});
    delete form;
}
