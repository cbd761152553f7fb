// The list view's events: what the Do methods add to a plain call (presets,
// defaults, references held), the clipboard commands, custom grids and
// views chosen by handlers, and entries that draw their images themselves.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <cstring>
#include <string>
#include <vector>

#include "gcl/Menus.h"
#include "gcl/rtl/TypInfo.h"
#include "listview/GvListview.h"
#include "listview/GvWindowFixture.h"
#include "listview/LvDataObject.h"

using namespace qelvo;
using gcl::TRect;

namespace {

// A report grid and views that count how often they were asked to paint.
class TCountingGrid : public TGvGridReportGroup {
    GCL_CLASS(TCountingGrid, TGvGridReportGroup)
public:
    TCountingGrid(TCustomGvListview* AOwner, TGvGroup* AGroup) : TGvGridReportGroup(AOwner, AGroup) {}
};
GCL_IMPLEMENT_CLASS(TCountingGrid)

int GroupPaints = 0;
int ColumnPaints = 0;

class TCountingGroupView : public TGvViewGroup {
    GCL_CLASS(TCountingGroupView, TGvViewGroup)
public:
    using TGvViewGroup::TGvViewGroup;
    void Paint(TGvGroup* Group, int MarginEdge, const TRect& ObjRect, gcl::TCanvas* Canvas) override {
        ++GroupPaints;
        TGvViewGroup::Paint(Group, MarginEdge, ObjRect, Canvas);
    }
};
GCL_IMPLEMENT_CLASS(TCountingGroupView)

class TCountingColumnView : public TGvViewColumn {
    GCL_CLASS(TCountingColumnView, TGvViewColumn)
public:
    using TGvViewColumn::TGvViewColumn;
    void Paint(TGvColumn* Column, gcl::TCanvas* Canvas) override {
        ++ColumnPaints;
        TGvViewColumn::Paint(Column, Canvas);
    }
};
GCL_IMPLEMENT_CLASS(TCountingColumnView)

class GvEventsTest : public qelvo::test::GvWindowFixture {
public:
    void Log(const std::string& s) { Events.push_back(s); }

    void OnItemContextMenu(TCustomGvListview*, TGvHitInfoItem HitInfo, gcl::TPoint, gcl::TPopupMenu*& Menu, bool&) {
        Log(Menu ? "menu set" : "menu nil");
        Log(HitInfo.Item ? "item" : "no item");
    }
    void OnGetData(TCustomGvListview*, const FORMATETC&, STGMEDIUM& Medium, bool& Handled) {
        Log(Medium.tymed == 0 && Medium.hGlobal == nullptr && !Handled ? "zeroed" : "dirty");
    }
    void OnGetDataObject(TCustomGvListview*, gcl::ComPtr<::IDataObject>& DataObject) {
        Log(DataObject ? "object kept" : "object nil");
    }
    void OnSearch(TGvCollectionItem* Item, const std::wstring& SearchBuffer, bool& Handled, int& CompareResult) {
        Log(CompareResult == 0 && !Handled ? "preset" : "not preset");
        if (Item->GetCaption() == L"handled") {
            Handled = true;
            CompareResult = SearchBuffer == L"x" ? 0 : 7;
        }
    }
    void OnCopy(TCustomGvListview*, bool& Handled) {
        Log(Handled ? "copy handled" : "copy");
        Handled = HandleClipboard;
    }
    void OnCut(TCustomGvListview*, bool& MarkAsCut, bool& Handled) {
        Log(std::string("cut ") + (MarkAsCut ? "mark " : "nomark ") + (Handled ? "handled" : "open"));
        Handled = HandleClipboard;
    }
    void OnPaste(TCustomGvListview*, bool& Handled) {
        Log("paste");
        Handled = HandleClipboard;
    }
    void OnCustomGrid(TCustomGvListview*, TGvGroup* Group, TGvListStyle ViewStyle, TGvGridGroupClass& Grid) {
        if (Group->GetCaption() == L"custom" && ViewStyle == elsReport) Grid = TCountingGrid::StaticClass();
    }
    void OnGroupCustomView(TCustomGvListview*, TGvGroup*, TGvListStyle, TGvViewGroupClass& View) {
        View = TCountingGroupView::StaticClass();
    }
    void OnColumnCustomView(TCustomGvListview*, TGvColumn*, TGvViewColumnClass& View) {
        View = TCountingColumnView::StaticClass();
    }
    void OnGroupIsCustom(TCustomGvListview*, TGvGroup*, bool& IsCustom) { IsCustom = true; }
    void OnGroupImageSize(TCustomGvListview*, TGvGroup*, int& Width, int& Height) {
        Width = 10;
        Height = 8;
    }
    void OnGroupImageDraw(TCustomGvListview*, TGvGroup*, gcl::TCanvas* ACanvas, const TGvRectArrayObject& Rects,
                          TGvAlphaBlender*) {
        DrawnIcon = Rects.IconRect;
        ACanvas->GetBrush()->SetStyle(gcl::bsSolid);
        ACanvas->GetBrush()->SetColor(gcl::clLime);
        ACanvas->FillRect(Rects.IconRect);
    }
    void OnColumnSize(TCustomGvListview*, TGvColumn*) { Log("size changed"); }
    void OnColumnSizing(TCustomGvListview*, TGvColumn*, int, int, bool&) { Log("size changing"); }

