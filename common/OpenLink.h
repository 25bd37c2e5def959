#pragma once
// Opening an address outside the program: a web page in the user's browser, a "mailto:" address in
// the mail program. The callers tell the user themselves when it fails, each in its own words.
#include <windows.h>

#include <string>

// Hands the address to the program the system associates with it (verb "open", shown normally).
// True when the system took it on.
bool openLink(HWND owner, const std::wstring& address);

// What the user is told when a web page could not be opened: the address to go to by hand.
std::wstring webPageOpenFailedText(const std::wstring& address);

// True for an address that is safe to hand on from a page the program does not control: an
// "http://", "https://" or "mailto:" address (any letter case). Anything else (files, shares,
// scripts, other schemes) could start programs on the user's machine.
bool isWebOrMailLink(const std::wstring& address);
