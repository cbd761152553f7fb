// The theme interface every theme implements and every themed control
// calls, the records that describe what is to be painted, the registry of
// named theme classes, the frame geometry shared by all themes, and the
// theme manager that turns system changes into WM_SKIN_SYSCHANGE.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>
#include <string>
#include <vector>

#include "gcl/Graphics.h"
#include "gcl/ImgList.h"
#include "gcl/rtl/Components.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/Lists.h"
#include "gcl/rtl/Objects.h"
#include "theming/TxUtils.h"
#include "theming/TxUxThemes.h"

namespace qelvo {

// The visual-style properties of a part's fill and text colour.
inline constexpr int ThemePropFillColor = 3802;
inline constexpr int ThemePropTextColor = 3803;

// ---- Messages --------------------------------------------------------------
inline constexpr uint32_t WM_SKIN_VIEWTYPE = 0x4ED;
inline constexpr uint32_t WM_SKIN_EFFECTIVECOLOR = 0x4EE;
inline constexpr uint32_t WM_SKIN_SYSCHANGE = 0x538;
inline constexpr uint32_t WM_SKIN_THEMECHANGE = 0x53A;

// ---- View types ------------------------------------------------------------
inline constexpr uint32_t VT_TOOLBARGROUP = 0x1000;
inline constexpr uint32_t VT_TOOLBAR = 0x1001;
inline constexpr uint32_t VT_MENUBAR = 0x1002;
inline constexpr uint32_t VT_POPUPGROUP = 0x2000;
inline constexpr uint32_t VT_POPUPMENU = 0x2001;
inline constexpr uint32_t VT_LISTPOPUP = 0x2002;
inline constexpr uint32_t VT_TOOLBOXPOPUP = 0x2004;
inline constexpr uint32_t VT_CHEVRONPOPUP = 0x2008;
inline constexpr uint32_t VT_DOCKPANEL = 0x4001;
inline constexpr uint32_t VT_DOCKPANELGROUP = 0x4000;
inline constexpr uint32_t VT_STATUSBAR = 0x10000;
inline constexpr uint32_t VT_FLOATING = 0x800;
inline constexpr uint32_t VT_SIZABLE = 0x400;
inline constexpr uint32_t VT_OPAQUE = 0x200;

// (viewType and kind) = kind: the menu bar and each popup kind.
constexpr bool IsViewKind(uint32_t viewType, uint32_t kind) noexcept { return (viewType & kind) == kind; }
constexpr bool IsToolbarView(uint32_t viewType) noexcept { return (viewType & VT_TOOLBARGROUP) != 0; }
constexpr bool IsPopupView(uint32_t viewType) noexcept { return (viewType & VT_POPUPGROUP) != 0; }
constexpr bool IsMenuBarView(uint32_t viewType) noexcept { return IsViewKind(viewType, VT_MENUBAR); }
constexpr bool IsPopupMenuView(uint32_t viewType) noexcept { return IsViewKind(viewType, VT_POPUPMENU); }

// ---- Item options ----------------------------------------------------------
inline constexpr uint32_t IO_TOOLBARSTYLE = 0x01;
inline constexpr uint32_t IO_SUBMENUITEM = 0x04;
inline constexpr uint32_t IO_COMBO = 0x08;
inline constexpr uint32_t IO_DESIGNING = 0x10;   // always outline the button
inline constexpr uint32_t IO_APPACTIVE = 0x20;
inline constexpr uint32_t IO_RADIO = 0x40;

// ---- Records ---------------------------------------------------------------

// What one item looks like; zeroed before each fill (TTxItemInfo info{}).
struct TTxItemInfo {
    uint32_t ViewType = 0;
    uint32_t ItemOptions = 0;
    bool Enabled = false;
    bool Pushed = false;
    uint8_t HoverKind = 0;   // 0 none, 1 hot but disabled or keyboard-selected, 2 hot
    bool Selected = false;   // checked
    bool ImageShown = false;
    int32_t ImageWidth = 0;
    int32_t ImageHeight = 0;
    bool IsVertical = false;
    uint8_t IsPopupParent = 0;  // 0 plain, 1 drop-down, 2 split main part, 3 split arrow part
    bool PopupOpen = false;
    int32_t PopupMargin = 0;
    uint32_t Reserved[4] = {};  // for the item layer's and the themes' own use
};

struct TTxMarginRect {
    int32_t LeftWidth = 0;
    int32_t RightWidth = 0;
    int32_t TopHeight = 0;
    int32_t BottomHeight = 0;
    friend bool operator==(const TTxMarginRect&, const TTxMarginRect&) = default;
};

// Close-button state bits of the frame records.
inline constexpr uint32_t CDBS_VISIBLE = 1;
inline constexpr uint32_t CDBS_HOT = 2;
inline constexpr uint32_t CDBS_PRESSED = 4;

// The non-client area of a docked toolbar; the panel record shares it.
struct TTxToolbarFrameInfo {
    HWND WindowHandle = nullptr;
    uint32_t ViewType = 0;
    bool IsVertical = false;    // panel: the caption band runs across the top
    bool AllowDrag = false;
    uint8_t BorderStyle = 0;    // 1 single, 0 none
    TPoint BorderSize;
    int32_t ClientWidth = 0;
    int32_t ClientHeight = 0;
    int32_t DragHandleStyle = 0;  // panel: ShowCaption
    uint32_t CloseButtonState = 0;
    std::string Caption;          // panel
    TColor EffectiveColor = clNone;
};

struct TTxPanelCaptionInfo : TTxToolbarFrameInfo {
    bool ShowCaption() const noexcept { return DragHandleStyle != 0; }
};

// Redraw bits of a floating frame.
inline constexpr uint32_t RP_FRAME = 1;
inline constexpr uint32_t RP_CAPTION = 2;
inline constexpr uint32_t RP_CLOSEBUTTON = 4;

struct TTxFloatingFrameInfo {
    HWND WindowHandle = nullptr;   // the floating window
    HWND ParentHandle = nullptr;   // the window docked in it
    uint32_t ViewType = 0;
    int32_t ClientWidth = 0;
    int32_t ClientHeight = 0;
    bool ShowCaption = false;
    TPoint BorderSize;
    uint32_t CloseButtonState = 0;
    uint32_t RedrawPart = 0;
    std::string Caption;
    TColor EffectiveColor = clNone;
    bool Active = false;
    // The names some themes use for the same fields.
    bool CaptionShown() const noexcept { return ShowCaption; }
    uint32_t RedrawParts() const noexcept { return RedrawPart; }
};

struct TTxPopupFrameInfo {
    HWND WindowHandle = nullptr;
    uint32_t ViewType = 0;
    TRect ParentItemRect;   // in the popup window's coordinates; empty when not opened from an item
    TPoint BorderSize;
};

struct TTxEditButtonInfo {
    uint32_t ButtonType = 0;    // 1 drop-down, 2 spin pair
    uint32_t ButtonState = 0;   // 1 disabled, 2 hot, 4 pushed (spin: 4 upper, 8 lower half pushed)
    // The name some themes use.
    uint32_t ButtonKind() const noexcept { return ButtonType; }
};
inline constexpr uint32_t EBT_DROPDOWN = 1;
inline constexpr uint32_t EBT_SPIN = 2;
inline constexpr uint32_t EBDS_DISABLED = 1;
inline constexpr uint32_t EBDS_HOT = 2;
inline constexpr uint32_t EBDS_PRESSED = 4;
inline constexpr uint32_t EBSS_UP = 4;
inline constexpr uint32_t EBSS_DOWN = 8;

struct TTxEditFrameInfo {
    int32_t LeftBtnWidth = 0;
    int32_t RightBtnWidth = 0;
    TTxEditButtonInfo LeftBtnInfo;
    TTxEditButtonInfo RightBtnInfo;
    // The names some themes use.
    int32_t LeftButtonWidth() const noexcept { return LeftBtnWidth; }
    int32_t RightButtonWidth() const noexcept { return RightBtnWidth; }
    const TTxEditButtonInfo& LeftButton() const noexcept { return LeftBtnInfo; }
    const TTxEditButtonInfo& RightButton() const noexcept { return RightBtnInfo; }
};

// PaintFrameControl kinds and state bits.
inline constexpr int PFC_CHECKBOX = 1;
inline constexpr int PFC_RADIOBUTTON = 2;
inline constexpr int PFS_CHECKED = 1;
inline constexpr int PFS_MIXED = 2;
inline constexpr int PFS_DISABLED = 4;
inline constexpr int PFS_HOT = 8;
inline constexpr int PFS_PUSHED = 16;

// ---- The theme ---------------------------------------------------------------

class TTxTheme;
using TTxThemeMeta = gcl::TClassOf<TTxTheme, gcl::TMetaClass, const std::string&>;
using TTxThemeClass = const TTxThemeMeta*;

// The abstract theme. A theme is made by the registry through its virtual
// constructor Create(Name); after construction it listens to system
// changes and fills its colour cache (SetupColorCache), which it rebuilds
// on WM_SKIN_SYSCHANGE with WParam 2. Metric queries answer -1 for "no value".
class TTxTheme : public gcl::TObject {
    GCL_CLASS_META(TTxTheme, gcl::TObject, TTxThemeMeta)
public:
    const std::string& GetName() const noexcept { return FName; }

    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;
    void Dispatch(gcl::TMessage& message) override;

