#include "gui/Picture.h"
#include "gui/GdiPlus.h"

namespace gui {

TPicture::TPicture() {
    bitmap_.OnChange = [this] {
        if (OnChange)
            OnChange();
    };
}

bool TPicture::LoadFromFile(const std::wstring& path) {
    return DecodePictureFile(path, bitmap_);
}

bool TPicture::LoadFromStream(IStream* stream) {
    return DecodePictureStream(stream, bitmap_);
}

bool TPicture::LoadFromResource(HMODULE module, int id, const wchar_t* type) {
    if (type == RT_BITMAP)
        return bitmap_.LoadFromResourceID(module, id);
    return DecodePictureResource(module, id, type, bitmap_);
}

}  // namespace gui
