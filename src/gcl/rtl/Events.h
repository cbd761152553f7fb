// Delegates (events) and the standard event types.
//
// A TEvent<Sig> is a plain value: an object pointer, the bytes of a member
// function pointer and an invoker stub. It is built from (object,
// &Class::Method) or from a free function, and nothing else: no
// std::function, no capturing lambdas, so two events compare equal exactly
// when they name the same method of the same object.
//
//     OnClick = TNotifyEvent(this, &TMainForm::OkClick);
//     if (OnClick) OnClick(this);
//
// Calling an unassigned event does nothing and returns a value-initialised
// result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

#include "gcl/rtl/Types.h"

namespace gcl {

class TObject;
struct TMessage;

namespace detail {
struct TMfpProbe {};
} // namespace detail

// The type-erased form of every event: what equality compares and what
// published method properties carry.
struct TMethod {
    // Room for a member function pointer: two words in the Itanium C++ ABI
    // that g++ and mingw-w64 use (code or vtable offset, this adjustment).
    static constexpr size_t CodeSize = 2 * sizeof(void*);

    void* Data = nullptr;                   // the object, or null for a free function
    alignas(void*) unsigned char Code[CodeSize] = {};
    void (*Stub)() = nullptr;               // the typed invoker, erased

    bool Assigned() const noexcept { return Stub != nullptr; }
    friend bool operator==(const TMethod& a, const TMethod& b) noexcept {
        return a.Data == b.Data && a.Stub == b.Stub && std::memcmp(a.Code, b.Code, CodeSize) == 0;
    }
};

static_assert(sizeof(void (detail::TMfpProbe::*)()) == TMethod::CodeSize,
              "member function pointers must fill TMethod::Code exactly");
static_assert(std::is_trivially_copyable_v<TMethod>);

template <class Sig>
class TEvent;

template <class R, class... A>
class TEvent<R(A...)> {
public:
    using TInvoker = R (*)(const TMethod&, A...);

    constexpr TEvent() noexcept = default;
    constexpr TEvent(std::nullptr_t) noexcept {}

    template <class C, class Obj>
        requires std::is_base_of_v<C, Obj>
    TEvent(Obj* object, R (C::*method)(A...)) noexcept {
        Bind<C, R (C::*)(A...)>(static_cast<C*>(object), method);
    }
    template <class C, class Obj>
        requires std::is_base_of_v<C, Obj>
    TEvent(Obj* object, R (C::*method)(A...) const) noexcept {
        Bind<C, R (C::*)(A...) const>(static_cast<C*>(object), method);
    }
    TEvent(R (*function)(A...)) noexcept {
        if (!function) return;
        std::memcpy(FMethod.Code, &function, sizeof function);
        FMethod.Stub = reinterpret_cast<void (*)()>(&CallFunction);
    }

    bool Assigned() const noexcept { return FMethod.Assigned(); }
    explicit operator bool() const noexcept { return Assigned(); }
    friend bool operator==(const TEvent& a, const TEvent& b) noexcept { return a.FMethod == b.FMethod; }

    R operator()(A... args) const {
        if (!FMethod.Stub) return R();
        return reinterpret_cast<TInvoker>(FMethod.Stub)(FMethod, std::forward<A>(args)...);
    }

    // The object the event calls, or null for a free function.
    void* GetData() const noexcept { return FMethod.Data; }
    const TMethod& Method() const noexcept { return FMethod; }
    // Rebuilds an event from Method() of an event of the same type.
    static TEvent FromMethod(const TMethod& method) noexcept {
        TEvent e;
        e.FMethod = method;
        return e;
    }

private:
    template <class C, class Mfp>
    void Bind(C* object, Mfp method) noexcept {
        static_assert(sizeof(Mfp) == TMethod::CodeSize);
        if (!object || !method) return;
        FMethod.Data = object;
        std::memcpy(FMethod.Code, &method, sizeof method);
        FMethod.Stub = reinterpret_cast<void (*)()>(&CallMember<C, Mfp>);
    }

    template <class C, class Mfp>
    static R CallMember(const TMethod& m, A... args) {
        Mfp method;
        std::memcpy(&method, m.Code, sizeof method);
        return (static_cast<C*>(m.Data)->*method)(std::forward<A>(args)...);
    }
    static R CallFunction(const TMethod& m, A... args) {
        R (*function)(A...);
        std::memcpy(&function, m.Code, sizeof function);
        return function(std::forward<A>(args)...);
    }

    TMethod FMethod;
};

template <class Sig>
struct IsEvent : std::false_type {};
template <class Sig>
struct IsEvent<TEvent<Sig>> : std::true_type {};

// ---- Standard event types ----------------------------------------------

class TControl;
class TWinControl;
class TDragObject;
class TDragDockObject;

GCL_ENUM(TDragState, dsDragEnter, dsDragLeave, dsDragMove)
GCL_ENUM(TCloseAction, caNone, caHide, caFree, caMinimize)
GCL_ENUM(TOwnerDrawStateItem, odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault,
         odHotLight, odInactive, odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit)
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

using TNotifyEvent = TEvent<void(TObject* Sender)>;
using TWndMethod = TEvent<void(TMessage& Message)>;
using TMouseEvent = TEvent<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TEvent<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = TEvent<void(TObject* Sender, uint16_t& Key, TShiftState Shift)>;
using TKeyPressEvent = TEvent<void(TObject* Sender, char& Key)>;
using TDragOverEvent =
    TEvent<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = TEvent<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TStartDragEvent = TEvent<void(TObject* Sender, TDragObject*& DragObject)>;
using TEndDragEvent = TEvent<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TContextPopupEvent = TEvent<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TMouseWheelEvent =
    TEvent<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = TEvent<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TCanResizeEvent = TEvent<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
using TConstrainedResizeEvent =
    TEvent<void(TObject* Sender, int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight)>;
using TCloseEvent = TEvent<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TEvent<void(TObject* Sender, bool& CanClose)>;
using TDrawItemEvent = TEvent<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = TEvent<void(TWinControl* Control, int Index, int& Height)>;

// Docking events are published for compatibility and never fired.
using TStartDockEvent = TEvent<void(TObject* Sender, TDragDockObject*& DragObject)>;
using TDockDropEvent = TEvent<void(TObject* Sender, TDragDockObject* Source, int X, int Y)>;
using TDockOverEvent =
    TEvent<void(TObject* Sender, TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TGetSiteInfoEvent = TEvent<void(TObject* Sender, TControl* DockClient, TRect& InfluenceRect,
                                      TPoint MousePos, bool& CanDock)>;
using TUnDockEvent = TEvent<void(TObject* Sender, TControl* Client, TWinControl* NewTarget, bool& Allow)>;

} // namespace gcl
