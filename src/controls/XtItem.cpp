// The extended menu and toolbar items, their viewers, the radio and theme
// groups, and the start-up and shut-down of the extended controls' shared
// resources.
#include "controls/XtItem.h"
#include "controls/XtPaint.h"

#include <algorithm>

#include "gcl/ActnList.h"
#include "gcl/Forms.h"
#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Strings.h"
#include "unicode/UniActnList.h"
#include "unicode/UniForms.h"
#include "unicode/UniSysUtils.h"

namespace qelvo {

namespace {

void LoadGlyphs() {
    XtGlyphs = gcl::TImageList::Create(nullptr);
    const HINSTANCE module = GetModuleHandleA(nullptr);
    if (!FindResourceA(module, "XTGLYPHS", MAKEINTRESOURCEA(2))) return;  // RT_BITMAP
    // Square glyphs as high as the strip.
    XtGlyphs->GetInstRes(module, gcl::rtBitmap, "XTGLYPHS", 0, gcl::TLoadResources(), 0xFF00FF);
}

void FinalizeXtItem() {
    if (XtGlyphs) XtGlyphs->Free();
    XtGlyphs = nullptr;
    delete XtSkinOptions;
    XtSkinOptions = nullptr;
    if (XtThemeNexus) XtThemeNexus->Free();
    XtThemeNexus = nullptr;
    delete XtHintBitmap;
    XtHintBitmap = nullptr;
    TxUnit.Finalize();
}

void InitializeXtItem() {
    TxUnit.Initialize();
    try {
        XtHintBitmap = new gcl::TBitmap();
        if (gcl::Screen) {
            // Loaded when first shown.
            const HINSTANCE module = GetModuleHandleA(nullptr);
            gcl::Screen->SetCursorResource(crXtMove, module, "CZMOVE", MAKEINTRESOURCEA(32646));      // IDC_SIZEALL
            gcl::Screen->SetCursorResource(crXtCancel, module, "CZCANCEL", MAKEINTRESOURCEA(32648));  // IDC_NO
        }
        XtThemeNexus = TXtThemeNexus::Create();
        XtSkinOptions = new TXtSkinOptions();
        LoadGlyphs();
    } catch (...) {
        FinalizeXtItem();
        throw;
    }
}

} // namespace

gcl::TUnit XtItemUnit{"XtItem", &InitializeXtItem, &FinalizeXtItem};

// ==== Extended items ============================================================================

namespace {

// The caption format's wrapping bits.
uint32_t WrappingFlags(TTextWrapping wrapping) {
    switch (wrapping) {
    case twEndEllipsis: return 0x8020;   // DT_END_ELLIPSIS | DT_SINGLELINE
    case twPathEllipsis: return 0x4020;  // DT_PATH_ELLIPSIS | DT_SINGLELINE
    case twWrap: return DT_WORDBREAK;
    default: return 0;
    }
}

} // namespace

#define XT_ITEM_PROPERTIES                                                                         \
    gcl::Prop<&TXtCustomItem::GetCaption, &TXtCustomItem::SetCaption>("Caption"),                  \
    gcl::Prop<&TXtCustomItem::GetHint, &TXtCustomItem::SetHint>("Hint"),                           \
    GCL_PROP(Action),                                                                              \
    GCL_PROP(AutoCheck).Default(false).StoredBy<&TBarCustomItem::IsAutoCheckStored>(),             \
    GCL_PROP(Checked).Default(false).StoredBy<&TBarCustomItem::IsCheckedStored>(),                 \
    GCL_PROP(DisplayMode).Default(nbdmDefault),                                                    \
    GCL_PROP(Enabled).Default(true).StoredBy<&TBarCustomItem::IsEnabledStored>(),                  \
    GCL_PROP(GroupIndex).Default(0),                                                               \
    GCL_PROP(HelpContext).Default(0).StoredBy<&TBarCustomItem::IsHelpContextStored>(),             \
    GCL_PROP(ImageIndex).Default(-1).StoredBy<&TBarCustomItem::IsImageIndexStored>(),              \
    GCL_PROP(Images),                                                                              \
    GCL_PROP(InheritOptions).Default(true),                                                        \
    GCL_PROP(MaskOptions).Default(TBarItemOptions{}),                                              \
    GCL_PROP(Options).Default(TBarItemOptions{}),                                                  \
    GCL_PROP(RadioItem).Default(false),                                                            \
    GCL_PROP(ShortCut).Default(0).StoredBy<&TBarCustomItem::IsShortCutStored>(),                   \
    GCL_PROP(Visible).Default(true).StoredBy<&TBarCustomItem::IsVisibleStored>(),                  \
    GCL_PROP(Alignment).Default(gcl::taCenter),                                                    \
    GCL_PROP(Anchored).Default(false),                                                             \
    GCL_PROP(CaptionGlow).Default(gldNone),                                                        \
    GCL_PROP(CaptionGlowColor).Default(TColor(0x00FFFF)).Idents(gcl::ColorIdents),                 \
    GCL_PROP(Control),                                                                             \
    GCL_PROP(CustomWidth).Default(-1),                                                             \
    GCL_PROP(CustomHeight).Default(-1),                                                            \
    GCL_PROP(Margins).Default(0),                                                                  \
    GCL_PROP(Wrapping).Default(twWrap)

GCL_IMPLEMENT_CLASS(TXtCustomItem)
GCL_PUBLISHED(TXtItem, XT_ITEM_PROPERTIES)
GCL_PUBLISHED(TXtSubmenuItem,
    XT_ITEM_PROPERTIES,
    GCL_PROP(DropdownCombo).Default(false),
    GCL_PROP(LinkSubitems),
    GCL_PROP(SubMenuImages),
    GCL_PROP(ToolbarStylePopup).Default(false))
GCL_IMPLEMENT_CLASS(TXtCustomLabelItem)
GCL_PUBLISHED(TXtLabelItem,
    gcl::Prop<&TXtCustomItem::GetCaption, &TXtCustomItem::SetCaption>("Caption"),
    GCL_PROP(ImageIndex).Default(-1).StoredBy<&TBarCustomItem::IsImageIndexStored>(),
    GCL_PROP(Images),
    GCL_PROP(InheritOptions).Default(true),
    GCL_PROP(MaskOptions).Default(TBarItemOptions{}),
    GCL_PROP(Options).Default(TBarItemOptions{}),
    GCL_PROP(Visible).Default(true).StoredBy<&TBarCustomItem::IsVisibleStored>(),
    GCL_PROP(Alignment).Default(gcl::taLeftJustify),
    GCL_PROP(Anchored).Default(false),
    GCL_PROP(Control),
    GCL_PROP(CustomWidth).Default(-1),
    GCL_PROP(CustomHeight).Default(-1),
    GCL_PROP(Margins).Default(0))
GCL_PUBLISHED(TXtRightAlignSpacerItem,
    GCL_PROP(ImageIndex).Default(-1).StoredBy<&TBarCustomItem::IsImageIndexStored>(),
    GCL_PROP(Images),
    GCL_PROP(Alignment).Default(gcl::taLeftJustify),
    GCL_PROP(CustomWidth).Default(-1),
    GCL_PROP(CustomHeight).Default(-1))
GCL_IMPLEMENT_CLASS(TXtSeparatorItem)

#undef XT_ITEM_PROPERTIES

TXtCustomItem::TXtCustomItem(gcl::TComponent* AOwner) : TTxCustomItem(AOwner) { SetStretch(true); }

TXtCustomItem::~TXtCustomItem() {
    if (FControl) FControl->RemoveFreeNotification(this);
}

std::wstring TXtCustomItem::GetCaption() const {
    const std::string& ansi = TBarCustomItem::GetCaption();
    if (gcl::WideToAnsi(FCaption) == ansi) return FCaption;
    return gcl::AnsiToWide(ansi);
}

void TXtCustomItem::SetCaption(const std::wstring& Value) {
    if (Value == GetCaption()) return;
    FCaption = Value;
    const std::string ansi = gcl::WideToAnsi(Value);
    // Two wide captions with the same 8-bit form still measure and paint
    // differently.
    if (ansi != TBarCustomItem::GetCaption()) TBarCustomItem::SetCaption(ansi);
    else Changed(true);
}

std::wstring TXtCustomItem::GetHint() const {
    const std::string& ansi = TBarCustomItem::GetHint();
    if (gcl::WideToAnsi(FHint) == ansi) return FHint;
    return gcl::AnsiToWide(ansi);
}

void TXtCustomItem::SetHint(const std::wstring& Value) {
    FHint = Value;
    TBarCustomItem::SetHint(gcl::WideToAnsi(Value));
}

void TXtCustomItem::SetAlignment(gcl::TAlignment Value) { StoreAndChange(FAlignment, Value, false); }

void TXtCustomItem::SetCaptionGlow(TXtGlowDirection Value) { StoreAndChange(FCaptionGlow, Value, false); }

void TXtCustomItem::SetCaptionGlowColor(TColor Value) { StoreAndChange(FCaptionGlowColor, Value, false); }

void TXtCustomItem::SetWrapping(TTextWrapping Value) { StoreAndChange(FWrapping, Value, false); }

void TXtCustomItem::SetCustomWidth(int Value) { StoreAndChange(FCustomWidth, std::max(Value, -1), true); }

void TXtCustomItem::SetCustomHeight(int Value) { StoreAndChange(FCustomHeight, std::max(Value, -1), true); }

void TXtCustomItem::SetMargins(int Value) { StoreAndChange(FMargins, std::max(Value, 0), true); }

void TXtCustomItem::SetControl(gcl::TControl* Value) {
    if (FControl == Value) return;
    if (FControl) FControl->RemoveFreeNotification(this);
    FControl = Value;
    if (FControl) FControl->FreeNotification(this);
    UpdateProps();
}

void TXtCustomItem::Notification(gcl::TComponent* AComponent, gcl::TOperation Operation) {
    TTxCustomItem::Notification(AComponent, Operation);
    if (Operation == gcl::opRemove && AComponent == FControl) FControl = nullptr;
}

bool TXtCustomItem::DialogChar(uint16_t) { return false; }

void TXtCustomItem::DoDrawAdjustFont(gcl::TFont*, int) {}

void TXtCustomItem::DoDrawHint(gcl::TBitmap* HintBitmap, std::wstring& Hint, bool& PaintDefault) {
    if (OnDrawHint) OnDrawHint(this, HintBitmap, Hint, PaintDefault);
}

void TXtCustomItem::DoDrawItem(gcl::TCanvas* Canvas, const TRect& Rect, const TTxItemInfo& ItemInfo,
                               TXtPaintStage PaintStage, bool& PaintDefault) {
    if (OnDrawItem) OnDrawItem(this, Canvas, Rect, ItemInfo, PaintStage, PaintDefault);
}

void TXtCustomItem::DoDrawCaption(gcl::TCanvas* Canvas, const TRect& ClientAreaRect, int, std::wstring& Caption,
                                  TRect& CaptionRect, uint32_t& CaptionFormat, bool IsTextRotated,
                                  TXtPaintStage PaintStage, bool& PaintDefault) {
    if (OnDrawCaption)
        OnDrawCaption(this, Canvas, ClientAreaRect, Caption, CaptionRect, CaptionFormat, IsTextRotated, PaintStage,
                      PaintDefault);
}

void TXtCustomItem::DoDrawImage(gcl::TCanvas* Canvas, const TTxItemInfo& ItemInfo, TXtPaintStage PaintStage,
                                gcl::TCustomImageList*& ImageList, int& ImageIndex, TRect& Rect, bool& PaintDefault) {
    if (OnDrawImage) OnDrawImage(this, Canvas, ItemInfo, PaintStage, ImageList, ImageIndex, Rect, PaintDefault);
}

void TXtCustomItem::ToggleControl() {
    if (FControl) FControl->SetVisible(!FControl->GetVisible());
}

void TXtCustomItem::UpdateProps() {
    if (!FControl || gcl::InState(this, gcl::csLoading) || gcl::InState(this, gcl::csReading) ||
        gcl::InState(this, gcl::csDestroying))
        return;
    SetChecked(FControl->GetVisible());
}

void TXtCustomItem::Click() {
    if (FControl) ToggleControl();
    TTxCustomItem::Click();
}

void TXtCustomItem::InitiateAction() {
    TTxCustomItem::InitiateAction();
    UpdateProps();
}

TBarItemViewerClass TXtCustomItem::GetItemViewerClass(TBarView*) { return TXtItemViewer::StaticClass(); }
TBarPopupWindowClass TXtCustomItem::GetPopupWindowClass() { return TXtPopupWindow::StaticClass(); }

void TXtCustomItem::ActionChange(gcl::TObject* Sender, bool CheckDefaults) {
    if (auto* action = dynamic_cast<gcl::TCustomAction*>(Sender)) {
        // A Unicode action answers its own wide texts; another action's
        // 8-bit texts are widened.
        const std::wstring caption = GetActionWideCaption(action, gcl::AnsiToWide(action->GetCaption()));
        const std::wstring hint = GetActionWideHint(action, gcl::AnsiToWide(action->GetHint()));
        if (!CheckDefaults || GetCaption().empty()) SetCaption(caption);
        if (!CheckDefaults || GetHint().empty()) SetHint(hint);
    }
    TTxCustomItem::ActionChange(Sender, CheckDefaults);
}

void TXtCustomItem::DefineProperties(gcl::TFiler& Filer) {
    TTxCustomItem::DefineProperties(Filer);
    // Older streams keep the wide texts under their own names.
    Filer.DefineProperty("CaptionW", gcl::TReaderProc(this, &TXtCustomItem::ReadWideCaption), gcl::TWriterProc(),
                         false);
    Filer.DefineProperty("HintW", gcl::TReaderProc(this, &TXtCustomItem::ReadWideHint), gcl::TWriterProc(), false);
}

void TXtCustomItem::ReadWideCaption(gcl::TReader& Reader) { SetCaption(Reader.ReadWideString()); }

void TXtCustomItem::ReadWideHint(gcl::TReader& Reader) { SetHint(Reader.ReadWideString()); }

TXtSubmenuItem::TXtSubmenuItem(gcl::TComponent* AOwner) : TXtItem(AOwner) {
    SetItemStyle(GetItemStyle() | tbisSubmenu | tbisSubitemsEditable);
}

void TXtSubmenuItem::SetDropdownCombo(bool Value) {
    if (Value == GetDropdownCombo()) return;
    SetItemStyle(Value ? GetItemStyle() | tbisCombo : GetItemStyle() & ~tbisCombo);
    Changed(true);
}

TXtCustomLabelItem::TXtCustomLabelItem(gcl::TComponent* AOwner) : TXtCustomItem(AOwner) {
    SetItemStyle((GetItemStyle() & ~(tbisSelectable | tbisRedrawOnSelChange | tbisRedrawOnMouseOverChange)) |
                 tbisClicksTransparent);
    SetAlignment(gcl::taLeftJustify);
    SetStretch(false);
    SetDisplayMode(nbdmImageAndText);
}

bool TXtCustomLabelItem::DialogChar(uint16_t CharCode) {
    auto* control = dynamic_cast<gcl::TWinControl*>(GetControl());
    if (!control || CharCode == 0) return false;
    const wchar_t accel = GetAcceleratorChar(GetCaption());
    if (accel == 0 || accel != static_cast<wchar_t>(std::towupper(static_cast<wchar_t>(CharCode)))) return false;
    if (!CanFocusForAccel(control)) return false;
    control->SetFocus();
    return true;
}

void TXtCustomLabelItem::DoDrawItem(gcl::TCanvas* Canvas, const TRect& Rect, const TTxItemInfo& ItemInfo,
                                    TXtPaintStage PaintStage, bool& PaintDefault) {
    TXtCustomItem::DoDrawItem(Canvas, Rect, ItemInfo, PaintStage, PaintDefault);
    PaintDefault = false;   // a label never has a button face
}

TBarItemViewerClass TXtCustomLabelItem::GetItemViewerClass(TBarView*) { return TXtLabelItemViewer::StaticClass(); }

TBarItemViewerClass TXtSeparatorItem::GetItemViewerClass(TBarView*) {
    return TXtSeparatorItemViewer::StaticClass();
}

std::wstring GetShortcutText(TBarCustomItem* Item) {
    if (!Item) return {};
    if (auto* xt = dynamic_cast<TXtCustomItem*>(Item)) {
        const std::wstring caption = xt->GetCaption();
        const size_t tab = caption.find(L'\t');
        if (tab != std::wstring::npos && tab + 1 < caption.size()) return caption.substr(tab + 1);
    }
    return gcl::AnsiToWide(Item->GetShortCutText());
}

std::wstring XtViewerHintText(TBarItemViewer* Viewer) {
    TBarCustomItem* item = Viewer->GetItem();
    if (auto* xt = dynamic_cast<TXtCustomItem*>(item))
        return XtViewerHintText(Viewer, xt->GetHint(), StripAfterTab(xt->GetCaption()));
    return XtViewerHintText(Viewer, gcl::AnsiToWide(item->GetHint()), gcl::AnsiToWide(Viewer->GetCaptionText()));
}

std::wstring XtViewerHintText(TBarItemViewer* Viewer, const std::wstring& FullHint, const std::wstring& Caption) {
    TBarCustomItem* item = Viewer->GetItem();
    std::wstring hint = FullHint.substr(0, FullHint.find(L'|'));
    if (hint.empty() && !item->GetEffectiveOptions().Contains(tboNoAutoHint) &&
        !(item->HasStyle(tbisSubmenu) && !item->HasStyle(tbisCombo) && Viewer->CaptionShown()))
        hint = StripAccelerators(StripTrailingColonOrEllipsis(Caption));
    if (!hint.empty() && gcl::Application && gcl::Application->GetHintShortCuts() && item->GetShortCut() != 0)
        hint += L" (" + gcl::AnsiToWide(gcl::ShortCutToText(item->GetShortCut())) + L")";
    return hint;
}

// ==== Viewers ===================================================================================

GCL_IMPLEMENT_CLASS(TXtItemViewer)
GCL_IMPLEMENT_CLASS(TXtLabelItemViewer)
GCL_IMPLEMENT_CLASS(TXtSeparatorItemViewer)

TXtItemViewer::TXtItemViewer(TBarView* AView, TBarCustomItem* AItem, int AGroupLevel)
    : TTxItemViewer(AView, AItem, AGroupLevel) {}

TXtCustomItem* TXtItemViewer::XtItem() const { return dynamic_cast<TXtCustomItem*>(FItem); }

void TXtItemViewer::Dispatch(gcl::TMessage& Message) {
    if (Message.Msg == gcl::CM_HINTSHOW && Message.LParam) {
        PrepareBitmapHint(*reinterpret_cast<gcl::THintInfo*>(Message.LParam));
        return;
    }
    TTxItemViewer::Dispatch(Message);
}

void TXtItemViewer::PrepareBitmapHint(gcl::THintInfo& Info) {
    std::wstring hint = XtViewerHintText(this);
    Info.HintStr = gcl::WideToAnsi(hint);
    TXtCustomItem* item = XtItem();
    gcl::TBitmap* bitmap = XtHintBitmap;
    if (hint.empty() || !item || !bitmap) return;
    Info.HintWindowClass = TBitmapHint::StaticClass();
    Info.HideTimeout = BitmapHintHideTimeout;
    auto prepareCanvas = [bitmap] {
        gcl::TCanvas* canvas = bitmap->GetCanvas();
        if (gcl::Screen) canvas->GetFont()->Assign(gcl::Screen->GetHintFont());
        canvas->GetFont()->SetColor(gcl::clInfoText);
        canvas->GetPen()->SetColor(gcl::clBlack);
        canvas->GetBrush()->SetColor(gcl::clInfoBk);
        canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid, gcl::csPenValid, gcl::csBrushValid});
        return canvas;
    };
    RECT text{0, 0, 0, 0};
    DrawTextW(prepareCanvas()->GetHandle(), hint.c_str(), static_cast<int>(hint.size()), &text,
              DT_CALCRECT | DT_NOPREFIX);
    bitmap->SetSize(text.right - text.left + 8, text.bottom - text.top + 4);
    gcl::TCanvas* canvas = prepareCanvas();
    bool paintDefault = true;
    item->DoDrawHint(bitmap, hint, paintDefault);
    if (paintDefault) {
        canvas = prepareCanvas();
        canvas->Rectangle(0, 0, bitmap->GetWidth(), bitmap->GetHeight());
        RECT r{0, 2, bitmap->GetWidth(), bitmap->GetHeight() - 2};
        SetBkMode(canvas->GetHandle(), TRANSPARENT);
        DrawTextW(canvas->GetHandle(), hint.c_str(), static_cast<int>(hint.size()), &r, DT_CENTER | DT_NOPREFIX);
    }
    Info.HintStr = gcl::WideToAnsi(hint);
    Info.HintData = bitmap;
}

