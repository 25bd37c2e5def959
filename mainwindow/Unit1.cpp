// The main window's life: construction, creation, showing, closing and destruction.
#include "mainwindow/Unit1.h"
#include "common/RegistryValues.h"
#include "common/WFolderDialog.h"
#include "feed/Parser.h"
#include "forms/UnitRecommend.h"
#include "gui/Application.h"
#include "gui/Exception.h"
#include "gui/Screen.h"
#include "mainwindow/FormLayout.h"
#include "mainwindow/FrameGeometry.h"
#include "mainwindow/Photo.h"
#include "mainwindow/WorkFolder.h"
#include "resources/SkinIds.h"
#include <commctrl.h>

using namespace gui;
namespace L = formlayout;

TForm1* Form1 = nullptr;

namespace {

// The user-name box's placeholder.
const std::wstring userNamePlaceholder = L"Enter Instagram username or link";

}  // namespace

TForm1::TForm1(TComponent* owner) : TForm(owner) {
    Form1 = this;
    createComponents();
    InitCommonControls();
    // Balanced by the destructor; the entry holds OLE for the thread around every form.
    CoInitialize(nullptr);
    initScriptTokenTables();
    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    OnShow = [this](TObject* sender) { FormShow(sender); };
    OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
    OnResize = [this](TObject* sender) { FormResize(sender); };
    OnDeactivate = [this](TObject* sender) { FormDeactivate(sender); };
    OnMouseMove = [this](TObject* sender, TShiftState shift, int x, int y) {
        FormMouseMove(sender, shift, x, y);
    };
    OnMouseDown = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
        FormMouseDown(sender, button, shift, x, y);
    };
}

void TForm1::FormCreate(TObject*) {
    // 1. Keys the edit box and the top panel keep for themselves.
    oldUserNameEditWindowProc = userNameEdit->WindowProc;
    userNameEdit->WindowProc = [this](TMessage& message) { userNameEditWindowProc(message); };
    oldTopPanelWindowProc = topPanel->WindowProc;
    topPanel->WindowProc = [this](TMessage& message) { topPanelWindowProc(message); };

    // 2-5. The work folder, cleaned of an earlier run's files.
    WorkFolderChoice choice =
        chooseWorkFolder(readCustomTemporaryFolder(), systemTemporaryFolder(), makeWorkFolders);
    WorkPaths paths = workPathsFor(choice.folder);
    tempBaseFolder = paths.folder;
    thumbnailsFolder = paths.thumbnailsFolder;
    pageFilePath = paths.pageFilePath;
    secondWorkFilePath = paths.secondWorkFilePath;
    viewerFolder = paths.viewerFolder;
    versionFilePath = paths.versionFilePath;
    workFolderUsable = choice.usable;
    if (choice.usable) {
        deleteWorkFiles(paths);
        if (!choice.refusedCustom.empty()) {
            const std::wstring text =
                L"Pixhaul cannot create its temporary folder \"" + choice.refusedCustom +
                L"\".\r\n\r\nThe Windows temporary folder is used until another temporary "
                L"folder is chosen (Temporary Folder... in the info menu).";
            MessageBoxW(Handle(), text.c_str(), L"Pixhaul", MB_OK | MB_ICONWARNING);
        }
    } else {
        MessageBoxW(Handle(), unusableWorkFolderText(choice.folder).c_str(), L"Pixhaul",
                    MB_OK | MB_ICONWARNING);
    }

    // 6. One idle download control ready for the first user. Without the control the program
    // still opens; loading then reports the same.
    try {
        releaseDownloader(this, acquireDownloader(this));
    } catch (...) {
        showFeedWarning(downloaderMissingText(ExceptionMessage(std::current_exception())));
    }

    // 7-9.
    Application->SetTitle(L"Pixhaul Instagram Downloader");
    Application->SetShowHint(true);
    WFolderDialog::setRememberedSize(L::kFolderDialogWidth, L::kFolderDialogHeight);
    dropDownMaxRows = L::kHistoryMaxRows;

    // 10. Start bounds: centred, no larger than the screen.
    frame::Bounds start =
        frame::startBounds(Screen->Width(), Screen->Height(), L::kStartWidth, L::kStartHeight);
    frame::Point minimum = frame::minimumSize(Screen->Width(), Screen->Height(), L::kMinWidth, L::kMinHeight);
    Constraints()->SetMinWidth(minimum.x);
    Constraints()->SetMinHeight(minimum.y);
    SetBounds(start.left, start.top, start.width, start.height);

    // 11-12.
    Brush()->SetBitmap(contentScrollBoxPatternImage0->Picture()->Bitmap());
    checkUpdateTimer->SetInterval(3600000);
    checkUpdateTimer->SetOnTimer([this](TObject* sender) { checkUpdateTimerTimer(sender); });
    checkUpdateTimer->SetEnabled(true);

    // 13-25. The skin (Unit1Layout.cpp) and the custom bars (Unit1Frame.cpp).
    applySkin();
    createScrollBars();
    centerLogoBigImage();
    layoutGrid();
    thumbnailWidth = sliderThumbnailWidth();
    thumbnailHeight = thumbnailWidth;

    // 26. Start screen.
    showDownloadProgress(false, 0);
    layoutPanels(false, true);
    setPhotoViewVisible(false);
    topPanel->BringToFront();
    toolbarPanel->BringToFront();
    contentScrollBox->SendToBack();
    bottomPanel->BringToFront();
    bottomScrollBox->BringToFront();

    // 27.
    applyClickMode();
    applySlideshowInterval();
    loadSettings();
    FormResize(this);
}

