#pragma once
// The gallery window: the skinned controls in their states on the backgrounds the program gives
// them, and below them every picture of the skin on the grid's patterned background.
#include "controls/ImageButton.h"
#include "controls/ImageEx.h"
#include "controls/PanelEx.h"
#include "controls/ScrollBoxEx.h"
#include "gui/Form.h"
#include "gui/Label.h"
#include "gui/Picture.h"
#include <memory>
#include <string>
#include <vector>

namespace gallery {

class GalleryForm : public gui::TForm {
public:
    explicit GalleryForm(gui::TComponent* owner);
    ~GalleryForm() override;

    // Puts the face row's second button under a pretend pointer and holds the third one down,
    // so that the three faces show side by side.
    void ShowButtonFaces();

private:
    controls::TPanelEx* band(int top, int height, gui::TColor color);
    controls::ImageButton* button(gui::TWinControl* parent, int firstId, int left, int top);
    gui::TLabel* caption(gui::TWinControl* parent, int left, int top, const std::wstring& text,
                         gui::TColor color);
    void buildTitleBand();
    void buildToolbarBand();
    void buildBottomBand();
    void buildFaceAndPieBand();
    void buildPictureBand();
    void buildSkinSheet();
    void pointerOver(gui::TObject* sender, bool entered);

    int nextTop_ = 0;
    controls::ImageButton* faces_[3] = {};
    gui::TLabel* pointerCaption_ = nullptr;
    gui::TPicture patterns_[controls::kPatternPhases];
    gui::TBrush patternBrushes_[controls::kPatternPhases];
    controls::TScrollBoxEx* sheet_ = nullptr;
    std::vector<std::unique_ptr<Gdiplus::Bitmap>> animations_;
};

}  // namespace gallery