void TXtSeparatorItemViewer::Paint(gcl::TCanvas* Canvas, TRect ClientAreaRect, bool IsSelected, bool IsPushed,
                                   bool UseDisabledShadow) {
    if (auto* bar = dynamic_cast<TXtToolbar*>(FView->GetWindow()); bar && bar->HidesSeparator(this)) return;
    TTxSeparatorItemViewer::Paint(Canvas, ClientAreaRect, IsSelected, IsPushed, UseDisabledShadow);
}

std::wstring TXtItemViewer::GetWideCaptionText() {
    if (TXtCustomItem* item = XtItem()) return DecodeCaption(StripAfterTab(item->GetCaption()));
    return gcl::AnsiToWide(GetCaptionText());
}

UINT TXtItemViewer::GetTextFlags() { return TTxItemViewer::GetTextFlags(); }

void TXtItemViewer::DoAdjustFont(gcl::TFont* Font, int StateFlags) {
    TTxItemViewer::DoAdjustFont(Font, StateFlags);
    if (TXtCustomItem* item = XtItem()) item->DoDrawAdjustFont(Font, StateFlags);
}

void TXtItemViewer::GetTextSize(gcl::TCanvas* Canvas, const std::string& Text, gcl::TSize& Size, int StateFlags,
                                bool IsTextRotated, UINT TextFlags) {
    if (!XtItem()) {
        TTxItemViewer::GetTextSize(Canvas, Text, Size, StateFlags, IsTextRotated, TextFlags);
        return;
    }
    // The wide caption is measured, not its 8-bit mirror.
    Size = gcl::TSize{0, 0};
    const std::wstring text = GetWideCaptionText();
    if (text.empty()) return;
    if (gcl::TFont* font = FView->GetFont()) Canvas->GetFont()->Assign(font);
    DoAdjustFont(Canvas->GetFont(), StateFlags);
    Canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid});
    const HDC dc = Canvas->GetHandle();
    if (IsTextRotated) {
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        SIZE extent{};
        GetWideTextExtent(dc, text, (TextFlags & DT_NOPREFIX) == 0, extent);
        Size = gcl::TSize{tm.tmHeight, extent.cx};
        return;
    }
    RECT r{0, 0, 1, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | TextFlags);
    Size = gcl::TSize{r.right - r.left, r.bottom - r.top};
}

