// The list view's streams, through its public surface only: the whole
// control's stream (LoadFromStream) and the collection streams of its
// items, groups and columns (ReadItems). The first input byte picks the
// stream, the rest is its bytes. Whatever loaded writes out again. Any
// outcome but a gcl::Exception is a bug.
#include <cstddef>
#include <cstdint>

#include "gcl/Forms.h"
#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Streams.h"
#include "listview/GvListview.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = (gcl::FormsUnit.Initialize(), qelvo::GvListviewUnit.Initialize(), true);
    (void)ready;
    if (size == 0) return 0;
    const uint8_t which = data[0] % 4;
    gcl::TMemoryStream in;
    if (size > 1) in.WriteBuffer(data + 1, static_cast<int32_t>(size - 1));
    in.SetPosition(0);
    qelvo::TGvListview* view = qelvo::TGvListview::Create(nullptr);
    try {
        gcl::TMemoryStream out;
        if (which == 0) {
            view->LoadFromStream(in);
            view->SaveToStream(out);
        } else {
            qelvo::TGvCollection* target =
                which == 1   ? static_cast<qelvo::TGvCollection*>(view->GetItems()->Add(nullptr)->OwnerItems())
                : which == 2 ? static_cast<qelvo::TGvCollection*>(view->GetGroups())
                             : static_cast<qelvo::TGvCollection*>(view->GetHeader()->GetColumns());
            target->ReadItems(in);
            target->WriteItems(out);
        }
    } catch (const gcl::Exception&) {
    }
    gcl::Free(view);
    return 0;
}
