// Loading a user's feed: the profile page and the feed pages come through the page downloader into
// the page work file and are read by a feed page worker; Stop and Go pause and continue the load.
// Every event of a control is checked against the generation the control serves, so nothing of an
// earlier load reaches the current one.
#include <memory>

#include "common/ServiceHosts.h"
#include "common/TextFunctions.h"
#include "feed/FeedPageWorker.h"
#include "feed/PageRetryRule.h"
#include "forms/UnitRecommend.h"
#include "gui/Exception.h"
#include "mainwindow/FormLayout.h"
#include "mainwindow/Photo.h"
#include "mainwindow/Unit1.h"
#include "mainwindow/UserNameRules.h"
#include "mainwindow/WorkFiles.h"
#include "mainwindow/WorkerMessageRules.h"

using namespace gui;
namespace L = formlayout;

namespace {

constexpr TColor kPieLoadingColor = 0x00EFAE00;
constexpr TColor kPiePausedColor = 0x00C4C4C4;
constexpr long kThumbnailConcurrentFiles = 6;
constexpr long kThumbnailConnectionTimeoutMs = 4000;

// Download only starts a control that holds files: an empty run completes at once and would be
// taken for a downloaded page or a finished batch.
bool holdsFiles(TPxhl* downloader) {
    return queuedFileCount(downloader) > 0;
}

// Every work file a photo of an abandoned load may have left: the finished files and the unfinished
// ones the control keeps under the same name with ".tmp" appended.
void addWorkFiles(const Photo& photo, std::vector<std::wstring>& paths) {
    for (const std::wstring* path : {&photo.thumbnailPath, &photo.fullSizePath}) {
        if (!path->empty()) {
            paths.push_back(*path);
            paths.push_back(*path + L".tmp");
        }
    }
}

// A load being set up; one that did not get under way when the scope ends leaves the state idle,
// also on an early return.
class StartingScope {
public:
    explicit StartingScope(LoadState& state) : state_(state) { state_ = LoadState::starting; }
    ~StartingScope() {
        if (state_ == LoadState::starting)
            state_ = LoadState::idle;
    }
    StartingScope(const StartingScope&) = delete;
    StartingScope& operator=(const StartingScope&) = delete;

private:
    LoadState& state_;
};

}  // namespace