int TXtItemViewer::CaptionLineHeight(gcl::TCanvas* Canvas) {
    if (!CaptionShown() || GetWideCaptionText().empty()) return 0;
    // The caption's font is on the canvas: measuring the caption put it there.
    Canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid});
    TEXTMETRICW tm{};
    return GetTextMetricsW(Canvas->GetHandle(), &tm) ? static_cast<int>(tm.tmHeight) : 0;
}

void TXtItemViewer::CalcSize(gcl::TCanvas* Canvas, int& AWidth, int& AHeight) {
    TTxItemViewer::CalcSize(Canvas, AWidth, AHeight);
    TXtCustomItem* item = XtItem();
    if (!item) return;
    const bool toolbarStyle = IsToolbarStyle();
    if (!toolbarStyle) {
        // The shortcut column holds the wide shortcut text.
        const std::wstring shortcut = GetShortcutText(item);
        const std::string ansiShortcut = item->GetShortCutText();
        if (!shortcut.empty() || !ansiShortcut.empty()) {
            Canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid});
            const HDC dc = Canvas->GetHandle();
            // The row's height before the final addition of the arrow column.
            const int rowHeight = AHeight;
            if (!ansiShortcut.empty()) {
                SIZE ansiSize{};
                GetWideTextExtent(dc, gcl::AnsiToWide(ansiShortcut), true, ansiSize);
                AWidth -= ansiSize.cx + rowHeight - 6;
            }
            if (!shortcut.empty()) {
                SIZE wideSize{};
                GetWideTextExtent(dc, shortcut, true, wideSize);
                AWidth += wideSize.cx + rowHeight - 6;
            }
        }
    }
    const bool rotated = IsRotated();
    int length = rotated ? AHeight : AWidth;
    int thickness = rotated ? AWidth : AHeight;
    length += item->GetMargins();
    if (item->GetCustomWidth() > -1) length = item->GetCustomWidth();
    if (item->GetCustomHeight() > -1) thickness = item->GetCustomHeight();
    if (toolbarStyle && item->GetAnchored()) length += AnchorExtra;
    length = std::max(length, item->GetMinWidth());
    thickness = std::max(thickness, item->GetMinHeight());
    // A bar of a set thickness (a panel's caption bar) still holds a line
    // of an item's caption: in a larger system font the text is not cut.
    if (auto* view = dynamic_cast<TXtToolbarView*>(FView); view && view->GetMaxSize() > -1)
        thickness = std::min(thickness, std::max(view->GetMaxSize(), CaptionLineHeight(Canvas) + 1));
    AWidth = rotated ? thickness : length;
    AHeight = rotated ? length : thickness;
}

