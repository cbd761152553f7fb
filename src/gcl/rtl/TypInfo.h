// Published-property metadata.
//
// A class lists its published properties in its .cpp with GCL_PUBLISHED,
// in declaration order; the table of a class is its parent's table
// followed by its own entries:
//
//     GCL_PUBLISHED(TMyPanel,
//         GCL_PROP(Caption),                                 // GetCaption/SetCaption
//         GCL_PROP(Color).Default(clBtnFace).Idents(ColorIdents),
//         GCL_PROP(Visible).Default(true),
//         GCL_PROP(Hint).StoredBy<&TMyPanel::IsHintStored>(),
//         GCL_PROP_RO(Font),                                 // owned sub-object
//         GCL_PROP(OnClick))
//
// Getters and setters are member functions (protected ones too); when
// their names differ from Get<Name>/Set<Name>, spell the entry out:
// gcl::Prop<&TMyPanel::GetText, &TMyPanel::SetText>("Caption").
//
// The kind follows from the getter's type:
//   integral types          tkInteger      char     tkChar
//   wchar_t                 tkWChar        bool     tkEnumeration (False/True)
//   GCL_ENUM enumerations   tkEnumeration  TSet<E>  tkSet
//   float, double           tkFloat        std::string / std::wstring tkString / tkWString
//   pointers to TObject descendants tkClass (owned sub-object or component reference)
//   TEvent<Sig>             tkMethod
//
// A subclass may publish a name again, with the same or another type: the
// new entry replaces the inherited one at the inherited position.
#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "gcl/rtl/Events.h"
#include "gcl/rtl/Objects.h"
#include "gcl/rtl/Sets.h"

namespace gcl {

GCL_ENUM(TTypeKind, tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass,
         tkMethod, tkWChar, tkWString)
using TTypeKinds = TSet<TTypeKind>;

inline constexpr TTypeKinds tkOrdinal{tkInteger, tkChar, tkEnumeration, tkSet, tkWChar};
inline constexpr TTypeKinds tkAny = TTypeKinds::FromMask(~uint64_t(0));

// The "no default" marker of ordinal properties.
inline constexpr int64_t NoDefault = INT32_MIN;

namespace msg {
inline constexpr const char* UnknownProperty = "Property %s does not exist";
inline constexpr const char* ReadOnlyProperty = "Property %s is read-only";
inline constexpr const char* PropertyType = "Invalid property type for %s";
} // namespace msg

// A property value of any kind. Ordinals (integers, characters, enumeration
// ordinals, set masks) are int64_t.
class TPropValue {
public:
    TPropValue() = default;
    template <std::integral T>
    TPropValue(T v) : FValue(static_cast<int64_t>(v)) {}
    TPropValue(double v) : FValue(v) {}
    TPropValue(std::string v) : FValue(std::move(v)) {}
    TPropValue(std::wstring v) : FValue(std::move(v)) {}
    TPropValue(TObject* v) : FValue(v) {}
    TPropValue(const TMethod& v, const void* signature) : FValue(TMethodValue{v, signature}) {}

    bool IsEmpty() const noexcept { return FValue.index() == 0; }
    bool IsOrdinal() const noexcept { return std::holds_alternative<int64_t>(FValue); }
    bool IsFloat() const noexcept { return std::holds_alternative<double>(FValue); }
    bool IsString() const noexcept { return std::holds_alternative<std::string>(FValue); }
    bool IsWString() const noexcept { return std::holds_alternative<std::wstring>(FValue); }
    bool IsObject() const noexcept { return std::holds_alternative<TObject*>(FValue); }
    bool IsMethod() const noexcept { return std::holds_alternative<TMethodValue>(FValue); }

    // Each raises EPropertyError when the value holds another kind.
    int64_t AsOrdinal() const { return Get<int64_t>(); }
    double AsFloat() const { return Get<double>(); }
    const std::string& AsString() const { return Get<std::string>(); }
    const std::wstring& AsWString() const { return Get<std::wstring>(); }
    TObject* AsObject() const { return Get<TObject*>(); }
    const TMethod& AsMethod() const { return Get<TMethodValue>().Method; }
    // Identifies the event type of a method value.
    const void* MethodSignature() const { return Get<TMethodValue>().Signature; }

    friend bool operator==(const TPropValue& a, const TPropValue& b) = default;

private:
    struct TMethodValue {
        TMethod Method;
        const void* Signature;
        friend bool operator==(const TMethodValue& a, const TMethodValue& b) {
            return a.Method == b.Method && a.Signature == b.Signature;
        }
    };
    template <class T>
    const T& Get() const {
        if (const T* p = std::get_if<T>(&FValue)) return *p;
        RaiseKind();
    }
    [[noreturn]] static void RaiseKind();

