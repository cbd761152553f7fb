// The theme tests' harness: a canvas over a 32-bit DIB section with pixel
// reads, a fixed table of system colours installed through the class
// library's system-colour service, a counter of the GDI objects this
// program creates and deletes, and the DC's save depth.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>
#include <memory>
#include <string>

#include "gcl/Graphics.h"
#include "theming/TxThemes.h"
#include "toolbar/PixelCanvas.h"

namespace qelvo::test {

using gcl::TColor;
using gcl::TRect;

// A canvas over the toolbar tests' 32-bit memory bitmap.
class TDibCanvas {
public:
    TDibCanvas(int width, int height, TColor fill = 0xFF00FF);
    ~TDibCanvas();
    TDibCanvas(const TDibCanvas&) = delete;
    TDibCanvas& operator=(const TDibCanvas&) = delete;

    gcl::TCanvas* Canvas() const { return FCanvas.get(); }
    HDC DC() const { return FPixels.DC(); }
    int Width() const { return FPixels.Width(); }
    int Height() const { return FPixels.Height(); }
    void Fill(TColor color);
    // The pixel as a 0x00BBGGRR colour.
    TColor Pixel(int x, int y) const;
    // Pixels of rect equal to color / different from it.
    int CountOf(const TRect& rect, TColor color) const;
    int CountNot(const TRect& rect, TColor color) const { return Area(rect) - CountOf(rect, color); }
    // The rows of rect as text: '#' where the pixel has color, '.' elsewhere.
    std::string Pattern(const TRect& rect, TColor color) const;
    // Limits drawing to rect (the clip region of the DC).
    void ClipTo(const TRect& rect);
    // Writes the picture as a 24-bit BMP beside the test program (or into
    // QELVO_SCREENSHOT_DIR); false when it could not be written.
    bool SaveBmp(const std::string& fileName) const;

    static int Area(const TRect& r) { return (r.Right - r.Left) * (r.Bottom - r.Top); }

private:
    PixelCanvas FPixels;
    std::unique_ptr<gcl::TCanvas> FCanvas;
};

// The classic Windows colours for every COLOR_ index, fixed for the
// process's tests whatever the desktop says; Set changes one entry.
class TFixedSysColors : public gcl::ISysColorService {
public:
    TFixedSysColors();
    ~TFixedSysColors() override;
    TFixedSysColors(const TFixedSysColors&) = delete;
    TFixedSysColors& operator=(const TFixedSysColors&) = delete;
    COLORREF GetColor(int index) override;
    void Set(int index, COLORREF color) { FTable[index & 0xFF] = color; }

private:
    COLORREF FTable[256];
    gcl::ServiceOverride<gcl::ISysColorService> FOverride;
};

// Counts the GDI objects (pens, brushes, fonts, bitmaps, regions, DCs)
// that this program creates and deletes through gdi32 (and the bitmaps
// user32 loads for it) while a counter lives. Installing patches the
// program's own import table once.
class TGdiObjectCounter {
public:
    TGdiObjectCounter();
    ~TGdiObjectCounter();
    TGdiObjectCounter(const TGdiObjectCounter&) = delete;
    TGdiObjectCounter& operator=(const TGdiObjectCounter&) = delete;

    long Created() const;
    long Deleted() const;
    // Created minus deleted since the counter started.
    long Balance() const { return Created() - Deleted(); }
    // Whether the import table could be patched (the counts mean nothing otherwise).
    static bool Installed();

private:
    long FCreated0;
    long FDeleted0;
};

// The number of states saved on the DC (SaveDC levels).
int SaveDepth(HDC dc);

// An item record of the view type, enabled or not, with a hover kind.
TTxItemInfo Item(uint32_t viewType, bool enabled = true, uint8_t hover = 0);

// Starts the theming layer and registers the visual themes, once per
// test program (they stay up until it ends).
void StartThemes();

// Sets the theming layer's low-colour and white-face flags for a scope.
class TThemingFlagsScope {
public:
    TThemingFlagsScope(bool lowColorScreen, bool whiteButtonFace);
    ~TThemingFlagsScope();
    TThemingFlagsScope(const TThemingFlagsScope&) = delete;
    TThemingFlagsScope& operator=(const TThemingFlagsScope&) = delete;

private:
    bool FLowColorScreen;
    bool FWhiteButtonFace;
};

} // namespace qelvo::test
