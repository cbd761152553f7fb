#include "gcl/rtl/TypInfo.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gcl/rtl/Collections.h"
#include "gcl/rtl/Components.h"
#include "gcl/rtl/Init.h"

using namespace gcl;

namespace {

GCL_ENUM(TTiAlign, taNone, taLeft, taRight)
GCL_ENUM(TTiOption, toA, toB, toC)
using TTiOptions = TSet<TTiOption>;

const TIdentMapEntry ColourEntries[] = {{0x0000FF, "clRed"}, {0, "clBlack"}};
const TIdentMap ColourIdents{ColourEntries, 2};

class TTiFont : public TPersistent {
    GCL_CLASS(TTiFont, TPersistent)
public:
    TTiFont() = default;
    int GetSize() const { return FSize; }
    void SetSize(int value) { FSize = value; }

private:
    int FSize = 8;
};
GCL_PUBLISHED(TTiFont, GCL_PROP(Size).Default(8))

class TTiControl : public TComponent {
    GCL_CLASS(TTiControl, TComponent)
public:
    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    TTiAlign GetAlign() const { return FAlign; }
    void SetAlign(TTiAlign v) { FAlign = v; }
    TTiOptions GetOptions() const { return FOptions; }
    void SetOptions(TTiOptions v) { FOptions = v; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool v) { FEnabled = v; }
    int GetWidth() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    double GetRatio() const { return FRatio; }
    void SetRatio(double v) { FRatio = v; }
    char GetAccel() const { return FAccel; }
    void SetAccel(char v) { FAccel = v; }
    wchar_t GetAccelW() const { return FAccelW; }
    void SetAccelW(wchar_t v) { FAccelW = v; }
    const std::wstring& GetHintW() const { return FHintW; }
    void SetHintW(const std::wstring& v) { FHintW = v; }
    int GetColor() const { return FColor; }
    void SetColor(int v) { FColor = v; }
    TTiFont* GetFont() const { return FFont.get(); }
    TComponent* GetLink() const { return FLink; }
    void SetLink(TComponent* v) { FLink = v; }
    TNotifyEvent GetOnClick() const { return FOnClick; }
    void SetOnClick(TNotifyEvent v) { FOnClick = v; }
    const std::string& GetHint() const { return FHint; }
    void SetHint(const std::string& v) { FHint = v; }

    void Clicked(TObject*) {}

protected:
    explicit TTiControl(TComponent* owner) : TComponent(owner), FFont(std::make_unique<TTiFont>()) {}
    bool IsHintStored() const { return FHint != "auto"; }

private:
    std::string FCaption;
    TTiAlign FAlign = taLeft;
    TTiOptions FOptions{toA};
    bool FEnabled = true;
    int FWidth = 10;
    double FRatio = 0;
    char FAccel = 0;
    wchar_t FAccelW = 0;
    std::wstring FHintW;
    int FColor = 0x0000FF;
    std::unique_ptr<TTiFont> FFont;
    TComponentRef<TComponent> FLink;
    TNotifyEvent FOnClick;
    std::string FHint;
};
GCL_PUBLISHED(TTiControl,
    GCL_PROP(Caption),
    GCL_PROP(Align).Default(taLeft),
    GCL_PROP(Options).Default(TTiOptions{toA}),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(Width).Default(10),
    GCL_PROP(Ratio),
    GCL_PROP(Accel),
    GCL_PROP(AccelW),
    GCL_PROP(HintW),
    GCL_PROP(Color).Default(0x0000FF).Idents(ColourIdents),
    GCL_PROP_RO(Font),
    GCL_PROP(Link),
    GCL_PROP(OnClick),
    GCL_PROP(Hint).StoredBy<&TTiControl::IsHintStored>())

// Publishes Caption again as a wide string, and one more property.
class TTiWideControl : public TTiControl {
    GCL_CLASS(TTiWideControl, TTiControl)
public:
    const std::wstring& GetCaption() const { return FCaption; }
    void SetCaption(const std::wstring& v) { FCaption = v; }
    int GetExtra() const { return FExtra; }
    void SetExtra(int v) { FExtra = v; }

protected:
    using TTiControl::TTiControl;

private:
    std::wstring FCaption;
    int FExtra = 0;
};
GCL_PUBLISHED(TTiWideControl, GCL_PROP(Caption), GCL_PROP(Extra).NoDefault())

// A class whose declared default disagrees with its constructor.
class TTiWrongDefault : public TComponent {
    GCL_CLASS(TTiWrongDefault, TComponent)
public:
    int GetHeight() const { return 200; }
    void SetHeight(int) {}

protected:
    using TComponent::TComponent;
};
GCL_PUBLISHED(TTiWrongDefault, GCL_PROP(Height).Default(100))

std::vector<std::string> Names(const std::vector<const TPropInfo*>& list) {
    std::vector<std::string> result;
    for (const TPropInfo* info : list) result.push_back(info->Name());
    return result;
}

} // namespace

