// The main window's components, their skin, and how the panels share the window in the start
// screen and the photo view.
#include "gui/Application.h"
#include "gui/Screen.h"
#include "mainwindow/FormLayout.h"
#include "mainwindow/FrameGeometry.h"
#include "mainwindow/Unit1.h"
#include "resources/SkinIds.h"
#include <shellapi.h>
#include <algorithm>

using namespace gui;
using controls::ImageButton;
namespace L = formlayout;

namespace {

template <class Control>
Control* make(TForm1* owner, TWinControl* parent, int left, int top, int width, int height) {
    Control* control = new Control(owner);
    control->SetBounds(left, top, width, height);
    if (parent)
        control->SetParent(parent);
    return control;
}

controls::TPanelEx* makePanel(TForm1* owner, TWinControl* parent, int left, int top, int width, int height,
                              TColor color) {
    auto* panel = make<controls::TPanelEx>(owner, parent, left, top, width, height);
    panel->SetBevelOuter(bvNone);
    panel->SetBevelInner(bvNone);
    panel->SetParentColor(false);
    panel->SetColor(color);
    return panel;
}

void setFaces(ImageButton* button, int normal, int over, int pressed) {
    button->setNormalResourceId(normal);
    button->setMouseOverResourceId(over);
    button->setMouseDownResourceId(pressed);
}

// The three faces of a button are id, id + 1 and id + 2.
void setFaces(ImageButton* button, int first) {
    setFaces(button, first, first + 1, first + 2);
}

gui::TImage* makePattern(TForm1* owner, int id) {
    auto* image = new gui::TImage(owner);
    image->Picture()->LoadFromResource(GetModuleHandleW(nullptr), id, L"PNG");
    image->SetBounds(0, 0, image->Picture()->Bitmap()->Width(), image->Picture()->Bitmap()->Height());
    image->SetVisible(false);
    return image;
}

gui::TMenuItem* addItem(TForm1* owner, gui::TMenuItem* parent, const wchar_t* caption, bool checked,
                        bool radio, int group, void (TForm1::*handler)(TObject*)) {
    auto* item = new gui::TMenuItem(owner);
    item->SetCaption(caption);
    item->SetRadioItem(radio);
    item->SetGroupIndex(group);
    item->SetChecked(checked);
    if (handler)
        item->OnClick = [owner, handler](TObject* sender) { (owner->*handler)(sender); };
    parent->Add(item);
    return item;
}

// The frame's inset: none when maximised, else the width of the drawn border.
int frameInset(const TForm1* form) {
    return form->WindowState() == wsMaximized ? 0 : L::kFrame;
}

}  // namespace

