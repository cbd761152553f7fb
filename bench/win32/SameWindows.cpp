// What Wine itself charges for the program's main window: the window tree
// that startup_bench --windows wrote from the running program (same
// classes, class styles, styles, extended styles, nesting, sizes and
// texts), created and shown by a bare program that loads the same system
// libraries and does nothing else. Window classes of the program are
// registered again with the system's default procedure, or with their
// system base class's procedure when they are made from one (the others
// erase with the button face, which is all they draw); every child
// gets one font and is created visible inside the hidden top-level
// window, which is then shown.
//   same_windows FILE
#include "BareImports.h"
#include "WindowTree.h"

#include <map>

namespace {

HWND TopWindow = nullptr;

LRESULT CALLBACK TopWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY && wnd == TopWindow) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

// Registers the record's class under its own name, unless the system
// already knows it; false when its base class is unknown.
bool RegisterClassOf(const TWindowRecord& r, bool top, HINSTANCE instance) {
    WNDCLASSA cls{};
    if (GetClassInfoA(instance, r.Class.c_str(), &cls) || GetClassInfoA(nullptr, r.Class.c_str(), &cls)) return true;
    if (!r.Base.empty()) {
        if (!GetClassInfoA(nullptr, r.Base.c_str(), &cls)) return false;
    } else {
        cls.lpfnWndProc = DefWindowProcA;
        cls.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    }
    if (top) cls.lpfnWndProc = TopWindowProc;
    cls.style = r.ClassStyle & ~static_cast<UINT>(CS_GLOBALCLASS);
    cls.hInstance = instance;
    cls.lpszClassName = r.Class.c_str();
    return RegisterClassA(&cls) != 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    (void)BareImports[0];
    if (__argc != 2) return 2;
    const std::vector<TWindowRecord> tree = ReadWindowTree(__argv[1]);
    if (tree.empty() || tree[0].Depth != 0) return 3;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");
    std::vector<HWND> parents;  // the last window made at each depth
    for (size_t i = 0; i < tree.size(); ++i) {
        const TWindowRecord& r = tree[i];
        if (!RegisterClassOf(r, i == 0, instance)) {
            // The rich edit classes come with their library.
            LoadLibraryA("riched20.dll");
            if (!RegisterClassOf(r, i == 0, instance)) return 4;
        }
        if (r.Depth < 0 || static_cast<size_t>(r.Depth) > parents.size()) return 5;
        parents.resize(static_cast<size_t>(r.Depth));
        const DWORD style = i == 0 ? r.Style & ~static_cast<DWORD>(WS_VISIBLE) : r.Style;
        HWND wnd = CreateWindowExA(r.ExStyle, r.Class.c_str(), r.Text.c_str(), style, r.X, r.Y, r.Width, r.Height,
                                   parents.empty() ? nullptr : parents.back(), nullptr, instance, nullptr);
        if (!wnd) return 6;
        if (i == 0) TopWindow = wnd;
        SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
        parents.push_back(wnd);
    }
    ShowWindow(TopWindow, show);
    UpdateWindow(TopWindow);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DeleteObject(font);
    return 0;
}
