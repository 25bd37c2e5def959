#pragma once
// Ambient properties: values a container offers its controls through the client site's IDispatch.
#include "downloadcontrol/activex/SystemHeaders.h"

namespace activex {

// Reads ambient property `id` from `site`; false when the site has no such ambient.
bool readAmbient(IOleClientSite* site, DISPID id, VARIANT* value);

// The container's ambient back colour; false when it offers none.
bool ambientBackColor(IOleClientSite* site, OLE_COLOR* color);

}  // namespace activex
