// The full-size files: one download control per item, into the Viewer folder, retried on the item's
// own timer; the item shown and then its two neighbours.
#include "common/PathFunctions.h"
#include "common/SafeFileName.h"
#include "common/TextFunctions.h"
#include "gui/Exception.h"
#include "mainwindow/FullSizeImage.h"
#include "mainwindow/JobSupport.h"
#include "mainwindow/Photo.h"
#include "mainwindow/Unit1.h"

using namespace gui;

namespace {

constexpr long kFullSizeConnectionTimeoutMs = 4000;
constexpr unsigned kFullSizeRetryDelayMs = 3000;
constexpr int kFullSizeRetries = 6;  // after the first try
constexpr long kNoConnectionError = 13;
const wchar_t kServerIssues[] = L"There are some temporary server issues. Please try again.";

// A message box of the full-size downloads is up: another failure meanwhile adds none.
bool fullSizeMessageOpen = false;

Photo* photoHolding(std::vector<Photo*>& photos, const TPxhl* control, long fileId, bool anyFileId) {
    for (Photo* photo : photos) {
        if (photo && photo->fullSizeDownloader == control && (anyFileId || photo->fullSizeFileId == fileId))
            return photo;
    }
    return nullptr;
}

void showFullSizeMessage(TForm1& form, const wchar_t* text) {
    if (fullSizeMessageOpen)
        return;
    fullSizeMessageOpen = true;
    form.showFeedWarning(text);
    fullSizeMessageOpen = false;
}

// The item's download ends without its file: the timer and the control go, the unfinished file is
// deleted, and a new open starts again from the beginning. The view showing the item stays empty.
void giveUpFullSize(TForm1& form, Photo& photo) {
    photo.deleteFullSizeRetryTimer();
    if (TPxhl* control = photo.fullSizeDownloader) {
        const std::wstring path = photo.fullSizeFileId >= 0
                                      ? control->GetFileInfo(photo.fullSizeFileId, kFinalPathField)
                                      : std::wstring();
        photo.releaseFullSizeDownloader();
        // The control lets go of its file when stopped: only then can it be deleted.
        if (!path.empty())
            DeleteFileW(makeLongPath(path + L".tmp").c_str());
    }
    photo.fullSizeFileId = -1;
    photo.fullSizeRetryCount = 0;
    if (form.fullSizePhoto() == &photo)
        form.fullSizeImage->stopLoading();
}

// The item's download ended without its file, and the user is told; a running slideshow moves on
// from the item on show.
void gaveUpFullSize(TForm1& form, Photo& photo, const std::wstring& text) {
    giveUpFullSize(form, photo);
    showFullSizeMessage(form, text.c_str());
    if (form.fullSizePhoto() == &photo)
        form.goOnFromFullSize(photo, true);
}

}  // namespace

void TForm1::requestFullSizeImage(Photo* photo) {
    if (!photo || photo->fullSizePresent || photo->fullSizeFileId >= 0)
        return;
    TPxhl* control = nullptr;
    try {
        control = acquireDownloader(this);
    } catch (const gui::Exception& error) {
        gaveUpFullSize(*this, *photo, error.Message());
        return;
    }
    photo->fullSizeDownloader = control;
    control->SetTag(fullSizeGeneration);
    control->SetIntegerProperty(PxhlDispId::ConnectionTimeout, kFullSizeConnectionTimeoutMs);
    control->OnFileDownloadComplete = [this](TObject* sender, long fileId, bool result) {
        onFullSizeFileDone(sender, fileId, result);
    };
    control->OnDownloadComplete = [this](TObject* sender, bool result) {
        onFullSizeDownloadDone(sender, result);
    };
    photo->fullSizePath = viewerFolder + L"\\" +
                          workFileName(currentUserName, photo->standardResolutionUrl, makeGuidFileName());
    // The control cuts the time off and stamps it on the finished file.
    const std::wstring savePath = formatString(L"%s|%u-%u", photo->fullSizePath.c_str(),
                                               photo->fileTime.dwLowDateTime, photo->fileTime.dwHighDateTime);
    const long fileId =
        control->AddFile(photo->standardResolutionUrl, L"-1", L"", savePath, 1, L"", L"", L"", 0);
    photo->fullSizeRetryCount = 0;
    if (fileId < 0) {
        gaveUpFullSize(*this, *photo, kServerIssues);
        return;
    }
    photo->fullSizeFileId = static_cast<int>(fileId);
    control->Download();
}

