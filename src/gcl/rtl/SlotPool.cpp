// The slot pool: blocks of fixed-size slots with their own free lists.
#include "gcl/rtl/SlotPool.h"

#include <new>
#include <thread>

namespace gcl {

namespace {
constexpr std::size_t RoundUp(std::size_t value, std::size_t unit) { return (value + unit - 1) / unit * unit; }
constexpr std::size_t SlotAlign(std::size_t Align) { return Align < alignof(void*) ? alignof(void*) : Align; }
} // namespace

// A spin lock: the work under it is a few pointer moves, and a holder that
// lost its time slice gets the processor back through the yield.
class TSlotPool::TLock {
public:
    explicit TLock(std::atomic_flag& Flag) noexcept : FFlag(Flag) {
        for (unsigned spins = 1; FFlag.test_and_set(std::memory_order_acquire); ++spins)
            if (spins % 64 == 0) std::this_thread::yield();
    }
    ~TLock() { FFlag.clear(std::memory_order_release); }
    TLock(const TLock&) = delete;
    TLock& operator=(const TLock&) = delete;

private:
    std::atomic_flag& FFlag;
};

TSlotPool::TSlotPool(std::size_t Size, std::size_t Align)
    : FSlotSize(RoundUp(Size < sizeof(void*) ? sizeof(void*) : Size, SlotAlign(Align))),
      FHeaderSize(RoundUp(sizeof(TBlock), SlotAlign(Align))),
      FSlotCount(0),
      FOpen{&FOpen, &FOpen, nullptr, 0, 0},
      FFull{&FFull, &FFull, nullptr, 0, 0} {
    if (FSlotSize > BlockSize / 4) throw std::bad_alloc();
    FSlotCount = static_cast<std::uint32_t>((BlockSize - FHeaderSize) / FSlotSize);
}

TSlotPool::~TSlotPool() {
    FreeList(FOpen);
    FreeList(FFull);
}

void* TSlotPool::Take() {
    if (!Pooled) return ::operator new(FSlotSize);
    TLock lock(FLock);
    return TakeLocked();
}

void TSlotPool::TakeMany(void** Slots, std::size_t Count) {
    std::size_t taken = 0;
    try {
        if (!Pooled) {
            for (; taken < Count; ++taken) Slots[taken] = ::operator new(FSlotSize);
            return;
        }
        TLock lock(FLock);
        for (; taken < Count; ++taken) Slots[taken] = TakeLocked();
    } catch (...) {
        GiveMany(Slots, taken);
        throw;
    }
}

void* TSlotPool::TakeLocked() {
    TBlock* b = FOpen.Next;
    if (b == &FOpen) b = NewBlock();
    void* slot;
    if (b->Free) {
        slot = b->Free;
        b->Free = *static_cast<void**>(slot);
    } else {
        slot = reinterpret_cast<char*>(b) + FHeaderSize + b->Fresh * FSlotSize;
        ++b->Fresh;
    }
    if (++b->Live == FSlotCount) {
        Unlink(b);
        LinkFirst(FFull, b);
    }
    if (b == FSpare) FSpare = nullptr;
    return slot;
}

void TSlotPool::Give(void* Slot) noexcept {
    if (!Slot) return;
    if (!Pooled) return ::operator delete(Slot);
    TLock lock(FLock);
    GiveLocked(Slot);
}

void TSlotPool::GiveMany(void* const* Slots, std::size_t Count) noexcept {
    if (!Pooled) {
        for (std::size_t i = 0; i < Count; ++i) ::operator delete(Slots[i]);
        return;
    }
    TLock lock(FLock);
    for (std::size_t i = 0; i < Count; ++i)
        if (Slots[i]) GiveLocked(Slots[i]);
}

std::size_t TSlotPool::BlockCount() const noexcept {
    TLock lock(FLock);
    return FBlockCount;
}

void TSlotPool::GiveLocked(void* Slot) noexcept {
    auto* b = reinterpret_cast<TBlock*>(reinterpret_cast<std::uintptr_t>(Slot) & ~(BlockSize - 1));
    *static_cast<void**>(Slot) = b->Free;
    b->Free = Slot;
    if (b->Live-- == FSlotCount) {  // open again
        Unlink(b);
        LinkFirst(FOpen, b);
    }
    if (b->Live == 0 && b != FSpare) {
        // Keep one empty block; give back the one kept before.
        if (FSpare) {
            Unlink(FSpare);
            FreeSlotBlock(FSpare);
            --FBlockCount;
        }
        FSpare = b;
    }
}

TSlotPool::TBlock* TSlotPool::NewBlock() {
    void* memory = AllocateSlotBlock();
    if (!memory) throw std::bad_alloc();
    auto* b = static_cast<TBlock*>(memory);
    b->Free = nullptr;
    b->Live = 0;
    b->Fresh = 0;
    LinkFirst(FOpen, b);
    ++FBlockCount;
    return b;
}

void TSlotPool::Unlink(TBlock* B) noexcept {
    B->Prev->Next = B->Next;
    B->Next->Prev = B->Prev;
    B->Prev = B->Next = nullptr;
}

void TSlotPool::LinkFirst(TBlock& Head, TBlock* B) noexcept {
    B->Prev = &Head;
    B->Next = Head.Next;
    Head.Next->Prev = B;
    Head.Next = B;
}

void TSlotPool::FreeList(TBlock& Head) noexcept {
    for (TBlock* b = Head.Next; b != &Head;) {
        TBlock* next = b->Next;
        FreeSlotBlock(b);
        b = next;
    }
    Head.Next = Head.Prev = &Head;
}

// ---- Graded sizes ----------------------------------------------------------

// Steps of 16 bytes up to 128, then of 32 up to MaxSize.
std::size_t TSlotPools::ClassOf(std::size_t Size) noexcept {
    if (Size <= 128) return Size == 0 ? 0 : (Size - 1) / 16;
    return 8 + (Size - 129) / 32;
}

TSlotPools::TSlotPools() {
    for (std::size_t c = 0; c < Classes; ++c)
        FPools[c] = std::make_unique<TSlotPool>(c < 8 ? (c + 1) * 16 : 128 + (c - 7) * 32);
}

TSlotPools::~TSlotPools() = default;

void* TSlotPools::Take(std::size_t Size) {
    if (Size > MaxSize) return ::operator new(Size);
    return FPools[ClassOf(Size)]->Take();
}

void TSlotPools::Give(void* Block, std::size_t Size) noexcept {
    if (!Block) return;
    if (Size > MaxSize) return ::operator delete(Block);
    FPools[ClassOf(Size)]->Give(Block);
}

std::size_t TSlotPools::BlockCount() const noexcept {
    std::size_t count = 0;
    for (const auto& pool : FPools) count += pool->BlockCount();
    return count;
}

TSlotPools& SmallSlots() {
    static TSlotPools* const pools = new TSlotPools();
    return *pools;
}

} // namespace gcl
