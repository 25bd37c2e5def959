// Saving and printing the selected items: empty until their own files take them over.
#include "mainwindow/Unit1.h"

void TForm1::showDownloadProgress(bool visible, double fraction) {
    downloadProgressFraction = static_cast<float>(fraction >= 0 ? (fraction > 1 ? 1 : fraction) : 0);
    downloadPanel->SetVisible(visible);
    closeDownloadImageButton->SetVisible(visible);
}
void TForm1::finishSaveJob() {}
void TForm1::queueZipFile(const std::wstring&) {}
void TForm1::finishPrintJob() {}
void TForm1::closeDownloadImageButtonBtnClick(gui::TObject*) {}
