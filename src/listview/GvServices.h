// Small services of the list view: colour mixing, bitmap blending, the
// header clipboard format, the default caption comparison and the unit's
// start-up.
#pragma once

#include "listview/GvListviewControl.h"

namespace qelvo {

#undef GV_EVENT

// ---- Helpers of this unit ------------------------------------------------------------------

// (A * WeightA + B * WeightB) div (WeightA + WeightB); 0 when both weights are 0.
uint32_t MixValue(uint32_t A, uint32_t B, uint32_t WeightA, uint32_t WeightB);
// Mixes the first three bytes of every target pixel with the source's (both
// 32-bit, of equal size); with Blur the target is first softened.
void BlendBitmaps(gcl::TBitmap* Source, gcl::TBitmap* Target, uint32_t WeightSource, bool Blur, uint32_t WeightTarget);
// The "GvListview.Header" format, no target device, all aspects, index -1,
// TYMED_HGLOBAL.
void HeaderClipboardFormatEtc(FORMATETC& F);
// The captions of both objects at the column's collection index (0 without
// a column), compared ignoring case; negated for a descending column.
int DefaultSortCompare(TGvColumn* Column, TGvCollectionItem* Item1, TGvCollectionItem* Item2);
// The registered "GvListview.Header" clipboard format.
extern CLIPFORMAT CF_GVHEADER;

// Initialises the list view's base units, OLE, the header clipboard format
// and the registration of the thirteen item, group and column kinds.
extern gcl::TUnit GvListviewUnit;

} // namespace qelvo