void TForm1::createComponents() {
    SetBorderStyle(bsNone);
    SetCaption(L"Pixhaul");
    SetBounds(0, 0, L::kStartWidth, L::kStartHeight);
    const int clientWidth = L::kStartWidth - 2 * L::kFrame;

    // ---- top area
    topPanel = makePanel(this, this, L::kFrame, L::kFrame, clientWidth, L::kTopPanelHeight, L::kAccentColor);
    topPanel->SetTabStop(true);
    logoImage =
        make<controls::Image>(this, topPanel, L::kLogoLeft, L::kLogoTop, L::kLogoWidth, L::kLogoHeight);
    const int boxWidth = clientWidth - L::kUserNamePanelLeft - L::kUserNamePanelRightSpace;
    userNamePanel =
        makePanel(this, topPanel, L::kUserNamePanelLeft, (L::kTopPanelHeight - L::kUserNamePanelHeight) / 2,
                  boxWidth, L::kUserNamePanelHeight, clWhite);
    const int piece = L::kUserNameFramePiece;
    userNameLeftTopImage = make<controls::Image>(this, userNamePanel, 0, 0, piece, piece);
    userNameRightTopImage = make<controls::Image>(this, userNamePanel, 0, 0, piece, piece);
    userNameLeftBottomImage = make<controls::Image>(this, userNamePanel, 0, 0, piece, piece);
    userNameRightBottomImage = make<controls::Image>(this, userNamePanel, 0, 0, piece, piece);
    userNameTopImage = make<controls::Image>(this, userNamePanel, 0, 0, piece, piece);
    userNameBottomImage = make<controls::Image>(this, userNamePanel, 0, 0, piece, piece);
    userNameLeftImage = make<controls::Image>(this, userNamePanel, 0, 0, piece, piece);
    userNameRightImage = make<controls::Image>(this, userNamePanel, 0, 0, piece, piece);
    userNameEditPanel = makePanel(this, userNamePanel, L::kUserNameEditLeft, L::kUserNameEditTop, boxWidth,
                                  L::kUserNameEditHeight, clWhite);
    userNameEditPanel->SetCursor(crIBeam);
    userNameEdit =
        make<TEdit>(this, userNameEditPanel, 0, L::kUserNameEditTextTop, boxWidth, L::kUserNameEditHeight);
    userNameEdit->SetBorderStyle(bsNone);
    userNameEdit->SetParentColor(false);
    userNameEdit->SetColor(clWhite);
    userNameEdit->SetParentFont(false);
    userNameEdit->Font()->SetName(L"Arial");
    userNameEdit->Font()->SetStyle(fsBold);
    userNameProgressPiePanel =
        makePanel(this, userNamePanel, 0, (L::kUserNamePanelHeight - L::kProgressPieSize) / 2,
                  L::kProgressPieSize, L::kProgressPieSize, clWhite);
    userNameProgressPie = make<controls::TProgressPie>(this, userNameProgressPiePanel, 0, 0,
                                                       L::kProgressPieSize, L::kProgressPieSize);
    userNameArrowDownImageButton =
        make<ImageButton>(this, userNamePanel, 0, (L::kUserNamePanelHeight - L::kHistoryArrowHeight) / 2,
                          L::kHistoryArrowWidth, L::kHistoryArrowHeight);
    userNameImageButton =
        make<ImageButton>(this, topPanel, 0, 0, L::kUserNameButtonWidth, L::kUserNameButtonHeight);
    minimizeImageButton =
        make<ImageButton>(this, topPanel, 0, 0, L::kWindowButtonWidth, L::kWindowButtonHeight);
    maximizeImageButton =
        make<ImageButton>(this, topPanel, 0, 0, L::kWindowButtonWidth, L::kWindowButtonHeight);
    closeImageButton = make<ImageButton>(this, topPanel, 0, 0, L::kWindowButtonWidth, L::kWindowButtonHeight);
    userNameListBoxPanel =
        makePanel(this, this, L::kFrame + L::kUserNamePanelLeft, L::kFrame + L::kTopPanelHeight, boxWidth,
                  L::kHistoryRowHeight * L::kHistoryMaxRows, clWhite);
    userNameListBoxPanel->SetVisible(false);
    userNameListBox =
        make<TListBox>(this, userNameListBoxPanel, 0, 0, boxWidth, L::kHistoryRowHeight * L::kHistoryMaxRows);
    userNameListBox->SetBorderStyle(bsNone);
    userNameListBox->SetSorted(true);
    userNameListBox->SetItemHeight(L::kHistoryRowHeight);
    userNameListBox->SetIntegralHeight(true);
    userNameListBox->SetTabWidth(2);
    userNameListBox->SetParentFont(false);
    userNameListBox->Font()->SetName(L"Arial");
    userNameListBox->Font()->SetStyle(fsBold);

    // ---- toolbar
    toolbarPanel = makePanel(this, this, L::kFrame, L::kFrame + L::kTopPanelHeight, clientWidth,
                             L::kToolbarHeight, clBlack);
    selectAllImageButton =
        make<ImageButton>(this, toolbarPanel, 0, 0, L::kSelectButtonWidth, L::kToolbarButtonHeight);
    unselectAllImageButton =
        make<ImageButton>(this, toolbarPanel, 0, 0, L::kSelectButtonWidth, L::kToolbarButtonHeight);
    slideShowImageButton =
        make<ImageButton>(this, toolbarPanel, 0, 0, L::kSlideshowButtonWidth, L::kToolbarButtonHeight);
    searchPanel = makePanel(this, toolbarPanel, 0, 0, L::kSearchPanelWidth, L::kSearchPanelHeight, clBlack);
    const int spiece = L::kSearchFramePiece;
    searchLeftTopImage = make<controls::Image>(this, searchPanel, 0, 0, spiece, spiece);
    searchRightTopImage = make<controls::Image>(this, searchPanel, 0, 0, spiece, spiece);
    searchLeftBottomImage = make<controls::Image>(this, searchPanel, 0, 0, spiece, spiece);
    searchRightBottomImage = make<controls::Image>(this, searchPanel, 0, 0, spiece, spiece);
    searchTopImage = make<controls::Image>(this, searchPanel, 0, 0, spiece, spiece);
    searchBottomImage = make<controls::Image>(this, searchPanel, 0, 0, spiece, spiece);
    searchLeftImage = make<controls::Image>(this, searchPanel, 0, 0, spiece, spiece);
    searchRightImage = make<controls::Image>(this, searchPanel, 0, 0, spiece, spiece);
    searchEditPanel = makePanel(this, searchPanel, spiece, spiece, L::kSearchPanelWidth - 2 * spiece,
                                L::kSearchPanelHeight - 2 * spiece, L::kSearchPanelColor);
    searchEditPanel->SetCursor(crIBeam);
    searchEdit = make<TEdit>(this, searchEditPanel, L::kSearchEditLeft - spiece, L::kSearchEditTop - spiece,
                             L::kSearchPanelWidth - 2 * L::kSearchEditLeft, L::kSearchEditHeight);
    searchEdit->SetBorderStyle(bsNone);
    searchEdit->SetParentColor(false);
    searchEdit->SetColor(L::kSearchPanelColor);
    searchEdit->SetParentFont(false);
    searchEdit->Font()->SetName(L"Arial");
    searchEdit->Font()->SetStyle(fsBold);
    resizeImage =
        make<controls::Image>(this, toolbarPanel, 0, 0, L::kSliderTrackWidth, L::kSliderTrackHeight);
    resizeThumbImageButton =
        make<ImageButton>(this, toolbarPanel, 0, 0, L::kSliderKnobSize, L::kSliderKnobSize);

    // ---- content area and the start screen
    const int contentTop = L::kFrame + L::kTopPanelHeight;
    const int contentHeight = L::kStartHeight - contentTop - L::kBottomPanelHeight - L::kFrame;
    contentScrollBox =
        make<controls::TScrollBoxEx>(this, this, L::kFrame, contentTop, clientWidth, contentHeight);
    contentScrollBox->SetBorderStyle(bsNone);
    // A line (the wheel's step) is a tenth of nine tenths of the view, whatever its height.
    contentScrollBox->VertScrollBar()->SetSmooth(true);
    logoBigImage = make<controls::Image>(this, contentScrollBox, 0, 0, L::kLogoBigWidth, L::kLogoBigHeight);
    startSavingTextImage = make<controls::Image>(this, contentScrollBox, L::kStartTextLeft, L::kStartTextTop,
                                                 L::kStartTextWidth, L::kStartTextHeight);
    contentScrollBoxPatternImage0 = makePattern(this, skin::contentPattern0);
    contentScrollBoxPatternImage1 = makePattern(this, skin::contentPattern1);
    contentScrollBoxPatternImage2 = makePattern(this, skin::contentPattern2);
    contentScrollBoxPatternImage3 = makePattern(this, skin::contentPattern3);
    bottomScrollBoxPatternImage0 = makePattern(this, skin::contentPattern0);
    bottomScrollBoxPatternImage1 = makePattern(this, skin::contentPattern1);
    bottomScrollBoxPatternImage2 = makePattern(this, skin::contentPattern2);
    bottomScrollBoxPatternImage3 = makePattern(this, skin::contentPattern3);
    downloadProgressPanelPatternImage = makePattern(this, skin::progressPattern);

    // ---- full-size view side panels (placed by the view)
    closeSlideshowImagePanel = makePanel(this, this, 0, 0, 0, 0, clBlack);
    leftSlideshowImagePanel = makePanel(this, this, 0, 0, 0, 0, clBlack);
    rightSlideshowImagePanel = makePanel(this, this, 0, 0, 0, 0, clBlack);
    for (TControl* panel : {closeSlideshowImagePanel, leftSlideshowImagePanel, rightSlideshowImagePanel})
        panel->SetVisible(false);
    closeSlideshowImageButton = make<ImageButton>(this, closeSlideshowImagePanel, 0, 0,
                                                  L::kCloseSlideshowButtonSize, L::kCloseSlideshowButtonSize);
    leftSlideshowImageButton = make<ImageButton>(this, leftSlideshowImagePanel, 0, 0, L::kSlideshowButtonSize,
                                                 L::kSlideshowButtonSize);
    rightSlideshowImageButton = make<ImageButton>(this, rightSlideshowImagePanel, 0, 0,
                                                  L::kSlideshowButtonSize, L::kSlideshowButtonSize);

    // ---- bottom area
    const int bottomTop = L::kStartHeight - L::kFrame - L::kBottomPanelHeight;
    bottomPanel = makePanel(this, this, L::kFrame, bottomTop, clientWidth, L::kBottomPanelHeight, clBlack);
    downloadImageButton =
        make<ImageButton>(this, bottomPanel, 0, 0, L::kBottomButtonWidth, L::kBottomButtonHeight);
    downloadZipImageButton =
        make<ImageButton>(this, bottomPanel, 0, 0, L::kBottomButtonWidth, L::kBottomButtonHeight);
    printImageButton =
        make<ImageButton>(this, bottomPanel, 0, 0, L::kBottomButtonWidth, L::kBottomButtonHeight);
    infoLogoImageButton = make<ImageButton>(this, bottomPanel, 0, 0, L::kInfoButtonSize, L::kInfoButtonSize);
    downloadPanel =
        makePanel(this, bottomPanel, 0, L::kDownloadPanelTop, 0, L::kDownloadPanelHeight, clBlack);
    downloadPanel->SetVisible(false);
    downloadInnerPanel = makePanel(this, downloadPanel, 1, 1, 0, L::kDownloadPanelHeight - 2, clBlack);
    downloadProgressShape = make<TShape>(this, downloadInnerPanel, -1, -1, 0, L::kDownloadPanelHeight - 1);
    downloadProgressPercent = make<TLabel>(this, downloadInnerPanel, 0, 0, 0, 0);
    closeDownloadImageButton = make<ImageButton>(this, bottomPanel, 0, L::kStopJobButtonTop,
                                                 L::kStopJobButtonSize, L::kStopJobButtonSize);
    closeDownloadImageButton->SetVisible(false);
    bottomScrollBox = make<TScrollBox>(this, this, L::kFrame, bottomTop, clientWidth, L::kBottomPanelHeight);
    bottomScrollBox->SetBorderStyle(bsNone);
    infoLogoBigImageButton =
        make<ImageButton>(this, bottomScrollBox, 0, 0, L::kInfoBigButtonSize, L::kInfoBigButtonSize);

    // ---- timers and application events
    checkUpdateTimer = new TTimer(this);
    formDeactivateTimer = new TTimer(this);
    slideshowTimer = new TTimer(this);
    hideDownloadProgressTimer = new TTimer(this);
    pageDownloaderErrorRetryTimer = new TTimer(this);
    thumbnailsDownloaderErrorRetryTimer = new TTimer(this);
    photosDownloaderErrorRetryTimer = new TTimer(this);
    printDownloaderErrorRetryTimer = new TTimer(this);
    thumbnailArrivalsTimer = new TTimer(this);
    for (TTimer* timer : formTimers())
        timer->SetEnabled(false);
    thumbnailArrivalsTimer->SetOnTimer([this](TObject*) { showThumbnailArrivals(); });
    formDeactivateTimer->SetOnTimer([this](TObject* sender) { formDeactivateTimerTimer(sender); });
    applicationEvents = new TApplicationEvents(this);
    applicationEvents->OnRestore = [this](TObject* sender) { applicationEventsRestore(sender); };
    applicationEvents->OnDeactivate = [this](TObject* sender) { applicationEventsDeactivate(sender); };

    // ---- the info menu
    infoPopupMenu = new TPopupMenu(this);
    infoPopupMenu->SetAlignment(paRight);
    TMenuItem* root = infoPopupMenu->Items();
    showCaptionsAsThumbnailTooltipsMenuItem =
        addItem(this, root, L"Show Captions as Thumbnail Tooltips", true, false, 0,
                &TForm1::showCaptionsAsThumbnailTooltipsMenuItemClick);
    showThumbnailShadowsMenuItem = addItem(this, root, L"Show Thumbnail Shadows", true, false, 0,
                                           &TForm1::showThumbnailShadowsMenuItemClick);
    showFullSizeWhenThumbnailClickingMenuItem =
        addItem(this, root, L"Show Full Size When Thumbnail Clicking", true, true, 0,
                &TForm1::showFullSizeWhenThumbnailClickingMenuItemClick);
    selectWhenThumbnailClickingMenuItem = addItem(this, root, L"Select When Thumbnail Clicking", false, true,
                                                  0, &TForm1::selectWhenThumbnailClickingMenuItemClick);
    N3 = addItem(this, root, L"-", false, false, 1, nullptr);
    anyWordCanMatchMenuItem = addItem(this, root, L"Any Word Can Match When Searching", true, true, 1,
                                      &TForm1::anyWordCanMatchMenuItemClick);
    allWordsMustMatchMenuItem = addItem(this, root, L"All Words Must Match When Searching", false, true, 1,
                                        &TForm1::allWordsMustMatchMenuItemClick);
    clearSearchWhenChangingUsernameMenuItem =
        addItem(this, root, L"Clear Search When Changing Username", true, false, 1,
                &TForm1::clearSearchWhenChangingUsernameMenuItemClick);
    N1 = addItem(this, root, L"-", false, false, 1, nullptr);
    slowSlideshowMenuItem =
        addItem(this, root, L"Slow Slideshow", false, true, 2, &TForm1::slowSlideshowMenuItemClick);
    moderateSlideshowMenuItem =
        addItem(this, root, L"Moderate Slideshow", true, true, 2, &TForm1::moderateSlideshowMenuItemClick);
    fastSlideshowMenuItem =
        addItem(this, root, L"Fast Slideshow", false, true, 2, &TForm1::fastSlideshowMenuItemClick);
    slideshowOverlayMenuItem = addItem(this, root, L"Slideshow Overlay", false, false, 2, nullptr);
    TMenuItem* overlay = slideshowOverlayMenuItem;
    transparentOverlayMenuItem =
        addItem(this, overlay, L"Transparent", false, true, 0, &TForm1::transparentOverlayMenuItemClick);
    extraExtraLightOverlayMenuItem = addItem(this, overlay, L"Extra Extra Light", false, true, 0,
                                             &TForm1::extraExtraLightOverlayMenuItemClick);
    extraLightOverlayMenuItem =
        addItem(this, overlay, L"Extra Light", false, true, 0, &TForm1::extraLightOverlayMenuItemClick);
    veryLightOverlayMenuItem =
        addItem(this, overlay, L"Very Light", false, true, 0, &TForm1::veryLightOverlayMenuItemClick);
    mediumLightOverlayMenuItem =
        addItem(this, overlay, L"Medium Light", false, true, 0, &TForm1::mediumLightOverlayMenuItemClick);
    lightOverlayMenuItem =
        addItem(this, overlay, L"Light", false, true, 0, &TForm1::lightOverlayMenuItemClick);
    darkOverlayMenuItem = addItem(this, overlay, L"Dark", true, true, 0, &TForm1::darkOverlayMenuItemClick);
    mediumDarkOverlayMenuItem =
        addItem(this, overlay, L"Medium Dark", false, true, 0, &TForm1::mediumDarkOverlayMenuItemClick);
    veryDarkOverlayMenuItem =
        addItem(this, overlay, L"Very Dark", false, true, 0, &TForm1::veryDarkOverlayMenuItemClick);
    extraDarkOverlayMenuItem =
        addItem(this, overlay, L"Extra Dark", false, true, 0, &TForm1::extraDarkOverlayMenuItemClick);
    extraExtraDarkOverlayMenuItem = addItem(this, overlay, L"Extra Extra Dark", false, true, 0,
                                            &TForm1::extraExtraDarkOverlayMenuItemClick);
    blackOverlayMenuItem =
        addItem(this, overlay, L"Black", false, true, 0, &TForm1::blackOverlayMenuItemClick);
    N4 = addItem(this, root, L"-", false, false, 2, nullptr);
    removeUsernamesMenuItem =
        addItem(this, root, L"Remove Usernames...", false, false, 2, &TForm1::removeUsernamesMenuItemClick);
    temporaryFolderMenuItem =
        addItem(this, root, L"Temporary Folder...", false, false, 2, &TForm1::temporaryFolderMenuItemClick);
    N2 = addItem(this, root, L"-", false, false, 2, nullptr);
    checkForUpdatesMenuItem =
        addItem(this, root, L"Check for Updates", false, false, 2, &TForm1::checkForUpdatesMenuItemClick);
    sendFeedbackMenuItem =
        addItem(this, root, L"Send Feedback...", false, false, 2, &TForm1::sendFeedbackMenuItemClick);
    aboutPixhaulMenuItem =
        addItem(this, root, L"About Pixhaul...", false, false, 2, &TForm1::aboutPixhaulMenuItemClick);
}

