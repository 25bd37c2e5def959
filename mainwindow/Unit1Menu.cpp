// The info menu's options and the small windows it opens. Every handler only changes the live
// state; the settings are written at close.
#include <vector>

#include "common/OpenLink.h"
#include "common/ServiceHosts.h"
#include "controls/HoverProtocol.h"
#include "forms/UnitAbout.h"
#include "forms/UnitRecommend.h"
#include "forms/UnitRemoveUsernames.h"
#include "forms/UnitTemporaryFolder.h"
#include "mainwindow/Thumbnailimage.h"
#include "mainwindow/Unit1.h"

using gui::TMenuItem;
using gui::TObject;

namespace {

// Groups stay exclusive because every item of the group is set here, not by the menu's radio
// grouping.
void checkOnly(TMenuItem* chosen, const std::vector<TMenuItem*>& group) {
    for (TMenuItem* item : group)
        item->SetChecked(item == chosen);
}

}  // namespace

void TForm1::infoLogoImageButtonBtnClick(TObject*) {
    POINT cursor{};
    GetCursorPos(&cursor);
    TrackPopupMenu(infoPopupMenu->Handle(), TPM_BOTTOMALIGN | TPM_RIGHTALIGN, cursor.x, cursor.y, 0, Handle(),
                   nullptr);
}

void TForm1::showCaptionsAsThumbnailTooltipsMenuItemClick(TObject*) {
    const bool show = !showCaptionsAsThumbnailTooltipsMenuItem->Checked();
    showCaptionsAsThumbnailTooltipsMenuItem->SetChecked(show);
    contentScrollBox->SetShowHint(show);
}

void TForm1::showThumbnailShadowsMenuItemClick(TObject*) {
    const bool show = !showThumbnailShadowsMenuItem->Checked();
    showThumbnailShadowsMenuItem->SetChecked(show);
    // Every tile changes in one repaint rather than one flicker per tile.
    contentScrollBox->SetDoubleBuffered(true);
    for (ThumbnailImage* tile : tilesInUse)
        tile->setShowShadows(show);
    UpdateWindow(contentScrollBox->Handle());
}

void TForm1::showFullSizeWhenThumbnailClickingMenuItemClick(TObject*) {
    checkOnly(showFullSizeWhenThumbnailClickingMenuItem,
              {showFullSizeWhenThumbnailClickingMenuItem, selectWhenThumbnailClickingMenuItem});
    applyClickMode();
}

void TForm1::selectWhenThumbnailClickingMenuItemClick(TObject*) {
    checkOnly(selectWhenThumbnailClickingMenuItem,
              {showFullSizeWhenThumbnailClickingMenuItem, selectWhenThumbnailClickingMenuItem});
    applyClickMode();
}

// The search reads these check marks; a search under way is filtered again at once.
void TForm1::anyWordCanMatchMenuItemClick(TObject*) {
    checkOnly(anyWordCanMatchMenuItem, {anyWordCanMatchMenuItem, allWordsMustMatchMenuItem});
    if (!searchWords.empty())
        applySearchFilter();
}

void TForm1::allWordsMustMatchMenuItemClick(TObject*) {
    checkOnly(allWordsMustMatchMenuItem, {anyWordCanMatchMenuItem, allWordsMustMatchMenuItem});
    if (!searchWords.empty())
        applySearchFilter();
}

void TForm1::clearSearchWhenChangingUsernameMenuItemClick(TObject*) {
    clearSearchWhenChangingUsernameMenuItem->SetChecked(!clearSearchWhenChangingUsernameMenuItem->Checked());
}

namespace {
void chooseSpeed(TForm1& form, TMenuItem* chosen) {
    checkOnly(chosen,
              {form.slowSlideshowMenuItem, form.moderateSlideshowMenuItem, form.fastSlideshowMenuItem});
    form.applySlideshowInterval();
    // The running slideshow's buttons show its speed.
    if (form.slideshowRunning)
        form.updateSlideshowButtonFaces();
}

void chooseOverlay(TForm1& form, TMenuItem* chosen) {
    checkOnly(chosen, form.overlayMenuItems());
    form.applyOverlayLevel();
}
}  // namespace

