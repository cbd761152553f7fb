#include "gcl/rtl/Filer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/TypInfo.h"

namespace gcl {

namespace {

constexpr char Signature[4] = {'G', 'C', 'F', '0'};
// Deeper nesting of children, collections or lists is taken for a
// corrupt stream (it would otherwise exhaust the stack).
constexpr int MaxDepth = 200;

std::string FormatMsg(const char* format, const std::string& a, const std::string& b = {}) {
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, format, a.c_str(), b.c_str());
    return buffer;
}

[[noreturn]] void InvalidValue() { throw EReadError(msg::InvalidPropertyValue); }

bool IsIntegerKind(TValueType t) noexcept { return t == vaInt8 || t == vaInt16 || t == vaInt32 || t == vaInt64; }

bool IsKnownKind(uint8_t t) noexcept { return t <= vaCollection || t == vaWString || t == vaInt64; }

// A reference as written by the writer: "Name" (in root, or root itself)
// or "Form.Name" (in root, or in another component owned by root's owner).
TComponent* FindComponentPath(TComponent* root, const std::string& name) {
    if (!root || name.empty()) return nullptr;
    size_t dot = name.find('.');
    if (dot == std::string::npos) {
        if (TComponent* c = root->FindComponent(name)) return c;
        return detail::SameIdent(root->GetName(), name) ? root : nullptr;
    }
    std::string head = name.substr(0, dot);
    TComponent* base = nullptr;
    if (detail::SameIdent(root->GetName(), head))
        base = root;
    else if (root->GetOwner())
        base = root->GetOwner()->FindComponent(head);
    return base ? base->FindComponent(name.substr(dot + 1)) : nullptr;
}

// One nesting level of a read, refused past MaxDepth.
class TReadDepth : public TDepth {
public:
    explicit TReadDepth(int& depth) : TDepth(depth) {
        if (depth > MaxDepth) throw EReadError(msg::StreamNesting);
    }
};

} // namespace

GCL_IMPLEMENT_CLASS(TFiler)
GCL_IMPLEMENT_CLASS(TWriter)
GCL_IMPLEMENT_CLASS(TReader)

// ---- TWriter -----------------------------------------------------------

void TWriter::WriteRootComponent(TComponent* root) { WriteDescendent(root, nullptr); }

void TWriter::WriteDescendent(TComponent* root, TComponent* ancestor) {
    FRoot = FLookupRoot = root;
    FRootAncestor = ancestor && ancestor->ClassType() == root->ClassType() ? ancestor : nullptr;
    Put(Signature, sizeof Signature);
    WriteComponent(root);
}

void TWriter::WriteComponent(TComponent* component) {
    component->SetComponentStateItem(csWriting, true);
    try {
        WriteComponentBody(component);
    } catch (...) {
        component->SetComponentStateItem(csWriting, false);
        throw;
    }
    component->SetComponentStateItem(csWriting, false);
}

void TWriter::WriteComponentBody(TComponent* component) {
    WriteStr(component->ClassName());
    WriteStr(component->GetName());
    TComponent* ancestor = nullptr;
    if (component == FRoot)
        ancestor = FRootAncestor;
    else if (FRootAncestor)
        ancestor = FRootAncestor->FindComponent(component->GetName());
    if (ancestor && ancestor->ClassType() != component->ClassType()) ancestor = nullptr;
    WriteProperties(component, ancestor, "");
    WriteListEnd();
    component->GetChildren(TGetChildProc(this, &TWriter::WriteChild), FRoot);
    WriteListEnd();
}

void TWriter::WriteChild(TComponent* child) { WriteComponent(child); }

void TWriter::WriteProperties(TPersistent* instance, TPersistent* ancestor, const std::string& prefix) {
    for (const TPropInfo* info : instance->ClassType()->Properties()) WriteProperty(instance, ancestor, info, prefix);
    std::string savedPath = std::exchange(FPropPath, prefix);
    TPersistent* savedAncestor = std::exchange(FAncestor, ancestor);
    try {
        instance->DefineProperties(*this);
    } catch (...) {
        FPropPath = savedPath;
        FAncestor = savedAncestor;
        throw;
    }
    FPropPath = savedPath;
    FAncestor = savedAncestor;
}

