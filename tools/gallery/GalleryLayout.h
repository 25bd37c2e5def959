#pragma once
// Where the gallery shows itself; its screenshot test finds the window by this title.

namespace gallery {

constexpr const wchar_t* kWindowTitle = L"Pixhaul gallery";
constexpr int kLeft = 0;
constexpr int kTop = 0;
constexpr int kClientWidth = 1240;
constexpr int kClientHeight = 960;

}  // namespace gallery
