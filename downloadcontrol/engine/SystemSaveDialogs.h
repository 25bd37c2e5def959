#pragma once
// The save and folder dialogs of the system, owned by the control's window and shown under the
// control's activation context.
#include "downloadcontrol/engine/EngineEvents.h"
#include "downloadcontrol/engine/SaveDialogs.h"

class SystemSaveDialogs final : public SaveDialogs {
public:
    explicit SystemSaveDialogs(EngineHost& host) : host_(host) {}

    bool askSaveFile(const std::wstring& proposedName, const std::wstring& initialFolder,
                     std::wstring& path) override;
    bool askFolder(const std::wstring& fileName, const std::wstring& initialFolder,
                   std::wstring& folder) override;

    // The target of a shortcut file (".lnk"), found without any user interface; "" when it has none.
    static std::wstring shortcutTarget(const std::wstring& shortcutPath);

private:
    EngineHost& host_;
};
