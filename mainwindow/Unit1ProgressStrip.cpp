// The bottom panel's progress strip of the save and print jobs, its hide timer, the job buttons'
// bindings and the strip's stop button.
#include "gui/Timer.h"
#include "mainwindow/FormLayout.h"
#include "mainwindow/Photo.h"
#include "mainwindow/Unit1.h"
#include "mainwindow/WorkFiles.h"

#include <cmath>

void TForm1::bindJobButtons() {
    // The strip's frame in the accent colour around the black track, its percentage in white on top.
    downloadPanel->SetColor(static_cast<gui::TColor>(formlayout::kAccentColor));
    downloadProgressPercent->SetTransparent(true);
    downloadProgressPercent->Font()->SetColor(gui::clWhite);
    downloadProgressPercent->Font()->SetStyle(gui::fsBold);
    downloadImageButton->OnBtnClick = [this](gui::TObject* s) { downloadImageButtonBtnClick(s); };
    downloadZipImageButton->OnBtnClick = [this](gui::TObject* s) { downloadZipImageButtonBtnClick(s); };
    printImageButton->OnBtnClick = [this](gui::TObject* s) { printImageButtonBtnClick(s); };
    hideDownloadProgressTimer->SetOnTimer([this](gui::TObject* s) { hideDownloadProgressTimerTimer(s); });
    photosDownloaderErrorRetryTimer->SetOnTimer(
        [this](gui::TObject* s) { photosDownloaderErrorRetryTimerTimer(s); });
    printDownloaderErrorRetryTimer->SetOnTimer(
        [this](gui::TObject* s) { printDownloaderErrorRetryTimerTimer(s); });
}

void TForm1::showDownloadProgress(bool visible, double fraction) {
    // NaN fails every comparison and so becomes 0.
    downloadProgressFraction = static_cast<float>(fraction >= 0 ? (fraction > 1 ? 1 : fraction) : 0);
    for (gui::TControl* button :
         {static_cast<gui::TControl*>(downloadImageButton),
          static_cast<gui::TControl*>(downloadZipImageButton), static_cast<gui::TControl*>(printImageButton)})
        button->SetVisible(!visible);
    const bool firstShowing = visible && !downloadPanel->Visible();
    if (visible) {
        if (!firstShowing) {
            downloadPanel->SetDoubleBuffered(true);
            downloadInnerPanel->SetDoubleBuffered(true);
        }
        const int panelWidth = bottomPanel->Width();
        const int left = static_cast<int>(std::lround(0.19 * panelWidth));
        downloadPanel->SetBounds(left, downloadPanel->Top(), panelWidth - 2 * left, downloadPanel->Height());
        downloadInnerPanel->SetBounds(1, 1, downloadPanel->Width() - 2, downloadPanel->Height() - 2);
        const int innerWidth = downloadInnerPanel->Width();
        const int innerHeight = downloadInnerPanel->Height();
        downloadProgressShape->SetBounds(
            downloadProgressShape->Left(), downloadProgressShape->Top(),
            static_cast<int>(std::lround(innerWidth * static_cast<double>(downloadProgressFraction))) + 1,
            innerHeight + 1);
        const std::wstring percent =
            std::to_wstring(std::lround(static_cast<double>(downloadProgressFraction) * 100)) + L"%";
        if (downloadProgressPercent->Caption() != percent)
            downloadProgressPercent->SetCaption(percent);
        downloadProgressPercent->SetLeft((innerWidth - downloadProgressPercent->Width()) / 2 + 1);
        downloadProgressPercent->SetTop((innerHeight - downloadProgressPercent->Height()) / 2);
        // Only the track and its text change: the frame around them is left as drawn (new bounds
        // have invalidated it already).
        downloadInnerPanel->Repaint();
        closeDownloadImageButton->SetLeft(downloadPanel->Left() + downloadPanel->Width() + 24);
        downloadPanel->SetDoubleBuffered(false);
        downloadInnerPanel->SetDoubleBuffered(false);
    } else {
        hideDownloadProgressTimer->SetEnabled(false);
    }
    downloadPanel->SetVisible(visible);
    closeDownloadImageButton->SetVisible(visible);
    if (firstShowing) {
        downloadPanel->Repaint();
        closeDownloadImageButton->Repaint();
    }
}

void TForm1::hideDownloadProgressTimerTimer(gui::TObject*) {
    hideDownloadProgressTimer->SetEnabled(false);
    showDownloadProgress(false, 1.0);
}

void TForm1::showJobFinished() {
    showDownloadProgress(true, 1.0);
    jobShownProgress = jobProgress;
    hideDownloadProgressTimer->Restart(400);
}

void TForm1::stopJobDownloads() {
    jobStopped.set(true);
    // Stopping dispatches the control's queue: the job's handlers may run (and finish the job)
    // inside these calls, so the slots are read again after the first.
    if (photosDownloader)
        photosDownloader->StopDownload();
    if (printDownloader)
        printDownloader->StopDownload();
}

void TForm1::closeDownloadImageButtonBtnClick(gui::TObject*) {
    jobOutcome.stoppedByUser = true;
    stopJobDownloads();
}

void TForm1::endJob() {
    if (jobOutcome.complete(jobStopped.isSet()))
        showJobFinished();
    else
        showDownloadProgress(false, 1.0);
    releasePendingDeleteFiles();
    const std::wstring message = jobEndMessage(jobOutcome);
    if (!message.empty())
        showJobWarning(message);
}

int TForm1::selectedVisibleCount(int limit) const {
    int count = 0;
    for (const Photo* photo : visiblePhotos) {
        if (photo && photo->selected && ++count >= limit)
            break;
    }
    return count;
}

void TForm1::releasePendingDeleteFiles() {
    if (pendingDeleteFiles.empty())
        return;
    std::vector<std::wstring> paths;
    paths.swap(pendingDeleteFiles);
    startDeleteFilesThread(std::move(paths));
}
