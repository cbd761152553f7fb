#include "gcl/rtl/WinApi.h"

#include "unicode/UniCheckLst.h"

#include <algorithm>
#include <cstring>

#include "gcl/rtl/TypInfo.h"
#include "unicode/UniActnList.h"
#include "unicode/UniControls.h"
#include "unicode/UniSysUtils.h"
#include "unicode/UniWindows.h"

namespace qelvo {

namespace {

// Text flags of an item's text: single line, vertically centred, no
// hot-key marks (2084).
constexpr uint32_t kItemTextFlags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;

} // namespace

TUniCheckListBox::TUniCheckListBox(gcl::TComponent* owner)
    : gcl::TCheckListBox(owner), FItems(std::make_unique<TUniListBoxStrings>(this)) {
    FItems->OnGetVirtualText = TUniListBoxTextEvent(this, &TUniCheckListBox::VirtualText);
}

TUniCheckListBox::~TUniCheckListBox() = default;

bool TUniCheckListBox::GetInterface(const gcl::TGUID& iid, void** out) {
    return gcl::QueryInterfaces<IWideCustomListControl>(this, iid, out) || inherited::GetInterface(iid, out);
}

std::wstring TUniCheckListBox::GetHint() { return WideControlGetHint(this); }

void TUniCheckListBox::SetHint(const std::wstring& value) { WideControlSetHint(this, value); }

bool TUniCheckListBox::IsHintStored() { return IsWideHintStored(this); }

void TUniCheckListBox::CreateWindowHandle(const gcl::TCreateParams& params) {
    CreateWideWindowHandle(this, params, L"LISTBOX", false);
}

void TUniCheckListBox::ActionChange(gcl::TObject* sender, bool checkDefaults) {
    WideActionChange(this, sender, checkDefaults);
    inherited::ActionChange(sender, checkDefaults);
}

gcl::TBasicActionLinkClass TUniCheckListBox::GetActionLinkClass() const {
    return WideActionLinkClassFor(this, inherited::GetActionLinkClass());
}

void TUniCheckListBox::DefineProperties(gcl::TFiler& filer) {
    inherited::DefineProperties(filer);
    DefineWideProperties(filer, this);
}

void TUniCheckListBox::DestroyWnd() {
    // The class library keeps the 8-bit items and their states; the wide
    // texts are kept beside them until the next window.
    FItems->SaveWindowTexts();
    inherited::DestroyWnd();
}

void TUniCheckListBox::CreateWnd() {
    inherited::CreateWnd();
    std::vector<std::wstring> texts = FItems->TakeWindowTexts();
    if (texts.empty()) return;
    const int count = std::min(GetCount(), static_cast<int>(texts.size()));
    for (int i = 0; i < count; ++i) {
        if (FItems->Get(i) != texts[static_cast<size_t>(i)]) {
            RestoreWideTexts(texts);
            return;
        }
    }
}

void TUniCheckListBox::RestoreWideTexts(const std::vector<std::wstring>& texts) {
    struct TItemSave {
        gcl::TCheckBoxState State;
        bool Enabled;
        bool Header;
        bool Selected;
        gcl::TObject* Data;
    };
    // What the class library has just put back into the new window.
    const int count = std::min(GetCount(), static_cast<int>(texts.size()));
    const bool multiSelect = GetMultiSelect();
    std::vector<TItemSave> saved;
    saved.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        saved.push_back(TItemSave{GetState(i), GetItemEnabled(i), GetHeader(i), multiSelect && GetSelected(i),
                                  FItems->GetObject(i)});
    const int topIndex = GetTopIndex();
    const int itemIndex = GetItemIndex();
    {
        gcl::TUpdateGuard<TWideStrings> update(*FItems);
        FItems->Clear();
        // Inserted in place, so a sorted window keeps the order the states
        // were saved in.
        for (int i = 0; i < count; ++i)
            FItems->InsertObject(i, texts[static_cast<size_t>(i)], saved[static_cast<size_t>(i)].Data);
    }
    const int restored = std::min(count, GetCount());
    for (int i = 0; i < restored; ++i) {
        const TItemSave& item = saved[static_cast<size_t>(i)];
        SetItemEnabled(i, item.Enabled);
        SetState(i, item.State);
        SetHeader(i, item.Header);
        if (item.Selected) SetSelected(i, true);
    }
    SetTopIndex(topIndex);
    SetItemIndex(itemIndex);
}

void TUniCheckListBox::DrawItemText(int index, gcl::TRect rect, gcl::TOwnerDrawState state) {
    if (gcl::TCustomListBox::OnDrawItem) {
        inherited::DrawItemText(index, rect, state);
        return;
    }
    SetItemTextColors(index);
    gcl::TCanvas* canvas = GetCanvas();
    canvas->FillRect(rect);
    if (index < 0 || index >= GetCount()) return;
    std::wstring text = FItems->Get(index);
    uint32_t flags = DrawTextBiDiModeFlags(kItemTextFlags);
    if (!UseRightToLeftAlignment())
        rect.Left += 2;
    else
        rect.Right -= 2;
    canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid, gcl::csBrushValid});
    RECT r = gcl::ToRECT(rect);
    WideDrawText(canvas->GetHandle(), text.c_str(), static_cast<int>(text.size()), &r, flags);
}

