// A 32-bit top-down DIB section with its DC and a class-library canvas on
// it, for reading back what painting code draws: pixels, counts and
// patterns of a colour, a clip rectangle, and the picture as a BMP file.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "gcl/Graphics.h"

namespace qelvo::test {

// A DC's pixel as an RGB colour; a bitmap's pixel, read through its canvas.
inline COLORREF DcPixel(HDC dc, int x, int y) { return GetPixel(dc, x, y) & 0xFFFFFF; }
inline gcl::TColor PixelAt(gcl::TBitmap& bitmap, int x, int y) { return bitmap.GetCanvas()->GetPixels(x, y); }

class PixelCanvas {
public:
    PixelCanvas(int width, int height, COLORREF fill = RGB(255, 255, 255)) : FWidth(width), FHeight(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;   // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        HDC screen = GetDC(nullptr);
        FDC = CreateCompatibleDC(screen);
        FBitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&FBits), nullptr, 0);
        ReleaseDC(nullptr, screen);
        FOld = SelectObject(FDC, FBitmap);
        Fill(fill);
    }
    ~PixelCanvas() {
        if (FCanvas) FCanvas->SetHandle(nullptr);
        SelectObject(FDC, FOld);
        DeleteObject(FBitmap);
        DeleteDC(FDC);
    }
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;

    HDC DC() const { return FDC; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // A canvas on the bitmap, made on first use.
    gcl::TCanvas* Canvas() {
        if (!FCanvas) {
            FCanvas = std::make_unique<gcl::TCanvas>();
            FCanvas->SetHandle(FDC);
        }
        return FCanvas.get();
    }
    void Fill(COLORREF colour) {
        GdiFlush();
        for (int i = 0; i < FWidth * FHeight; ++i) FBits[i] = ToPixel(colour);
    }
    void Set(int x, int y, COLORREF colour) { FBits[y * FWidth + x] = ToPixel(colour); }
    // The colour at (x, y) as a COLORREF.
    COLORREF At(int x, int y) const {
        GdiFlush();
        uint32_t p = FBits[y * FWidth + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // The same as a class-library colour (0x00BBGGRR); outside the bitmap
    // clNone, and the test fails.
    gcl::TColor Pixel(int x, int y) const {
        if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) {
            ADD_FAILURE() << "pixel (" << x << ", " << y << ") outside the canvas";
            return gcl::clNone;
        }
        return static_cast<gcl::TColor>(At(x, y));
    }
    bool SameAs(const PixelCanvas& other) const {
        GdiFlush();
        if (other.FWidth != FWidth || other.FHeight != FHeight) return false;
        for (int i = 0; i < FWidth * FHeight; ++i)
            if ((FBits[i] & 0xFFFFFF) != (other.FBits[i] & 0xFFFFFF)) return false;
        return true;
    }
    int CountOf(COLORREF colour) const { return CountOf(gcl::TRect{0, 0, FWidth, FHeight}, static_cast<gcl::TColor>(colour)); }
    // Pixels of rect equal to color / different from it.
    int CountOf(const gcl::TRect& rect, gcl::TColor color) const {
        int n = 0;
        for (int y = rect.Top; y < rect.Bottom; ++y)
            for (int x = rect.Left; x < rect.Right; ++x) n += Pixel(x, y) == color;
        return n;
    }
    int CountNot(const gcl::TRect& rect, gcl::TColor color) const { return Area(rect) - CountOf(rect, color); }
    // The rows of a rectangle as text: '#' where the pixel has colour, '.' elsewhere.
    std::string Pattern(int left, int top, int width, int height, COLORREF colour) const {
        std::string s;
        for (int y = top; y < top + height; ++y) {
            for (int x = left; x < left + width; ++x) s += At(x, y) == colour ? '#' : '.';
            s += '\n';
        }
        return s;
    }
    std::string Pattern(const gcl::TRect& rect, gcl::TColor color) const {
        return Pattern(rect.Left, rect.Top, rect.Width(), rect.Height(), static_cast<COLORREF>(color));
    }
    // Limits drawing to rect (the clip region of the DC).
    void ClipTo(const gcl::TRect& rect) {
        HRGN region = CreateRectRgn(rect.Left, rect.Top, rect.Right, rect.Bottom);
        SelectClipRgn(FDC, region);
        DeleteObject(region);
    }
    // Writes the picture as a 24-bit BMP beside the test program (or into
    // QELVO_SCREENSHOT_DIR); false when it could not be written.
    bool SaveBmp(const std::string& fileName) const {
        std::string path = fileName;
        if (const char* folder = std::getenv("QELVO_SCREENSHOT_DIR")) path = std::string(folder) + "\\" + fileName;
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return false;
        const int stride = (FWidth * 3 + 3) & ~3;
        BITMAPFILEHEADER file{};
        BITMAPINFOHEADER info{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info;
        file.bfSize = file.bfOffBits + stride * FHeight;
        info.biSize = sizeof info;
        info.biWidth = FWidth;
        info.biHeight = FHeight;
        info.biPlanes = 1;
        info.biBitCount = 24;
        bool ok = std::fwrite(&file, sizeof file, 1, f) == 1 && std::fwrite(&info, sizeof info, 1, f) == 1;
        std::string row(static_cast<size_t>(stride), '\0');
        for (int y = FHeight - 1; ok && y >= 0; --y) {
            for (int x = 0; x < FWidth; ++x) {
                const COLORREF p = At(x, y);
                row[x * 3] = static_cast<char>(GetBValue(p));
                row[x * 3 + 1] = static_cast<char>(GetGValue(p));
                row[x * 3 + 2] = static_cast<char>(GetRValue(p));
            }
            ok = std::fwrite(row.data(), row.size(), 1, f) == 1;
        }
        return std::fclose(f) == 0 && ok;
    }

    static int Area(const gcl::TRect& r) { return (r.Right - r.Left) * (r.Bottom - r.Top); }

private:
    static uint32_t ToPixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

    int FWidth;
    int FHeight;
    HDC FDC = nullptr;
    HBITMAP FBitmap = nullptr;
    HGDIOBJ FOld = nullptr;
    uint32_t* FBits = nullptr;
    std::unique_ptr<gcl::TCanvas> FCanvas;
};

} // namespace qelvo::test
