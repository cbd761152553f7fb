// The rich-edit control's OLE callback: the COM object the system control
// asks which clipboard and drag operations it may do, where embedded
// objects keep their storage and what their context is. Included by
// KitRichEdit.h.
#pragma once

#include "gcl/rtl/WinApi.h"
#include <ole2.h>
#include <richole.h>

#include "gcl/ComObj.h"
#include "gcl/Menus.h"

__CRT_UUID_DECL(IRichEditOle, 0x00020D00, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46)
__CRT_UUID_DECL(IRichEditOleCallback, 0x00020D03, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46)

namespace qelvo {

class TKitCustomRichEdit;

namespace msg {
inline constexpr const char* ObjectProperties = "%s Properties";
inline constexpr const char* BreakLinkNotSupported = "Break link operation is not supported.";
inline constexpr const char* LinkProperties = "Link Properties";
} // namespace msg

using TRichEditOleCallbackBase = gcl::TComObject<IRichEditOleCallback>;

class TRichEditOleCallback : public TRichEditOleCallbackBase {
    GCL_CLASS(TRichEditOleCallback, TRichEditOleCallbackBase)
public:
    // The control lets go of the callback when it goes (Detach).
    explicit TRichEditOleCallback(TKitCustomRichEdit* owner) noexcept : FRichEdit(owner) {}
    void Detach() noexcept { FRichEdit = nullptr; }
    TKitCustomRichEdit* GetRichEdit() const noexcept { return FRichEdit; }

    // IRichEditOleCallback
    HRESULT STDMETHODCALLTYPE GetNewStorage(LPSTORAGE* storage) override;
    HRESULT STDMETHODCALLTYPE GetInPlaceContext(LPOLEINPLACEFRAME* frame, LPOLEINPLACEUIWINDOW* document,
                                                LPOLEINPLACEFRAMEINFO frameInfo) override;
    HRESULT STDMETHODCALLTYPE ShowContainerUI(BOOL show) override;
    HRESULT STDMETHODCALLTYPE QueryInsertObject(LPCLSID clsid, LPSTORAGE storage, LONG cp) override;
    HRESULT STDMETHODCALLTYPE DeleteObject(LPOLEOBJECT object) override;
    HRESULT STDMETHODCALLTYPE QueryAcceptData(LPDATAOBJECT dataObject, CLIPFORMAT* format, DWORD reco, BOOL really,
                                              HGLOBAL metaPict) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enterMode) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(CHARRANGE* range, DWORD reco, LPDATAOBJECT* dataObject) override;
    HRESULT STDMETHODCALLTYPE GetDragDropEffect(BOOL drag, DWORD keyState, LPDWORD effect) override;
    HRESULT STDMETHODCALLTYPE GetContextMenu(WORD selectionType, LPOLEOBJECT object, CHARRANGE* range,
                                             HMENU* menu) override;

private:
    TKitCustomRichEdit* FRichEdit;
};

// One item of an object's verb menu: performs its verb on the object.
class TObjectVerbItem : public gcl::TMenuItem {
    GCL_CLASS(TObjectVerbItem, gcl::TMenuItem)
public:
    void Click() override;
    LONG GetVerb() const noexcept { return FVerb; }
    void SetTarget(TKitCustomRichEdit* richEdit, LONG verb) noexcept {
        FRichEdit = richEdit;
        FVerb = verb;
    }

protected:
    explicit TObjectVerbItem(gcl::TComponent* owner) : TMenuItem(owner) {}

private:
    TKitCustomRichEdit* FRichEdit = nullptr;
    LONG FVerb = 0;
};

} // namespace qelvo
