#include "gcl/rtl/Objects.h"

#include <cstdio>

#include "gcl/rtl/TypInfo.h"

namespace gcl {

namespace {

std::string FormatName(const char* format, const std::string& name) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, name.c_str());
    return buffer;
}

std::vector<TClass>& Registry() {
    static std::vector<TClass> classes;
    return classes;
}

} // namespace

namespace detail {

bool SameIdent(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
        if (x != y) return false;
    }
    return true;
}

void RaiseAbstractClass(TClass cls) {
    throw EInvalidOperation(FormatName(msg::AbstractClass, cls->ClassName()));
}

} // namespace detail

// ---- TMetaClass --------------------------------------------------------

bool TMetaClass::InheritsFrom(TClass cls) const noexcept {
    for (TClass c = this; c; c = c->FParent)
        if (c == cls) return true;
    return false;
}

TObject* TMetaClass::NewInstance() const {
    if (!FNew) detail::RaiseAbstractClass(this);
    return FNew();
}

// ---- TObject -----------------------------------------------------------

constinit const TMetaClass TObject::ClassInfo_{std::type_identity<TObject>{}, "TObject", nullptr,
                                     &TObject::PublishedProperties_};

const TPropList& TObject::PublishedProperties_() {
    return detail::InheritProperties(nullptr);
}

void TObject::Free() noexcept {
    BeforeDestruction();
    delete this;
}

void TObject::Dispatch(TMessage& message) { DefaultHandler(message); }

void TObject::DefaultHandler(TMessage&) {}

bool TObject::GetInterface(const TGUID&, void** out) {
    *out = nullptr;
    return false;
}

// ---- Class registry ----------------------------------------------------

void detail::RegisterClassImpl(TClass cls) {
    TClass existing = GetClass(cls->Name());
    if (existing == cls) return;
    if (existing) throw EInvalidOperation(FormatName(msg::DuplicateClass, cls->ClassName()));
    Registry().push_back(cls);
}

void RegisterClasses(std::initializer_list<TClass> classes) {
    for (TClass cls : classes) RegisterClass(cls);
}

void UnRegisterClass(TClass cls) {
    auto& classes = Registry();
    std::erase(classes, cls);
}

TClass GetClass(const std::string& name) noexcept {
    for (TClass cls : Registry())
        if (detail::SameIdent(cls->Name(), name)) return cls;
    return nullptr;
}

TClass FindClass(const std::string& name) {
    TClass cls = GetClass(name);
    if (!cls) throw EClassNotFound(FormatName(msg::ClassNotFound, name));
    return cls;
}

std::vector<TClass> RegisteredClasses() { return Registry(); }

// ---- TPersistent -------------------------------------------------------

GCL_IMPLEMENT_CLASS(TPersistent)

void TPersistent::Assign(TPersistent* source) {
    if (source)
        source->AssignTo(this);
    else
        AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest) const { dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* source) const {
    std::string from = source ? source->ClassName() : std::string("nil");
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, msg::AssignError, from.c_str(), ClassName().c_str());
    throw EConvertError(buffer);
}

void TPersistent::DefineProperties(TFiler&) {}

std::string TPersistent::GetNamePath() const {
    std::string result = ClassName();
    if (TPersistent* owner = GetOwner()) {
        std::string path = owner->GetNamePath();
        if (!path.empty()) result = path + "." + result;
    }
    return result;
}

} // namespace gcl
