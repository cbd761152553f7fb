// Speed of the grouped list view under Wine, each figure against a floor
// measured in the same run (median of RUNS runs each):
//   fill  - adding N items to 50 groups, sorting by caption, regrouping by
//           first letter and laying out report view; floor: the same work
//           done plainly (a caption copy each, the folded keys in one
//           buffer, an index sorted by key and position, a rectangle each). The captions are made before the timers start
//           and each side copies one into every item or struct; the older
//           figures, which make the captions inside the timers, follow.
//           Also the growth from N/10 to N items, the floor's beside it.
//   hits  - 1,000 point look-ups and 1,000 neighbour look-ups at 1,000 and
//           at N items.
//   paint - painting the visible rows of an 800x600 report view into a
//           32-bit bitmap, at 100 and at N items, at the top and scrolled
//           to the middle.
//   groups - the task list's refresh when grouped by tags: N items (with
//           no texts of their own) in N * 0.145 groups, each group made
//           with its key, caption and image, then its items, in one
//           update, laid out when it ends; then the list cleared. Floor:
//           the same groups as plain structs (a caption copy, key, image
//           and a vector of the items' data each).
//   refill - the task list's refresh at a filter change: 20 groups of N
//           items (virtual, each started with its data, check and number),
//           cleared and made again with half of them, then with all, the
//           clear and the fill in one update as the task list does them
//           (laid out when it ends). Floor: the same records (data, check,
//           number) in a vector per group, emptied and filled again.
//   free  - every second item of each of 10 groups freed one by one
//           inside an update (laid out when it ends), at N/10 and at N
//           items, and the growth for 10x the items. Floor: as many
//           records of an item's size freed one by one out of a vector
//           of pointers per group, which is closed up once.
//   gv_listview_bench [RUNS] [N] [fill|hits|paint|groups|refill|free]   (bench/listview.sh runs it;
//                                                     a part name runs that part only)
// With GV_PHASES set in the environment each fill also prints its phases.
#include "gcl/rtl/WinApi.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gcl/Forms.h"
#include "listview/GvListview.h"

