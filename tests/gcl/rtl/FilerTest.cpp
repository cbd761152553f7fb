#include "gcl/rtl/Filer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "gcl/rtl/Init.h"
#include "gcl/rtl/TypInfo.h"
#include "support/TestEnvironment.h"

using namespace gcl;

namespace {

GCL_ENUM(TFlAlign, flaNone, flaTop, flaClient)
GCL_ENUM(TFlAnchor, flakLeft, flakTop, flakRight, flakBottom)
using TFlAnchors = TSet<TFlAnchor>;

const TIdentMapEntry FlColourEntries[] = {{0x000000, "clBlack"}, {0xFFFFFF, "clWhite"}, {0x0000FF, "clRed"}};
const TIdentMap FlColours{FlColourEntries, 3};

std::vector<std::string> LoadLog;

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

class FilerTest : public ::testing::Test {
protected:
    TUnit FUnit{"FilerTest", &RegisterFilerClasses, &UnregisterFilerClasses};
    TUnitScope FScope{&FUnit};
};

const std::wstring WideText = L"W\u00FCrde \u263A \u4E2D";

// The tree the golden file holds, built in code as the product builds
// its forms.
TFlForm* BuildForm() {
    TFlForm* form = TFlForm::Create(nullptr);
    TFormLoadScope scope(form);
    form->SetName("MainForm");
    form->SetCaption("Main");
    form->SetWidth(640);
    form->SetCaptionW(WideText);

    auto* panel = TFlControl::Create(form);
    panel->SetName("Panel1");
    panel->SetParent(form);
    panel->SetAlign(flaClient);
    panel->SetAnchors({flakLeft, flakTop, flakRight, flakBottom});
    panel->SetColor(0x0000FF);  // has a name
    panel->GetFont()->SetName("Arial");
    panel->GetFont()->SetSize(10);
    panel->Lines = {"first", "second"};
    auto* item = static_cast<TFlItem*>(panel->GetItems()->Add());
    item->SetCaption("One");
    item->SetValue(1);
    item = static_cast<TFlItem*>(panel->GetItems()->Add());
    item->SetCaptionW(L"Zwei \u00E4");
    item->SetValue(-300);

    auto* button = TFlControl::Create(form);
    button->SetName("Button1");
    button->SetParent(panel);
    button->SetCaption(std::string(300, 'x'));  // a long string
    button->SetVisible(false);
    button->SetColor(0x123456);  // no name
    button->SetWidth(-70000);
    button->SetSize64(int64_t(1) << 40);
    button->SetRatio(1.5);
    button->SetAccel('O');
    button->SetHotkey(wchar_t(0x263A));
    button->Data = {0, 1, 2, char(255)};
    scope.AddReference(button, "Link", "Timer1");  // created below

    auto* timer = TFlTimer::Create(form);
    timer->SetName("Timer1");
    timer->SetInterval(250);
    timer->SetEnabled(false);
    form->SetLink(button);
    scope.Finish();
    return form;
}

std::vector<char> Bytes(TMemoryStream& stream) {
    auto* p = static_cast<const char*>(stream.GetMemory());
    return std::vector<char>(p, p + stream.GetSize());
}

std::vector<char> Write(TComponent* root) {
    TMemoryStream stream;
    WriteComponentToStream(stream, root);
    return Bytes(stream);
}

TComponent* Read(const std::vector<char>& bytes, TComponent* root = nullptr) {
    TMemoryStream stream;
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    stream.SetPosition(0);
    return ReadComponentFromStream(stream, root);
}

std::string GoldenPath() { return qelvo::test::TestDataDir() + "filer/form.bin"; }

} // namespace

