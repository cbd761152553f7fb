// The windowed base of the list view (a canvas control with an update
// bracket and visual-style handles) and the process-wide helper objects
// its collections use: the stream helper of the collection stream, a cache
// of check-box sizes, the Marlett symbol font and shell item-ID list
// helpers.
#pragma once

#include "gcl/rtl/WinApi.h"
#include <shlobj.h>
#include <uxtheme.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gcl/Controls.h"
#include "gcl/Graphics.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/Streams.h"

namespace qelvo {

class TCommonCanvasControl;

// The visual-style handles a canvas control draws with. Handles are opened
// only while the owner has a window and visual styles are active, each when
// first asked for (an open reads the theme file's class: a window opening
// all thirteen at once cost a start milliseconds under Wine).
class TCommonThemeManager : public gcl::TObject {
    GCL_CLASS(TCommonThemeManager, gcl::TObject)
public:
    explicit TCommonThemeManager(TCommonCanvasControl* AOwner) : FOwner(AOwner) {}
    ~TCommonThemeManager() override;

    // Closes every handle and lets them open again when asked for (while
    // the owner's window exists and styles are active); redraws the owner's
    // window with its frame.
    void ThemesOpen();
    // Closes every handle; Loaded becomes false.
    void ThemesFree() noexcept;

    bool GetLoaded() const noexcept { return FLoaded; }
    TCommonCanvasControl* GetOwner() const noexcept { return FOwner; }
    HTHEME GetButtonTheme() const noexcept { return Handle(tcButton); }
    HTHEME GetComboBoxTheme() const noexcept { return Handle(tcComboBox); }
    HTHEME GetEditTheme() const noexcept { return Handle(tcEdit); }
    HTHEME GetExplorerBarTheme() const noexcept { return Handle(tcExplorerBar); }
    HTHEME GetHeaderTheme() const noexcept { return Handle(tcHeader); }
    HTHEME GetListviewTheme() const noexcept { return Handle(tcListview); }
    HTHEME GetProgressTheme() const noexcept { return Handle(tcProgress); }
    HTHEME GetRebarTheme() const noexcept { return Handle(tcRebar); }
    HTHEME GetScrollbarTheme() const noexcept { return Handle(tcScrollbar); }
    HTHEME GetTaskBandTheme() const noexcept { return Handle(tcTaskBand); }
    HTHEME GetTaskBarTheme() const noexcept { return Handle(tcTaskBar); }
    HTHEME GetTreeviewTheme() const noexcept { return Handle(tcTreeview); }
    HTHEME GetWindowTheme() const noexcept { return Handle(tcWindow); }
    // How many handles are open (those asked for so far).
    int OpenCount() const noexcept;

private:
    enum TThemeClass { tcButton, tcComboBox, tcEdit, tcExplorerBar, tcHeader, tcListview, tcProgress, tcRebar,
                       tcScrollbar, tcTaskBand, tcTaskBar, tcTreeview, tcWindow, tcCount };
    // The class's handle, opened at its first request while loaded.
    HTHEME Handle(TThemeClass Class) const noexcept;

    bool FLoaded = false;
    TCommonCanvasControl* FOwner;
    mutable HTHEME FHandles[tcCount] = {};
    mutable bool FAsked[tcCount] = {};
};

// A windowed control with its own canvas, an update counter whose
// outermost EndUpdate runs Rebuild and fires OnEndUpdate, and visual-style
// handles.
class TCommonCanvasControl : public gcl::TCustomControl {
    GCL_CLASS(TCommonCanvasControl, gcl::TCustomControl)
public:
    // The control's canvas, set to the control's font and brush first.
    gcl::TCanvas* GetCanvas();

    virtual void BeginUpdate();
    // Closes one bracket; the outermost (or an unmatched one) runs Rebuild,
    // updates the window at once when Invalidate and fires OnEndUpdate.
    virtual void EndUpdate(bool Invalidate = true);
    int GetUpdateCount() const noexcept { return FUpdateCount; }

