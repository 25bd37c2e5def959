// The info menu and the small windows: empty until their own files take them over.
#include "mainwindow/Unit1.h"

void TForm1::infoLogoImageButtonBtnClick(gui::TObject*) {}
void TForm1::checkUpdateTimerTimer(gui::TObject*) {}
void TForm1::showCaptionsAsThumbnailTooltipsMenuItemClick(gui::TObject*) {}
void TForm1::showThumbnailShadowsMenuItemClick(gui::TObject*) {}
void TForm1::showFullSizeWhenThumbnailClickingMenuItemClick(gui::TObject*) {}
void TForm1::selectWhenThumbnailClickingMenuItemClick(gui::TObject*) {}
void TForm1::anyWordCanMatchMenuItemClick(gui::TObject*) {}
void TForm1::allWordsMustMatchMenuItemClick(gui::TObject*) {}
void TForm1::clearSearchWhenChangingUsernameMenuItemClick(gui::TObject*) {}
void TForm1::slowSlideshowMenuItemClick(gui::TObject*) {}
void TForm1::moderateSlideshowMenuItemClick(gui::TObject*) {}
void TForm1::fastSlideshowMenuItemClick(gui::TObject*) {}
void TForm1::transparentOverlayMenuItemClick(gui::TObject*) {}
void TForm1::extraExtraLightOverlayMenuItemClick(gui::TObject*) {}
void TForm1::extraLightOverlayMenuItemClick(gui::TObject*) {}
void TForm1::veryLightOverlayMenuItemClick(gui::TObject*) {}
void TForm1::mediumLightOverlayMenuItemClick(gui::TObject*) {}
void TForm1::lightOverlayMenuItemClick(gui::TObject*) {}
void TForm1::darkOverlayMenuItemClick(gui::TObject*) {}
void TForm1::mediumDarkOverlayMenuItemClick(gui::TObject*) {}
void TForm1::veryDarkOverlayMenuItemClick(gui::TObject*) {}
void TForm1::extraDarkOverlayMenuItemClick(gui::TObject*) {}
void TForm1::extraExtraDarkOverlayMenuItemClick(gui::TObject*) {}
void TForm1::blackOverlayMenuItemClick(gui::TObject*) {}
void TForm1::removeUsernamesMenuItemClick(gui::TObject*) {}
void TForm1::temporaryFolderMenuItemClick(gui::TObject*) {}
void TForm1::checkForUpdatesMenuItemClick(gui::TObject*) {}
void TForm1::sendFeedbackMenuItemClick(gui::TObject*) {}
void TForm1::aboutPixhaulMenuItemClick(gui::TObject*) {}
void TForm1::showRecommendationAtClose() {}
