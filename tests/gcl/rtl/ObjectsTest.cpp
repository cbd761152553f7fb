#ifdef _WIN32
#include <unknwn.h>  // first: its RegisterClass macro then renames gcl's consistently
#endif

#include "gcl/rtl/Objects.h"

#include <gtest/gtest.h>

#include <cstring>

#include <string>
#include <vector>

#include "gcl/rtl/Components.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/Interfaces.h"
#include "gcl/rtl/Sets.h"

using namespace gcl;

namespace {

std::vector<std::string> Trace;

class TShape : public TObject {
    GCL_CLASS(TShape, TObject)
public:
    TShape() = default;
    void AfterConstruction() override { Trace.push_back("TShape.AfterConstruction " + ClassName()); }
    virtual std::string Kind() const { return "shape"; }
};
GCL_IMPLEMENT_CLASS(TShape)

class TCircle : public TShape {
    GCL_CLASS(TCircle, TShape)
public:
    TCircle() = default;
    void AfterConstruction() override {
        inherited::AfterConstruction();
        FReady = true;
    }
    void BeforeDestruction() noexcept override { Trace.push_back("TCircle.BeforeDestruction"); }
    std::string Kind() const override { return FReady ? "circle" : "unfinished"; }
    // Inside members, Free(p) reaches the null-safe static form.
    static void Release(TShape* shape) { Free(shape); }

private:
    bool FReady = false;
};
GCL_IMPLEMENT_CLASS(TCircle)

class TAbstractShape : public TShape {
    GCL_CLASS(TAbstractShape, TShape)
public:
    virtual void Draw() = 0;
};
GCL_IMPLEMENT_CLASS(TAbstractShape)

// A component whose construction finishes in AfterConstruction, to check
// that creation by class name reaches the derived override.
class TObjTestWidget : public TComponent {
    GCL_CLASS(TObjTestWidget, TComponent)
public:
    void AfterConstruction() override {
        inherited::AfterConstruction();
        FSetUp = ClassName();
    }
    std::string FSetUp;

protected:
    using TComponent::TComponent;
};
GCL_IMPLEMENT_CLASS(TObjTestWidget)

class TObjTestFancyWidget : public TObjTestWidget {
    GCL_CLASS(TObjTestFancyWidget, TObjTestWidget)
protected:
    using TObjTestWidget::TObjTestWidget;
};
GCL_IMPLEMENT_CLASS(TObjTestFancyWidget)

constexpr uint32_t WM_TEST_PING = 0x538;
constexpr uint32_t WM_TEST_ANSWER = 0x4EE;

// A plain object receiving messages, as themes do.
class TListener : public TObject {
    GCL_CLASS(TListener, TObject)
public:
    TListener() = default;
    void Dispatch(TMessage& message) override {
        switch (message.Msg) {
        case WM_TEST_PING:
            ++Pings;
            break;
        case WM_TEST_ANSWER:
            message.WParam = 0x00FF00;  // answers in WParam
            message.Result = 1;
            break;
        default:
            inherited::Dispatch(message);
        }
    }
    void DefaultHandler(TMessage& message) override { Unhandled.push_back(message.Msg); }
    int Pings = 0;
    std::vector<uint32_t> Unhandled;
};
GCL_IMPLEMENT_CLASS(TListener)

class TPoint3 : public TPersistent {
    GCL_CLASS(TPoint3, TPersistent)
public:
    TPoint3() = default;
    void Assign(TPersistent* source) override {
        if (auto* p = dynamic_cast<TPoint3*>(source)) {
            X = p->X;
            return;
        }
        inherited::Assign(source);
    }
    int X = 0;
};
GCL_IMPLEMENT_CLASS(TPoint3)

} // namespace

