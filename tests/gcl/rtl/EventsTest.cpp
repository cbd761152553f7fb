#include "gcl/rtl/Events.h"

#include <gtest/gtest.h>

#include "gcl/rtl/Objects.h"

using namespace gcl;

namespace {

class TBase {
public:
    virtual ~TBase() = default;
    void Click(TObject*) { ++Clicks; }
    virtual void Virtual(TObject*) { Last = "base"; }
    int Count() const { return Clicks; }
    int Clicks = 0;
    std::string Last;
};

class TSecondBase {
public:
    virtual ~TSecondBase() = default;
    void Other(TObject*) { ++Others; }
    int Others = 0;
};

class TDerived : public TBase, public TSecondBase {
public:
    void Virtual(TObject*) override { Last = "derived"; }
    void Key(TObject*, uint16_t& key, TShiftState shift) {
        if (shift.Contains(ssCtrl)) key = 0;
    }
};

int FreeCalls = 0;
void FreeHandler(TObject*) { ++FreeCalls; }
void OtherFreeHandler(TObject*) {}

} // namespace

TEST(Events, DelegatesCompareByIdentity) {
    TDerived a, b;
    TNotifyEvent nil;
    EXPECT_FALSE(nil.Assigned());
    EXPECT_FALSE(nil);
    EXPECT_EQ(nil, TNotifyEvent(nullptr));
    nil(nullptr);  // calling an unassigned event does nothing

    TNotifyEvent click(&a, &TBase::Click);
    TNotifyEvent again(&a, &TDerived::Click);
    EXPECT_TRUE(click.Assigned());
    EXPECT_EQ(click, again);                              // same object, same method
    EXPECT_NE(click, TNotifyEvent(&b, &TBase::Click));    // another object
    EXPECT_NE(click, TNotifyEvent(&a, &TBase::Virtual));  // another method
    EXPECT_NE(click, nil);
    EXPECT_EQ(click.GetData(), static_cast<TBase*>(&a));

    TNotifyEvent copy = click;  // copyable and re-assignable
    copy(nullptr);
    click(nullptr);
    EXPECT_EQ(a.Clicks, 2);
    copy = TNotifyEvent(&b, &TBase::Click);
    copy(nullptr);
    EXPECT_EQ(b.Clicks, 1);

    // Virtual methods dispatch on the object; a second base is adjusted.
    TNotifyEvent virt(&a, &TBase::Virtual);
    virt(nullptr);
    EXPECT_EQ(a.Last, "derived");
    TNotifyEvent other(&a, &TSecondBase::Other);
    other(nullptr);
    EXPECT_EQ(a.Others, 1);
    EXPECT_EQ(other, TNotifyEvent(&a, &TDerived::Other));

    // Free functions.
    TNotifyEvent f(&FreeHandler);
    f(nullptr);
    EXPECT_EQ(FreeCalls, 1);
    EXPECT_EQ(f, TNotifyEvent(&FreeHandler));
    EXPECT_NE(f, TNotifyEvent(&OtherFreeHandler));
    EXPECT_EQ(f.GetData(), nullptr);

    // Reference parameters and results pass through.
    TKeyEvent key(&a, &TDerived::Key);
    uint16_t k = 65;
    key(nullptr, k, TShiftState{ssCtrl});
    EXPECT_EQ(k, 0);
    TEvent<int()> count(&a, &TBase::Count);
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(TEvent<int()>()(), 0);

    // The type-erased form round-trips.
    EXPECT_EQ(TNotifyEvent::FromMethod(click.Method()), click);
    static_assert(sizeof(TNotifyEvent) == sizeof(void*) * 4);
}
