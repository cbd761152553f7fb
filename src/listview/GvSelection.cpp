// The selection manager and the check manager.
#include "listview/GvInternal.h"

namespace qelvo {

using namespace gvdetail;

// ---- TGvSelectionManager ---------------------------------------------------------------------

GCL_PUBLISHED(TGvSelectionManager,
    GCL_PROP(AlphaBlend).Default(false),
    GCL_PROP(AlphaBlendSelRect).Default(false),
    GCL_PROP(AutoScroll).Default(true),
    GCL_PROP(AutoScrollAccelerator).Default(2),
    GCL_PROP(AutoScrollDelay).Default(500),
    GCL_PROP(AutoScrollMargin).Default(15),
    GCL_PROP(AutoScrollTime).Default(50),
    GCL_PROP(BlendAlphaImage).Default(128),
    GCL_PROP(BlendAlphaSelRect).Default(70),
    GCL_PROP(BlendAlphaTextRect).Default(128),
    GCL_PROP(BlendColorSelRect).Default(gcl::clHighlight).Idents(gcl::ColorIdents),
    GCL_PROP(BlendIcon).Default(true),
    GCL_PROP(BlurAlphaBkGnd).Default(false),
    GCL_PROP(BorderColor).Default(gcl::clHighlight).Idents(gcl::ColorIdents),
    GCL_PROP(BorderColorSelRect).Default(gcl::clHighlight).Idents(gcl::ColorIdents),
    GCL_PROP(Color).Default(gcl::clHighlight).Idents(gcl::ColorIdents),
    GCL_PROP(EnableDragSelect).Default(false),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(ForceDefaultBlend).Default(false),
    GCL_PROP(FullCellPaint).Default(false),
    GCL_PROP(FullItemPaint).Default(false),
    GCL_PROP(FullRowSelect).Default(false),
    GCL_PROP(Gradient).Default(false),
    GCL_PROP(GradientColorBottom).Default(0xFCEFD5).Idents(gcl::ColorIdents),
    GCL_PROP(GradientColorTop).Default(0xFDF8F1).Idents(gcl::ColorIdents),
    GCL_PROP(GroupSelections).Default(false),
    GCL_PROP(InactiveBorderColor).Default(gcl::clInactiveBorder).Idents(gcl::ColorIdents),
    GCL_PROP(InactiveColor).Default(gcl::clInactiveBorder).Idents(gcl::ColorIdents),
    GCL_PROP(InactiveTextColor).Default(gcl::clBlack).Idents(gcl::ColorIdents),
    GCL_PROP(MouseButton).Default(TCommonMouseButtons{cmbLeft}),
    GCL_PROP(MouseButtonSelRect).Default(TCommonMouseButtons{cmbLeft, cmbRight}),
    GCL_PROP(MultiSelect).Default(false),
    GCL_PROP(PopupMode).Default(false),
    GCL_PROP(RectSelect).Default(false),
    GCL_PROP(ResizeGroupOnFocus).Default(false),
    GCL_PROP(RoundRect).Default(false),
    GCL_PROP(RoundRectRadius).Default(4),
    GCL_PROP(TextColor).Default(gcl::clHighlightText).Idents(gcl::ColorIdents),
    GCL_PROP(UseFocusRect).Default(true))

// The look setters repaint the whole control.
#define GV_SELECTION_LOOK_SETTER(Name, Type)              \
    void TGvSelectionManager::Set##Name(Type Value) {     \
        if (Value == F##Name) return;                     \
        F##Name = Value;                                  \
        RepaintListview(FOwnerListview);                  \
    }
GV_SELECTION_LOOK_SETTER(BlendIcon, bool)
GV_SELECTION_LOOK_SETTER(BlurAlphaBkGnd, bool)
GV_SELECTION_LOOK_SETTER(FullCellPaint, bool)
GV_SELECTION_LOOK_SETTER(FullItemPaint, bool)
GV_SELECTION_LOOK_SETTER(Gradient, bool)
GV_SELECTION_LOOK_SETTER(GradientColorBottom, gcl::TColor)
GV_SELECTION_LOOK_SETTER(GradientColorTop, gcl::TColor)
#undef GV_SELECTION_LOOK_SETTER

// The rubber band's settings live in the control's band manager.
#define GV_SELECTION_BAND_PROPERTY(Name, Type, BandName, Default)                               \
    Type TGvSelectionManager::Get##Name() const {                                             \
        TGvDragRectManager* band = FOwnerListview ? FOwnerListview->GetDragRectManager() : nullptr; \
        return band ? band->Get##BandName() : Default;                                        \
    }                                                                                         \
    void TGvSelectionManager::Set##Name(Type Value) {                                         \
        if (TGvDragRectManager* band = FOwnerListview ? FOwnerListview->GetDragRectManager() : nullptr) \
            band->Set##BandName(Value);                                                       \
    }
