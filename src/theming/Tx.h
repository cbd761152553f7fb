// The hub of the theming layer: the current theme and the holder that
// tells every theme listener about theme switches and system changes, the
// queries painters send to windows, the parent-background painter, the
// per-item font settings, and the unit's start-up (the Default theme, the
// sound warm-up thread).
#pragma once

#include "gcl/rtl/WinApi.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "gcl/Controls.h"
#include "gcl/Forms.h"
#include "gcl/Graphics.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/Objects.h"
#include "theming/TxThemes.h"

namespace qelvo {

class TBarDock;  // the docks of the toolbar framework
class TBarView;

// The theme every painter calls; never null between the unit's start and end.
extern TTxTheme* CurrentTheme;
// The current theme's integer metric INDEX, never below 0.
inline int ThemeMetric(int index) { return std::max(0, CurrentTheme->IntegerMetric(index)); }

// Holds the current theme and the theme listeners (not owned), in
// registration order. It hears WM_SKIN_SYSCHANGE from the theme manager
// and passes each step on as WM_SKIN_THEMECHANGE with LParam 0.
class TTxNexus : public gcl::TObject {
    GCL_CLASS(TTxNexus, gcl::TObject)
public:
    explicit TTxNexus(const std::string& themeName);
    ~TTxNexus() override;

    void AddListener(gcl::TObject* listener);
    void RemoveListener(gcl::TObject* listener) noexcept;
    int ListenerCount() const noexcept { return static_cast<int>(FListeners.size()); }
    // Makes a registered theme current and tells every listener in three
    // steps. The new theme is acquired before the old one is let go: when
    // its creation fails the old theme stays current and nobody is told.
    void SwitchTheme(const std::string& name);
    // Delivers the message to every listener, each step of a switch to all
    // of them before the next; a listener that raises does not keep the
    // others (or itself) from the later steps.
    void Broadcast(uint32_t msg, uintptr_t wParam, intptr_t lParam);
    void Dispatch(gcl::TMessage& message) override;

private:
    std::vector<gcl::TObject*> FListeners;
};

extern TTxNexus* TxNexus;

void AddThemeListener(gcl::TObject* listener);
void RemoveThemeListener(gcl::TObject* listener) noexcept;
// Makes a registered theme current; an unknown name or a theme that
// cannot be made changes nothing.
void SelectTheme(const std::string& name);
std::string CurrentThemeName();

// The view type a view's window reports for WM_SKIN_VIEWTYPE (0 for none,
// a view without a window, or a window that does not answer).
uint32_t QueryViewType(TBarView* view);
// The view type a control reports for WM_SKIN_VIEWTYPE (0 for none).
uint32_t QueryControlViewType(gcl::TControl* control);
// The colour a control shows: its WM_SKIN_EFFECTIVECOLOR answer, button
// face for none or an MDI parent form, else its Color.
TColor QueryEffectiveColor(gcl::TControl* control);
// Paints into the control's DC what its parent shows behind rect: the
// parent's own erase, else the background of a dock that has one, else the
// parent's effective colour.
void DrawParentBackground(gcl::TControl* control, HDC dc, const TRect& rect);
// Re-applies the form's client size and redraws its frame.
void RefreshFrame(gcl::TCustomForm* form);
void RedrawWindowFrame(gcl::TControl* control);

// ---- Item state flags -----------------------------------------------------------

// A compact word describing an item's state, used by the font and image
// events and by the painters below.
inline constexpr int ISF_DISABLED = 0x01;
inline constexpr int ISF_HOT = 0x02;
inline constexpr int ISF_PUSHED = 0x04;
inline constexpr int ISF_SELECTED = 0x08;
// Bits 0x300 choose the view the record is built for.
inline constexpr int ISF_TOOLBAR = 0x000;
inline constexpr int ISF_DOCKPANEL = 0x100;
inline constexpr int ISF_STATUSBAR = 0x200;
inline constexpr int ISF_NOVIEW = 0x300;
inline constexpr int ISF_VIEWMASK = 0x300;

int ItemInfoToStateFlags(const TTxItemInfo& itemInfo) noexcept;
// The record the flags describe (zeroed, then view type, options and state).
TTxItemInfo StateFlagsToItemInfo(int stateFlags) noexcept;
TColor GetThemedItemTextColor(int stateFlags);
void PaintThemedCaption(TCanvas* canvas, const TRect& rect, const std::string& caption, unsigned format,
                        int stateFlags);
void PaintThemedImage(TCanvas* canvas, const TRect& rect, TCustomImageList* imageList, int imageIndex,
                      int stateFlags);

// ---- Font settings ------------------------------------------------------------

GCL_ENUM(TTriState, tsDefault, tsTrue, tsFalse)
using TFontSize = uint16_t;

// Per-item font overrides: each value left at its default leaves the
// font's own.
class TFontSettings : public gcl::TPersistent {
    GCL_CLASS(TFontSettings, gcl::TPersistent)
public:
    TFontSettings() = default;

    void Assign(gcl::TPersistent* source) override;
    void Apply(gcl::TFont* font) const;
    void Apply(LOGFONTA& logFont, TColor& color) const;
    // A new font (the caller deletes it) made from sourceFont with the
    // settings applied.
    HFONT CreateTransformedFont(HFONT sourceFont, TColor& color) const;

    TTriState GetBold() const noexcept { return FBold; }
    void SetBold(TTriState value);
    TTriState GetItalic() const noexcept { return FItalic; }
    void SetItalic(TTriState value);
    TTriState GetUnderline() const noexcept { return FUnderline; }
    void SetUnderline(TTriState value);
    TTriState GetStrikeOut() const noexcept { return FStrikeOut; }
    void SetStrikeOut(TTriState value);
    TFontSize GetSize() const noexcept { return FSize; }
    void SetSize(TFontSize value);
    TColor GetColor() const noexcept { return FColor; }
    void SetColor(TColor value);
    const std::string& GetName() const noexcept { return FName; }
    void SetName(const std::string& value);

    gcl::TNotifyEvent OnChange;

private:
    void Changed();

    TTriState FBold = tsDefault;
    TTriState FItalic = tsDefault;
    TTriState FUnderline = tsDefault;
    TTriState FStrikeOut = tsDefault;
    TFontSize FSize = 100;
    TColor FColor = clNone;
    std::string FName;
};

// Plays nothing on a low-priority thread so the sound system is ready
// before the first menu sound; true when the thread was started.
bool StartSoundWarmUp();

// Registers "Default", makes it current and starts the sound warm-up
// (counted). Its start runs the theme manager's unit first.
extern gcl::TUnit TxUnit;

} // namespace qelvo