    std::variant<std::monostate, int64_t, double, std::string, std::wstring, TObject*, TMethodValue> FValue;
};

// Maps integers to identifiers and back, for integer properties written
// as names where one exists (colours: "clWindow").
struct TIdentMapEntry {
    int32_t Value;
    const char* Name;
};
struct TIdentMap {
    const TIdentMapEntry* Entries;
    int Count;
    // False when value has no name.
    bool IntToIdent(int32_t value, std::string& ident) const;
    // False when ident is not a known name (case ignored).
    bool IdentToInt(std::string_view ident, int32_t& value) const;
};

namespace detail {
struct TPropAccess;
} // namespace detail

// One published property.
class TPropInfo {
public:
    using TGetter = TPropValue (*)(TObject*);
    using TSetter = void (*)(TObject*, const TPropValue&);
    using TStoredFn = bool (*)(TObject*);

    const std::string& Name() const noexcept { return FName; }
    TTypeKind Kind() const noexcept { return FKind; }
    // Enumeration: its names; set: the names of its elements.
    const TEnumInfo* EnumInfo() const noexcept { return FEnumInfo; }
    // Class: the declared class of the property.
    TClass PropClass() const noexcept { return FPropClass; }
    // The class that publishes this entry.
    TClass Owner() const noexcept { return FOwner; }
    int64_t GetDefault() const noexcept { return FDefault; }
    bool HasDefault() const noexcept { return FDefault != gcl::NoDefault; }
    const TIdentMap* GetIdents() const noexcept { return FIdents; }
    bool IsReadOnly() const noexcept { return FSetter == nullptr; }
    // Identifies the event type of a method property.
    const void* MethodSignature() const noexcept { return FSignature; }

    // instance must be of Owner() or a descendant (EPropertyError otherwise).
    TPropValue GetValue(TObject* instance) const;
    void SetValue(TObject* instance, const TPropValue& value) const;
    bool IsStored(TObject* instance) const;
    // True when the value needs no storing: an ordinal equal to its
    // default, 0.0, an empty string, a nil object or event.
    bool IsDefaultValue(TObject* instance) const;

    // Modifiers used in GCL_PUBLISHED lists.
    template <class T>
    TPropInfo& Default(T value) & {
        FDefault = ToOrdinal(value);
        return *this;
    }
    template <class T>
    TPropInfo&& Default(T value) && { return std::move(Default(value)); }
    TPropInfo&& NoDefault() && {
        FDefault = gcl::NoDefault;
        return std::move(*this);
    }
    TPropInfo&& Stored(bool stored) && {
        FStoredConst = stored;
        FStoredFn = nullptr;
        return std::move(*this);
    }
    template <auto Predicate>
    TPropInfo&& StoredBy() && {
        FStoredFn = &CallStored<Predicate>;
        return std::move(*this);
    }
    TPropInfo&& Idents(const TIdentMap& map) && {
        FIdents = &map;
        return std::move(*this);
    }

private:
    friend struct detail::TPropAccess;
    friend class TPropList;

    TPropInfo() = default;
    void Check(TObject* instance) const;
    template <class T>
    static int64_t ToOrdinal(T value);
    template <auto Predicate>
    static bool CallStored(TObject* obj);

    std::string FName;
    TTypeKind FKind = tkUnknown;
    const TEnumInfo* FEnumInfo = nullptr;
    TClass FPropClass = nullptr;
    TClass FOwner = nullptr;
    int64_t FDefault = gcl::NoDefault;
    TGetter FGetter = nullptr;
    TSetter FSetter = nullptr;
    TStoredFn FStoredFn = nullptr;
    bool FStoredConst = true;
    const TIdentMap* FIdents = nullptr;
    const void* FSignature = nullptr;
};

// The published properties of a class, its parent's first.
class TPropList {
public:
    TPropList() = default;
    TPropList(TClass owner, TClass parent, std::vector<TPropInfo> own);
    TPropList(const TPropList&) = delete;
    TPropList& operator=(const TPropList&) = delete;