using namespace qelvo;

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(frequency.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Task-like captions: a word from a small vocabulary, a number, a word.
std::wstring Caption(int i) {
    static const wchar_t* words[] = {L"buy",    L"Call",  L"write",  L"fix",   L"Plan",  L"read",   L"send",
                                     L"check",  L"Order", L"clean",  L"book",  L"pay",   L"review", L"update",
                                     L"Ask",    L"print", L"move",   L"sort",  L"test",  L"visit",  L"learn",
                                     L"answer", L"pack",  L"repair", L"water", L"zip"};
    unsigned x = static_cast<unsigned>(i) * 2654435761u;
    return std::wstring(words[x % 26]) + L" " + std::to_wstring(x % 9973) + L" " + words[(x >> 8) % 26];
}

HWND Host() {
    static HWND host = CreateWindowExA(0, "STATIC", "bench", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
    return host;
}

TGvListview* MakeListview() {
    TGvListview* lv = TGvListview::Create(nullptr);
    lv->SetBounds(0, 0, 800, 600);
    lv->SetBevelKind(gcl::bkNone);
    lv->SetParentWindow(Host());
    lv->HandleNeeded();
    lv->SetView(elsReport);
    lv->GetHeader()->SetVisible(true);
    lv->GetCellSizes()->GetReport()->SetHeight(23);
    lv->SetShowGroupMargins(true);
    lv->GetPaintInfoItem()->SetCheckType(ectBox);
    lv->GetPaintInfoItem()->SetGridLines(true);
    lv->GetSelection()->SetFullRowSelect(true);
    TGvColumns* columns = lv->GetHeader()->GetColumns();
    columns->Add(nullptr)->SetWidth(320);
    columns->Add(nullptr)->SetWidth(150);
    columns->Add(nullptr)->SetWidth(100);
    lv->GetSelection()->SetFocusedColumn(columns->GetColumns(0));
    columns->GetColumns(0)->SetSortDirection(esdAscending);
    return lv;
}

// The captions of n items, made before any timer starts: making them is
// test data, not list-view work.
std::vector<std::wstring> Captions(int n) {
    std::vector<std::wstring> captions;
    captions.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) captions.push_back(Caption(i));
    return captions;
}

// Fills, sorts, regroups and lays out; returns seconds. Each item's
// caption is copied from Made, or made inside the timed loop without it
// (the older figure, which times the caption making too).
double FillOnce(int n, const std::vector<std::wstring>* Made) {
    TGvListview* lv = MakeListview();
    const double start = Now();
    lv->BeginUpdate();
    std::vector<TGvGroup*> groups;
    for (int g = 0; g < 50; ++g) groups.push_back(lv->GetGroups()->Add(nullptr));
    for (int i = 0; i < n; ++i) {
        TGvItem* item = groups[static_cast<size_t>(i % 50)]->GetItems()->Add(nullptr);
        item->SetCaption(Made ? (*Made)[static_cast<size_t>(i)] : Caption(i));
    }
    const double added = Now();
    lv->EndUpdate();
    const double laid = Now();
    lv->GetSort()->SortAll();
    const double sorted = Now();
    lv->GetSort()->SetAutoRegroup(true);  // regroups by first letter and lays out
    const double seconds = Now() - start;
    if (getenv("GV_PHASES"))
        std::printf("  add %.1f layout %.1f sort %.1f regroup %.1f ms\n", (added - start) * 1000, (laid - added) * 1000,
                    (sorted - laid) * 1000, (Now() - sorted) * 1000);
    gcl::Free(lv);
    return seconds;
}

// The floor of a fill, done plainly: one copy of each caption (copied from
// Made, or made), the folded keys of all captions in one buffer, an index
// sorted by (key, position) (the stable order without a merge buffer), and
// a rectangle per item in sorted order.
double FloorOnce(int n, const std::vector<std::wstring>* Made) {
    const double start = Now();
    const size_t count = static_cast<size_t>(n);
    std::vector<std::wstring> captions(count);
    for (size_t i = 0; i < count; ++i) captions[i] = Made ? (*Made)[i] : Caption(static_cast<int>(i));
    size_t total = 0;
    for (const std::wstring& c : captions) total += c.size();
    std::wstring keys;
    keys.reserve(total);
    std::vector<uint32_t> offsets(count + 1);
    for (size_t i = 0; i < count; ++i) {
        offsets[i] = static_cast<uint32_t>(keys.size());
        keys += captions[i];
    }
    offsets[count] = static_cast<uint32_t>(keys.size());
    if (!keys.empty()) CharLowerBuffW(keys.data(), static_cast<DWORD>(keys.size()));
    std::vector<uint32_t> order(count);
    for (size_t i = 0; i < count; ++i) order[i] = static_cast<uint32_t>(i);
    const wchar_t* base = keys.data();
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        const std::wstring_view ka(base + offsets[a], offsets[a + 1] - offsets[a]);
        const std::wstring_view kb(base + offsets[b], offsets[b + 1] - offsets[b]);
        const int c = ka.compare(kb);
        return c != 0 ? c < 0 : a < b;
    });
    std::vector<RECT> rects(count);
    int y = 2;
    for (uint32_t i : order) {
        rects[i] = RECT{0, y, 570, y + 23};
        y += 23;
    }
    const double seconds = Now() - start;
    if (!rects.empty() && rects[order.back()].bottom < 0) std::printf("?");
    return seconds;
}

