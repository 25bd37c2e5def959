#pragma once
// What the screen shows in a rectangle, read back pixel by pixel and saved as PNG pictures for a
// person to look at (<build>/artifacts/).
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class ScreenCapture {
public:
    // Copies the area (screen coordinates; parts off the screen read black) from the screen.
    explicit ScreenCapture(const RECT& area);
    // The whole of a window as the screen shows it.
    static ScreenCapture ofWindow(HWND window);

    int width() const { return width_; }
    int height() const { return height_; }
    // False when the screen could not be read.
    bool valid() const { return valid_; }
    // RGB of a pixel relative to the area's top left corner; black outside.
    COLORREF at(int x, int y) const;
    // How many pixels of a rectangle (area coordinates) are within tolerance per channel of a colour.
    int count(const RECT& r, COLORREF colour, int tolerance = 0) const;
    // Same size and every pixel alike.
    bool samePixels(const ScreenCapture& other) const {
        return width_ == other.width_ && height_ == other.height_ && pixels_ == other.pixels_;
    }
    // Distinct colours over every step-th pixel of every step-th row.
    int distinctColours(int step = 2) const;

    // Saves the picture as <build>/artifacts/<name> (a PNG file); false on failure.
    bool saveArtifact(const std::wstring& name) const;
    // Saves the picture as a PNG file at a full path; false on failure.
    bool savePng(const std::wstring& path) const;

private:
    int width_ = 0;
    int height_ = 0;
    bool valid_ = false;
    std::vector<uint32_t> pixels_;  // top-down rows of 0x00RRGGBB
};

// Each channel of a and b differs by at most tolerance.
bool closeTo(COLORREF a, COLORREF b, int tolerance);

}  // namespace testsupport
