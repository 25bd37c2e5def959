#pragma once
// TFormTemporaryFolder: chooses where the program keeps its work files, the system's temporary
// folder or one of the user's. The choice is stored at once and used from the next start on; the
// running program keeps the folder it started with.
#include "gui/Button.h"
#include "gui/Edit.h"
#include "gui/Form.h"
#include "gui/Label.h"

class TFormTemporaryFolder : public gui::TForm {
public:
    explicit TFormTemporaryFolder(gui::TComponent* owner);
    ~TFormTemporaryFolder() override;

    gui::TLabel* descriptionLabel = nullptr;
    gui::TRadioButton* windowsRadioButton = nullptr;
    gui::TEdit* windowsEdit = nullptr;
    gui::TRadioButton* customRadioButton = nullptr;
    gui::TEdit* customEdit = nullptr;
    gui::TButton* browseButton = nullptr;
    gui::TButton* okButton = nullptr;
    gui::TButton* cancelButton = nullptr;

    void FormShow(gui::TObject* sender);
    void FormClose(gui::TObject* sender, gui::TCloseAction& action);
    void windowsRadioButtonClick(gui::TObject* sender);
    void customRadioButtonClick(gui::TObject* sender);
    void browseButtonClick(gui::TObject* sender);
    void okButtonClick(gui::TObject* sender);

private:
    // The stored folder when the window was last shown (empty: the system's).
    std::wstring storedFolder_;
};

// The system's temporary folder without its trailing backslash, in its long form.
std::wstring longSystemTemporaryFolder();

extern TFormTemporaryFolder* FormTemporaryFolder;