// 1,000 point look-ups and 1,000 neighbour steps over a laid-out list.
double HitsOnce(TGvListview* lv) {
    TGvGroups* groups = lv->GetGroups();
    gcl::TRect view{};
    groups->GetViewRect(view);
    const double start = Now();
    int found = 0;
    for (int i = 0; i < 1000; ++i) {
        const int y = static_cast<int>((static_cast<long long>(i) * 7919) % std::max(view.Bottom, 1));
        if (TGvItem* item = groups->ItemByPoint(gcl::TPoint{10, y})) {
            found += groups->AdjacentItem(item, i % 2 ? adjDown : adjUp) != nullptr;
        }
    }
    const double seconds = Now() - start;
    if (found < 0) std::printf("?");
    return seconds;
}

TGvListview* Filled(int n, int groups = 50) {
    TGvListview* lv = MakeListview();
    lv->BeginUpdate();
    for (int g = 0; g < groups; ++g) lv->GetGroups()->Add(nullptr)->SetCaption(L"Group " + std::to_wstring(g));
    for (int i = 0; i < n; ++i)
        lv->GetGroups()->GetGroups(i % groups)->GetItems()->Add(nullptr)->SetCaption(Caption(i));
    lv->EndUpdate();
    return lv;
}

void Fill(int runs, int n) {
    const std::vector<std::wstring> made = Captions(n);
    std::vector<double> fill, fillSmall, floor, floorSmall, fillMaking, floorMaking;
    for (int r = 0; r < runs; ++r) {
        fillSmall.push_back(FillOnce(n / 10, &made));
        fill.push_back(FillOnce(n, &made));
        floorSmall.push_back(FloorOnce(n / 10, &made));
        floor.push_back(FloorOnce(n, &made));
        fillMaking.push_back(FillOnce(n, nullptr));
        floorMaking.push_back(FloorOnce(n, nullptr));
    }
    const double f = Median(fill), fs = Median(fillSmall), fl = Median(floor);
    const double fm = Median(fillMaking), flm = Median(floorMaking);
    std::printf("fill %d items, 50 groups, sort, regroup, report layout: %.1f ms (floor %.1f ms, ratio %.2f); "
                "making the captions inside the timer: %.1f ms (floor %.1f ms, ratio %.2f)\n",
                n, f * 1000, fl * 1000, f / fl, fm * 1000, flm * 1000, fm / flm);
    // A sort alone grows by 10 log(n) / log(n/10) for 10x the items (12.5x
    // from 10,000 to 100,000); the floor's growth shows what the machine adds.
    const double fls = Median(floorSmall);
    std::printf("fill %d items: %.1f ms; growth for 10x the items: %.2fx (floor %.1f ms, growth %.2fx)\n", n / 10,
                fs * 1000, f / fs, fls * 1000, fl / fls);
}

void Hits(int runs, int n) {
    TGvListview* small = Filled(1000);
    TGvListview* large = Filled(n);
    std::vector<double> hitsSmall, hitsLarge;
    for (int r = 0; r < runs; ++r) {
        hitsSmall.push_back(HitsOnce(small));
        hitsLarge.push_back(HitsOnce(large));
    }
    const double hs = Median(hitsSmall), hl = Median(hitsLarge);
    std::printf("1000 hit tests + neighbours: %.3f ms at 1000 items, %.3f ms at %d items (ratio %.2f)\n", hs * 1000,
                hl * 1000, n, hl / hs);
    gcl::Free(small);
    gcl::Free(large);
}

void Paint(int runs, int n) {
    gcl::TBitmap bitmap;
    bitmap.SetPixelFormat(gcl::pf32bit);
    bitmap.SetSize(800, 600);
    // Both painted lists show a few groups per screen.
    TGvListview* few = Filled(100, 4);
    TGvListview* many = Filled(n, 4);
    auto paint = [&](TGvListview* lv) {
        const double start = Now();
        lv->PaintRect(bitmap.GetCanvas(), gcl::TRect{0, 0, lv->GetClientWidth(), lv->GetClientHeight()}, false);
        return Now() - start;
    };
    std::vector<double> paintFew, paintMany, paintMiddle;
    for (int r = 0; r < std::max(runs, 5) * 4; ++r) {
        paintFew.push_back(paint(few));
        many->GetScrollbars()->SetOffsetY(0);
        paintMany.push_back(paint(many));
        many->GetScrollbars()->SetOffsetY(many->GetScrollbars()->MaxOffsetY() / 2);
        paintMiddle.push_back(paint(many));
    }
    const double pf = Median(paintFew), pm = Median(paintMany), pmid = Median(paintMiddle);
    std::printf("paint 800x600 report view: %.2f ms at 100 items, %.2f ms at %d items (ratio %.2f), %.2f ms scrolled "
                "to the middle (ratio %.2f)\n",
                pf * 1000, pm * 1000, n, pm / pf, pmid * 1000, pmid / pf);
    gcl::Free(few);
    gcl::Free(many);
}

