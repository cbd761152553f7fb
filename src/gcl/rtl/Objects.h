// The GCL object model: TObject, metaclasses, the class registry,
// TMessage and TPersistent.
//
// Declaring a class
// -----------------
// Every class derived from TObject starts its body with GCL_CLASS and
// defines its metaclass in exactly one .cpp file:
//
//     // Header
//     class TStringList : public TStrings {
//         GCL_CLASS(TStringList, TStrings)
//     public:
//         TStringList();
//         ...
//     };
//
//     // .cpp, at namespace scope (inside namespace gcl or any other)
//     GCL_IMPLEMENT_CLASS(TStringList)
//
// A class with published properties uses GCL_PUBLISHED (TypInfo.h) in the
// .cpp instead of GCL_IMPLEMENT_CLASS. GCL_CLASS leaves the access at
// "private", as at the start of a class body.
//
// GCL_CLASS gives the class:
//   StaticClass()   its metaclass (a TClass), usable as a class reference;
//   ClassType()     the metaclass of the object's dynamic class;
//   inherited       an alias of the base class, for Base::Method calls;
//   Create(args...) runs both creation phases: new T(args...), then the
//                   virtual AfterConstruction(). Protected constructors are
//                   fine: the class factory is a friend.
//
// Lifetime
// --------
// Plain objects (string lists, streams, ...) have public destructors and
// are owned by ordinary C++ means: std::unique_ptr, members, the stack.
// Such classes must not rely on AfterConstruction or BeforeDestruction:
// a plain object made on the stack never sees them.
//
// Components have protected destructors and die only through Free():
// BeforeDestruction() runs while the object is still complete (virtual
// calls reach the most derived overrides), then the object is deleted.
// C++ destructors only release memory and handles.
#pragma once

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "gcl/rtl/Exceptions.h"

namespace gcl {

class TObject;
class TMetaClass;
class TPersistent;
class TFiler;
class TPropList;
struct TGUID;

using TClass = const TMetaClass*;

namespace msg {
inline constexpr const char* InvalidCast = "Invalid class typecast";
inline constexpr const char* AbstractClass = "Cannot create an instance of abstract class %s";
inline constexpr const char* DuplicateClass = "A class named %s already exists";
} // namespace msg

namespace detail {

// Builds class factories. GCL_CLASS makes it a friend, so it can reach
// protected constructors.
template <class T>
struct TClassFactory {
    template <class... A>
    static T* New(A&&... args) {
        T* obj = new T(std::forward<A>(args)...);
        try {
            obj->AfterConstruction();
        } catch (...) {
            obj->Free();
            throw;
        }
        return obj;
    }

    template <class R, class... A>
    static R* Construct(A... args) { return New(args...); }

    // The factory of signature R*(A...) for T, or null when T is abstract
    // or has no such constructor.
    template <class R, class... A>
    static constexpr R* (*Get())(A...) {
        if constexpr (!std::is_abstract_v<T> && requires { new T(std::declval<A>()...); })
            return &Construct<R, A...>;
        else
            return nullptr;
    }
};

[[noreturn]] void RaiseAbstractClass(TClass cls);

// Equality of identifiers ignoring ASCII case (class, component and
// property names).
bool SameIdent(std::string_view a, std::string_view b) noexcept;

} // namespace detail

// A class reference: one object per class, built by GCL_CLASS /
// GCL_IMPLEMENT_CLASS. Families of classes with their own constructor
// signature derive their metaclass from TClassOf (below).
class TMetaClass {
public:
    template <class T>
    constexpr TMetaClass(std::type_identity<T>, const char* name, TClass parent,
                         const TPropList& (*properties)()) noexcept
        : FName(name), FParent(parent), FProperties(properties),
          FNew(detail::TClassFactory<T>::template Get<TObject>()) {}
    TMetaClass(const TMetaClass&) = delete;
    TMetaClass& operator=(const TMetaClass&) = delete;

    std::string ClassName() const { return FName; }
    const char* Name() const noexcept { return FName; }
    TClass ClassParent() const noexcept { return FParent; }
    // True when this class is cls or descends from it.
    bool InheritsFrom(TClass cls) const noexcept;
    // Published properties in declaration order, base class first.
    const TPropList& Properties() const { return FProperties(); }

    // Creates an instance through the default constructor (both phases);
    // raises EInvalidOperation when the class has none or is abstract.
    TObject* NewInstance() const;
    bool CanCreate() const noexcept { return FNew != nullptr; }

private:
    const char* FName;
    TClass FParent;
    const TPropList& (*FProperties)();
    TObject* (*FNew)();
};

// The metaclass of a family whose virtual constructor is Base(Args...):
// components use TClassOf<TComponent, TMetaClass, TComponent* Owner>.
// ParentMeta is the metaclass type of the enclosing family, so a family
// inside another keeps the outer factory too.
template <class Base, class ParentMeta, class... Args>
class TClassOf : public ParentMeta {
public:
    using Factory = Base* (*)(Args...);

