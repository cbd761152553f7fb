// The visual-styles library (uxtheme.dll), bound by name at run time so the
// program also runs where it is missing. Every entry point may be absent;
// callers test it and take their classic path.
//
//     if (auto draw = uxtheme::DrawThemeBackground())
//         draw(theme, dc, part, state, &rect, nullptr);
#pragma once

#include "gcl/rtl/WinApi.h"
#include <uxtheme.h>

namespace qelvo {

#define QELVO_UXTHEME_ENTRY_POINTS(X)                                                             \
    X(OpenThemeData) X(CloseThemeData) X(DrawThemeBackground) X(DrawThemeText)                    \
    X(GetThemeBackgroundContentRect) X(GetThemePartSize) X(GetThemeTextExtent)                    \
    X(GetThemeTextMetrics) X(GetThemeBackgroundRegion) X(HitTestThemeBackground) X(DrawThemeEdge) \
    X(DrawThemeIcon) X(IsThemePartDefined) X(IsThemeBackgroundPartiallyTransparent)               \
    X(GetThemeColor) X(GetThemeMetric) X(GetThemeString) X(GetThemeBool) X(GetThemeInt)           \
    X(GetThemeEnumValue) X(GetThemePosition) X(GetThemeFont) X(GetThemeRect) X(GetThemeMargins)   \
    X(GetThemeIntList) X(GetThemePropertyOrigin) X(SetWindowTheme) X(GetThemeFilename)            \
    X(GetThemeSysColor) X(GetThemeSysColorBrush) X(GetThemeSysBool) X(GetThemeSysSize)            \
    X(GetThemeSysFont) X(GetThemeSysString) X(GetThemeSysInt) X(IsThemeActive) X(IsAppThemed)     \
    X(GetWindowTheme) X(EnableThemeDialogTexture) X(IsThemeDialogTextureEnabled)                  \
    X(GetThemeAppProperties) X(SetThemeAppProperties) X(GetCurrentThemeName)                      \
    X(GetThemeDocumentationProperty) X(DrawThemeParentBackground) X(EnableTheming)

// The entry points: each answers the bound function, or null while the
// library is not loaded or lacks it.
namespace uxtheme {
#define QELVO_UXTHEME_DECLARE(Name) decltype(&::Name) Name() noexcept;
QELVO_UXTHEME_ENTRY_POINTS(QELVO_UXTHEME_DECLARE)
#undef QELVO_UXTHEME_DECLARE
} // namespace uxtheme

// Binds the library when it is not bound yet; answers whether it is.
bool LoadVisualStylesLibrary();
// Lets go of the library: every entry point reads as absent until the next
// LoadVisualStylesLibrary. (The module itself stays mapped for the life of
// the process, so a pointer fetched earlier never dangles.)
void UnloadVisualStylesLibrary() noexcept;
bool VisualStylesLibraryLoaded() noexcept;
// Library loaded, and the application themed with a visual style active.
bool VisualStylesActive();

} // namespace qelvo
