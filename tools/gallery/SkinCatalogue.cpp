#include "SkinCatalogue.h"

#include <algorithm>

namespace gallery {

namespace {

struct Collector {
    std::vector<SkinEntry>* entries;
    std::wstring type;
};

BOOL CALLBACK collectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR parameter) {
    auto* collector = reinterpret_cast<Collector*>(parameter);
    if (IS_INTRESOURCE(name))
        collector->entries->push_back(
            SkinEntry{static_cast<int>(reinterpret_cast<ULONG_PTR>(name)), collector->type});
    return TRUE;
}

void collect(HMODULE module, const wchar_t* resourceType, const std::wstring& type,
             std::vector<SkinEntry>& entries) {
    Collector collector{&entries, type};
    EnumResourceNamesW(module, resourceType, collectName, reinterpret_cast<LONG_PTR>(&collector));
}

}  // namespace

std::vector<SkinEntry> skinCatalogue(HMODULE module) {
    std::vector<SkinEntry> entries;
    collect(module, L"PNG", L"PNG", entries);
    collect(module, L"GIF", L"GIF", entries);
    collect(module, RT_GROUP_ICON, L"ICON", entries);
    std::sort(entries.begin(), entries.end(), [](const SkinEntry& a, const SkinEntry& b) {
        return a.id != b.id ? a.id < b.id : a.type < b.type;
    });
    return entries;
}

}  // namespace gallery
