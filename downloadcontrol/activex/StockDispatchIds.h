#pragma once
// Dispatch ids of the stock and ambient properties that controls share (the system headers of
// this tool chain do not define them).
#include "downloadcontrol/activex/SystemHeaders.h"

namespace activex {

constexpr DISPID kDispidBackColor = -501;
constexpr DISPID kDispidFont = -512;
constexpr DISPID kDispidEnabled = -514;
constexpr DISPID kDispidTabStop = -516;
constexpr DISPID kDispidAmbientBackColor = -701;
// OnAmbientPropertyChange with this id means "several ambients changed".
constexpr DISPID kDispidUnknown = -1;

}  // namespace activex
