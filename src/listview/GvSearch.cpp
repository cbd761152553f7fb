// Finding an item by typing its first letters, and the mouse-gesture
// settings.
#include "listview/GvInternal.h"

#include <map>

namespace qelvo {

using namespace gvdetail;

namespace {

// The running search timers of this (the GUI) thread, by timer id.
std::map<UINT_PTR, TGvIncrementalSearchManager*>& SearchTimers() {
    static std::map<UINT_PTR, TGvIncrementalSearchManager*> timers;
    return timers;
}

bool KeyDown(int Key) { return GetKeyState(Key) < 0; }

// The 8-bit character in the code page of the keyboard layout's language.
wchar_t CharOfLayout(uint8_t Char) {
    const LANGID language = LOWORD(reinterpret_cast<uintptr_t>(GetKeyboardLayout(0)));
    char buffer[8] = {};
    UINT codePage = CP_ACP;
    if (GetLocaleInfoA(MAKELCID(language, SORT_DEFAULT), LOCALE_IDEFAULTANSICODEPAGE, buffer, sizeof buffer) > 0)
        codePage = static_cast<UINT>(std::atoi(buffer));
    const char c = static_cast<char>(Char);
    wchar_t result = 0;
    if (MultiByteToWideChar(codePage, 0, &c, 1, &result, 1) != 1 &&
        MultiByteToWideChar(CP_ACP, 0, &c, 1, &result, 1) != 1)
        result = Char;
    return result;
}

} // namespace

// ---- TGvIncrementalSearchManager ---------------------------------------------------------------

GCL_PUBLISHED(TGvIncrementalSearchManager,
    GCL_PROP(Direction).Default(eisdForward),
    GCL_PROP(Enabled).Default(false),
    GCL_PROP(ResetTime).Default(2000),
    GCL_PROP(StartType).Default(eissStartOver),
    GCL_PROP(ItemType).Default(eisiVisible))

TGvIncrementalSearchManager::~TGvIncrementalSearchManager() { StopTimerQuietly(); }

void TGvIncrementalSearchManager::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    if (!Value) {
        StopTimerQuietly();
        FSearchBuffer.clear();
        FSearching = false;
        ResetSearch();
    }
}

void CALLBACK TGvIncrementalSearchManager::TimerProc(HWND, UINT, UINT_PTR Id, DWORD) {
    // A system callback: nothing may escape it.
    try {
        auto& timers = SearchTimers();
        auto it = timers.find(Id);
        if (it == timers.end()) {
            KillTimer(nullptr, Id);
            return;
        }
        it->second->EndSearch();
    } catch (...) {
        gcl::HandleGuardedException(nullptr);
    }
}

void TGvIncrementalSearchManager::StartTimer() {
    if (!FEnabled || FTimerRunning) return;
    const UINT_PTR id = SetTimer(nullptr, 0, static_cast<UINT>(std::max(FResetTime, 1)), &TimerProc);
    if (id == 0) return;
    FTimerID = id;
    FTimerRunning = true;
    SearchTimers()[id] = this;
}

void TGvIncrementalSearchManager::StopTimer() {
    if (!FTimerRunning) return;
    const UINT_PTR id = FTimerID;
    SearchTimers().erase(id);
    FTimerRunning = false;
    FTimerID = 0;
    if (!KillTimer(nullptr, id)) throw gcl::Exception(msg::GvSearchTimerKill);
}

void TGvIncrementalSearchManager::StopTimerQuietly() noexcept {
    if (!FTimerRunning) return;
    SearchTimers().erase(FTimerID);
    KillTimer(nullptr, FTimerID);
    FTimerRunning = false;
    FTimerID = 0;
}

void TGvIncrementalSearchManager::ResetSearch() noexcept {
    FSearchItem = nullptr;
    FNextSearchItem = nullptr;
}

void TGvIncrementalSearchManager::SetSearchItem(TGvItem* Item) noexcept {
    if (Item == FSearchItem) return;
    ResetSearch();
    FSearchItem = Item;
}

void TGvIncrementalSearchManager::Forget(TGvCollectionItem* Obj) noexcept {
    if (!Obj) return;
    if (FSearchItem == Obj) FSearchItem = nullptr;
    if (FNextSearchItem == Obj) FNextSearchItem = nullptr;
}

TGvItem* TGvIncrementalSearchManager::FirstOfSet() const {
    TGvGroups* groups = FOwnerListview ? FOwnerListview->GetGroups() : nullptr;
    if (!groups) return nullptr;
    switch (FItemType) {
    case eisiAll:
        return groups->FirstItem();
    case eisiInitializedOnly:
        return groups->FirstInitializedItem();
    default:
        return groups->FirstVisibleItem();
    }
}

