// The edit item: a text box inside a toolbar or menu. It shows its Text in
// a sunken field (after its EditCaption in menus); clicking it or choosing
// it from the keyboard places a real edit control over the field, run by a
// local message loop until the user accepts (Enter, Tab), cancels (Escape)
// or moves away.
#pragma once

#include "gcl/rtl/Init.h"

#include "gcl/StdCtrls.h"
#include "toolbar/BarItem.h"

namespace qelvo {

class TBarEditItemViewer;

GCL_ENUM(TBarEditItemOption, tboUseEditWhenVertical)
using TBarEditItemOptions = gcl::TSet<TBarEditItemOption>;
// Where a new Text came from.
enum TBarEditTextSource : uint8_t { tbetsTextProperty = 0, tbetsActionLink = 1, tbetsEditControl = 2 };

using TBarAcceptTextEvent = gcl::TEvent<void(gcl::TObject* Sender, std::string& NewText, bool& Accept)>;
using TBarBeginEditEvent =
    gcl::TEvent<void(class TBarEditItem* Sender, TBarEditItemViewer* Viewer, gcl::TEdit* EditControl)>;

class TBarEditItem : public TBarCustomItem {
    GCL_CLASS(TBarEditItem, TBarCustomItem)
public:
    gcl::TEditCharCase GetCharCase() const noexcept { return FCharCase; }
    void SetCharCase(gcl::TEditCharCase Value);
    const std::string& GetEditCaption() const noexcept { return FEditCaption; }
    void SetEditCaption(const std::string& Value);
    TBarEditItemOptions GetEditOptions() const noexcept { return FEditOptions; }
    void SetEditOptions(TBarEditItemOptions Value);
    int GetEditWidth() const noexcept { return FEditWidth; }
    void SetEditWidth(int Value);
    bool GetExtendedAccept() const noexcept { return FExtendedAccept; }
    void SetExtendedAccept(bool Value) noexcept { FExtendedAccept = Value; }
    int GetMaxLength() const noexcept { return FMaxLength; }
    void SetMaxLength(int Value);
    const std::string& GetText() const noexcept { return FText; }
    void SetText(const std::string& Value) { SetTextEx(Value, tbetsTextProperty); }
    void SetTextEx(const std::string& Value, TBarEditTextSource Source);

    TBarAcceptTextEvent OnAcceptText;
    TBarBeginEditEvent OnBeginEdit;

    virtual bool DoAcceptText(std::string& NewText);
    virtual void DoBeginEdit(TBarEditItemViewer* Viewer);
    virtual void DoTextChanging(const std::string& OldText, std::string& NewText, TBarEditTextSource Source);
    virtual void DoTextChanged(TBarEditTextSource Source);
    TBarItemViewerClass GetItemViewerClass(TBarView* View) override;
    bool NeedToRecreateViewer(TBarItemViewer* Viewer) override;

protected:
    explicit TBarEditItem(gcl::TComponent* AOwner);

private:
    gcl::TEditCharCase FCharCase = gcl::ecNormal;
    std::string FEditCaption;
    TBarEditItemOptions FEditOptions;
    int FEditWidth = 64;
    bool FExtendedAccept = false;
    int FMaxLength = 0;
    std::string FText;
};

// EditState bits: 1 editing, 2 move to the next item, 4 leave the menu.
inline constexpr uint8_t tbesEditing = 1;
inline constexpr uint8_t tbesMoveOn = 2;
inline constexpr uint8_t tbesLeave = 4;

class TBarEditItemViewer : public TBarItemViewer {
    GCL_CLASS(TBarEditItemViewer, TBarItemViewer)
public:
    using TBarItemViewer::TBarItemViewer;
    gcl::TEdit* GetEditControl() const noexcept { return FEditControl; }
    uint8_t GetEditState() const noexcept { return FEditState; }
    TBarEditItem* EditItem() const noexcept { return static_cast<TBarEditItem*>(FItem); }

    virtual gcl::TMetaClass const* GetEditControlClass() { return gcl::TEdit::StaticClass(); }
    // Sees each message of the in-place editor first; true consumes it.
    virtual bool HandleEditMessage(gcl::TMessage&) { return false; }
    virtual void GetEditRect(gcl::TRect& R);

    void CalcSize(gcl::TCanvas* Canvas, int& AWidth, int& AHeight) override;
    bool CaptionShown() override;
    std::string GetCaptionText() override;
    void GetCursor(gcl::TPoint Pt, HCURSOR& ACursor) override;
    void MouseDown(gcl::TShiftState Shift, int X, int Y, bool& MouseDownOnMenu) override;
    void MouseUp(int X, int Y, bool MouseWasDownOnMenu) override;
    bool DoExecute() override;
    bool UsesSameWidth() override { return false; }
    int GetAccRole() override { return 42; }   // editable text
    bool GetAccValue(std::wstring& Value) override;
    void Paint(gcl::TCanvas* Canvas, gcl::TRect ClientAreaRect, bool IsSelected, bool IsPushed,
               bool UseDisabledShadow) override;

private:
    bool EditLoop(HWND CaptureWnd);
    void EditWndProc(gcl::TMessage& Message);
    // Takes the viewer's procedure out of the control's chain and frees it.
    void FreeEditControl(gcl::TEdit* Control);
    void Accept();
    int CaptionWidth();

    gcl::TEdit* FEditControl = nullptr;
    gcl::TWndMethod FOldWndProc;
    uint8_t FEditState = 0;
    // A hook made in front of the viewer's procedure stays in the chain
    // while the control goes: the viewer's procedure then passes every
    // message on.
    bool FPassingOn = false;
};

// Registers the edit item for streaming.
extern gcl::TUnit BarEditItemUnit;

} // namespace qelvo
