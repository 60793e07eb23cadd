#pragma once
// Allocator for the run's few large tables (the line profile and its encoded file). A fresh
// process touches every page of them once; backing them with transparent huge pages where the
// system offers them turns thousands of page faults into a handful, which is most of the
// difference between the run and a plain copy of its files. Small requests and systems without
// the facility get ordinary memory.

#include <cstddef>
#include <cstdint>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace compattatore {

template <class T>
struct huge_page_allocator {
    using value_type = T;

    huge_page_allocator() = default;
    template <class U>
    huge_page_allocator(const huge_page_allocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > max_size()) throw std::bad_array_new_length();
        const std::size_t bytes = n * sizeof(T);
#if defined(__linux__)
        if (bytes >= huge_page) {
            // Huge pages need 2 MiB-aligned addresses: map a page more, trim both ends.
            const std::size_t size = mapped_size(bytes);
            void* raw = mmap(nullptr, size + huge_page, PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (raw == MAP_FAILED) throw std::bad_alloc();
            const auto start = reinterpret_cast<std::uintptr_t>(raw);
            const std::uintptr_t aligned = (start + huge_page - 1) / huge_page * huge_page;
            if (aligned > start) munmap(raw, aligned - start);
            const std::uintptr_t tail = start + size + huge_page - (aligned + size);
            if (tail > 0) munmap(reinterpret_cast<void*>(aligned + size), tail);
            void* p = reinterpret_cast<void*>(aligned);
            madvise(p, size, MADV_HUGEPAGE);  // a hint: where it is refused, nothing is lost
            return static_cast<T*>(p);
        }
#endif
        return static_cast<T*>(::operator new (bytes, std::align_val_t{alignof(T)}));
    }

    void deallocate(T* p, [[maybe_unused]] std::size_t n) noexcept {
#if defined(__linux__)
        const std::size_t bytes = n * sizeof(T);
        if (bytes >= huge_page) {
            munmap(p, mapped_size(bytes));
            return;
        }
#endif
        ::operator delete (p, std::align_val_t{alignof(T)});
    }

    static constexpr std::size_t max_size() {
        return static_cast<std::size_t>(-1) / sizeof(T);
    }

    friend bool operator==(const huge_page_allocator&, const huge_page_allocator&) = default;

  private:
    static constexpr std::size_t huge_page = std::size_t{2} << 20;
    static constexpr std::size_t mapped_size(std::size_t bytes) {
        return (bytes + huge_page - 1) / huge_page * huge_page;
    }
};

}  // namespace compattatore