// One refresh of a list grouped by tags, timed by phase (ms): groups made,
// items added, the update's end (layout), the clear that follows.
struct TGroupsTimes {
    double Groups = 0, Items = 0, Layout = 0, Clear = 0;
    double Total() const { return Groups + Items + Layout + Clear; }
};

TGroupsTimes GroupsOnce(TGvListview* lv, int n, const std::vector<std::wstring>& captions) {
    const int groupCount = static_cast<int>(captions.size());
    TGroupsTimes t;
    lv->BeginUpdate();
    double start = Now();
    std::vector<TGvGroup*> groups(static_cast<size_t>(groupCount));
    for (int g = 0; g < groupCount; ++g) {
        TGvGroup* group = lv->GetGroups()->Add(nullptr);
        group->SetKey(static_cast<uint32_t>(g));
        group->SetCaption(captions[static_cast<size_t>(g)]);
        group->SetImageIndex(46);
        groups[static_cast<size_t>(g)] = group;
    }
    double step = Now();
    t.Groups = (step - start) * 1000;
    // The items come group by group, as the task list adds them.
    for (int g = 0; g < groupCount; ++g) {
        TGvItems* items = groups[static_cast<size_t>(g)]->GetItems();
        items->Reserve((n - g + groupCount - 1) / groupCount);
        for (int i = g; i < n; i += groupCount)
            items->Add(reinterpret_cast<void*>(static_cast<intptr_t>(i + 1)));
    }
    start = Now();
    t.Items = (start - step) * 1000;
    lv->EndUpdate();
    step = Now();
    t.Layout = (step - start) * 1000;
    lv->BeginUpdate();
    lv->GetGroups()->Clear();
    lv->EndUpdate();
    t.Clear = (Now() - step) * 1000;
    return t;
}

double GroupsFloorOnce(int n, const std::vector<std::wstring>& captions) {
    struct TPlainGroup {
        std::wstring Caption;
        uint32_t Key = 0;
        int Image = -1;
        std::vector<void*> Items;
    };
    const double start = Now();
    std::vector<TPlainGroup> groups;
    const int groupCount = static_cast<int>(captions.size());
    for (int g = 0; g < groupCount; ++g) {
        TPlainGroup plain;
        plain.Caption = captions[static_cast<size_t>(g)];
        plain.Key = static_cast<uint32_t>(g);
        plain.Image = 46;
        groups.push_back(std::move(plain));
    }
    for (int g = 0; g < groupCount; ++g)
        for (int i = g; i < n; i += groupCount)
            groups[static_cast<size_t>(g)].Items.push_back(reinterpret_cast<void*>(static_cast<intptr_t>(i + 1)));
    const double seconds = Now() - start;
    volatile size_t keep = groups.back().Items.size();
    (void)keep;
    return seconds * 1000;
}