    virtual TPoint ImageOffset(TCanvas* canvas, const TTxItemInfo& itemInfo, TCustomImageList* imageList) = 0;
    virtual TColor ItemColor(const TTxItemInfo& itemInfo) = 0;
    virtual TColor ItemTextColor(const TTxItemInfo& itemInfo) = 0;
    virtual TColor ItemImageBackground(const TTxItemInfo& itemInfo) = 0;
    virtual void ThemeMargins(int marginID, TTxMarginRect& margins) = 0;
    virtual int PopupShadowKind() = 0;
    virtual void ViewBorder(uint32_t viewType, TPoint& border) = 0;
    virtual TColor ViewColor(uint32_t viewType) = 0;
    virtual void ViewMargins(uint32_t viewType, TTxMarginRect& margins) = 0;
    virtual void PaintBackground(TCanvas* canvas, const TRect& dockRect, const TRect& rect, const TRect& clipRect,
                                 TColor color, bool transparent, uint32_t viewType) = 0;
    virtual void PaintButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) = 0;
    virtual void PaintCaption(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                              const std::string& caption, unsigned format, bool rotated) = 0;
    virtual void PaintCheckMark(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) = 0;
    virtual void PaintChevron(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) = 0;
    virtual void PaintEditFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                const TTxEditFrameInfo& editFrameInfo) = 0;
    virtual void PaintEditButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                 const TTxEditButtonInfo& buttonInfo) = 0;
    virtual void PaintDockBackground(TCanvas* canvas, const TRect& clientRect, const TRect& dockRect,
                                     int dockPosition) = 0;
    virtual void PaintPanelCaptionArea(TCanvas* canvas, const TRect& rect, const TTxPanelCaptionInfo& info) = 0;
    virtual void PaintDropDownArrow(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) = 0;
    virtual void PaintFloatingFrame(TCanvas* canvas, const TRect& rect, const TTxFloatingFrameInfo& info) = 0;
    virtual void PaintControlFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) = 0;
    virtual void PaintImage(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                            TCustomImageList* imageList, int imageIndex) = 0;
    virtual void PaintMDIButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                unsigned buttonKind) = 0;
    virtual void PaintMenuItem(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) = 0;
    virtual void PaintMenuItemFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) = 0;
    virtual void PaintPageScrollButton(TCanvas* canvas, const TRect& rect, int direction, bool hot) = 0;
    virtual void PaintPopupFrame(TCanvas* canvas, const TRect& rect, const TTxPopupFrameInfo& info) = 0;
    virtual void PaintSeparator(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool horizontal,
                                bool lineSeparator) = 0;
    virtual void PaintToolbarFrame(TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) = 0;
    virtual void PaintFrameControl(TCanvas* canvas, const TRect& rect, int kind, int state, int params) = 0;
    virtual void PaintStatusBarPart(TCanvas* canvas, const TRect& rect, int part) = 0;
    virtual int IntegerMetric(int index) = 0;
    virtual bool BooleanMetric(int index) = 0;
    // Rebuilds the theme's cached colours: after construction and on
    // WM_SKIN_SYSCHANGE with WParam 2.
    virtual void SetupColorCache() {}

