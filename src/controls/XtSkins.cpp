// The skin options and their "Skin.Ini" reader, the skinned-theme base,
// the bitmap hint window, and the shared resources' variables.
#include "controls/XtSkins.h"

#include "controls/XtPaint.h"

#include "gcl/rtl/Lists.h"
#include "gcl/rtl/Strings.h"
#include "theming/Tx.h"
#include "unicode/UniSysUtils.h"

namespace qelvo {

gcl::TBitmap* XtHintBitmap = nullptr;

// A shared system cursor: loaded once, never freed. Loading one costs a
// start most of a millisecond under Wine, and few runs point at a link.
HCURSOR XtHandCursor() {
    static HCURSOR hand = nullptr;
    if (!hand) hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));  // IDC_HAND
    return hand;
}
TXtSkinOptions* XtSkinOptions = nullptr;
gcl::TImageList* XtGlyphs = nullptr;

const char* const SkinComponentNames[TXtSkinOptions::ComponentCount] = {"Dock",         "Toolbar",
                                                                         "Popup",        "TitleBar",
                                                                         "WindowFrames", "StatusBar"};
const char* const SkinItemKindNames[TXtSkinOptions::KindCount] = {"ToolbarItem", "MenuItem"};
const char* const SkinItemStateNames[TXtSkinOptions::StateCount] = {"Normal", "Disabled", "HotTrack", "Pushed",
                                                                     "Checked"};

namespace {

// A colour of the skin file; one that cannot be read paints nothing.
TColor ReadSkinColor(const std::string& text) {
    try {
        return gcl::StringToColor(gcl::Trim(text));
    } catch (const gcl::Exception&) {
        return clNone;
    }
}

} // namespace

// ---- TXtSkinOptionEntry ---------------------------------------------------------------

GCL_PUBLISHED(TXtSkinOptionEntry,
    GCL_PROP(EntryType).Default(0),
    GCL_PROP(Color1).Default(clNone).Idents(gcl::ColorIdents),
    GCL_PROP(Color2).Default(clNone).Idents(gcl::ColorIdents),
    GCL_PROP(Color3).Default(clNone).Idents(gcl::ColorIdents),
    GCL_PROP(Color4).Default(clNone).Idents(gcl::ColorIdents))

void TXtSkinOptionEntry::Assign(gcl::TPersistent* source) {
    if (auto* entry = dynamic_cast<TXtSkinOptionEntry*>(source)) {
        FEntryType = entry->FEntryType;
        FColors = entry->FColors;
        return;
    }
    inherited::Assign(source);
}

void TXtSkinOptionEntry::Reset() {
    FEntryType = 0;
    FColors.fill(clNone);
}

void TXtSkinOptionEntry::ReadFromString(const std::string& text) {
    Reset();
    gcl::TStringList fields;
    fields.SetCommaText(text);
    if (fields.GetCount() >= 1) FEntryType = gcl::StrToIntDef(gcl::Trim(fields.Get(0)), 0);
    for (int i = 1; i < fields.GetCount() && i <= 4; ++i) FColors[static_cast<size_t>(i - 1)] = ReadSkinColor(fields.Get(i));
}

// ---- TXtSkinOptionCategory ------------------------------------------------------------

GCL_PUBLISHED(TXtSkinOptionCategory,
    GCL_PROP_RO(Image),
    GCL_PROP_RO(Body),
    GCL_PROP_RO(Borders),
    GCL_PROP_RO(InternalBorders),
    GCL_PROP(EffectiveColor).Default(clNone).Idents(gcl::ColorIdents))

TXtSkinOptionCategory::TXtSkinOptionCategory()
    : FImage(std::make_unique<gcl::TPicture>()),
      FBody(std::make_unique<TXtSkinOptionEntry>()),
      FBorders(std::make_unique<TXtSkinOptionEntry>()),
      FInternalBorders(std::make_unique<TXtSkinOptionEntry>()) {}

TXtSkinOptionCategory::~TXtSkinOptionCategory() = default;

void TXtSkinOptionCategory::Reset() {
    FBody->Reset();
    FBorders->Reset();
    FInternalBorders->Reset();
    FEffectiveColor = clNone;
}

void TXtSkinOptionCategory::Load(gcl::TCustomIniFile& ini, const std::string& section, const std::string& state) {
    Reset();
    const std::string s = state.empty() ? "Normal" : state;
    FBody->ReadFromString(ini.ReadString(section, s + ".Body", ""));
    FBorders->ReadFromString(ini.ReadString(section, s + ".Borders", ""));
    FInternalBorders->ReadFromString(ini.ReadString(section, s + ".InternalBorders", ""));
    FEffectiveColor = ReadSkinColor(ini.ReadString(section, s + ".EffectiveColor", "clNone"));
}

// ---- TXtSkinOptions --------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TXtSkinOptions)

TXtSkinOptions::TXtSkinOptions() {
    for (auto& category : FComponents) category = std::make_unique<TXtSkinOptionCategory>();
    for (auto& category : FItems) category = std::make_unique<TXtSkinOptionCategory>();
}

TXtSkinOptions::~TXtSkinOptions() = default;

void TXtSkinOptions::Reset() {
    for (auto& category : FComponents) category->Reset();
    for (auto& category : FItems) category->Reset();
}

