#pragma once
// Where the list and the overall progress bar go in the control's window, and the bar's settings as
// SetProgressBar and GetProgressBar see them.
#include <winsock2.h>
#include <windows.h>

#include <cstdint>

// Field ids of GetProgressBar.
enum ProgressBarField : int32_t {
    ProgressBarVisible = 0,
    ProgressBarTopMargin = 1,
    ProgressBarHeight = 2,
};

struct ProgressBarSettings {
    bool visible = true;
    int32_t topMargin = 4;  // pixels between the list and the bar
    int32_t height = 16;    // pixels

    // SetProgressBar: a negative margin or height keeps the old value.
    void set(bool newVisible, int32_t newTopMargin, int32_t newHeight);
    // GetProgressBar: the field's value (visible as 0 or 1); false for an unknown field.
    bool field(int32_t fieldId, int32_t& value) const;
};

struct ListLayout {
    RECT list{};  // the list view
    RECT bar{};   // the progress bar, empty when it is hidden
};

// With the bar shown, the list covers the top and the bar the bottom `height` pixels, `topMargin`
// pixels below the list; else the list covers the whole window. Nothing gets a negative size.
ListLayout layoutList(int32_t width, int32_t height, const ProgressBarSettings& bar);
