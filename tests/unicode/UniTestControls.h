// Unicode edit and list box built the way the themed controls build them,
// for the tests of the Unicode layer; and reading a list box item back.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <memory>
#include <string>

#include "gcl/StdCtrls.h"
#include "unicode/UniControls.h"
#include "unicode/UniStdCtrls.h"

namespace qelvo::test {

class TUniTestEdit : public gcl::TEdit {
    GCL_CLASS(TUniTestEdit, gcl::TEdit)
public:
    wchar_t WidePasswordChar = 0;

protected:
    explicit TUniTestEdit(gcl::TComponent* owner) : gcl::TEdit(owner) {}
    void CreateWindowHandle(const gcl::TCreateParams& params) override { CreateWideEditWindow(this, params); }
    void CreateWnd() override {
        inherited::CreateWnd();
        ApplyWidePasswordChar(this, WidePasswordChar);
    }
};

class TUniTestListBox : public gcl::TListBox {
    GCL_CLASS(TUniTestListBox, gcl::TListBox)
public:
    TUniListBoxStrings* WideItems() { return FWideItems.get(); }

protected:
    explicit TUniTestListBox(gcl::TComponent* owner)
        : gcl::TListBox(owner), FWideItems(std::make_unique<TUniListBoxStrings>(this)) {}
    void CreateWindowHandle(const gcl::TCreateParams& params) override {
        CreateWideWindowHandle(this, params, L"LISTBOX");
    }

private:
    std::unique_ptr<TUniListBoxStrings> FWideItems;
};

// Item index of a list box window, read with the wide messages.
inline std::wstring WindowItem(HWND handle, int index) {
    LRESULT length = SendMessageW(handle, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return L"<error>";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT n = SendMessageW(handle, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(n));
    return text;
}

} // namespace qelvo::test