void TForm1::slowSlideshowMenuItemClick(TObject*) {
    chooseSpeed(*this, slowSlideshowMenuItem);
}
void TForm1::moderateSlideshowMenuItemClick(TObject*) {
    chooseSpeed(*this, moderateSlideshowMenuItem);
}
void TForm1::fastSlideshowMenuItemClick(TObject*) {
    chooseSpeed(*this, fastSlideshowMenuItem);
}

void TForm1::transparentOverlayMenuItemClick(TObject*) {
    chooseOverlay(*this, transparentOverlayMenuItem);
}
void TForm1::extraExtraLightOverlayMenuItemClick(TObject*) {
    chooseOverlay(*this, extraExtraLightOverlayMenuItem);
}
void TForm1::extraLightOverlayMenuItemClick(TObject*) {
    chooseOverlay(*this, extraLightOverlayMenuItem);
}
void TForm1::veryLightOverlayMenuItemClick(TObject*) {
    chooseOverlay(*this, veryLightOverlayMenuItem);
}
void TForm1::mediumLightOverlayMenuItemClick(TObject*) {
    chooseOverlay(*this, mediumLightOverlayMenuItem);
}
void TForm1::lightOverlayMenuItemClick(TObject*) {
    chooseOverlay(*this, lightOverlayMenuItem);
}
void TForm1::darkOverlayMenuItemClick(TObject*) {
    chooseOverlay(*this, darkOverlayMenuItem);
}
void TForm1::mediumDarkOverlayMenuItemClick(TObject*) {
    chooseOverlay(*this, mediumDarkOverlayMenuItem);
}
void TForm1::veryDarkOverlayMenuItemClick(TObject*) {
    chooseOverlay(*this, veryDarkOverlayMenuItem);
}
void TForm1::extraDarkOverlayMenuItemClick(TObject*) {
    chooseOverlay(*this, extraDarkOverlayMenuItem);
}
void TForm1::extraExtraDarkOverlayMenuItemClick(TObject*) {
    chooseOverlay(*this, extraExtraDarkOverlayMenuItem);
}
void TForm1::blackOverlayMenuItemClick(TObject*) {
    chooseOverlay(*this, blackOverlayMenuItem);
}

// The windows below exist only in the program; in-process tests run without them.
void TForm1::removeUsernamesMenuItemClick(TObject*) {
    if (!FormRemoveUsernames)
        return;
    FormRemoveUsernames->setHistory(userNameListBox, &userNameFolders);
    FormRemoveUsernames->SetActiveControl(nullptr);
    controls::centerOnScreen(FormRemoveUsernames);
    FormRemoveUsernames->ShowModal();
}

void TForm1::temporaryFolderMenuItemClick(TObject*) {
    if (!FormTemporaryFolder)
        return;
    FormTemporaryFolder->SetActiveControl(nullptr);
    controls::centerOnScreen(FormTemporaryFolder);
    FormTemporaryFolder->ShowModal();
}

void TForm1::aboutPixhaulMenuItemClick(TObject*) {
    if (!FormAbout)
        return;
    controls::centerOnScreen(FormAbout);
    FormAbout->ShowModal();
}

void TForm1::sendFeedbackMenuItemClick(TObject*) {
    const std::wstring address = kSupportMailAddress;
    if (openLink(Handle(), L"mailto:" + address))
        return;
    const std::wstring text =
        L"Cannot open the default mail client. Please launch your mail client and send mail to: " + address;
    MessageBoxW(Handle(), text.c_str(), L"Pixhaul", MB_OK | MB_ICONWARNING);
}

void TForm1::showRecommendationAtClose() {
    if (!FormRecommend || !FormRecommend->fitToPage())
        return;
    controls::centerOnScreen(FormRecommend);
    FormRecommend->startResizeTimer();
    FormRecommend->ShowModal();
    FormRecommend->stopResizeTimer();
}
