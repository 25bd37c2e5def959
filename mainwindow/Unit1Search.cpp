// The caption search: the search box and the visible list filtered by caption words.
#include "common/TextFunctions.h"
#include "feed/SearchMatch.h"
#include "mainwindow/FormLayout.h"
#include "mainwindow/Photo.h"
#include "mainwindow/SearchWords.h"
#include "mainwindow/Unit1.h"

#include <algorithm>

using namespace gui;
namespace L = formlayout;

namespace {

void focus(TWinControl* control) {
    if (control && control->CanFocus())
        control->SetFocus();
}

}  // namespace

void TForm1::bindSearchBox() {
    searchEdit->OnEnter = [this](TObject* s) { searchEditEnter(s); };
    searchEdit->OnExit = [this](TObject* s) { searchEditExit(s); };
    searchEdit->OnKeyDown = [this](TObject* s, WORD& key, TShiftState sh) { searchEditKeyDown(s, key, sh); };
    searchEdit->OnKeyPress = [this](TObject* s, wchar_t& key) { searchEditKeyPress(s, key); };
    searchEditPanel->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        searchEditPanelMouseDown(s, b, sh, x, y);
    };
    for (TControl* background :
         std::initializer_list<TControl*>{toolbarPanel, contentScrollBox, bottomPanel}) {
        background->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
            toolbarPanelMouseDown(s, b, sh, x, y);
        };
    }
    searchPanel->OnResize = [this](TObject* s) { searchPanelResize(s); };
}

void TForm1::toolbarPanelMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    focus(topPanel);
}

void TForm1::searchPanelResize(TObject*) {
    const int piece = L::kSearchFramePiece;
    placeFramePieces(searchPanel, piece,
                     {searchLeftTopImage, searchRightTopImage, searchLeftBottomImage, searchRightBottomImage,
                      searchTopImage, searchBottomImage, searchLeftImage, searchRightImage});
    searchEditPanel->SetBounds(piece, piece, searchPanel->Width() - 2 * piece,
                               searchPanel->Height() - 2 * piece);
    searchEdit->SetBounds(L::kSearchEditInset, (searchEditPanel->Height() - searchEdit->Height()) / 2 + 2,
                          searchEditPanel->Width() - L::kSearchEditInset - 2, searchEdit->Height());
}

void TForm1::searchEditEnter(TObject*) {
    if (searchEdit->Font()->Color() == static_cast<TColor>(L::kTypedTextColor))
        return;
    // The grey hint gives way to typing.
    searchEdit->SetText(L"");
    searchEdit->Font()->SetColor(static_cast<TColor>(L::kTypedTextColor));
}

void TForm1::searchEditExit(TObject*) {
    if (!searchText.empty()) {
        searchEdit->Font()->SetColor(static_cast<TColor>(L::kTypedTextColor));
        searchEdit->SetText(searchText);
    } else {
        showSearchHint();
    }
}

void TForm1::showSearchHint() {
    searchEdit->Font()->SetColor(static_cast<TColor>(L::kGreyTextColor));
    searchEdit->SetText(L"Search...");
}

void TForm1::searchEditKeyDown(TObject*, WORD& key, TShiftState) {
    if (key == VK_RETURN) {
        key = 0;
        runSearch();
    } else if (key == VK_ESCAPE) {
        focus(topPanel);
    }
}

void TForm1::searchEditKeyPress(TObject*, wchar_t& key) {
    // Tab, Ctrl+K, Enter and Escape would beep or land in the text.
    if (key == L'\t' || key == L'\v' || key == L'\r' || key == 0x1B)
        key = 0;
}

void TForm1::searchEditPanelMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    focus(searchEdit);
}

void TForm1::runSearch() {
    const bool hadWords = !searchWords.empty();
    searchWords.clear();
    searchText = trimString(searchEdit->Text());
    if (!searchText.empty())
        searchEdit->SetText(searchText);
    // Leaving the box shows the words as searched, or the hint again for blanks.
    focus(topPanel);
    searchEdit->Repaint();
    if (!searchText.empty())
        searchWords = parseSearchWords(searchText);
    // Blanks without a filter leave the grid and its scroll position alone.
    if (searchWords.empty() && !hadWords)
        return;
    applySearchFilter();
}

void TForm1::applySearchFilter() {
    const bool filtered = !searchWords.empty();
    // Without words a full list has nothing to gain from a rebuild.
    if (!filtered && visiblePhotos.size() == photos.size())
        return;
    // Positions of photos that drop out must not point into the new list.
    for (Photo* photo : photos)
        photo->visibleIndex = -1;
    visiblePhotos.clear();
    selectionAnchor = -1;
    const bool allWords = allWordsMustMatchMenuItem->Checked();
    // Photos past the cursor are placed by the batches as their thumbnails come in.
    const size_t frontier =
        std::min({thumbnailBatches.visibleCursor(), thumbnailBatches.photoCount(), photos.size()});
    for (size_t index = 0; index < frontier; ++index) {
        Photo* photo = photos[index];
        if (thumbnailBatches.isFailed(index))
            continue;
        if (filtered && !photoMatchesSearch(photo->words, searchWords, allWords))
            continue;
        photo->visibleIndex = static_cast<int>(visiblePhotos.size());
        visiblePhotos.push_back(photo);
    }
    contentScrollBox->SetDoubleBuffered(true);
    contentScrollBox->Invalidate();
    if (fullSizePhoto())
        hideFullSize(false);
    resetScrollAnchor();
    contentScrollBox->VertScrollBar()->SetPosition(0);
    layoutThumbnails(false);
}