    template <class T>
    constexpr TClassOf(std::type_identity<T> t, const char* name, TClass parent,
                       const TPropList& (*properties)()) noexcept
        : ParentMeta(t, name, parent, properties),
          FFactory(detail::TClassFactory<T>::template Get<Base, Args...>()) {}

    // The virtual constructor: creates an instance of this very class.
    Base* Create(Args... args) const {
        if (!FFactory) detail::RaiseAbstractClass(this);
        return FFactory(args...);
    }
    bool CanCreate() const noexcept { return FFactory != nullptr; }

private:
    Factory FFactory;
};

// A message for Dispatch, laid out like the Win32 message record on i686.
// The receiver may write every field.
struct TMessage {
    uint32_t Msg = 0;
    uintptr_t WParam = 0;
    intptr_t LParam = 0;
    intptr_t Result = 0;
};

inline uint16_t LoWord(uintptr_t v) noexcept { return static_cast<uint16_t>(v & 0xFFFF); }
inline uint16_t HiWord(uintptr_t v) noexcept { return static_cast<uint16_t>((v >> 16) & 0xFFFF); }

// Typed views over a TMessage. They hold a reference to the message and
// read and write its fields.
class TWMKey {
public:
    explicit TWMKey(TMessage& m) noexcept : M(m) {}
    uint16_t GetCharCode() const noexcept { return LoWord(M.WParam); }
    void SetCharCode(uint16_t v) noexcept { M.WParam = v; }
    int32_t GetKeyData() const noexcept { return static_cast<int32_t>(M.LParam); }
    TMessage& M;
};
using TCMDialogKey = TWMKey;
using TCMDialogChar = TWMKey;
using TWMChar = TWMKey;

// Mouse messages: coordinates are signed 16-bit values in LParam.
class TWMMouse {
public:
    explicit TWMMouse(TMessage& m) noexcept : M(m) {}
    uint32_t GetKeys() const noexcept { return static_cast<uint32_t>(M.WParam); }
    int16_t GetXPos() const noexcept { return static_cast<int16_t>(LoWord(static_cast<uintptr_t>(M.LParam))); }
    int16_t GetYPos() const noexcept { return static_cast<int16_t>(HiWord(static_cast<uintptr_t>(M.LParam))); }
    TMessage& M;
};
using TWMNCHitTest = TWMMouse;  // XPos/YPos in screen coordinates; answer in Result

// CM_CONTROLCHANGE: WParam = the control, LParam = inserting (0/1).
class TCMControlChange {
public:
    explicit TCMControlChange(TMessage& m) noexcept : M(m) {}
    TObject* GetControl() const noexcept { return reinterpret_cast<TObject*>(M.WParam); }
    bool GetInserting() const noexcept { return M.LParam != 0; }
    TMessage& M;
};

// CM_FOCUSCHANGED: LParam = the control receiving the focus.
class TCMFocusChanged {
public:
    explicit TCMFocusChanged(TMessage& m) noexcept : M(m) {}
    TObject* GetSender() const noexcept { return reinterpret_cast<TObject*>(M.LParam); }
    TMessage& M;
};

// The root of every GCL class.
class TObject {
public:
    using TMetaClassType = TMetaClass;

    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    static constexpr TClass StaticClass() noexcept { return &ClassInfo_; }
    virtual TClass ClassType() const noexcept { return &ClassInfo_; }
    std::string ClassName() const { return ClassType()->ClassName(); }
    TClass ClassParent() const noexcept { return ClassType()->ClassParent(); }
    bool InheritsFrom(TClass cls) const noexcept { return ClassType()->InheritsFrom(cls); }

    // Creation and destruction hooks; see the notes at the top.
    virtual void AfterConstruction() {}
    virtual void BeforeDestruction() noexcept {}
    // BeforeDestruction, then delete. Free(p) (static, or gcl::Free)
    // accepts a pointer that may be null.
    void Free() noexcept;
    static void Free(TObject* obj) noexcept {
        if (obj) obj->Free();
    }

    // Message dispatch: overrides switch on Msg and call inherited for the
    // rest; unhandled messages end in DefaultHandler.
    virtual void Dispatch(TMessage& message);
    virtual void DefaultHandler(TMessage& message);

    // Stores the interface iid of this object in out (not reference
    // counted) and answers true, or answers false. Classes implementing
    // interfaces override it (see Interfaces.h).
    virtual bool GetInterface(const TGUID& iid, void** out);