    std::vector<std::string> Events;
    bool HandleClipboard = false;
    TRect DrawnIcon;
};

TEST_F(GvEventsTest, DoMethodsPresetWhatTheHandlerSees) {
    LV->OnItemContextMenu = {this, &GvEventsTest::OnItemContextMenu};
    LV->OnOLEGetData = {this, &GvEventsTest::OnGetData};
    LV->OnOLEGetDataObject = {this, &GvEventsTest::OnGetDataObject};

    gcl::TPopupMenu* owned = gcl::TPopupMenu::Create(nullptr);
    gcl::TPopupMenu* menu = owned;
    bool handled = false;
    TGvHitInfoItem hit;
    LV->DoItemContextMenu(hit, gcl::TPoint{1, 1}, menu, handled);
    EXPECT_EQ(menu, nullptr);
    gcl::Free(owned);

    FORMATETC format{};
    STGMEDIUM medium;
    std::memset(&medium, 0xAB, sizeof(medium));
    handled = true;
    LV->DoOLEGetData(format, medium, handled);

    gcl::ComPtr<::IDataObject> object(TCommonDataObject::Create()->AsDataObject());
    ::IDataObject* raw = object.Get();
    raw->AddRef();
    LV->DoOLEGetDataObject(object);
    EXPECT_EQ(object.Get(), nullptr);
    // Only the reference this test took is left.
    EXPECT_EQ(raw->Release(), 0u);

    EXPECT_EQ(Events, (std::vector<std::string>{"menu nil", "no item", "zeroed", "object nil"}));
}

TEST_F(GvEventsTest, IncrementalSearchComparesTheCaptionPrefixUnlessHandled) {
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    TGvItem* item = group->GetItems()->Add(nullptr);
    item->SetCaption(L"Groceries");
    EXPECT_EQ(LV->DoIncrementalSearch(item, L"gRo"), 0);
    EXPECT_NE(LV->DoIncrementalSearch(item, L"gra"), 0);
    EXPECT_NE(LV->DoIncrementalSearch(item, L"Groceries and more"), 0);

    LV->OnIncrementalSearch = {this, &GvEventsTest::OnSearch};
    EXPECT_EQ(LV->DoIncrementalSearch(item, L"gro"), 0);  // not handled: the caption decides
    TGvItem* handledItem = group->GetItems()->Add(nullptr);
    handledItem->SetCaption(L"handled");
    EXPECT_EQ(LV->DoIncrementalSearch(handledItem, L"x"), 0);
    EXPECT_EQ(LV->DoIncrementalSearch(handledItem, L"han"), 7);
    EXPECT_EQ(Events, (std::vector<std::string>(3, "preset")));
}

TEST_F(GvEventsTest, ClipboardCommandsFireTheirEventsAndMarkCutItems) {
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    TGvItem* a = group->GetItems()->Add(nullptr);
    TGvItem* b = group->GetItems()->Add(nullptr);
    a->SetSelected(true);
    LV->OnClipboardCopy = {this, &GvEventsTest::OnCopy};
    LV->OnClipboardCut = {this, &GvEventsTest::OnCut};
    LV->OnClipboardPaste = {this, &GvEventsTest::OnPaste};

    // Unhandled: paste and cut run their event step twice; nothing is marked.
    LV->ClipboardCopyCommand();
    LV->ClipboardCutCommand();
    LV->ClipboardPasteCommand();
    EXPECT_EQ(Events, (std::vector<std::string>{"copy", "cut mark open", "cut nomark handled", "paste", "paste"}));
    EXPECT_FALSE(a->GetCut());

    // A cut handler that handles it and leaves MarkAsCut on marks the
    // selection cut (and clears older marks).
    Events.clear();
    b->SetCut(true);
    HandleClipboard = true;
    LV->ClipboardCutCommand();
    EXPECT_EQ(Events, (std::vector<std::string>{"cut mark open"}));
    EXPECT_TRUE(a->GetCut());
    EXPECT_FALSE(b->GetCut());
}

TEST_F(GvEventsTest, HandlersChooseGridsAndViews) {
    LV->SetView(elsReport);
    LV->GetHeader()->SetVisible(true);
    LV->GetHeader()->GetColumns()->Add(nullptr)->SetCaption(L"Title");
    LV->SetShowGroupMargins(true);
    TGvGroup* custom = LV->GetGroups()->Add(nullptr);
    custom->SetCaption(L"custom");
    custom->GetItems()->Add(nullptr)->SetCaption(L"one");
    TGvGroup* plain = LV->GetGroups()->Add(nullptr);
    plain->SetCaption(L"plain");
    LV->OnCustomGrid = {this, &GvEventsTest::OnCustomGrid};
    EXPECT_EQ(custom->GetGrid()->ClassType(), TCountingGrid::StaticClass());
    EXPECT_EQ(plain->GetGrid()->ClassType(), TGvGridReportGroup::StaticClass());
    // The grid follows the view style: the handler only answers for report.
    LV->SetView(elsList);
    EXPECT_EQ(custom->GetGrid()->ClassType(), TGvGridListGroup::StaticClass());
    LV->SetView(elsReport);
    LV->GetGroups()->Rebuild(true);
    EXPECT_EQ(custom->GetGrid()->ClassType(), TCountingGrid::StaticClass());
    // The custom grid lays the group out like the report grid it extends.
    EXPECT_EQ(custom->GetItem(0)->GetDisplayRect().Height(), LV->GetCellSizes()->GetReport()->GetHeight());

    LV->OnGroupCustomView = {this, &GvEventsTest::OnGroupCustomView};
    LV->OnColumnCustomView = {this, &GvEventsTest::OnColumnCustomView};
    GroupPaints = ColumnPaints = 0;
    gcl::TBitmap bitmap;
    bitmap.SetPixelFormat(gcl::pf32bit);
    bitmap.SetSize(LV->GetClientWidth(), LV->GetClientHeight());
    LV->PaintRect(bitmap.GetCanvas(), TRect{0, 0, LV->GetClientWidth(), LV->GetClientHeight()});
    EXPECT_EQ(GroupPaints, 12);  // six margin passes for each of the two groups
    EXPECT_EQ(ColumnPaints, 1);
}

TEST_F(GvEventsTest, GroupsThatDrawTheirImageThemselves) {
    LV->SetThemed(false);
    LV->SetView(elsReport);
    LV->SetShowGroupMargins(true);
    LV->GetPaintInfoGroup()->GetMarginTop()->SetSize(24);
    LV->GetHeader()->GetColumns()->Add(nullptr)->SetWidth(200);
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    group->SetCaption(L"Inbox");
    group->SetImageIndex(0);
    group->GetItems()->Add(nullptr)->SetCaption(L"one");
    LV->OnGroupImageDrawIsCustom = {this, &GvEventsTest::OnGroupIsCustom};
    LV->OnGroupImageGetSize = {this, &GvEventsTest::OnGroupImageSize};
    LV->OnGroupImageDraw = {this, &GvEventsTest::OnGroupImageDraw};
    LV->GetGroups()->Rebuild(true);
    TGvRectArrayObject R;
    LV->GroupView(group)->GroupRectArray(group, gmeTop, group->MarginRectTop(), R);
    // The icon takes the size the handler gives, after the check box and
    // the image indent; the caption starts after it.
    auto* info = LV->GetPaintInfoGroup();
    EXPECT_EQ(R.IconRect.Left, R.CheckRect.Right + info->GetImageIndent());
    EXPECT_EQ(R.IconRect.Width(), 10);
    EXPECT_EQ(R.LabelRect.Left, R.IconRect.Right + info->GetCaptionIndent());

    gcl::TBitmap bitmap;
    bitmap.SetPixelFormat(gcl::pf32bit);
    bitmap.SetSize(LV->GetClientWidth(), LV->GetClientHeight());
    LV->PaintRect(bitmap.GetCanvas(), TRect{0, 0, LV->GetClientWidth(), LV->GetClientHeight()});
    // Window coordinates equal view coordinates here (no header, no scroll).
    ASSERT_EQ(DrawnIcon, R.IconRect);
    EXPECT_EQ(GetPixel(bitmap.GetCanvas()->GetHandle(), R.IconRect.Left + 2, R.IconRect.Top + 2), RGB(0, 255, 0));
}

TEST_F(GvEventsTest, EveryOwnEventIsPublishedAndColumnSizeEventsReachTheirHandlers) {
    const gcl::TPropList& props = TGvListview::StaticClass()->Properties();
    int events = 0;
    for (const gcl::TPropInfo* prop : props)
        if (prop->Name().rfind("On", 0) == 0) ++events;
    // 143 of the list view's own and OnEndUpdate of the canvas base.
    EXPECT_EQ(events, 144);

    TGvColumn* column = LV->GetHeader()->GetColumns()->Add(nullptr);
    LV->OnColumnSizeChanged = {this, &GvEventsTest::OnColumnSize};
    LV->OnColumnSizeChanging = {this, &GvEventsTest::OnColumnSizing};
    bool allow = true;
    LV->DoColumnSizeChanging(column, 50, 60, allow);
    LV->DoColumnSizeChanged(column);
    EXPECT_EQ(Events, (std::vector<std::string>{"size changing", "size changed"}));
}

} // namespace
