// Wide routines for the standard edit and list box of the class library.
//
// The edit routines are what Unicode edits call from their SelStart,
// SelLength, SelText and PasswordChar accessors. The class library's own
// selection counts positions of the window's text: characters of a
// Unicode window on NT, bytes of the 8-bit text on 9x; the routines here
// always count wide characters.
//
// TUniListBoxStrings is the wide item list of a Unicode list box: it
// reads and writes a Unicode window directly and goes through the list
// box's 8-bit Items otherwise. While the list box has no window (on NT)
// it keeps the wide texts beside the 8-bit items, so texts without an
// 8-bit form survive until the next window takes them.
#pragma once

#include <string>
#include <vector>

#include "gcl/StdCtrls.h"
#include "gcl/rtl/Events.h"
#include "gcl/rtl/Interfaces.h"
#include "unicode/UniClasses.h"

namespace qelvo {

// 8-bit text as the windows take it: on NT the system converts it with
// the process's code page; on 9x the windows hold the bytes, which the
// layer reads in its own code page (DefaultSystemCodePage).
std::string WideToWindowAnsi(const std::wstring& s);
std::wstring WindowAnsiToWide(const std::string& s);

// ---- Edits ------------------------------------------------------------------------

// The control's window from the system's "EDIT" class (see
// CreateWideWindowHandle). On 9x with a far-east system locale a
// read-only edit is made writable and set read-only afterwards.
void CreateWideEditWindow(gcl::TWinControl* control, const gcl::TCreateParams& params);

// The selection in wide characters. On 9x the edit's byte positions are
// converted through the 8-bit text (the layer's code page).
int WideEditGetSelStart(gcl::TCustomEdit* edit);
void WideEditSetSelStart(gcl::TCustomEdit* edit, int value);
int WideEditGetSelLength(gcl::TCustomEdit* edit);
void WideEditSetSelLength(gcl::TCustomEdit* edit, int value);
std::wstring WideEditGetSelText(gcl::TCustomEdit* edit);

// The 8-bit password character that stands for a wide one: the character
// itself below 256, "*" from 256 on.
char WidePasswordCharToAnsi(wchar_t value) noexcept;
// The wide password character, kept by the edit in WidePasswordChar. When
// 8-bit code changed the edit's PasswordChar meanwhile, that one wins.
wchar_t WideEditGetPasswordChar(gcl::TCustomEdit* edit, wchar_t& widePasswordChar);
// Keeps Value and gives the edit its 8-bit mapping; the window gets the
// wide character on NT, the 8-bit one on 9x.
void WideEditSetPasswordChar(gcl::TCustomEdit* edit, wchar_t& widePasswordChar, wchar_t value);
// For the edit's CreateWnd: gives a new NT window the wide character.
void ApplyWidePasswordChar(gcl::TCustomEdit* edit, wchar_t& widePasswordChar);

// ---- List controls --------------------------------------------------------------

// Offered by list controls that take wide items: CopySelection hands them
// the wide texts.
struct IWideCustomListControl : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{C1801F41-51E9-4DB5-8DB8-58AC86698C2E}");
    virtual void GCL_STDCALL AddItem(const std::wstring& item, gcl::TObject* object) = 0;

protected:
    ~IWideCustomListControl() = default;
};

// The text of item Index of a virtual list box.
using TUniListBoxTextEvent = gcl::TEvent<std::wstring(int index)>;

class TUniListBoxStrings : public TUniStrings {
    GCL_CLASS(TUniListBoxStrings, TUniStrings)
public:
    explicit TUniListBoxStrings(gcl::TCustomListBox* listBox) : FListBox(listBox) {}

    gcl::TCustomListBox* GetListBox() const noexcept { return FListBox; }

    // A Unicode window is read with LB_GETTEXTLEN / LB_GETTEXT (a bad
    // index raises "List index out of bounds (%d)").
    std::wstring Get(int index) const override;
    int GetCount() const override;
    gcl::TObject* GetObject(int index) const override;
    void PutObject(int index, gcl::TObject* object) override;
    // LB_ADDSTRING / LB_INSERTSTRING into a Unicode window; a refusal
    // raises EOutOfResources "Unable to insert a line". Virtual lists
    // take no items (Add gives -1).
    int Add(const std::wstring& s) override;
    void Insert(int index, const std::wstring& s) override;
    void Clear() override;
    void Delete(int index) override;
    // Replaces the text; the item keeps its data and check state, and the
    // current item stays.
    void Put(int index, const std::wstring& s) override;
    // Both swap the items with their data and state; the current item
    // follows its item.
    void Exchange(int index1, int index2) override;
    void Move(int curIndex, int newIndex) override;
    // LB_FINDSTRINGEXACT (case ignored) in a Unicode window.
    int IndexOf(const std::wstring& s) const override;

    // Called before the list box's window goes: keeps the window's wide
    // texts for the time without a window.
    void SaveWindowTexts();
    // Called after a new window got the 8-bit items back: the wide texts
    // kept for them (empty when none were kept); the list lets go of them.
    std::vector<std::wstring> TakeWindowTexts();

    // The texts of a virtual list box without a window; the list box's
    // 8-bit data (converted) when unassigned.
    TUniListBoxTextEvent OnGetVirtualText;

protected:
    // Goes to the 8-bit Items.
    void SetUpdateState(bool updating) override;

private:
    gcl::TStrings* AnsiItems() const;
    bool IsVirtual() const noexcept;
    // NT and a window that is Unicode.
    bool UnicodeWindow() const;
    // NT, no window: the wide texts are kept beside the 8-bit items.
    bool KeepsWideTexts() const;
    // Brings the kept texts to the item count (new ones from the 8-bit
    // texts), or drops them while there is a window.
    void SyncKeptTexts() const;

    gcl::TCustomListBox* FListBox;
    mutable std::vector<std::wstring> FKeptTexts;
};

} // namespace qelvo
