// The save, folder and print dialogs on screen, answered from a second thread. Each dialog class
// remembers its place for the life of the process, so every test below drives one class through a
// sequence of openings: the first opening of the class in this program is the centred one.
#include "DialogAnswerer.h"
#include "support/TestPrinter.h"
#include "common/DialogGeometry.h"
#include "common/WFolderDialog.h"
#include "common/WPrintDialog.h"
#include "common/WSaveDialog.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <utility>
#include <vector>

namespace {

using testsupport::TempFolder;

struct Seen {
    RECT rect = {};
    std::wstring folder;
    std::wstring caption;
    int filterCount = -1;
    bool okEnabled = false;
    bool pageRangeEnabled = false;
    std::wstring fromText;
    std::wstring toText;
};

int width(const RECT& rect) {
    return rect.right - rect.left;
}
int height(const RECT& rect) {
    return rect.bottom - rect.top;
}

// Centred as the dialogs centre themselves: the free space halved toward zero.
void expectCentred(const RECT& rect) {
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - width(rect)) / 2, rect.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - height(rect)) / 2, rect.top);
}

void expectRect(const RECT& expected, const RECT& actual) {
    EXPECT_EQ(expected.left, actual.left);
    EXPECT_EQ(expected.top, actual.top);
    EXPECT_EQ(expected.right, actual.right);
    EXPECT_EQ(expected.bottom, actual.bottom);
}

std::wstring withoutFinalBackslash(std::wstring path) {
    if (!path.empty() && path.back() == L'\\') {
        path.pop_back();
    }
    return path;
}

std::wstring currentFolder() {
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    return folder;
}

// --- geometry on a window of our own -----------------------------------------------------------