TEST(Objects, MetaclassesAndCasts) {
    TCircle circle;
    TShape shape;
    EXPECT_EQ(circle.ClassName(), "TCircle");
    EXPECT_EQ(circle.ClassType(), TCircle::StaticClass());
    EXPECT_EQ(circle.ClassParent(), TShape::StaticClass());
    EXPECT_EQ(TShape::StaticClass()->ClassParent(), TObject::StaticClass());
    EXPECT_EQ(TObject::StaticClass()->ClassParent(), nullptr);
    EXPECT_TRUE(circle.InheritsFrom(TShape::StaticClass()));
    EXPECT_TRUE(circle.InheritsFrom(TObject::StaticClass()));
    EXPECT_FALSE(shape.InheritsFrom(TCircle::StaticClass()));
    // Exact-class equality is metaclass identity.
    EXPECT_NE(circle.ClassType(), shape.ClassType());
    EXPECT_EQ(TPersistent::StaticClass()->ClassName(), "TPersistent");

    TObject* obj = &circle;
    EXPECT_TRUE(is<TShape>(obj));
    EXPECT_FALSE(is<TListener>(obj));
    EXPECT_FALSE(is<TShape>(static_cast<TObject*>(nullptr)));
    EXPECT_EQ(as<TShape>(obj), &circle);
    EXPECT_EQ(as<TShape>(static_cast<TObject*>(nullptr)), nullptr);
    try {
        as<TListener>(obj);
        FAIL() << "as<> of a foreign class must raise";
    } catch (const EInvalidCast& e) {
        EXPECT_EQ(e.GetMessage(), "Invalid class typecast");
    }
}

TEST(Objects, TwoPhaseCreationAndFree) {
    Trace.clear();
    // Create runs the constructor, then the most derived AfterConstruction.
    TShape* shape = TCircle::Create();
    EXPECT_EQ(shape->Kind(), "circle");
    EXPECT_EQ(Trace, std::vector<std::string>{"TShape.AfterConstruction TCircle"});
    Free(shape);
    EXPECT_EQ(Trace.back(), "TCircle.BeforeDestruction");
    Free(nullptr);  // null-safe
    TCircle::Release(nullptr);
    TCircle::Release(TCircle::Create());

    // The metaclass creates instances of the class it stands for.
    TClass cls = TCircle::StaticClass();
    TObject* made = cls->NewInstance();
    EXPECT_EQ(made->ClassType(), cls);
    EXPECT_EQ(static_cast<TShape*>(made)->Kind(), "circle");
    TShape* nulled = static_cast<TShape*>(made);
    FreeAndNil(nulled);
    EXPECT_EQ(nulled, nullptr);

    EXPECT_FALSE(TAbstractShape::StaticClass()->CanCreate());
    EXPECT_THROW(TAbstractShape::StaticClass()->NewInstance(), EInvalidOperation);
    // Components have no default constructor: their factory takes the owner.
    EXPECT_FALSE(TComponent::StaticClass()->TMetaClass::CanCreate());
    EXPECT_TRUE(TComponent::StaticClass()->CanCreate());
}

TEST(Objects, RegistryAndVirtualConstruction) {
    TUnit unit{"ObjectsTest",
               [] { RegisterClasses({TObjTestWidget::StaticClass(), TObjTestFancyWidget::StaticClass()}); },
               [] {
                   UnRegisterClass(TObjTestWidget::StaticClass());
                   UnRegisterClass(TObjTestFancyWidget::StaticClass());
               }};
    TUnitScope scope{&unit};

    EXPECT_EQ(GetClass("tobjtestfancywidget"), TObjTestFancyWidget::StaticClass());
    EXPECT_EQ(GetClass("TNoSuchClass"), nullptr);
    try {
        FindClass("TNoSuchClass");
        FAIL();
    } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.GetMessage(), "Class TNoSuchClass not found");
    }
    RegisterClass(TObjTestWidget::StaticClass());  // again: no effect

    // A class reference found by name creates the derived class, and the
    // derived AfterConstruction runs.
    TComponent* owner = TComponent::Create(nullptr);
    TComponentClass cls = AsComponentClass(FindClass("TObjTestFancyWidget"));
    TComponent* widget = cls->Create(owner);
    EXPECT_EQ(widget->ClassType(), TObjTestFancyWidget::StaticClass());
    EXPECT_EQ(widget->GetOwner(), owner);
    EXPECT_EQ(static_cast<TObjTestWidget*>(widget)->FSetUp, "TObjTestFancyWidget");
    EXPECT_THROW(AsComponentClass(TCircle::StaticClass()), EInvalidCast);
    owner->Free();
}

