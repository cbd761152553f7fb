// The application's wide hint and title, the wide message pump and the
// Unicode hint window.
//
// On the NT family the unit hooks WH_GETMESSAGE for the GUI thread: a
// WM_CHAR above 255 for a Unicode window is dispatched in wide form there
// (and turned into WM_NULL for the class library's 8-bit loop, which would
// turn the character into "?").
//
// Status bars and the like learn the application's hint from the hint
// action the class library executes when the hint changes. The 8-bit hint
// cannot tell two wide hints with the same 8-bit form apart, so:
// - the first message pumped while there is a main form puts a
//   TUniAppIdleEventControl on it, whose action's idle update takes the
//   wide hint under the mouse whenever its 8-bit form is the application's
//   hint (a new wide hint makes the 8-bit hint change, through "");
// - a hint action (exactly THintAction) reaching the application window
//   with the 8-bit form of the wide hint is replaced by a TUniHintAction
//   carrying the wide hint, which is executed in its place.
#pragma once

#include <string>

#include "gcl/Forms.h"
#include "gcl/rtl/Init.h"

namespace qelvo {

class TUniApplication : public gcl::TComponent {
    GCL_CLASS(TUniApplication, gcl::TComponent)
public:
    // The long part of the wide hint of the control chain under the mouse
    // when it matches Application's 8-bit hint, else the kept wide hint
    // synchronised with the 8-bit one.
    std::wstring GetHint();
    void SetHint(const std::wstring& value);
    // The idle pass's part: the kept wide hint takes the wide hint under
    // the mouse when its 8-bit form is Application's hint. With no hint on
    // either side nothing can change, and the cursor is not asked for.
    void FollowHintUnderMouse();
    // The application window's wide text (NT), else the kept title
    // synchronised with Application's 8-bit title.
    std::wstring GetTitle();
    void SetTitle(const std::wstring& value);

    // The pump's decision for a message taken from the queue: true when
    // it was handled here (the caller turns it into WM_NULL).
    bool ProcessMessage(MSG& msg);

    // The control whose hint shows (kept until it is freed).
    gcl::TControl* GetHintControl() const noexcept { return FHintControl; }
    void SetHintControl(gcl::TControl* value);

protected:
    explicit TUniApplication(gcl::TComponent* owner);
    ~TUniApplication() override;
    void Notification(gcl::TComponent* component, gcl::TOperation operation) override;

private:
    bool MainWindowHook(gcl::TMessage& message);

    bool ExecuteWideHintAction(gcl::TMessage& message);
    void PlaceIdleControl();

    std::wstring FHint;
    std::wstring FTitle;
    gcl::TControl* FHintControl = nullptr;
    bool FHooked = false;
    gcl::TComponentRef<gcl::TControl> FIdleControl;
};

// The one instance while UniFormsUnit is initialised.
extern TUniApplication* UniApplication;

// An invisible control (no size, nothing drawn) on the main form. Its
// action's idle update takes the wide hint of the control chain under the
// mouse into UniApplication whenever the 8-bit form of that hint is the
// application's hint.
class TUniAppIdleEventControl : public gcl::TControl {
    GCL_CLASS(TUniAppIdleEventControl, gcl::TControl)
public:
    void AfterConstruction() override;

protected:
    explicit TUniAppIdleEventControl(gcl::TComponent* owner) : gcl::TControl(owner) {}

private:
    void AppIdle(gcl::TObject* sender);
};

// A hint window whose window is Unicode and whose text is the wide hint of
// the control it shows for; it measures and paints the text the same way
// (word break within the width it is given).
class TUniCustomHintWindow : public gcl::THintWindow {
    GCL_CLASS(TUniCustomHintWindow, gcl::THintWindow)
public:
    gcl::TRect CalcHintRect(int maxWidth, const std::string& hint, void* data) override;
    // The wide form of an 8-bit hint: the hint control's long wide hint
    // when its 8-bit form matches; that hint followed by " (" +
    // WideShortCutToText + ")" when the 8-bit hint is the one the class
    // library made of it with the shortcut of the control's action (the
    // application shows shortcuts in hints); else the 8-bit hint converted.
    std::wstring WideHintFor(const std::string& hint);

protected:
    explicit TUniCustomHintWindow(gcl::TComponent* owner) : gcl::THintWindow(owner) {}
    void CreateWindowHandle(const gcl::TCreateParams& params) override;
    void Paint() override;

private:
    UINT TextFlags() const;
};

// Creates UniApplication, installs the wide hint window for CM_HINTSHOW
// and, on NT, the message hook; removes them at exit.
extern gcl::TUnit UniFormsUnit;

} // namespace qelvo