TEST(DialogGeometryTracking, PlacesOnFirstShowingAndFollowsTheUserWhileVisible) {
    DialogGeometry geometry;
    geometry.placement = DialogPlacement{100, 120, 300, 200};
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 10, 10, 250, 150, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(followDialogGeometry(window, geometry));
    EXPECT_EQ(250, geometry.naturalWidth);
    EXPECT_EQ(150, geometry.naturalHeight);

    // What happens before the window shows is the program's layout, not the user's.
    SetWindowPos(window, nullptr, 5, 5, 260, 160, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(100, geometry.placement.x);
    EXPECT_EQ(300, geometry.placement.width);

    ShowWindow(window, SW_SHOWNORMAL);
    expectRect(RECT{100, 120, 400, 320}, windowRect(window));

    SetWindowPos(window, nullptr, 50, 60, 350, 260, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(50, geometry.placement.x);
    EXPECT_EQ(60, geometry.placement.y);
    EXPECT_EQ(350, geometry.placement.width);
    EXPECT_EQ(260, geometry.placement.height);

    // Closing hides the window first: it stays hidden, and what follows is not recorded.
    ShowWindow(window, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(window));
    SetWindowPos(window, nullptr, 0, 0, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);
    DestroyWindow(window);
    EXPECT_EQ(50, geometry.placement.x);
    EXPECT_EQ(350, geometry.placement.width);
}

// --- save dialog -------------------------------------------------------------------------------

std::wstring saveDialogFolder(HWND dialog) {
    wchar_t folder[MAX_PATH] = {};
    SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    return folder;
}

void seeSaveDialog(HWND dialog, Seen& seen) {
    seen.rect = windowRect(dialog);
    seen.folder = saveDialogFolder(dialog);
    seen.caption = windowText(dialog);
    seen.filterCount = static_cast<int>(SendDlgItemMessageW(dialog, cmb1, CB_GETCOUNT, 0, 0));
}

// The file-name box is a combo box (cmb13) in newer dialogs and an edit box (edt1) in older ones.
void typeSaveFileName(HWND dialog, const wchar_t* name) {
    SendMessageW(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(name));
    SendMessageW(dialog, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(name));
}

TEST(SaveDialog, OpensCentredThenWhereLeftAndReturnsTheName) {
    TempFolder temp;
    const std::wstring startFolder = currentFolder();

    WSaveDialog dialog(nullptr);
    dialog.title = L"Save Photos As";
    dialog.filter = L"Zip archive (*.zip)|*.zip";
    dialog.defaultExtension = L"zip";
    dialog.initialFolder = temp.path();
    dialog.fileName = L"draft";
    dialog.filterIndex = 1;

    // Cancelled: centred at its natural size, in the initial folder, with one filter entry.
    Seen first;
    RECT moved = {};
    {
        DialogAnswerer answerer([&](HWND window) {
            seeSaveDialog(window, first);
            moved = RECT{37, 41, 37 + width(first.rect) + 60, 41 + height(first.rect) + 30};
            moveDialog(window, moved.left, moved.top, width(moved), height(moved));
            pressDialogButton(window, IDCANCEL);
        });
        dialog.owner = answerer.owner();
        EXPECT_FALSE(dialog.execute());
        answerer.finish();
        ASSERT_TRUE(answerer.sawDialog());
        EXPECT_FALSE(answerer.answerLeftDialogOpen());
    }
    expectCentred(first.rect);
    EXPECT_EQ(0, lstrcmpiW(withoutFinalBackslash(temp.path()).c_str(), first.folder.c_str()))
        << testing::PrintToString(first.folder);
    EXPECT_EQ(L"Save Photos As", first.caption);
    EXPECT_EQ(1, first.filterCount);
    EXPECT_EQ(L"draft", dialog.fileName);
    EXPECT_EQ(1, dialog.filterIndex);

    // Confirmed: where the user left the first one, at its size; the name gets its extension.
    Seen second;
    {
        DialogAnswerer answerer([&](HWND window) {
            seeSaveDialog(window, second);
            typeSaveFileName(window, L"archive");
            pressDialogButton(window, IDOK);
        });
        dialog.owner = answerer.owner();
        EXPECT_TRUE(dialog.execute());
        answerer.finish();
        ASSERT_TRUE(answerer.sawDialog());
        EXPECT_FALSE(answerer.answerLeftDialogOpen());
    }
    expectRect(moved, second.rect);
    EXPECT_EQ(0, lstrcmpiW(temp.file(L"archive.zip").c_str(), dialog.fileName.c_str()))
        << testing::PrintToString(dialog.fileName);
    EXPECT_EQ(1, dialog.filterIndex);

    // A name that has the extension in other letters keeps it; the process's current folder is
    // not moved into the folder the user saved to.
    {
        DialogAnswerer answerer([&](HWND window) {
            typeSaveFileName(window, L"Photos.ZIP");
            pressDialogButton(window, IDOK);
        });
        dialog.owner = answerer.owner();
        EXPECT_TRUE(dialog.execute());
    }
    EXPECT_EQ(0, lstrcmpiW(temp.file(L"Photos.ZIP").c_str(), dialog.fileName.c_str()))
        << testing::PrintToString(dialog.fileName);
    EXPECT_EQ(startFolder, currentFolder());
}

// --- folder dialog -----------------------------------------------------------------------------

// Wine's folder tree does not find a folder made after an earlier dialog of the process listed its
// parent, until that parent is listed again; listing each level through the shell refreshes it.
void refreshShellListing(const std::wstring& path) {
    Microsoft::WRL::ComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(&desktop))) {
        return;
    }
    for (size_t separator = path.find(L'\\'); separator != std::wstring::npos;
         separator = path.find(L'\\', separator + 1)) {
        PIDLIST_ABSOLUTE items = nullptr;
        const std::wstring level = path.substr(0, separator + 1);
        if (FAILED(SHParseDisplayName(level.c_str(), nullptr, &items, 0, nullptr))) {
            continue;
        }
        Microsoft::WRL::ComPtr<IShellFolder> folder;
        Microsoft::WRL::ComPtr<IEnumIDList> children;
        if (SUCCEEDED(desktop->BindToObject(items, nullptr, IID_PPV_ARGS(&folder))) &&
            folder->EnumObjects(nullptr, SHCONTF_FOLDERS, &children) == S_OK) {
            PITEMID_CHILD child = nullptr;
            while (children->Next(1, &child, nullptr) == S_OK) {
                CoTaskMemFree(child);
            }
        }
        CoTaskMemFree(items);
    }
}

