#pragma once
// TFormRemoveUsernames: lists the user-name history and removes the chosen names from it, each
// with the save folder remembered for it. The main window hands over its history list and folder
// map before showing the window modally; removals change both at once.
#include "gui/ApplicationEvents.h"
#include "gui/Button.h"
#include "gui/Form.h"
#include "gui/ListBox.h"

class StringKeyCollection;

class TFormRemoveUsernames : public gui::TForm {
public:
    explicit TFormRemoveUsernames(gui::TComponent* owner);
    ~TFormRemoveUsernames() override;

    // The history to edit: its rows (a tab and a name) are copied into this window's list. The
    // folder map holds heap texts (name and folder) that a removal frees.
    void setHistory(gui::TListBox* historyList, StringKeyCollection* folders);

    gui::TListBox* userNamesListBox = nullptr;
    gui::TButton* removeButton = nullptr;
    gui::TButton* closeButton = nullptr;
    gui::TApplicationEvents* applicationEvents = nullptr;

    void FormCreate(gui::TObject* sender);
    void FormClose(gui::TObject* sender, gui::TCloseAction& action);
    void applicationEventsMessage(MSG& msg, bool& handled);
    void removeButtonClick(gui::TObject* sender);

private:
    void removeFromHistory(const std::wstring& row);

    gui::TListBox* historyList_ = nullptr;
    StringKeyCollection* folders_ = nullptr;
};

extern TFormRemoveUsernames* FormRemoveUsernames;