namespace {

TXtToolbarDisplayMode ToolbarDisplayMode(TBarView* View) {
    auto* bar = dynamic_cast<TXtToolbar*>(View->GetWindow());
    return bar ? bar->GetDisplayMode() : tbdmSelectiveCaption;
}

} // namespace

bool TXtItemViewer::CaptionShown() {
    switch (ToolbarDisplayMode(FView)) {
    case tbdmImageOnly:
        if (IsImageShown()) return false;
        break;
    case tbdmTextOnly: return true;
    default: break;
    }
    return TTxItemViewer::CaptionShown();
}

bool TXtItemViewer::IsImageShown() {
    return ToolbarDisplayMode(FView) != tbdmTextOnly && TTxItemViewer::IsImageShown();
}

void TXtItemViewer::Entering(TBarItemViewer* OldSelected) {
    TTxItemViewer::Entering(OldSelected);
    // A status line bound to the application's hint follows the menu.
    if (FView->IsPopupWindow() && UniApplication)
        if (TXtCustomItem* item = XtItem()) UniApplication->SetHint(item->GetHint());
}

void TXtItemViewer::Paint(gcl::TCanvas* Canvas, TRect ClientAreaRect, bool IsSelected, bool IsPushed,
                          bool UseDisabledShadow) {
    FPaintPushed = IsPushed;
    TTxItemViewer::Paint(Canvas, ClientAreaRect, IsSelected, IsPushed, UseDisabledShadow);
}

