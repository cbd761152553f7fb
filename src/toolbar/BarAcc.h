// Accessibility: IAccessible objects that describe views (a menu bar, a
// toolbar, a popup menu) and their viewers to screen readers, made on the
// first WM_GETOBJECT; the system's accessibility events. Part of the
// BarItem unit (include toolbar/BarItem.h).
#pragma once

#include "gcl/rtl/WinApi.h"

#include <oleacc.h>

#include <string>

#include "gcl/ComObj.h"
#include "gcl/rtl/Init.h"

namespace qelvo {

class TBarView;
class TBarItemViewer;

// Binds oleacc.dll once; true when LresultFromObject and
// AccessibleObjectFromWindow both exist. Views make accessible objects
// only when it is true.
bool BindAccessibilityLibrary();
// NotifyWinEvent where the system has it; nothing otherwise.
void CallNotifyWinEvent(DWORD Event, HWND Wnd, LONG ObjectId, LONG ChildId);
// The system's standard object of a window (OBJID_WINDOW); true on success.
bool WindowAccObject(HWND Wnd, IDispatch** Disp);
// The name of the Alt key ("Alt" when the system names none).
std::wstring AltKeyName();
// Cuts every live accessible object off from its clients.
void DisconnectAllAccObjects() noexcept;

// An accessible object of the framework: a member of the process-wide list
// of live objects. DetachClient cuts it off from its view or viewer, after
// which every method answers E_FAIL.
class TBarCustomAccObject : public gcl::TComObject<IAccessible> {
    GCL_CLASS(TBarCustomAccObject, gcl::TComObject<IAccessible>)
public:
    virtual void DetachClient() = 0;

    // IDispatch: not supported.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;

    // Answered alike by both kinds.
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT varChild, BSTR* pszDescription) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT varChild, BSTR* pszHelp) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* pszHelpFile, VARIANT varChild, long* pidTopic) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* pvarChildren) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT varChild, BSTR szName) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT varChild, BSTR szValue) override;

protected:
    TBarCustomAccObject();
    ~TBarCustomAccObject() override;
    void* QueryExtra(REFIID iid) override;

private:
    friend void DisconnectAllAccObjects() noexcept;
    TBarCustomAccObject* FPrev = nullptr;
    TBarCustomAccObject* FNext = nullptr;
};

class TBarViewAccObject : public TBarCustomAccObject {
    GCL_CLASS(TBarViewAccObject, TBarCustomAccObject)
public:
    void DetachClient() override { FView = nullptr; }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** ppdispParent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* pcountChildren) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT varChild, IDispatch** ppdispChild) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT varChild, BSTR* pszName) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT varChild, BSTR* pszValue) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT varChild, VARIANT* pvarRole) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT varChild, VARIANT* pvarState) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* pvarChild) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flagsSelect, VARIANT varChild) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                                          VARIANT varChild) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long navDir, VARIANT varStart, VARIANT* pvarEndUpAt) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long xLeft, long yTop, VARIANT* pvarChild) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT varChild) override;

protected:
    explicit TBarViewAccObject(TBarView* AView) : FView(AView) {}
    ~TBarViewAccObject() override;

private:
    TBarView* FView;
};

class TBarItemViewerAccObject : public TBarCustomAccObject {
    GCL_CLASS(TBarItemViewerAccObject, TBarCustomAccObject)
public:
    void DetachClient() override { FViewer = nullptr; }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** ppdispParent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* pcountChildren) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT varChild, IDispatch** ppdispChild) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT varChild, BSTR* pszName) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT varChild, BSTR* pszValue) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT varChild, VARIANT* pvarRole) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT varChild, VARIANT* pvarState) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* pvarChild) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flagsSelect, VARIANT varChild) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                                          VARIANT varChild) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long navDir, VARIANT varStart, VARIANT* pvarEndUpAt) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long xLeft, long yTop, VARIANT* pvarChild) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT varChild) override;

protected:
    explicit TBarItemViewerAccObject(TBarItemViewer* AViewer) : FViewer(AViewer) {}
    ~TBarItemViewerAccObject() override;

private:
    TBarItemViewer* FViewer;
};

// Makes the live-object list's lock; its finalisation cuts every live
// object off from its clients.
extern gcl::TUnit BarAccUnit;

} // namespace qelvo
