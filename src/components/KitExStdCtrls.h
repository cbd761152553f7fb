// The extended memo base: clipboard commands gated at the message level,
// the hint colour, the optional highlight border and overridable steps
// for erasing, resizing, focus and dialog codes. The rich-edit control
// builds on it.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <string>

#include "gcl/Forms.h"
#include "gcl/StdCtrls.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/Sets.h"

namespace qelvo {

GCL_ENUM(TClipboardCommand, caCopy, caCut, caPaste, caClear, caUndo)
using TClipboardCommands = gcl::TSet<TClipboardCommand>;
inline constexpr TClipboardCommands AllClipboardCommands{caCopy, caCut, caPaste, caClear, caUndo};

// The highlight border colours (0xBBGGRR).
inline constexpr gcl::TColor DotNetNormalColor = 0x808080;
inline constexpr gcl::TColor DotNetHotColor = 0x733800;

// The message that asks a control whether it implements an interface
// (LParam: the interface identifier); 1 when it does.
inline constexpr uint32_t CM_QUERYKITINTERFACE = gcl::CM_BASE + 2000;

class TKitExCustomMemo : public gcl::TCustomMemo {
    GCL_CLASS(TKitExCustomMemo, gcl::TCustomMemo)
public:
    gcl::TColor GetHintColor() const noexcept { return FHintColor; }
    void SetHintColor(gcl::TColor value) noexcept { FHintColor = value; }
    TClipboardCommands GetClipboardCommands() const noexcept { return FClipboardCommands; }
    virtual void SetClipboardCommands(TClipboardCommands value) { FClipboardCommands = value; }
    bool GetDotNetHighlighting() const noexcept { return FDotNetHighlighting; }
    void SetDotNetHighlighting(bool value);
    // Design-time information only.
    const std::string& GetAboutKitLib() const noexcept { return FAboutKitLib; }
    void SetAboutKitLib(const std::string&) noexcept {}
    bool GetMouseOver() const noexcept { return FMouseOver; }
    // The text's length counted as the selection counts it (the edit
    // menu's Select All compares the two); the text length by default.
    virtual int SelectableTextLength() { return GetTextLen(); }

    gcl::TNotifyEvent OnParentColorChange;

    void WndProc(gcl::TMessage& message) override;

protected:
    explicit TKitExCustomMemo(gcl::TComponent* owner);

    // The overridable steps; each default hands the message back to the
    // inherited handling.
    virtual bool DoEraseBackground(gcl::TCanvas* canvas, intptr_t param);
    virtual void BoundsChanged();
    virtual void FocusSet(HWND previous);
    virtual void FocusKilled(HWND next);
    // dialogCodes holds the DLGC_ bits; answer true to keep the default.
    virtual bool DoGetDlgCode(uint32_t& dialogCodes);
    virtual void MouseEnter(gcl::TControl* control);
    virtual void MouseLeave(gcl::TControl* control);
    virtual void ParentColorChanged();
    // The component notifications; each default hands the notification on.
    virtual void DoVisibleChanged();
    virtual void DoEnabledChanged();
    virtual void DoColorChanged();
    virtual void DoFontChanged();
    virtual void DoCursorChanged();
    virtual void DoParentFontChanged();
    virtual void DoTextChanged();
    virtual void DoFocusChanged(gcl::TWinControl* control);
    virtual void DoShowingChanged();
    virtual void DoShowHintChanged();
    virtual void DoParentShowHintChanged();
    // Answer the notification's result.
    virtual bool DoWantKey(uint16_t key, gcl::TShiftState shift, const std::string& text);
    virtual bool DoHitTest(int x, int y);
    // A child control is about to be inserted or removed, and has been.
    virtual void DoControlsListChanging(gcl::TControl* control, bool inserting);
    virtual void DoControlsListChanged(gcl::TControl* control, bool inserting);
    // Whether the control implements the interface (for CM_QUERYKITINTERFACE).
    virtual bool ImplementsInterface(const gcl::TGUID& iid);
    // The colour of a hint about to show.
    void ApplyHintColor(gcl::THintInfo& info);
    // Paints the highlight border when DotNetHighlighting is on.
    void PaintDotNetFrame();

private:
    // The message the step is handling, for its default.
    gcl::TMessage* FCurrent = nullptr;
    void Inherited(gcl::TMessage& message) { inherited::WndProc(message); }
    void InheritedCurrent() {
        if (FCurrent) Inherited(*FCurrent);
    }
    // Runs a notification's overridable step, when message is one.
    bool Notification(gcl::TMessage& message);

    gcl::TColor FHintColor = gcl::clDefault;
    TClipboardCommands FClipboardCommands = AllClipboardCommands;
    bool FDotNetHighlighting = false;
    bool FMouseOver = false;
    std::string FAboutKitLib;
};

// The commands a control permits: its published "ClipboardCommands", else
// copy, cut, paste and undo.
TClipboardCommands PermittedClipboardCommands(gcl::TControl* control);

extern gcl::TUnit KitExStdCtrlsUnit;

} // namespace qelvo