TEST(Objects, MessageDispatchToPlainObjects) {
    TListener listener;
    TMessage ping{WM_TEST_PING, 0, 0, 0};
    listener.Dispatch(ping);
    TMessage ask{WM_TEST_ANSWER, 0, 0, 0};
    listener.Dispatch(ask);
    EXPECT_EQ(ask.WParam, 0x00FF00u);
    EXPECT_EQ(ask.Result, 1);
    TMessage other{0x1234, 0, 0, 0};
    listener.Dispatch(other);
    EXPECT_EQ(listener.Pings, 1);
    EXPECT_EQ(listener.Unhandled, std::vector<uint32_t>{0x1234});

    // Typed views read and write the message itself.
    TMessage key{0x100, 'A', 0x001E0001, 0};
    TWMKey view(key);
    EXPECT_EQ(view.GetCharCode(), 'A');
    EXPECT_EQ(view.GetKeyData(), 0x001E0001);
    view.SetCharCode(0);
    EXPECT_EQ(key.WParam, 0u);
    TMessage mouse{0x201, 1, static_cast<intptr_t>(uint32_t(0xFFFE0010)), 0};  // x = 16, y = -2
    EXPECT_EQ(TWMMouse(mouse).GetXPos(), 16);
    EXPECT_EQ(TWMMouse(mouse).GetYPos(), -2);
    EXPECT_EQ(TWMMouse(mouse).GetKeys(), 1u);
}

TEST(Objects, PersistentAssign) {
    TPoint3 a, b;
    a.X = 7;
    b.Assign(&a);
    EXPECT_EQ(b.X, 7);
    TPersistent plain;
    try {
        b.Assign(&plain);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.GetMessage(), "Cannot assign a TPersistent to a TPoint3");
    }
    try {
        plain.Assign(nullptr);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.GetMessage(), "Cannot assign a nil to a TPersistent");
    }
    EXPECT_EQ(b.GetNamePath(), "TPoint3");
}

namespace {

GCL_ENUM(TFlavour, flSweet, flSour, flBitter, flSalty)
using TFlavours = TSet<TFlavour>;
GCL_ENUM(TWide, w00, w01, w02, w03, w04, w05, w06, w07, w08, w09, w10, w11, w12, w13, w14, w15, w16,
         w17, w18, w19, w20, w21, w22, w23, w24, w25, w26, w27, w28, w29, w30, w31, w32, w33)

} // namespace

TEST(Objects, NamedEnumsAndSets) {
    EXPECT_EQ(GetEnumName(flBitter), "flBitter");
    EXPECT_EQ(EnumInfo<TFlavour>().Value("FLSOUR"), 1);
    EXPECT_EQ(EnumInfo<TFlavour>().Value("flUmami"), -1);
    EXPECT_EQ(EnumInfo<TFlavour>().Name(9), "");
    EXPECT_EQ(EnumInfo<bool>().Name(1), "True");

    TFlavours s{flSweet, flSalty};
    EXPECT_TRUE(s.Contains(flSalty));
    EXPECT_FALSE(s.Contains(flSour));
    s.Include(flSour).Exclude(flSweet);
    EXPECT_EQ(s, (TFlavours{flSour, flSalty}));
    EXPECT_EQ((s | TFlavours{flBitter}).Mask(), 0b1110u);
    EXPECT_EQ((s & TFlavours{flSour, flSweet}), TFlavours{flSour});
    EXPECT_EQ((s - TFlavours{flSour}), TFlavours{flSalty});
    EXPECT_TRUE(TFlavours{}.Empty());
    EXPECT_EQ(TFlavours::FromMask(0xFF).Mask(), 0xFu);  // bits past the enum dropped
    EXPECT_EQ(SetToString(s), "[flSour,flSalty]");
    EXPECT_FALSE(s.Contains(static_cast<TFlavour>(40)));

    static_assert(sizeof(TFlavours) == 4 && sizeof(TSet<TWide>) == 8);
    TSet<TWide> wide{w33, w00};
    EXPECT_EQ(wide.Mask(), (uint64_t(1) << 33) | 1);
    EXPECT_EQ(TShiftState({ssShift, ssCtrl}).Mask(), 0b101u);
}

