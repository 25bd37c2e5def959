#pragma once
// The texts a save or print job ends with when it could not do all its work: how many photos were
// not saved and where, the archive that could not be written, the printer that refused, each with
// the system's reason when there is one.
#include <windows.h>

#include <cstdint>
#include <string>

// The system's text for a Win32 error, without its line break; empty when there is none.
std::wstring systemErrorText(DWORD error);

// "1 photo could not be saved to "<folder>"." or "<count> photos ...", then the reason.
std::wstring notSavedMessage(int32_t count, const std::wstring& folder, DWORD error);

// "The zip file "<path>" could not be written.", then the reason.
std::wstring zipNotWrittenMessage(const std::wstring& zipPath, DWORD error);

// "The printer "<name>" cannot be used.", then the reason.
std::wstring printerUnusableMessage(const std::wstring& printer, DWORD error);

// "The photos could not be printed."
std::wstring notPrintedMessage();
