#include "gcl/rtl/WinApi.h"

#include "unicode/UniStdCtrls.h"

#include <algorithm>

#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Strings.h"
#include "unicode/UniControls.h"
#include "unicode/UniSysUtils.h"
#include "unicode/UniSystem.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TUniListBoxStrings)

namespace {

std::string ToWindowAnsi(const std::wstring& s) { return WideToWindowAnsi(s); }
std::wstring FromAnsi(const std::string& s) { return WindowAnsiToWide(s); }

// Sets the list box's moving flag for the lifetime of the object.
class TMovingScope {
public:
    explicit TMovingScope(gcl::TCustomListBox* listBox)
        : FListBox(listBox), FOld(gcl::TStdCtrlsSeam::GetMoving(listBox)) {
        gcl::TStdCtrlsSeam::SetMoving(listBox, true);
    }
    ~TMovingScope() { gcl::TStdCtrlsSeam::SetMoving(FListBox, FOld); }
    TMovingScope(const TMovingScope&) = delete;
    TMovingScope& operator=(const TMovingScope&) = delete;

private:
    gcl::TCustomListBox* FListBox;
    bool FOld;
};

// The edit's own selection and text, past any override that counts wide
// characters (Unicode edits route their accessors to the routines here).
int AnsiSelStart(gcl::TCustomEdit* edit) { return edit->gcl::TCustomEdit::GetSelStart(); }
int AnsiSelLength(gcl::TCustomEdit* edit) { return edit->gcl::TCustomEdit::GetSelLength(); }
std::string AnsiText(gcl::TCustomEdit* edit) { return edit->gcl::TCustomEdit::GetText(); }

} // namespace

std::string WideToWindowAnsi(const std::wstring& s) {
    return UnicodePlatform ? gcl::WideToAnsi(s) : WideStringToStringEx(s, DefaultSystemCodePage);
}

std::wstring WindowAnsiToWide(const std::string& s) {
    return UnicodePlatform ? gcl::AnsiToWide(s) : StringToWideStringEx(s, DefaultSystemCodePage);
}

// ---- Edits ------------------------------------------------------------------------

void CreateWideEditWindow(gcl::TWinControl* control, const gcl::TCreateParams& params) {
    if (!UnicodePlatform && IsFarEastLocale() && (params.Style & ES_READONLY)) {
        // Such systems create read-only edits that ignore the input method
        // for good; made writable first, they only refuse typing.
        gcl::TCreateParams writable = params;
        writable.Style &= ~static_cast<DWORD>(ES_READONLY);
        CreateWideWindowHandle(control, writable, L"EDIT", false);
        if (control->HandleAllocated()) SendMessageA(control->GetHandle(), EM_SETREADONLY, 1, 0);
        return;
    }
    CreateWideWindowHandle(control, params, L"EDIT", false);
}

int WideEditGetSelStart(gcl::TCustomEdit* edit) {
    if (UnicodePlatform) return AnsiSelStart(edit);
    return static_cast<int>(FromAnsi(gcl::Copy(AnsiText(edit), 1, AnsiSelStart(edit))).size());
}

void WideEditSetSelStart(gcl::TCustomEdit* edit, int value) {
    if (!UnicodePlatform) {
        std::wstring text = FromAnsi(AnsiText(edit));
        value = static_cast<int>(ToWindowAnsi(text.substr(0, static_cast<size_t>(std::max(value, 0)))).size());
    }
    edit->gcl::TCustomEdit::SetSelStart(value);
}

int WideEditGetSelLength(gcl::TCustomEdit* edit) {
    if (UnicodePlatform) return AnsiSelLength(edit);
    return static_cast<int>(WideEditGetSelText(edit).size());
}

void WideEditSetSelLength(gcl::TCustomEdit* edit, int value) {
    if (!UnicodePlatform) {
        std::wstring text = FromAnsi(AnsiText(edit));
        size_t start = std::min(static_cast<size_t>(WideEditGetSelStart(edit)), text.size());
        value = static_cast<int>(ToWindowAnsi(text.substr(start, static_cast<size_t>(std::max(value, 0)))).size());
    }
    edit->gcl::TCustomEdit::SetSelLength(value);
}

std::wstring WideEditGetSelText(gcl::TCustomEdit* edit) {
    if (!UnicodePlatform) {
        int length = AnsiSelLength(edit);
        if (length <= 0) return std::wstring();
        return FromAnsi(gcl::Copy(AnsiText(edit), AnsiSelStart(edit) + 1, length));
    }
    std::wstring text = WideControlGetText(edit);
    int start = std::max(AnsiSelStart(edit), 0);
    int length = AnsiSelLength(edit);
    if (length <= 0 || static_cast<size_t>(start) >= text.size()) return std::wstring();
    return text.substr(static_cast<size_t>(start), static_cast<size_t>(length));
}