void TForm1::applySkin() {
    auto hook = [this](ImageButton* button) {
        button->SetMouseHookInfo(&pressedButton, &mouseHookHandle, mouseHookProc, topPanel);
    };

    // Top area.
    topPanel->SetBounds(L::kFrame, L::kFrame, topPanel->Width(), L::kTopPanelHeight);
    topPanel->SetColor(L::kAccentColor);
    logoImage->SetBounds(L::kLogoLeft, L::kLogoTop, L::kLogoWidth, L::kLogoHeight);
    logoImage->setTransparent(true);
    logoImage->setImageResourceId(skin::logoSmall);
    userNameListBox->Font()->SetColor(L::kTypedTextColor);
    userNameListBox->Items()->Clear();
    userNameEditPanel->SetColor(clWhite);
    topPanel->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        topPanelMouseDown(s, b, sh, x, y);
    };
    topPanel->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        topPanelMouseUp(s, b, sh, x, y);
    };
    logoImage->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        logoImageMouseDown(s, b, sh, x, y);
    };
    logoImage->OnMouseUp = topPanel->OnMouseUp;

    // Picture buttons of the title area.
    setFaces(minimizeImageButton, skin::minimizeButton);
    setFaces(maximizeImageButton, skin::maximizeButton);
    setFaces(closeImageButton, skin::closeButton);
    setFaces(userNameArrowDownImageButton, skin::historyArrow);
    for (ImageButton* button : {minimizeImageButton, maximizeImageButton, closeImageButton})
        button->SetTop(0);
    for (ImageButton* button :
         {minimizeImageButton, maximizeImageButton, closeImageButton, userNameArrowDownImageButton})
        hook(button);
    userNameArrowDownImageButton->setKeepFocusedControl(userNameEdit);
    minimizeImageButton->OnBtnClick = [this](TObject* s) { minimizeImageButtonBtnClick(s); };
    maximizeImageButton->OnBtnClick = [this](TObject* s) { maximizeImageButtonBtnClick(s); };
    closeImageButton->OnBtnClick = [this](TObject* s) { closeImageButtonBtnClick(s); };

    // The user-name box.
    userNamePanel->SetBounds(L::kUserNamePanelLeft, (topPanel->Height() - L::kUserNamePanelHeight) / 2,
                             userNamePanel->Width(), L::kUserNamePanelHeight);
    userNameLeftTopImage->setImageResourceId(skin::nameFrameLeftTop);
    userNameRightTopImage->setImageResourceId(skin::nameFrameRightTop);
    userNameLeftBottomImage->setImageResourceId(skin::nameFrameLeftBottom);
    userNameRightBottomImage->setImageResourceId(skin::nameFrameRightBottom);
    userNameTopImage->setImageResourceId(skin::nameFrameTop);
    userNameBottomImage->setImageResourceId(skin::nameFrameBottom);
    userNameLeftImage->setImageResourceId(skin::nameFrameLeft);
    userNameRightImage->setImageResourceId(skin::nameFrameRight);
    userNameProgressPiePanel->SetColor(clWhite);
    userNameProgressPiePanel->SetBounds(userNameProgressPiePanel->Left(), userNameProgressPiePanel->Top(),
                                        userNameProgressPie->Width(), userNameProgressPie->Height());
    userNameProgressPiePanel->SetDoubleBuffered(true);
    userNameProgressPiePanel->SetVisible(false);
    userNameProgressPie->FSetProgressColor(L::kAccentColor);
    userNameImageButton->SetTop(userNamePanel->Top() + 1);
    setFaces(userNameImageButton, skin::startButton);
    hook(userNameImageButton);
    userNameImageButton->setKeepFocusedControl(userNameEdit);
    userNameImageButton->SetTag(0);

    // The grid background and its overlay.
    gui::TImage* patterns[4] = {contentScrollBoxPatternImage0, contentScrollBoxPatternImage1,
                                contentScrollBoxPatternImage2, contentScrollBoxPatternImage3};
    for (int i = 0; i < 4; ++i) {
        contentPatternBrushes[i] = std::make_unique<TBrush>();
        contentPatternBrushes[i]->SetBitmap(patterns[i]->Picture()->Bitmap());
        contentScrollBox->patternBrushes[i] = contentPatternBrushes[i].get();
    }
    contentScrollBox->SetShowHint(showCaptionsAsThumbnailTooltipsMenuItem->Checked());
    overlayImage = new controls::Image(contentScrollBox);
    overlayImage->SetParent(contentScrollBox);
    overlayImage->SetVisible(false);
    overlayImage->setTransparent(true);
    applyOverlayLevel();

    // Start screen.
    startSavingTextImage->SetBounds(L::kStartTextLeft, L::kStartTextTop, L::kStartTextWidth,
                                    L::kStartTextHeight);
    startSavingTextImage->setTransparent(true);
    startSavingTextImage->setImageResourceId(skin::startSavingText);
    logoBigImage->setTransparent(true);
    logoBigImage->setImageResourceId(skin::logoBig);

    // Toolbar.
    toolbarPanel->SetColor(clBlack);
    toolbarPanel->SetHeight(L::kToolbarHeight);
    searchEditPanel->SetColor(L::kSearchPanelColor);
    selectAllImageButton->SetBounds(L::kSelectAllLeft, L::kToolbarButtonTop, selectAllImageButton->Width(),
                                    selectAllImageButton->Height());
    setFaces(selectAllImageButton, skin::selectAllButton);
    unselectAllImageButton->SetBounds(
        selectAllImageButton->Left() + selectAllImageButton->Width() + L::kToolbarButtonGap,
        L::kToolbarButtonTop, unselectAllImageButton->Width(), unselectAllImageButton->Height());
    setFaces(unselectAllImageButton, skin::unselectAllButton);
    slideShowImageButton->SetBounds(
        unselectAllImageButton->Left() + unselectAllImageButton->Width() + L::kToolbarButtonGap,
        L::kToolbarButtonTop, slideShowImageButton->Width(), slideShowImageButton->Height());
    setFaces(slideShowImageButton, skin::slideshowButton);
    for (ImageButton* button : {selectAllImageButton, unselectAllImageButton, slideShowImageButton})
        hook(button);
    searchPanel->SetBounds(searchPanel->Left(), (toolbarPanel->Height() - L::kSearchPanelHeight) / 2,
                           L::kSearchPanelWidth, L::kSearchPanelHeight);
    searchLeftTopImage->setImageResourceId(skin::searchFrameLeftTop);
    searchRightTopImage->setImageResourceId(skin::searchFrameRightTop);
    searchLeftBottomImage->setImageResourceId(skin::searchFrameLeftBottom);
    searchRightBottomImage->setImageResourceId(skin::searchFrameRightBottom);
    searchTopImage->setImageResourceId(skin::searchFrameTop);
    searchBottomImage->setImageResourceId(skin::searchFrameBottom);
    searchLeftImage->setImageResourceId(skin::searchFrameLeft);
    searchRightImage->setImageResourceId(skin::searchFrameRight);
    searchPanelResize(searchPanel);
    resizeImage->SetTop((toolbarPanel->Height() - resizeImage->Height()) / 2);
    resizeImage->setTransparent(true);
    resizeImage->setImageResourceId(skin::sizeSliderTrack);
    resizeThumbImageButton->SetBounds(resizeImage->Left() + (resizeImage->Width() - L::kSliderKnobSize) / 2,
                                      resizeImage->Top() + (resizeImage->Height() - L::kSliderKnobSize) / 2,
                                      L::kSliderKnobSize, L::kSliderKnobSize);
    resizeThumbImageButton->setTransparent(true);
    setFaces(resizeThumbImageButton, skin::sizeSliderKnob);
    hook(resizeThumbImageButton);
    // The slider follows the pointer from where it was pressed.
    resizeThumbImageButton->OnBtnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) {
        dragAnchor = pressPoint();
        rememberScrollAnchor();
    };
    resizeThumbImageButton->BringToFront();

    // Bottom area.
    bottomPanel->SetColor(clBlack);
    bottomPanel->SetHeight(L::kBottomPanelHeight);
    downloadImageButton->SetTop(L::kBottomButtonTop);
    setFaces(downloadImageButton, skin::downloadButton);
    downloadZipImageButton->SetTop(L::kBottomButtonTop);
    setFaces(downloadZipImageButton, skin::downloadZipButton);
    printImageButton->SetTop(L::kBottomButtonTop);
    setFaces(printImageButton, skin::printButton);
    infoLogoImageButton->SetTop(L::kInfoButtonTop);
    setFaces(infoLogoImageButton, skin::infoButton);
    infoLogoBigImageButton->SetTop(L::kInfoBigButtonTop);
    infoLogoBigImageButton->setTransparent(true);
    setFaces(infoLogoBigImageButton, skin::infoBigButton);
    bottomScrollBox->Brush()->SetBitmap(bottomScrollBoxPatternImage0->Picture()->Bitmap());
    downloadPanel->SetTop(L::kDownloadPanelTop);
    downloadProgressShape->Brush()->SetBitmap(downloadProgressPanelPatternImage->Picture()->Bitmap());
    closeDownloadImageButton->SetTop(L::kStopJobButtonTop);
    closeDownloadImageButton->setTransparent(true);
    setFaces(closeDownloadImageButton, skin::stopJobButton);
    setFaces(closeSlideshowImageButton, skin::closeViewButton);
    setFaces(leftSlideshowImageButton, skin::previousButton);
    setFaces(rightSlideshowImageButton, skin::nextButton);
    for (ImageButton* button :
         {downloadImageButton, downloadZipImageButton, printImageButton, infoLogoImageButton,
          infoLogoBigImageButton, closeDownloadImageButton, closeSlideshowImageButton,
          leftSlideshowImageButton, rightSlideshowImageButton})
        hook(button);
    for (TPanel* panel : {closeSlideshowImagePanel, leftSlideshowImagePanel, rightSlideshowImagePanel})
        panel->SetColor(clBlack);
    infoLogoImageButton->OnBtnClick = [this](TObject* s) { infoLogoImageButtonBtnClick(s); };
    infoLogoBigImageButton->OnBtnClick = [this](TObject* s) { infoLogoImageButtonBtnClick(s); };
    closeDownloadImageButton->OnBtnClick = [this](TObject* s) { closeDownloadImageButtonBtnClick(s); };
    bindUserNameBox();
    bindSearchBox();
    bindSelectionButtons();
    bindKeys();
    bindTileHints();
    bindJobButtons();
    bindSlideshowButtons();
}

