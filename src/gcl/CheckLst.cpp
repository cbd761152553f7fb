#include "gcl/CheckLst.h"

#include <uxtheme.h>
#include <vsstyle.h>

#include <algorithm>

#include "gcl/rtl/Strings.h"
#include "gcl/rtl/TypInfo.h"

namespace gcl {

namespace {

// The glyph size of the classic check box.
constexpr int kClassicCheckSize = 13;

int ThemeCheckState(TCheckBoxState state, bool enabled) noexcept {
    switch (state) {
    case cbChecked:
        return enabled ? CBS_CHECKEDNORMAL : CBS_CHECKEDDISABLED;
    case cbGrayed:
        return enabled ? CBS_MIXEDNORMAL : CBS_MIXEDDISABLED;
    default:
        return enabled ? CBS_UNCHECKEDNORMAL : CBS_UNCHECKEDDISABLED;
    }
}

// The "BUTTON" theme for the drawing that follows, closed with the object.
class TButtonTheme {
public:
    explicit TButtonTheme(HWND window) {
        if (VisualStylesActive()) FTheme = OpenThemeData(window, L"BUTTON");
    }
    ~TButtonTheme() {
        if (FTheme) CloseThemeData(FTheme);
    }
    TButtonTheme(const TButtonTheme&) = delete;
    TButtonTheme& operator=(const TButtonTheme&) = delete;
    HTHEME Get() const noexcept { return FTheme; }

private:
    HTHEME FTheme = nullptr;
};

} // namespace

TCheckListBox::TCheckListBox(TComponent* owner) : TCustomListBox(owner) {}

TSize TCheckListBox::CheckSize(HWND window) {
    TButtonTheme theme(window);
    if (theme.Get()) {
        SIZE size{};
        if (SUCCEEDED(GetThemePartSize(theme.Get(), nullptr, BP_CHECKBOX, CBS_UNCHECKEDNORMAL, nullptr, TS_DRAW,
                                       &size)) &&
            size.cx > 0 && size.cy > 0)
            return TSize{size.cx, size.cy};
    }
    return TSize{kClassicCheckSize, kClassicCheckSize};
}

void TCheckListBox::DrawCheck(TCanvas* canvas, const TRect& rect, TCheckBoxState state, bool enabled, bool flat,
                              HWND window) {
    TSize size = CheckSize(window);
    RECT r;
    r.left = rect.Left + (rect.Width() - size.cx) / 2;
    r.top = rect.Top + (rect.Height() - size.cy) / 2;
    r.right = r.left + size.cx;
    r.bottom = r.top + size.cy;
    HDC dc = canvas->GetHandle();
    TButtonTheme theme(window);
    if (theme.Get()) {
        DrawThemeBackground(theme.Get(), dc, BP_CHECKBOX, ThemeCheckState(state, enabled), &r, nullptr);
        return;
    }
    UINT flags = DFCS_BUTTONCHECK;
    if (state == cbChecked) flags |= DFCS_CHECKED;
    if (state == cbGrayed) flags |= DFCS_BUTTON3STATE | DFCS_CHECKED;
    if (!enabled) flags |= DFCS_INACTIVE;
    if (flat) flags |= DFCS_FLAT;
    DrawFrameControl(dc, &r, DFC_BUTTON, flags);
}

int TCheckListBox::GetCheckWidth() { return CheckSize(HandleAllocated() ? GetHandle() : nullptr).cx + 2; }

void TCheckListBox::CreateParams(TCreateParams& params) {
    inherited::CreateParams(params);
    if (!(params.Style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE))) params.Style |= LBS_OWNERDRAWFIXED;
}

int TCheckListBox::MeasuredItemHeight() {
    return GetStyle() == lbStandard ? LineAndCheckHeight() : inherited::MeasuredItemHeight();
}

int TCheckListBox::LineAndCheckHeight() {
    TCanvas& canvas = MeasureCanvas();
    canvas.SetFont(GetFont());
    int textHeight = canvas.TextHeight("Wg");
    return std::max(textHeight, CheckSize(HandleAllocated() ? GetHandle() : nullptr).cy + 2);
}

TCheckListBox::TItemState& TCheckListBox::ItemState(int index) {
    int count = GetCount();
    if (index < 0 || index >= count) throw EListError(Format(msg::ListIndexError, {index}));
    // Items that reached the window without passing the item hooks get
    // default states.
    if (static_cast<int>(FStates.size()) < count) FStates.resize(static_cast<size_t>(count));
    return FStates[static_cast<size_t>(index)];
}

