// The persistent base classes of list-view objects.
#include "listview/GvInternal.h"

namespace qelvo {

using namespace gvdetail;

// ---- Persistent bases ------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvPersistent)
GCL_IMPLEMENT_CLASS(TGvOwnedPersistent)
GCL_IMPLEMENT_CLASS(TGvOwnedPersistentView)
GCL_IMPLEMENT_CLASS(TGvOwnedPersistentGroupItem)
GCL_IMPLEMENT_CLASS(TGvInterfacedPersistent)
GCL_IMPLEMENT_CLASS(TGvOwnedInterfacedPersistent)

gcl::TPersistent* TGvOwnedPersistent::GetOwner() const { return FOwnerListview; }

TGvOwnedPersistentGroupItem::TGvOwnedPersistentGroupItem(TGvCollectionItem* AOwner)
    : TGvOwnedPersistentView(AOwner ? AOwner->OwnerListview() : nullptr), FOwnerItem(AOwner) {}

bool TGvInterfacedPersistent::GetInterface(const gcl::TGUID& iid, void** out) {
    if (iid == gcl::IUnknown::IID) {
        *out = static_cast<gcl::IUnknown*>(this);
        return true;
    }
    return inherited::GetInterface(iid, out);
}

gcl::ULONG TGvInterfacedPersistent::ObjRelease() noexcept {
    const LONG count = InterlockedDecrement(&FRefCount);
    if (count == 0) Free();
    return static_cast<gcl::ULONG>(count);
}

void TGvInterfacedPersistent::AfterConstruction() {
    inherited::AfterConstruction();
    InterlockedDecrement(&FRefCount);
}

} // namespace qelvo
