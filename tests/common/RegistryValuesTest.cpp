#include "common/RegistryValues.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t testRoot[] = L"Software\\PixhaulTests";

// A fresh key under HKEY_CURRENT_USER for each test, removed with its values afterwards.
class RegistryValuesTest : public testing::Test {
protected:
    void SetUp() override {
        path_ = std::wstring(testRoot) + L"\\values-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount());
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &key, nullptr));
    }

    void TearDown() override {
        if (key != nullptr) {
            RegCloseKey(key);
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, testRoot);  // only when no other test key is left
        HKEY gone = nullptr;
        EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, &gone));
    }

    void writeRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size));
    }

    DWORD storedType(const wchar_t* name, DWORD& size) {
        DWORD type = 0;
        size = 0;
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, name, nullptr, &type, nullptr, &size));
        return type;
    }

    HKEY key = nullptr;

private:
    std::wstring path_;
};

TEST(ProgramTexts, VersionAndSettingsKey) {
    EXPECT_STREQ(L"2.1", applicationVersion);
    EXPECT_STREQ(L"Software\\Orvell Soft\\Pixhaul", settingsKeyPath);
}

TEST_F(RegistryValuesTest, StringsRoundTripWithTheirNul) {
    const std::wstring folder = L"C:\\Users\\anna\\Pictures \u00E9";
    regWriteString(key, L"folder", folder);
    EXPECT_EQ(folder, regReadString(key, L"folder"));
    DWORD size = 0;
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), storedType(L"folder", size));
    EXPECT_EQ((folder.size() + 1) * 2, size);

    regWriteString(key, L"empty", L"");
    EXPECT_TRUE(regValueExists(key, L"empty"));
    EXPECT_EQ(L"", regReadString(key, L"empty"));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), storedType(L"empty", size));
    EXPECT_EQ(2u, size);

    EXPECT_FALSE(regValueExists(key, L"missing"));
    EXPECT_EQ(L"", regReadString(key, L"missing"));
}

TEST_F(RegistryValuesTest, ForeignStringsKeepEveryCharacter) {
    writeRaw(L"noNul", REG_SZ, L"abc", 6);
    EXPECT_EQ(L"abc", regReadString(key, L"noNul"));
    writeRaw(L"twoTexts", REG_MULTI_SZ, L"ab\0cd\0", 14);
    EXPECT_EQ(L"ab", regReadString(key, L"twoTexts"));
}

TEST_F(RegistryValuesTest, MultiStringsRoundTrip) {
    regWriteMultiString(key, L"list", {L"a", L"b"});
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b"}), regReadMultiString(key, L"list"));
    DWORD size = 0;
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), storedType(L"list", size));
    EXPECT_EQ(5u * 2u, size);

    EXPECT_TRUE(regReadMultiString(key, L"missing").empty());

    regWriteMultiString(key, L"none", {});
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), storedType(L"none", size));
    EXPECT_EQ(2u, size);
    EXPECT_TRUE(regReadMultiString(key, L"none").empty());

    const std::vector<std::wstring> withEmpty = {L"anna\nC:\\saved", L"", L"bert\n"};
    regWriteMultiString(key, L"history", withEmpty);
    EXPECT_EQ(withEmpty, regReadMultiString(key, L"history"));

    regWriteMultiString(key, L"lastEmpty", {L"a", L""});
    EXPECT_EQ((std::vector<std::wstring>{L"a", L""}), regReadMultiString(key, L"lastEmpty"));
}

TEST_F(RegistryValuesTest, ForeignMultiStringsWithoutTerminators) {
    writeRaw(L"noFinalNul", REG_MULTI_SZ, L"a\0b", 6);
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b"}), regReadMultiString(key, L"noFinalNul"));
    writeRaw(L"noListNul", REG_MULTI_SZ, L"a\0b", 8);
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b"}), regReadMultiString(key, L"noListNul"));
    writeRaw(L"zeroBytes", REG_MULTI_SZ, L"", 0);
    EXPECT_TRUE(regReadMultiString(key, L"zeroBytes").empty());
}

TEST_F(RegistryValuesTest, FlagsAndNumbers) {
    EXPECT_EQ(-1, regReadDword(key, L"missing"));
    EXPECT_FALSE(regReadBool(key, L"missing"));

    regWriteDword(key, L"two", 2);
    EXPECT_TRUE(regReadBool(key, L"two"));
    EXPECT_EQ(2, regReadDword(key, L"two"));

    regWriteBool(key, L"on", true);
    regWriteBool(key, L"off", false);
    EXPECT_TRUE(regReadBool(key, L"on"));
    EXPECT_FALSE(regReadBool(key, L"off"));
    EXPECT_TRUE(regValueExists(key, L"off"));
    EXPECT_EQ(1, regReadDword(key, L"on"));
    EXPECT_EQ(0, regReadDword(key, L"off"));
    DWORD size = 0;
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), storedType(L"on", size));
    EXPECT_EQ(4u, size);

    // Window positions on a monitor left of the primary one are negative.
    regWriteDword(key, L"left", static_cast<DWORD>(-300));
    EXPECT_EQ(-300, regReadDword(key, L"left"));
    regWriteDword(key, L"high", 0xFFFFFFFEu);
    EXPECT_EQ(0xFFFFFFFEu, static_cast<DWORD>(regReadDword(key, L"high")));
}

TEST_F(RegistryValuesTest, ValuesLargerThanFourBytesAreUnreadable) {
    const unsigned long long big = 5;
    writeRaw(L"qword", REG_QWORD, &big, sizeof big);
    EXPECT_EQ(-1, regReadDword(key, L"qword"));
    EXPECT_FALSE(regReadBool(key, L"qword"));
    EXPECT_TRUE(regValueExists(key, L"qword"));
}

}  // namespace