void TForm1::FormShow(TObject*) {
    refreshUserNameEditText();
    if (topPanel->CanFocus())
        topPanel->SetFocus();
    if (searchEdit->Text().empty())
        showSearchHint();
    checkUpdateTimerTimer(checkUpdateTimer);
}

std::array<gui::TTimer*, 9> TForm1::formTimers() const {
    return {checkUpdateTimer,
            formDeactivateTimer,
            slideshowTimer,
            hideDownloadProgressTimer,
            pageDownloaderErrorRetryTimer,
            thumbnailsDownloaderErrorRetryTimer,
            photosDownloaderErrorRetryTimer,
            printDownloaderErrorRetryTimer,
            thumbnailArrivalsTimer};
}

void TForm1::stopAllTimers() {
    for (TTimer* timer : formTimers())
        timer->SetEnabled(false);
    for (Photo* photo : photos) {
        if (photo && photo->fullSizeRetryTimer)
            photo->fullSizeRetryTimer->SetEnabled(false);
    }
    stopFullSizeTimers();
}

void TForm1::FormClose(TObject*, TCloseAction& action) {
    if (downloadPanel->Visible()) {
        MessageBoxW(
            Handle(),
            L"Download of the selected photos is currently in progress. Please stop photo download in "
            L"order to close Pixhaul.",
            L"Pixhaul", MB_OK | MB_ICONWARNING);
        action = caNone;
        return;
    }
    saveSettings();
    // Nothing may start work on a released control while the recommendation window is up.
    stopAllTimers();
    // Records and events still on their way belong to no work any more.
    for (int* generation :
         {&pageGeneration, &thumbnailsGeneration, &fullSizeGeneration, &saveGeneration, &printGeneration})
        ++*generation;
    Hide();
    pauseFullSizeMedia();
    if (FormRecommend)
        FormRecommend->loadRecommendPage();
    releaseAllDownloaders(this);
    showRecommendationAtClose();
}

TForm1::~TForm1() {
    // The edit box and the top panel outlive this form's members (the base class destroys them):
    // they go back to their own window procedures, or their last messages, such as the parent
    // notices while their children are destroyed, would run on a half-destroyed form.
    if (userNameEdit && oldUserNameEditWindowProc)
        userNameEdit->WindowProc = oldUserNameEditWindowProc;
    if (topPanel && oldTopPanelWindowProc)
        topPanel->WindowProc = oldTopPanelWindowProc;
    // Nothing of ours may run from here on: the hook, the timers, the late records.
    endMouseHook();
    stopAllTimers();
    pauseFullSizeMedia();
    releaseAllDownloaders(this);
    jobEntries.clear();
    pendingDeleteFiles.clear();
    StringKey entry;
    for (bool more = userNameFolders.first(entry); more; more = userNameFolders.next(entry)) {
        delete entry.text;
        delete static_cast<std::wstring*>(entry.value);
    }
    userNameFolders.clear();
    if (!tempBaseFolder.empty())
        deleteWorkFiles(workPathsFor(tempBaseFolder));
    destroyScrollBars();
    freeScriptTokenTables();
    photoFileNames.clear();
    destroyTiles();
    visiblePhotos.clear();
    clearPhotos(this);
    // Every control goes before OLE does: the per-photo ones are back in the pool by now.
    for (std::vector<TPxhl*>* list : {&activeDownloaders, &idleDownloaders}) {
        for (TPxhl* downloader : *list)
            delete downloader;
        list->clear();
    }
    pageDownloader = thumbnailsDownloader = photosDownloader = printDownloader = updateDownloader = nullptr;
    CoUninitialize();
    if (Form1 == this)
        Form1 = nullptr;
}
