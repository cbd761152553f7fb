// The Unicode check list box: the class library's check list box with a
// Unicode "LISTBOX" window and wide items.
//
// Items is a TUniListBoxStrings. The class library saves the 8-bit items
// and their states when the window goes and puts them back into the next
// one; the wide texts kept meanwhile then replace the 8-bit ones, and
// every item keeps its check state, enabled flag, header flag, data and
// selection. The virtual styles take their texts from the wide OnData
// (else from the 8-bit OnData of the class library, converted).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gcl/CheckLst.h"
#include "gcl/rtl/Init.h"
#include "unicode/UniStdCtrls.h"

namespace qelvo {

using TUniLBGetDataEvent = gcl::TEvent<void(gcl::TWinControl* Control, int Index, std::wstring& Data)>;

class TUniCheckListBox : public gcl::TCheckListBox, public IWideCustomListControl {
    GCL_CLASS(TUniCheckListBox, gcl::TCheckListBox)
public:
    GCL_IUNKNOWN
    // Answers IWideCustomListControl.
    bool GetInterface(const gcl::TGUID& iid, void** out) override;

    // The wide items (the class library's 8-bit Items stays reachable
    // through gcl::TCustomListBox).
    TUniListBoxStrings* GetItems() const noexcept { return FItems.get(); }
    void SetItems(TWideStrings* value) { FItems->Assign(value); }

    // The wide hint (the published "Hint").
    std::wstring GetHint();
    void SetHint(const std::wstring& value);
    using gcl::TControl::SetHint;

    // Adds to the wide items: the 8-bit text converted, or the wide one.
    void AddItem(const std::string& item, gcl::TObject* object) override;
    void GCL_STDCALL AddItem(const std::wstring& item, gcl::TObject* object) override;
    // Adds the selected items with their objects to Destination: wide
    // texts when it offers IWideCustomListControl, else 8-bit ones.
    void CopySelection(gcl::TCustomListControl* destination) override;

    void Dispatch(gcl::TMessage& message) override;

    // The texts of the virtual styles. Unassigned, the class library's
    // 8-bit OnData is asked; with neither, LB_GETTEXT and LB_GETTEXTLEN
    // answer LB_ERR.
    TUniLBGetDataEvent OnData;

protected:
    explicit TUniCheckListBox(gcl::TComponent* owner);
    ~TUniCheckListBox() override;

    void CreateWindowHandle(const gcl::TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void DefineProperties(gcl::TFiler& filer) override;
    // A wide action gives its wide caption and hint.
    void ActionChange(gcl::TObject* sender, bool checkDefaults) override;
    gcl::TBasicActionLinkClass GetActionLinkClass() const override;
    // Without OnDrawItem: the background, then the wide text.
    void DrawItemText(int index, gcl::TRect rect, gcl::TOwnerDrawState state) override;
    // The wide data, converted (for the class library's 8-bit reads).
    std::string DoGetData(int index) override;
    // The text of item Index of a virtual list.
    virtual std::wstring DoGetWideData(int index);
    bool HasData() const noexcept;

private:
    // LB_GETTEXT / LB_GETTEXTLEN of the virtual styles: wide characters
    // for a Unicode window, 8-bit bytes otherwise.
    void LBGetText(gcl::TMessage& message, bool lengthOnly);
    // Puts the wide texts in place of the 8-bit ones the new window got,
    // keeping every item's state, data and selection.
    void RestoreWideTexts(const std::vector<std::wstring>& texts);
    std::wstring VirtualText(int index) { return DoGetWideData(index); }
    bool IsHintStored();
    TWideStrings* GetItemsProp() const noexcept { return FItems.get(); }
    void SetItemsProp(TWideStrings* value) { SetItems(value); }

    std::unique_ptr<TUniListBoxStrings> FItems;
};

// Registers TUniCheckListBox for streaming.
extern gcl::TUnit UniCheckLstUnit;

} // namespace qelvo
