// The theme tests' harness (they paint on support/PixelCanvas.h): a fixed table of system colours installed through the class
// library's system-colour service, a counter of the GDI objects this
// program creates and deletes, and the DC's save depth.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>
#include <memory>
#include <string>

#include "gcl/Graphics.h"
#include "theming/TxThemes.h"
#include "support/PixelCanvas.h"

namespace qelvo::test {

// Colours the theme tests paint with: the background a test lays under a
// painting (magenta), the classic button face, white; and any colour.
inline constexpr gcl::TColor Back = 0xFF00FF;
inline constexpr gcl::TColor Face = 0xC8D0D4;
inline constexpr gcl::TColor White = 0xFFFFFF;
inline gcl::TColor Rgb(int r, int g, int b) { return static_cast<gcl::TColor>(RGB(r, g, b)); }

using gcl::TColor;
using gcl::TRect;

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
