// The run-time binding of uxtheme.dll through the class library's binder,
// with a loaded flag that makes every entry point read as absent while the
// theming layer has the library unloaded.
#include "theming/TxUxThemes.h"

#include "gcl/Graphics.h"
#include "gcl/rtl/Libraries.h"

namespace qelvo {

namespace {

constinit gcl::TSystemLibrary UxThemeLibrary{"uxtheme.dll"};
bool Loaded = false;

#define QELVO_UXTHEME_BIND(Name) constinit gcl::TLibraryProc<decltype(&::Name)> Name##Proc{UxThemeLibrary, #Name};
QELVO_UXTHEME_ENTRY_POINTS(QELVO_UXTHEME_BIND)
#undef QELVO_UXTHEME_BIND

} // namespace

namespace uxtheme {
#define QELVO_UXTHEME_DEFINE(Name) \
    decltype(&::Name) Name() noexcept { return Loaded ? Name##Proc.Get() : nullptr; }
QELVO_UXTHEME_ENTRY_POINTS(QELVO_UXTHEME_DEFINE)
#undef QELVO_UXTHEME_DEFINE
} // namespace uxtheme

bool LoadVisualStylesLibrary() {
    if (!Loaded) Loaded = UxThemeLibrary.Loaded();
    return Loaded;
}

void UnloadVisualStylesLibrary() noexcept { Loaded = false; }

bool VisualStylesLibraryLoaded() noexcept { return Loaded; }

bool VisualStylesActive() {
    // The class library's visual-styles service asks IsAppThemed and
    // IsThemeActive (and lets tests pretend either way).
    return Loaded && uxtheme::IsAppThemed() && uxtheme::IsThemeActive() && gcl::VisualStylesActive();
}

} // namespace qelvo
