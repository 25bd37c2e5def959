#pragma once
// Typed reads and writes of single values under a registry key the caller has opened, and the two
// program-wide texts that name the program's version and its settings key. A read of a missing or
// unreadable value gives a neutral result (empty text, empty list, false, -1) that tells the caller
// to keep its default.
#include <windows.h>

#include <string>
#include <vector>

// The program's version, as compared by the update check and shown in the About window.
extern const wchar_t applicationVersion[];

// The settings key under HKEY_CURRENT_USER.
extern const wchar_t settingsKeyPath[];

// True when the value exists, whatever its type.
bool regValueExists(HKEY key, const wchar_t* name);
// True when the value exists with this type and, when size is not 0, exactly this many bytes. The
// settings are read only so: a value of another type or size counts as missing.
bool regValueStoredAs(HKEY key, const wchar_t* name, DWORD type, DWORD size);

// The stored text up to its first NUL; empty when missing or unreadable.
std::wstring regReadString(HKEY key, const wchar_t* name);

// The stored list of texts (empty entries inside the list are kept); empty when missing.
std::vector<std::wstring> regReadMultiString(HKEY key, const wchar_t* name);

// A stored value of at most four bytes: != 0 for the flag, the number itself for the dword. false
// and -1 when missing, larger than four bytes, or unreadable. A stored -1 cannot be told from a
// missing value.
bool regReadBool(HKEY key, const wchar_t* name);
int regReadDword(HKEY key, const wchar_t* name);

// Writes as REG_SZ (with its NUL), REG_MULTI_SZ, and REG_DWORD (a flag as 0 or 1). Failures are not
// reported: the callers have nothing better to do than go on.
void regWriteString(HKEY key, const wchar_t* name, const std::wstring& text);
void regWriteMultiString(HKEY key, const wchar_t* name, const std::vector<std::wstring>& texts);
void regWriteBool(HKEY key, const wchar_t* name, bool value);
void regWriteDword(HKEY key, const wchar_t* name, DWORD value);

// The customTemporaryFolder setting under root's settings key; empty when the key or the value is
// missing or the value is not text.
extern const wchar_t customTemporaryFolderValue[];
std::wstring readCustomTemporaryFolder(HKEY root = HKEY_CURRENT_USER);
