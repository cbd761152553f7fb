// The component classes of the form-stream tests and their golden file
// (tests/fixtures/filer/form.bin): a form, controls with every kind of
// published property, a collection, defined and binary properties, and a
// timer. The fuzz target of the stream reader registers the same classes,
// so the fixture's streams reach every reader path. Include it once per
// program: it defines the classes' metaclasses.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gcl/rtl/Components.h"
#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/TypInfo.h"

namespace {

using namespace gcl;

GCL_ENUM(TFlAlign, flaNone, flaTop, flaClient)
GCL_ENUM(TFlAnchor, flakLeft, flakTop, flakRight, flakBottom)
using TFlAnchors = TSet<TFlAnchor>;

const TIdentMapEntry FlColourEntries[] = {{0x000000, "clBlack"}, {0xFFFFFF, "clWhite"}, {0x0000FF, "clRed"}};
const TIdentMap FlColours{FlColourEntries, 3};

inline std::vector<std::string> LoadLog;

class TFlFont : public TPersistent {
    GCL_CLASS(TFlFont, TPersistent)
public:
    TFlFont() = default;
    const std::string& GetName() const { return FName; }
    void SetName(const std::string& v) { FName = v; }
    int GetSize() const { return FSize; }
    void SetSize(int v) { FSize = v; }

private:
    std::string FName;
    int FSize = 8;
};
GCL_PUBLISHED(TFlFont, GCL_PROP(Name), GCL_PROP(Size).Default(8))

class TFlItem : public TCollectionItem {
    GCL_CLASS(TFlItem, TCollectionItem)
public:
    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    const std::wstring& GetCaptionW() const { return FCaptionW; }
    void SetCaptionW(const std::wstring& v) { FCaptionW = v; }
    int GetValue() const { return FValue; }
    void SetValue(int v) { FValue = v; }

protected:
    using TCollectionItem::TCollectionItem;

private:
    std::string FCaption;
    std::wstring FCaptionW;
    int FValue = 0;
};
GCL_PUBLISHED(TFlItem, GCL_PROP(Caption), GCL_PROP(CaptionW), GCL_PROP(Value).Default(0))

class TFlControl : public TComponent {
    GCL_CLASS(TFlControl, TComponent)
public:
    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    const std::wstring& GetCaptionW() const { return FCaptionW; }
    void SetCaptionW(const std::wstring& v) { FCaptionW = v; }
    int GetWidth() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    int64_t GetSize64() const { return FSize64; }
    void SetSize64(int64_t v) { FSize64 = v; }
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool v) { FVisible = v; }
    TFlAlign GetAlign() const { return FAlign; }
    void SetAlign(TFlAlign v) { FAlign = v; }
    TFlAnchors GetAnchors() const { return FAnchors; }
    void SetAnchors(TFlAnchors v) { FAnchors = v; }
    int GetColor() const { return FColor; }
    void SetColor(int v) { FColor = v; }
    double GetRatio() const { return FRatio; }
    void SetRatio(double v) { FRatio = v; }
    char GetAccel() const { return FAccel; }
    void SetAccel(char v) { FAccel = v; }
    wchar_t GetHotkey() const { return FHotkey; }
    void SetHotkey(wchar_t v) { FHotkey = v; }
    TFlFont* GetFont() const { return FFont.get(); }
    void SetFont(TFlFont* v) { FFont->SetName(v->GetName()), FFont->SetSize(v->GetSize()); }
    TOwnedCollection* GetItems() const { return FItems.get(); }
    TComponent* GetLink() const { return FLink; }
    void SetLink(TComponent* v) { FLink = v; }
    TNotifyEvent GetOnClick() const { return FOnClick; }
    void SetOnClick(TNotifyEvent v) { FOnClick = v; }

    std::vector<std::string> Lines;  // streamed as the defined property "Lines"
    std::vector<char> Data;          // streamed as the binary property "Data"
    bool LinkSetWhenLoaded = false;
    bool LoadingWhenLoaded = false;

    TFlControl* GetParent() const { return FParent; }
    void SetParent(TFlControl* p) { FParent = p; }
    TComponent* GetParentComponent() const override { return FParent; }
    bool HasParent() const override { return FParent != nullptr; }
    void SetParentComponent(TComponent* value) override { FParent = dynamic_cast<TFlControl*>(value); }
    void GetChildren(TGetChildProc proc, TComponent* root) override {
        for (int i = 0; i < root->GetComponentCount(); ++i)
            if (auto* c = dynamic_cast<TFlControl*>(root->GetComponents(i)); c && c->FParent == this) proc(c);
    }

protected:
    explicit TFlControl(TComponent* owner)
        : TComponent(owner), FFont(std::make_unique<TFlFont>()),
          FItems(std::make_unique<TOwnedCollection>(this, TFlItem::StaticClass())) {}

