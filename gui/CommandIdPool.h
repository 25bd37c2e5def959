#pragma once
// Command identifiers of menu items: unique among the living items, the lowest free one first,
// and free again when an item is destroyed. They fit the low word of WM_COMMAND. Pure logic.
#include <windows.h>
#include <vector>

namespace gui {

class CommandIdPool {
public:
    static constexpr UINT kFirst = 1;
    static constexpr UINT kLast = 0xFFFF;

    // 0 when every identifier is in use.
    UINT Allocate();
    void Release(UINT id);
    bool InUse(UINT id) const;

    // The pool shared by every menu item of the program.
    static CommandIdPool& Shared();

private:
    std::vector<bool> used_;  // index = id
};

}  // namespace gui
