// Small services of the list view and the unit's start-up: class
// registration, OLE and the header clipboard format.
#include "listview/GvInternal.h"

namespace qelvo {

using namespace gvdetail;

CLIPFORMAT CF_GVHEADER = 0;

// ---- Helpers of this unit -----------------------------------------------------------------

uint32_t MixValue(uint32_t A, uint32_t B, uint32_t WeightA, uint32_t WeightB) {
    const uint32_t total = WeightA + WeightB;
    if (total == 0) return 0;
    return (A * WeightA + B * WeightB) / total;
}

void BlendBitmaps(gcl::TBitmap* Source, gcl::TBitmap* Target, uint32_t WeightSource, bool Blur, uint32_t WeightTarget) {
    if (!Source || !Target) return;
    const int width = Target->GetWidth();
    const int height = Target->GetHeight();
    if (height < 1 || width < 1 || Source->GetWidth() != width || Source->GetHeight() != height) return;
    if (Source->GetPixelFormat() != gcl::pf32bit || Target->GetPixelFormat() != gcl::pf32bit) return;
    for (int y = 0; y < height; ++y) {
        const auto* s = static_cast<const uint8_t*>(Source->GetScanLine(y));
        auto* t = static_cast<uint8_t*>(Target->GetScanLine(y));
        const uint8_t* above = y > 0 ? static_cast<const uint8_t*>(Target->GetScanLine(y - 1)) : nullptr;
        const uint8_t* below = y < height - 1 ? static_cast<const uint8_t*>(Target->GetScanLine(y + 1)) : nullptr;
        for (int x = 0; x < width; ++x) {
            for (int ch = 0; ch < 3; ++ch) {
                uint32_t target = t[x * 4 + ch];
                if (Blur && above && below && x > 0 && x < width - 1) {
                    uint32_t sum = 0;
                    for (int dx = -1; dx <= 1; ++dx) {
                        sum += above[(x + dx) * 4 + ch] + below[(x + dx) * 4 + ch];
                        if (dx != 0) sum += t[(x + dx) * 4 + ch];
                    }
                    target = (sum + target / 2) / 9;
                }
                t[x * 4 + ch] = static_cast<uint8_t>(MixValue(s[x * 4 + ch], target, WeightSource, WeightTarget));
            }
        }
    }
}

void HeaderClipboardFormatEtc(FORMATETC& F) {
    F.cfFormat = CF_GVHEADER;
    F.ptd = nullptr;
    F.dwAspect = 0xFFFFFFFF;
    F.lindex = -1;
    F.tymed = TYMED_HGLOBAL;
}

int DefaultSortCompare(TGvColumn* Column, TGvCollectionItem* Item1, TGvCollectionItem* Item2) {
    // Captions are kept by collection index, whatever the display position.
    const int index = Column ? Column->GetIndex() : 0;
    int result = WideStrIComp(Item1->GetCaptions(index), Item2->GetCaptions(index));
    if (Column && Column->GetSortDirection() == esdDescending) result = -result;
    return result;
}

// ---- Unit ------------------------------------------------------------------------------------

namespace {

bool GOleInitialized = false;

// The kinds a collection stream may name, and the control for forms.
const gcl::TClass GvClasses[] = {
    TGvGroup::StaticClass(),        TGvGroupVirtual::StaticClass(),   TGvGroupInterfaced::StaticClass(),
    TGvGroupStored::StaticClass(),  TGvGroupTaskPanel::StaticClass(), TGvItem::StaticClass(),
    TGvItemVirtual::StaticClass(),  TGvItemInterfaced::StaticClass(), TGvItemStored::StaticClass(),
    TGvColumn::StaticClass(),       TGvColumnVirtual::StaticClass(),  TGvColumnInterfaced::StaticClass(),
    TGvColumnStored::StaticClass(), TGvListview::StaticClass()};

void InitGvListview() {
    LvCommonUtilitiesUnit.Initialize();
    LvCommonObjectsUnit.Initialize();
    LvDataObjectUnit.Initialize();
    const HRESULT hr = OleInitialize(nullptr);
    GOleInitialized = SUCCEEDED(hr);
    const UINT format = RegisterClipboardFormatA("GvListview.Header");
    if (format > 0xFFFF) throw gcl::ERangeError("Range check error");
    CF_GVHEADER = static_cast<CLIPFORMAT>(format);
    // The header's divider cursor: the program's own, else the system's,
    // loaded when first shown.
    if (gcl::Screen)
        gcl::Screen->SetCursorResource(crGvHeaderSplit, GetModuleHandleA(nullptr), "VGVHEADERSPLIT", IDC_SIZEWE);
    for (gcl::TClass cls : GvClasses) gcl::RegisterClasses({cls});
}

void FinalizeGvListview() {
    for (gcl::TClass cls : GvClasses) gcl::UnRegisterClass(cls);
    if (GOleInitialized) OleUninitialize();
    GOleInitialized = false;
    LvDataObjectUnit.Finalize();
    LvCommonObjectsUnit.Finalize();
    LvCommonUtilitiesUnit.Finalize();
}

} // namespace

gcl::TUnit GvListviewUnit{"GvListview", &InitGvListview, &FinalizeGvListview};

} // namespace qelvo
