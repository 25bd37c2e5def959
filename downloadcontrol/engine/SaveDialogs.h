#pragma once
// The questions Download asks the user when a file has no usable save path.
#include <string>

class SaveDialogs {
public:
    virtual ~SaveDialogs() = default;
    // A save dialog proposing `proposedName` in `initialFolder`; false when the user cancelled.
    virtual bool askSaveFile(const std::wstring& proposedName, const std::wstring& initialFolder,
                             std::wstring& path) = 0;
    // A folder dialog starting at `initialFolder`; `fileName` names the file it is for, or is "" when
    // one folder is asked for all files. A chosen shortcut gives its target. False when cancelled.
    virtual bool askFolder(const std::wstring& fileName, const std::wstring& initialFolder,
                           std::wstring& folder) = 0;
};
