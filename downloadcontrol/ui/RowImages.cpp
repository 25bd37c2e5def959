#include "downloadcontrol/ui/RowImages.h"

namespace {

using LoadImageFunction = HIMAGELIST(WINAPI*)(HINSTANCE, LPCWSTR, int, int, COLORREF, UINT, UINT);

template <typename Function>
Function procedure(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

}  // namespace

bool RowImages::load(HINSTANCE module) {
    release();
    // Inside the control's activation context this is version 6 of the common controls, the one
    // that draws the list; the linked functions serve when it cannot be loaded by name.
    commonControls_ = LoadLibraryW(L"comctl32.dll");
    LoadImageFunction loadImage = procedure<LoadImageFunction>(commonControls_, "ImageList_LoadImageW");
    destroy_ = procedure<DestroyFunction>(commonControls_, "ImageList_Destroy");
    if (!loadImage || !destroy_) {
        loadImage = &ImageList_LoadImageW;
        destroy_ = &ImageList_Destroy;
    }
    images_ = loadImage(module, MAKEINTRESOURCEW(kBitmapId), kImageWidth, 2, CLR_DEFAULT, IMAGE_BITMAP,
                        LR_CREATEDIBSECTION);
    if (!images_) {
        release();
        return false;
    }
    return true;
}

void RowImages::release() {
    if (images_ && destroy_) {
        destroy_(images_);
    }
    images_ = nullptr;
    destroy_ = nullptr;
    if (commonControls_) {
        FreeLibrary(commonControls_);
        commonControls_ = nullptr;
    }
}