void TWriter::WriteProperty(TPersistent* instance, TPersistent* ancestor, const TPropInfo* info,
                            const std::string& prefix) {
    if (info->Kind() == tkMethod || !info->IsStored(instance)) return;
    const std::string name = prefix + info->Name();

    if (info->Kind() == tkClass) {
        TObject* obj = info->GetValue(instance).AsObject();
        TObject* ancestorObj = ancestor ? info->GetValue(ancestor).AsObject() : nullptr;
        auto* component = dynamic_cast<TComponent*>(obj);
        bool reference = (component && !component->GetComponentStyle().Contains(csSubComponent)) ||
                         (!obj && !info->IsReadOnly());
        if (reference) {
            if (info->IsReadOnly()) return;
            std::string target = component ? ReferenceName(component) : std::string();
            auto* ancestorComponent = dynamic_cast<TComponent*>(ancestorObj);
            std::string ancestorTarget = ancestorComponent ? ReferenceName(ancestorComponent) : std::string();
            if (target == ancestorTarget) return;  // both nil, or the same name
            WriteStr(name);
            if (target.empty())
                WriteNil();
            else
                WriteIdent(target);
        } else if (auto* collection = dynamic_cast<TCollection*>(obj)) {
            auto* ancestorCollection = dynamic_cast<TCollection*>(ancestorObj);
            if (collection->GetCount() == 0 && (!ancestorCollection || ancestorCollection->GetCount() == 0))
                return;
            WriteStr(name);
            WriteCollection(collection);
        } else if (auto* sub = dynamic_cast<TPersistent*>(obj)) {
            WriteProperties(sub, dynamic_cast<TPersistent*>(ancestorObj), name + ".");
        }
        return;
    }

    if (info->IsReadOnly()) return;
    TPropValue value = info->GetValue(instance);
    if (ancestor ? value == info->GetValue(ancestor) : info->IsDefaultValue(instance)) return;
    WriteStr(name);
    switch (info->Kind()) {
    case tkInteger: {
        std::string ident;
        int64_t v = value.AsOrdinal();
        if (info->GetIdents() && v >= INT32_MIN && v <= INT32_MAX &&
            info->GetIdents()->IntToIdent(static_cast<int32_t>(v), ident))
            WriteIdent(ident);
        else
            WriteInteger(v);
        break;
    }
    case tkChar:
        WriteChar(static_cast<char>(value.AsOrdinal()));
        break;
    case tkWChar:
        WriteInteger(value.AsOrdinal());
        break;
    case tkEnumeration:
        if (info->EnumInfo() == &BooleanInfo)
            WriteBoolean(value.AsOrdinal() != 0);
        else if (std::string_view ident = info->EnumInfo()->Name(value.AsOrdinal()); !ident.empty())
            WriteIdent(std::string(ident));
        else
            WriteInteger(value.AsOrdinal());
        break;
    case tkSet: {
        WriteValue(vaSet);
        const TEnumInfo* names = info->EnumInfo();
        uint64_t mask = static_cast<uint64_t>(value.AsOrdinal());
        for (int i = 0; i < names->Count; ++i)
            if (mask & (uint64_t(1) << i)) WriteStr(std::string(names->Names[i]));
        WriteStr("");
        break;
    }
    case tkFloat:
        WriteFloat(value.AsFloat());
        break;
    case tkString:
        WriteString(value.AsString());
        break;
    case tkWString:
        WriteWideString(value.AsWString());
        break;
    default:
        break;
    }
}

std::string TWriter::ReferenceName(TComponent* component) const {
    if (component->GetName().empty()) return {};
    TComponent* owner = component->GetOwner();
    if (component == FLookupRoot || owner == FLookupRoot || !owner || owner->GetName().empty())
        return component->GetName();
    return owner->GetName() + "." + component->GetName();
}

void TWriter::WriteValue(TValueType value) {
    uint8_t b = value;
    Put(&b, 1);
}

void TWriter::WriteStr(const std::string& value) {
    if (value.size() > 255) throw EWriteError(FormatMsg(msg::NameTooLong, value.substr(0, 64)));
    uint8_t n = static_cast<uint8_t>(value.size());
    Put(&n, 1);
    Put(value.data(), n);
}

