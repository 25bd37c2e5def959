#include "saving/Settings.h"

#include "common/RegistryValues.h"
#include "common/StringKeyCollection.h"
#include "saving/UpdateCheck.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t testRoot[] = L"Software\\PixhaulTests";

// A fresh settings key under HKEY_CURRENT_USER for each test, removed afterwards.
class SettingsTest : public testing::Test {
protected:
    void SetUp() override {
        path = std::wstring(testRoot) + L"\\settings-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(GetTickCount());
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &key, nullptr));
    }

    void TearDown() override {
        RegCloseKey(key);
        RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, testRoot);  // only when no other test key is left
    }

    void writeRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size));
    }

    std::wstring path;
    HKEY key = nullptr;
};

TEST_F(SettingsTest, EverySettingRoundTrips) {
    Settings first = loadSettingsFromKey(HKEY_CURRENT_USER, (path + L"\\missing").c_str());
    EXPECT_FALSE(first.window || first.thumbnailImageWidth || first.lastSavedPhotosFolderPath);
    EXPECT_TRUE(first.showTagsAsThumbnailTooltips && first.anyTagCanMatch && first.usernames.empty());
    EXPECT_EQ(kDarkOverlay, first.slideshowOverlay);

    Settings saved;
    saved.window = SavedWindowRect{-1200, 40, 1100, 700, true};
    saved.usernames = {{L"alice", L"C:\\Saved\\alice"}, {L"bob", L""}};
    saved.thumbnailImageWidth = 222;
    saved.lastSavedPhotosZipFolderPath = L"D:\\Zips \u00E9";
    saved.showThumbnailShadows = false;
    saved.clearSearchWhenChangingUsername = false;
    saved.slideshow = kFastSlideshow;
    saved.slideshowOverlay = 0;
    ASSERT_TRUE(saveSettingsToKey(HKEY_CURRENT_USER, path.c_str(), saved));
    // A history row without a folder is stored as the name and a line feed.
    EXPECT_EQ((std::vector<std::wstring>{L"alice\nC:\\Saved\\alice", L"bob\n"}),
              regReadMultiString(key, L"usernames"));

    const Settings loaded = loadSettingsFromKey(HKEY_CURRENT_USER, path.c_str());
    ASSERT_TRUE(loaded.window);
    EXPECT_EQ(-1200, loaded.window->left);
    EXPECT_EQ(700, loaded.window->height);
    EXPECT_TRUE(loaded.window->maximized);
    ASSERT_EQ(2u, loaded.usernames.size());
    EXPECT_EQ(L"C:\\Saved\\alice", loaded.usernames[0].folder);
    EXPECT_EQ(L"bob", loaded.usernames[1].name);
    EXPECT_EQ(222, loaded.thumbnailImageWidth.value_or(0));
    EXPECT_EQ(L"", loaded.lastSavedPhotosFolderPath.value_or(L"?"));
    EXPECT_EQ(L"D:\\Zips \u00E9", loaded.lastSavedPhotosZipFolderPath.value_or(L""));
    EXPECT_FALSE(loaded.showThumbnailShadows || loaded.clearSearchWhenChangingUsername);
    EXPECT_TRUE(loaded.showFullSizeWhenThumbnailClicking);
    EXPECT_EQ(kFastSlideshow, loaded.slideshow);
    EXPECT_EQ(0, loaded.slideshowOverlay);
}

