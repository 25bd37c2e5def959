#pragma once
// Every skin picture the program module carries, found in its resources (not from a list, so a
// picture added to the skin shows up by itself).
#include <windows.h>
#include <string>
#include <vector>

namespace gallery {

struct SkinEntry {
    int id = 0;
    std::wstring type;  // L"PNG", L"GIF" or L"ICON"
};

// Sorted by id; each id once per type.
std::vector<SkinEntry> skinCatalogue(HMODULE module);

}  // namespace gallery
