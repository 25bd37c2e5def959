// Settings of the main window written at close and read at the next start, on Pixhaul.exe with
// seeded registry values.
#include <gtest/gtest.h>

#include "common/RegistryValues.h"
#include "program/MainRoadSupport.h"
#include "support/TestSupport.h"

namespace {

// The settings key emptied and open for seeding.
class SettingsKey {
public:
    SettingsKey() {
        RegDeleteTreeW(HKEY_CURRENT_USER, settingsKeyPath);
        RegCreateKeyExW(HKEY_CURRENT_USER, settingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr);
    }
    ~SettingsKey() { RegCloseKey(key); }
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

    void setWindow(DWORD left, DWORD top, DWORD width, DWORD height) {
        regWriteDword(key, L"left", left);
        regWriteDword(key, L"top", top);
        regWriteDword(key, L"width", width);
        regWriteDword(key, L"height", height);
        regWriteDword(key, L"maximized", 0);
    }

    HKEY key = nullptr;
};

// A value as the program stored it: a 4-byte REG_DWORD, else -1.
long long storedDword(const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, settingsKeyPath, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return -1;
    return value;
}

std::vector<std::wstring> storedStrings(const wchar_t* name) {
    HKEY key = nullptr;
    std::vector<std::wstring> strings;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, settingsKeyPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        strings = regReadMultiString(key, name);
        RegCloseKey(key);
    }
    return strings;
}

// Starts the program on the key as it is, closes it and waits for its end.
void startAndClose(mainroad::MainRoadSession& session, RECT* windowRect = nullptr) {
    ASSERT_TRUE(session.start(false));
    if (windowRect)
        *windowRect = session.program().windowRect();
    session.program().requestClose();
    ASSERT_TRUE(session.program().waitForExit());
}

TEST(MainRoadSettings, HistoryWidthAndPlaceOutliveARestart) {
    const std::vector<std::wstring> names{L"alice", L"bob",   L"carol", L"dave", L"erin",    L"frank",
                                          L"grace", L"heidi", L"ivan",  L"judy", L"mallory", L"oscar"};
    std::vector<std::wstring> seeded;
    for (const std::wstring& name : names)
        seeded.push_back(name == L"alice" ? L"alice\nC:\\Saved\\Alice" : name + L"\n");
    {
        // A width of the wrong type and a left edge of the wrong size count as absent.
        SettingsKey seed;
        regWriteMultiString(seed.key, L"usernames", seeded);
        regWriteString(seed.key, L"thumbnailImageWidth", L"200");
        seed.setWindow(10, 10, 1100, 760);
        const unsigned long long left = 10;
        RegSetValueExW(seed.key, L"left", 0, REG_QWORD, reinterpret_cast<const BYTE*>(&left), sizeof(left));
    }
    RECT shown{};
    {
        mainroad::MainRoadSession session;
        startAndClose(session, &shown);
    }
    EXPECT_NE(shown.left, 10);
    EXPECT_EQ(storedStrings(L"usernames"), seeded);
    // The slider's design width, whatever it is, and not the text.
    const long long designWidth = storedDword(L"thumbnailImageWidth");
    EXPECT_TRUE(designWidth >= 150 && designWidth <= 306 && designWidth != 200) << designWidth;
    EXPECT_EQ(storedDword(L"left"), shown.left);
    EXPECT_EQ(storedDword(L"width"), shown.right - shown.left);

    {
        // A place on the screen and a width are taken.
        SettingsKey seed;
        regWriteMultiString(seed.key, L"usernames", seeded);
        regWriteDword(seed.key, L"thumbnailImageWidth", 250);
        seed.setWindow(40, 30, 1100, 760);
    }
    {
        mainroad::MainRoadSession session;
        startAndClose(session, &shown);
    }
    EXPECT_EQ(shown.left, 40);
    EXPECT_EQ(shown.top, 30);
    EXPECT_EQ(shown.right - shown.left, 1100);
    EXPECT_EQ(shown.bottom - shown.top, 760);
    EXPECT_EQ(storedDword(L"left"), 40);
    EXPECT_EQ(storedDword(L"top"), 30);
    EXPECT_EQ(storedDword(L"thumbnailImageWidth"), 250);
    EXPECT_EQ(storedStrings(L"usernames"), seeded);
}

}  // namespace