TEST_F(FilerTest, GoldenFileRoundTrip) {
    LoadLog.clear();
    TFlForm* built = BuildForm();
    // Built in code: Loaded in creation order, once everything is linked.
    EXPECT_EQ(LoadLog, (std::vector<std::string>{"MainForm", "Panel1", "Button1", "Timer1"}));
    auto* builtButton = static_cast<TFlControl*>(built->FindComponent("Button1"));
    EXPECT_TRUE(builtButton->LoadingWhenLoaded);
    EXPECT_TRUE(builtButton->LinkSetWhenLoaded);
    EXPECT_FALSE(builtButton->GetComponentState().Contains(csLoading));

    std::vector<char> written = Write(built);
    if (std::getenv("QELVO_UPDATE_GOLDEN")) {
        TMemoryStream out;
        out.WriteBuffer(written.data(), static_cast<int32_t>(written.size()));
        out.SaveToFile(GoldenPath());
    }
    TMemoryStream golden;
    golden.LoadFromFile(GoldenPath());
    ASSERT_EQ(written, Bytes(golden)) << "the writer's output differs from " << GoldenPath();

    // Read into fresh instances created by class name.
    LoadLog.clear();
    TComponent* root = Read(written);
    ASSERT_EQ(root->ClassType(), TFlForm::StaticClass());
    EXPECT_EQ(LoadLog, (std::vector<std::string>{"MainForm", "Panel1", "Button1", "Timer1"}));
    auto* form = static_cast<TFlForm*>(root);
    EXPECT_EQ(form->GetName(), "MainForm");
    EXPECT_EQ(form->GetCaption(), "Main");
    EXPECT_EQ(form->GetWidth(), 640);
    EXPECT_EQ(form->GetCaptionW(), WideText);
    ASSERT_EQ(form->GetComponentCount(), 3);

    auto* panel = dynamic_cast<TFlControl*>(form->FindComponent("Panel1"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->GetParent(), form);
    EXPECT_EQ(panel->GetAlign(), flaClient);
    EXPECT_EQ(panel->GetAnchors(), (TFlAnchors{flakLeft, flakTop, flakRight, flakBottom}));
    EXPECT_EQ(panel->GetColor(), 0x0000FF);
    EXPECT_EQ(panel->GetFont()->GetName(), "Arial");
    EXPECT_EQ(panel->GetFont()->GetSize(), 10);
    EXPECT_EQ(panel->Lines, (std::vector<std::string>{"first", "second"}));
    ASSERT_EQ(panel->GetItems()->GetCount(), 2);
    auto* item0 = static_cast<TFlItem*>(panel->GetItems()->GetItems(0));
    auto* item1 = static_cast<TFlItem*>(panel->GetItems()->GetItems(1));
    EXPECT_EQ(item0->GetCaption(), "One");
    EXPECT_EQ(item0->GetValue(), 1);
    EXPECT_EQ(item1->GetCaptionW(), L"Zwei \u00E4");
    EXPECT_EQ(item1->GetValue(), -300);
    EXPECT_TRUE(panel->GetVisible());

    auto* button = dynamic_cast<TFlControl*>(form->FindComponent("Button1"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetParent(), panel);
    EXPECT_EQ(button->GetCaption(), std::string(300, 'x'));
    EXPECT_FALSE(button->GetVisible());
    EXPECT_EQ(button->GetColor(), 0x123456);
    EXPECT_EQ(button->GetWidth(), -70000);
    EXPECT_EQ(button->GetSize64(), int64_t(1) << 40);
    EXPECT_EQ(button->GetRatio(), 1.5);
    EXPECT_EQ(button->GetAccel(), 'O');
    EXPECT_EQ(button->GetHotkey(), wchar_t(0x263A));
    EXPECT_EQ(button->Data, (std::vector<char>{0, 1, 2, char(255)}));
    auto* timer = dynamic_cast<TFlTimer*>(form->FindComponent("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->GetInterval(), 250);
    EXPECT_FALSE(timer->GetEnabled());
    // The forward reference was fixed up before Loaded ran.
    EXPECT_EQ(button->GetLink(), timer);
    EXPECT_TRUE(button->LinkSetWhenLoaded);
    EXPECT_TRUE(button->LoadingWhenLoaded);
    EXPECT_EQ(form->GetLink(), button);
    for (int i = 0; i < form->GetComponentCount(); ++i)
        EXPECT_TRUE(form->GetComponents(i)->GetComponentState().Empty());

    // Written again: the same bytes.
    EXPECT_EQ(Write(form), written);

    // Read into an existing root: the values go into it.
    TFlForm* existing = TFlForm::Create(nullptr);
    EXPECT_EQ(Read(written, existing), existing);
    EXPECT_EQ(existing->GetName(), "MainForm");
    EXPECT_EQ(existing->GetComponentCount(), 3);
    EXPECT_EQ(Write(existing), written);

    // A descendant writes only what differs from its ancestor.
    TMemoryStream delta;
    TWriter writer(delta);
    existing->SetWidth(641);
    writer.WriteDescendent(existing, form);
    std::vector<char> d = Bytes(delta);
    std::string deltaText(d.begin(), d.end());
    EXPECT_NE(deltaText.find("Width"), std::string::npos);
    for (const char* same : {"xxxx", "Interval", "Anchors", "Arial"})
        EXPECT_EQ(deltaText.find(same), std::string::npos) << same;

    existing->Free();
    form->Free();
    built->Free();
}

TEST_F(FilerTest, PropertyNamesOfEveryLengthReadBack) {
    // Between properties the reader peeks for the end of the list; the byte
    // it sees is a name length, which need not be a known value kind.
    TFlTimer* timer = TFlTimer::Create(nullptr);
    timer->SetName("Timer1");
    timer->SetInterval(5);
    timer->SetIntervalBetweenTicks(77);
    std::vector<char> written = Write(timer);
    Free(timer);
    TComponent* root = Read(written);
    auto* back = dynamic_cast<TFlTimer*>(root);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetInterval(), 5);
    EXPECT_EQ(back->GetIntervalBetweenTicks(), 77);
    Free(root);
}

TEST_F(FilerTest, CorruptStreamsRaiseReadErrors) {
    TFlForm* built = BuildForm();
    std::vector<char> good = Write(built);
    built->Free();

    // Every truncation fails cleanly and leaves nothing behind.
    for (size_t n = 0; n < good.size(); ++n) {
        std::vector<char> cut(good.begin(), good.begin() + n);
        EXPECT_THROW(Read(cut), EReadError) << "length " << n;
    }
    // Any single corrupted byte: a value or a read error, never a crash.
    for (size_t i = 0; i < good.size(); ++i) {
        std::vector<char> bad = good;
        bad[i] = static_cast<char>(bad[i] ^ 0xA5);
        try {
            Free(Read(bad));
        } catch (const EReadError&) {
        }
    }

    auto craft = [](auto body) {
        TMemoryStream stream;
        stream.WriteBuffer("GCF0", 4);
        TWriter writer(stream);
        writer.WriteStr("TFlTimer");
        writer.WriteStr("T");
        body(writer);
        return Bytes(stream);
    };
    auto message = [](const std::vector<char>& bytes) {
        try {
            Free(Read(bytes));
        } catch (const EReadError& e) {
            return e.GetMessage();
        }
        return std::string("no error");
    };
    EXPECT_EQ(message(craft([](TWriter& w) {
                  w.WriteStr("Interval");
                  w.WriteValue(static_cast<TValueType>(42));
              })),
              "Invalid property value");
    EXPECT_EQ(message(craft([](TWriter& w) {
                  w.WriteStr("Interval");
                  w.WriteString("ten");
              })),
              "Invalid property value");
    EXPECT_EQ(message(craft([](TWriter& w) {
                  w.WriteStr("Colour");
                  w.WriteInteger(1);
              })),
              "Property T.Colour does not exist");
    EXPECT_EQ(message(craft([](TWriter& w) {
                  w.WriteListEnd();
                  w.WriteStr("TNoSuchClass");
                  w.WriteStr("X");
              })),
              "Class TNoSuchClass not found");
    EXPECT_EQ(message(craft([](TWriter& w) {  // a huge length
                  w.WriteStr("Name");
                  w.WriteValue(vaLString);
                  int32_t size = 0x7FFFFFF0;
                  w.GetStream().WriteBuffer(&size, 4);
              })),
              "Stream read error");
    std::vector<char> wrongSignature = good;
    wrongSignature[0] = 'X';
    EXPECT_EQ(message(wrongSignature), "Invalid stream format");
    EXPECT_EQ(message(craft([](TWriter& w) {  // children nested beyond reason
                  w.WriteListEnd();
                  for (int i = 0; i < 300; ++i) {
                      w.WriteStr("TFlTimer");
                      w.WriteStr("T" + std::to_string(i));
                      w.WriteListEnd();
                  }
              })),
              "Stream nested too deeply");
}
