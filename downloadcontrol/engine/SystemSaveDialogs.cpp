#include "downloadcontrol/engine/SystemSaveDialogs.h"

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/ScrambledText.h"

namespace {

constexpr std::size_t kPathBufferChars = 2048;

// The activation context of the control, active while a dialog is shown.
class DialogContext {
public:
    explicit DialogContext(EngineHost& host) : host_(host), cookie_(host.activateDialogContext()) {}
    ~DialogContext() { host_.deactivateDialogContext(cookie_); }
    DialogContext(const DialogContext&) = delete;
    DialogContext& operator=(const DialogContext&) = delete;

private:
    EngineHost& host_;
    ULONG_PTR cookie_;
};

// Selects the initial folder once the folder dialog is up.
int CALLBACK folderDialogCallback(HWND window, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data) {
        SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
    }
    return 0;
}

bool endsWithShortcutExtension(const std::wstring& path) {
    static constexpr auto kExtension = scrambleText(L".LNK");
    const std::wstring extension = UnscrambleString(kExtension.chars);
    return path.size() >= extension.size() &&
           compareText(path.substr(path.size() - extension.size()), extension, false) == 0;
}

}  // namespace

bool SystemSaveDialogs::askSaveFile(const std::wstring& proposedName, const std::wstring& initialFolder,
                                    std::wstring& path) {
    static constexpr auto kTitle = scrambleText(L"Save File As");
    static constexpr auto kFilter = scrambleText(L"All Files (*.*)|*.*|");
    std::wstring filter = UnscrambleString(kFilter.chars);
    for (wchar_t& c : filter) {
        if (c == L'|') {
            c = L'\0';
        }
    }
    filter.push_back(L'\0');
    const std::wstring title = UnscrambleString(kTitle.chars);

    std::vector<wchar_t> buffer(kPathBufferChars, L'\0');
    proposedName.copy(buffer.data(), std::min(proposedName.size(), kPathBufferChars - 1));

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = host_.dialogOwner();
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY;

    DialogContext context(host_);
    if (!GetSaveFileNameW(&dialog)) {
        return false;
    }
    path = buffer.data();
    return !path.empty();
}

bool SystemSaveDialogs::askFolder(const std::wstring& fileName, const std::wstring& initialFolder,
                                  std::wstring& folder) {
    static constexpr auto kTitleForAll = scrambleText(L"Select the folder to save the files to:");
    static constexpr auto kTitleForFile = scrambleText(L"Select the folder to save \"%s\" to:");
    const std::wstring title =
        fileName.empty() ? UnscrambleString(kTitleForAll.chars)
                         : formatText(UnscrambleString(kTitleForFile.chars).c_str(), fileName.c_str());

    BROWSEINFOW browse = {};
    browse.hwndOwner = host_.dialogOwner();
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
    browse.lpfn = &folderDialogCallback;
    browse.lParam = initialFolder.empty() ? 0 : reinterpret_cast<LPARAM>(initialFolder.c_str());

    DialogContext context(host_);
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    if (!chosen) {
        return false;
    }
    std::vector<wchar_t> buffer(kPathBufferChars, L'\0');
    const bool named = SHGetPathFromIDListW(chosen, buffer.data()) != FALSE;
    CoTaskMemFree(chosen);
    if (!named || buffer[0] == L'\0') {
        return false;
    }
    folder = buffer.data();
    if (endsWithShortcutExtension(folder)) {
        const std::wstring target = shortcutTarget(folder);
        if (!target.empty()) {
            folder = target;
        }
    }
    return true;
}

std::wstring SystemSaveDialogs::shortcutTarget(const std::wstring& shortcutPath) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
        return {};
    }
    std::wstring target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(shortcutPath.c_str(), STGM_READ)) &&
            SUCCEEDED(link->Resolve(nullptr, SLR_NO_UI | SLR_NOSEARCH | SLR_NOTRACK | SLR_NOUPDATE))) {
            std::vector<wchar_t> buffer(kPathBufferChars, L'\0');
            if (SUCCEEDED(link->GetPath(buffer.data(), static_cast<int>(buffer.size()), nullptr, 0))) {
                target = buffer.data();
            }
        }
        file->Release();
    }
    link->Release();
    return target;
}