void TXtItemViewer::DoPaintFace(gcl::TCanvas* Canvas, const TRect& FaceRect, TTxItemInfo& ItemInfo, bool PostPaint,
                                bool& PaintDefault) {
    TXtCustomItem* item = XtItem();
    if (!item) return;
    if (!PostPaint) {
        FPaintInfo = ItemInfo;
        // A menu row's submenu arrow is drawn here, in the text colour.
        FSubmenuArrow = !IsToolbarStyle() && FItem->HasStyle(tbisSubmenu) && !FItem->HasStyle(tbisCombo);
        if (FSubmenuArrow) ItemInfo.ItemOptions &= ~uint32_t(IO_SUBMENUITEM);
        item->DoDrawItem(Canvas, FaceRect, ItemInfo, pstPrePaint, PaintDefault);
        return;
    }
    item->DoDrawItem(Canvas, FaceRect, ItemInfo, pstPostPaint, PaintDefault);
    if (!FSubmenuArrow) return;
    ItemInfo.ItemOptions |= IO_SUBMENUITEM;
    FSubmenuArrow = false;
    if (PaintDefault)
        DrawArrowGlyph(Canvas->GetHandle(), FaceRect.Right - 10, FaceRect.Top + FaceRect.Height() / 2, 3, false,
                       Canvas->GetFont()->GetColor());
}

