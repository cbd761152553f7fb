#include "gcl/rtl/Components.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace gcl;

namespace {

std::vector<std::string> Log;

// Records its destruction and the notifications it receives.
class TProbe : public TComponent {
    GCL_CLASS(TProbe, TComponent)
public:
    void BeforeDestruction() noexcept override {
        Log.push_back("free " + GetName() + (Destroying_() ? " (destroying)" : ""));
        inherited::BeforeDestruction();
    }
    TComponent* Watched = nullptr;  // cleared when it is removed
    bool FreeSelfOnRemoveOf = false;
    TComponent* Trigger = nullptr;

protected:
    using TComponent::TComponent;
    void Notification(TComponent* component, TOperation operation) override {
        inherited::Notification(component, operation);
        if (operation != opRemove) return;
        Log.push_back(GetName() + " hears " + component->GetName());
        if (component == Watched) Watched = nullptr;
        if (FreeSelfOnRemoveOf && component == Trigger) Free();  // the companion pattern
    }

private:
    bool Destroying_() const { return GetComponentState().Contains(csDestroying); }
};
GCL_IMPLEMENT_CLASS(TProbe)

TProbe* MakeProbe(TComponent* owner, const std::string& name) {
    TProbe* p = TProbe::Create(owner);
    p->SetName(name);
    return p;
}

} // namespace

TEST(Components, OwnedComponentsFreedInReverseWhileOwnerComplete) {
    Log.clear();
    TProbe* form = MakeProbe(nullptr, "Form");
    TProbe* a = MakeProbe(form, "A");
    MakeProbe(form, "B");
    MakeProbe(form, "C");
    form->Watched = a;
    ASSERT_EQ(form->GetComponentCount(), 3);
    EXPECT_EQ(form->GetComponents(1)->GetName(), "B");
    EXPECT_EQ(a->GetComponentIndex(), 0);

    form->Free();
    // Children go last first; the form's own Notification override (a
    // derived class, still complete) hears of each one.
    std::vector<std::string> expected = {
        "free Form",
        "free C (destroying)", "B hears C", "A hears C", "Form hears C",
        "free B (destroying)", "A hears B", "Form hears B",
        "free A (destroying)", "Form hears A"};
    // Each child also hears of its own removal through the owner; drop
    // those lines for the comparison.
    std::vector<std::string> seen;
    for (const auto& line : Log)
        if (line != "C hears C" && line != "B hears B" && line != "A hears A") seen.push_back(line);
    EXPECT_EQ(seen, expected);
}

TEST(Components, FreeNotificationAndReferences) {
    Log.clear();
    TProbe* formA = MakeProbe(nullptr, "FormA");
    TProbe* formB = MakeProbe(nullptr, "FormB");
    TProbe* images = MakeProbe(formA, "Images");
    TProbe* list = MakeProbe(formB, "List");

    // A component of another form references Images.
    list->Watched = images;
    images->FreeNotification(list);
    TComponentRef<TProbe> ref = images;
    TComponentRef<TProbe> copy = ref;
    EXPECT_EQ(ref.Get(), images);
    EXPECT_TRUE(ref);

    images->Free();
    EXPECT_EQ(list->Watched, nullptr);  // cleared by its Notification
    EXPECT_EQ(ref.Get(), nullptr);      // references null themselves
    EXPECT_EQ(copy.Get(), nullptr);
    EXPECT_EQ(formA->GetComponentCount(), 0);

    // RemoveFreeNotification stops it; the link works both ways.
    TProbe* menu = MakeProbe(formA, "Menu");
    menu->FreeNotification(list);
    menu->RemoveFreeNotification(list);
    Log.clear();
    menu->Free();
    EXPECT_EQ(Log, (std::vector<std::string>{"free Menu", "Menu hears Menu", "FormA hears Menu"}));

    TProbe* other = MakeProbe(formA, "Other");
    other->FreeNotification(list);
    ref = other;
    list->Free();  // the subscriber dies first: Other must forget it
    Log.clear();
    other->Free();
    EXPECT_EQ(ref.Get(), nullptr);
    for (const auto& line : Log) EXPECT_EQ(line.find("List"), std::string::npos) << line;

    // A reference dying before its component unsubscribes.
    TProbe* late = MakeProbe(formB, "Late");
    { TComponentRef<TProbe> temp = late; }
    late->Free();
    formA->Free();
    formB->Free();
}