TGvItem* TGvIncrementalSearchManager::LastOfSet() const {
    TGvGroups* groups = FOwnerListview ? FOwnerListview->GetGroups() : nullptr;
    if (!groups) return nullptr;
    switch (FItemType) {
    case eisiAll:
        return groups->LastItem();
    case eisiInitializedOnly:
        return groups->LastInitializedItem();
    default:
        return groups->LastVisibleItem();
    }
}

TGvItem* TGvIncrementalSearchManager::StepInSet(TGvItem* Item, bool Forward) const {
    TGvGroups* groups = FOwnerListview ? FOwnerListview->GetGroups() : nullptr;
    if (!groups || !Item) return nullptr;
    switch (FItemType) {
    case eisiAll:
        return Forward ? groups->NextItem(Item) : groups->PrevItem(Item);
    case eisiInitializedOnly:
        return Forward ? groups->NextInitializedItem(Item) : groups->PrevInitializedItem(Item);
    default:
        return Forward ? groups->NextVisibleItem(Item) : groups->PrevVisibleItem(Item);
    }
}

TGvItem* TGvIncrementalSearchManager::NextInDirection(TGvItem* Item) const {
    return StepInSet(Item, FDirection != eisdBackward);
}

void TGvIncrementalSearchManager::HandleKeyDown() {
    if (FEnabled) StartSearch();
}

void TGvIncrementalSearchManager::StartSearch() {
    if (FSearching) return;
    switch (FStartType) {
    case eissStartOver:
        FSearchItem = StartOfSet();
        FNextSearchItem = nullptr;
        break;
    case eissLastHit:
        if (!FSearchItem) FSearchItem = StartOfSet();
        FNextSearchItem = NextInDirection(FSearchItem);
        break;
    case eissFocusedNode: {
        TGvSelectionManager* selection = FOwnerListview ? FOwnerListview->GetSelection() : nullptr;
        TGvItem* focused = selection ? selection->GetFocusedItem() : nullptr;
        FSearchItem = focused ? focused : StartOfSet();
        FNextSearchItem = focused ? NextInDirection(focused) : nullptr;
        break;
    }
    }
    StartTimer();
    FSearching = true;
}

void TGvIncrementalSearchManager::EndSearch() {
    FSearchBuffer.clear();
    if (FStartType != eissLastHit) ResetSearch();
    FSearching = false;
    StopTimer();
}

bool TGvIncrementalSearchManager::Matches(TGvItem* Item) {
    return FOwnerListview && FOwnerListview->DoIncrementalSearch(Item, FSearchBuffer) == 0;
}

void TGvIncrementalSearchManager::SearchFromItem() {
    TGvItem* start = FSearchItem;
    if (Matches(start)) return;
    // Walk on in Direction, wrap at the end of the set, stop at the start.
    TGvItem* item = NextInDirection(start);
    if (!item) item = StartOfSet();
    while (item && item != start) {
        if (Matches(item)) {
            FSearchItem = item;
            return;
        }
        item = NextInDirection(item);
        if (!item) item = StartOfSet();
    }
    FSearchItem = nullptr;
}

void TGvIncrementalSearchManager::KeyPress(gcl::TMessage& Message) {
    if (!FEnabled || !FSearching) return;
    StopTimer();
    StartTimer();
    const uint8_t code = static_cast<uint8_t>(Message.WParam & 0xFF);
    const bool alt = (Message.LParam & (1 << 29)) != 0 || KeyDown(VK_MENU);
    if (KeyDown(VK_CONTROL) || alt || code < 32) {
        ResetSearch();
        return;
    }
    FSearchBuffer += CharOfLayout(code);
    if (!FNextSearchItem) FNextSearchItem = NextInDirection(FSearchItem);
    // Typing the same letter again steps to the next item with it.
    const bool stepping = FStartType != eissStartOver && FNextSearchItem;
    if (FSearchBuffer.size() == 1) {
        if (stepping) FSearchItem = FNextSearchItem;
    } else if (FSearchBuffer[0] == FSearchBuffer[1]) {
        FSearchBuffer.resize(1);
        if (stepping) FSearchItem = FNextSearchItem;
    }
    if (!FSearchItem || FSearchBuffer.empty()) return;
    SearchFromItem();
    StopTimer();
    StartTimer();
    TGvItem* hit = FSearchItem;
    TCustomGvListview* lv = FOwnerListview;
    if (!hit || !lv || !lv->GetSelection()) return;
    TGvSelectionManager* selection = lv->GetSelection();
    selection->ClearAll();
    selection->SetFocusedItem(hit);
    hit->SetSelected(true);
    hit->MakeVisible(emvAuto);
    if (FStartType != eissStartOver) FNextSearchItem = NextInDirection(hit);
}

// ---- TGvGestureManager -------------------------------------------------------------------------

GCL_PUBLISHED(TGvGestureManager,
    GCL_PROP(Button).Default(TCommonMouseButtons{cmbRight}),
    GCL_PROP(Enabled).Default(false),
    GCL_PROP(Tolerance).Default(3))

} // namespace qelvo