GV_SELECTION_BAND_PROPERTY(AutoScroll, bool, AutoScroll, true)
GV_SELECTION_BAND_PROPERTY(AutoScrollAccelerator, uint8_t, AutoScrollAccelerator, 2)
GV_SELECTION_BAND_PROPERTY(AutoScrollDelay, int, AutoScrollDelay, 500)
GV_SELECTION_BAND_PROPERTY(AutoScrollMargin, int, AutoScrollMargin, 15)
GV_SELECTION_BAND_PROPERTY(AutoScrollTime, int, AutoScrollTime, 50)
GV_SELECTION_BAND_PROPERTY(EnableDragSelect, bool, Enabled, false)
GV_SELECTION_BAND_PROPERTY(MouseButtonSelRect, TCommonMouseButtons, MouseButton, (TCommonMouseButtons{cmbLeft, cmbRight}))
#undef GV_SELECTION_BAND_PROPERTY

TGvItem* TGvSelectionManager::First() const {
    TGvGroups* groups = FOwnerListview ? FOwnerListview->GetGroups() : nullptr;
    // Nothing selected (as after every rebuild): no walk over the items.
    if (!groups || FCount <= 0) return nullptr;
    for (int g = 0; g < groups->GetCount(); ++g) {
        TGvGroup* group = groups->GetGroups(g);
        for (int i = 0; i < group->ItemCount(); ++i) {
            TGvItem* item = group->GetItem(i);
            if (item->GetVisible() && item->GetSelected()) return item;
        }
    }
    return nullptr;
}

TGvItem* TGvSelectionManager::Next(TGvItem* Item) const {
    TGvGroups* groups = FOwnerListview ? FOwnerListview->GetGroups() : nullptr;
    if (!groups || !Item || !Item->OwnerGroup()) return nullptr;
    int start = Item->GetIndex() + 1;
    for (int g = Item->OwnerGroup()->GetIndex(); g >= 0 && g < groups->GetCount(); ++g) {
        TGvGroup* group = groups->GetGroups(g);
        for (int i = start; i < group->ItemCount(); ++i) {
            TGvItem* item = group->GetItem(i);
            if (item->GetVisible() && item->GetSelected()) return item;
        }
        start = 0;
    }
    return nullptr;
}

void TGvSelectionManager::FocusPastGroup(const TGvGroup* Group) {
    TGvItem* focused = GetFocusedItem();
    if (!focused || !Group || focused->OwnerGroup() != Group || !FOwnerListview) return;
    const TGvGroups* groups = FOwnerListview->GetGroups();
    TGvItem* next = groups->NextVisibleItem(focused);
    while (next && !next->GetEnabled()) next = groups->NextVisibleItem(next);
    SetFocusedItem(nullptr);
    if (next) SetFocusedItem(next);
}

void TGvSelectionManager::Work(TWork Mode, TGvItem* Except, bool ExceptCounted) {
    if (!FEnabled || !FOwnerListview) return;
    TGvGroups* groups = FOwnerListview->GetGroups();
    // A clear is done once no item but the one kept is selected: a click
    // that chooses one item of a long list, the others already clear,
    // walks no further than the items selected. (The item gaining its
    // selection without MultiSelect is counted after the clear.)
    auto cleared = [this, Except, ExceptCounted] {
        return FCount <= (ExceptCounted && Except && Except->GetSelected() ? 1 : 0);
    };
    Change([&] {
        for (int g = 0; groups && g < groups->GetCount(); ++g) {
            if (Mode == TWork::Clear && cleared()) break;
            TGvGroup* group = groups->GetGroups(g);
            for (int i = 0; i < group->ItemCount(); ++i) {
                TGvItem* item = group->GetItem(i);
                if (item == Except) continue;
                if (Mode == TWork::Select) {
                    item->SetSelected(true);
                } else if (Mode == TWork::Invert) {
                    item->SetSelected(!item->GetSelected());
                } else {
                    item->SetSelected(false);
                    if (cleared()) break;
                }
            }
        }
        // A drag does not outlive the selection it started from.
        if (TGvOLEDragManager* drag = FOwnerListview->GetDragManager()) drag->SetDragItem(nullptr);
    });
}

void TGvSelectionManager::ClearAll() { Work(TWork::Clear, nullptr); }
void TGvSelectionManager::ClearAllExcept(TGvItem* Item) { Work(TWork::Clear, Item); }