void TForm1::loadUser() {
    if (loadState == LoadState::starting || userNameEdit->Font()->Color() == L::kGreyTextColor)
        return;
    const StartingScope starting(loadState);
    // A retry of the old user must never reach the new user's controls.
    pageDownloaderErrorRetryTimer->SetEnabled(false);
    thumbnailsDownloaderErrorRetryTimer->SetEnabled(false);

    const std::wstring previousUserName = currentUserName;
    currentUserName = ::extractUserName(userNameEdit->Text());
    if (FormRecommend)
        FormRecommend->loadRecommendPage();
    const bool load = !currentUserName.empty();

    if (load) {
        if (!toolbarPanel->Visible()) {
            SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
            layoutPanels(true, true);
            setPhotoViewVisible(true);
            SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
            RedrawWindow(Handle(), nullptr, nullptr,
                         RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
        }
        userNameImageButton->SetTag(1);
    } else {
        userNameImageButton->SetTag(0);
    }
    updateUserNameButtonFaces();
    // What the old load's thumbnails left to show is not shown over the new load.
    forgetThumbnailArrivals();
    totalMediaCount = 0;
    if (topPanel->CanFocus())
        topPanel->SetFocus();
    updateUserNameEditText();
    if (load) {
        userNameProgressPie->FSetProgress(0);
        userNameProgressPie->FSetProgressColor(kPieLoadingColor);
        userNameProgressPiePanel->SetVisible(true);
        userNameProgressPiePanel->BringToFront();
    } else {
        userNameProgressPiePanel->SetVisible(false);
    }
    userNamePanelResize(userNamePanel);
    userNamePanel->Update();

    if (clearSearchWhenChangingUsernameMenuItem->Checked() &&
        compareStrings(currentUserName, previousUserName, false) != 0) {
        searchEdit->SetText(L"");
        showSearchHint();
        searchEdit->Update();
        searchWords.clear();
        searchText.clear();
    }
    if (load)
        addUserNameToHistory(currentUserName);

    // New generations first: the stops below pump messages, and late records of the old load must
    // find themselves outdated.
    ++pageGeneration;
    ++thumbnailsGeneration;
    ++fullSizeGeneration;
    resetDownloader(pageDownloader);
    resetDownloader(thumbnailsDownloader);

    contentScrollBox->Invalidate();
    if (fullSizePhoto())
        hideFullSize(false);
    for (int index = static_cast<int>(tilesInUse.size()) - 1; index >= 0; --index)
        recyclePhotoImage(index);

    // The old load's work files; those a running job still copies or prints wait for its end.
    std::vector<std::wstring> oldWorkFiles;
    const size_t queued = std::min(thumbnailBatches.thumbnailCursor(), photos.size());
    for (size_t index = 0; index < queued; ++index) {
        if (photos[index] && !photos[index]->inUseByJob)
            addWorkFiles(*photos[index], oldWorkFiles);
        else if (photos[index])
            addWorkFiles(*photos[index], pendingDeleteFiles);  // deleted when the job ends
    }
    photoFileNames.clear();
    visiblePhotos.clear();
    clearPhotos(this);
    // Only now: clearPhotos gave the photos' own controls back, which lets go of their files.
    if (!oldWorkFiles.empty())
        startDeleteFilesThread(std::move(oldWorkFiles));
    selectionAnchor = -1;
    scrollAnchorIndex = -1;
    scrollAnchorOffset = -1;
    allSelected = false;
    thumbnailBatches.start(thumbnailsGeneration, nullptr);
    forgetThumbnailArrivals();  // also what arrived while the stops above pumped messages
    thumbnailsAdapter = PxhlThumbnailDownloader(nullptr);
    layoutThumbnails(false);
    lastPageSuffix.clear();
    pageRetryCount = 0;
    samePageRepeatCount = 0;
    if (!load)
        return;

    // The new controls are taken before the old ones go back, so the pool never hands an old one
    // straight back to this load.
    TPxhl* page = nullptr;
    TPxhl* thumbnails = nullptr;
    try {
        page = acquireDownloader(this);
        thumbnails = acquireDownloader(this);
    } catch (...) {
        releaseDownloader(this, page);
        loadState = LoadState::idle;
        resetFeedControls();
        showFeedWarning(downloaderMissingText(ExceptionMessage(std::current_exception())));
        return;
    }
    page->SetTag(pageGeneration);
    thumbnails->SetTag(thumbnailsGeneration);
    releaseDownloader(this, pageDownloader);
    releaseDownloader(this, thumbnailsDownloader);
    pageDownloader = page;
    thumbnailsDownloader = thumbnails;

    thumbnailsDownloader->SetIntegerProperty(PxhlDispId::ConcurrentDownloadFileCount,
                                             kThumbnailConcurrentFiles);
    thumbnailsDownloader->SetIntegerProperty(PxhlDispId::ConnectionTimeout, kThumbnailConnectionTimeoutMs);
    thumbnailsDownloader->OnFileDownloadComplete = [this](TObject* sender, long fileId, bool result) {
        onThumbnailFileDone(sender, fileId, result);
    };
    thumbnailsDownloader->OnDownloadComplete = [this](TObject* sender, bool result) {
        onThumbnailsDone(sender, result);
    };
    thumbnailsAdapter = PxhlThumbnailDownloader(thumbnailsDownloader);
    thumbnailBatches.start(thumbnailsGeneration, &thumbnailsAdapter);
    pageDownloaderErrorRetryTimer->SetOnTimer(
        [this](TObject* sender) { pageDownloaderErrorRetryTimerTimer(sender); });
    thumbnailsDownloaderErrorRetryTimer->SetOnTimer(
        [this](TObject* sender) { thumbnailsDownloaderErrorRetryTimerTimer(sender); });

    pageDownloader->OnDownloadComplete = [this](TObject* sender, bool result) {
        onPageDownloadDone(sender, result);
    };
    loadState = LoadState::pages;
    const long fileId = pageDownloader->AddFile(feedPageUrl(serviceHost(), currentUserName, L""), L"-1", L"",
                                                pageFilePath, 1, L"", L"", L"", 0);
    // A name the control cannot make an address of names no profile; any other refusal is the
    // control's, as a page that does not start.
    if (fileId < 0 && pageDownloader->GetLastError() == kErrorUrlParse)
        endPageLoading(pageFailureMessage(PageFailureAction::noSuchUser, currentUserName));
    else if (fileId < 0 || !startPageDownload())
        endPageLoading(pageFailureMessage(PageFailureAction::serverIssues, currentUserName));
}

bool TForm1::startPageDownload() {
    if (!holdsFiles(pageDownloader))
        return false;
    loadState = LoadState::pageDownloading;
    if (pageDownloader->Download())
        return true;
    loadState = LoadState::pages;
    return false;
}

void TForm1::onPageDownloadDone(TObject* sender, bool result) {
    if (generationOf(sender) != pageGeneration)
        return;
    const bool ours = loadState == LoadState::pageDownloading;
    if (ours)
        loadState = LoadState::pages;
    if (result) {
        if (!ours)
            return;
        auto params = std::make_unique<ParsePageParams>(pageGeneration, Handle(), pageFilePath,
                                                        currentUserName, lastPageSuffix);
        params->repeatCount = samePageRepeatCount;
        if (!startFeedPageWorker(std::move(params)))
            endPageLoading(pageFailureMessage(PageFailureAction::serverIssues, currentUserName));
        return;
    }
    if (!pagesMayCome(loadState))
        return;  // the load ended meanwhile
    // Only the profile page is asked for before the count: a feed page follows the count.
    const PageFailureAction action = decidePageFailure(static_cast<TPxhl*>(sender)->GetLastError(),
                                                       !lastPageSuffix.empty(), pageRetryCount);
    switch (action) {
    case PageFailureAction::ignore:
        return;
    case PageFailureAction::retry:
        ++pageRetryCount;
        pageDownloaderErrorRetryTimer->Restart(kPageRetryIntervalMs);
        return;
    default:
        endPageLoading(pageFailureMessage(action, currentUserName));
        return;
    }
}

void TForm1::endPageLoading(const std::wstring& message) {
    // The load ends for the user (Go loads again); the thumbnails already queued still come.
    loadState = LoadState::idle;
    resetFeedControls();
    // The thumbnails of the photos that came go on; without any, the batches end here.
    queueThumbnailBatch(true);
    showFeedWarning(message);
}

void TForm1::pageDownloaderErrorRetryTimerTimer(TObject*) {
    pageDownloaderErrorRetryTimer->SetEnabled(false);
    if (loadState == LoadState::pages)
        startPageDownload();
}

void TForm1::stopFeedDownloads() {
    if (!loadRunning(loadState))
        return;
    loadState = pagesMayCome(loadState) ? LoadState::pagesStopped : LoadState::thumbnailsStopped;
    if (pageDownloader)
        pageDownloader->StopDownload();
    thumbnailBatches.stop();
    if (userNameEdit->Font()->Color() != L::kTypedTextColor)
        updateUserNameEditText();
    userNameProgressPie->FSetProgressColor(kPiePausedColor);
}

void TForm1::resumeFeedDownloads() {
    const bool pages = loadState == LoadState::pagesStopped;
    loadState = pages ? LoadState::pages : LoadState::thumbnails;
    // A page that failed while stopped is asked for again now rather than by a timer.
    pageDownloaderErrorRetryTimer->SetEnabled(false);
    const bool pageStarted = pages && startPageDownload();
    const bool thumbnailsStarted = thumbnailBatches.resume();
    if (pageStarted || thumbnailsStarted) {
        if (userNameEdit->Focused() && topPanel->CanFocus())
            topPanel->SetFocus();
        updateUserNameEditText();
        userNameProgressPie->FSetProgressColor(kPieLoadingColor);
        return;
    }
    loadState = LoadState::idle;
    resetFeedControls();
}

void TForm1::resetFeedControls() {
    if (userNameEdit->Font()->Color() != L::kTypedTextColor)
        updateUserNameEditText();
    userNameProgressPiePanel->SetVisible(false);
    userNamePanelResize(userNamePanel);
    userNameImageButton->SetTag(0);
    updateUserNameButtonFaces();
}

void TForm1::showFeedWarning(const std::wstring& text) {
    MessageBoxW(Handle(), text.c_str(), L"Pixhaul", MB_OK | MB_ICONWARNING);
}