void TCheckListBox::InvalidateItem(int index) {
    if (!HandleAllocated()) return;
    // Only a row in sight is painted again: a list of many thousands of
    // rows may change every check at once, and each invalidation is a
    // call into the window system.
    const RECT r = ToRECT(ItemRect(index));
    RECT client{}, shown{};
    ::GetClientRect(GetHandle(), &client);
    if (IntersectRect(&shown, &r, &client)) InvalidateRect(GetHandle(), &r, FALSE);
}

bool TCheckListBox::GetChecked(int index) { return ItemState(index).State == cbChecked; }

void TCheckListBox::SetChecked(int index, bool value) {
    if (GetChecked(index) == value) return;
    SetState(index, value ? cbChecked : cbUnchecked);
}

TCheckBoxState TCheckListBox::GetState(int index) { return ItemState(index).State; }

void TCheckListBox::SetState(int index, TCheckBoxState value) {
    TItemState& state = ItemState(index);
    if (state.State == value) return;
    state.State = value;
    InvalidateItem(index);
}

bool TCheckListBox::GetItemEnabled(int index) { return ItemState(index).Enabled; }

void TCheckListBox::SetItemEnabled(int index, bool value) {
    TItemState& state = ItemState(index);
    if (state.Enabled == value) return;
    state.Enabled = value;
    InvalidateItem(index);
}

bool TCheckListBox::GetHeader(int index) { return ItemState(index).Header; }

void TCheckListBox::SetHeader(int index, bool value) {
    TItemState& state = ItemState(index);
    if (state.Header == value) return;
    state.Header = value;
    InvalidateItem(index);
}

void TCheckListBox::SetHeaderColor(TColor value) { StoreAndInvalidate(FHeaderColor, value); }

void TCheckListBox::SetHeaderBackgroundColor(TColor value) { StoreAndInvalidate(FHeaderBackgroundColor, value); }

void TCheckListBox::SetFlat(bool value) { StoreAndInvalidate(FFlat, value); }

void TCheckListBox::CheckAll(TCheckBoxState state, bool allowGrayed, bool allowDisabled) {
    for (int i = 0; i < GetCount(); ++i) {
        TItemState& item = ItemState(i);
        if (item.Header) continue;
        if (!item.Enabled && !allowDisabled) continue;
        if (item.State == cbGrayed && !allowGrayed) continue;
        SetState(i, state);
    }
}

void TCheckListBox::DrawItem(int index, TRect rect, TOwnerDrawState state) {
    DrawCheckPart(index, rect, state);
    DrawItemText(index, rect, state);
}

void TCheckListBox::DrawCheckPart(int index, TRect& rect, TOwnerDrawState) {
    if (index < 0 || index >= GetCount()) return;
    const TItemState& item = ItemState(index);
    if (item.Header) return;
    int width = GetCheckWidth();
    TRect check = rect;
    if (!UseRightToLeftAlignment()) {
        check.Right = std::min(check.Left + width, rect.Right);
        rect.Left = check.Right;
    } else {
        check.Left = std::max(check.Right - width, rect.Left);
        rect.Right = check.Left;
    }
    TCanvas* canvas = GetCanvas();
    TColor saved = canvas->GetBrush()->GetColor();
    TBrushStyle savedStyle = canvas->GetBrush()->GetStyle();
    canvas->GetBrush()->SetColor(GetColor());
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->FillRect(check);
    DrawCheck(canvas, check, item.State, item.Enabled && GetEnabled(), FFlat, GetHandle());
    canvas->GetBrush()->SetColor(saved);
    canvas->GetBrush()->SetStyle(savedStyle);
}

void TCheckListBox::DrawItemText(int index, TRect rect, TOwnerDrawState state) {
    if (!OnDrawItem) SetItemTextColors(index);
    inherited::DrawItem(index, rect, state);
}

void TCheckListBox::SetItemTextColors(int index) {
    if (index < 0 || index >= GetCount()) return;
    const TItemState& item = ItemState(index);
    TCanvas* canvas = GetCanvas();
    if (item.Header) {
        canvas->GetBrush()->SetColor(FHeaderBackgroundColor);
        canvas->GetFont()->SetColor(FHeaderColor);
    } else if (!item.Enabled || !GetEnabled()) {
        canvas->GetFont()->SetColor(clGrayText);
    }
}

void TCheckListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    inherited::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    int index = ItemAtPos(Point(x, y), true);
    if (index < 0) return;
    TRect item = ItemRect(index);
    int width = GetCheckWidth();
    bool onCheck = UseRightToLeftAlignment() ? x >= item.Right - width : x - item.Left < width;
    if (onCheck) ToggleClickCheck(index);
}