void Groups(int runs, int n) {
    const int groupCount = std::max(1, static_cast<int>(n * 0.145));
    std::vector<std::wstring> captions;
    for (int g = 0; g < groupCount; ++g) captions.push_back(Caption(g) + L", " + Caption(g + 7));
    TGvListview* lv = MakeListview();
    lv->SetItemClass(TGvItemVirtual::StaticClass());
    lv->GetPaintInfoGroup()->SetExpandable(true);
    std::vector<double> total, groups, items, layout, clear, floor;
    for (int r = 0; r < std::max(runs, 5); ++r) {
        const TGroupsTimes t = GroupsOnce(lv, n, captions);
        total.push_back(t.Total());
        groups.push_back(t.Groups);
        items.push_back(t.Items);
        layout.push_back(t.Layout);
        clear.push_back(t.Clear);
        floor.push_back(GroupsFloorOnce(n, captions));
    }
    const double tt = Median(total), fl = Median(floor);
    std::printf("%d items in %d groups: %.1f ms (groups %.1f, items %.1f, layout %.1f, clear %.1f; floor %.1f ms, "
                "ratio %.2f)\n",
                n, groupCount, tt, Median(groups), Median(items), Median(layout), Median(clear), fl, tt / fl);
    gcl::Free(lv);
}

// The I-th of the tasks a refill shows (every Step-th of them): its data,
// its check (every other one) and its number.
struct TRefillSource {
    int Group = 0;
    int Groups = 1;
    int Step = 1;
};

void RefillStart(const void* Source, int Index, TGvItems::TItemStart& Start) {
    const auto* s = static_cast<const TRefillSource*>(Source);
    const int task = (Index * s->Groups + s->Group) * s->Step;
    Start.Data = reinterpret_cast<void*>(static_cast<intptr_t>(task + 1));
    Start.Checked = task % 2 == 0;
    Start.Tag = Index + 1;
}

// Clears the list and fills it with every Step-th of n tasks in groupCount
// groups, in one update. Milliseconds.
double RefillOnce(TGvListview* lv, int n, int groupCount, int step) {
    const double start = Now();
    lv->BeginUpdate();
    lv->GetGroups()->Clear();
    const int shown = n / step;
    for (int g = 0; g < groupCount; ++g) {
        TGvGroup* group = lv->GetGroups()->Add(nullptr);
        group->SetKey(static_cast<uint32_t>(g));
        const TRefillSource source{g, groupCount, step};
        group->GetItems()->AddStarted((shown - g + groupCount - 1) / groupCount, &RefillStart, &source);
    }
    lv->EndUpdate();
    return (Now() - start) * 1000;
}

double RefillFloorOnce(std::vector<std::vector<TGvItems::TItemStart>>& groups, int n, int step) {
    const double start = Now();
    const int groupCount = static_cast<int>(groups.size());
    const int shown = n / step;
    for (int g = 0; g < groupCount; ++g) {
        std::vector<TGvItems::TItemStart>& records = groups[static_cast<size_t>(g)];
        records.clear();
        const TRefillSource source{g, groupCount, step};
        const int count = (shown - g + groupCount - 1) / groupCount;
        for (int i = 0; i < count; ++i) {
            TGvItems::TItemStart record;
            RefillStart(&source, i, record);
            records.push_back(record);
        }
    }
    const double seconds = Now() - start;
    volatile size_t keep = groups.back().size();
    (void)keep;
    return seconds * 1000;
}

void Refill(int runs, int n) {
    constexpr int GroupCount = 20;
    TGvListview* lv = MakeListview();
    lv->SetItemClass(TGvItemVirtual::StaticClass());
    lv->GetGroups()->SetItemClass(TGvGroupVirtual::StaticClass());
    lv->GetPaintInfoGroup()->SetExpandable(true);
    std::vector<std::vector<TGvItems::TItemStart>> plain(GroupCount);
    RefillOnce(lv, n, GroupCount, 1);
    std::vector<double> half, all, halfFloor, allFloor;
    for (int r = 0; r < std::max(runs, 5); ++r) {
        half.push_back(RefillOnce(lv, n, GroupCount, 2));
        all.push_back(RefillOnce(lv, n, GroupCount, 1));
        halfFloor.push_back(RefillFloorOnce(plain, n, 2));
        allFloor.push_back(RefillFloorOnce(plain, n, 1));
    }
    const double hf = Median(halfFloor), af = Median(allFloor);
    std::printf("refill of %d groups, all %d items to half: %.1f ms (floor %.2f ms, ratio %.1f)\n", GroupCount, n,
                Median(half), hf, Median(half) / hf);
    std::printf("refill of %d groups, half of %d items to all: %.1f ms (floor %.2f ms, ratio %.1f)\n", GroupCount, n,
                Median(all), af, Median(all) / af);
    gcl::Free(lv);
}

