#include "gcl/rtl/Collections.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gcl/rtl/Components.h"
#include "gcl/rtl/TypInfo.h"

using namespace gcl;

namespace {

class TPanel : public TCollectionItem {
    GCL_CLASS(TPanel, TCollectionItem)
public:
    int GetWidth() const { return FWidth; }
    void SetWidth(int value) {
        if (value == FWidth) return;
        FWidth = value;
        Changed(false);
    }
    std::string GetDisplayName() const override { return "Panel " + std::to_string(FWidth); }
    void Assign(TPersistent* source) override {
        if (auto* p = dynamic_cast<TPanel*>(source)) {
            SetWidth(p->FWidth);
            return;
        }
        inherited::Assign(source);
    }

protected:
    using TCollectionItem::TCollectionItem;

private:
    int FWidth = 50;
};
GCL_PUBLISHED(TPanel, GCL_PROP(Width).Default(50))

class TOtherItem : public TCollectionItem {
    GCL_CLASS(TOtherItem, TCollectionItem)
protected:
    using TCollectionItem::TCollectionItem;
};
GCL_IMPLEMENT_CLASS(TOtherItem)

// Records what the collection is told.
class TPanels : public TOwnedCollection {
    GCL_CLASS(TPanels, TOwnedCollection)
public:
    explicit TPanels(TPersistent* owner) : TOwnedCollection(owner, TPanel::StaticClass()) {}
    std::vector<std::string> Log;

protected:
    void Update(TCollectionItem* item) override {
        Log.push_back(item ? "update " + item->GetDisplayName() : "update all");
    }
    void Notify(TCollectionItem* item, TCollectionNotification action) override {
        Log.push_back(GetEnumName(action) + " " + item->GetDisplayName());
    }
};
GCL_IMPLEMENT_CLASS(TPanels)

class TStatusBar : public TComponent {
    GCL_CLASS(TStatusBar, TComponent)
public:
    TPanels* GetPanels() const { return FPanels.get(); }
    void SetPanels(TPanels* value) { FPanels->Assign(value); }

protected:
    explicit TStatusBar(TComponent* owner) : TComponent(owner), FPanels(std::make_unique<TPanels>(this)) {}

private:
    std::unique_ptr<TPanels> FPanels;
};
GCL_PUBLISHED(TStatusBar, GCL_PROP(Panels))

} // namespace

TEST(Collections, ItemsIndexIdAndNotifications) {
    TStatusBar* bar = TStatusBar::Create(nullptr);
    bar->SetName("StatusBar1");
    TPanels& panels = *bar->GetPanels();

    auto* p0 = static_cast<TPanel*>(panels.Add());
    EXPECT_EQ(panels.Log, (std::vector<std::string>{"cnAdded Panel 50", "update all"}));
    auto* p1 = static_cast<TPanel*>(panels.Add());
    p1->SetWidth(80);
    auto* p2 = static_cast<TPanel*>(panels.Insert(0));
    EXPECT_EQ(panels.GetCount(), 3);
    EXPECT_EQ(panels.GetItems(0), p2);
    EXPECT_EQ(p0->GetIndex(), 1);
    EXPECT_EQ(p2->GetID(), 2);
    EXPECT_EQ(panels.FindItemID(1), p1);
    EXPECT_EQ(panels.FindItemID(9), nullptr);
    EXPECT_THROW(panels.GetItems(3), EListError);

    p2->SetIndex(2);  // moves
    EXPECT_EQ(panels.GetItems(2), p2);
    EXPECT_EQ(p2->GetNamePath(), "StatusBar1.Panels[2]");
    EXPECT_EQ(panels.GetOwner(), bar);

    panels.Log.clear();
    panels.BeginUpdate();
    p0->SetWidth(10);
    panels.Delete(0);
    EXPECT_EQ(panels.Log, (std::vector<std::string>{"cnDeleting Panel 10"}));  // no updates while updating
    panels.EndUpdate();
    EXPECT_EQ(panels.Log.back(), "update all");
    EXPECT_EQ(panels.GetCount(), 2);
    EXPECT_EQ(p1->GetIndex(), 0);

    // Items of a foreign class are refused.
    EXPECT_THROW(TOtherItem::Create(&panels), EListError);
    EXPECT_EQ(panels.GetCount(), 2);

    // Moving an item to another collection.
    TPanels other(nullptr);
    p1->SetCollection(&other);
    EXPECT_EQ(other.GetCount(), 1);
    EXPECT_EQ(panels.GetCount(), 1);
    EXPECT_EQ(other.GetNamePath(), "TPanels");

    // Item-wise Assign replaces the contents.
    TPanels copy(nullptr);
    copy.Add();
    copy.Assign(&panels);
    ASSERT_EQ(copy.GetCount(), 1);
    EXPECT_EQ(static_cast<TPanel*>(copy.GetItems(0))->GetWidth(), p2->GetWidth());
    EXPECT_THROW(copy.Assign(bar), EConvertError);

    panels.Log.clear();
    panels.Clear();
    EXPECT_EQ(panels.GetCount(), 0);
    EXPECT_EQ(panels.Log, (std::vector<std::string>{"cnDeleting Panel 50", "update all"}));
    bar->Free();
}