void TForm1::placeFramePieces(TWinControl* panel, int piece, std::initializer_list<controls::Image*> pieces) {
    // Corners, then the stretched edges, in the order left-top, right-top, left-bottom,
    // right-bottom, top, bottom, left, right.
    const int w = panel->Width();
    const int h = panel->Height();
    const RECT places[8] = {
        {0, 0, piece, piece},         {w - piece, 0, w, piece},         {0, h - piece, piece, h},
        {w - piece, h - piece, w, h}, {piece, 0, w - piece, piece},     {piece, h - piece, w - piece, h},
        {0, piece, piece, h - piece}, {w - piece, piece, w, h - piece},
    };
    int i = 0;
    for (controls::Image* image : pieces) {
        image->SetBoundsRect(places[i]);
        image->SendToBack();
        ++i;
    }
}

void TForm1::placeUserNameBox() {
    const int w = userNamePanel->Width();
    const int h = userNamePanel->Height();
    placeFramePieces(
        userNamePanel, L::kUserNameFramePiece,
        {userNameLeftTopImage, userNameRightTopImage, userNameLeftBottomImage, userNameRightBottomImage,
         userNameTopImage, userNameBottomImage, userNameLeftImage, userNameRightImage});
    const int left = userNameLeftImage->Width();
    const int top = userNameTopImage->Height();
    const int right = userNameRightImage->Width();
    const int bottom = userNameBottomImage->Height();
    TControl* arrow = userNameArrowDownImageButton;
    const int arrowLeft = w - (right + arrow->Width());
    arrow->SetBounds(arrowLeft, (h - (top + arrow->Height() + bottom)) / 2 + top, arrow->Width(),
                     arrow->Height());
    arrow->BringToFront();
    // The edit takes the pie's place while the pie is hidden.
    TControl* pie = userNameProgressPiePanel;
    const int pieSpace = pie->Visible() ? pie->Width() + L::kUserNamePieGap : 0;
    userNameEditPanel->SetBounds(left, top, std::max(0, w - (right + arrow->Width() + pieSpace) - left),
                                 std::max(0, h - bottom - top));
    const int panelHeight = userNameEditPanel->Height();
    userNameEdit->SetBounds(L::kUserNameTextLeft, (panelHeight - L::kUserNameTextHeight) / 2 + 2,
                            std::max(0, userNameEditPanel->Width() - 5), L::kUserNameTextHeight);
    pie->SetBounds(arrowLeft - pie->Width() - L::kUserNamePieGap, (panelHeight - pie->Height()) / 2 + 1,
                   pie->Width(), pie->Height());
}

