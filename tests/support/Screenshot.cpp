#include "support/Screenshot.h"

#include "gcl/rtl/WinApi.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qelvo::test {

int SaveWindowScreenshot(void* window, const std::string& fileName) {
    RECT r{};
    GetWindowRect(static_cast<HWND>(window), &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return -1;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    GdiFlush();

    char path[MAX_PATH] = {};
    if (const char* folder = std::getenv("QELVO_SCREENSHOT_DIR")) {
        std::snprintf(path, sizeof path, "%s\\%s", folder, fileName.c_str());
    } else {
        GetModuleFileNameA(nullptr, path, sizeof path);
        char* slash = std::strrchr(path, '\\');
        const size_t at = slash ? static_cast<size_t>(slash + 1 - path) : 0;
        std::snprintf(path + at, sizeof path - at, "%s", fileName.c_str());
    }
    int distinct = -1;
    const int stride = ((width * 3 + 3) / 4) * 4;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * height);
    if (FILE* out = std::fopen(path, "wb")) {
        bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                       std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                       std::fwrite(bits, static_cast<size_t>(stride), static_cast<size_t>(height), out) ==
                           static_cast<size_t>(height);
        written = std::fclose(out) == 0 && written;
        if (written) {
            distinct = 0;
            COLORREF last = CLR_INVALID;
            for (int y = 0; y < height; y += 3)
                for (int x = 0; x < width; x += 3) {
                    const COLORREF c = GetPixel(dc, x, y);
                    if (c != last) ++distinct;
                    last = c;
                }
        }
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return distinct;
}

} // namespace qelvo::test