namespace {

struct IGreeter : gcl::IUnknown {
    static constexpr TGUID IID = StringToGUID("{59D0AE37-8B9C-4C06-A36D-1F3C2B3C4D5E}");
    virtual int GCL_STDCALL Greet() = 0;
};
struct ICounter : gcl::IUnknown {
    static constexpr TGUID IID = StringToGUID("{C1801F41-0000-4000-8000-000000000001}");
    virtual int GCL_STDCALL Count() = 0;
};

int FreedGreeters = 0;

class TGreeter : public TInterfacedObject, public IGreeter {
    GCL_CLASS(TGreeter, TInterfacedObject)
public:
    TGreeter() = default;
    GCL_IUNKNOWN
    bool GetInterface(const TGUID& iid, void** out) override {
        return QueryInterfaces<IGreeter>(this, iid, out) || inherited::GetInterface(iid, out);
    }
    int GCL_STDCALL Greet() override { return 42; }
    void BeforeDestruction() noexcept override { ++FreedGreeters; }
};
GCL_IMPLEMENT_CLASS(TGreeter)

class TCountingComponent : public TComponent, public IGreeter, public ICounter {
    GCL_CLASS(TCountingComponent, TComponent)
public:
    GCL_IUNKNOWN
    bool GetInterface(const TGUID& iid, void** out) override {
        return QueryInterfaces<IGreeter, ICounter>(this, iid, out) || inherited::GetInterface(iid, out);
    }
    int GCL_STDCALL Greet() override { return 1; }
    int GCL_STDCALL Count() override { return 2; }

protected:
    using TComponent::TComponent;
};
GCL_IMPLEMENT_CLASS(TCountingComponent)

} // namespace

TEST(Objects, InterfacesAndReferenceCounting) {
    constexpr TGUID g = StringToGUID("{E45CBE74-1234-5678-9ABC-DEF012345678}");
    static_assert(g.D1 == 0xE45CBE74 && g.D2 == 0x1234 && g.D4[0] == 0x9A && g.D4[7] == 0x78);
    EXPECT_EQ(GUIDToString(g), "{E45CBE74-1234-5678-9ABC-DEF012345678}");
    EXPECT_EQ(StringToGUID("{e45cbe74-1234-5678-9abc-def012345678}"), g);
    EXPECT_THROW(StringToGUID("E45CBE74-1234-5678-9ABC-DEF012345678"), EConvertError);
    EXPECT_THROW(StringToGUID("{E45CBE74-1234-5678-9ABC-DEF01234567G}"), EConvertError);
    EXPECT_EQ(GUIDToString(gcl::IUnknown::IID), "{00000000-0000-0000-C000-000000000046}");

    FreedGreeters = 0;
    TGreeter* greeter = TGreeter::Create();
    EXPECT_EQ(greeter->GetRefCount(), 0);  // starts at 0
    {
        ComPtr<IGreeter> g1;
        ASSERT_TRUE(Supports(greeter, g1));
        EXPECT_EQ(g1->Greet(), 42);
        EXPECT_EQ(greeter->GetRefCount(), 1);
        ComPtr<IGreeter> g2 = g1;
        EXPECT_EQ(greeter->GetRefCount(), 2);
        ComPtr<gcl::IUnknown> unk;
        EXPECT_TRUE(Supports(static_cast<gcl::IUnknown*>(g2.Get()), unk));
        EXPECT_EQ(greeter->GetRefCount(), 3);
        ComPtr<ICounter> none;
        EXPECT_FALSE(Supports(greeter, none));
        EXPECT_FALSE(none);
    }
    EXPECT_EQ(FreedGreeters, 1);  // the last Release freed it

    // Components answer interfaces but are not counted.
    TComponent* comp = TCountingComponent::Create(nullptr);
    EXPECT_TRUE(Supports(comp, ICounter::IID));
    ComPtr<ICounter> counter;
    ASSERT_TRUE(Supports(comp, counter));
    EXPECT_EQ(counter->Count(), 2);
    EXPECT_EQ(counter->AddRef(), static_cast<ULONG>(-1));
    EXPECT_EQ(counter->Release(), static_cast<ULONG>(-1));
    counter.Reset();
    EXPECT_FALSE(Supports(static_cast<TComponent*>(nullptr), ICounter::IID));
    comp->Free();
}

