#pragma once
// The strip of row pictures (new, transferring, complete) as an image list, loaded from a bitmap
// resource through the common controls that the calling thread's activation context selects.
#include <winsock2.h>
#include <windows.h>

#include <commctrl.h>

class RowImages {
public:
    // The bitmap resource of the strip and the width of one picture in it.
    static constexpr int kBitmapId = 202;
    static constexpr int kImageWidth = 14;

    RowImages() = default;
    ~RowImages() { release(); }
    RowImages(const RowImages&) = delete;
    RowImages& operator=(const RowImages&) = delete;

    // Loads the strip from `module`; false when the module has no such bitmap (rows then show no
    // pictures).
    bool load(HINSTANCE module);
    void release();
    HIMAGELIST handle() const { return images_; }

private:
    using DestroyFunction = BOOL(WINAPI*)(HIMAGELIST);

    HMODULE commonControls_ = nullptr;  // held while the image list lives
    DestroyFunction destroy_ = nullptr;
    HIMAGELIST images_ = nullptr;
};
