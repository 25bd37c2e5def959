#include "GalleryForm.h"

#include "GalleryLayout.h"
#include "IconView.h"
#include "SkinCatalogue.h"
#include "controls/Image.h"
#include "controls/ProgressPie.h"
#include "controls/ResourceImage.h"
#include "resources/SkinIds.h"

#include <algorithm>

namespace gallery {

namespace {

constexpr gui::TColor kAccent = 0xEFAE00;
constexpr gui::TColor kText = 0x303335;
constexpr gui::TColor kGrey = 0x7C7C82;
constexpr gui::TColor kBlack = 0x000000;
constexpr gui::TColor kWhite = 0xFFFFFF;
constexpr gui::TColor kLightInk = 0xEBE9E8;

// Picture cells of the skin sheet: large pictures are scaled down into this box, tiny ones
// (patterns, frame pieces, overlay levels) are repeated over a square of kTinyCell.
constexpr int kMaxCellWidth = 132;
constexpr int kMaxCellHeight = 52;
constexpr int kTinyLimit = 8;
constexpr int kTinyCell = 28;

SIZE fitCell(int width, int height) {
    if (width <= kTinyLimit && height <= kTinyLimit)
        return SIZE{kTinyCell, kTinyCell};
    if (width <= kMaxCellWidth && height <= kMaxCellHeight)
        return SIZE{width, height};
    // Scaled down keeping the shape: never larger than the picture both ways, so it is scaled.
    const double scale =
        std::min(static_cast<double>(kMaxCellWidth) / width, static_cast<double>(kMaxCellHeight) / height);
    return SIZE{std::max(1, static_cast<int>(width * scale)), std::max(1, static_cast<int>(height * scale))};
}

}  // namespace

GalleryForm::GalleryForm(gui::TComponent* owner) : gui::TForm(owner) {
    SetCaption(kWindowTitle);
    SetBorderStyle(gui::bsSingle);
    SetBounds(kLeft, kTop, kClientWidth, kClientHeight);
    // The frame's size is known once the window exists.
    HandleNeeded();
    SetClientSize(kClientWidth, kClientHeight);
    SetColor(0x292726);
    Font()->SetName(L"Tahoma");

    buildTitleBand();
    buildToolbarBand();
    buildBottomBand();
    buildFaceAndPieBand();
    buildPictureBand();
    buildSkinSheet();
}

GalleryForm::~GalleryForm() {
    // The controls go first: some show the animations' bitmaps, which this form keeps.
    DestroyComponents();
    animations_.clear();
}

controls::TPanelEx* GalleryForm::band(int top, int height, gui::TColor color) {
    auto* panel = new controls::TPanelEx(this);
    panel->SetParent(this);
    panel->SetBevelOuter(gui::bvNone);
    panel->SetBounds(0, top, kClientWidth, height);
    panel->SetColor(color);
    panel->SetParentFont(true);
    nextTop_ = top + height;
    return panel;
}

controls::ImageButton* GalleryForm::button(gui::TWinControl* parent, int firstId, int left, int top) {
    auto* b = new controls::ImageButton(this);
    b->SetParent(parent);
    b->SetLeft(left);
    b->SetTop(top);
    b->setNormalResourceId(firstId);
    b->setMouseOverResourceId(firstId + 1);
    b->setMouseDownResourceId(firstId + 2);
    b->setAutoSize(true);
    return b;
}

gui::TLabel* GalleryForm::caption(gui::TWinControl* parent, int left, int top, const std::wstring& text,
                                  gui::TColor color) {
    auto* label = new gui::TLabel(this);
    label->SetParent(parent);
    label->SetTransparent(true);
    label->Font()->SetColor(color);
    label->SetCaption(text);
    label->SetLeft(left);
    label->SetTop(top);
    return label;
}

void GalleryForm::buildTitleBand() {
    // The accent strip of the main window: logo, user-name box buttons, window buttons.
    auto* title = band(0, 64, kAccent);
    auto* logo = new controls::Image(this);
    logo->SetParent(title);
    logo->setTransparent(true);
    logo->setImageResourceId(skin::logoSmall);
    logo->setAutoSize(true);
    logo->SetLeft(12);
    logo->SetTop(11);
    caption(title, 210, 10, L"ImageButton on the accent strip", kWhite);
    button(title, skin::historyArrow, 210, 30);
    button(title, skin::startButton, 250, 27);
    button(title, skin::stopButton, 350, 27);
    button(title, skin::minimizeButton, kClientWidth - 3 * 23 - 8, 0);
    button(title, skin::maximizeButton, kClientWidth - 2 * 23 - 8, 0);
    button(title, skin::closeButton, kClientWidth - 23 - 8, 0);

    auto* pie = new controls::TProgressPie(this);
    pie->SetParent(title);
    pie->SetBounds(450, 28, 25, 25);
    pie->FSetProgressColor(kWhite);
    pie->FSetRemainingColor(kAccent);
    pie->FSetProgress(0.4f);
}

void GalleryForm::buildToolbarBand() {
    auto* toolbar = band(nextTop_, 60, kBlack);
    int left = 12;
    for (int id : {skin::selectAllButton, skin::unselectAllButton, skin::slideshowButton,
                   skin::slideshowFastButton, skin::slideshowModerateButton, skin::slideshowSlowButton}) {
        auto* b = button(toolbar, id, left, 12);
        left += b->Width() + 10;
    }
    auto* track = new controls::Image(this);
    track->SetParent(toolbar);
    track->setTransparent(true);
    track->setImageResourceId(skin::sizeSliderTrack);
    track->setAutoSize(true);
    track->SetLeft(left + 10);
    track->SetTop(20);
    button(toolbar, skin::sizeSliderKnob, left + 10 + 80, 21);
}

void GalleryForm::buildBottomBand() {
    auto* bottom = band(nextTop_, 86, kBlack);
    int left = 12;
    for (int id : {skin::downloadButton, skin::downloadZipButton, skin::printButton}) {
        auto* b = button(bottom, id, left, 18);
        left += b->Width() + 14;
    }
    for (int id : {skin::stopJobButton, skin::infoButton, skin::closeViewButton, skin::previousButton,
                   skin::nextButton}) {
        auto* b = button(bottom, id, left, 18);
        left += b->Width() + 14;
    }
    for (int id : {skin::videoPlayButton, skin::videoPauseButton, skin::soundOnButton, skin::soundMutedButton,
                   skin::fullScreenButton, skin::seekThumb}) {
        auto* b = button(bottom, id, left, 34);
        left += b->Width() + 10;
    }
}

void GalleryForm::buildFaceAndPieBand() {
    auto* band1 = band(nextTop_, 96, kWhite);
    caption(band1, 12, 8, L"The three faces of an ImageButton", kText);
    const wchar_t* names[3] = {L"normal", L"pointer over", L"pressed"};
    for (int i = 0; i < 3; ++i) {
        faces_[i] = button(band1, skin::startButton, 12 + i * 104, 30);
        caption(band1, 12 + i * 104, 62, names[i], kGrey);
    }

    caption(band1, 350, 8, L"TProgressPie: 0, 1/8, 1/4, 1/2, 3/4, 1; without a border; large", kText);
    const float steps[] = {0.0f, 0.125f, 0.25f, 0.5f, 0.75f, 1.0f};
    int left = 350;
    for (float step : steps) {
        auto* pie = new controls::TProgressPie(this);
        pie->SetParent(band1);
        pie->SetBounds(left, 34, 25, 25);
        pie->FSetProgressColor(kAccent);
        pie->FSetProgress(step);
        left += 40;
    }
    auto* flat = new controls::TProgressPie(this);
    flat->SetParent(band1);
    flat->SetBounds(left, 34, 25, 25);
    flat->FSetProgressColor(kAccent);
    flat->FSetBorderWidth(0);
    flat->FSetProgress(0.6f);
    left += 40;
    auto* large = new controls::TProgressPie(this);
    large->SetParent(band1);
    large->SetBounds(left, 26, 60, 60);
    large->FSetProgressColor(kAccent);
    large->FSetBorderWidth(4);
    large->FSetProgress(0.35f);
}

void GalleryForm::buildPictureBand() {
    auto* pictures = band(nextTop_, 110, 0x3A3736);
    caption(pictures, 12, 6, L"Image: own size, scaled down, tiled mirror-wise", kLightInk);
    auto* direct = new controls::Image(this);
    direct->SetParent(pictures);
    direct->setImageResourceId(skin::aboutLogo);
    direct->SetBounds(12, 28, 48, 48);
    direct->setTransparent(true);
    auto* scaled = new controls::Image(this);
    scaled->SetParent(pictures);
    scaled->setTransparent(true);
    scaled->setImageResourceId(skin::logoBig);
    scaled->SetBounds(72, 28, 200, 52);
    auto* tiled = new controls::Image(this);
    tiled->SetParent(pictures);
    tiled->setImageResourceId(skin::aboutLogo);
    tiled->SetBounds(284, 28, 140, 72);

    caption(pictures, 460, 6, L"TImageEx and Image tell when the pointer is over them", kLightInk);
    auto* imageEx = new controls::TImageEx(this);
    imageEx->SetParent(pictures);
    imageEx->SetBounds(460, 30, 72, 72);
    imageEx->Picture()->LoadFromResource(gui::HInstance(), skin::videoMark, L"PNG");
    imageEx->SetName(L"TImageEx");
    imageEx->OnMouseEnter = [this](gui::TObject* sender) { pointerOver(sender, true); };
    imageEx->OnMouseLeave = [this](gui::TObject* sender) { pointerOver(sender, false); };
    auto* image = new controls::Image(this);
    image->SetParent(pictures);
    image->setTransparent(true);
    image->setImageResourceId(skin::bigPlay);
    image->SetBounds(544, 30, 72, 72);
    image->SetName(L"Image");
    image->OnMouseEnter = [this](gui::TObject* sender) { pointerOver(sender, true); };
    image->OnMouseLeave = [this](gui::TObject* sender) { pointerOver(sender, false); };
    pointerCaption_ = caption(pictures, 630, 56, L"Pointer over: nothing", kGrey);

    auto* panelEx = new controls::TPanelEx(this);
    panelEx->SetParent(pictures);
    panelEx->SetBounds(900, 30, 300, 60);
    panelEx->SetColor(0x524F4D);
    panelEx->SetBevelOuter(gui::bvNone);
    panelEx->Font()->SetColor(kLightInk);
    panelEx->SetCaption(L"TPanelEx: entering it leaves the others");
}

void GalleryForm::pointerOver(gui::TObject* sender, bool entered) {
    auto* control = static_cast<gui::TControl*>(sender);
    pointerCaption_->SetCaption(entered ? L"Pointer over: " + control->Name() : L"Pointer over: nothing");
}

void GalleryForm::buildSkinSheet() {
    sheet_ = new controls::TScrollBoxEx(this);
    sheet_->SetParent(this);
    sheet_->SetBorderStyle(gui::bsNone);
    sheet_->SetBounds(0, nextTop_, kClientWidth, kClientHeight - nextTop_);
    for (int phase = 0; phase < controls::kPatternPhases; ++phase) {
        patterns_[phase].LoadFromResource(gui::HInstance(), skin::contentPattern0 + phase, L"PNG");
        patternBrushes_[phase].SetBitmap(patterns_[phase].Bitmap());
        sheet_->patternBrushes[phase] = &patternBrushes_[phase];
    }

    const int width = kClientWidth - GetSystemMetrics(SM_CXVSCROLL) - 12;
    int left = 12;
    int top = 10;
    int rowHeight = 0;
    const auto entries = skinCatalogue(gui::HInstance());
    for (const SkinEntry& entry : entries) {
        SIZE cell{};
        gui::TControl* view = nullptr;
        if (entry.type == L"ICON") {
            cell = SIZE{32, 32};
            view = new IconView(this, entry.id);
        } else {
            auto* image = new controls::Image(this);
            image->setTransparent(true);
            if (entry.type == L"GIF") {
                // Image loads only "PNG" pictures by id; the gallery keeps the animations' first
                // frames itself.
                Gdiplus::Bitmap* animation = nullptr;
                if (controls::loadImageResource(gui::HInstance(), entry.id, L"GIF", animation)) {
                    animations_.emplace_back(animation);
                    image->setImageBitmap(animation);
                }
            } else {
                image->setImageResourceId(entry.id);
            }
            cell = fitCell(image->BitmapWidth(), image->BitmapHeight());
            view = image;
        }
        const int labelWidth = entry.type == L"GIF" ? 56 : 40;
        const int cellWidth = std::max<int>(cell.cx, labelWidth);
        if (left + cellWidth > width) {
            left = 12;
            top += rowHeight + 22;
            rowHeight = 0;
        }
        view->SetParent(sheet_);
        view->SetBounds(left, top, cell.cx, cell.cy);
        caption(sheet_, left, top + cell.cy + 3,
                std::to_wstring(entry.id) + (entry.type == L"GIF" ? L" gif" : L""), 0x9C9894);
        rowHeight = std::max<int>(rowHeight, cell.cy);
        left += cellWidth + 12;
    }
    sheet_->VertScrollBar()->SetRange(top + rowHeight + 30);
}

void GalleryForm::ShowButtonFaces() {
    // Both through the hover protocol's own messages: entering the second button, then a press
    // on the third that is released far outside it (no click, the face stays pressed).
    faces_[1]->Perform(gui::CM_MOUSEENTER);
    faces_[2]->Perform(WM_LBUTTONDOWN, MK_LBUTTON, gui::LParamFromPoint(POINT{4, 4}));
    faces_[2]->Perform(WM_LBUTTONUP, 0, gui::LParamFromPoint(POINT{-2000, -2000}));
}

}  // namespace gallery
