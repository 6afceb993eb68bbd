// Aurora: an example screensaver. Windows starts it with "/s" to run full screen,
// "/p HWND" to draw into the small preview of the Screen Saver settings, and "/c"
// or no switch to show its settings, of which it has none.
#include <windows.h>

#include <cstdlib>
#include <optional>

#include "aurora_painter.h"
#include "frame_buffer.h"
#include "saver_args.h"

namespace {

constexpr char window_class_name[] = "AuroraScreenSaver";
constexpr char saver_name[] = "Aurora";
constexpr UINT_PTR frame_timer = 1;
constexpr UINT frame_interval_ms = 40;
// Pixels the mouse may drift before the full-screen saver ends.
constexpr int mouse_tolerance = 4;
// Frames are painted at most this wide and stretched to the window, which keeps
// the work per frame small on large screens.
constexpr int max_frame_width = 800;

struct SaverWindow {
    SaverMode mode;
    HWND preview_parent;
    POINT start_cursor;
    DWORD start_ticks;
    std::optional<FrameBuffer> frame;
};

void show_settings(HWND owner) {
    MessageBoxA(IsWindow(owner) ? owner : nullptr,
                "Aurora\r\n\r\nCurtains of northern light drifting across a night sky.\r\n"
                "This screen saver has no settings.",
                saver_name, MB_OK | MB_ICONINFORMATION);
}

void resize_frame(SaverWindow& saver, int client_width, int client_height) {
    const int divisor = (client_width + max_frame_width - 1) / max_frame_width;
    saver.frame.reset();
    if (divisor > 0) saver.frame.emplace(client_width / divisor, client_height / divisor);
}

void paint_next_frame(SaverWindow& saver) {
    if (!saver.frame || !saver.frame->valid()) return;
    const DWORD elapsed_ms = GetTickCount() - saver.start_ticks;
    paint_aurora(saver.frame->pixels(), elapsed_ms / 1000.0);
}

void show_frame(HWND window, const SaverWindow& saver) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    if (saver.frame && saver.frame->valid()) {
        const PixelFrame frame = saver.frame->pixels();
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, 0, 0, client.right, client.bottom, saver.frame->dc(), 0, 0, frame.width,
                   frame.height, SRCCOPY);
    } else {
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    EndPaint(window, &paint);
}

// Whether a message shows that the user is back: a key, a click, the wheel, the
// mouse moving more than a few pixels, or another program taking over.
bool user_is_back(const SaverWindow& saver, UINT message, WPARAM wparam) {
    switch (message) {
        case WM_MOUSEMOVE: {
            POINT cursor;
            GetCursorPos(&cursor);
            return std::abs(cursor.x - saver.start_cursor.x) > mouse_tolerance ||
                   std::abs(cursor.y - saver.start_cursor.y) > mouse_tolerance;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
        case WM_MOUSEWHEEL:
            return true;
        case WM_ACTIVATEAPP:
            return wparam == FALSE;
        default:
            return false;
    }
}

LRESULT CALLBACK saver_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* saver = reinterpret_cast<SaverWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!saver) return DefWindowProcA(window, message, wparam, lparam);

    const bool full_screen = saver->mode == SaverMode::FullScreen;
    if (full_screen && user_is_back(*saver, message, wparam)) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    switch (message) {
        case WM_CREATE:
            SetTimer(window, frame_timer, frame_interval_ms, nullptr);
            return 0;
        case WM_SIZE:
            resize_frame(*saver, LOWORD(lparam), HIWORD(lparam));
            return 0;
        case WM_TIMER:
            // A preview ends with the settings page that shows it, even when
            // Windows does not get round to destroying this child window.
            if (saver->mode == SaverMode::Preview && !IsWindow(saver->preview_parent)) {
                DestroyWindow(window);
                return 0;
            }
            paint_next_frame(*saver);
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            show_frame(window, *saver);
            return 0;
        case WM_SETCURSOR:
            if (!full_screen) break;
            SetCursor(nullptr);
            return TRUE;
        case WM_SYSCOMMAND:
            // No second saver while this one runs.
            if ((wparam & 0xFFF0) == SC_SCREENSAVE) return 0;
            break;
        case WM_DESTROY:
            KillTimer(window, frame_timer);
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

HWND create_saver_window(HINSTANCE instance, SaverWindow& saver) {
    if (saver.mode == SaverMode::Preview) {
        RECT parent_client;
        GetClientRect(saver.preview_parent, &parent_client);
        return CreateWindowExA(0, window_class_name, saver_name, WS_CHILD | WS_VISIBLE, 0, 0,
                               parent_client.right, parent_client.bottom, saver.preview_parent,
                               nullptr, instance, &saver);
    }
    return CreateWindowExA(WS_EX_TOPMOST, window_class_name, saver_name, WS_POPUP | WS_VISIBLE,
                           GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                           GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN),
                           nullptr, nullptr, instance, &saver);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_tail, int) {
    const SaverArgs args = parse_saver_args(command_tail);
    if (args.mode == SaverMode::Settings) {
        show_settings(args.window);
        return 0;
    }
    if (args.mode == SaverMode::Preview && !IsWindow(args.window)) return 1;

    WNDCLASSA window_class{};
    window_class.lpfnWndProc = saver_window_proc;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.lpszClassName = window_class_name;
    if (!RegisterClassA(&window_class)) return 1;

    SaverWindow saver{args.mode, args.window, {}, GetTickCount(), std::nullopt};
    GetCursorPos(&saver.start_cursor);
    if (!create_saver_window(instance, saver)) return 1;

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
