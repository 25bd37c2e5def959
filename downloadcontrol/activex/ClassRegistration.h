#pragma once
// What a creatable class writes to the registry, and the server (un)registration built on it.
#include "downloadcontrol/activex/SystemHeaders.h"

#include <string>

namespace activex {

struct ClassRegistration {
    const CLSID* classId;
    const wchar_t* description;  // default value of the class key
    const wchar_t* progId;       // versioned ProgID
    const wchar_t* progIdDescription;
    const wchar_t* versionIndependentProgId;  // its CurVer names progId
    const wchar_t* versionIndependentDescription;
    const wchar_t* threadingModel;  // InprocServer32's ThreadingModel
    bool control;                   // "Control" key
    bool insertable;                // "Insertable" under the class and the versioned ProgID
    bool programmable;              // "Programmable" key
    int toolboxBitmapId;            // ToolboxBitmap32 "<module>, id"; 0 writes none
    DWORD miscStatus;               // MiscStatus\1 (content aspect); MiscStatus itself is "0"
    const GUID* typeLibraryId;      // TypeLib value
    const wchar_t* version;         // Version value
};

// Text form of a GUID: {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}.
std::wstring guidText(const GUID& guid);

// Writes the class's keys under HKEY_CLASSES_ROOT for the server file `modulePath`, replacing
// whatever those keys held before.
HRESULT registerClass(const ClassRegistration& registration, const std::wstring& modulePath);
// Removes the keys that registerClass writes.
HRESULT unregisterClass(const ClassRegistration& registration);

// Registers the type library embedded in `modulePath`.
HRESULT registerTypeLibrary(const std::wstring& modulePath);
// Unregisters the type library embedded in `modulePath`; S_OK when it was not registered.
HRESULT unregisterTypeLibrary(const std::wstring& modulePath);

}  // namespace activex