    // Invalidates ARect (null: the whole client area) without erasing,
    // when the window exists; ImmediateUpdate also paints at once.
    void SafeInvalidateRect(const gcl::TRect* ARect, bool ImmediateUpdate);

    // False while loading, when switched off, or without visual styles.
    bool GetThemed() const;
    void SetThemed(bool Value);
    bool DrawWithThemes() const;
    TCommonThemeManager* GetThemeManager() const noexcept { return FThemeManager.get(); }

    gcl::TNotifyEvent OnEndUpdate;
    gcl::TNotifyEvent GetOnEndUpdate() const noexcept { return OnEndUpdate; }
    void SetOnEndUpdate(gcl::TNotifyEvent Value) noexcept { OnEndUpdate = Value; }

protected:
    explicit TCommonCanvasControl(gcl::TComponent* AOwner);
    ~TCommonCanvasControl() override;

    // The end-of-update hook; empty here.
    virtual void Rebuild() {}
    // Raise and lower the update count without the end-of-update work:
    // nothing is painted in between.
    void SuspendPainting() noexcept { ++FUpdateCount; }
    void ResumePainting() noexcept {
        if (FUpdateCount > 0) --FUpdateCount;
    }
    void CreateWnd() override;
    void Dispatch(gcl::TMessage& Message) override;

private:
    bool FThemed = true;
    std::unique_ptr<TCommonThemeManager> FThemeManager;
    int FUpdateCount = 0;
};

// Writes and reads the integers and strings of the collection stream
// (little-endian; strings are a 32-bit byte count and the 8-bit bytes).
class TCommonMemoryStreamHelper : public gcl::TObject {
    GCL_CLASS(TCommonMemoryStreamHelper, gcl::TObject)
public:
    TCommonMemoryStreamHelper() = default;
    void WriteInteger(gcl::TStream& S, int32_t Value);
    int32_t ReadInteger(gcl::TStream& S);
    void WriteString(gcl::TStream& S, const std::string& Value);
    // Raises EReadError when the length is negative or runs past the end
    // of the stream.
    void ReadString(gcl::TStream& S, std::string& Value);
};

class TCommonCheckBound : public gcl::TObject {
    GCL_CLASS(TCommonCheckBound, gcl::TObject)
public:
    TCommonCheckBound() = default;
    gcl::TRect Bounds;
    int Size = 0;
};

// The check-box bounds of each size, measured once per process.
class TCommonCheckBoundManager : public gcl::TObject {
    GCL_CLASS(TCommonCheckBoundManager, gcl::TObject)
public:
    TCommonCheckBoundManager() = default;
    ~TCommonCheckBoundManager() override;
    void Bound(int Size, gcl::TRect& R);
    TCommonCheckBound* Find(int Size) const noexcept;
    void Clear() noexcept;
    int GetCount() const noexcept { return static_cast<int>(FList.size()); }

private:
    std::vector<TCommonCheckBound*> FList;
};

// Holds the shell allocator for item-ID lists.
class TCommonPIDLManager : public gcl::TObject {
    GCL_CLASS(TCommonPIDLManager, gcl::TObject)
public:
    TCommonPIDLManager();
    ~TCommonPIDLManager() override;
    IMalloc* GetMalloc() const noexcept { return FMalloc; }

private:
    IMalloc* FMalloc = nullptr;
};

// The shell's item-ID list tests (shell32 ordinals 21 and 23).
using TILIsEqual = BOOL(WINAPI*)(LPCITEMIDLIST, LPCITEMIDLIST);
using TILIsParent = BOOL(WINAPI*)(LPCITEMIDLIST, LPCITEMIDLIST, BOOL);

// Process-wide objects of this unit (valid while LvCommonObjectsUnit is
// initialised).
extern TCommonMemoryStreamHelper* StreamHelper;
extern gcl::TFont* MarlettFont;
extern TCommonCheckBoundManager* CheckBoundManager;
extern TCommonPIDLManager* PIDLMgr;
extern TILIsEqual ILIsEqualFunc;
extern TILIsParent ILIsParentFunc;

extern gcl::TUnit LvCommonObjectsUnit;

} // namespace qelvo