HWND folderTree(HWND dialog) {
    return FindWindowExW(dialog, nullptr, WC_TREEVIEWW, nullptr);
}

std::wstring treeItemText(HWND tree, HTREEITEM item) {
    wchar_t text[MAX_PATH] = {};
    TVITEMW data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = MAX_PATH;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    return text;
}

HTREEITEM selectedTreeItem(HWND tree) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

HTREEITEM treeParent(HWND tree, HTREEITEM item) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)));
}

// The selected folder as the tree shows it: its name and its parent's name, joined by "\".
std::wstring selectedFolderNames(HWND dialog) {
    const HWND tree = folderTree(dialog);
    const HTREEITEM selected = selectedTreeItem(tree);
    return treeItemText(tree, treeParent(tree, selected)) + L"\\" + treeItemText(tree, selected);
}

// Selects a sub-folder of the selection, as a click in the tree would.
bool selectSubfolder(HWND dialog, const std::wstring& name) {
    const HWND tree = folderTree(dialog);
    const HTREEITEM selected = selectedTreeItem(tree);
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(selected));
    auto child = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(selected)));
    for (; child != nullptr; child = reinterpret_cast<HTREEITEM>(SendMessageW(
                                 tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)))) {
        if (treeItemText(tree, child) == name) {
            SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(child));
            syncWithDialog(dialog);
            return true;
        }
    }
    return false;
}

bool okEnabled(HWND dialog) {
    return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
}

std::wstring lastName(const std::wstring& path) {
    const std::wstring trimmed = withoutFinalBackslash(path);
    return trimmed.substr(trimmed.rfind(L'\\') + 1);
}

// Changes a folder's last-write time each time a dialog is asked to select a folder, after the
// dialog has looked the folder up and before its tree lists the folder: as a download saving into
// the folder would while the dialog opens.
class FolderTouchedWhileSelecting {
public:
    explicit FolderTouchedWhileSelecting(std::wstring folder)
        : folder_(std::move(folder)),
          hook_(SetWindowsHookExW(WH_CALLWNDPROC, &hookProc, nullptr, GetCurrentThreadId())) {
        active_ = this;
    }
    ~FolderTouchedWhileSelecting() {
        if (hook_ != nullptr) {
            UnhookWindowsHookEx(hook_);
        }
        active_ = nullptr;
    }
    FolderTouchedWhileSelecting(const FolderTouchedWhileSelecting&) = delete;
    FolderTouchedWhileSelecting& operator=(const FolderTouchedWhileSelecting&) = delete;

    bool hooked() const { return hook_ != nullptr; }
    int touches() const { return touches_; }

private:
    static bool hasClass(HWND window, const wchar_t* name) {
        wchar_t className[32] = {};
        GetClassNameW(window, className, 32);
        return lstrcmpiW(className, name) == 0;
    }

    // A time far from now, another day for each touch.
    void touch() {
        const HANDLE folder = CreateFileW(folder_.c_str(), FILE_WRITE_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (folder == INVALID_HANDLE_VALUE) {
            return;
        }
        SYSTEMTIME day = {2001, 1, 0, static_cast<WORD>(1 + touches_ % 28), 12, 0, 0, 0};
        FILETIME written = {};
        if (SystemTimeToFileTime(&day, &written) && SetFileTime(folder, nullptr, nullptr, &written)) {
            ++touches_;
        }
        CloseHandle(folder);
    }

    // The selection request reaches the dialog first; its first word to the tree comes after it
    // has looked the folder up.
    static LRESULT CALLBACK hookProc(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HC_ACTION && active_ != nullptr) {
            const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
            if (sent->message == BFFM_SETSELECTIONW && hasClass(sent->hwnd, L"#32770")) {
                active_->armed_ = true;
            } else if (active_->armed_ && hasClass(sent->hwnd, WC_TREEVIEWW)) {
                active_->armed_ = false;
                active_->touch();
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static FolderTouchedWhileSelecting* active_;
    std::wstring folder_;
    HHOOK hook_;
    bool armed_ = false;
    int touches_ = 0;
};

FolderTouchedWhileSelecting* FolderTouchedWhileSelecting::active_ = nullptr;

class FolderDialog : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        parent = withoutFinalBackslash(temp.path());
        target = temp.file(L"Target");
        excluded = temp.file(L"Excluded");
        ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(excluded.c_str(), nullptr));
        refreshShellListing(temp.path());
    }
    void TearDown() override { OleUninitialize(); }