TEST_F(SettingsTest, ValuesOfAnotherTypeOrSizeCountAsAbsent) {
    writeRaw(L"thumbnailImageWidth", REG_SZ, L"2", 4);  // four bytes, but text
    writeRaw(L"lastSavedPhotosFolderPath", REG_EXPAND_SZ, L"%TEMP%", 14);
    writeRaw(L"usernames", REG_SZ, L"alice", 12);
    const DWORD two = 0;
    writeRaw(L"showThumbnailShadows", REG_BINARY, &two, sizeof two);
    writeRaw(L"slideshow", REG_DWORD, &two, 2);
    for (const wchar_t* name : {L"top", L"width", L"height", L"maximized"}) {
        regWriteDword(key, name, 600);
    }
    const unsigned long long left = 10;
    writeRaw(L"left", REG_DWORD, &left, sizeof left);

    const Settings loaded = readSettings(key);
    EXPECT_FALSE(loaded.thumbnailImageWidth);
    EXPECT_FALSE(loaded.lastSavedPhotosFolderPath);
    EXPECT_TRUE(loaded.usernames.empty());
    EXPECT_TRUE(loaded.showThumbnailShadows);
    EXPECT_EQ(kModerateSlideshow, loaded.slideshow);
    EXPECT_FALSE(loaded.window);

    writeRaw(L"left", REG_QWORD, &left, sizeof left);
    EXPECT_FALSE(readSettings(key).window);
    regWriteDword(key, L"left", 10);
    EXPECT_TRUE(readSettings(key).window);
    RegDeleteValueW(key, L"height");
    EXPECT_FALSE(readSettings(key).window);
}

// The update check's time and the temporary folder follow the same rule, read under this key.
TEST_F(SettingsTest, CheckTimeAndTemporaryFolderOfAnotherTypeCountAsAbsent) {
    HKEY settings = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(key, settingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                             &settings, nullptr));
    const unsigned long long one = 1;
    for (const wchar_t* name : {L"lastCheckUpdateLow", L"lastCheckUpdateHigh"})
        RegSetValueExW(settings, name, 0, REG_QWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    RegSetValueExW(settings, L"customTemporaryFolder", 0, REG_BINARY, reinterpret_cast<const BYTE*>(L"C:\\x"),
                   8);
    RegCloseKey(settings);
    EXPECT_EQ(readLastCheckTime(key), 0u);
    EXPECT_EQ(readCustomTemporaryFolder(key), L"");
}

TEST_F(SettingsTest, NumbersOutsideTheirRangeSelectTheNearestEnd) {
    regWriteDword(key, L"thumbnailImageWidth", 100);
    regWriteDword(key, L"slideshow", static_cast<DWORD>(-5));
    regWriteDword(key, L"slideshowOverlay", 42);
    regWriteDword(key, L"anyTagCanMatch", 7);
    Settings loaded = readSettings(key);
    EXPECT_EQ(150, loaded.thumbnailImageWidth.value_or(0));
    EXPECT_EQ(kSlowSlideshow, loaded.slideshow);
    EXPECT_EQ(kBlackOverlay, loaded.slideshowOverlay);
    EXPECT_TRUE(loaded.anyTagCanMatch);
}

TEST(HistoryEntries, FirstSpellingWinsWithItsFolder) {
    const std::vector<HistoryEntry> entries =
        parseHistoryEntries({L"alice\nC:\\first", L"bob\n", L"  carol  ", L"ALICE\nC:\\second",
                             L"\nC:\\orphan", L"dave\n  D:\\x  "});
    ASSERT_EQ(4u, entries.size());
    EXPECT_EQ(L"alice|C:\\first bob| carol| dave|D:\\x",
              entries[0].name + L"|" + entries[0].folder + L" " + entries[1].name + L"|" + entries[1].folder +
                  L" " + entries[2].name + L"|" + entries[2].folder + L" " + entries[3].name + L"|" +
                  entries[3].folder);
}

TEST(HistoryEntries, FolderFoundRegardlessOfCase) {
    std::wstring anna = L"Anna", annaFolder = L"C:\\anna", bert = L"bert", bertFolder = L"C:\\bert";
    StringKeyCollection folders;
    folders.insert(StringKey(&anna, &annaFolder));
    folders.insert(StringKey(&bert, &bertFolder));
    EXPECT_EQ(L"C:\\anna", findUserFolder(folders, L"anna"));
    EXPECT_EQ(L"C:\\bert", findUserFolder(folders, L"bert"));
    EXPECT_EQ(L"", findUserFolder(folders, L"carl"));
}

}  // namespace
