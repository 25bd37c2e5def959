#include "common/WSaveDialog.h"

#include "common/DialogGeometry.h"
#include "common/PathFunctions.h"
#include "common/StringKeyCollection.h"
#include "common/TextFunctions.h"

#include <commdlg.h>

#include <algorithm>

namespace {

const DWORD fileBufferSize = 65500;

DialogGeometry saveDialogGeometry;

// The hook's own dialog is an empty child of the visible dialog; the geometry belongs to the parent.
UINT_PTR CALLBACK saveDialogHook(HWND hookDialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        followDialogGeometry(GetParent(hookDialog), saveDialogGeometry);
    }
    return 0;
}

const wchar_t* nullWhenEmpty(const std::wstring& text) {
    return text.empty() ? nullptr : text.c_str();
}

}  // namespace

WSaveDialog::WSaveDialog(HWND owner) : owner(owner) {}

bool WSaveDialog::execute() {
    std::vector<wchar_t> fileBuffer(fileBufferSize, L'\0');
    const size_t nameLength = std::min<size_t>(fileName.size(), fileBufferSize - 1);
    std::copy_n(fileName.begin(), nameLength, fileBuffer.begin());
    const std::vector<wchar_t> filterBuffer = makeDialogFilter(filter);

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filterBuffer.empty() ? nullptr : filterBuffer.data();
    dialog.nFilterIndex = static_cast<DWORD>(std::max(filterIndex, 0));
    dialog.lpstrFile = fileBuffer.data();
    dialog.nMaxFile = fileBufferSize;
    dialog.lpstrInitialDir = nullWhenEmpty(initialFolder);
    dialog.lpstrTitle = nullWhenEmpty(title);
    // The process's current folder stays where it was: else the folder the user saved into would
    // be held open (and could not be renamed or deleted) until the program ends.
    dialog.Flags = OFN_ENABLESIZING | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    dialog.lpfnHook = &saveDialogHook;
    // The default extension is added afterwards, so that a name with another extension keeps it.
    dialog.lpstrDefExt = nullptr;

    if (!GetSaveFileNameW(&dialog)) {
        return false;
    }
    filterIndex = static_cast<int>(dialog.nFilterIndex);
    fileName = completeSaveFileName(fileBuffer.data(), defaultExtension);
    return true;
}

std::vector<wchar_t> makeDialogFilter(const std::wstring& filter) {
    std::vector<wchar_t> buffer;
    if (filter.empty()) {
        return buffer;
    }
    buffer.assign(filter.begin(), filter.end());
    std::replace(buffer.begin(), buffer.end(), L'|', L'\0');
    buffer.push_back(L'\0');
    buffer.push_back(L'\0');
    return buffer;
}

std::wstring completeSaveFileName(const std::wstring& chosenName, const std::wstring& defaultExtension) {
    std::wstring name = trimString(chosenName);
    if (defaultExtension.empty()) {
        return name;
    }
    const std::wstring wanted = toUpperCase(defaultExtension);
    StringKeyCollection known;
    known.insert(StringKey(&wanted, nullptr));
    std::wstring extension = fileExtension(name, &known);
    if (!extension.empty()) {
        extension.erase(0, 1);
    }
    if (toUpperCase(extension) != wanted) {
        name += L"." + defaultExtension;
    }
    return name;
}