    // Runs the dialog with an answer; false when no dialog was seen or it would not close.
    static bool answered(WFolderDialog& dialog, const DialogAnswerer::Answer& answer, bool& result) {
        DialogAnswerer answerer(answer);
        dialog.owner = answerer.owner();
        result = dialog.execute();
        answerer.finish();
        return answerer.sawDialog() && !answerer.answerLeftDialogOpen();
    }

    TempFolder temp;
    std::wstring parent;
    std::wstring target;
    std::wstring excluded;
};

TEST_F(FolderDialog, OpensAtStartFolderAndEachGeometryWhereLeft) {
    const std::wstring expectedNames = lastName(parent) + L"\\Target";
    bool result = false;

    // The first geometry, cancelled: centred at the natural size, the start folder selected, and
    // the folder field emptied.
    WFolderDialog first(nullptr);
    first.prompt = L"\r\nSelect folder where you want to save photos:";
    first.secondGeometry = false;
    first.folder = target;
    Seen opened;
    RECT moved = {};
    ASSERT_TRUE(answered(
        first,
        [&](HWND window) {
            opened.rect = windowRect(window);
            opened.folder = selectedFolderNames(window);
            opened.okEnabled = okEnabled(window);
            moved = RECT{23, 29, 23 + width(opened.rect) + 50, 29 + height(opened.rect) + 40};
            moveDialog(window, moved.left, moved.top, width(moved), height(moved));
            pressDialogButton(window, IDCANCEL);
        },
        result));
    EXPECT_FALSE(result);
    EXPECT_EQ(L"", first.folder);
    expectCentred(opened.rect);
    EXPECT_EQ(expectedNames, opened.folder);
    EXPECT_TRUE(opened.okEnabled);

    // The second geometry has a place of its own: centred at the natural size again.
    WFolderDialog second(nullptr);
    second.folder = parent;
    Seen other;
    ASSERT_TRUE(answered(
        second,
        [&](HWND window) {
            other.rect = windowRect(window);
            pressDialogButton(window, IDCANCEL);
        },
        result));
    expectCentred(other.rect);
    EXPECT_EQ(width(opened.rect), width(other.rect));
    EXPECT_EQ(height(opened.rect), height(other.rect));

    // The first geometry again: where it was left; confirmed on the start folder.
    first.folder = target;
    Seen reopened;
    ASSERT_TRUE(answered(
        first,
        [&](HWND window) {
            reopened.rect = windowRect(window);
            reopened.folder = selectedFolderNames(window);
            pressDialogButton(window, IDOK);
        },
        result));
    expectRect(moved, reopened.rect);
    EXPECT_EQ(expectedNames, reopened.folder);
    EXPECT_TRUE(result);
    EXPECT_EQ(0, lstrcmpiW(target.c_str(), first.folder.c_str())) << testing::PrintToString(first.folder);

    // A preset size applies to a geometry from its next opening; the place stays.
    WFolderDialog::setRememberedSize(440, 400);
    Seen preset;
    ASSERT_TRUE(answered(
        second,
        [&](HWND window) {
            preset.rect = windowRect(window);
            pressDialogButton(window, IDCANCEL);
        },
        result));
    EXPECT_EQ(other.rect.left, preset.rect.left);
    EXPECT_EQ(other.rect.top, preset.rect.top);
    EXPECT_EQ(440, width(preset.rect));
    EXPECT_EQ(400, height(preset.rect));
}

