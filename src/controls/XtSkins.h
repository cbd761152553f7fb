// The skin options read from a "Skin.Ini" file for a skinned theme, the
// base class such a theme derives from, the hint window that shows a
// prepared bitmap, and the resources the extended controls share (hint
// bitmap, hand cursor, the drag cursors, the caption-button glyphs).
#pragma once

#include "gcl/rtl/WinApi.h"

#include <array>
#include <memory>
#include <string>

#include "gcl/Controls.h"
#include "gcl/Forms.h"
#include "gcl/Graphics.h"
#include "gcl/ImgList.h"
#include "gcl/rtl/IniFiles.h"
#include "theming/TxDefaultTheme.h"

namespace qelvo {

// ---- Skin options ----------------------------------------------------------------------

class TXtSkinOptionEntry : public gcl::TPersistent {
    GCL_CLASS(TXtSkinOptionEntry, gcl::TPersistent)
public:
    TXtSkinOptionEntry() = default;
    void Assign(gcl::TPersistent* source) override;
    void Reset();
    // Comma text: the entry type (0 when not a number), then up to four
    // colours (names, "$" hex or decimal; a colour that cannot be read is
    // clNone); missing fields keep their reset values.
    void ReadFromString(const std::string& text);

    int32_t GetEntryType() const noexcept { return FEntryType; }
    void SetEntryType(int32_t value) noexcept { FEntryType = value; }
    TColor GetColor1() const noexcept { return FColors[0]; }
    void SetColor1(TColor value) noexcept { FColors[0] = value; }
    TColor GetColor2() const noexcept { return FColors[1]; }
    void SetColor2(TColor value) noexcept { FColors[1] = value; }
    TColor GetColor3() const noexcept { return FColors[2]; }
    void SetColor3(TColor value) noexcept { FColors[2] = value; }
    TColor GetColor4() const noexcept { return FColors[3]; }
    void SetColor4(TColor value) noexcept { FColors[3] = value; }

private:
    int32_t FEntryType = 0;
    std::array<TColor, 4> FColors{clNone, clNone, clNone, clNone};
};

class TXtSkinOptionCategory : public gcl::TPersistent {
    GCL_CLASS(TXtSkinOptionCategory, gcl::TPersistent)
public:
    TXtSkinOptionCategory();
    ~TXtSkinOptionCategory() override;
    void Reset();
    // Reads the state's four keys of section (state "" means "Normal").
    void Load(gcl::TCustomIniFile& ini, const std::string& section, const std::string& state);

    gcl::TPicture* GetImage() const noexcept { return FImage.get(); }
    TXtSkinOptionEntry* GetBody() const noexcept { return FBody.get(); }
    TXtSkinOptionEntry* GetBorders() const noexcept { return FBorders.get(); }
    TXtSkinOptionEntry* GetInternalBorders() const noexcept { return FInternalBorders.get(); }
    TColor GetEffectiveColor() const noexcept { return FEffectiveColor; }
    void SetEffectiveColor(TColor value) noexcept { FEffectiveColor = value; }

private:
    std::unique_ptr<gcl::TPicture> FImage;
    std::unique_ptr<TXtSkinOptionEntry> FBody;
    std::unique_ptr<TXtSkinOptionEntry> FBorders;
    std::unique_ptr<TXtSkinOptionEntry> FInternalBorders;
    TColor FEffectiveColor = clNone;
};

GCL_ENUM(TXtSkinComponent, skcDock, skcToolbar, skcPopup, skcTitleBar, skcWindowFrames, skcStatusBar)
GCL_ENUM(TXtSkinItemKind, skkToolbarItem, skkMenuItem)
GCL_ENUM(TXtSkinItemState, sksNormal, sksDisabled, sksHotTrack, sksPushed, sksChecked)

class TXtSkinOptions : public gcl::TPersistent {
    GCL_CLASS(TXtSkinOptions, gcl::TPersistent)
public:
    static constexpr int ComponentCount = 6;
    static constexpr int KindCount = 2;
    static constexpr int StateCount = 5;

    TXtSkinOptions();
    ~TXtSkinOptions() override;

    // Nothing when the file does not exist; otherwise every category is
    // reset and read again. Never raises: a file that cannot be read
    // leaves the categories reset.
    void LoadFromFile(const std::wstring& fileName);
    void Reset();