    int Count() const noexcept { return static_cast<int>(FItems.size()); }
    const TPropInfo* operator[](int index) const { return FItems.at(index); }
    auto begin() const noexcept { return FItems.begin(); }
    auto end() const noexcept { return FItems.end(); }
    // The property named name (case ignored), or null.
    const TPropInfo* Find(std::string_view name) const noexcept;

private:
    std::vector<TPropInfo> FOwn;
    std::vector<const TPropInfo*> FItems;
};

// Lookup helpers.
const TPropInfo* GetPropInfo(TClass cls, std::string_view name) noexcept;
const TPropInfo* GetPropInfo(const TObject* instance, std::string_view name) noexcept;
// The published properties of cls whose kind is in kinds, in table order.
std::vector<const TPropInfo*> GetPropList(TClass cls, TTypeKinds kinds = tkAny);
// Read and write by name; raise EPropertyError for an unknown name.
TPropValue GetPropValue(TObject* instance, std::string_view name);
void SetPropValue(TObject* instance, std::string_view name, const TPropValue& value);

// Compares each published ordinal default of instance with the value it
// has; for a fresh instance, with what its constructor set. Returns one
// "Class.Property: default D, value V" line per mismatch.
std::vector<std::string> CheckPublishedDefaults(TObject* instance);

// ---- Building entries --------------------------------------------------

namespace detail {

[[noreturn]] void RaiseObjectType(const TObject* obj);
[[noreturn]] void RaiseMethodType();

template <class T>
struct TPropTraits;

template <class T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char> &&
             !std::is_same_v<T, wchar_t>)
struct TPropTraits<T> {
    static constexpr TTypeKind Kind = tkInteger;
    static TPropValue To(T v) { return int64_t(v); }
    static T From(const TPropValue& v) { return static_cast<T>(v.AsOrdinal()); }
};
template <>
struct TPropTraits<char> {
    static constexpr TTypeKind Kind = tkChar;
    static TPropValue To(char v) { return int64_t(static_cast<unsigned char>(v)); }
    static char From(const TPropValue& v) { return static_cast<char>(v.AsOrdinal()); }
};
template <>
struct TPropTraits<wchar_t> {
    static constexpr TTypeKind Kind = tkWChar;
    static TPropValue To(wchar_t v) { return int64_t(static_cast<std::make_unsigned_t<wchar_t>>(v)); }
    static wchar_t From(const TPropValue& v) { return static_cast<wchar_t>(v.AsOrdinal()); }
};
template <class T>
    requires(std::is_enum_v<T> || std::is_same_v<T, bool>) && NamedEnum<T>
struct TPropTraits<T> {
    static constexpr TTypeKind Kind = tkEnumeration;
    static const TEnumInfo* Info() { return &EnumInfo<T>(); }
    static TPropValue To(T v) { return int64_t(v); }
    static T From(const TPropValue& v) { return static_cast<T>(v.AsOrdinal()); }
};
template <class E>
struct TPropTraits<TSet<E>> {
    static constexpr TTypeKind Kind = tkSet;
    static const TEnumInfo* Info() { return &EnumInfo<E>(); }
    static TPropValue To(TSet<E> v) { return int64_t(v.Mask()); }
    static TSet<E> From(const TPropValue& v) { return TSet<E>::FromMask(uint64_t(v.AsOrdinal())); }
};
template <class T>
    requires std::is_floating_point_v<T>
struct TPropTraits<T> {
    static constexpr TTypeKind Kind = tkFloat;
    static TPropValue To(T v) { return double(v); }
    static T From(const TPropValue& v) { return static_cast<T>(v.AsFloat()); }
};
template <>
struct TPropTraits<std::string> {
    static constexpr TTypeKind Kind = tkString;
    static TPropValue To(std::string v) { return TPropValue(std::move(v)); }
    static const std::string& From(const TPropValue& v) { return v.AsString(); }
};
template <>
struct TPropTraits<std::wstring> {
    static constexpr TTypeKind Kind = tkWString;
    static TPropValue To(std::wstring v) { return TPropValue(std::move(v)); }
    static const std::wstring& From(const TPropValue& v) { return v.AsWString(); }
};
template <class T>
    requires std::is_base_of_v<TObject, T>
struct TPropTraits<T*> {
    static constexpr TTypeKind Kind = tkClass;
    static TClass Class() { return T::StaticClass(); }
    static TPropValue To(T* v) { return static_cast<TObject*>(const_cast<std::remove_const_t<T>*>(v)); }
    static T* From(const TPropValue& v) {
        TObject* obj = v.AsObject();
        if (obj && !obj->InheritsFrom(T::StaticClass())) RaiseObjectType(obj);
        return static_cast<T*>(obj);
    }
};
template <class Sig>
struct TPropTraits<TEvent<Sig>> {
    static constexpr TTypeKind Kind = tkMethod;
    static constexpr char SignatureTag = 0;
    static const void* Signature() { return &SignatureTag; }
    static TPropValue To(const TEvent<Sig>& v) { return TPropValue(v.Method(), Signature()); }
    static TEvent<Sig> From(const TPropValue& v) {
        if (v.MethodSignature() != Signature()) RaiseMethodType();
        return TEvent<Sig>::FromMethod(v.AsMethod());
    }
};

template <class M>
struct TMemberTraits;
template <class C, class R>
struct TMemberTraits<R (C::*)() const> {
    using Class = C;
    using Value = std::remove_cvref_t<R>;
};
template <class C, class R>
struct TMemberTraits<R (C::*)() const noexcept> : TMemberTraits<R (C::*)() const> {};
template <class C, class R>
struct TMemberTraits<R (C::*)()> : TMemberTraits<R (C::*)() const> {};
template <class C, class R>
struct TMemberTraits<R (C::*)() noexcept> : TMemberTraits<R (C::*)() const> {};
template <class C, class P>
struct TMemberTraits<void (C::*)(P)> {
    using Class = C;
    using Value = std::remove_cvref_t<P>;
};
template <class C, class P>
struct TMemberTraits<void (C::*)(P) noexcept> : TMemberTraits<void (C::*)(P)> {};

template <auto Getter>
TPropValue GetThunk(TObject* obj) {
    using M = TMemberTraits<decltype(Getter)>;
    auto* self = static_cast<typename M::Class*>(obj);
    return TPropTraits<typename M::Value>::To((self->*Getter)());
}

template <auto Setter>
void SetThunk(TObject* obj, const TPropValue& value) {
    using M = TMemberTraits<decltype(Setter)>;
    auto* self = static_cast<typename M::Class*>(obj);
    (self->*Setter)(TPropTraits<typename M::Value>::From(value));
}

template <class T>
concept HasEnumInfo = requires { T::Info(); };
template <class T>
concept HasPropClass = requires { T::Class(); };
template <class T>
concept HasSignature = requires { T::Signature(); };

} // namespace detail