TEST(TypInfo, TablesInDeclarationOrderWithRepublishing) {
    std::vector<std::string> base = {"Name", "Tag", "Caption", "Align", "Options", "Enabled", "Width",
                                     "Ratio", "Accel", "AccelW", "HintW", "Color", "Font", "Link",
                                     "OnClick", "Hint"};
    EXPECT_EQ(Names(GetPropList(TTiControl::StaticClass())), base);
    base.push_back("Extra");
    EXPECT_EQ(Names(GetPropList(TTiWideControl::StaticClass())), base);

    const TPropInfo* caption = GetPropInfo(TTiControl::StaticClass(), "caption");
    const TPropInfo* wide = GetPropInfo(TTiWideControl::StaticClass(), "CAPTION");
    ASSERT_TRUE(caption && wide);
    EXPECT_EQ(caption->Kind(), tkString);
    EXPECT_EQ(wide->Kind(), tkWString);  // republished with another type, same place
    EXPECT_EQ(wide->Owner(), TTiWideControl::StaticClass());
    EXPECT_EQ(GetPropInfo(TTiControl::StaticClass(), "Extra"), nullptr);

    EXPECT_EQ(Names(GetPropList(TTiWideControl::StaticClass(), TTypeKinds{tkWString, tkWChar})),
              (std::vector<std::string>{"Caption", "AccelW", "HintW"}));
    EXPECT_EQ(Names(GetPropList(TTiControl::StaticClass(), TTypeKinds{tkClass, tkMethod})),
              (std::vector<std::string>{"Font", "Link", "OnClick"}));

    const TPropInfo* align = GetPropInfo(TTiControl::StaticClass(), "Align");
    EXPECT_EQ(align->Kind(), tkEnumeration);
    EXPECT_EQ(align->EnumInfo()->Name(2), "taRight");
    EXPECT_EQ(GetPropInfo(TTiControl::StaticClass(), "Options")->EnumInfo()->Name(1), "toB");
    EXPECT_EQ(GetPropInfo(TTiControl::StaticClass(), "Enabled")->EnumInfo(), &BooleanInfo);
    EXPECT_EQ(GetPropInfo(TTiControl::StaticClass(), "Font")->PropClass(), TTiFont::StaticClass());
    EXPECT_EQ(GetPropInfo(TTiControl::StaticClass(), "Accel")->Kind(), tkChar);
    EXPECT_EQ(GetPropInfo(TTiControl::StaticClass(), "Ratio")->Kind(), tkFloat);
    EXPECT_EQ(GetPropInfo(TTiControl::StaticClass(), "Width")->Kind(), tkInteger);
    EXPECT_FALSE(GetPropInfo(TTiControl::StaticClass(), "Ratio")->HasDefault());
    EXPECT_EQ(GetPropInfo(TTiControl::StaticClass(), "Tag")->GetDefault(), 0);

    std::string ident;
    int32_t value = 0;
    const TIdentMap* idents = GetPropInfo(TTiControl::StaticClass(), "Color")->GetIdents();
    ASSERT_NE(idents, nullptr);
    EXPECT_TRUE(idents->IntToIdent(0xFF, ident));
    EXPECT_EQ(ident, "clRed");
    EXPECT_TRUE(idents->IdentToInt("CLBLACK", value));
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(idents->IntToIdent(0x123456, ident));
}

