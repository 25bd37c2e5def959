#include "ProgramTests.h"

#include <gtest/gtest.h>

#include "support/RealInput.h"
#include "support/ScreenCapture.h"

namespace programtest {
namespace {

std::unique_ptr<testsupport::FixtureSite>& siteHolder() {
    static std::unique_ptr<testsupport::FixtureSite> holder;
    return holder;
}

class ProgramEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        siteHolder() = std::make_unique<testsupport::FixtureSite>();
        ASSERT_TRUE(siteHolder()->running()) << siteHolder()->failure();
        ASSERT_TRUE(testsupport::registerPxhl()) << "regsvr32 could not register Pxhl.dll";
    }
    void TearDown() override { siteHolder().reset(); }
};

[[maybe_unused]] const ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new ProgramEnvironment);

}  // namespace

testsupport::FixtureSite& site() {
    return *siteHolder();
}

testsupport::ProgramOptions siteOptions() {
    testsupport::ProgramOptions options;
    options.serviceHost = site().serviceHost();
    options.makerHost = site().makerHost();
    return options;
}

std::unique_ptr<testsupport::ProgramUnderTest> launch(testsupport::ProgramOptions options) {
    parkPointer();
    auto program = std::make_unique<testsupport::ProgramUnderTest>(std::move(options));
    if (!program->start()) {
        ADD_FAILURE() << program->failure();
        return nullptr;
    }
    if (!program->waitForMainWindow()) {
        ADD_FAILURE() << "the main window did not show (exit code " << program->exitCode() << ")";
        return nullptr;
    }
    return program;
}

POINT windowPoint(HWND window, int x, int y) {
    RECT r{};
    GetWindowRect(window, &r);
    return POINT{r.left + x, r.top + y};
}

std::ostream& operator<<(std::ostream& out, const Bounds& bounds) {
    return out << "(" << bounds.left << ", " << bounds.top << ", " << bounds.width << ", " << bounds.height
               << ")";
}

Bounds boundsOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return Bounds{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool waitForBounds(HWND window, const Bounds& expected, int timeoutMs) {
    return testsupport::waitUntil([&] { return boundsOf(window) == expected; }, timeoutMs);
}

void parkPointer() {
    testsupport::moveMouseTo({GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1});
}

std::wstring answerBox(const testsupport::ProgramUnderTest& program, int button, const wchar_t* screenshot) {
    HWND box = program.waitForMessageBox(20000);
    if (!box)
        return L"";
    wchar_t caption[64] = L"";
    GetWindowTextW(box, caption, 64);
    EXPECT_STREQ(caption, L"Pixhaul");
    const std::wstring text = testsupport::ProgramUnderTest::messageBoxText(box);
    if (screenshot) {
        // Once its text and buttons are painted: many dark pixels.
        const auto painted = [box] {
            const testsupport::ScreenCapture shot = testsupport::ScreenCapture::ofWindow(box);
            return shot.count(RECT{0, 30, shot.width(), shot.height()}, RGB(0, 0, 0), 60) > 400;
        };
        testsupport::waitUntil(painted, 5000);
        testsupport::ScreenCapture::ofWindow(box).saveArtifact(screenshot);
    }
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    EXPECT_TRUE(testsupport::waitUntil([&] { return !IsWindow(box); }, 5000));
    return text;
}

HWND waitForWindowTitled(const testsupport::ProgramUnderTest& program, const std::wstring& title,
                         int timeoutMs) {
    HWND found = nullptr;
    testsupport::waitUntil(
        [&] {
            for (const auto& [window, className] : testsupport::visibleWindowsOf(program.processId())) {
                wchar_t text[128] = L"";
                GetWindowTextW(window, text, 128);
                if (title == text)
                    found = window;
            }
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

namespace {
BOOL CALLBACK matchText(HWND child, LPARAM parameter) {
    auto* search = reinterpret_cast<std::pair<const std::wstring*, HWND>*>(parameter);
    wchar_t text[256] = L"";
    GetWindowTextW(child, text, 256);
    if (*search->first == text) {
        search->second = child;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND childWithText(HWND parent, const std::wstring& text) {
    std::pair<const std::wstring*, HWND> search{&text, nullptr};
    EnumChildWindows(parent, matchText, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

void click(POINT screen) {
    testsupport::leftClick(screen);
    testsupport::mouseWheel(0);
}

void clickCentre(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    click({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

}  // namespace programtest
