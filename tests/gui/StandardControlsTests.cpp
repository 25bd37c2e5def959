// The system's controls as the library wraps them: edit, list box, buttons and radio buttons,
// the dialog keys of a form and the colours they draw with.
#include "GuiTestSupport.h"
#include "gui/Button.h"
#include "gui/Edit.h"
#include "gui/Form.h"
#include "gui/ListBox.h"
#include "gui/Timer.h"
#include <gtest/gtest.h>
#include <memory>

using namespace gui;
using guitest::PumpUntil;

namespace {

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(bsToolWindow);
        form->SetBounds(150, 150, 400, 300);
    }
    void TearDown() override { form.reset(); }
    template <class Control>
    Control* add(int left, int top) {
        auto* c = new Control(form.get());
        c->SetLeft(left);
        c->SetTop(top);
        c->SetParent(form.get());
        return c;
    }
    std::unique_ptr<TForm> form;
};

}  // namespace

TEST_F(DialogTest, EditTextSelectionChangeAndReadOnly) {
    auto* edit = add<TEdit>(10, 10);
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->SetText(L"hello world");
    EXPECT_EQ(edit->Text(), L"hello world");
    EXPECT_EQ(changes, 1);
    edit->SetSelStart(6);
    edit->SetSelLength(5);
    EXPECT_EQ(edit->SelStart(), 6);
    EXPECT_EQ(edit->SelLength(), 5);
    edit->SelectAll();
    EXPECT_EQ(edit->SelLength(), 11);

    SendMessageW(edit->Handle(), WM_CHAR, L'x', 0);
    EXPECT_EQ(edit->Text(), L"x");
    EXPECT_EQ(changes, 2);

    edit->SetReadOnly(true);
    SendMessageW(edit->Handle(), WM_CHAR, L'y', 0);
    EXPECT_EQ(edit->Text(), L"x");
    EXPECT_TRUE(GetWindowLongPtrW(edit->Handle(), GWL_STYLE) & ES_READONLY);
}

TEST_F(DialogTest, EditConsumesCharactersSetToZero) {
    auto* edit = add<TEdit>(10, 10);
    edit->OnKeyPress = [](TObject*, wchar_t& key) {
        if (key == L'\r' || key == L'\t')
            key = 0;
    };
    SendMessageW(edit->Handle(), WM_CHAR, L'a', 0);
    SendMessageW(edit->Handle(), WM_CHAR, L'\t', 0);
    SendMessageW(edit->Handle(), WM_CHAR, L'b', 0);
    EXPECT_EQ(edit->Text(), L"ab");
}

TEST_F(DialogTest, EditColoursComeFromItsFontAndColour) {
    auto* edit = add<TEdit>(10, 10);
    edit->Font()->SetColor(0x303335);
    edit->SetColor(0xE6DEDE);
    HDC dc = GetDC(edit->Handle());
    const auto brush =
        reinterpret_cast<HBRUSH>(SendMessageW(form->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                              reinterpret_cast<LPARAM>(edit->Handle())));
    EXPECT_EQ(GetTextColor(dc), 0x303335u);
    EXPECT_EQ(GetBkColor(dc), 0xE6DEDEu);
    LOGBRUSH info{};
    ASSERT_TRUE(GetObjectW(brush, sizeof(info), &info));
    EXPECT_EQ(info.lbColor, 0xE6DEDEu);
    ReleaseDC(edit->Handle(), dc);
}

TEST_F(DialogTest, ListBoxRowsSortingAndExtendedSelection) {
    auto* list = add<TListBox>(10, 10);
    list->SetSorted(true);
    list->Items()->Add(L"\tcharlie");
    list->Items()->Add(L"\talpha");
    list->Items()->Add(L"\tbravo");
    ASSERT_EQ(list->Count(), 3);
    EXPECT_EQ(list->Items()->Strings(0), L"\talpha");
    EXPECT_EQ(list->Items()->IndexOf(L"\tcharlie"), 2);

    list->SetMultiSelect(true);  // made again: the rows stay
    list->SetTabWidth(2);
    ASSERT_EQ(list->Count(), 3);
    EXPECT_TRUE(GetWindowLongPtrW(list->Handle(), GWL_STYLE) & LBS_EXTENDEDSEL);
    EXPECT_TRUE(GetWindowLongPtrW(list->Handle(), GWL_STYLE) & LBS_USETABSTOPS);
    list->SetSelected(0, true);
    list->SetSelected(2, true);
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_TRUE(list->Selected(2));
    EXPECT_FALSE(list->Selected(1));

    list->Items()->Delete(0);
    EXPECT_EQ(list->Count(), 2);
    EXPECT_TRUE(list->Selected(1));
    list->Items()->Clear();
    EXPECT_EQ(list->Count(), 0);
}

TEST_F(DialogTest, ListBoxItemHeightIntegralHeightAndItemAtPos) {
    auto* list = add<TListBox>(10, 10);
    list->SetBorderStyle(bsNone);
    list->SetItemHeight(15);
    list->SetIntegralHeight(true);
    for (int i = 0; i < 20; ++i)
        list->Items()->Add(L"row " + std::to_wstring(i));
    list->SetHeight(100);
    EXPECT_EQ(list->ItemHeight(), 15);
    EXPECT_EQ(list->ClientHeight() % 15, 0);  // snapped to whole rows
    EXPECT_EQ(list->Height(), list->ClientHeight());
    EXPECT_EQ(list->ItemAtPos({5, 16}, true), 1);
    list->SetTopIndex(3);
    EXPECT_EQ(list->TopIndex(), 3);
    EXPECT_EQ(list->ItemAtPos({5, 16}, true), 4);
    EXPECT_EQ(list->ItemAtPos({5, -1}, true), -1);

    list->Items()->Clear();
    list->Items()->Add(L"only");
    EXPECT_EQ(list->ItemAtPos({5, 40}, true), -1);
    EXPECT_EQ(list->ItemAtPos({5, 40}, false), 1);
}