    template <class... A>
    static TObject* Create(A&&... args) {
        return detail::TClassFactory<TObject>::New(std::forward<A>(args)...);
    }

private:
    static const TMetaClass ClassInfo_;
    static const TPropList& PublishedProperties_();
    template <class> friend struct detail::TClassFactory;
};

// Null-safe Free.
inline void Free(TObject* obj) noexcept { TObject::Free(obj); }
// Frees and nulls the pointer (FreeAndNil).
template <class T>
void FreeAndNil(T*& obj) noexcept {
    T* p = obj;
    obj = nullptr;
    Free(p);
}

// is<T>(obj): obj is non-null and a T. as<T>(obj): obj as a T; null stays
// null, any other class raises EInvalidCast.
template <class T, class U>
bool is(const U* obj) noexcept {
    return dynamic_cast<const T*>(obj) != nullptr;
}
template <class T, class U>
T* as(U* obj) {
    if (!obj) return nullptr;
    T* result = dynamic_cast<T*>(obj);
    if (!result) throw EInvalidCast(msg::InvalidCast);
    return result;
}

#define GCL_CLASS(Class, Base) GCL_CLASS_META(Class, Base, Base::TMetaClassType)

// GCL_CLASS for the root of a family with its own metaclass type.
#define GCL_CLASS_META(Class, Base, Meta)                                                  \
public:                                                                                    \
    using inherited = Base;                                                                \
    using TMetaClassType = Meta;                                                           \
    static constexpr const TMetaClassType* StaticClass() noexcept { return &ClassInfo_; }  \
    ::gcl::TClass ClassType() const noexcept override { return &ClassInfo_; }              \
    template <class... A>                                                                  \
    static Class* Create(A&&... args) {                                                    \
        return ::gcl::detail::TClassFactory<Class>::New(std::forward<A>(args)...);         \
    }                                                                                      \
                                                                                           \
private:                                                                                   \
    static const TMetaClassType ClassInfo_;                                                \
    static const ::gcl::TPropList& PublishedProperties_();                                 \
    template <class> friend struct ::gcl::detail::TClassFactory;

namespace detail {
// The table of a class that publishes nothing of its own.
const TPropList& InheritProperties(TClass parent);
} // namespace detail

// Defines the metaclass of a class without published properties of its own.
#define GCL_IMPLEMENT_CLASS(Class)                                                           \
    constinit const Class::TMetaClassType Class::ClassInfo_{                                 \
        std::type_identity<Class>{}, #Class, Class::inherited::StaticClass(),                \
        &Class::PublishedProperties_};                                                       \
    const ::gcl::TPropList& Class::PublishedProperties_() {                                  \
        return ::gcl::detail::InheritProperties(Class::inherited::StaticClass());            \
    }

namespace detail {
void RegisterClassImpl(TClass cls);
} // namespace detail

// The class registry: maps names (ignoring case) to classes, for reading
// components and for creating objects by class name. Filled only from
// the unit initialisation table (Init.h). Registering a class twice is
// harmless; another class of the same name raises EInvalidOperation.
// (RegisterClass is inline so that the Win32 macro of that name, where
// windows.h is included, renames it consistently.)
inline void RegisterClass(TClass cls) { detail::RegisterClassImpl(cls); }
void RegisterClasses(std::initializer_list<TClass> classes);
void UnRegisterClass(TClass cls);
// The class named name; raises EClassNotFound when unregistered.
TClass FindClass(const std::string& name);
// The class named name, or null.
TClass GetClass(const std::string& name) noexcept;
// Every registered class, in registration order.
std::vector<TClass> RegisteredClasses();

// An object that can copy itself from another (Assign) and take part in
// streaming (DefineProperties).
class TPersistent : public TObject {
    GCL_CLASS(TPersistent, TObject)
public:
    // Copies source into this object. The default asks the source to
    // AssignTo this object, which raises EConvertError when it cannot.
    virtual void Assign(TPersistent* source);
    // The object that owns this one for streaming paths, or null.
    virtual TPersistent* GetOwner() const { return nullptr; }
    // The dotted path naming this object ("Form1.Header.Font").
    virtual std::string GetNamePath() const;

protected:
    virtual void AssignTo(TPersistent* dest) const;
    // Streams data that is not a published property (see Filer.h).
    virtual void DefineProperties(TFiler& filer);
    // Raises EConvertError "Cannot assign a <source> to a <this>".
    [[noreturn]] void AssignError(const TPersistent* source) const;

    friend class TFiler;
    friend class TReader;
    friend class TWriter;
};

using TPersistentClass = TClass;

// Brackets BeginUpdate/EndUpdate of any object that has them. An error
// raised by EndUpdate while another is already unwinding is dropped.
template <class T>
class TUpdateGuard {
public:
    explicit TUpdateGuard(T& target) : FTarget(target), FUncaught(std::uncaught_exceptions()) {
        FTarget.BeginUpdate();
    }
    ~TUpdateGuard() noexcept(false) {
        if (std::uncaught_exceptions() == FUncaught) {
            FTarget.EndUpdate();
        } else {
            try {
                FTarget.EndUpdate();
            } catch (...) {
            }
        }
    }
    TUpdateGuard(const TUpdateGuard&) = delete;
    TUpdateGuard& operator=(const TUpdateGuard&) = delete;

private:
    T& FTarget;
    int FUncaught;
};

} // namespace gcl