char WidePasswordCharToAnsi(wchar_t value) noexcept {
    return static_cast<unsigned>(value) < 256 ? static_cast<char>(value) : '*';
}

wchar_t WideEditGetPasswordChar(gcl::TCustomEdit* edit, wchar_t& widePasswordChar) {
    char ansi = edit->GetPasswordChar();
    if (ansi != WidePasswordCharToAnsi(widePasswordChar))
        widePasswordChar = static_cast<wchar_t>(static_cast<unsigned char>(ansi));
    return widePasswordChar;
}

void WideEditSetPasswordChar(gcl::TCustomEdit* edit, wchar_t& widePasswordChar, wchar_t value) {
    if (WideEditGetPasswordChar(edit, widePasswordChar) == value) return;
    widePasswordChar = value;
    gcl::TStdCtrlsSeam::SetPasswordCharRaw(edit, WidePasswordCharToAnsi(value));
    if (!edit->HandleAllocated()) return;
    if (UnicodePlatform && IsWindowUnicode(edit->GetHandle()))
        SendMessageW(edit->GetHandle(), EM_SETPASSWORDCHAR, static_cast<WPARAM>(value), 0);
    else
        SendMessageA(edit->GetHandle(), EM_SETPASSWORDCHAR,
                     static_cast<unsigned char>(WidePasswordCharToAnsi(value)), 0);
    edit->Invalidate();
}

void ApplyWidePasswordChar(gcl::TCustomEdit* edit, wchar_t& widePasswordChar) {
    if (!UnicodePlatform || !edit->HandleAllocated()) return;
    SendMessageW(edit->GetHandle(), EM_SETPASSWORDCHAR,
                 static_cast<WPARAM>(WideEditGetPasswordChar(edit, widePasswordChar)), 0);
}

// ---- TUniListBoxStrings -----------------------------------------------------------

gcl::TStrings* TUniListBoxStrings::AnsiItems() const { return FListBox->GetItems(); }

bool TUniListBoxStrings::IsVirtual() const noexcept {
    gcl::TListBoxStyle style = FListBox->GetStyle();
    return style == gcl::lbVirtual || style == gcl::lbVirtualOwnerDraw;
}

bool TUniListBoxStrings::UnicodeWindow() const {
    return UnicodePlatform && FListBox->HandleAllocated() && IsWindowUnicode(FListBox->GetHandle());
}

bool TUniListBoxStrings::KeepsWideTexts() const {
    return UnicodePlatform && !FListBox->HandleAllocated() && !IsVirtual();
}

void TUniListBoxStrings::SyncKeptTexts() const {
    if (!KeepsWideTexts()) {
        FKeptTexts.clear();
        return;
    }
    int count = AnsiItems()->GetCount();
    size_t kept = FKeptTexts.size();
    FKeptTexts.resize(static_cast<size_t>(std::max(count, 0)));
    for (size_t i = kept; i < FKeptTexts.size(); ++i)
        FKeptTexts[i] = FromAnsi(AnsiItems()->Get(static_cast<int>(i)));
}

std::wstring TUniListBoxStrings::Get(int index) const {
    if (UnicodeWindow()) {
        FKeptTexts.clear();
        HWND handle = FListBox->GetHandle();
        LRESULT length = SendMessageW(handle, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length < 0) Error(gcl::msg::ListIndexError, index);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        LRESULT copied = SendMessageW(handle, LB_GETTEXT, static_cast<WPARAM>(index),
                                      reinterpret_cast<LPARAM>(text.data()));
        if (copied < 0) Error(gcl::msg::ListIndexError, index);
        text.resize(static_cast<size_t>(std::min(copied, length)));
        return text;
    }
    if (IsVirtual() && !FListBox->HandleAllocated() && OnGetVirtualText) {
        if (index < 0 || index >= GetCount()) Error(gcl::msg::ListIndexError, index);
        return OnGetVirtualText(index);
    }
    std::string ansi = AnsiItems()->Get(index);
    if (KeepsWideTexts()) {
        // The kept text, unless 8-bit code changed the item meanwhile.
        SyncKeptTexts();
        std::wstring& kept = FKeptTexts[static_cast<size_t>(index)];
        return GetSyncedWideString(kept, ansi);
    }
    return FromAnsi(ansi);
}

int TUniListBoxStrings::GetCount() const { return AnsiItems()->GetCount(); }

gcl::TObject* TUniListBoxStrings::GetObject(int index) const { return AnsiItems()->GetObject(index); }

void TUniListBoxStrings::PutObject(int index, gcl::TObject* object) { AnsiItems()->PutObject(index, object); }