TEST_F(FolderDialog, ExcludedFolderCannotBeChosen) {
    WFolderDialog dialog(nullptr);
    dialog.folder = parent;
    dialog.excludedFolder = excluded;
    dialog.allowNewFolder = false;
    bool okOnParent = false;
    bool okOnExcluded = true;
    bool okOnTarget = false;
    bool result = false;
    ASSERT_TRUE(answered(
        dialog,
        [&](HWND window) {
            okOnParent = okEnabled(window);
            if (selectSubfolder(window, L"Excluded")) {
                okOnExcluded = okEnabled(window);
                // Selecting the parent again and then the other folder.
                const HWND tree = folderTree(window);
                SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET,
                             reinterpret_cast<LPARAM>(treeParent(tree, selectedTreeItem(tree))));
                syncWithDialog(window);
                if (selectSubfolder(window, L"Target")) {
                    okOnTarget = okEnabled(window);
                }
            }
            pressDialogButton(window, IDOK);
        },
        result));
    EXPECT_TRUE(okOnParent);
    EXPECT_FALSE(okOnExcluded);
    EXPECT_TRUE(okOnTarget);
    EXPECT_TRUE(result);
    EXPECT_EQ(0, lstrcmpiW(target.c_str(), dialog.folder.c_str())) << testing::PrintToString(dialog.folder);

    // Starting on the excluded folder: OK is disabled from the start.
    dialog.folder = excluded;
    bool okAtStart = true;
    ASSERT_TRUE(answered(
        dialog,
        [&](HWND window) {
            okAtStart = okEnabled(window);
            pressDialogButton(window, IDCANCEL);
        },
        result));
    EXPECT_FALSE(okAtStart);
    EXPECT_FALSE(result);
    EXPECT_EQ(L"", dialog.folder);
}

// The start folder changes on disk while the dialog opens; the dialog still opens on it, and
// what the selection allows (OK for an excluded folder) follows it.
TEST_F(FolderDialog, StartFolderChangingWhileTheDialogOpensIsStillSelected) {
    bool result = false;
    WFolderDialog dialog(nullptr);
    dialog.folder = target;
    std::wstring seenNames;
    int touches = 0;
    {
        FolderTouchedWhileSelecting touching(target);
        ASSERT_TRUE(touching.hooked());
        ASSERT_TRUE(answered(
            dialog,
            [&](HWND window) {
                seenNames = selectedFolderNames(window);
                pressDialogButton(window, IDOK);
            },
            result));
        touches = touching.touches();
    }
    EXPECT_EQ(1, touches);
    EXPECT_EQ(lastName(parent) + L"\\Target", seenNames);
    EXPECT_TRUE(result);
    EXPECT_EQ(0, lstrcmpiW(target.c_str(), dialog.folder.c_str())) << testing::PrintToString(dialog.folder);

    dialog.folder = excluded;
    dialog.excludedFolder = excluded;
    bool okAtStart = true;
    {
        FolderTouchedWhileSelecting touching(excluded);
        ASSERT_TRUE(answered(
            dialog,
            [&](HWND window) {
                seenNames = selectedFolderNames(window);
                okAtStart = okEnabled(window);
                pressDialogButton(window, IDCANCEL);
            },
            result));
        touches = touching.touches();
    }
    EXPECT_EQ(1, touches);
    EXPECT_EQ(lastName(parent) + L"\\Excluded", seenNames);
    EXPECT_FALSE(okAtStart);
    EXPECT_FALSE(result);
}

// --- print dialog ------------------------------------------------------------------------------

void seePrintDialog(HWND dialog, Seen& seen) {
    seen.rect = windowRect(dialog);
    seen.caption = windowText(dialog);
    seen.pageRangeEnabled = IsWindowEnabled(GetDlgItem(dialog, rad3)) != FALSE;
    seen.fromText = windowText(GetDlgItem(dialog, edt1));
    seen.toText = windowText(GetDlgItem(dialog, edt2));
}

