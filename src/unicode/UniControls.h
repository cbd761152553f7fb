// Wide captions and hints of controls whose own Caption, Text and Hint
// are 8-bit. A control that has a Unicode window keeps its wide text in
// the window; any other control that was given a wide value has a
// companion (TWideControlHelper) that keeps the wide caption and hint
// beside the 8-bit ones and refreshes them when 8-bit code changed the
// 8-bit side meanwhile.
#pragma once

#include <string>

#include "gcl/Controls.h"
#include "gcl/rtl/Init.h"
#include "unicode/UniClasses.h"

namespace qelvo {

// The companion of one control; it frees itself when the control goes.
class TWideControlHelper : public TWideComponentHelper {
    GCL_CLASS(TWideControlHelper, TWideComponentHelper)
public:
    gcl::TControl* GetControl() const noexcept { return static_cast<gcl::TControl*>(GetComponent()); }
    std::wstring& WideCaption() noexcept { return FWideCaption; }
    std::wstring& WideHint() noexcept { return FWideHint; }

protected:
    TWideControlHelper(gcl::TControl* control, TWideComponentHelperList* list)
        : TWideComponentHelper(control, list) {}

private:
    std::wstring FWideCaption;
    std::wstring FWideHint;
};

// The companion of Control, or null.
TWideControlHelper* FindWideControlHelper(const gcl::TControl* control);

// The wide text (caption) of a control: the window's own text for a
// Unicode window; the 8-bit text converted on 9x or for a window that is
// not Unicode; otherwise the companion's caption, refreshed when the 8-bit
// text changed (the 8-bit text converted when there is no companion).
std::wstring WideControlGetText(gcl::TControl* control);
// Sets the wide text: into a Unicode window (then CM_TEXTCHANGED), else
// the 8-bit text, with the wide value kept by the companion where the
// window cannot hold it.
void WideControlSetText(gcl::TControl* control, const std::wstring& value);
// On NT the companion's hint, refreshed when the 8-bit hint changed;
// otherwise the 8-bit hint converted.
std::wstring WideControlGetHint(gcl::TControl* control);
// On NT the companion keeps the wide hint; the 8-bit hint is stored
// directly (no notification) in both families.
void WideControlSetHint(gcl::TControl* control, const std::wstring& value);
// Whether the wide caption and hint are streamed: true unless the
// control's action link supplies them.
bool IsWideCaptionStored(gcl::TControl* control);
bool IsWideHintStored(gcl::TControl* control);
// The first non-empty wide hint from Control up through its parents.
std::wstring WideGetHintOfControlChain(gcl::TControl* control);
// The part before the first "|" / after it (the whole hint without one).
std::wstring WideGetShortHint(const std::wstring& hint);
std::wstring WideGetLongHint(const std::wstring& hint);

// ---- Unicode windows ---------------------------------------------------------
//
// On the NT family a Unicode control's window comes from a wide window
// class (the 8-bit class name + ".UnicodeClass") and is subclassed by a
// trap: the trap's window procedure sits in GWLP_WNDPROC in front of the
// class library's own procedure, and the trap's default procedure sits in
// the control's DefWndProc in front of the window class's wide procedure.
// Messages from the window keep their wide text; WM_SETTEXT, WM_GETTEXT
// and WM_GETTEXTLENGTH the class library sends to itself are forwarded
// with SendMessageA so that the system converts them; a WM_CHAR above 255
// passes the 8-bit key handling as character 255 (the real character in
// the upper word) and reaches the window whole.

// The registered message "UniControls.DestroyWindow": a trap lets go of
// its window after the control has handled it.
UINT UniDestroyWindowMessage() noexcept;

class TWinControlTrap : public gcl::TComponent {
    GCL_CLASS(TWinControlTrap, gcl::TComponent)
public:
    gcl::TWinControl* GetControl() const noexcept { return FControl; }
    // The subclassed window, or null while the trap waits for one.
    HWND GetHandle() const noexcept { return FHandle; }
    // Subclasses the control's window (the trap leaves the pending list).
    void SubClassControl(HWND handle, bool ideWindow);
    // Restores the window, the control's default procedure and its
    // WindowProc; keeps the wide text in the control's companion unless
    // the control is being destroyed.
    void UnSubClassUnicodeControl();
    // The trap of a subclassed window, or null.
    static TWinControlTrap* FindByWindow(HWND handle) noexcept;
    // The trap of a control (subclassing or pending), or null.
    static TWinControlTrap* FindByControl(const gcl::TWinControl* control) noexcept;

protected:
    TWinControlTrap(gcl::TWinControl* control);
    ~TWinControlTrap() override;
    void Notification(gcl::TComponent* component, gcl::TOperation operation) override;

private:
    friend LRESULT CALLBACK InitWndProcW(HWND, UINT, WPARAM, LPARAM);
    friend TWinControlTrap* TakeTrap(gcl::TWinControl* control);
    friend void CreateWideWindowHandle(gcl::TWinControl*, const gcl::TCreateParams&, const wchar_t*, bool);
    static LRESULT CALLBACK TrapWindowProc(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK TrapDefWindowProc(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT WindowProcedure(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefWindowProcedure(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam);
    void FilterMessage(gcl::TMessage& message);
    bool IsFilterInChain();
    void ControlGone() noexcept;

    gcl::TWinControl* FControl;
    HWND FHandle = nullptr;
    WNDPROC FWinProc = nullptr;          // the window's procedure before subclassing
    WNDPROC FPrevDefWndProc = nullptr;   // the control's default procedure before
    WNDPROC FAnsiDefWndProc = nullptr;   // its 8-bit form, for a window that lives on
    gcl::TWndMethod FPrevWindowProc;     // the control's WindowProc before
    int FNestCount = 0;
    UINT FLastMsg = 0;                   // last message through the window
    bool FIDEWindow = false;
    bool FProbing = false;
    bool FProbeFound = false;
    bool FDestroyTrap = false;           // free after the outermost call
};

// Takes the control's trap out of the pending list, or makes a new one.
TWinControlTrap* TakeTrap(gcl::TWinControl* control);

// Creates the control's window: the class library's 8-bit way on 9x; on
// NT from the wide class, subclassed by the control's trap, holding the
// control's wide caption (its companion's, else Params' Caption). SubClass
// names the system class whose procedure becomes the default procedure
// (L"EDIT", L"LISTBOX", ...; null for DefWindowProcW). With IDEWindow the
// class library's InitWndProc is the class's initial procedure.
void CreateWideWindowHandle(gcl::TWinControl* control, const gcl::TCreateParams& params, const wchar_t* subClass,
                            bool ideWindow = false);
// For common controls: CreateWideWindowHandle, then on NT
// CCM_SETUNICODEFORMAT with 1.
void CreateUnicodeHandle_ComCtl(gcl::TWinControl* control, const gcl::TCreateParams& params,
                                const wchar_t* subClass);
// Subclasses the control's (Unicode) window and gives it its wide text.
void SubClassUnicodeControl(gcl::TWinControl* control, const char* caption, bool ideWindow = false);
// The initial procedure of the wide window classes.
LRESULT CALLBACK InitWndProcW(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam);

// WM_CHAR through the 8-bit path: a character above 255 moves into the
// upper word and the character becomes 255; the restore undoes that.
void MakeWMCharMsgSafeForAnsi(gcl::TMessage& message) noexcept;
void RestoreWMCharMsg(gcl::TMessage& message) noexcept;

// Called by the trap on CM_HINTSHOW before the class library sees it (the
// forms unit installs the wide hint window this way).
using TUniHintShowProc = void (*)(gcl::TControl* control, gcl::TMessage& message);
extern TUniHintShowProc UniHintShowProc;

// The list of control companions (made on first use) and the trap lists;
// the two window atoms of the class library are held while it is
// initialised. Finalising frees the companions still alive; traps then
// ignore all but the end of their windows.
extern gcl::TUnit UniControlsUnit;

} // namespace qelvo
