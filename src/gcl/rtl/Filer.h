// The binary component stream: TWriter writes a component tree with its
// published and defined properties, TReader reads it back.
//
// Layout:
//   stream     = "GCF0" component
//   component  = ClassName:str Name:str property* vaNull component* vaNull
//   property   = Name:str value              (Name may be a dotted path)
//   value      = one TValueType byte, then its data (below)
//   str        = length byte, bytes          (names; no value kind)
// All numbers are little endian.
//
// Writing: the published properties in table order (base class first),
// then those the object defines in DefineProperties. A property is left
// out when its stored predicate is false or its value equals its default
// (with an ancestor: the ancestor's value). Owned sub-objects are written
// through dotted paths ("Font.Size"), collections as collection values,
// component references by name ("Name", or "Owner.Name" outside the
// root). Children come from GetChildren(proc, Root).
//
// Reading: each component read gets csLoading and csReading; children are
// found by name in the root or created by class name (registry) with the
// root as owner, then attached with SetParentComponent. Sub-object paths
// are read into the existing instances. References are fixed up once the
// whole root is read; then Loaded runs on every component in reading
// order. Any fault in the stream (unknown value kind, a length past the
// end, an unknown class or property) raises EReadError, and the
// components the reader created are freed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gcl/rtl/Collections.h"
#include "gcl/rtl/Components.h"
#include "gcl/rtl/Events.h"
#include "gcl/rtl/Objects.h"
#include "gcl/rtl/Streams.h"

namespace gcl {

class TReader;
class TWriter;
class TPropInfo;

enum TValueType : uint8_t {
    vaNull = 0,        // end of a list
    vaList = 1,        // values up to vaNull
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaDouble = 5,      // 8-byte IEEE
    vaString = 6,      // 8-bit text, length byte
    vaIdent = 7,       // identifier (enumeration value, colour name, reference), length byte
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,     // Int32 size, bytes
    vaSet = 11,        // identifiers (length byte each) up to an empty one
    vaLString = 12,    // 8-bit text, Int32 length
    vaNil = 13,        // no object
    vaCollection = 14, // items up to vaNull; each item: [integer order] vaList property* vaNull
    vaWString = 18,    // Int32 count of UTF-16 characters, UTF-16 LE
    vaInt64 = 19,
};

namespace msg {
inline constexpr const char* InvalidImage = "Invalid stream format";
inline constexpr const char* UnresolvedReference = "Unresolved reference to '%s' in property %s";
inline constexpr const char* StreamNesting = "Stream nested too deeply";
inline constexpr const char* NameTooLong = "Name '%s' is too long for the stream";
} // namespace msg

using TReaderProc = TEvent<void(TReader& Reader)>;
using TWriterProc = TEvent<void(TWriter& Writer)>;
using TStreamProc = TEvent<void(TStream& Stream)>;

class TFiler : public TObject {
    GCL_CLASS(TFiler, TObject)
public:
    explicit TFiler(TStream& stream) : FStream(stream) {}

    TStream& GetStream() const noexcept { return FStream; }
    // The component whose tree is being streamed.
    TComponent* GetRoot() const noexcept { return FRoot; }
    // Where references are looked up (the root).
    TComponent* GetLookupRoot() const noexcept { return FLookupRoot; }
    // Writing only: the object that the current one is compared with, or
    // null. Defined properties use it to decide HasData.
    TPersistent* GetAncestor() const noexcept { return FAncestor; }
    void SetAncestor(TPersistent* value) noexcept { FAncestor = value; }

    // Called from DefineProperties: streams data under name that is not a
    // published property. hasData tells the writer whether there is
    // anything to write.
    virtual void DefineProperty(const std::string& name, TReaderProc readData, TWriterProc writeData,
                                bool hasData) = 0;
    virtual void DefineBinaryProperty(const std::string& name, TStreamProc readData,
                                      TStreamProc writeData, bool hasData) = 0;

protected:
    TStream& FStream;
    TComponent* FRoot = nullptr;
    TComponent* FLookupRoot = nullptr;
    TPersistent* FAncestor = nullptr;
};

class TWriter : public TFiler {
    GCL_CLASS(TWriter, TFiler)
public:
    using TFiler::TFiler;

    // The signature, then root and its tree.
    void WriteRootComponent(TComponent* root);
    // The same, leaving out values equal to ancestor's (which must be of
    // the same class; null: none).
    void WriteDescendent(TComponent* root, TComponent* ancestor);
    // One component block with its children (children of the root use this).
    void WriteComponent(TComponent* component);

    void WriteListBegin() { WriteValue(vaList); }
    void WriteListEnd() { WriteValue(vaNull); }
    // vaString up to 255 bytes, else vaLString.
    void WriteString(const std::string& value);
    // vaWString: Int32 count of UTF-16 characters, then the characters.
    void WriteWideString(const std::wstring& value);
    // The smallest integer kind that holds value.
    void WriteInteger(int64_t value);
    void WriteBoolean(bool value) { WriteValue(value ? vaTrue : vaFalse); }
    void WriteIdent(const std::string& ident);
    void WriteFloat(double value);
    void WriteChar(char value) { WriteString(std::string(1, value)); }
    void WriteCollection(TCollection* collection);
    void WriteBinary(const void* data, int32_t size);
    void WriteNil() { WriteValue(vaNil); }

    void WriteValue(TValueType value);
    // A length byte and the bytes (names); EWriteError past 255 bytes.
    void WriteStr(const std::string& value);

