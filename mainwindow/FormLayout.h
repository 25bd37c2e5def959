#pragma once
// The main window's sizes in one table. Positions that the layout code derives at run time
// (centring, right alignment) are computed from these; sizes of pictures match the skin's.
namespace formlayout {

// ---- the window
constexpr int kStartWidth = 1143;
constexpr int kStartHeight = 865;
constexpr int kMinWidth = 1024;
constexpr int kFrame = 3;        // width of the drawn border
constexpr int kCornerBand = 20;  // a press this close to two edges resizes the corner
constexpr int kFolderDialogWidth = 440;
constexpr int kFolderDialogHeight = 400;

// ---- top area
constexpr int kTopPanelHeight = 85;
constexpr int kLogoLeft = 49;
constexpr int kLogoTop = 21;
constexpr int kLogoWidth = 170;
constexpr int kLogoHeight = 43;
constexpr int kUserNamePanelLeft = 246;
constexpr int kUserNamePanelHeight = 29;
constexpr int kUserNamePanelRightSpace = 257;  // topPanel width - userNamePanel right
constexpr int kUserNameFramePiece = 4;         // corner pieces of the box frame, square
constexpr int kUserNameEditLeft = 8;           // inside userNamePanel
constexpr int kUserNameEditTop = 4;
constexpr int kUserNameEditHeight = 21;
constexpr int kUserNameEditTextTop = 3;  // userNameEdit inside userNameEditPanel
constexpr int kUserNameTextLeft = 4;     // userNameEdit inside userNameEditPanel once laid out
constexpr int kUserNameTextHeight = 18;
constexpr int kUserNamePieGap = 3;  // from the pie to the arrow button, and from the edit panel to the pie
constexpr int kHistoryArrowWidth = 24;
constexpr int kHistoryArrowHeight = 21;
constexpr int kProgressPieSize = 19;
constexpr int kUserNameButtonGap = 6;  // between the box and the start button
constexpr int kUserNameButtonWidth = 88;
constexpr int kUserNameButtonHeight = 27;
constexpr int kWindowButtonWidth = 23;
constexpr int kWindowButtonHeight = 22;
constexpr int kMinimizeFromRight = 69;
constexpr int kMaximizeFromRight = 46;
constexpr int kCloseFromRight = 23;
constexpr int kHistoryRowHeight = 15;
constexpr int kHistoryMaxRows = 8;

// ---- toolbar
constexpr int kToolbarHeight = 60;
constexpr int kToolbarButtonTop = 12;
constexpr int kSelectAllLeft = 50;
constexpr int kToolbarButtonGap = 15;
constexpr int kSelectButtonWidth = 126;
constexpr int kSlideshowButtonWidth = 150;
constexpr int kToolbarButtonHeight = 36;
constexpr int kSearchPanelWidth = 180;
constexpr int kSearchPanelHeight = 28;
constexpr int kSearchFramePiece = 4;
constexpr int kSearchEditLeft = 8;
constexpr int kSearchEditTop = 6;
constexpr int kSearchEditHeight = 16;
constexpr int kSearchEditInset = 3;  // the edit's left edge inside its panel
constexpr int kSearchToSliderGap = 40;
constexpr int kSliderTrackWidth = 200;
constexpr int kSliderTrackHeight = 20;
constexpr int kSliderRightSpace = 50;
constexpr int kSliderKnobSize = 18;
constexpr int kSliderInset = 20;  // the knob stays this far inside both ends of the track

// ---- thumbnail size
constexpr int kThumbnailMin = 150;
constexpr int kThumbnailRange = 156;  // the largest is kThumbnailMin + kThumbnailRange

// ---- start screen
constexpr int kStartTextLeft = 219;
constexpr int kStartTextTop = 10;
constexpr int kStartTextWidth = 520;
constexpr int kStartTextHeight = 54;
constexpr int kLogoBigWidth = 400;
constexpr int kLogoBigHeight = 104;

// ---- bottom area
constexpr int kBottomPanelHeight = 86;
constexpr int kBottomButtonTop = 18;
constexpr int kBottomButtonWidth = 176;
constexpr int kBottomButtonHeight = 50;
constexpr int kBottomButtonGap = 25;
constexpr int kInfoButtonTop = 28;
constexpr int kInfoButtonSize = 30;
constexpr int kInfoButtonRightSpace = 34;
constexpr int kInfoBigButtonTop = 22;
constexpr int kInfoBigButtonSize = 42;
constexpr int kDownloadPanelTop = 18;
constexpr int kDownloadPanelHeight = 50;
constexpr int kStopJobButtonTop = 18;
constexpr int kStopJobButtonSize = 50;

// ---- full-size view side panels
constexpr int kSlideshowButtonSize = 44;
constexpr int kCloseSlideshowButtonSize = 40;

// ---- the smallest window that still holds the three panels
constexpr int kMinHeight = kFrame + kTopPanelHeight + kToolbarHeight + kBottomPanelHeight + kFrame;

// ---- colours (COLORREF)
constexpr int kAccentColor = 0xEFAE00;
constexpr int kTypedTextColor = 0x303335;
constexpr int kGreyTextColor = 0x7C7C82;
constexpr int kFrameGreyColor = 0x2F3234;
constexpr int kSearchPanelColor = 0xDEDEE6;

}  // namespace formlayout