void TXtItemViewer::DoPaintCaption(gcl::TCanvas* Canvas, const TRect& ClientAreaRect, TRect& CaptionRect,
                                   UINT& Format, bool IsTextRotated, bool IsShortcut, bool& PaintDefault) {
    TXtCustomItem* item = XtItem();
    if (!item) return;
    std::wstring caption = IsShortcut ? GetShortcutText(item) : GetWideCaptionText();
    uint32_t format = Format;
    if (!IsShortcut) {
        format |= WrappingFlags(item->GetWrapping());
        if (IsToolbarStyle() && !IsTextRotated) {
            // The text block within the button's content, by Alignment.
            TRect content = ClientAreaRect;
            gcl::InflateRect(content, -2, -2);
            const int width = CaptionRect.Width();
            const TTxItemLayout layout = item->GetLayout();
            const bool glyphTop = layout == txlGlyphTop ||
                                  (layout == txlAuto && (FItem->GetEffectiveOptions().Contains(tboImageAboveCaption) ||
                                                         FView->GetOrientation() == tbvoVertical));
            const bool glyphLeft = FPaintInfo.ImageShown && !glyphTop;
            if (item->GetAlignment() == gcl::taLeftJustify) {
                CaptionRect.Left = content.Left + (glyphLeft ? FPaintInfo.ImageWidth + 3 : 1);
                CaptionRect.Right = CaptionRect.Left + width;
            } else if (item->GetAlignment() == gcl::taRightJustify) {
                CaptionRect.Right = content.Right - 1;
                CaptionRect.Left = CaptionRect.Right - width;
                format |= DT_RIGHT;
            }
            // A fixed width narrower than the text cuts it (with the
            // wrapping's ellipsis).
            CaptionRect.Left = std::max(CaptionRect.Left, content.Left);
            CaptionRect.Right = std::min(CaptionRect.Right, content.Right);
            if (CurrentThemeName() == "Default" && FPaintPushed) gcl::OffsetRect(CaptionRect, 1, 1);
        }
    }
    const int state = ItemInfoToStateFlags(FPaintInfo);
    item->DoDrawCaption(Canvas, ClientAreaRect, state, caption, CaptionRect, format, IsTextRotated, pstPrePaint,
                        PaintDefault);
    if (PaintDefault) {
        SetBkMode(Canvas->GetHandle(), TRANSPARENT);
        DrawGlowText(Canvas, caption, CaptionRect, IsTextRotated ? 2 : 0, item->GetCaptionGlowColor(),
                     item->GetCaptionGlow(), format);
        PaintDefault = false;
    }
    item->DoDrawCaption(Canvas, ClientAreaRect, state, caption, CaptionRect, format, IsTextRotated, pstPostPaint,
                        PaintDefault);
    Format = format;
}

