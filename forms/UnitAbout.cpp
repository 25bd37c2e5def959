#include "forms/UnitAbout.h"

#include "common/OpenLink.h"
#include "common/RegistryValues.h"
#include "common/ServiceHosts.h"
#include "resources/SkinIds.h"

#include <algorithm>

using namespace gui;

TFormAbout* FormAbout = nullptr;

std::wstring homePageAddress() {
    return L"http://" + makerHost() + L"/";
}

namespace {

TLabel* makeLabel(TForm* form, int left, int top, const std::wstring& text) {
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetLeft(left);
    label->SetTop(top);
    label->SetTransparent(true);
    label->SetCaption(text);
    return label;
}

}  // namespace

TFormAbout::TFormAbout(TComponent* owner) : TForm(owner) {
    FormAbout = this;
    SetBorderStyle(bsToolWindow);
    SetCaption(L"About Pixhaul");
    Font()->SetName(L"Tahoma");
    // The frame's size is known once the window exists.
    HandleNeeded();
    SetClientSize(309, 123);
    SetKeyPreview(true);

    logoImage = new controls::Image(this);
    logoImage->SetParent(this);
    logoImage->SetBounds(10, 12, 48, 48);

    pixhaulLabel = makeLabel(this, 69, 12, L"");
    descriptionLabel = makeLabel(this, 69, 26, L"Start saving your favorite Instagram photos!");
    copyrightLabel = makeLabel(this, 69, 49, L"Copyright \u00A9 Orvell Soft. All rights reserved.");
    webAddressLabel = makeLabel(this, 69, 71, homePageAddress());
    webAddressLabel->Font()->SetStyle(fsBold);
    webAddressLabel->SetCursor(crHandPoint);
    webAddressLabel->OnClick = [this](TObject* sender) { webAddressLabelClick(sender); };

    closeButton = new TButton(this);
    closeButton->SetParent(this);
    closeButton->SetBounds(117, 92, 75, 23);
    closeButton->SetCaption(L"Close");
    closeButton->SetDefault(true);
    closeButton->SetCancel(true);
    closeButton->SetModalResult(mrCancel);

    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
}

TFormAbout::~TFormAbout() {
    if (FormAbout == this)
        FormAbout = nullptr;
}

void TFormAbout::FormCreate(TObject*) {
    logoImage->setTransparent(true);
    logoImage->setImageResourceId(skin::aboutLogo);
    pixhaulLabel->SetCaption(std::wstring(L"Pixhaul Instagram Downloader ") + applicationVersion);
    // A wider font than the design's (another system's Tahoma) widens the window rather than
    // cutting the texts off.
    int right = 0;
    for (TLabel* label : {pixhaulLabel, descriptionLabel, copyrightLabel, webAddressLabel})
        right = std::max(right, label->Left() + label->Width());
    if (right + 10 > ClientWidth()) {
        SetClientWidth(right + 10);
        closeButton->SetLeft((ClientWidth() - closeButton->Width()) / 2);
    }
}

void TFormAbout::FormClose(TObject*, TCloseAction& action) {
    action = caHide;
}

void TFormAbout::webAddressLabelClick(TObject*) {
    const std::wstring address = homePageAddress();
    if (openLink(Handle(), address))
        return;
    const std::wstring text = L"Error while opening \"" + address +
                              L"\" in the default Web browser.\r\nPlease launch your Web browser and go to "
                              L"the following Web site:\r\n\r\n" +
                              address;
    MessageBoxW(Handle(), text.c_str(), L"Pixhaul", MB_OK | MB_ICONWARNING);
}
