// The gallery program as a person sees it: started as its own process, its window captured from
// the screen into <build>/artifacts/gallery.png, and checked for the skin's colours and for the
// three faces of its button row.
#include "ControlsTestSupport.h"
#include "support/ScreenCapture.h"
#include "support/TestSupport.h"
#include "tools/gallery/GalleryLayout.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

// A process started for the test and ended with it.
class GalleryProcess {
public:
    explicit GalleryProcess(const std::wstring& path) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring commandLine = L"\"" + path + L"\"";
        started_ = CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &info_) != FALSE;
    }
    ~GalleryProcess() {
        if (!started_)
            return;
        if (window_)
            PostMessageW(window_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(info_.hProcess, 10000) != WAIT_OBJECT_0)
            TerminateProcess(info_.hProcess, 1);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    GalleryProcess(const GalleryProcess&) = delete;
    GalleryProcess& operator=(const GalleryProcess&) = delete;

    bool started() const { return started_; }
    HWND waitForWindow(int timeoutMs) {
        const DWORD start = GetTickCount();
        while (static_cast<int>(GetTickCount() - start) < timeoutMs) {
            HWND found = FindWindowW(nullptr, gallery::kWindowTitle);
            if (found && IsWindowVisible(found)) {
                window_ = found;
                return found;
            }
            if (WaitForSingleObject(info_.hProcess, 50) == WAIT_OBJECT_0)
                return nullptr;
        }
        return nullptr;
    }

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
    HWND window_ = nullptr;
};

}  // namespace

TEST(Gallery, ItsScreenshotShowsTheSkinAndTheThreeButtonFaces) {
    // The pointer away from the gallery, so that no control of it is entered meanwhile.
    testsupport::moveMouseTo({GetSystemMetrics(SM_CXSCREEN) - 4, GetSystemMetrics(SM_CYSCREEN) - 4});
    controlstest::Pump(50);

    GalleryProcess process(testsupport::binaryPath(L"tools/gallery/gallery.exe"));
    ASSERT_TRUE(process.started());
    HWND window = process.waitForWindow(20000);
    ASSERT_NE(window, nullptr) << "the gallery window did not show";
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Painted: nothing of the window waits for WM_PAINT any more, and the screen shows the skin.
    ASSERT_TRUE(controlstest::PumpUntil(
        [&] {
            return !GetUpdateRect(window, nullptr, FALSE) &&
                   testsupport::ScreenCapture::ofWindow(window).distinctColours() > 500;
        },
        10000));

    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    EXPECT_EQ(client.right, gallery::kClientWidth);
    EXPECT_EQ(client.bottom, gallery::kClientHeight);
    RECT windowRect{};
    GetWindowRect(window, &windowRect);
    windowRect.left = std::max<LONG>(windowRect.left, 0);
    windowRect.top = std::max<LONG>(windowRect.top, 0);
    const testsupport::ScreenCapture pixels(windowRect);
    EXPECT_TRUE(pixels.saveArtifact(L"gallery.png"));

    const int dx = origin.x - windowRect.left;
    const int dy = origin.y - windowRect.top;
    // The accent strip and the grid's pattern are there, and much more than a few flat colours.
    EXPECT_TRUE(testsupport::closeTo(pixels.at(dx + 600, dy + 4), RGB(0x00, 0xAE, 0xEF), 8));
    EXPECT_GT(pixels.count(RECT{dx, dy + 600, dx + 1200, dy + 940}, RGB(38, 39, 41), 2), 1000);
    EXPECT_GT(pixels.distinctColours(), 500);

    // The face row: normal, pointer over and pressed look different from each other.
    const int faceTop = dy + 64 + 60 + 86 + 30 + 13;
    const COLORREF normal = pixels.at(dx + 12 + 20, faceTop);
    const COLORREF over = pixels.at(dx + 116 + 20, faceTop);
    const COLORREF pressed = pixels.at(dx + 220 + 20, faceTop);
    EXPECT_NE(normal, over);
    EXPECT_NE(over, pressed);
    EXPECT_NE(normal, pressed);
}