void TGvSelectionManager::SelectAll() {
    if (FMultiSelect) Work(TWork::Select, nullptr);
}

void TGvSelectionManager::InvertSelection() { Work(TWork::Invert, nullptr); }

void TGvSelectionManager::SelectFirst() {
    ClearAll();
    if (!FEnabled || !FOwnerListview) return;
    if (TGvItem* item = FOwnerListview->GetGroups()->FirstItem()) {
        SetFocusedItem(item);
        item->SetSelected(true);
    }
}

namespace {
// The visible items whose selectable area meets ViewRect.
template <class F>
void ForItemsInRect(TCustomGvListview* lv, const TRect& ViewRect, F&& Visit) {
    TGvGroups* groups = lv ? lv->GetGroups() : nullptr;
    if (!groups) return;
    std::vector<TGvItem*> items;
    for (TGvItem* item = groups->FirstItemInRect(ViewRect); item; item = groups->NextItemInRect(item, ViewRect))
        items.push_back(item);
    for (TGvItem* item : items) Visit(item);
}
} // namespace

void TGvSelectionManager::SelectRange(TGvItem* FromItem, TGvItem* ToItem, bool RectSelect, bool ClearFirst) {
    if (!FEnabled || !FMultiSelect || !FOwnerListview) return;
    Change([&] {
        if (ClearFirst) ClearAll();
        if (FromItem && ToItem) {
            if (RectSelect) {
                TRect r;
                gcl::UnionRect(r, FromItem->GetDisplayRect(), ToItem->GetDisplayRect());
                SelectRect(r, false);
            } else {
                auto before = [](TGvItem* a, TGvItem* b) {
                    const int ga = a->OwnerGroup() ? a->OwnerGroup()->GetIndex() : 0;
                    const int gb = b->OwnerGroup() ? b->OwnerGroup()->GetIndex() : 0;
                    return ga != gb ? ga < gb : a->GetIndex() <= b->GetIndex();
                };
                if (!before(FromItem, ToItem)) std::swap(FromItem, ToItem);
                TGvGroups* groups = FOwnerListview->GetGroups();
                for (TGvItem* item = FromItem; item; item = groups->NextVisibleItem(item)) {
                    if (item->GetVisible()) item->SetSelected(true);
                    if (item == ToItem) break;
                }
            }
        }
    });
}

void TGvSelectionManager::SelectRect(const TRect& ViewRect, bool ClearFirst) {
    if (!FEnabled || !FMultiSelect || !FOwnerListview) return;
    Change([&] {
        if (ClearFirst) ClearAll();
        ForItemsInRect(FOwnerListview, ViewRect, [&](TGvItem* item) {
            if (item->SelectionHit(ViewRect)) item->SetSelected(true);
        });
    });
}

void TGvSelectionManager::DragSelect(TCommonKeyStates KeyStates, const TRect& BandRect, const TRect& PrevBandRect) {
    if (!FEnabled || !FMultiSelect || !FOwnerListview) return;
    TRect both;
    gcl::UnionRect(both, BandRect, PrevBandRect);
    Change([&] {
        ForItemsInRect(FOwnerListview, both, [&](TGvItem* item) {
            const bool inNew = item->SelectionHit(BandRect);
            const bool inOld = !gcl::IsRectEmpty(PrevBandRect) && item->SelectionHit(PrevBandRect);
            if (KeyStates.Contains(cksControl)) {
                if (inNew != inOld) item->SetSelected(!item->GetSelected());
            } else if (inNew) {
                item->SetSelected(true);
            } else if (inOld) {
                item->SetSelected(false);
            }
        });
    });
}

void TGvSelectionManager::BeginUpdate() {
    if (FUpdateCount == 0) FChangedCount = 0;
    ++FUpdateCount;
}

void TGvSelectionManager::EndUpdate() {
    if (--FUpdateCount > 0) return;
    FUpdateCount = 0;
    if (FChangedCount > 0) {
        FChangedCount = 0;
        if (FOwnerListview) FOwnerListview->DoItemSelectionsChanged();
    }
}

void TGvSelectionManager::Notify() {
    ++FChangedCount;
    if (FUpdateCount == 0) {
        FChangedCount = 0;
        if (FOwnerListview) FOwnerListview->DoItemSelectionsChanged();
    }
}

void TGvSelectionManager::GroupSelectionEndUpdate() {
    if (--FGroupSelectionUpdateCount > 0) return;
    FGroupSelectionUpdateCount = 0;
    BuildSelectionGroupings(false);
    if (FGroupSelectionRepaint) {
        FGroupSelectionRepaint = false;
        if (FOwnerListview) FOwnerListview->InvalidateView();
    }
}