#ifdef _WIN32
// Our interfaces are called through the system's IUnknown declaration.
TEST(Objects, InterfaceLayoutMatchesWin32) {
    static_assert(sizeof(TGUID) == sizeof(::GUID));
    TGreeter* greeter = TGreeter::Create();
    ::IUnknown* sys = reinterpret_cast<::IUnknown*>(static_cast<IGreeter*>(greeter));
    EXPECT_EQ(sys->AddRef(), 1u);
    ::IID iid;
    std::memcpy(&iid, &IGreeter::IID, sizeof iid);
    void* out = nullptr;
    ASSERT_EQ(sys->QueryInterface(iid, &out), S_OK);
    EXPECT_EQ(static_cast<IGreeter*>(out)->Greet(), 42);
    EXPECT_EQ(sys->QueryInterface(IID_IDispatch, &out), E_NOINTERFACE);
    EXPECT_EQ(sys->Release(), 1u);
    FreedGreeters = 0;
    EXPECT_EQ(sys->Release(), 0u);
    EXPECT_EQ(FreedGreeters, 1);
}
#endif

TEST(Objects, UnitTableOrder) {
    static std::vector<std::string> log;
    log.clear();
    TUnit a{"A", [] { log.push_back("init A"); }, [] { log.push_back("fini A"); }};
    TUnit b{"B", [] { log.push_back("init B"); }, [] { log.push_back("fini B"); }};
    TUnit c{"C", [] { log.push_back("init C"); }, [] { log.push_back("fini C"); }};
    {
        TUnitScope outer{&a, &b};
        {
            TUnitScope inner{&b, &c};  // B already running: counted, not rerun
            EXPECT_EQ(b.InitCount(), 2);
        }
        EXPECT_EQ(c.InitCount(), 0);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"init A", "init B", "init C", "fini C", "fini B", "fini A"}));

    // A failing unit unwinds the ones already initialised.
    log.clear();
    TUnit bad{"Bad", [] { throw EInvalidOperation("no"); }};
    EXPECT_THROW(TUnitScope({&a, &b, &bad, &c}), EInvalidOperation);
    EXPECT_EQ(log, (std::vector<std::string>{"init A", "init B", "fini B", "fini A"}));
    EXPECT_EQ(a.InitCount(), 0);

    // Started hears of each unit once it runs; when it raises, the unit it
    // heard of is wound down with the others.
    log.clear();
    {
        const TUnitStarted started = [](const char* name) { log.push_back(std::string("started ") + name); };
        TUnitScope scope(std::vector<TUnit*>{&a, &b}, started);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"init A", "started A", "init B", "started B", "fini B", "fini A"}));
    log.clear();
    EXPECT_THROW(InitializeUnits({&a, &b}, [](const char* name) {
                     if (std::string(name) == "B") throw EInvalidOperation("no");
                 }),
                 EInvalidOperation);
    EXPECT_EQ(log, (std::vector<std::string>{"init A", "init B", "fini B", "fini A"}));
    EXPECT_EQ(b.InitCount(), 0);
}