    // A category by component, or by item kind and state; null outside
    // the valid range.
    TXtSkinOptionCategory* Options(int component) const noexcept;
    TXtSkinOptionCategory* Options(int kind, int state) const noexcept;

private:
    std::array<std::unique_ptr<TXtSkinOptionCategory>, ComponentCount> FComponents;
    std::array<std::unique_ptr<TXtSkinOptionCategory>, KindCount * StateCount> FItems;
};

// The section names of the components and item kinds and the state names.
extern const char* const SkinComponentNames[TXtSkinOptions::ComponentCount];
extern const char* const SkinItemKindNames[TXtSkinOptions::KindCount];
extern const char* const SkinItemStateNames[TXtSkinOptions::StateCount];

// The theme-menu entries of skins: "XtTheme:" + the skin's folder name.
inline constexpr const wchar_t* SkinEntryPrefix = L"XtTheme:";
bool IsSkinEntry(const std::wstring& entry);
// The folder name of a skin entry ("" for any other entry).
std::wstring SkinEntryName(const std::wstring& entry);
// skinsDirectory\name\Skin.Ini (one delimiter after the folder).
std::wstring SkinFileName(const std::wstring& skinsDirectory, const std::wstring& name);

// ---- Skinned themes -----------------------------------------------------------------

// The base of a theme painted from the skin options; registered (by a
// skin package, never by this program) as "XtTheme".
class TXtDefaultTheme : public TTxDefaultTheme {
    GCL_CLASS(TXtDefaultTheme, TTxDefaultTheme)
public:
    // Paints a title strip (a title bar or a floating panel's caption).
    virtual void PaintSkinTitle(TCanvas* canvas, const TRect& rect, bool active) = 0;

protected:
    explicit TXtDefaultTheme(const std::string& name) : TTxDefaultTheme(name) {}
};

bool IsSkinThemeActive();
// The current theme when it is the skinned theme, else null.
TXtDefaultTheme* CurrentSkinTheme();

// ---- Bitmap hint ----------------------------------------------------------------------

// A hint window that shows the bitmap handed over as hint data, at the
// bitmap's size, and nothing else.
class TBitmapHint : public gcl::THintWindow {
    GCL_CLASS(TBitmapHint, gcl::THintWindow)
public:
    void ActivateHint(const TRect& rect, const std::string& hint) override;
    void ActivateHintData(const TRect& rect, const std::string& hint, void* data) override;
    void Dispatch(gcl::TMessage& message) override;

    gcl::TBitmap* GetHintBitmap() const noexcept { return FHintBitmap; }
    bool GetActivating() const noexcept { return FActivating; }
    // The rectangle ActivateHintData passes on for a bitmap of w x h.
    static TRect HintRectFor(const TRect& rect, int w, int h);

protected:
    explicit TBitmapHint(gcl::TComponent* owner) : THintWindow(owner) {}
    void Paint() override;

private:
    gcl::TBitmap* FHintBitmap = nullptr;
    bool FActivating = false;
};

// How long a bitmap hint stays up.
inline constexpr int BitmapHintHideTimeout = 60000;

// Prepares the shared hint bitmap (XtHintBitmap) for hint: the text is
// measured in font (DT_CALCRECT | DT_NOPREFIX, at most maxWidth wide when
// positive), the bitmap becomes 8 pixels wider and 4 taller and is filled
// in clInfoBk; its canvas keeps the font in clInfoText, a black pen and
// the clInfoBk brush for an owner's drawing. Answers the text's size.
gcl::TSize BeginBitmapHint(const std::wstring& hint, gcl::TFont* font, int maxWidth);
// Draws hint (of the size BeginBitmapHint answered) in the middle of the
// shared bitmap.
void DrawBitmapHintText(const std::wstring& hint, gcl::TSize textSize);
// Makes info show the shared bitmap through TBitmapHint for
// BitmapHintHideTimeout, with hint as its (8-bit) text.
void UseBitmapHint(gcl::THintInfo& info, const std::wstring& hint);

// ---- Shared resources (between the unit's start and end) ---------------------------------

// The screen cursors of a drag that will be accepted and of one that will not.
inline constexpr gcl::TCursor crXtMove = 101;
inline constexpr gcl::TCursor crXtCancel = 102;

extern gcl::TBitmap* XtHintBitmap;
// The system's hand cursor of links, loaded when first shown.
HCURSOR XtHandCursor();
extern TXtSkinOptions* XtSkinOptions;
// The caption-button glyphs of "XTGLYPHS": 0 close, 1 maximise, 2 minimise, 3 restore.
extern gcl::TImageList* XtGlyphs;

} // namespace qelvo
