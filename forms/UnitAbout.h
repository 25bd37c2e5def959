#pragma once
// TFormAbout: the program's name and version, what it does, the copyright and a link to the
// maker's home page.
#include "controls/Image.h"
#include "gui/Button.h"
#include "gui/Form.h"
#include "gui/Label.h"

class TFormAbout : public gui::TForm {
public:
    explicit TFormAbout(gui::TComponent* owner);
    ~TFormAbout() override;

    controls::Image* logoImage = nullptr;
    gui::TLabel* pixhaulLabel = nullptr;
    gui::TLabel* descriptionLabel = nullptr;
    gui::TLabel* copyrightLabel = nullptr;
    gui::TLabel* webAddressLabel = nullptr;
    gui::TButton* closeButton = nullptr;

    void FormCreate(gui::TObject* sender);
    void FormClose(gui::TObject* sender, gui::TCloseAction& action);
    void webAddressLabelClick(gui::TObject* sender);
};

// The maker's home page.
std::wstring homePageAddress();

extern TFormAbout* FormAbout;
