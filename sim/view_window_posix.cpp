// Native host: no window system, so no view window.
#include "view_window.h"

namespace sim {

PlatformWindow ShowViewWindow(const Document& /*document*/, const std::vector<DrawCall>& /*calls*/) { return nullptr; }
std::uint32_t ViewPixel(std::int32_t /*h*/, std::int32_t /*v*/) { return 0xFFFFFFFF; }
bool SaveViewScreenshot(const std::string& /*path*/) { return false; }
void CloseViewWindow() {}

}  // namespace sim