void TXtItemViewer::DrawItemImage(gcl::TCanvas* Canvas, TRect ARect, TTxItemInfo& ItemInfo) {
    TXtCustomItem* item = XtItem();
    if (!item) {
        TTxItemViewer::DrawItemImage(Canvas, ARect, ItemInfo);
        return;
    }
    gcl::TCustomImageList* images = GetImageList();
    int index = FItem->GetImageIndex();
    bool paintDefault = true;
    item->DoDrawImage(Canvas, ItemInfo, pstPrePaint, images, index, ARect, paintDefault);
    if (paintDefault && images && index >= 0 && index < images->GetCount())
        CurrentTheme->PaintImage(Canvas, ARect, ItemInfo, images, index);
    item->DoDrawImage(Canvas, ItemInfo, pstPostPaint, images, index, ARect, paintDefault);
}

void TXtLabelItemViewer::CalcSize(gcl::TCanvas* Canvas, int& AWidth, int& AHeight) {
    TXtItemViewer::CalcSize(Canvas, AWidth, AHeight);
    auto* item = dynamic_cast<TXtCustomItem*>(FItem);
    if (!item || IsToolbarStyle() || item->GetCaption().empty() || item->GetCustomHeight() >= 0) return;
    // A menu label is one text line high.
    if (gcl::TFont* font = FView->GetFont()) Canvas->GetFont()->Assign(font);
    Canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid});
    TEXTMETRICW tm{};
    GetTextMetricsW(Canvas->GetHandle(), &tm);
    AHeight = tm.tmHeight;
}

// ==== Radio and theme groups ====================================================================

GCL_IMPLEMENT_CLASS(TXtRadioGroupItem)
GCL_IMPLEMENT_CLASS(TXtThemeGroupItem)

TXtRadioGroupItem::TXtRadioGroupItem(gcl::TComponent* AOwner)
    : TBarGroupItem(AOwner), FStrings(std::make_unique<TUniStringList>()) {}

TXtRadioGroupItem::~TXtRadioGroupItem() = default;

void TXtRadioGroupItem::Loaded() {
    TBarGroupItem::Loaded();
    if (!gcl::InState(this, gcl::csDesigning)) Recreate();
}

void TXtRadioGroupItem::Recreate() {
    FStrings->Clear();
    // The generated items go (freed, not only taken out of the group).
    for (int i = GetCount() - 1; i >= 0; --i) {
        TBarCustomItem* item = GetItem(i);
        if (item->GetGroupIndex() == GeneratedGroupIndex) item->Free();
    }
    DoFillStrings();
    for (int i = 0; i < FStrings->GetCount(); ++i) {
        TXtItem* item = TXtItem::Create(this);
        std::wstring caption;
        DoGetCaption(FStrings->Get(i), caption);
        item->SetCaption(caption);
        item->SetAutoCheck(false);
        item->SetGroupIndex(GeneratedGroupIndex);
        item->SetTag(i);
        item->OnClick = gcl::TNotifyEvent(this, &TXtRadioGroupItem::ItemClick);
        Insert(i, item);
        // Checked directly: a click here would select again what is
        // already selected.
        if (i == FItemIndex) item->SetChecked(true);
    }
    if (OnUpdate) OnUpdate(this);
}

void TXtRadioGroupItem::ItemClick(gcl::TObject* Sender) {
    auto* item = dynamic_cast<TBarCustomItem*>(Sender);
    if (!item || item->GetChecked() || item->GetTag() < 0 || item->GetTag() >= FStrings->GetCount()) return;
    item->SetChecked(true);
    FLastClickedIndex = item->GetParent() ? item->GetParent()->IndexOf(item) : -1;
    DoClick(item);
}

void TXtRadioGroupItem::DoClick(TBarCustomItem* Item) {
    if (OnClick) OnClick(Item);
}

void TXtRadioGroupItem::DoGetCaption(const std::wstring& Text, std::wstring& Caption) {
    Caption = Text;
    if (OnGetCaption) OnGetCaption(this, Caption);
}

TXtThemeGroupItem::TXtThemeGroupItem(gcl::TComponent* AOwner) : TXtRadioGroupItem(AOwner) { AddThemeListener(this); }

TXtThemeGroupItem::~TXtThemeGroupItem() { RemoveThemeListener(this); }