    void DefineProperties(TFiler& filer) override {
        inherited::DefineProperties(filer);
        filer.DefineProperty("Lines", TReaderProc(this, &TFlControl::ReadLines),
                             TWriterProc(this, &TFlControl::WriteLines), !Lines.empty());
        filer.DefineBinaryProperty("Data", TStreamProc(this, &TFlControl::ReadData),
                                   TStreamProc(this, &TFlControl::WriteData), !Data.empty());
    }
    void Loaded() override {
        LoadingWhenLoaded = GetComponentState().Contains(csLoading);
        LinkSetWhenLoaded = FLink != nullptr;
        LoadLog.push_back(GetName());
        inherited::Loaded();
    }

private:
    void ReadLines(TReader& reader) {
        Lines.clear();
        reader.ReadListBegin();
        while (!reader.EndOfList()) Lines.push_back(reader.ReadString());
        reader.ReadListEnd();
    }
    void WriteLines(TWriter& writer) {
        writer.WriteListBegin();
        for (const auto& line : Lines) writer.WriteString(line);
        writer.WriteListEnd();
    }
    void ReadData(TStream& stream) {
        Data.resize(static_cast<size_t>(stream.GetSize()));
        if (!Data.empty()) stream.ReadBuffer(Data.data(), static_cast<int32_t>(Data.size()));
    }
    void WriteData(TStream& stream) { stream.WriteBuffer(Data.data(), static_cast<int32_t>(Data.size())); }

    std::string FCaption;
    std::wstring FCaptionW;
    int FWidth = 0;
    int64_t FSize64 = 0;
    bool FVisible = true;
    TFlAlign FAlign = flaNone;
    TFlAnchors FAnchors{flakLeft, flakTop};
    int FColor = 0xFFFFFF;
    double FRatio = 0;
    char FAccel = 0;
    wchar_t FHotkey = 0;
    std::unique_ptr<TFlFont> FFont;
    std::unique_ptr<TOwnedCollection> FItems;
    TComponentRef<TComponent> FLink;
    TNotifyEvent FOnClick;
    TFlControl* FParent = nullptr;
};
GCL_PUBLISHED(TFlControl,
    GCL_PROP(Caption), GCL_PROP(CaptionW), GCL_PROP(Width).Default(0), GCL_PROP(Size64).Default(0),
    GCL_PROP(Visible).Default(true), GCL_PROP(Align).Default(flaNone),
    GCL_PROP(Anchors).Default(TFlAnchors{flakLeft, flakTop}),
    GCL_PROP(Color).Default(0xFFFFFF).Idents(FlColours), GCL_PROP(Ratio), GCL_PROP(Accel).Default(0),
    GCL_PROP(Hotkey).Default(0), GCL_PROP(Font), GCL_PROP_RO(Items), GCL_PROP(Link), GCL_PROP(OnClick))

// The root: its children are its parentless components and its direct
// child controls.
class TFlForm : public TFlControl {
    GCL_CLASS(TFlForm, TFlControl)
public:
    void GetChildren(TGetChildProc proc, TComponent* root) override {
        for (int i = 0; i < GetComponentCount(); ++i) {
            TComponent* c = GetComponents(i);
            if (!c->HasParent() || c->GetParentComponent() == this) proc(c);
        }
        (void)root;
    }

protected:
    using TFlControl::TFlControl;
};
GCL_IMPLEMENT_CLASS(TFlForm)

class TFlTimer : public TComponent {
    GCL_CLASS(TFlTimer, TComponent)
public:
    int GetInterval() const { return FInterval; }
    void SetInterval(int v) { FInterval = v; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool v) { FEnabled = v; }
    // A name whose length byte (20) is no value kind.
    int GetIntervalBetweenTicks() const { return FLong; }
    void SetIntervalBetweenTicks(int v) { FLong = v; }

protected:
    using TComponent::TComponent;
    void Loaded() override {
        LoadLog.push_back(GetName());
        inherited::Loaded();
    }

private:
    int FInterval = 1000;
    bool FEnabled = true;
    int FLong = 0;
};
GCL_PUBLISHED(TFlTimer, GCL_PROP(Interval).Default(1000), GCL_PROP(Enabled).Default(true),
              GCL_PROP(IntervalBetweenTicks).Default(0))

void RegisterFilerClasses() {
    RegisterClasses({TFlForm::StaticClass(), TFlControl::StaticClass(), TFlTimer::StaticClass()});
}
void UnregisterFilerClasses() {
    for (TClass cls : std::initializer_list<TClass>{TFlForm::StaticClass(), TFlControl::StaticClass(),
                                                     TFlTimer::StaticClass()})
        UnRegisterClass(cls);
}

} // namespace