void TCheckListBox::KeyPress(char& key) {
    if (key == ' ') ToggleClickCheck(GetItemIndex());
    inherited::KeyPress(key);
}

void TCheckListBox::ToggleClickCheck(int index) {
    if (index < 0 || index >= GetCount()) return;
    const TItemState& item = ItemState(index);
    if (!item.Enabled || item.Header) return;
    TCheckBoxState state = item.State;
    switch (state) {
    case cbUnchecked:
        state = FAllowGrayed ? cbGrayed : cbChecked;
        break;
    case cbChecked:
        state = cbUnchecked;
        break;
    case cbGrayed:
        state = cbChecked;
        break;
    }
    SetState(index, state);
    ClickCheck();
}

void TCheckListBox::ClickCheck() {
    if (OnClickCheck) OnClickCheck(this);
}

void TCheckListBox::ItemInserted(int index) {
    TItemState state;
    if (GetMoving() && FHaveMovedState) {
        state = FMovedState;
        FHaveMovedState = false;
    }
    index = std::clamp(index, 0, static_cast<int>(FStates.size()));
    FStates.insert(FStates.begin() + index, state);
}

void TCheckListBox::ItemDeleted(int index) {
    if (index < 0 || index >= static_cast<int>(FStates.size())) return;
    if (GetMoving()) {
        FMovedState = FStates[static_cast<size_t>(index)];
        FHaveMovedState = true;
    }
    FStates.erase(FStates.begin() + index);
}

void TCheckListBox::ItemsCleared() {
    FStates.clear();
    FHaveMovedState = false;
}

void TCheckListBox::ItemCountSet(int count) { FStates.resize(static_cast<size_t>(std::max(count, 0))); }

void TCheckListBox::ItemsReordered(const std::vector<int>& order) {
    std::vector<TItemState> states;
    states.reserve(order.size());
    for (int old : order)
        states.push_back(old >= 0 && old < static_cast<int>(FStates.size()) ? FStates[static_cast<size_t>(old)]
                                                                             : TItemState{});
    FStates.swap(states);
}

void TCheckListBox::Dispatch(TMessage& message) {
    inherited::Dispatch(message);
    if (message.Msg == CM_FONTCHANGED && HandleAllocated() && GetStyle() == lbStandard)
        Perform(LB_SETITEMHEIGHT, 0, MeasuredItemHeight());
}

GCL_PUBLISHED(TCheckListBox,
    GCL_PROP(Align).Default(alNone),
    GCL_PROP(AllowGrayed).Default(false),
    GCL_PROP(Anchors).Default(TAnchors{akLeft, akTop}),
    GCL_PROP(BiDiMode).Default(bdLeftToRight),
    GCL_PROP(BorderStyle).Default(bsSingle),
    GCL_PROP(Color).Default(clWindow).Idents(ColorIdents),
    GCL_PROP(Columns).Default(0),
    GCL_PROP(Constraints),
    GCL_PROP(Ctl3D).Default(true),
    GCL_PROP(DragCursor).Default(crDrag),
    GCL_PROP(DragKind).Default(dkDrag),
    GCL_PROP(DragMode).Default(dmManual),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(Flat).Default(true),
    GCL_PROP(Font),
    GCL_PROP(HeaderColor).Default(clInfoText).Idents(ColorIdents),
    GCL_PROP(HeaderBackgroundColor).Default(clInfoBk).Idents(ColorIdents),
    GCL_PROP(IntegralHeight).Default(false),
    GCL_PROP(ItemHeight).Default(16).StoredBy<&Self::IsItemHeightStored>(),
    GCL_PROP(Items),
    GCL_PROP(ParentBiDiMode).Default(true),
    GCL_PROP(ParentColor).Default(false),
    GCL_PROP(ParentCtl3D).Default(true),
    GCL_PROP(ParentFont).Default(true),
    GCL_PROP(ParentShowHint).Default(true),
    GCL_PROP(ShowHint).Default(false),
    GCL_PROP(Sorted).Default(false),
    GCL_PROP(Style).Default(lbStandard),
    GCL_PROP(TabOrder),
    GCL_PROP(TabStop).Default(true),
    GCL_PROP(TabWidth).Default(0),
    GCL_PROP(Visible).Default(true))

namespace {
void InitializeCheckLst() { RegisterClass(TCheckListBox::StaticClass()); }
void FinalizeCheckLst() { UnRegisterClass(TCheckListBox::StaticClass()); }
} // namespace

TUnit CheckLstUnit{"CheckLst", &InitializeCheckLst, &FinalizeCheckLst};

} // namespace gcl
