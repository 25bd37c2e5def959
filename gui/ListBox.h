#pragma once
// TListBox: the system's list box: sorted or not, single or extended multiple selection, tab
// stops, a fixed item height, optional integral height.
#include "gui/WinControl.h"
#include <string>
#include <vector>

namespace gui {

class TListBox;

// The rows of a list box.
class TListBoxItems {
public:
    explicit TListBoxItems(TListBox& box) : box_(box) {}

    int Count() const;
    std::wstring Strings(int index) const;
    std::wstring operator[](int index) const { return Strings(index); }
    void SetStrings(int index, const std::wstring& text);
    // Returns the row's index (a sorted list puts it in order).
    int Add(const std::wstring& text);
    void Insert(int index, const std::wstring& text);
    void Delete(int index);
    void Clear();
    int IndexOf(const std::wstring& text) const;

private:
    TListBox& box_;
};

class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* owner);

    TListBoxItems* Items() { return &items_; }
    int Count() { return items_.Count(); }
    // The selected row (single selection) or the focused row (multiple selection); -1 for none.
    int ItemIndex();
    void SetItemIndex(int index);
    int TopIndex();
    void SetTopIndex(int index);
    bool Selected(int index);
    void SetSelected(int index, bool selected);
    int SelCount();
    // The row under a client point; outside the rows: -1 when existing, else Count when the
    // point lies below the last row.
    int ItemAtPos(POINT p, bool existing);
    RECT ItemRect(int index);

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool multiSelect);
    bool ExtendedSelect() const { return extendedSelect_; }
    void SetExtendedSelect(bool extendedSelect);
    // Height snaps to whole rows.
    bool IntegralHeight() const { return integralHeight_; }
    void SetIntegralHeight(bool integralHeight);
    int ItemHeight();
    void SetItemHeight(int height);
    // Tab stops every TabWidth dialog units; 0 = none.
    int TabWidth() const { return tabWidth_; }
    void SetTabWidth(int width);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);

    TNotifyEvent OnDblClick;

    void Dispatch(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    void DestroyWnd() override;

private:
    void styleChanged();

    TListBoxItems items_;
    bool sorted_ = false;
    bool multiSelect_ = false;
    bool extendedSelect_ = true;
    bool integralHeight_ = false;
    int itemHeight_ = 0;
    int tabWidth_ = 0;
    TBorderStyle borderStyle_ = bsSingle;
    // Rows kept while the window is made again.
    std::vector<std::wstring> savedItems_;
    std::vector<int> savedSelection_;
    int savedTop_ = 0;
    bool restoring_ = false;
};

}  // namespace gui