template <class T>
int64_t TPropInfo::ToOrdinal(T value) {
    using Traits = detail::TPropTraits<T>;
    static_assert(tkOrdinal.Contains(Traits::Kind), "only ordinal properties have a default");
    return Traits::To(value).AsOrdinal();
}

template <auto Predicate>
bool TPropInfo::CallStored(TObject* obj) {
    using M = detail::TMemberTraits<decltype(Predicate)>;
    return (static_cast<typename M::Class*>(obj)->*Predicate)();
}

namespace detail {

struct TPropAccess {
    template <auto Getter, auto Setter>
    static TPropInfo Make(const char* name) {
        using Value = typename TMemberTraits<decltype(Getter)>::Value;
        using Traits = TPropTraits<Value>;
        TPropInfo info;
        info.FName = name;
        info.FKind = Traits::Kind;
        info.FGetter = &GetThunk<Getter>;
        if constexpr (!std::is_same_v<decltype(Setter), std::nullptr_t>) {
            static_assert(std::is_same_v<typename TMemberTraits<decltype(Setter)>::Value, Value>,
                          "getter and setter types differ");
            info.FSetter = &SetThunk<Setter>;
        }
        if constexpr (HasEnumInfo<Traits>) info.FEnumInfo = Traits::Info();
        if constexpr (HasPropClass<Traits>) info.FPropClass = Traits::Class();
        if constexpr (HasSignature<Traits>) info.FSignature = Traits::Signature();
        return info;
    }
};

} // namespace detail

// An entry for GCL_PUBLISHED: the property name with member-function
// getter and (optionally) setter.
template <auto Getter, auto Setter = nullptr>
TPropInfo Prop(const char* name) {
    return detail::TPropAccess::Make<Getter, Setter>(name);
}

#define GCL_PROP(Name) ::gcl::Prop<&Self::Get##Name, &Self::Set##Name>(#Name)
#define GCL_PROP_RO(Name) ::gcl::Prop<&Self::Get##Name>(#Name)

// Defines the metaclass of Class with its published properties (the
// entries of TypInfo.h's GCL_PROP / gcl::Prop). Use instead of
// GCL_IMPLEMENT_CLASS.
#define GCL_PUBLISHED(Class, ...)                                                            \
    constinit const Class::TMetaClassType Class::ClassInfo_{                                 \
        std::type_identity<Class>{}, #Class, Class::inherited::StaticClass(),                \
        &Class::PublishedProperties_};                                                       \
    const ::gcl::TPropList& Class::PublishedProperties_() {                                  \
        using Self [[maybe_unused]] = Class;                                                 \
        static const ::gcl::TPropList list(Class::StaticClass(),                             \
                                           Class::inherited::StaticClass(), {__VA_ARGS__});  \
        return list;                                                                         \
    }

} // namespace gcl