TXtSkinOptionCategory* TXtSkinOptions::Options(int component) const noexcept {
    if (component < 0 || component >= ComponentCount) return nullptr;
    return FComponents[static_cast<size_t>(component)].get();
}

TXtSkinOptionCategory* TXtSkinOptions::Options(int kind, int state) const noexcept {
    if (kind < 0 || kind >= KindCount || state < 0 || state >= StateCount) return nullptr;
    return FItems[static_cast<size_t>(kind * StateCount + state)].get();
}

void TXtSkinOptions::LoadFromFile(const std::wstring& fileName) {
    if (!WideFileExists(fileName)) return;
    Reset();
    try {
        gcl::TMemIniFile ini(gcl::WideToAnsi(fileName));
        for (int c = 0; c < ComponentCount; ++c) Options(c)->Load(ini, SkinComponentNames[c], "");
        for (int k = 0; k < KindCount; ++k)
            for (int s = 0; s < StateCount; ++s) Options(k, s)->Load(ini, SkinItemKindNames[k], SkinItemStateNames[s]);
    } catch (const gcl::Exception&) {
        // A file that cannot be read leaves every category reset.
        Reset();
    }
}

bool IsSkinEntry(const std::wstring& entry) { return entry.compare(0, 8, SkinEntryPrefix) == 0; }

std::wstring SkinEntryName(const std::wstring& entry) { return IsSkinEntry(entry) ? entry.substr(8) : std::wstring(); }

std::wstring SkinFileName(const std::wstring& skinsDirectory, const std::wstring& name) {
    return WideIncludeTrailingPathDelimiter(skinsDirectory) + name + L"\\Skin.Ini";
}

// ---- Skinned themes --------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TXtDefaultTheme)

bool IsSkinThemeActive() { return CurrentThemeName() == "XtTheme"; }

TXtDefaultTheme* CurrentSkinTheme() {
    if (!IsSkinThemeActive()) return nullptr;
    return dynamic_cast<TXtDefaultTheme*>(CurrentTheme);
}

// ---- TBitmapHint --------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TBitmapHint)

TRect TBitmapHint::HintRectFor(const TRect& rect, int w, int h) {
    return TRect{rect.Left, rect.Top, rect.Left + w - 2, rect.Top + h - 2};
}

void TBitmapHint::ActivateHintData(const TRect& rect, const std::string& hint, void* data) {
    FHintBitmap = static_cast<gcl::TBitmap*>(data);
    TRect r = rect;
    if (FHintBitmap) r = HintRectFor(rect, FHintBitmap->GetWidth(), FHintBitmap->GetHeight());
    inherited::ActivateHintData(r, hint, data);
}

void TBitmapHint::ActivateHint(const TRect& rect, const std::string& hint) {
    const bool old = FActivating;
    FActivating = true;
    try {
        inherited::ActivateHint(rect, hint);
    } catch (...) {
        FActivating = old;
        throw;
    }
    FActivating = old;
}

void TBitmapHint::Paint() {
    if (FHintBitmap) GetCanvas()->Draw(0, 0, FHintBitmap);
}

gcl::TSize BeginBitmapHint(const std::wstring& hint, gcl::TFont* font, int maxWidth) {
    TCanvas* canvas = XtHintBitmap->GetCanvas();
    if (font) canvas->SetFont(font);
    canvas->GetFont()->SetColor(gcl::clInfoText);
    canvas->GetPen()->SetColor(gcl::clBlack);
    canvas->GetBrush()->SetColor(gcl::clInfoBk);
    canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid});
    TRect measure{0, 0, std::max(maxWidth, 1), 0};
    DrawWideTextRaw(canvas->GetHandle(), hint, measure, 0, DT_CALCRECT | DT_NOPREFIX);
    const gcl::TSize size{measure.Width(), measure.Height()};
    XtHintBitmap->SetSize(size.cx + 8, size.cy + 4);
    canvas->GetBrush()->SetColor(gcl::clInfoBk);
    canvas->FillRect(TRect{0, 0, size.cx + 8, size.cy + 4});
    return size;
}

void DrawBitmapHintText(const std::wstring& hint, gcl::TSize textSize) {
    TCanvas* canvas = XtHintBitmap->GetCanvas();
    canvas->GetBrush()->SetStyle(gcl::bsClear);
    canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid, gcl::csBrushValid});
    // The hint window shows the bitmap less its last two columns and rows.
    const int left = (XtHintBitmap->GetWidth() - textSize.cx) / 2 - 2;
    TRect text{left, 2, left + textSize.cx, 2 + textSize.cy};
    DrawWideTextRaw(canvas->GetHandle(), hint, text, 0, DT_NOPREFIX);
    canvas->GetBrush()->SetStyle(gcl::bsSolid);
}

void UseBitmapHint(gcl::THintInfo& info, const std::wstring& hint) {
    info.HintWindowClass = TBitmapHint::StaticClass();
    info.HintData = XtHintBitmap;
    info.HintStr = gcl::WideToAnsi(hint);
    info.HideTimeout = BitmapHintHideTimeout;
}

void TBitmapHint::Dispatch(gcl::TMessage& message) {
    if (message.Msg == gcl::CM_TEXTCHANGED) {
        // The bitmap decides the size: a new text changes nothing.
        message.Result = 1;
        return;
    }
    inherited::Dispatch(message);
}

} // namespace qelvo