void TXtThemeGroupItem::DoFillStrings() {
    std::vector<std::wstring> names;
    for (const auto& record : RegisteredThemes()) names.push_back(gcl::AnsiToWide(record.Name));
    const auto skinTheme = std::find(names.begin(), names.end(), L"XtTheme");
    if (skinTheme != names.end()) {
        // One entry per skin folder instead of the skinned theme itself.
        names.erase(skinTheme);
        gcl::TStringList folders;
        ListSubdirectories(FSkinsDirectory, &folders);
        for (int i = 0; i < folders.GetCount(); ++i)
            names.push_back(SkinEntryPrefix + gcl::AnsiToWide(folders.Get(i)));
    }
    std::stable_sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return WideUpperCase(a) < WideUpperCase(b);
    });
    const auto first = std::find(names.begin(), names.end(), L"Default");
    if (first != names.end()) std::rotate(names.begin(), first, first + 1);
    for (const auto& name : names) GetStrings()->Add(name);
    SetItemIndex(GetStrings()->IndexOf(gcl::AnsiToWide(CurrentThemeName())));
}

void TXtThemeGroupItem::DoGetCaption(const std::wstring& Text, std::wstring& Caption) {
    TXtRadioGroupItem::DoGetCaption(IsSkinEntry(Text) ? SkinEntryName(Text) : Text, Caption);
}

void TXtThemeGroupItem::DoClick(TBarCustomItem* Item) {
    std::wstring theme = GetStrings()->Get(static_cast<int>(Item->GetTag()));
    if (IsSkinEntry(theme)) {
        const std::wstring folder = SkinEntryName(theme);
        if (!folder.empty() && XtSkinOptions) XtSkinOptions->LoadFromFile(SkinFileName(FSkinsDirectory, folder));
        theme = L"XtTheme";
    }
    SelectTheme(gcl::WideToAnsi(theme));
    TXtRadioGroupItem::DoClick(Item);
}

void TXtThemeGroupItem::Dispatch(gcl::TMessage& Message) {
    TXtRadioGroupItem::Dispatch(Message);
    if (Message.Msg == WM_SKIN_THEMECHANGE && Message.WParam == 3) DoThemeChange();
}

void TXtThemeGroupItem::DoThemeChange() {
    const int index = GetStrings()->IndexOf(gcl::AnsiToWide(CurrentThemeName()));
    if (index >= 0) {
        SetItemIndex(index);
        // Checked, not clicked: the theme is already the current one.
        for (int i = 0; i < GetCount(); ++i) {
            TBarCustomItem* item = GetItem(i);
            if (item->GetGroupIndex() == GeneratedGroupIndex && item->GetTag() == index) item->SetChecked(true);
        }
    }
    if (OnThemeChange) OnThemeChange(this);
}

// ==== Drag objects and the item cache ============================================================

GCL_IMPLEMENT_CLASS(TXtCustomDragObject)
GCL_IMPLEMENT_CLASS(TXtItemDragObject)

TXtCustomDragObject::TXtCustomDragObject(gcl::TControl* ASourceControl, TBarCustomItem* ASourceItem)
    : FSourceControl(ASourceControl), FSourceItem(ASourceItem) {}

gcl::TCursor TXtCustomDragObject::GetDragCursor(bool Accepted, int, int) {
    return Accepted ? FAcceptedCursor : FRejectedCursor;
}

void TXtCustomDragObject::Finished(gcl::TObject* Target, int X, int Y, bool Accepted) {
    inherited::Finished(Target, X, Y, Accepted);
    // The source control hears the end of the drag as from a drag of its own.
    if (gcl::TControl* control = FSourceControl.Get()) gcl::TDragControlObject(control).Finished(Target, X, Y, Accepted);
}

GCL_PUBLISHED(TXtItemCache,
    GCL_PROP(Name),
    GCL_PROP(Left).Default(0),
    GCL_PROP(Top).Default(0),
    GCL_PROP(Width).Default(0),
    GCL_PROP(Height).Default(0),
    GCL_PROP(ParentWidth).Default(0),
    GCL_PROP(ParentHeight).Default(0))
GCL_IMPLEMENT_CLASS(TXtItemCacheCollection)

void TXtItemCache::SetItem(TBarCustomItem* Value) {
    FItem = Value;
    if (Value) FName = Value->GetName();
}

std::string TXtItemCache::GetName() const { return FItem ? FItem->GetName() : FName; }

void TXtItemCache::Assign(gcl::TPersistent* Source) {
    auto* other = dynamic_cast<TXtItemCache*>(Source);
    if (!other) {
        inherited::Assign(Source);
        return;
    }
    SetItem(other->GetItem());
    if (!other->GetItem()) FName = other->FName;
    FLeft = other->FLeft;
    FTop = other->FTop;
    FWidth = other->FWidth;
    FHeight = other->FHeight;
    FParentWidth = other->FParentWidth;
    FParentHeight = other->FParentHeight;
}

int TXtItemCacheCollection::AddItem(TBarCustomItem* Item, const TRect& Rect) {
    TXtItemCache* cache = Add();
    cache->SetItem(Item);
    cache->SetLeft(Rect.Left);
    cache->SetTop(Rect.Top);
    cache->SetWidth(Rect.Right - Rect.Left);
    cache->SetHeight(Rect.Bottom - Rect.Top);
    return cache->GetIndex();
}

int TXtItemCacheCollection::IndexOfItem(TBarCustomItem* Item) const {
    if (!Item) return -1;
    for (int i = 0; i < GetCount(); ++i)
        if (GetItems(i)->GetItem() == Item) return i;
    return -1;
}

} // namespace qelvo