protected:
    explicit TTxTheme(const std::string& name) : FName(name) {}
    ~TTxTheme() override;

private:
    std::string FName;
};

// ---- Registry ------------------------------------------------------------------

namespace msg {
inline constexpr const char* CannotRegisterTheme = "Cannot register theme";
inline constexpr const char* ThemeAlreadyRegistered = "Theme %s is already registered";
inline constexpr const char* UnknownTheme = "Unknown theme ";
inline constexpr const char* CannotReleaseTheme = "Cannot release theme";
} // namespace msg

struct TTxThemeRecord {
    std::string Name;   // at most 255 characters
    TTxThemeClass ThemeClass = nullptr;
    TTxTheme* Instance = nullptr;
    int32_t RefCount = 0;
};

void RegisterTheme(const std::string& name, TTxThemeClass themeClass);
// Takes a theme out of the registry (tests and unit finalisation); nothing
// when the name is unknown. A theme whose instance is still held stays and
// raises "Cannot release theme <name>".
void UnregisterTheme(const std::string& name);
// Case-insensitive (A to Z folded), first match in registration order; -1 when absent.
int FindRegisteredTheme(const std::string& name);
bool IsThemeRegistered(const std::string& name);
void ListRegisteredThemes(gcl::TStrings* strings);
// The theme menu's order: sorted by name (A to Z folded), "Default"
// first. The program's saved theme setting is an index into this order.
void OrderThemeMenuNames(std::vector<std::string>& names);
// The registered names in the theme menu's order.
std::vector<std::string> ThemeMenuNames();
TTxTheme* AcquireTheme(const std::string& name);
void ReleaseTheme(TTxTheme*& theme);
// The registry's records, in registration order (for inspection).
const std::vector<TTxThemeRecord>& RegisteredThemes();

