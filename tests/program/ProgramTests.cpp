#include "ProgramTests.h"

#include <gtest/gtest.h>

#include "support/RealInput.h"

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

}  // namespace programtest
