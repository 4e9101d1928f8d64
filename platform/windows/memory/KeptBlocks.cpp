// The program's operator new, keeping a few freed large blocks for the next large
// request instead of giving them back: a fetch frees a page-sized text right before
// it needs another of about that size, and a fresh block pays a page fault for each
// 4 KiB it touches. Smaller blocks are plain malloc.
#include <malloc.h>
#include <windows.h>

#include <array>
#include <cstdlib>
#include <new>
#include <utility>

namespace {

constexpr std::size_t kLargeBlock = std::size_t{1} << 20;
constexpr std::size_t kKeptBlockCount = 4;
// What the kept blocks may hold at most, so the address space stays mostly free.
constexpr std::size_t kKeptBytesLimit = std::size_t{128} << 20;
// A kept block serves requests of at least this fraction of its size, so a large
// block is not spent on a much smaller text.
constexpr std::size_t kMostWaste = 4;

struct KeptBlock {
    void* block = nullptr;
    std::size_t size = 0;
};

// The allocator is the process's own, so its state is too; the lock needs no construction.
SRWLOCK keptLock = SRWLOCK_INIT;
std::array<KeptBlock, kKeptBlockCount> kept;
std::size_t keptBytes = 0;

class KeptLock {
public:
    KeptLock() noexcept { AcquireSRWLockExclusive(&keptLock); }
    KeptLock(const KeptLock&) = delete;
    KeptLock& operator=(const KeptLock&) = delete;
    ~KeptLock() { ReleaseSRWLockExclusive(&keptLock); }
};

// The smallest kept block that holds `size` without wasting most of itself.
void* TakeKept(std::size_t size) {
    const KeptLock lock;
    KeptBlock* best = nullptr;
    for (KeptBlock& candidate : kept) {
        if (candidate.block == nullptr || candidate.size < size || candidate.size / kMostWaste > size) continue;
        if (best == nullptr || candidate.size < best->size) best = &candidate;
    }
    if (best == nullptr) return nullptr;
    keptBytes -= best->size;
    return std::exchange(*best, KeptBlock{}).block;
}

// A block is kept in place of the smallest kept one (or an empty slot) when that
// makes the kept blocks larger and they stay within their limit; else it is freed.
void Keep(void* block, std::size_t size) {
    void* freed = block;
    {
        const KeptLock lock;
        KeptBlock* smallest = &kept.front();
        for (KeptBlock& slot : kept) {
            if (slot.size < smallest->size) smallest = &slot;
        }
        if (smallest->size < size && keptBytes - smallest->size + size <= kKeptBytesLimit) {
            keptBytes = keptBytes - smallest->size + size;
            freed = std::exchange(*smallest, KeptBlock{block, size}).block;
        }
    }
    std::free(freed);
}

// When memory runs short the kept blocks go back first.
void FreeKept() {
    const KeptLock lock;
    for (KeptBlock& slot : kept) std::free(std::exchange(slot, KeptBlock{}).block);
    keptBytes = 0;
}

void* Allocate(std::size_t size) {
    if (size < kLargeBlock) return std::malloc(size == 0 ? 1 : size);
    if (void* block = TakeKept(size)) return block;
    if (void* block = std::malloc(size)) return block;
    FreeKept();
    return std::malloc(size);
}

}  // namespace

void* operator new(std::size_t size) {
    for (;;) {
        if (void* block = Allocate(size)) return block;
        const std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) throw std::bad_alloc();
        handler();
    }
}

void operator delete(void* block) noexcept {
    if (block == nullptr) return;
    const std::size_t size = _msize(block);
    if (size >= kLargeBlock) {
        Keep(block, size);
    } else {
        std::free(block);
    }
}

void operator delete(void* block, std::size_t /*size*/) noexcept { operator delete(block); }
