#include "common/DialogGeometry.h"

#include <algorithm>

namespace {

const wchar_t trackerProperty[] = L"PixhaulDialogGeometry";

// What the subclass procedure needs of one dialog window; lives until the window's last message.
struct GeometryTracker {
    DialogGeometry* geometry;
    WNDPROC previous;
    bool placed;
};

void placeDialog(HWND dialog, const DialogPlacement& placement) {
    SetWindowPos(dialog, nullptr, placement.x, placement.y, placement.width, placement.height,
                 SWP_SHOWWINDOW);
}

LRESULT CALLBACK geometryWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* tracker = static_cast<GeometryTracker*>(GetPropW(window, trackerProperty));
    if (tracker == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    const LRESULT result = CallWindowProcW(tracker->previous, window, message, wParam, lParam);

    DialogPlacement& placement = tracker->geometry->placement;
    RECT rect;
    switch (message) {
    case WM_MOVE:
        if (IsWindowVisible(window) && !IsIconic(window) && GetWindowRect(window, &rect)) {
            placement.x = rect.left;
            placement.y = rect.top;
        }
        break;
    case WM_SIZE:
        if (IsWindowVisible(window) && !IsIconic(window) && GetWindowRect(window, &rect)) {
            placement.width = rect.right - rect.left;
            placement.height = rect.bottom - rect.top;
        }
        break;
    case WM_SHOWWINDOW:
        // Only the first showing after initialisation: a dialog that hides while it closes must
        // not be shown again, and later showings keep wherever the user has put it.
        if (wParam != FALSE && !tracker->placed) {
            tracker->placed = true;
            placeDialog(window, placement);
        }
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(tracker->previous));
        RemovePropW(window, trackerProperty);
        delete tracker;
        break;
    default:
        break;
    }
    return result;
}

}  // namespace

void completeDialogGeometry(DialogGeometry& geometry, const RECT& dialogRect, int screenWidth,
                            int screenHeight) {
    if (geometry.naturalWidth == dialogGeometryUnset || geometry.naturalHeight == dialogGeometryUnset) {
        geometry.naturalWidth = dialogRect.right - dialogRect.left;
        geometry.naturalHeight = dialogRect.bottom - dialogRect.top;
    }
    DialogPlacement& placement = geometry.placement;
    if (placement.width == dialogGeometryUnset || placement.height == dialogGeometryUnset) {
        placement.width = geometry.naturalWidth;
        placement.height = geometry.naturalHeight;
    }
    if (placement.x == dialogGeometryUnset || placement.y == dialogGeometryUnset) {
        placement.x = std::max(0, (screenWidth - placement.width) / 2);
        placement.y = std::max(0, (screenHeight - placement.height) / 2);
    }
}

bool followDialogGeometry(HWND dialog, DialogGeometry& geometry) {
    RECT rect;
    if (dialog == nullptr || !GetWindowRect(dialog, &rect)) {
        return false;
    }
    completeDialogGeometry(geometry, rect, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));

    if (auto* tracker = static_cast<GeometryTracker*>(GetPropW(dialog, trackerProperty))) {
        tracker->geometry = &geometry;
        return true;
    }
    auto* tracker = new GeometryTracker{&geometry, nullptr, false};
    if (!SetPropW(dialog, trackerProperty, tracker)) {
        delete tracker;
        return false;
    }
    tracker->previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&geometryWindowProc)));
    if (tracker->previous == nullptr) {
        RemovePropW(dialog, trackerProperty);
        delete tracker;
        return false;
    }
    return true;
}