void TForm1::setPhotoViewVisible(bool visible) {
    for (TControl* control :
         std::initializer_list<TControl*>{toolbarPanel, bottomPanel, downloadImageButton,
                                          downloadZipImageButton, printImageButton, infoLogoImageButton})
        control->SetVisible(visible);
    for (TControl* control :
         std::initializer_list<TControl*>{startSavingTextImage, logoBigImage, bottomScrollBox})
        control->SetVisible(!visible);
    invalidateFrame();
}

void TForm1::FormResize(TObject*) {
    if (!topPanel)
        return;
    invalidateFrame();
    for (TWinControl* control :
         std::initializer_list<TWinControl*>{topPanel, userNamePanel, userNameEditPanel, userNameEdit})
        control->SetDoubleBuffered(true);
    const int m = frameInset(this);
    topPanel->SetBounds(m, m, ClientWidth() - 2 * m, topPanel->Height());
    userNamePanel->SetWidth(
        std::max(0, topPanel->Width() - userNamePanel->Left() - L::kUserNamePanelRightSpace));
    placeUserNameBox();
    userNameImageButton->SetLeft(userNamePanel->Left() + userNamePanel->Width() + L::kUserNameButtonGap);
    minimizeImageButton->SetLeft(topPanel->ClientWidth() - L::kMinimizeFromRight);
    maximizeImageButton->SetLeft(topPanel->ClientWidth() - L::kMaximizeFromRight);
    closeImageButton->SetLeft(topPanel->ClientWidth() - L::kCloseFromRight);
    topPanel->Update();
    for (TWinControl* control :
         std::initializer_list<TWinControl*>{topPanel, userNamePanel, userNameEditPanel, userNameEdit})
        control->SetDoubleBuffered(false);
    layoutPanels(toolbarPanel->Visible(), bottomPanel->Visible() || bottomScrollBox->Visible());
}

