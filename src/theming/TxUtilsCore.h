// The window-free half of the theming toolkit: colour arithmetic, the
// per-pixel rules of the image effects, gradient tables, the brushed
// texture's noise, and the geometry and alpha ramps of popup shadows.
// It builds natively too, so every formula is checked without a screen;
// TxUtils.h includes it and adds the drawing on top.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "gcl/rtl/Types.h"

namespace qelvo {

// 0x00BBGGRR for an RGB colour; a negative value is the system colour
// whose index is the low byte; clNone paints nothing.
using TColor = int32_t;
inline constexpr TColor clNone = 0x1FFFFFFF;

// Turns a system colour into its RGB value. On Windows this is the class
// library's ColorToRGB (so tests replace the system colours through its
// service); natively the Windows default colours stand in.
TColor ResolveColor(TColor color);

inline constexpr uint32_t RValue(TColor c) noexcept { return static_cast<uint32_t>(c) & 0xFF; }
inline constexpr uint32_t GValue(TColor c) noexcept { return (static_cast<uint32_t>(c) >> 8) & 0xFF; }
inline constexpr uint32_t BValue(TColor c) noexcept { return (static_cast<uint32_t>(c) >> 16) & 0xFF; }
inline constexpr TColor RGBColor(uint32_t r, uint32_t g, uint32_t b) noexcept {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// ---- Colour arithmetic (results are RGB colours) --------------------------

// Per channel (c1 x w + c2 x (255 - w)) shr 8; w >= 256 fails an assertion.
TColor BlendColor(TColor c1, TColor c2, int w);
// Each channel plus delta, clamped to 0..255.
TColor ShiftColor(TColor c, int delta);
// (R x 76 + G x 150 + B x 30) shr 8.
int ColorIntensity(TColor c);
// R x 76 + G x 150 + B x 30 < threshold x 256.
bool IsDarkColor(TColor c, int threshold);
// w < 100: percent of c1; w >= 100: per mille of c1.
TColor MixColors(TColor c1, TColor c2, int w);
// Moves c until it stands off background by the contrast distance.
void AdjustContrast(TColor& c, TColor background, int contrast);
// Hue, saturation and lightness as fractions 0..1.
void ColorToHSL(TColor c, double& h, double& s, double& l);
TColor HSLToColor(double h, double s, double l);
// The pixel form of a colour in a 32-bit scan line: 0xFFRRGGBB.
uint32_t SwapRB(TColor c);

// ---- Per-pixel rules -------------------------------------------------------

// One pixel of BlendPixel: old and color are RGB; alpha in 1..254.
TColor BlendPixelValue(TColor old, TColor color, int alpha);

// The image effects work on scan-line pixels 0x00RRGGBB (blue in the low
// byte). Each answers what a pixel the image changed becomes.
uint32_t BrightenedPixel(uint32_t image);
uint32_t BlendedPixel(uint32_t image, uint32_t background, int opacity);
uint32_t TintedPixel(uint32_t image, uint32_t colorPixel, int weight);
uint32_t ShadedPixel(uint32_t image, uint32_t background, int mode);
// Whether the monochrome effect paints this image pixel.
bool MonochromeMaskPixel(uint32_t image);
// Scan-line luminance R x 76 + G x 150 + B x 29.
inline constexpr uint32_t PixelLum(uint32_t p) noexcept {
    return ((p >> 16) & 0xFF) * 76 + ((p >> 8) & 0xFF) * 150 + (p & 0xFF) * 29;
}

// ---- Gradient tables -------------------------------------------------------

// The n colours from s to e (n >= 1, else an assertion failure).
std::vector<TColor> GradientTable(int n, TColor s, TColor e);

// A ring of 16 gradient tables keyed by (length, start, end).
class TGradientCache {
public:
    const std::vector<TColor>& Get(int n, TColor s, TColor e);
    void Clear();

private:
    struct TEntry {
        int N = 0;
        TColor S = 0, E = 0;
        std::vector<TColor> Table;
    };
    std::array<TEntry, 16> FEntries;
    int FNext = 0;
};

// ---- Brushed texture -------------------------------------------------------

inline constexpr int BrushedRows = 1024;

// The noise of the brushed fill: eight strips of signed values and the row
// tables that choose a strip and an offset for each of 1024 rows.
struct TBrushedNoise {
    std::array<std::vector<int>, 8> Strips;
    std::array<int, BrushedRows> RowStrip{};
    std::array<int, BrushedRows> RowOffset{};
    // Draws new noise from the run-time library's generator.
    void Build();
};

// The row-table index of row y for a texture anchored at originY; always
// in 0..1023, however far the row lies from the origin.
int BrushedRowIndex(int y, int originY);
// One texture pixel as a scan-line value 0x00RRGGBB.
uint32_t BrushedPixel(int noise, TColor color, int strength);

// ---- Popup shadows ---------------------------------------------------------

struct TShadowStrip {
    gcl::TRect Bounds;
    bool Vertical = false;
    uint8_t Edges = 0;  // 1 fade in at the start, 2 fade out at the end
    friend bool operator==(const TShadowStrip&, const TShadowStrip&) = default;
};

// The strips around the popup (and the item it hangs from) for strips of
// width size; r1 and r2 in screen coordinates, either may be empty.
std::vector<TShadowStrip> ShadowStrips(const gcl::TRect& r1, const gcl::TRect& r2, int size);

// Alpha (0..255) of every pixel of a strip of w x h, row by row.
std::vector<uint8_t> ShadowAlpha(bool vertical, int w, int h, uint8_t edges);

} // namespace qelvo