TEST_F(DialogTest, ListBoxSelectionChangeClicks) {
    auto* list = add<TListBox>(10, 10);
    list->Items()->Add(L"a");
    list->Items()->Add(L"b");
    int clicks = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    const RECT second = list->ItemRect(1);
    SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(second.left + 2, second.top + 2));
    SendMessageW(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(second.left + 2, second.top + 2));
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(clicks, 1);
    list->SetItemIndex(-1);
    EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(DialogTest, AButtonSetsTheModalResultBeforeItsOnClickWhichMayResetIt) {
    auto* ok = add<TButton>(10, 10);
    ok->SetCaption(L"OK");
    ok->SetModalResult(mrOk);
    int clicks = 0;
    ok->OnClick = [&](TObject*) {
        EXPECT_EQ(form->ModalResult(), mrOk);
        if (++clicks == 1)
            form->SetModalResult(mrNone);  // "stay open"
    };
    TTimer timer(nullptr);
    timer.SetInterval(10);
    timer.SetOnTimer([&](TObject*) {
        SendMessageW(ok->Handle(), BM_CLICK, 0, 0);
        if (clicks >= 2)
            timer.SetEnabled(false);
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(clicks, 2);
}

TEST_F(DialogTest, EnterPressesTheDefaultButtonAndEscapeTheCancelButton) {
    auto* edit = add<TEdit>(10, 10);
    auto* remove = add<TButton>(10, 50);
    remove->SetDefault(true);
    auto* close = add<TButton>(100, 50);
    close->SetCancel(true);
    close->SetModalResult(mrCancel);
    std::vector<std::string> pressed;
    remove->OnClick = [&](TObject*) { pressed.push_back("remove"); };
    close->OnClick = [&](TObject*) { pressed.push_back("close"); };
    form->Show();
    edit->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return edit->Focused(); }));

    testsupport::pressKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return pressed.size() == 1; }));
    EXPECT_EQ(pressed[0], "remove");
    EXPECT_EQ(edit->Text(), L"");  // the key did not reach the edit

    close->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return close->Focused(); }));
    testsupport::pressKey(VK_RETURN);  // a focused button takes Enter itself
    ASSERT_TRUE(PumpUntil([&] { return pressed.size() == 2; }));
    EXPECT_EQ(pressed[1], "close");

    edit->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return edit->Focused(); }));
    testsupport::pressKey(VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([&] { return pressed.size() == 3; }));
    EXPECT_EQ(pressed[2], "close");
    EXPECT_EQ(form->ModalResult(), mrCancel);
}

TEST_F(DialogTest, TabMovesTheFocusUnlessTheControlWantsTabAndEnterExitFollow) {
    auto* first = add<TEdit>(10, 10);
    auto* second = add<TEdit>(10, 40);
    std::vector<std::string> events;
    first->OnExit = [&](TObject*) { events.push_back("first exit"); };
    second->OnEnter = [&](TObject*) { events.push_back("second enter"); };
    form->Show();
    first->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return first->Focused(); }));
    events.clear();
    testsupport::pressKey(VK_TAB);
    ASSERT_TRUE(PumpUntil([&] { return second->Focused(); }));
    EXPECT_EQ(events, (std::vector<std::string>{"first exit", "second enter"}));
    EXPECT_EQ(form->ActiveControl(), second);

    // A control that asks for Tab (WM_GETDLGCODE) keeps it, and sees it as a key.
    TWndMethod old = second->WindowProc;
    second->WindowProc = [&](TMessage& message) {
        old(message);
        if (message.Msg == WM_GETDLGCODE)
            message.Result |= DLGC_WANTTAB;
    };
    int tabs = 0;
    second->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
        if (key == VK_TAB)
            ++tabs;
    };
    testsupport::pressKey(VK_TAB);
    ASSERT_TRUE(PumpUntil([&] { return tabs == 1; }));
    EXPECT_TRUE(second->Focused());
    second->WindowProc = old;
}

TEST_F(DialogTest, SetFocusOnAHiddenFormWaitsUntilItIsActive) {
    auto* first = add<TEdit>(10, 10);
    auto* second = add<TEdit>(10, 40);
    second->SetFocus();
    EXPECT_EQ(form->ActiveControl(), second);
    form->Show();
    EXPECT_TRUE(PumpUntil([&] { return second->Focused(); }));
    EXPECT_FALSE(first->Focused());
    form->SetActiveControl(nullptr);
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == form->Handle(); }));
}

TEST_F(DialogTest, ARadioButtonClickChecksItAndUnchecksItsSiblings) {
    auto* windows = add<TRadioButton>(10, 10);
    auto* custom = add<TRadioButton>(10, 40);
    windows->SetChecked(true);
    int clicks = 0;
    custom->OnClick = [&](TObject*) { ++clicks; };
    SendMessageW(custom->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(custom->Checked());
    EXPECT_FALSE(windows->Checked());
    EXPECT_EQ(SendMessageW(windows->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(clicks, 1);
    windows->SetChecked(true);  // by the program: no click
    EXPECT_FALSE(custom->Checked());
    EXPECT_EQ(clicks, 1);
}
