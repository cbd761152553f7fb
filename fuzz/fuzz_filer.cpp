// Reads arbitrary bytes as a component stream. The input follows the
// stream signature, so the fuzzer starts at the component header. A few
// registered classes give it children, sub-objects, collections,
// references and defined properties to reach: its own, and the form-stream
// tests' classes (tests/support/FilerClasses.h), which the checked-in
// seeds (fuzz/corpus/fuzz_filer, the golden form stream without its
// signature) name. Any outcome but a gcl::Exception (or a memory fault
// caught by the sanitizers) is a bug.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/TypInfo.h"
#include "support/FilerClasses.h"

namespace {

using namespace gcl;

GCL_ENUM(TFzMode, fmOff, fmOn, fmAuto)
using TFzModes = TSet<TFzMode>;

class TFzControl : public TComponent {
    GCL_CLASS(TFzControl, TComponent)
public:
    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    int64_t GetValue() const { return FValue; }
    void SetValue(int64_t v) { FValue = v; }
    TFzMode GetMode() const { return FMode; }
    void SetMode(TFzMode v) { FMode = v; }
    TFzModes GetModes() const { return FModes; }
    void SetModes(TFzModes v) { FModes = v; }
    double GetRatio() const { return FRatio; }
    void SetRatio(double v) { FRatio = v; }
    char GetAccel() const { return FAccel; }
    void SetAccel(char v) { FAccel = v; }
    wchar_t GetWide() const { return FWide; }
    void SetWide(wchar_t v) { FWide = v; }
    bool GetFlag() const { return FFlag; }
    void SetFlag(bool v) { FFlag = v; }
    TFlFont* GetFont() const { return FFont.get(); }
    TCollection* GetItems() const { return FItems.get(); }
    TComponent* GetLink() const { return FLink; }
    void SetLink(TComponent* v) { FLink = v; }
    void SetParentComponent(TComponent* value) override { FParent = value; }
    TComponent* GetParentComponent() const override { return FParent; }
    bool HasParent() const override { return FParent != nullptr; }

protected:
    explicit TFzControl(TComponent* owner)
        : TComponent(owner), FFont(std::make_unique<TFlFont>()),
          FItems(std::make_unique<TCollection>(TFlItem::StaticClass())) {}
    void DefineProperties(TFiler& filer) override {
        inherited::DefineProperties(filer);
        filer.DefineProperty("Lines", TReaderProc(this, &TFzControl::ReadLines), nullptr, false);
        filer.DefineBinaryProperty("Blob", TStreamProc(this, &TFzControl::ReadBlob), nullptr, false);
    }

private:
    void ReadLines(TReader& reader) {
        reader.ReadListBegin();
        while (!reader.EndOfList()) FLines.push_back(reader.ReadString());
        reader.ReadListEnd();
    }
    void ReadBlob(TStream& stream) { FBlobSize = stream.GetSize(); }

    std::string FCaption;
    int64_t FValue = 0;
    TFzMode FMode = fmOff;
    TFzModes FModes;
    double FRatio = 0;
    char FAccel = 0;
    wchar_t FWide = 0;
    bool FFlag = false;
    std::unique_ptr<TFlFont> FFont;
    std::unique_ptr<TCollection> FItems;
    TComponentRef<TComponent> FLink;
    TComponentRef<TComponent> FParent;
    std::vector<std::string> FLines;
    int64_t FBlobSize = 0;
};
GCL_PUBLISHED(TFzControl,
    GCL_PROP(Caption), GCL_PROP(Value).Default(0), GCL_PROP(Mode).Default(fmOff), GCL_PROP(Modes),
    GCL_PROP(Ratio), GCL_PROP(Accel), GCL_PROP(Wide), GCL_PROP(Flag).Default(false), GCL_PROP_RO(Font),
    GCL_PROP_RO(Items), GCL_PROP(Link))

TUnit FuzzUnit{"FuzzFiler",
               [] {
                   RegisterClasses({TComponent::StaticClass(), TFzControl::StaticClass()});
                   RegisterFilerClasses();
               },
               [] {
                   UnregisterFilerClasses();
                   UnRegisterClass(TFzControl::StaticClass());
                   UnRegisterClass(TComponent::StaticClass());
               }};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = (FuzzUnit.Initialize(), true);
    (void)ready;
    TMemoryStream stream;
    stream.WriteBuffer("GCF0", 4);
    if (size) stream.WriteBuffer(data, static_cast<int32_t>(size));
    stream.SetPosition(0);
    try {
        Free(ReadComponentFromStream(stream, nullptr));
    } catch (const gcl::Exception&) {
    }
    return 0;
}