namespace {

template <class T>
void PutLE(TStream& stream, T value) {
    uint8_t bytes[sizeof(T)];
    using U = std::make_unsigned_t<T>;
    U u = static_cast<U>(value);
    for (size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<uint8_t>(u >> (8 * i));
    stream.WriteBuffer(bytes, sizeof bytes);
}

int32_t CheckedSize(size_t size) {
    if (size > static_cast<size_t>(INT32_MAX)) throw EWriteError(msg::WriteError);
    return static_cast<int32_t>(size);
}

} // namespace

void TWriter::WriteString(const std::string& value) {
    if (value.size() <= 255) {
        WriteValue(vaString);
        WriteStr(value);
        return;
    }
    int32_t size = CheckedSize(value.size());
    WriteValue(vaLString);
    PutLE(FStream, size);
    Put(value.data(), size);
}

void TWriter::WriteWideString(const std::wstring& value) {
    int32_t count = CheckedSize(value.size());
    WriteValue(vaWString);
    PutLE(FStream, count);
    std::vector<uint8_t> bytes(value.size() * 2);
    for (size_t i = 0; i < value.size(); ++i) {
        auto unit = static_cast<uint16_t>(value[i]);
        bytes[2 * i] = static_cast<uint8_t>(unit);
        bytes[2 * i + 1] = static_cast<uint8_t>(unit >> 8);
    }
    Put(bytes.data(), CheckedSize(bytes.size()));
}

void TWriter::WriteInteger(int64_t value) {
    if (value >= INT8_MIN && value <= INT8_MAX) {
        WriteValue(vaInt8);
        PutLE(FStream, static_cast<int8_t>(value));
    } else if (value >= INT16_MIN && value <= INT16_MAX) {
        WriteValue(vaInt16);
        PutLE(FStream, static_cast<int16_t>(value));
    } else if (value >= INT32_MIN && value <= INT32_MAX) {
        WriteValue(vaInt32);
        PutLE(FStream, static_cast<int32_t>(value));
    } else {
        WriteValue(vaInt64);
        PutLE(FStream, value);
    }
}

void TWriter::WriteIdent(const std::string& ident) {
    if (detail::SameIdent(ident, "False"))
        WriteValue(vaFalse);
    else if (detail::SameIdent(ident, "True"))
        WriteValue(vaTrue);
    else if (detail::SameIdent(ident, "nil"))
        WriteValue(vaNil);
    else {
        WriteValue(vaIdent);
        WriteStr(ident);
    }
}

void TWriter::WriteFloat(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    WriteValue(vaDouble);
    PutLE(FStream, bits);
}

void TWriter::WriteCollection(TCollection* collection) {
    WriteValue(vaCollection);
    for (int i = 0; i < collection->GetCount(); ++i) {
        WriteListBegin();
        WriteProperties(collection->GetItems(i), nullptr, "");
        WriteListEnd();
    }
    WriteListEnd();
}

void TWriter::WriteBinary(const void* data, int32_t size) {
    WriteValue(vaBinary);
    PutLE(FStream, size);
    if (size > 0) Put(data, size);
}

void TWriter::DefineProperty(const std::string& name, TReaderProc, TWriterProc writeData, bool hasData) {
    if (!hasData || !writeData) return;
    WritePropName(name);
    writeData(*this);
}

void TWriter::DefineBinaryProperty(const std::string& name, TStreamProc, TStreamProc writeData, bool hasData) {
    if (!hasData || !writeData) return;
    TMemoryStream data;
    writeData(data);
    WritePropName(name);
    WriteBinary(data.GetMemory(), CheckedSize(static_cast<size_t>(data.GetSize())));
}

// ---- TReader -----------------------------------------------------------

namespace {

template <class T>
T GetLE(TStream& stream) {
    uint8_t bytes[sizeof(T)];
    stream.ReadBuffer(bytes, sizeof bytes);
    using U = std::make_unsigned_t<T>;
    U u = 0;
    for (size_t i = 0; i < sizeof(T); ++i) u = static_cast<U>(u | U(bytes[i]) << (8 * i));
    return static_cast<T>(u);
}

} // namespace

TComponent* TReader::ReadRootComponent(TComponent* root) {
    FLoaded.clear();
    FCreated.clear();
    FFixups.clear();
    try {
        char signature[sizeof Signature];
        Get(signature, sizeof signature);
        if (std::memcmp(signature, Signature, sizeof Signature) != 0) throw EReadError(msg::InvalidImage);
        std::string className = ReadStr();
        std::string name = ReadStr();
        if (root) {
            if (!detail::SameIdent(className, root->ClassName())) throw EReadError(msg::InvalidImage);
        } else {
            TClass cls = GetClass(className);
            if (!cls) throw EReadError(FormatMsg(msg::ClassNotFound, className));
            root = AsComponentClass(cls)->Create(nullptr);
            FCreated.emplace_back(root);
        }
        FRoot = FLookupRoot = FOwner = FParent = FCurrent = root;
        if (root->GetName().empty() && !name.empty()) root->SetName(name);
        root->Loading();
        root->SetComponentStateItem(csReading, true);
        FLoaded.emplace_back(root);
        ReadProperties(root);
        while (!EndOfList()) ReadComponent();
        ReadListEnd();
        ResolveFixups();
    } catch (const EReadError&) {
        Abandon();
        throw;
    } catch (const Exception& e) {  // a setter refusing a value, say
        Abandon();
        throw EReadError(e.GetMessage());
    } catch (...) {
        Abandon();
        throw;
    }
    for (auto& ref : FLoaded)
        if (TComponent* c = ref.Get()) c->SetComponentStateItem(csReading, false);
    std::vector<TComponentRef<TComponent>> loaded = std::move(FLoaded);
    bool createdRoot = !FCreated.empty() && FCreated.front().Get() == root;
    FCreated.clear();
    try {
        for (auto& ref : loaded)
            if (TComponent* c = ref.Get()) {
                c->Loaded();
                c->SetComponentStateItem(csLoading, false);
            }
    } catch (...) {
        for (auto& ref : loaded)
            if (TComponent* c = ref.Get()) c->SetComponentStateItem(csLoading, false);
        if (createdRoot) root->Free();  // the caller never sees it
        throw;
    }
    return root;
}

// After a failure: frees what this reader created, newest first, and
// takes the reading state off the components that stay.
void TReader::Abandon() noexcept {
    for (auto it = FCreated.rbegin(); it != FCreated.rend(); ++it)
        if (TComponent* c = it->Get()) c->Free();
    for (auto& ref : FLoaded)
        if (TComponent* c = ref.Get()) {
            c->SetComponentStateItem(csLoading, false);
            c->SetComponentStateItem(csReading, false);
        }
    FCreated.clear();
    FLoaded.clear();
    FFixups.clear();
}

TComponent* TReader::ReadComponent() {
    TReadDepth depth(FDepth);
    std::string className = ReadStr();
    std::string name = ReadStr();
    TComponent* component = FOwner->FindComponent(name);
    if (component && !detail::SameIdent(component->ClassName(), className)) throw EReadError(msg::InvalidImage);
    if (!component) {
        TClass cls = GetClass(className);
        if (!cls) throw EReadError(FormatMsg(msg::ClassNotFound, className));
        if (!cls->InheritsFrom(TComponent::StaticClass())) throw EReadError(msg::InvalidImage);
        component = AsComponentClass(cls)->Create(FOwner);
        FCreated.emplace_back(component);
        component->SetName(name);
    }
    if (std::none_of(FLoaded.begin(), FLoaded.end(), [&](auto& ref) { return ref.Get() == component; })) {
        component->Loading();
        component->SetComponentStateItem(csReading, true);
        FLoaded.emplace_back(component);
    }
    component->SetParentComponent(FParent);

    TComponent* savedCurrent = std::exchange(FCurrent, component);
    ReadProperties(component);
    TComponent* savedParent = std::exchange(FParent, component);
    while (!EndOfList()) ReadComponent();
    ReadListEnd();
    FParent = savedParent;
    FCurrent = savedCurrent;
    return component;
}

void TReader::ReadProperties(TPersistent* instance) {
    while (!EndOfList()) ReadProperty(instance);
    ReadListEnd();
}

void TReader::ReadProperty(TPersistent* instance) {
    const std::string path = ReadStr();
    TPersistent* target = instance;
    size_t start = 0;
    for (;;) {
        size_t dot = path.find('.', start);
        std::string part = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        const TPropInfo* info = GetPropInfo(target, part);
        if (dot == std::string::npos) {
            if (info) return ReadPropValue(target, info, path);
            std::string savedName = std::exchange(FPropName, part);
            bool savedFound = std::exchange(FPropFound, false);
            target->DefineProperties(*this);
            bool found = FPropFound;
            FPropName = savedName;
            FPropFound = savedFound;
            if (!found) PropertyError(path);
            return;
        }
        if (!info || info->Kind() != tkClass) PropertyError(path);
        target = dynamic_cast<TPersistent*>(info->GetValue(target).AsObject());
        if (!target) PropertyError(path);
        start = dot + 1;
    }
}

void TReader::PropertyError(const std::string& path) const {
    std::string where = FCurrent && !FCurrent->GetName().empty() ? FCurrent->GetName() + "." + path : path;
    throw EReadError(FormatMsg(msg::UnknownProperty, where));
}

void TReader::ReadPropValue(TPersistent* instance, const TPropInfo* info, const std::string& path) {
    switch (info->Kind()) {
    case tkInteger:
        if (NextValue() == vaIdent) {
            std::string ident = ReadIdent();
            int32_t value = 0;
            if (!info->GetIdents() || !info->GetIdents()->IdentToInt(ident, value)) InvalidValue();
            info->SetValue(instance, value);
        } else {
            info->SetValue(instance, ReadInt64());
        }
        break;
    case tkChar:
        info->SetValue(instance, static_cast<unsigned char>(ReadChar()));
        break;
    case tkWChar:
        if (IsIntegerKind(NextValue())) {
            info->SetValue(instance, ReadInteger() & 0xFFFF);
        } else {
            std::wstring s = ReadWideString();
            if (s.size() != 1) InvalidValue();
            info->SetValue(instance, static_cast<int64_t>(static_cast<uint16_t>(s[0])));
        }
        break;
    case tkEnumeration: {
        const TEnumInfo* names = info->EnumInfo();
        int64_t value;
        if (IsIntegerKind(NextValue()))
            value = ReadInteger();
        else
            value = names->Value(ReadIdent());
        if (value < 0 || value >= names->Count) InvalidValue();
        info->SetValue(instance, value);
        break;
    }
    case tkSet:
        ReadSet(instance, info);
        break;
    case tkFloat:
        info->SetValue(instance, ReadFloat());
        break;
    case tkString:
        info->SetValue(instance, ReadString());
        break;
    case tkWString:
        info->SetValue(instance, ReadWideString());
        break;
    case tkClass:
        switch (NextValue()) {
        case vaCollection: {
            auto* collection = dynamic_cast<TCollection*>(info->GetValue(instance).AsObject());
            if (!collection) InvalidValue();
            ReadValue();
            ReadCollectionItems(collection);
            break;
        }
        case vaNil:
            ReadValue();
            info->SetValue(instance, static_cast<TObject*>(nullptr));
            break;
        case vaIdent:
            if (info->IsReadOnly()) InvalidValue();
            FFixups.push_back({TComponentRef<TComponent>(FCurrent), instance, info, ReadIdent(), path});
            break;
        default:
            InvalidValue();
        }
        break;
    case tkMethod:
        SkipValue();  // event handlers are connected in code, not streamed
        break;
    default:
        InvalidValue();
    }
}

void TReader::ReadSet(TPersistent* instance, const TPropInfo* info) {
    if (ReadValue() != vaSet) InvalidValue();
    const TEnumInfo* names = info->EnumInfo();
    uint64_t mask = 0;
    for (std::string name = ReadStr(); !name.empty(); name = ReadStr()) {
        int bit = names->Value(name);
        if (bit < 0) InvalidValue();
        mask |= uint64_t(1) << bit;
    }
    info->SetValue(instance, static_cast<int64_t>(mask));
}

void TReader::ReadCollection(TCollection* collection) {
    if (ReadValue() != vaCollection) InvalidValue();
    ReadCollectionItems(collection);
}

void TReader::ReadCollectionItems(TCollection* collection) {
    TReadDepth depth(FDepth);
    TUpdateGuard<TCollection> update(*collection);
    collection->Clear();
    while (!EndOfList()) {
        if (IsIntegerKind(NextValue())) ReadInteger();  // an order number: items keep stream order
        ReadListBegin();
        ReadProperties(collection->Add());
    }
    ReadListEnd();
}

TComponent* TReader::FindReference(const std::string& name) const { return FindComponentPath(FLookupRoot, name); }

void TReader::ResolveFixups() {
    std::vector<TFixup> fixups = std::move(FFixups);
    FFixups.clear();
    for (TFixup& fixup : fixups) {
        if (!fixup.Instance) continue;  // freed meanwhile
        TComponent* target = FindReference(fixup.Name);
        if (!target) throw EReadError(FormatMsg(msg::UnresolvedReference, fixup.Name, fixup.Path));
        fixup.Info->SetValue(fixup.Target, static_cast<TObject*>(target));
    }
}

TValueType TReader::ReadValue() {
    uint8_t b;
    Get(&b, 1);
    if (!IsKnownKind(b)) InvalidValue();
    return static_cast<TValueType>(b);
}

bool TReader::EndOfList() {
    uint8_t b;
    Get(&b, 1);
    FStream.Seek(-1, soCurrent);
    return b == vaNull;
}

TValueType TReader::NextValue() {
    TValueType t = ReadValue();
    FStream.Seek(-1, soCurrent);
    return t;
}

void TReader::ReadListBegin() {
    if (ReadValue() != vaList) InvalidValue();
}

void TReader::ReadListEnd() {
    if (ReadValue() != vaNull) InvalidValue();
}

int32_t TReader::ReadLength() {
    int32_t n = GetLE<int32_t>(FStream);
    if (n < 0) InvalidValue();
    return n;
}

std::string TReader::ReadStr() {
    uint8_t n;
    Get(&n, 1);
    std::string s(n, '\0');
    if (n) Get(s.data(), n);
    return s;
}

void TReader::SkipValue() {
    TReadDepth depth(FDepth);
    auto skip = [this](int64_t n) {
        FStream.CheckAvailable(n);
        FStream.Seek(n, soCurrent);
    };
    switch (ReadValue()) {
    case vaList:
        while (!EndOfList()) SkipValue();
        ReadListEnd();
        break;
    case vaInt8:
        skip(1);
        break;
    case vaInt16:
        skip(2);
        break;
    case vaInt32:
        skip(4);
        break;
    case vaInt64:
    case vaDouble:
        skip(8);
        break;
    case vaString:
    case vaIdent:
        ReadStr();
        break;
    case vaLString:
    case vaBinary:
        skip(ReadLength());
        break;
    case vaWString:
        skip(int64_t(ReadLength()) * 2);
        break;
    case vaSet:
        while (!ReadStr().empty()) {
        }
        break;
    case vaCollection:
        while (!EndOfList()) {
            if (IsIntegerKind(NextValue())) SkipValue();
            ReadListBegin();
            while (!EndOfList()) {
                ReadStr();
                SkipValue();
            }
            ReadListEnd();
        }
        ReadListEnd();
        break;
    default:  // vaNull, vaFalse, vaTrue, vaNil carry no data
        break;
    }
}

std::string TReader::ReadString() {
    switch (ReadValue()) {
    case vaString:
        return ReadStr();
    case vaLString: {
        int32_t n = ReadLength();
        FStream.CheckAvailable(n);
        std::string s(static_cast<size_t>(n), '\0');
        if (n) Get(s.data(), n);
        return s;
    }
    case vaWString:
        FStream.Seek(-1, soCurrent);
        return WideToAnsi(ReadWideString());
    default:
        InvalidValue();
    }
}

std::wstring TReader::ReadWideString() {
    if (NextValue() != vaWString) return AnsiToWide(ReadString());
    ReadValue();
    int32_t count = ReadLength();
    FStream.CheckAvailable(int64_t(count) * 2);
    std::vector<uint8_t> bytes(static_cast<size_t>(count) * 2);
    if (count) Get(bytes.data(), count * 2);
    std::wstring s(static_cast<size_t>(count), L'\0');
    for (int32_t i = 0; i < count; ++i) s[i] = static_cast<wchar_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return s;
}

int64_t TReader::ReadInt64() {
    switch (ReadValue()) {
    case vaInt8:
        return GetLE<int8_t>(FStream);
    case vaInt16:
        return GetLE<int16_t>(FStream);
    case vaInt32:
        return GetLE<int32_t>(FStream);
    case vaInt64:
        return GetLE<int64_t>(FStream);
    default:
        InvalidValue();
    }
}

int32_t TReader::ReadInteger() {
    int64_t v = ReadInt64();
    if (v < INT32_MIN || v > INT32_MAX) InvalidValue();
    return static_cast<int32_t>(v);
}

bool TReader::ReadBoolean() {
    switch (ReadValue()) {
    case vaTrue:
        return true;
    case vaFalse:
        return false;
    default:
        InvalidValue();
    }
}

std::string TReader::ReadIdent() {
    switch (ReadValue()) {
    case vaIdent:
        return ReadStr();
    case vaFalse:
        return "False";
    case vaTrue:
        return "True";
    case vaNil:
        return "nil";
    default:
        InvalidValue();
    }
}

double TReader::ReadFloat() {
    if (IsIntegerKind(NextValue())) return static_cast<double>(ReadInt64());
    if (ReadValue() != vaDouble) InvalidValue();
    uint64_t bits = GetLE<uint64_t>(FStream);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

char TReader::ReadChar() {
    if (IsIntegerKind(NextValue())) return static_cast<char>(ReadInteger());
    std::string s = ReadString();
    if (s.size() != 1) InvalidValue();
    return s[0];
}

std::vector<char> TReader::ReadBinary() {
    if (ReadValue() != vaBinary) InvalidValue();
    int32_t size = ReadLength();
    FStream.CheckAvailable(size);
    std::vector<char> data(static_cast<size_t>(size));
    if (size) Get(data.data(), size);
    return data;
}

void TReader::DefineProperty(const std::string& name, TReaderProc readData, TWriterProc, bool) {
    if (FPropFound || !readData || !detail::SameIdent(name, FPropName)) return;
    FPropFound = true;  // before the call: a nested DefineProperties must not match again
    std::string saved = std::exchange(FPropName, std::string());
    readData(*this);
    FPropName = saved;
}

void TReader::DefineBinaryProperty(const std::string& name, TStreamProc readData, TStreamProc, bool) {
    if (FPropFound || !readData || !detail::SameIdent(name, FPropName)) return;
    FPropFound = true;
    std::vector<char> bytes = ReadBinary();
    TMemoryStream data;
    if (!bytes.empty()) data.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    data.SetPosition(0);
    readData(data);
}

// ---- TFormLoadScope ----------------------------------------------------

namespace {
TFormLoadScope* CurrentLoadScope = nullptr;
} // namespace

TFormLoadScope::TFormLoadScope(TComponent* root) : FRoot(root), FPrevious(CurrentLoadScope) {
    CurrentLoadScope = this;
    if (root) Enter(root);
}

TFormLoadScope::~TFormLoadScope() {
    if (CurrentLoadScope == this) CurrentLoadScope = FPrevious;
    if (FFinished) return;
    for (auto& ref : FComponents)
        if (TComponent* c = ref.Get()) c->SetComponentStateItem(csLoading, false);
}

void TFormLoadScope::Enter(TComponent* component) {
    // Called from the component's constructor: no virtual calls.
    component->SetComponentStateItem(csLoading, true);
    FComponents.emplace_back(component);
}

void TFormLoadScope::ComponentCreated(TComponent* component) {
    if (CurrentLoadScope) CurrentLoadScope->Enter(component);
}

void TFormLoadScope::AddReference(TComponent* instance, const std::string& propName, const std::string& name) {
    FReferences.push_back({TComponentRef<TComponent>(instance), propName, name});
}

void TFormLoadScope::Finish() {
    if (FFinished) return;
    if (CurrentLoadScope == this) CurrentLoadScope = FPrevious;
    for (TReference& ref : FReferences) {
        TComponent* instance = ref.Instance.Get();
        if (!instance) continue;
        TComponent* target = FindComponentPath(FRoot.Get(), ref.Name);
        if (!target) throw EReadError(FormatMsg(msg::UnresolvedReference, ref.Name, ref.PropName));
        SetPropValue(instance, ref.PropName, static_cast<TObject*>(target));
    }
    FFinished = true;
    std::vector<TComponentRef<TComponent>> components = std::move(FComponents);
    for (auto& ref : components)
        if (TComponent* c = ref.Get()) {
            c->Loaded();
            c->SetComponentStateItem(csLoading, false);
        }
}

// ---- Helpers -----------------------------------------------------------

void WriteComponentToStream(TStream& stream, TComponent* root) {
    TWriter writer(stream);
    writer.WriteRootComponent(root);
}

TComponent* ReadComponentFromStream(TStream& stream, TComponent* root) {
    TReader reader(stream);
    return reader.ReadRootComponent(root);
}

} // namespace gcl