void TForm1::layoutPanels(bool showToolbar, bool showBottomPanel) {
    const int m = frameInset(this);
    const int width = ClientWidth() - 2 * m;
    for (TWinControl* control :
         std::initializer_list<TWinControl*>{toolbarPanel, contentScrollBox, bottomPanel, bottomScrollBox})
        control->SetDoubleBuffered(true);

    // Toolbar.
    const int topBottom = topPanel->Top() + topPanel->Height();
    toolbarPanel->SetBounds(m, topBottom, width, toolbarPanel->Height());
    const int knobOffset = resizeThumbImageButton->Left() - resizeImage->Left();
    resizeImage->SetLeft(toolbarPanel->Width() - resizeImage->Width() - L::kSliderRightSpace);
    resizeThumbImageButton->SetLeft(resizeImage->Left() + knobOffset);
    searchPanel->SetLeft(resizeImage->Left() - searchPanel->Width() - L::kSearchToSliderGap);
    const int unselectRight = unselectAllImageButton->Left() + unselectAllImageButton->Width();
    slideShowImageButton->SetLeft(unselectRight +
                                  (searchPanel->Left() - unselectRight - slideShowImageButton->Width()) / 2);
    toolbarPanel->Update();
    toolbarPanel->SetDoubleBuffered(false);

    // Content and bottom areas; the one that shrinks goes first so no stale strip shows.
    const int contentTop = topBottom + (showToolbar ? toolbarPanel->Height() : 0);
    const int bottomHeight = showBottomPanel ? bottomPanel->Height() : 0;
    const int contentHeight = std::max(0, ClientHeight() - bottomHeight - contentTop - m);
    auto placeBottom = [&] {
        bottomPanel->SetBounds(m, contentTop + contentHeight, width, bottomPanel->Height());
        bottomScrollBox->SetBoundsRect(bottomPanel->BoundsRect());
    };
    auto placeContent = [&] {
        contentScrollBox->SetBounds(m, contentTop, width, contentHeight);
        placeContentScrollBar();
    };
    if (contentHeight < contentScrollBox->Height()) {
        placeBottom();
        placeContent();
    } else {
        placeContent();
        placeBottom();
    }

    // Bottom buttons.
    downloadZipImageButton->SetLeft((bottomPanel->Width() - downloadZipImageButton->Width()) / 2);
    downloadImageButton->SetLeft(downloadZipImageButton->Left() - L::kBottomButtonGap -
                                 downloadImageButton->Width());
    printImageButton->SetLeft(downloadZipImageButton->Left() + downloadZipImageButton->Width() +
                              L::kBottomButtonGap);
    if (downloadPanel->Visible())
        showDownloadProgress(true, downloadProgressFraction);
    infoLogoImageButton->SetLeft(bottomPanel->Width() - infoLogoImageButton->Width() -
                                 L::kInfoButtonRightSpace);

    // The start screen's bottom area continues the content's pattern.
    bottomScrollBox->Invalidate();
    const int patternHeight = bottomScrollBoxPatternImage0->Picture()->Bitmap()->Height();
    if (patternHeight > 0) {
        gui::TImage* phases[4] = {bottomScrollBoxPatternImage0, bottomScrollBoxPatternImage1,
                                  bottomScrollBoxPatternImage2, bottomScrollBoxPatternImage3};
        const int phase = (bottomScrollBox->Top() - contentScrollBox->Top()) % patternHeight;
        if (phase >= 0 && phase < 4)
            bottomScrollBox->Brush()->SetBitmap(phases[phase]->Picture()->Bitmap());
    }
    infoLogoBigImageButton->SetBounds(
        (bottomScrollBox->ClientWidth() - infoLogoBigImageButton->Width()) / 2,
        (bottomScrollBox->ClientHeight() - infoLogoBigImageButton->Height()) / 2,
        infoLogoBigImageButton->Width(), infoLogoBigImageButton->Height());
    bottomPanel->Update();
    bottomScrollBox->Update();
    bottomPanel->SetDoubleBuffered(false);
    bottomScrollBox->SetDoubleBuffered(false);

    centerLogoBigImage();
    layoutGrid();
}