void TGvSelectionManager::GainingSelection(TGvItem* Item) {
    if (!FMultiSelect) Work(TWork::Clear, Item, false);
    ++FCount;
    if (FCount == 1) KeyboardPlaceChanged();
    if (!FMultiSelect) SetFocusedItem(Item);
    Notify();
}

void TGvSelectionManager::KeyboardPlaceChanged() {
    // (A change of the selection repaints the whole view under group
    // selections anyway.)
    if (FOwnerListview && !FGroupSelections && FOwnerListview->HandleAllocated() && FOwnerListview->Focused())
        FOwnerListview->InvalidateView();
}

void TGvSelectionManager::LosingSelection(TGvItem* Item) {
    --FCount;
    if (FCount == 0) KeyboardPlaceChanged();
    if (Item) Item->SetSelectionGroup(nullptr);
    Notify();
}

void TGvSelectionManager::BuildSelectionGroupings(bool Force) {
    if (!FOwnerListview || FOwnerListview->IsLoading()) return;
    if (!Force && (!FGroupSelections || FGroupSelectionUpdateCount > 0)) return;
    // An item leaves its selection group when it loses its selection, so
    // with nothing selected no item is in one.
    if (!Force && FCount <= 0) return;
    TGvGroups* groups = FOwnerListview->GetGroups();
    if (!groups) return;
    for (int g = 0; g < groups->GetCount(); ++g) {
        TGvGroup* group = groups->GetGroups(g);
        std::vector<TGvItem*> run;
        auto close = [&run] {
            if (run.size() >= 2) {
                auto* list = TGvSelectionGroupList::Create();
                for (TGvItem* item : run) {
                    list->Add(item);
                    gcl::UnionRect(list->DisplayRect, list->DisplayRect, item->GetDisplayRect());
                    item->SetSelectionGroup(list);
                }
            }
            run.clear();
        };
        for (int i = 0; i < group->ItemCount(); ++i) {
            TGvItem* item = group->GetItem(i);
            if (!item->GetVisible()) continue;
            item->SetSelectionGroup(nullptr);
            if (item->GetSelected())
                run.push_back(item);
            else
                close();
        }
        close();
    }
}

void TGvSelectionManager::SetFocusedItem(TGvItem* Value) {
    if (!Value) {
        TGvItem* old = FFocusedItem;
        FFocusedItem = nullptr;
        if (old) old->SetFocused(false);
        return;
    }
    if (Value == FFocusedItem || !Value->GetVisible() || !Value->GetEnabled()) return;
    if (TGvItem* old = FFocusedItem) {
        old->SetFocused(false);
        if (old->GetFocused()) return;  // the handler refused
    }
    Value->SetFocused(true);
    if (Value->GetFocused()) FFocusedItem = Value;
}

void TGvSelectionManager::SetAnchorItem(TGvItem* Value) {
    if (!Value)
        FAnchorItem = nullptr;
    else if (Value->GetVisible() && Value->GetEnabled())
        FAnchorItem = Value;
}

TGvColumn* TGvSelectionManager::GetFocusedColumn() {
    if (!FFocusedColumn && FOwnerListview && FOwnerListview->GetHeader())
        FFocusedColumn = FOwnerListview->GetHeader()->FirstColumn();
    return FFocusedColumn;
}

void TGvSelectionManager::SetFocusedColumn(TGvColumn* Value) {
    if (Value == FFocusedColumn) return;
    TGvColumn* old = FFocusedColumn;
    FFocusedColumn = Value;
    if (old) old->Invalidate(false);
    if (Value) Value->Invalidate(false);
}

void TGvSelectionManager::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    if (!Value) ClearAll();
    FEnabled = Value;
}

void TGvSelectionManager::SetMultiSelect(bool Value) {
    if (Value == FMultiSelect) return;
    ClearAll();
    FMultiSelect = Value;
}

void TGvSelectionManager::SetGroupSelections(bool Value) {
    if (Value == FGroupSelections) return;
    TListviewUpdate update(FOwnerListview);
    FGroupSelections = Value;
    BuildSelectionGroupings(true);
}

GCL_IMPLEMENT_CLASS(TGvCheckManager)

void TGvCheckManager::SetPendingObject(TGvCollectionItem* Value) {
    if (Value == FPendingObject) return;
    TGvCollectionItem* old = FPendingObject;
    FPendingObject = Value;
    if (old) old->SetCheckPending(false);
    if (Value) Value->SetCheckPending(true);
}

} // namespace qelvo