    void DefineProperty(const std::string& name, TReaderProc readData, TWriterProc writeData,
                        bool hasData) override;
    void DefineBinaryProperty(const std::string& name, TStreamProc readData, TStreamProc writeData,
                              bool hasData) override;

private:
    void WriteComponentBody(TComponent* component);
    void WriteChild(TComponent* child);
    void WriteProperties(TPersistent* instance, TPersistent* ancestor, const std::string& prefix);
    void WriteProperty(TPersistent* instance, TPersistent* ancestor, const TPropInfo* info,
                       const std::string& prefix);
    void WritePropName(const std::string& name) { WriteStr(FPropPath + name); }
    std::string ReferenceName(TComponent* component) const;
    void Put(const void* data, int32_t size) { FStream.WriteBuffer(data, size); }

    TComponent* FRootAncestor = nullptr;
    std::string FPropPath;  // prefix of defined property names
};

class TReader : public TFiler {
    GCL_CLASS(TReader, TFiler)
public:
    using TFiler::TFiler;

    // Checks the signature and reads the root component. With root given,
    // the stream's class must be root's and the values go into it;
    // otherwise the root is created by class name (without owner).
    TComponent* ReadRootComponent(TComponent* root);
    // Reads one component block under the current parent (see Filer.h top).
    TComponent* ReadComponent();

    // The kind of the next value, without consuming it.
    TValueType NextValue();
    TValueType ReadValue();
    void SkipValue();
    void ReadListBegin();
    void ReadListEnd();
    // True when the next value is vaNull (which stays unread).
    // True when the next byte ends a list. It only peeks: the byte may
    // also be the length of a property name, which is not a value kind.
    bool EndOfList();

    // vaString, vaLString; vaWString converted to 8-bit text.
    std::string ReadString();
    // vaString, vaLString (converted) and vaWString.
    std::wstring ReadWideString();
    // Integer kinds that fit 32 bits.
    int32_t ReadInteger();
    int64_t ReadInt64();
    bool ReadBoolean();
    // vaIdent, and vaFalse/vaTrue/vaNil as "False"/"True"/"nil".
    std::string ReadIdent();
    // vaDouble or an integer kind.
    double ReadFloat();
    char ReadChar();
    // Replaces the items of collection by the stream's.
    void ReadCollection(TCollection* collection);
    // A vaBinary value.
    std::vector<char> ReadBinary();
    // A length byte and the bytes.
    std::string ReadStr();

    // While reading children: the owner of new components (the root) and
    // the component they are children of.
    TComponent* GetOwner() const noexcept { return FOwner; }
    TComponent* GetParent() const noexcept { return FParent; }

    void DefineProperty(const std::string& name, TReaderProc readData, TWriterProc writeData,
                        bool hasData) override;
    void DefineBinaryProperty(const std::string& name, TStreamProc readData, TStreamProc writeData,
                              bool hasData) override;

private:
    struct TFixup {
        TComponentRef<TComponent> Instance;
        TPersistent* Target;  // the object holding the property (the instance or one of its sub-objects)
        const TPropInfo* Info;
        std::string Name;
        std::string Path;
    };

    void ReadProperties(TPersistent* instance);
    void ReadProperty(TPersistent* instance);
    void ReadPropValue(TPersistent* instance, const TPropInfo* info, const std::string& path);
    void ReadSet(TPersistent* instance, const TPropInfo* info);
    void ReadCollectionItems(TCollection* collection);
    TComponent* ReadComponentBlock();
    TComponent* FindReference(const std::string& name) const;
    void ResolveFixups();
    void Abandon() noexcept;
    void Get(void* data, int32_t size) { FStream.ReadBuffer(data, size); }
    int32_t ReadLength();
    [[noreturn]] void PropertyError(const std::string& path) const;

    TComponent* FOwner = nullptr;
    TComponent* FParent = nullptr;
    TComponent* FCurrent = nullptr;            // the component being read
    std::vector<TComponentRef<TComponent>> FLoaded;   // reading order
    std::vector<TComponentRef<TComponent>> FCreated;  // made by this reader
    std::vector<TFixup> FFixups;
    std::string FPropName;  // the defined property asked for
    bool FPropFound = false;
    int FDepth = 0;
};

// Builds a form in code with the observable order of reading one: every
// component created during the scope gets csLoading; Finish() resolves
// the references recorded with AddReference, then calls Loaded on each
// component in creation order (the root first). Without Finish (an error
// while building), the loading state is just cleared.
class TFormLoadScope {
public:
    explicit TFormLoadScope(TComponent* root);
    ~TFormLoadScope();
    TFormLoadScope(const TFormLoadScope&) = delete;
    TFormLoadScope& operator=(const TFormLoadScope&) = delete;

    // Sets property propName of instance to the component named name (as
    // a stream reference: "Name" in the root or "Form.Name") in Finish.
    void AddReference(TComponent* instance, const std::string& propName, const std::string& name);
    void Finish();

    // Called by TComponent's constructor.
    static void ComponentCreated(TComponent* component);

private:
    struct TReference {
        TComponentRef<TComponent> Instance;
        std::string PropName;
        std::string Name;
    };
    void Enter(TComponent* component);

    TComponentRef<TComponent> FRoot;
    std::vector<TComponentRef<TComponent>> FComponents;
    std::vector<TReference> FReferences;
    TFormLoadScope* FPrevious;
    bool FFinished = false;
};

// Convenience: a whole tree to and from a stream.
void WriteComponentToStream(TStream& stream, TComponent* root);
TComponent* ReadComponentFromStream(TStream& stream, TComponent* root);

} // namespace gcl
