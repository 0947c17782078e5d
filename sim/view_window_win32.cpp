// Windows host: the view window. Each showing paints into a bitmap of the view's size (the art, then
// the annotator's calls), which the window shows; the screenshot reads the screen back through GDI
// and writes it with GDI+.
#include "view_window.h"

#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "document.h"

namespace sim {

namespace {

constexpr const char* kViewWindowClass = "KelvaneSimView";

struct ViewCanvas {
    HWND window = nullptr;
    HDC memory = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    int width = 0;
    int height = 0;
} canvas;

LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (canvas.memory != nullptr) BitBlt(dc, 0, 0, canvas.width, canvas.height, canvas.memory, 0, 0, SRCCOPY);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void ReleaseCanvas() {
    if (canvas.memory != nullptr) {
        SelectObject(canvas.memory, canvas.previous);
        DeleteDC(canvas.memory);
    }
    if (canvas.bitmap != nullptr) DeleteObject(canvas.bitmap);
    canvas.memory = nullptr;
    canvas.bitmap = nullptr;
}

void MakeCanvas(int width, int height) {
    if (canvas.memory != nullptr && canvas.width == width && canvas.height == height) return;
    ReleaseCanvas();
    HDC screen = GetDC(nullptr);
    canvas.memory = CreateCompatibleDC(screen);
    canvas.bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    canvas.previous = SelectObject(canvas.memory, canvas.bitmap);
    canvas.width = width;
    canvas.height = height;
}

POINT ToPoint(const ViewPoint& point) { return POINT{point.h, point.v}; }

// Pens are made for one stroke and deleted after it.
class Pen {
public:
    Pen(HDC dc, COLORREF colour, int width) : dc_(dc), pen_(CreatePen(PS_SOLID, width, colour)) {
        previous_ = SelectObject(dc_, pen_);
    }
    ~Pen() {
        SelectObject(dc_, previous_);
        DeleteObject(pen_);
    }
    Pen(const Pen&) = delete;
    Pen& operator=(const Pen&) = delete;

private:
    HDC dc_;
    HPEN pen_;
    HGDIOBJ previous_;
};

void PaintArt(HDC dc, const DocumentView& view, const Art& art) {
    if (!art.alive || (art.attributes & kArtHidden) != 0) return;
    if (art.type == kPathArt && !art.anchors.empty()) {
        std::vector<POINT> points{ToPoint(view.ToView(art.anchors[0].p))};
        const std::size_t count = art.anchors.size();
        const std::size_t segments = art.closed ? count : count - 1;
        for (std::size_t k = 0; k < segments; ++k) {
            const AnchorRecord& from = art.anchors[k];
            const AnchorRecord& to = art.anchors[(k + 1) % count];
            points.push_back(ToPoint(view.ToView(from.out)));
            points.push_back(ToPoint(view.ToView(to.in)));
            points.push_back(ToPoint(view.ToView(to.p)));
        }
        PolyBezier(dc, points.data(), static_cast<DWORD>(points.size()));
    } else if (art.type == kTextFrameArt || art.type == kPlacedArt) {
        const ViewPoint a = view.ToView(RealPoint{art.frame.left, art.frame.top});
        const ViewPoint b = view.ToView(RealPoint{art.frame.right, art.frame.bottom});
        const POINT corners[5] = {{a.h, a.v}, {b.h, a.v}, {b.h, b.v}, {a.h, b.v}, {a.h, a.v}};
        Polyline(dc, corners, 5);
    }
    for (const Art* child = art.firstChild; child != nullptr; child = child->next) PaintArt(dc, view, *child);
}

COLORREF ColourOf(const UIColor& colour) {
    const auto channel = [](double value) { return static_cast<BYTE>(std::lround(std::fmin(1.0, std::fmax(0.0, value)) * 255)); };
    return RGB(channel(colour.red), channel(colour.green), channel(colour.blue));
}

void PaintCalls(HDC dc, const std::vector<DrawCall>& calls) {
    COLORREF colour = RGB(0, 0, 0);
    int width = 1;
    for (const DrawCall& call : calls) {
        switch (call.op) {
            case DrawOp::SetColor:
                colour = ColourOf(call.color);
                break;
            case DrawOp::SetLineWidth:
                width = std::max(1, static_cast<int>(std::lround(call.width)));
                break;
            case DrawOp::Line: {
                Pen pen(dc, colour, width);
                MoveToEx(dc, call.points[0].h, call.points[0].v, nullptr);
                LineTo(dc, call.points[1].h, call.points[1].v);
                break;
            }
            case DrawOp::Beziers: {
                Pen pen(dc, colour, width);
                std::vector<POINT> points;
                for (const ViewPoint& point : call.points) points.push_back(ToPoint(point));
                PolyBezier(dc, points.data(), static_cast<DWORD>(points.size()));
                break;
            }
            case DrawOp::Polygon: {
                Pen pen(dc, colour, width);
                std::vector<POINT> points;
                for (const ViewPoint& point : call.points) points.push_back(ToPoint(point));
                if (!points.empty()) points.push_back(points.front());
                Polyline(dc, points.data(), static_cast<int>(points.size()));
                break;
            }
            case DrawOp::Rect:
            case DrawOp::Ellipse: {
                Pen pen(dc, colour, width);
                HGDIOBJ brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
                if (call.op == DrawOp::Rect) {
                    Rectangle(dc, call.rect.left, call.rect.top, call.rect.right, call.rect.bottom);
                } else {
                    Ellipse(dc, call.rect.left, call.rect.top, call.rect.right, call.rect.bottom);
                }
                SelectObject(dc, brush);
                break;
            }
            default:
                break;
        }
    }
}

// The CLSID of the PNG encoder among GDI+'s image encoders.
bool PngEncoder(CLSID* clsid) {
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok) return false;
    for (UINT k = 0; k < count; ++k) {
        if (wcscmp(encoders[k].MimeType, L"image/png") == 0) {
            *clsid = encoders[k].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace

PlatformWindow ShowViewWindow(const Document& document, const std::vector<DrawCall>& calls) {
    const DocumentView* view = document.View(0);
    if (view == nullptr) return nullptr;
    MakeCanvas(view->width, view->height);
    HDC dc = canvas.memory;
    RECT all{0, 0, view->width, view->height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    {
        Pen grey(dc, RGB(128, 128, 128), 1);
        for (int i = document.LayerCount() - 1; i >= 0; --i) {  // the bottom layer first
            const Layer* layer = document.LayerAt(i);
            if (layer->alive && layer->visible) PaintArt(dc, *view, *layer->root);
        }
    }
    PaintCalls(dc, calls);

    if (canvas.window == nullptr || !IsWindow(canvas.window)) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = ViewProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kViewWindowClass;
        RegisterClassA(&windowClass);  // fails harmlessly when the class exists
        RECT frame{0, 0, view->width, view->height};
        AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
        canvas.window = CreateWindowExA(0, kViewWindowClass, "Kelvane view", WS_OVERLAPPEDWINDOW, 0, 0,
                                        frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
    }
    if (canvas.window == nullptr) return nullptr;
    ShowWindow(canvas.window, SW_SHOWNORMAL);
    SetWindowPos(canvas.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    InvalidateRect(canvas.window, nullptr, FALSE);
    UpdateWindow(canvas.window);
    // Let the window system catch up, so that a screenshot right after finds the painting on the screen.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    GdiFlush();
    return canvas.window;
}

std::uint32_t ViewPixel(std::int32_t h, std::int32_t v) {
    if (canvas.memory == nullptr || h < 0 || v < 0 || h >= canvas.width || v >= canvas.height) return 0xFFFFFFFF;
    return GetPixel(canvas.memory, h, v);
}

bool SaveViewScreenshot(const std::string& path) {
    if (canvas.window == nullptr || !IsWindow(canvas.window)) return false;
    RECT client{};
    GetClientRect(canvas.window, &client);
    POINT origin{0, 0};
    ClientToScreen(canvas.window, &origin);
    const int width = client.right, height = client.bottom;

    HDC screen = GetDC(nullptr);
    HDC shot = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(shot, bitmap);
    BitBlt(shot, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    SelectObject(shot, previous);
    DeleteDC(shot);
    ReleaseDC(nullptr, screen);

    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    bool saved = false;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) {
        {
            Gdiplus::Bitmap image(bitmap, nullptr);
            CLSID png{};
            const std::wstring wide(path.begin(), path.end());
            saved = PngEncoder(&png) && image.Save(wide.c_str(), &png, nullptr) == Gdiplus::Ok;
        }
        Gdiplus::GdiplusShutdown(token);
    }
    DeleteObject(bitmap);
    return saved;
}

void CloseViewWindow() {
    if (canvas.window != nullptr && IsWindow(canvas.window)) DestroyWindow(canvas.window);
    canvas.window = nullptr;
    ReleaseCanvas();
}

}  // namespace sim
