// What regsvr32 writes for Pxhl.dll and what it removes again.
#include <gtest/gtest.h>

#include <algorithm>

#include "activex/PxhlTestSupport.h"
#include "downloadcontrol/activex/ClassRegistration.h"

using namespace pxhltest;

namespace {

const wchar_t kClassKey[] = L"CLSID\\{BC892890-5956-4F53-B181-720CBB353417}";
const wchar_t kLibraryKey[] = L"TypeLib\\{C64F0DC8-1AF3-4609-B789-76DE93AF5B70}";
const wchar_t kInterfaceKey[] = L"Interface\\{AC5990A8-ADDD-40A0-BF9D-AD36B454FEEF}";
const wchar_t kEventsKey[] = L"Interface\\{F6B0D2ED-02FC-435D-8787-6C43DE37ED24}";

bool keyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

// Every key below `path` as "key <relative path>" and every value as "value <relative path>|<name>=<text>",
// sorted, so that two trees compare as lists.
void dumpTree(HKEY key, const std::wstring& relative, std::vector<std::wstring>& lines) {
    lines.push_back(L"key " + relative);
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        BYTE data[2048];
        DWORD dataLength = sizeof(data);
        DWORD type = 0;
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &dataLength) !=
            ERROR_SUCCESS) {
            break;
        }
        std::wstring text = type == REG_SZ ? std::wstring(reinterpret_cast<wchar_t*>(data))
                                           : L"<type " + std::to_wstring(type) + L">";
        lines.push_back(L"value " + relative + L"|" + name + L"=" + text);
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        HKEY child = nullptr;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, &child) == ERROR_SUCCESS) {
            dumpTree(child, relative.empty() ? name : relative + L"\\" + name, lines);
            RegCloseKey(child);
        }
    }
}

std::vector<std::wstring> tree(const std::wstring& path) {
    std::vector<std::wstring> lines;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        dumpTree(key, L"", lines);
        RegCloseKey(key);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::vector<std::wstring> sorted(std::vector<std::wstring> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::wstring defaultValue(const std::wstring& path) {
    wchar_t text[1024] = {};
    LONG size = sizeof(text);
    if (RegQueryValueW(HKEY_CLASSES_ROOT, path.c_str(), text, &size) != ERROR_SUCCESS) {
        return L"<missing>";
    }
    return text;
}

DWORD regsvr32(const std::wstring& options) {
    return runProgram(L"regsvr32.exe " + options + L" \"" + pxhlDllPath() + L"\"");
}

}  // namespace

TEST(Registration, Regsvr32WritesExactlyTheClassKeysAndTheTypeLibraryAndUnregisterRemovesThem) {
    OleApartment ole;
    const std::wstring dll = pxhlDllPath();
    ASSERT_EQ(regsvr32(L"/s /u"), 0u);
    ASSERT_EQ(regsvr32(L"/s"), 0u);

    EXPECT_EQ(tree(kClassKey), sorted({
                                   L"key ",
                                   L"value |=Pxhl Class",
                                   L"key ProgID",
                                   L"value ProgID|=Pxhl.Pxhl.1.0",
                                   L"key VersionIndependentProgID",
                                   L"value VersionIndependentProgID|=Pxhl.Pxhl",
                                   L"key Programmable",
                                   L"key InprocServer32",
                                   L"value InprocServer32|=" + dll,
                                   L"value InprocServer32|ThreadingModel=Apartment",
                                   L"key Control",
                                   L"key Insertable",
                                   L"key ToolboxBitmap32",
                                   L"value ToolboxBitmap32|=" + dll + L", 101",
                                   L"key MiscStatus",
                                   L"value MiscStatus|=0",
                                   L"key MiscStatus\\1",
                                   L"value MiscStatus\\1|=131473",
                                   L"key TypeLib",
                                   L"value TypeLib|={C64F0DC8-1AF3-4609-B789-76DE93AF5B70}",
                                   L"key Version",
                                   L"value Version|=1.0",
                               }));
    EXPECT_EQ(tree(L"Pxhl.Pxhl.1.0"), sorted({
                                          L"key ",
                                          L"value |=Pxhl 1.0 Class",
                                          L"key CLSID",
                                          L"value CLSID|={BC892890-5956-4F53-B181-720CBB353417}",
                                          L"key Insertable",
                                      }));
    EXPECT_EQ(tree(L"Pxhl.Pxhl"), sorted({
                                      L"key ",
                                      L"value |=Pxhl Class",
                                      L"key CLSID",
                                      L"value CLSID|={BC892890-5956-4F53-B181-720CBB353417}",
                                      L"key CurVer",
                                      L"value CurVer|=Pxhl.Pxhl.1.0",
                                  }));

    // The type library, so that late-bound and marshalling clients find the interfaces.
    EXPECT_EQ(defaultValue(std::wstring(kLibraryKey) + L"\\1.0\\0\\win64"), dll);
    EXPECT_EQ(defaultValue(std::wstring(kInterfaceKey) + L"\\TypeLib"),
              L"{C64F0DC8-1AF3-4609-B789-76DE93AF5B70}");
    EXPECT_EQ(defaultValue(std::wstring(kInterfaceKey)), L"IDownloadX");

    // Both ProgIDs lead to the class, and COM creates it from them.
    for (const wchar_t* progId : {L"Pxhl.Pxhl", L"Pxhl.Pxhl.1.0"}) {
        CLSID found = {};
        EXPECT_EQ(CLSIDFromProgID(progId, &found), S_OK) << progId;
        EXPECT_TRUE(IsEqualCLSID(found, CLSID_Pxhl)) << progId;
        ComPtr<IDownloadX> control;
        EXPECT_EQ(CoCreateInstance(found, nullptr, CLSCTX_INPROC_SERVER, IID_IDownloadX, control.putVoid()),
                  S_OK);
        EXPECT_TRUE(control);
    }

    ASSERT_EQ(regsvr32(L"/s /u"), 0u);
    EXPECT_FALSE(keyExists(kClassKey));
    EXPECT_FALSE(keyExists(L"Pxhl.Pxhl"));
    EXPECT_FALSE(keyExists(L"Pxhl.Pxhl.1.0"));
    EXPECT_FALSE(keyExists(kLibraryKey));
    EXPECT_FALSE(keyExists(kInterfaceKey));
    EXPECT_FALSE(keyExists(kEventsKey));
    CLSID found = {};
    EXPECT_NE(CLSIDFromProgID(L"Pxhl.Pxhl", &found), S_OK);

    // Unregistering twice is harmless; leave the prefix registered for the other tests.
    EXPECT_EQ(regsvr32(L"/s /u"), 0u);
    EXPECT_EQ(regsvr32(L"/s"), 0u);
}

TEST(Registration, RegisteringAgainReplacesStaleValuesUnderTheClassKey) {
    OleApartment ole;
    registerPxhl();
    // A value left by some older registration disappears: the keys hold exactly what is written.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, (std::wstring(kClassKey) + L"\\Stale").c_str(), 0, nullptr,
                              0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    registerPxhl();
    EXPECT_FALSE(keyExists(std::wstring(kClassKey) + L"\\Stale"));
    EXPECT_TRUE(keyExists(std::wstring(kClassKey) + L"\\InprocServer32"));
}