// Chooses the page-numbers option and types a range, as the user would.
void choosePages(HWND dialog, const wchar_t* from, const wchar_t* to) {
    SendDlgItemMessageW(dialog, rad1, BM_SETCHECK, BST_UNCHECKED, 0);
    SendDlgItemMessageW(dialog, rad3, BM_SETCHECK, BST_CHECKED, 0);
    SetDlgItemTextW(dialog, edt1, from);
    SetDlgItemTextW(dialog, edt2, to);
}

class PrintDialog : public testing::Test {
protected:
    void SetUp() override {
        if (!printer.installed()) {
            GTEST_SKIP() << "no printer to offer: " << testing::PrintToString(printer.problem());
        }
    }

    static bool answered(WPrintDialog& dialog, const DialogAnswerer::Answer& answer, bool& result) {
        DialogAnswerer answerer(answer);
        dialog.owner = answerer.owner();
        result = dialog.execute();
        answerer.finish();
        return answerer.sawDialog() && !answerer.answerLeftDialogOpen();
    }

    TestPrinter printer;
};

TEST_F(PrintDialog, OpensCentredThenWhereLeftAndReturnsTheRange) {
    bool result = true;

    // No pages: no page range on offer; cancelled, the fields stay.
    WPrintDialog dialog(nullptr);
    dialog.fromPage = 7;
    dialog.toPage = 9;
    Seen first;
    RECT moved = {};
    ASSERT_TRUE(answered(
        dialog,
        [&](HWND window) {
            seePrintDialog(window, first);
            moved = RECT{15, 25, 15 + width(first.rect), 25 + height(first.rect)};
            moveDialog(window, moved.left, moved.top, width(moved), height(moved));
            pressDialogButton(window, IDCANCEL);
        },
        result));
    EXPECT_FALSE(result);
    expectCentred(first.rect);
    EXPECT_FALSE(first.pageRangeEnabled);
    EXPECT_EQ(7, dialog.fromPage);
    EXPECT_EQ(9, dialog.toPage);
    EXPECT_EQ(1, dialog.copies);
    EXPECT_EQ(nullptr, dialog.printerDC);

    // Confirmed without pages: from 1 to 0, with a device context; where the first was left.
    Seen second;
    ASSERT_TRUE(answered(
        dialog,
        [&](HWND window) {
            seePrintDialog(window, second);
            pressDialogButton(window, IDOK);
        },
        result));
    EXPECT_TRUE(result);
    expectRect(moved, second.rect);
    EXPECT_EQ(1, dialog.fromPage);
    EXPECT_EQ(0, dialog.toPage);
    EXPECT_EQ(1, dialog.copies);
    ASSERT_NE(nullptr, dialog.printerDC);
    EXPECT_EQ(DT_RASPRINTER, GetDeviceCaps(dialog.printerDC, TECHNOLOGY));
    DeleteDC(dialog.printerDC);

    // Five pages, all printed; the initial range shows in the dialog and collate is kept.
    WPrintDialog pages(nullptr);
    pages.pageCount = 5;
    pages.fromPage = 2;
    pages.toPage = 4;
    pages.collate = true;
    Seen offered;
    ASSERT_TRUE(answered(
        pages,
        [&](HWND window) {
            seePrintDialog(window, offered);
            pressDialogButton(window, IDOK);
        },
        result));
    EXPECT_TRUE(result);
    EXPECT_TRUE(offered.pageRangeEnabled);
    EXPECT_EQ(L"2", offered.fromText);
    EXPECT_EQ(L"4", offered.toText);
    EXPECT_EQ(1, pages.fromPage);
    EXPECT_EQ(5, pages.toPage);
    EXPECT_TRUE(pages.collate);
    DeleteDC(pages.printerDC);

    // The user's own range.
    pages.collate = false;
    ASSERT_TRUE(answered(
        pages,
        [&](HWND window) {
            choosePages(window, L"3", L"5");
            pressDialogButton(window, IDOK);
        },
        result));
    EXPECT_TRUE(result);
    EXPECT_EQ(3, pages.fromPage);
    EXPECT_EQ(5, pages.toPage);
    EXPECT_FALSE(pages.collate);
    DeleteDC(pages.printerDC);
}

}  // namespace
