// The update check as the running program makes it against the maker's site of the fixture: at
// start from a seeded time of the last check, and from the info menu.
#include <gtest/gtest.h>

#include <optional>

#include "common/RegistryValues.h"
#include "program/InfoMenu.h"
#include "program/MainRoadSupport.h"
#include "program/ProgramTests.h"
#include "support/OpenedLinks.h"
#include "support/ScreenCapture.h"
#include "support/TestSupport.h"

namespace {

using testsupport::ProgramUnderTest;

constexpr uint64_t kOneDay = 86400ULL * 10000000ULL;

const std::wstring kUpgradeQuestion =
    L"New version of Pixhaul is available!\r\n\r\nDo you want to upgrade now?\r\n\r\n"
    L"IMPORTANT: After you click \"Yes\" button you MUST close Pixhaul before you run Pixhaul installer.";
const std::wstring kUpToDate = L"Pixhaul is up to date.";
const std::wstring kServerIssues =
    L"There are some temporary server issues while checking for update. Please try again.";

uint64_t utcNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return (uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// The settings key emptied, with the last check's time when given.
void seedLastCheck(std::optional<uint64_t> time) {
    RegDeleteTreeW(HKEY_CURRENT_USER, settingsKeyPath);
    if (!time)
        return;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, settingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    regWriteDword(key, L"lastCheckUpdateLow", static_cast<int>(*time & 0xFFFFFFFF));
    regWriteDword(key, L"lastCheckUpdateHigh", static_cast<int>(*time >> 32));
    RegCloseKey(key);
}

// The stored time of the last check; 0 when none is stored.
uint64_t storedLastCheck() {
    DWORD halves[2] = {};
    const wchar_t* names[2] = {L"lastCheckUpdateLow", L"lastCheckUpdateHigh"};
    for (int i = 0; i < 2; ++i) {
        DWORD size = sizeof(DWORD);
        if (RegGetValueW(HKEY_CURRENT_USER, settingsKeyPath, names[i], RRF_RT_REG_DWORD, nullptr, &halves[i],
                         &size) != ERROR_SUCCESS)
            return 0;
    }
    return (uint64_t(halves[1]) << 32) | halves[0];
}

// A check that shows nothing has ended once its time is stored, or, when it stores none, once the
// copy is on disk and the program has taken the completion; then no box may follow.
void expectSilentEnd(const ProgramUnderTest& program, uint64_t seeded, bool stores) {
    if (stores) {
        EXPECT_TRUE(testsupport::waitUntil([&] { return storedLastCheck() != seeded; }, 20000));
    } else {
        const std::wstring copy = program.workFolder() + L"CurrentVersion.txt";
        EXPECT_TRUE(testsupport::waitUntil(
            [&] { return GetFileAttributesW(copy.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000));
        EXPECT_TRUE(program.waitForInputIdle());
    }
    EXPECT_EQ(program.waitForMessageBox(1000), nullptr);
}

struct StartCase {
    const char* name;
    std::optional<int64_t> lastCheckDays;  // seeded time from now, in days; none: never checked
    std::string siteMode;                  // /__mode query; "" keeps the version file at "2.1"
    std::wstring makerHost;                // "" the fixture's; "-" unset (the compiled .invalid host)
    int versionRequests;
    std::wstring box;  // "" shows none
    int answer;
    bool stores;  // the check's time is stored
};

TEST(UpdateCheck, AtStartTheStoredTimeDecidesAndTheFileDecidesWhatIsShown) {
    testsupport::FixtureSite& site = programtest::site();
    testsupport::OpenedLinks links;
    const std::wstring installer = L"http://" + site.makerHost() + L"/downloads/Pixhaul.exe";
    const StartCase cases[] = {
        {"never checked", std::nullopt, "", L"", 1, L"", 0, true},
        {"a day ago", -1, "version=2.2", L"", 0, L"", 0, false},
        {"three days ahead", 3, "version=%202.1%20", L"", 1, L"", 0, true},
        {"more lines", std::nullopt, "version=2.1%0D%0Amore", L"", 1, L"", 0, true},
        {"UTF-16", std::nullopt, "version_file=utf16", L"", 1, L"", 0, true},
        {"8 MiB", std::nullopt, "version_file=huge", L"", 1, L"", 0, false},
        // The control takes an empty reply for a failed download.
        {"empty", std::nullopt, "version_file=empty", L"", 1, kServerIssues, IDOK, false},
        {"2.2, Yes", std::nullopt, "version=2.2", L"", 1, kUpgradeQuestion, IDYES, true},
        {"2.10, No", std::nullopt, "version=2.10", L"", 1, kUpgradeQuestion, IDNO, true},
        {"HTML page", std::nullopt, "version_file=html", L"", 1, kUpgradeQuestion, IDNO, true},
        {"404", std::nullopt, "version_file=missing", L"", 1, kServerIssues, IDOK, false},
        {"closed port", std::nullopt, "", L"127.0.0.1:1", 0, kServerIssues, IDOK, false},
        // The compiled host never resolves: only a check the user asks for is made.
        {"compiled host", std::nullopt, "", L"-", 0, L"", 0, false},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(site.reset());
        if (!c.siteMode.empty())
            ASSERT_TRUE(site.setMode(c.siteMode));
        const uint64_t before = utcNow();
        const uint64_t seeded =
            c.lastCheckDays ? before + static_cast<uint64_t>(*c.lastCheckDays * static_cast<int64_t>(kOneDay))
                            : 0;
        seedLastCheck(c.lastCheckDays ? std::optional<uint64_t>(seeded) : std::nullopt);
        testsupport::ProgramOptions options = programtest::siteOptions();
        options.clearSettings = false;
        if (!c.makerHost.empty())
            options.makerHost = c.makerHost == L"-" ? L"" : c.makerHost;
        auto program = programtest::launch(options);
        ASSERT_TRUE(program);
        links.clear();

        if (!c.box.empty()) {
            EXPECT_EQ(programtest::answerBox(*program, c.answer,
                                             c.answer == IDYES ? L"upgrade-question.png" : nullptr),
                      c.box);
            if (c.answer == IDYES)
                EXPECT_EQ(links.waitForLog(), std::string(installer.begin(), installer.end()) + "\n");
            EXPECT_TRUE(program->waitForInputIdle());
            EXPECT_EQ(program->waitForMessageBox(1000), nullptr);
        } else if (c.versionRequests > 0) {
            expectSilentEnd(*program, seeded, c.stores);
        } else if (c.makerHost == L"-") {
            EXPECT_EQ(program->waitForMessageBox(15000), nullptr);
        } else {
            // Nothing is due: no request follows the start.
            EXPECT_FALSE(testsupport::waitUntil(
                [&] { return site.countRequests("GET /CurrentVersion.txt") > 0; }, 1500));
        }
        if (c.answer != IDYES)
            EXPECT_EQ(links.log(), "");

        if (c.makerHost.empty()) {
            EXPECT_EQ(site.countRequests("GET /CurrentVersion.txt"), c.versionRequests);
        } else {
            // A failed connection is told again for a check the user asks for.
            ASSERT_TRUE(
                programtest::chooseInfoMenuItem(*program, false, programtest::InfoItem::CheckForUpdates));
            EXPECT_EQ(programtest::answerBox(*program, IDOK), kServerIssues);
        }
        const uint64_t stored = storedLastCheck();
        if (c.stores) {
            EXPECT_GE(stored, before);
            EXPECT_LE(stored, utcNow());
        } else {
            EXPECT_EQ(stored, seeded);
        }
        program->requestClose();
        EXPECT_TRUE(program->waitForExit());
        EXPECT_EQ(site.countRequests("GET /downloads/"), 0);

        if (std::string(c.name) == "never checked") {
            // The time just stored makes the next start check nothing.
            auto again = programtest::launch(options);
            ASSERT_TRUE(again);
            EXPECT_FALSE(testsupport::waitUntil(
                [&] { return site.countRequests("GET /CurrentVersion.txt") > 1; }, 1500));
            again->requestClose();
            EXPECT_TRUE(again->waitForExit());
        }
    }
    site.reset();
}

// Checks asked for from the menu, one after another in one run, each with the site's answer.
TEST(UpdateCheck, EveryCheckFromTheMenuRunsAndTellsItsOutcome) {
    testsupport::FixtureSite& site = programtest::site();
    ASSERT_TRUE(site.reset());
    seedLastCheck(utcNow());
    testsupport::ProgramOptions options = programtest::siteOptions();
    options.clearSettings = false;
    auto program = programtest::launch(options);
    ASSERT_TRUE(program);
    const struct {
        std::string siteMode;
        std::wstring box;
        int answer;
    } checks[] = {
        {"", kUpToDate, IDOK},
        {"version=%202.1%20", kUpToDate, IDOK},
        {"version=2.1%0D%0Amore", kUpToDate, IDOK},
        {"version_file=utf16", kUpToDate, IDOK},
        {"version_file=missing", kServerIssues, IDOK},
        {"", kUpToDate, IDOK},
        {"version=2.10", kUpgradeQuestion, IDNO},
    };
    int asked = 0;
    for (const auto& check : checks) {
        SCOPED_TRACE(check.siteMode);
        ASSERT_TRUE(site.setMode("version=2.1&version_file=text"));
        if (!check.siteMode.empty())
            ASSERT_TRUE(site.setMode(check.siteMode));
        ASSERT_TRUE(programtest::chooseInfoMenuItem(*program, false, programtest::InfoItem::CheckForUpdates));
        EXPECT_EQ(programtest::answerBox(*program, check.answer), check.box);
        EXPECT_EQ(site.countRequests("GET /CurrentVersion.txt"), ++asked);
    }
    program->requestClose();
    EXPECT_TRUE(program->waitForExit());
    EXPECT_EQ(site.countRequests("GET /downloads/"), 0);
    site.reset();
}

// The start's check held back by the site: a check asked for meanwhile adds nothing, and a user's
// photos load as usual.
TEST(UpdateCheck, ACheckAskedForWhileTheStartsCheckIsHeldAddsNothing) {
    mainroad::MainRoadSession session;
    ASSERT_TRUE(session.start(true, "version_delay_ms=4000"));
    ASSERT_TRUE(session.waitForRequests("/CurrentVersion.txt", 1, 5000));
    ASSERT_TRUE(
        programtest::chooseInfoMenuItem(session.program(), false, programtest::InfoItem::CheckForUpdates));
    session.typeUserName(L"alice");
    EXPECT_TRUE(session.waitForThumbnailCount(45, 30000));
    EXPECT_TRUE(testsupport::waitUntil([] { return storedLastCheck() != 0; }, 20000));
    EXPECT_EQ(session.program().waitForMessageBox(1000), nullptr);
    const std::vector<mainroad::LoggedRequest> version = session.requests("/CurrentVersion.txt");
    const std::vector<mainroad::LoggedRequest> profile = session.requests("/alice");
    ASSERT_EQ(version.size(), 1u);
    ASSERT_FALSE(profile.empty());
    // The profile was answered while the version file was still held back.
    EXPECT_LT(profile.front().end, version.front().end);
    session.program().requestClose();
    EXPECT_TRUE(session.program().waitForExit());
}

}  // namespace