void TForm1::centerLogoBigImage() {
    logoBigImage->SetBounds((contentScrollBox->ClientWidth() - logoBigImage->Width()) / 2,
                            (contentScrollBox->ClientHeight() - logoBigImage->Height()) / 2,
                            logoBigImage->Width(), logoBigImage->Height());
}

void TForm1::maximizeToWorkArea() {
    SetWindowState(wsMaximized);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (ClientWidth() >= screenWidth && ClientHeight() >= screenHeight)
        keepTaskbarFree();
}

void TForm1::keepTaskbarFree() {
    if (!FindWindowW(L"Shell_TrayWnd", nullptr))
        return;
    APPBARDATA data{};
    data.cbSize = sizeof(data);
    if (!SHAppBarMessage(ABM_GETTASKBARPOS, &data))
        return;
    frame::Rect taskbar{data.rc.left, data.rc.top, data.rc.right, data.rc.bottom};
    if (!frame::usableTaskbar(taskbar))
        return;
    frame::Bounds b =
        frame::boundsBesideTaskbar(taskbar, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    SetBounds(b.left, b.top, b.width, b.height);
}

void TForm1::toggleMaximized() {
    rememberScrollAnchor();
    if (WindowState() == wsMaximized)
        SetWindowState(wsNormal);
    else
        maximizeToWorkArea();
    resetScrollAnchor();
}

void TForm1::maximizeImageButtonBtnClick(TObject*) {
    toggleMaximized();
}

void TForm1::minimizeImageButtonBtnClick(TObject*) {
    Application->Minimize();
}

void TForm1::closeImageButtonBtnClick(TObject*) {
    Close();
}

void TForm1::applicationEventsRestore(TObject*) {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (ClientWidth() >= screenWidth && ClientHeight() >= screenHeight)
        keepTaskbarFree();
}

void TForm1::topPanelMouseUp(TObject* sender, TMouseButton button, TShiftState, int x, int y) {
    if (button != mbLeft)
        return;
    const DWORD now = GetTickCount();
    // The release point on the screen (the logo shares this handler with its own coordinates).
    auto* control = dynamic_cast<TControl*>(sender);
    const POINT p = (control ? control : topPanel)->ClientToScreen(POINT{x, y});
    if (frame::isDoubleClick(lastClickPanel, frame::Point{lastClickPoint.x, lastClickPoint.y}, lastClickTime,
                             topPanel, frame::Point{p.x, p.y}, now, GetDoubleClickTime())) {
        endMouseHook();
        toggleMaximized();
    }
    lastClickPanel = topPanel;
    lastClickPoint = p;
    lastClickTime = now;
}

void TForm1::FormDeactivate(TObject*) {
    closeHistoryDropDown();
    if (!formDeactivateTimer->Enabled()) {
        formDeactivateTimer->SetInterval(170);
        formDeactivateTimer->SetEnabled(true);
    }
}

void TForm1::applicationEventsDeactivate(TObject* sender) {
    FormDeactivate(sender);
}

void TForm1::formDeactivateTimerTimer(TObject*) {
    formDeactivateTimer->SetEnabled(false);
    if (Active() && Application->Active())
        return;
    POINT p{};
    GetCursorPos(&p);
    if (contentScrollBox->HandleAllocated() && WindowFromPoint(p) == contentScrollBox->Handle())
        return;
    clearTileHover();
}

void TForm1::updateUserNameEditText() {
    const bool loading = loadRunning(loadState) || loadState == LoadState::starting;
    if (loading && !currentUserName.empty()) {
        userNameEdit->Font()->SetColor(L::kGreyTextColor);
        userNameEdit->SetText(loadingText(currentUserName, totalMediaCount));
    } else if (currentUserName.empty()) {
        userNameEdit->Font()->SetColor(L::kGreyTextColor);
        userNameEdit->SetText(L"Enter Instagram username or link");
    } else {
        userNameEdit->Font()->SetColor(L::kTypedTextColor);
        userNameEdit->SetText(currentUserName);
    }
}

std::wstring TForm1::loadingText(const std::wstring& userName, int totalCount) {
    // A count of -1 means the profile gave none.
    if (totalCount > 0)
        return L"Loading " + userName + L"'s thumbnails (" + std::to_wstring(totalCount) + L" total)...";
    return L"Loading " + userName + L"'s thumbnails...";
}