// Every second item of each group of a list of n items in 10 groups
// freed one by one inside one update, laid out when it ends.
// Milliseconds.
double FreeHalfOnce(int n) {
    constexpr int GroupCount = 10;
    TGvListview* lv = Filled(n, GroupCount);
    std::vector<TGvItem*> gone;
    gone.reserve(static_cast<size_t>(n / 2 + GroupCount));
    const double start = Now();
    lv->BeginUpdate();
    for (int g = 0; g < GroupCount; ++g) {
        TGvItems* items = lv->GetGroups()->GetGroups(g)->GetItems();
        for (int i = 1; i < items->GetCount(); i += 2) gone.push_back(items->GetItems(i));
    }
    for (TGvItem* item : gone) gcl::Free(item);
    lv->EndUpdate();
    const double ms = (Now() - start) * 1000;
    gcl::Free(lv);
    return ms;
}

// The floor: the same records (an item's size each) freed one by one out
// of a vector of pointers per group, each vector closed up once.
double FreeHalfFloorOnce(int n) {
    constexpr int GroupCount = 10;
    struct TRecord {
        char Bytes[sizeof(TGvItemStored)];
    };
    std::vector<std::vector<TRecord*>> groups(GroupCount);
    for (int i = 0; i < n; ++i) groups[static_cast<size_t>(i % GroupCount)].push_back(new TRecord{});
    const double start = Now();
    for (std::vector<TRecord*>& records : groups) {
        for (size_t i = 1; i < records.size(); i += 2) {
            delete records[i];
            records[i] = nullptr;
        }
        records.erase(std::remove(records.begin(), records.end(), nullptr), records.end());
    }
    const double ms = (Now() - start) * 1000;
    for (std::vector<TRecord*>& records : groups)
        for (TRecord* r : records) delete r;
    return ms;
}

void FreeHalf(int runs, int n) {
    std::vector<double> small, large, smallFloor, largeFloor;
    for (int r = 0; r < std::max(runs, 5); ++r) {
        small.push_back(FreeHalfOnce(n / 10));
        large.push_back(FreeHalfOnce(n));
        smallFloor.push_back(FreeHalfFloorOnce(n / 10));
        largeFloor.push_back(FreeHalfFloorOnce(n));
    }
    const double s = Median(small), l = Median(large), sf = Median(smallFloor), lf = Median(largeFloor);
    std::printf("free every second item of 10 groups in one update: %.2f ms at %d items (floor %.3f ms, ratio %.1f), "
                "%.2f ms at %d items (floor %.3f ms, ratio %.1f); growth for 10x the items: %.1fx (floor %.1fx)\n",
                s, n / 10, sf, s / sf, l, n, lf, l / lf, l / s, lf / sf);
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(std::atoi(argv[1]), 1) : 5;
    const int n = argc > 2 ? std::max(std::atoi(argv[2]), 100) : 100000;
    const std::string only = argc > 3 ? argv[3] : "";
    gcl::FormsUnit.Initialize();
    GvListviewUnit.Initialize();
    if (only.empty() || only == "fill") Fill(runs, n);
    if (only.empty() || only == "hits") Hits(runs, n);
    if (only.empty() || only == "paint") Paint(runs, n);
    if (only.empty() || only == "groups") Groups(runs, n);
    if (only.empty() || only == "refill") Refill(runs, n);
    if (only.empty() || only == "free") FreeHalf(runs, n);
    GvListviewUnit.Finalize();
    gcl::FormsUnit.Finalize();
    return 0;
}
