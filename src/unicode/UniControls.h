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
// Whether the wide caption and hint are streamed: true unless an action
// link supplies them. The class library's controls have no action links
// yet, so both are always true for now.
bool IsWideCaptionStored(gcl::TControl* control);
bool IsWideHintStored(gcl::TControl* control);
// The first non-empty wide hint from Control up through its parents.
std::wstring WideGetHintOfControlChain(gcl::TControl* control);
// The part before the first "|" / after it (the whole hint without one).
std::wstring WideGetShortHint(const std::wstring& hint);
std::wstring WideGetLongHint(const std::wstring& hint);

// The list of control companions (made on first use); finalising the
// unit frees the companions still alive.
extern gcl::TUnit UniControlsUnit;

} // namespace qelvo
