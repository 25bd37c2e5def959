#include "forms/UnitTemporaryFolder.h"

#include "common/PathFunctions.h"
#include "common/RegistryKey.h"
#include "common/RegistryValues.h"
#include "common/TextFunctions.h"
#include "common/WFolderDialog.h"

#include <vector>

using namespace gui;

TFormTemporaryFolder* FormTemporaryFolder = nullptr;

namespace {

void writeStoredFolder(const std::wstring& folder) {
    RegistryKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, settingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(),
                        nullptr) != ERROR_SUCCESS)
        return;
    regWriteString(key.get(), customTemporaryFolderValue, folder);
}

TEdit* makeEdit(TForm* form, int top) {
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(32, top, 340, 21);
    edit->SetReadOnly(true);
    return edit;
}

TButton* makeButton(TForm* form, int left, int top, const std::wstring& caption) {
    auto* button = new TButton(form);
    button->SetParent(form);
    button->SetBounds(left, top, 75, 25);
    button->SetCaption(caption);
    return button;
}

TRadioButton* makeRadioButton(TForm* form, int top, const std::wstring& caption) {
    auto* radio = new TRadioButton(form);
    radio->SetParent(form);
    radio->SetBounds(14, top, 300, 17);
    radio->SetCaption(caption);
    return radio;
}

}  // namespace

std::wstring longSystemTemporaryFolder() {
    std::vector<wchar_t> buffer(MAX_PATH + 2, L'\0');
    DWORD length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length >= buffer.size()) {
        buffer.assign(length + 1, L'\0');
        length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    if (length == 0 || length >= buffer.size())
        return L"";
    std::wstring folder(buffer.data(), length);
    folder.pop_back();  // the trailing backslash
    const std::wstring extended = makeLongPath(folder);
    DWORD needed = GetLongPathNameW(extended.c_str(), nullptr, 0);
    if (needed == 0)
        return folder;
    std::vector<wchar_t> longName(needed + 1, L'\0');
    needed = GetLongPathNameW(extended.c_str(), longName.data(), static_cast<DWORD>(longName.size()));
    if (needed == 0 || needed >= longName.size())
        return folder;
    return stripLongPathPrefix(std::wstring(longName.data(), needed));
}

TFormTemporaryFolder::TFormTemporaryFolder(TComponent* owner) : TForm(owner) {
    FormTemporaryFolder = this;
    SetBorderStyle(bsToolWindow);
    SetCaption(L"Temporary Folder");
    Font()->SetName(L"Tahoma");
    // The frame's size is known once the window exists.
    HandleNeeded();
    SetClientSize(477, 164);

    descriptionLabel = new TLabel(this);
    descriptionLabel->SetParent(this);
    descriptionLabel->SetBounds(14, 12, 400, 14);
    descriptionLabel->SetCaption(L"Pixhaul uses temporary folder to save temporary photos:");

    windowsRadioButton = makeRadioButton(this, 36, L"Windows temporary folder");
    windowsRadioButton->SetChecked(true);
    windowsEdit = makeEdit(this, 56);
    customRadioButton = makeRadioButton(this, 86, L"Custom folder");
    customEdit = makeEdit(this, 106);
    customEdit->SetEnabled(false);
    browseButton = makeButton(this, 380, 104, L"Browse...");
    browseButton->SetEnabled(false);
    okButton = makeButton(this, 305, 135, L"OK");
    okButton->SetDefault(true);
    okButton->SetModalResult(mrOk);
    cancelButton = makeButton(this, 388, 135, L"Cancel");
    cancelButton->SetCancel(true);
    cancelButton->SetModalResult(mrCancel);

    windowsRadioButton->OnClick = [this](TObject* sender) { windowsRadioButtonClick(sender); };
    customRadioButton->OnClick = [this](TObject* sender) { customRadioButtonClick(sender); };
    browseButton->OnClick = [this](TObject* sender) { browseButtonClick(sender); };
    okButton->OnClick = [this](TObject* sender) { okButtonClick(sender); };
    OnShow = [this](TObject* sender) { FormShow(sender); };
    OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
}

TFormTemporaryFolder::~TFormTemporaryFolder() {
    if (FormTemporaryFolder == this)
        FormTemporaryFolder = nullptr;
}

void TFormTemporaryFolder::FormShow(TObject*) {
    windowsEdit->SetText(longSystemTemporaryFolder());
    const std::wstring folder = readCustomTemporaryFolder();
    customEdit->SetText(folder);
    storedFolder_ = folder;
    if (folder.empty())
        windowsRadioButtonClick(this);
    else
        customRadioButtonClick(this);
}

void TFormTemporaryFolder::FormClose(TObject*, TCloseAction& action) {
    action = caHide;
}

void TFormTemporaryFolder::windowsRadioButtonClick(TObject*) {
    windowsRadioButton->SetChecked(true);
    customRadioButton->SetChecked(false);
    windowsEdit->SetEnabled(true);
    customEdit->SetEnabled(false);
    browseButton->SetEnabled(false);
}

void TFormTemporaryFolder::customRadioButtonClick(TObject*) {
    customRadioButton->SetChecked(true);
    windowsRadioButton->SetChecked(false);
    windowsEdit->SetEnabled(false);
    customEdit->SetEnabled(true);
    browseButton->SetEnabled(true);
}

void TFormTemporaryFolder::browseButtonClick(TObject*) {
    WFolderDialog dialog(Handle());
    dialog.prompt = L"\r\nSelect temporary folder:";
    dialog.secondGeometry = false;
    dialog.folder = customEdit->Text();
    dialog.excludedFolder = L"";
    dialog.showEditBox = true;
    dialog.allowNewFolder = true;
    if (!dialog.execute())
        return;
    customEdit->SetText(dialog.folder);
    Repaint();
}

void TFormTemporaryFolder::okButtonClick(TObject*) {
    std::wstring folder;
    if (windowsRadioButton->Checked()) {
        writeStoredFolder(L"");
    } else {
        folder = customEdit->Text();
        if (folder.empty()) {
            SetModalResult(mrNone);
            MessageBoxW(Handle(), L"Please select custom temporary folder.", L"Pixhaul",
                        MB_OK | MB_ICONWARNING);
        } else {
            writeStoredFolder(folder);
        }
    }
    if (ModalResult() != mrNone && compareStrings(folder, storedFolder_, false) != 0)
        MessageBoxW(Handle(), L"New temporary folder will take effect next time you start Pixhaul.",
                    L"Pixhaul", MB_OK | MB_ICONWARNING);
}