void TForm1::onFullSizeFileDone(TObject* sender, long fileId, bool result) {
    auto* control = dynamic_cast<TPxhl*>(sender);
    if (!control || control->Tag() != fullSizeGeneration || !result)
        return;
    Photo* photo = photoHolding(photos, control, fileId, false);
    if (!photo)
        return;
    const std::wstring finalPath = control->GetFileInfo(fileId, kFinalPathField);
    if (photo->fullSizePresent) {
        // Another job fetched the item meanwhile: its copy stays, this one goes.
        DeleteFileW(makeLongPath(finalPath).c_str());
    } else {
        photo->fullSizePresent = 1;
        if (!finalPath.empty())
            photo->fullSizePath = finalPath;
    }
    // The control goes back to the pool when its download completes.
    photo->fullSizeDownloader = nullptr;
    photo->fullSizeFileId = -1;
    photo->fullSizeRetryCount = 0;
    photo->deleteFullSizeRetryTimer();

    // Only the item on show moves things on: a prefetched neighbour fetches nothing further.
    if (fullSizePhoto() != photo)
        return;
    fullSizeImage->setDoubleBuffered(true);
    fullSizeImage->Invalidate();
    showFullSizeFile(*photo);
    if (photo->videoUrl.empty())
        contentScrollBox->Update();
    refreshPointerOverFullSize();
    fullSizeImage->setDoubleBuffered(false);
    goOnFromFullSize(*photo, false);
}

void TForm1::onFullSizeDownloadDone(TObject* sender, bool result) {
    auto* control = dynamic_cast<TPxhl*>(sender);
    if (!control)
        return;
    if (control->Tag() != fullSizeGeneration || result) {
        // An item still holding the control got no file from it.
        if (Photo* owner = photoHolding(photos, control, -1, true))
            giveUpFullSize(*this, *owner);
        else
            releaseDownloader(this, control);
        return;
    }
    Photo* photo = photoHolding(photos, control, -1, true);
    if (!photo) {
        releaseDownloader(this, control);
        return;
    }
    if (control->GetLastError() == kNoConnectionError) {
        gaveUpFullSize(*this, *photo, L"Please check your Internet connection.");
        return;
    }
    if (photo->fullSizeRetryCount >= kFullSizeRetries) {
        gaveUpFullSize(*this, *photo, kServerIssues);
        return;
    }
    ++photo->fullSizeRetryCount;
    if (!photo->fullSizeRetryTimer) {
        photo->fullSizeRetryTimer = std::make_unique<TTimer>(nullptr);
        photo->fullSizeRetryTimer->SetEnabled(false);
        photo->fullSizeRetryTimer->SetOnTimer([this](TObject* timer) { onFullSizeRetryTimer(timer); });
    }
    photo->fullSizeRetryTimer->SetTag(reinterpret_cast<intptr_t>(photo));
    photo->fullSizeRetryTimer->SetInterval(kFullSizeRetryDelayMs);
    photo->fullSizeRetryTimer->SetEnabled(true);
}

void TForm1::onFullSizeRetryTimer(TObject* sender) {
    auto* timer = dynamic_cast<TTimer*>(sender);
    if (!timer)
        return;
    timer->SetEnabled(false);
    // The timer belongs to its photo and goes with it, so the photo is still there.
    auto* photo = reinterpret_cast<Photo*>(timer->Tag());
    if (photo && photo->fullSizeDownloader)
        photo->fullSizeDownloader->Download();
}
