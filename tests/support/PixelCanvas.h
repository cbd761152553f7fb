// A 32-bit memory bitmap with its DC, for reading back what toolbar code
// paints (tests of the toolbar framework).
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>
#include <string>

namespace qelvo::test {

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
        SelectObject(FDC, FOld);
        DeleteObject(FBitmap);
        DeleteDC(FDC);
    }
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;

    HDC DC() const { return FDC; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
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
    bool SameAs(const PixelCanvas& other) const {
        GdiFlush();
        if (other.FWidth != FWidth || other.FHeight != FHeight) return false;
        for (int i = 0; i < FWidth * FHeight; ++i)
            if ((FBits[i] & 0xFFFFFF) != (other.FBits[i] & 0xFFFFFF)) return false;
        return true;
    }
    int CountOf(COLORREF colour) const {
        GdiFlush();
        int n = 0;
        for (int i = 0; i < FWidth * FHeight; ++i) n += (FBits[i] & 0xFFFFFF) == ToPixel(colour);
        return n;
    }
    // The rows of a rectangle as text: '#' where the pixel has colour, '.' elsewhere.
    std::string Pattern(int left, int top, int width, int height, COLORREF colour) const {
        std::string s;
        for (int y = top; y < top + height; ++y) {
            for (int x = left; x < left + width; ++x) s += At(x, y) == colour ? '#' : '.';
            s += '\n';
        }
        return s;
    }

private:
    static uint32_t ToPixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

    int FWidth;
    int FHeight;
    HDC FDC = nullptr;
    HBITMAP FBitmap = nullptr;
    HGDIOBJ FOld = nullptr;
    uint32_t* FBits = nullptr;
};

} // namespace qelvo::test
