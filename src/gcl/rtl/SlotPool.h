// Fixed-size memory slots for objects made and freed by the hundred
// thousand (the items of a list): slots side by side in 64 KB blocks
// instead of one heap block each, which costs the heap's lock and
// bookkeeping every time and scatters neighbours over memory.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace gcl {

// Blocks are aligned to their size, so a slot finds its block from its own
// address. A block goes back to the system when its last slot is given
// back; one empty block is kept for the next slot. Taking and giving are
// thread-safe. In builds with the address sanitizer every slot is a heap
// block of its own, so that the sanitizer still sees each object.
class TSlotPool {
public:
    static constexpr std::size_t BlockSize = 64 * 1024;
#if defined(__SANITIZE_ADDRESS__)
    static constexpr bool Pooled = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    static constexpr bool Pooled = false;
#else
    static constexpr bool Pooled = true;
#endif
#else
    static constexpr bool Pooled = true;
#endif

    // Slots of at least Size bytes (at most a quarter of a block), aligned
    // to Align (any object's alignment by default; at least a pointer's).
    explicit TSlotPool(std::size_t Size, std::size_t Align = alignof(std::max_align_t));
    TSlotPool(const TSlotPool&) = delete;
    TSlotPool& operator=(const TSlotPool&) = delete;
    // Gives every block back; slots still taken die with them.
    ~TSlotPool();

    std::size_t SlotSize() const noexcept { return FSlotSize; }
    // A slot of SlotSize bytes; std::bad_alloc when the system has no
    // memory left.
    void* Take();
    // Count slots into Slots under one lock (all or none).
    void TakeMany(void** Slots, std::size_t Count);
    // Gives back a slot taken from this pool (nullptr is ignored).
    void Give(void* Slot) noexcept;
    void GiveMany(void* const* Slots, std::size_t Count) noexcept;
    // The blocks held now.
    std::size_t BlockCount() const noexcept;

private:
    struct TBlock {
        TBlock* Prev;
        TBlock* Next;
        void* Free;           // slots given back, linked through themselves
        std::uint32_t Live;   // slots in use
        std::uint32_t Fresh;  // slots never used yet start here
    };
    class TLock;

    void* TakeLocked();
    void GiveLocked(void* Slot) noexcept;
    TBlock* NewBlock();
    static void Unlink(TBlock* B) noexcept;
    static void LinkFirst(TBlock& Head, TBlock* B) noexcept;
    static void FreeList(TBlock& Head) noexcept;

    std::size_t FSlotSize;
    std::size_t FHeaderSize;
    std::uint32_t FSlotCount;
    mutable std::atomic_flag FLock = ATOMIC_FLAG_INIT;
    TBlock FOpen;  // blocks with a free slot (the list's own head)
    TBlock FFull;  // blocks without one
    TBlock* FSpare = nullptr;  // an empty block kept for the next slot
    std::size_t FBlockCount = 0;
};

// Small blocks of graded sizes (up to MaxSize bytes), each size from a slot
// pool of its own; larger blocks come from the heap. For the texts and
// arrays that objects kept by the hundred thousand hold, which would
// otherwise cost a heap block each.
class TSlotPools {
public:
    static constexpr std::size_t MaxSize = 256;

    TSlotPools();
    TSlotPools(const TSlotPools&) = delete;
    TSlotPools& operator=(const TSlotPools&) = delete;
    ~TSlotPools();

    // A block of at least Size bytes; std::bad_alloc when there is none.
    void* Take(std::size_t Size);
    // Gives back a block taken with the same Size (nullptr is ignored).
    void Give(void* Block, std::size_t Size) noexcept;
    // The blocks the pools hold now (the heap's not counted).
    std::size_t BlockCount() const noexcept;

private:
    static constexpr std::size_t Classes = 12;
    static std::size_t ClassOf(std::size_t Size) noexcept;
    std::unique_ptr<TSlotPool> FPools[Classes];
};

// The process's small-block pools; never destroyed, so that a block may be
// given back as late as the end of the process.
TSlotPools& SmallSlots();

// A standard allocator over SmallSlots(): containers and strings of it keep
// their storage in pooled slots.
template <class T>
struct TSlotAllocator {
    using value_type = T;
    static_assert(alignof(T) <= alignof(std::max_align_t), "slots are aligned for any object");

    TSlotAllocator() noexcept = default;
    template <class U>
    TSlotAllocator(const TSlotAllocator<U>&) noexcept {}

    T* allocate(std::size_t Count) {
        if (Count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(SmallSlots().Take(Count * sizeof(T)));
    }
    void deallocate(T* P, std::size_t Count) noexcept { SmallSlots().Give(P, Count * sizeof(T)); }

    template <class U>
    bool operator==(const TSlotAllocator<U>&) const noexcept {
        return true;
    }
};

// The system's memory for one block: BlockSize bytes aligned to BlockSize
// (nullptr when there is none), and its release.
void* AllocateSlotBlock() noexcept;
void FreeSlotBlock(void* Block) noexcept;

} // namespace gcl