TEST(TypInfo, ValuesDefaultsAndStoredPredicates) {
    TComponent* owner = TComponent::Create(nullptr);
    TTiControl* a = TTiControl::Create(owner);
    TTiControl* b = TTiControl::Create(owner);
    b->SetName("B");

    SetPropValue(a, "Caption", std::string("OK"));
    SetPropValue(a, "Align", int64_t(taRight));
    SetPropValue(a, "Options", int64_t(TTiOptions{toB, toC}.Mask()));
    SetPropValue(a, "Ratio", 2.5);
    SetPropValue(a, "AccelW", int64_t(0x263A));
    SetPropValue(a, "HintW", std::wstring(L"wide"));
    SetPropValue(a, "Link", static_cast<TObject*>(b));
    a->SetOnClick(TNotifyEvent(a, &TTiControl::Clicked));
    EXPECT_EQ(a->GetAlign(), taRight);
    EXPECT_EQ(a->GetOptions(), (TTiOptions{toB, toC}));
    EXPECT_EQ(a->GetAccelW(), wchar_t(0x263A));
    EXPECT_EQ(GetPropValue(a, "Link").AsObject(), b);

    // Reading every property of one instance and writing it to another.
    TTiControl* c = TTiControl::Create(owner);
    for (const TPropInfo* info : GetPropList(TTiControl::StaticClass()))
        if (!info->IsReadOnly() && info->Name() != "Name") info->SetValue(c, info->GetValue(a));
    EXPECT_EQ(c->GetCaption(), "OK");
    EXPECT_EQ(c->GetRatio(), 2.5);
    EXPECT_EQ(c->GetHintW(), L"wide");
    EXPECT_EQ(c->GetLink(), b);
    EXPECT_EQ(c->GetOnClick(), a->GetOnClick());

    // Defaults: ordinals against the declared default, the rest against empty.
    TTiControl* fresh = TTiControl::Create(owner);
    for (const TPropInfo* info : GetPropList(TTiControl::StaticClass())) {
        if (info->Name() == "Color") continue;
        bool expectDefault = info->Kind() != tkClass || info->Name() == "Link";
        if (info->Kind() == tkChar || info->Kind() == tkWChar) expectDefault = false;  // no default declared
        EXPECT_EQ(info->IsDefaultValue(fresh), expectDefault) << info->Name();
    }
    EXPECT_TRUE(GetPropInfo(fresh, "Color")->IsDefaultValue(fresh));
    EXPECT_FALSE(GetPropInfo(a, "Align")->IsDefaultValue(a));
    EXPECT_FALSE(GetPropInfo(a, "Name")->IsStored(a));
    const TPropInfo* hint = GetPropInfo(a, "Hint");
    EXPECT_TRUE(hint->IsStored(a));
    a->SetHint("auto");
    EXPECT_FALSE(hint->IsStored(a));

    // Errors.
    EXPECT_THROW(GetPropValue(a, "Missing"), EPropertyError);
    EXPECT_THROW(SetPropValue(a, "Font", static_cast<TObject*>(nullptr)), EPropertyError);  // read-only
    EXPECT_THROW(SetPropValue(a, "Width", std::string("wide")), EPropertyError);           // wrong kind
    EXPECT_THROW(SetPropValue(a, "Link", static_cast<TObject*>(a->GetFont())), EPropertyError);
    EXPECT_THROW(GetPropInfo(a, "Width")->GetValue(a->GetFont()), EPropertyError);  // wrong instance
    TEvent<void()> otherType;
    EXPECT_THROW(SetPropValue(a, "OnClick", TPropValue(otherType.Method(), &otherType)), EPropertyError);
    owner->Free();
}

// Every registered class: each published default equals what a fresh
// instance holds.
TEST(TypInfo, PublishedDefaultsMatchConstructors) {
    TUnit unit{"TypInfoTest",
               [] {
                   RegisterClasses({TComponent::StaticClass(), TTiControl::StaticClass(),
                                    TTiWideControl::StaticClass(), TTiFont::StaticClass()});
               },
               [] {
                   for (TClass cls : std::initializer_list<TClass>{
                            TComponent::StaticClass(), TTiControl::StaticClass(),
                            TTiWideControl::StaticClass(), TTiFont::StaticClass()})
                       UnRegisterClass(cls);
               }};
    TUnitScope scope{&unit};

    int checked = 0;
    for (TClass cls : RegisteredClasses()) {
        TObject* instance = nullptr;
        if (cls->InheritsFrom(TComponent::StaticClass())) {
            TComponentClass componentClass = AsComponentClass(cls);
            if (componentClass->CanCreate()) instance = componentClass->Create(nullptr);
        } else if (cls->CanCreate()) {
            instance = cls->NewInstance();
        }
        if (!instance) continue;
        EXPECT_EQ(CheckPublishedDefaults(instance), std::vector<std::string>{}) << cls->ClassName();
        instance->Free();
        ++checked;
    }
    EXPECT_GE(checked, 4);

    // The check finds a disagreement.
    TComponent* wrong = TTiWrongDefault::Create(nullptr);
    EXPECT_EQ(CheckPublishedDefaults(wrong),
              std::vector<std::string>{"TTiWrongDefault.Height: default 100, value 200"});
    wrong->Free();
}
