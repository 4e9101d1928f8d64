// The program's operator new, for the page-sized texts a fetch holds: a block of
// some megabytes is aligned to a huge page and asks the kernel for huge pages,
// so storing a 64 MiB page takes a few dozen page faults instead of 16384 and
// its memory is given back as fast. Smaller blocks are plain malloc.
#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kLargeBlock = 2 * kHugePage;

void* Allocate(std::size_t size) {
    if (size < kLargeBlock) return std::malloc(size == 0 ? 1 : size);
    if (size > SIZE_MAX - kHugePage) return nullptr;  // no rounding up past the address space
    void* block = std::aligned_alloc(kHugePage, (size + kHugePage - 1) / kHugePage * kHugePage);
    // Only advice: without huge pages the block works as any other.
    if (block != nullptr) static_cast<void>(madvise(block, size, MADV_HUGEPAGE));
    return block;
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

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t /*size*/) noexcept { std::free(block); }