int TUniListBoxStrings::Add(const std::wstring& s) {
    if (IsVirtual()) return -1;
    if (UnicodeWindow()) {
        FKeptTexts.clear();
        LRESULT index = SendMessageW(FListBox->GetHandle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
        if (index < 0) throw gcl::EOutOfResources(gcl::msg::LineInsertError);
        return static_cast<int>(index);
    }
    SyncKeptTexts();
    int index = AnsiItems()->Add(ToWindowAnsi(s));
    if (KeepsWideTexts() && index >= 0 && static_cast<size_t>(index) <= FKeptTexts.size())
        FKeptTexts.insert(FKeptTexts.begin() + index, s);
    return index;
}

void TUniListBoxStrings::Insert(int index, const std::wstring& s) {
    if (IsVirtual()) return;
    if (UnicodeWindow()) {
        FKeptTexts.clear();
        if (SendMessageW(FListBox->GetHandle(), LB_INSERTSTRING, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(s.c_str())) < 0)
            throw gcl::EOutOfResources(gcl::msg::LineInsertError);
        return;
    }
    SyncKeptTexts();
    AnsiItems()->Insert(index, ToWindowAnsi(s));
    if (KeepsWideTexts() && index >= 0 && static_cast<size_t>(index) <= FKeptTexts.size())
        FKeptTexts.insert(FKeptTexts.begin() + index, s);
}

void TUniListBoxStrings::Clear() {
    AnsiItems()->Clear();
    FKeptTexts.clear();
}

void TUniListBoxStrings::Delete(int index) {
    SyncKeptTexts();
    AnsiItems()->Delete(index);
    if (KeepsWideTexts() && index >= 0 && static_cast<size_t>(index) < FKeptTexts.size())
        FKeptTexts.erase(FKeptTexts.begin() + index);
}

void TUniListBoxStrings::Put(int index, const std::wstring& s) {
    if (IsVirtual()) return;
    int itemIndex = FListBox->GetItemIndex();
    {
        TMovingScope moving(FListBox);
        gcl::TObject* data = GetObject(index);
        Delete(index);
        InsertObject(index, s, data);
    }
    FListBox->SetItemIndex(itemIndex);
}

void TUniListBoxStrings::Move(int curIndex, int newIndex) {
    if (IsVirtual() || curIndex == newIndex) return;
    int itemIndex = FListBox->GetItemIndex();
    {
        gcl::TUpdateGuard<TWideStrings> update(*this);
        TMovingScope moving(FListBox);
        std::wstring text = Get(curIndex);
        gcl::TObject* data = GetObject(curIndex);
        Delete(curIndex);
        InsertObject(newIndex, text, data);
    }
    FListBox->SetItemIndex(gcl::MovedItemIndex(itemIndex, curIndex, newIndex));
}

void TUniListBoxStrings::Exchange(int index1, int index2) {
    if (IsVirtual() || index1 == index2) return;
    if (index1 > index2) std::swap(index1, index2);
    gcl::TUpdateGuard<TWideStrings> update(*this);
    // Two moves: each item takes its data and state along, and the
    // current item follows its item.
    Move(index2, index1);
    Move(index1 + 1, index2);
}

int TUniListBoxStrings::IndexOf(const std::wstring& s) const {
    if (UnicodeWindow() && !IsVirtual())
        return static_cast<int>(SendMessageW(FListBox->GetHandle(), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(s.c_str())));
    if (KeepsWideTexts() || IsVirtual()) return inherited::IndexOf(s);
    return AnsiItems()->IndexOf(ToWindowAnsi(s));
}

void TUniListBoxStrings::SetUpdateState(bool updating) {
    if (updating)
        AnsiItems()->BeginUpdate();
    else
        AnsiItems()->EndUpdate();
}

void TUniListBoxStrings::SaveWindowTexts() {
    FKeptTexts.clear();
    if (!UnicodeWindow() || IsVirtual()) return;
    int count = GetCount();
    std::vector<std::wstring> texts;
    texts.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) texts.push_back(Get(i));
    FKeptTexts.swap(texts);
}

std::vector<std::wstring> TUniListBoxStrings::TakeWindowTexts() {
    std::vector<std::wstring> texts;
    if (UnicodeWindow() && !IsVirtual() && !FKeptTexts.empty()) {
        // The window holds the 8-bit items now; a kept text stands for the
        // item only while its 8-bit form is what the item holds.
        int count = GetCount();
        texts.resize(static_cast<size_t>(std::max(count, 0)));
        for (int i = 0; i < count; ++i) {
            std::string ansi = AnsiItems()->Get(i);
            std::wstring kept = static_cast<size_t>(i) < FKeptTexts.size() ? FKeptTexts[static_cast<size_t>(i)]
                                                                            : FromAnsi(ansi);
            texts[static_cast<size_t>(i)] = GetSyncedWideString(kept, ansi);
        }
    }
    FKeptTexts.clear();
    return texts;
}

} // namespace qelvo
