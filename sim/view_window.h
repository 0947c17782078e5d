// The document's view as a window of the Windows host, so that what the annotator draws can be seen
// (and photographed) over the artwork, as the application shows it on its canvas. Natively there is
// no window system and these do nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app_state.h"
#include "host/host_types.h"

namespace sim {

class Document;

// Paints the visible layers' art in grey and then calls, the annotator's drawing, over it, in a
// top-level window of the view's size that is shown (made the first time); returns the window.
PlatformWindow ShowViewWindow(const Document& document, const std::vector<DrawCall>& calls);

// The colour (0x00BBGGRR) of the last painting at a view point; 0xFFFFFFFF outside it or natively.
std::uint32_t ViewPixel(std::int32_t h, std::int32_t v);

// A screenshot of the view window as it is on the screen, written as a PNG file; false when there is
// no window or the file cannot be written.
bool SaveViewScreenshot(const std::string& path);

// Closes the view window, if there is one.
void CloseViewWindow();

}  // namespace sim