TEST(Components, ComponentFreeingItselfInsideNotification) {
    Log.clear();
    TProbe* form = MakeProbe(nullptr, "Form");
    TProbe* action = MakeProbe(form, "Action");
    // Two companions of the action free themselves when it goes away,
    // while the form walks its list.
    for (const char* name : {"Helper1", "Helper2"}) {
        TProbe* helper = MakeProbe(form, name);
        helper->Trigger = action;
        helper->FreeSelfOnRemoveOf = true;
    }
    TProbe* outside = MakeProbe(nullptr, "Outside");
    outside->Trigger = action;
    outside->FreeSelfOnRemoveOf = true;
    action->FreeNotification(outside);

    action->Free();
    EXPECT_EQ(form->GetComponentCount(), 0);
    EXPECT_NE(std::find(Log.begin(), Log.end(), "free Helper1"), Log.end());
    EXPECT_NE(std::find(Log.begin(), Log.end(), "free Outside"), Log.end());
    form->Free();
}

TEST(Components, NamesOwnershipAndState) {
    TComponent* form = TComponent::Create(nullptr);
    TComponent* edit = TComponent::Create(form);
    for (const char* name : {"Edit1_edit_control_0x12ab", "NBFloatingWindowParent_00ab12cd", "TBControlItem3",
                             "SubEditButton1", "_x"}) {
        edit->SetName(name);
        EXPECT_EQ(edit->GetName(), name);
    }
    for (const char* bad : {"1abc", "a b", "a-b", "Ä"}) EXPECT_THROW(edit->SetName(bad), EComponentError) << bad;
    try {
        edit->SetName("a b");
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.GetMessage(), "'a b' is not a valid component name");
    }
    edit->SetName("Button1");
    TComponent* second = TComponent::Create(form);
    try {
        second->SetName("BUTTON1");
        FAIL();
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.GetMessage(), "A component named BUTTON1 already exists");
    }
    edit->SetName("BUTTON1");  // only the case changes: allowed
    edit->SetName("");
    second->SetName("Button1");
    EXPECT_EQ(form->FindComponent("button1"), second);
    EXPECT_EQ(form->FindComponent(""), nullptr);
    EXPECT_EQ(second->GetNamePath(), "Button1");

    // Moving between owners keeps the duplicate check.
    TComponent* other = TComponent::Create(nullptr);
    TComponent* clash = TComponent::Create(other);
    clash->SetName("Button1");
    EXPECT_THROW(form->InsertComponent(clash), EComponentError);
    EXPECT_EQ(clash->GetOwner(), other);
    clash->SetName("Button2");
    form->InsertComponent(clash);
    EXPECT_EQ(clash->GetOwner(), form);
    EXPECT_EQ(other->GetComponentCount(), 0);
    form->RemoveComponent(clash);
    EXPECT_EQ(clash->GetOwner(), nullptr);
    clash->Free();
    other->Free();

    second->SetComponentIndex(0);
    EXPECT_EQ(form->GetComponents(0), second);
    EXPECT_THROW(form->GetComponents(5), EListError);

    edit->SetTag(-7);
    EXPECT_EQ(edit->GetTag(), -7);
    EXPECT_TRUE(edit->GetComponentState().Empty());
    edit->SetSubComponent(true);
    EXPECT_TRUE(edit->GetComponentStyle().Contains(csSubComponent));
    form->Destroying();
    EXPECT_TRUE(edit->GetComponentState().Contains(csDestroying));
    EXPECT_FALSE(edit->GetComponentState().Contains(csDesigning));
    form->Free();
}