// ---- Frame geometry --------------------------------------------------------------

int GetDragHandleSize(const TTxToolbarFrameInfo& info);
void CalcToolbarCloseButtonRect(const TTxToolbarFrameInfo& info, TRect& rect);
// Options of CalcFloatingCaptionRect.
inline constexpr uint32_t CR_EXCLUDECLOSEBUTTON = 1;  // leave out the close-button square
inline constexpr uint32_t CR_OFFSET = 2;              // move by the frame's border size
void CalcFloatingCaptionRect(const TTxFloatingFrameInfo& info, uint32_t options, TRect& rect);
void CalcFloatingCloseButtonRect(const TTxFloatingFrameInfo& info, bool offset, TRect& rect);

// ---- Theme manager -----------------------------------------------------------------

// The visual-styles handles the manager keeps open, on its own window.
enum TTxVisualStylesClass { vscButton, vscScrollBar, vscRebar, vscToolbar, vscWindow, vscComboBox,
                            vscExplorerBar, vscStatus, vscSpin, vscCount };

class TTxThemeManager {
public:
    TTxThemeManager();
    ~TTxThemeManager();
    TTxThemeManager(const TTxThemeManager&) = delete;
    TTxThemeManager& operator=(const TTxThemeManager&) = delete;

    bool GetUseVisualStyles() const noexcept { return FUseVisualStyles; }
    // Refreshes the shared state and tells the listeners (1, 2, 3).
    void SetUseVisualStyles(bool value);
    int GetMenuStyle() const noexcept { return FMenuStyle; }
    void SetMenuStyle(int value);
    // The window that hears the system's changes: the application's, whose
    // messages the manager hooks, else a hidden window of its own (made
    // when there is no application window; under Wine a hidden top-level
    // window costs a start milliseconds).
    HWND GetWindowHandle() const noexcept;
    void AddListener(gcl::TObject* listener);
    void RemoveListener(gcl::TObject* listener) noexcept;
    int ListenerCount() const noexcept { return static_cast<int>(FListeners.size()); }
    // WM_SKIN_SYSCHANGE with wParam to every listener; the last one's Result.
    intptr_t Notify(uintptr_t wParam);
    void RefreshSystemState();
    // The class's handle, opened when first asked for while visual styles
    // are on (each costs a start a look-up in the theme file).
    HTHEME VisualStylesHandle(TTxVisualStylesClass cls) const noexcept;

private:
    void WndProc(gcl::TMessage& message);
    // The application window's hook: the same messages, then the
    // application's own handling.
    bool ApplicationHook(gcl::TMessage& message);
    void Hear(const gcl::TMessage& message);
    void CloseHandles() noexcept;
    void SystemChanged();

    bool FUseVisualStyles = true;
    int FMenuStyle = 0;
    std::vector<gcl::TObject*> FListeners;
    HWND FWindowHandle = nullptr;
    gcl::TComponentRef<gcl::TComponent> FHookedApplication;
    // Whether the classes' handles may be opened, and which were.
    bool FStylesOpen = false;
    mutable HTHEME FHandles[vscCount] = {};
    mutable bool FAsked[vscCount] = {};
};

// The one manager, between the unit's start and end.
TTxThemeManager* ThemeManager();

void AddSysChangeListener(gcl::TObject* listener);
void RemoveSysChangeListener(gcl::TObject* listener) noexcept;
// An open visual-styles handle, or null (classic mode, or the class is unknown).
HTHEME VisualStylesHandle(TTxVisualStylesClass cls) noexcept;

// Shared state refreshed by the manager, read by every theme.
extern bool LowColorDepth;
extern bool WhiteButtonFace;
extern bool LowColorScreen;
extern bool VisualStylesOn;
extern bool FlatMenusOn;
extern TColor MenuColor;
extern TColor MenuTextColor;
extern TColor ThemedToolbarColor;
extern TColor ThemedToolbarTextColor;
extern TColor HotLightColor;
// The same state under the names some themes use.
inline bool& PopupMenuFlag = FlatMenusOn;
inline TColor& PopupMenuColor = MenuColor;

// Starts and stops the registry and the manager (counted).
extern gcl::TUnit TxThemesUnit;

} // namespace qelvo