bool TUniCheckListBox::HasData() const noexcept {
    return static_cast<bool>(OnData) || static_cast<bool>(gcl::TCustomListBox::OnData);
}

std::wstring TUniCheckListBox::DoGetWideData(int index) {
    std::wstring data;
    if (OnData) {
        OnData(this, index, data);
    } else if (gcl::TCustomListBox::OnData) {
        std::string ansi;
        gcl::TCustomListBox::OnData(this, index, ansi);
        data = WindowAnsiToWide(ansi);
    }
    return data;
}

std::string TUniCheckListBox::DoGetData(int index) { return WideToWindowAnsi(DoGetWideData(index)); }

void TUniCheckListBox::LBGetText(gcl::TMessage& message, bool lengthOnly) {
    const int index = static_cast<int>(message.WParam);
    if (index < 0 || index >= GetCount() || !HasData()) {
        message.Result = LB_ERR;
        return;
    }
    std::wstring text = DoGetWideData(index);
    if (UnicodePlatform && HandleAllocated() && IsWindowUnicode(GetHandle())) {
        // The caller sized its buffer by LB_GETTEXTLEN in characters.
        if (!lengthOnly && message.LParam) {
            auto* buffer = reinterpret_cast<wchar_t*>(message.LParam);
            std::copy(text.begin(), text.end(), buffer);
            buffer[text.size()] = L'\0';
        }
        message.Result = static_cast<intptr_t>(text.size());
        return;
    }
    // An 8-bit window: lengths and buffers count bytes.
    std::string ansi = WideToWindowAnsi(text);
    if (!lengthOnly && message.LParam)
        std::memcpy(reinterpret_cast<char*>(message.LParam), ansi.c_str(), ansi.size() + 1);
    message.Result = static_cast<intptr_t>(ansi.size());
}

void TUniCheckListBox::Dispatch(gcl::TMessage& message) {
    if ((message.Msg == LB_GETTEXT || message.Msg == LB_GETTEXTLEN) && IsVirtual()) {
        LBGetText(message, message.Msg == LB_GETTEXTLEN);
        return;
    }
    inherited::Dispatch(message);
}

void TUniCheckListBox::AddItem(const std::string& item, gcl::TObject* object) {
    FItems->AddObject(WindowAnsiToWide(item), object);
}

void GCL_STDCALL TUniCheckListBox::AddItem(const std::wstring& item, gcl::TObject* object) {
    FItems->AddObject(item, object);
}

void TUniCheckListBox::CopySelection(gcl::TCustomListControl* destination) {
    if (!destination) return;
    gcl::ComPtr<IWideCustomListControl> wide;
    gcl::Supports(destination, wide);
    auto copy = [&](int index) {
        std::wstring text = FItems->Get(index);
        gcl::TObject* object = FItems->GetObject(index);
        if (wide)
            wide->AddItem(text, object);
        else
            destination->AddItem(WideToWindowAnsi(text), object);
    };
    if (GetMultiSelect()) {
        for (int i = 0; i < GetCount(); ++i)
            if (GetSelected(i)) copy(i);
    } else {
        int index = GetItemIndex();
        if (index >= 0) copy(index);
    }
}

GCL_PUBLISHED(TUniCheckListBox,
    gcl::Prop<&Self::GetHint, static_cast<void (Self::*)(const std::wstring&)>(&Self::SetHint)>("Hint")
        .StoredBy<&Self::IsHintStored>(),
    gcl::Prop<&Self::GetItemsProp, &Self::SetItemsProp>("Items"))

namespace {
void InitializeUniCheckLst() { gcl::RegisterClass(TUniCheckListBox::StaticClass()); }
void FinalizeUniCheckLst() { gcl::UnRegisterClass(TUniCheckListBox::StaticClass()); }
} // namespace

gcl::TUnit UniCheckLstUnit{"UniCheckLst", &InitializeUniCheckLst, &FinalizeUniCheckLst};

} // namespace qelvo
