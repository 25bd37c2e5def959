// The download-control pool: controls are made on first need, given back to an idle list and
// reused, so a long session makes no more controls than it ever used at once.
#include "mainwindow/Unit1.h"
#include <algorithm>

using gui::TPxhl;

TPxhl* acquireDownloader(TForm1* mainWindow) {
    TPxhl* taken = nullptr;
    auto& idle = mainWindow->idleDownloaders;
    for (auto it = idle.begin(); it != idle.end(); ++it) {
        if ((*it)->ClearFiles()) {
            taken = *it;
            idle.erase(it);
            break;
        }
    }
    if (!taken) {
        taken = new TPxhl(mainWindow);
        taken->SetTextProperty(gui::PxhlDispId::DownloadSessionTempSubfolder, L"");
    }
    taken->SetBooleanProperty(gui::PxhlDispId::AutoRemoveCompletedFiles, true);
    taken->SetIntegerProperty(gui::PxhlDispId::ConcurrentDownloadFileCount, 3);
    taken->SetIntegerProperty(gui::PxhlDispId::ConnectionTimeout, 12000);
    mainWindow->activeDownloaders.push_back(taken);
    return taken;
}

void resetDownloader(TPxhl* downloader) {
    downloader->SetTag(-1);
    downloader->ClearEventHandlers();
    downloader->StopDownload();
    downloader->ClearFiles();
}

void releaseDownloader(TForm1* mainWindow, TPxhl* downloader) {
    if (!downloader)
        return;
    resetDownloader(downloader);
    auto& idle = mainWindow->idleDownloaders;
    if (std::find(idle.begin(), idle.end(), downloader) == idle.end())
        idle.push_back(downloader);
    auto& active = mainWindow->activeDownloaders;
    active.erase(std::remove(active.begin(), active.end(), downloader), active.end());
}

void releaseDownloaderCallback(TPxhl* downloader) {
    if (Form1)
        releaseDownloader(Form1, downloader);
}

void releaseAllDownloaders(TForm1* mainWindow) {
    mainWindow->closeDownloadImageButtonBtnClick(mainWindow);
    for (TPxhl* slot :
         {mainWindow->pageDownloader, mainWindow->thumbnailsDownloader, mainWindow->photosDownloader,
          mainWindow->printDownloader, mainWindow->updateDownloader})
        if (slot)
            releaseDownloader(mainWindow, slot);
}

void clearPhotos(TForm1* mainWindow) {
    mainWindow->photos.clear();
}
