// SPDX-License-Identifier: MIT
// Typed arenas for the compiler's records: each record is made in a block of
// many, never freed alone, and every record of an arena is destroyed at once
// when the arena is released or destroyed. The unit keeps one set for what
// lives as long as it, and one for the function being compiled, released once
// the function's code is written; its blocks then serve the next function.
// Under AddressSanitizer the slots not yet handed out are poisoned, and
// released blocks go back to the heap, so that a pointer kept past its
// function is reported where it is used.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define ZUN_ARENA_POISON(p, n) ASAN_POISON_MEMORY_REGION((p), (n))
#define ZUN_ARENA_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
#else
#define ZUN_ARENA_POISON(p, n) ((void)(p), (void)(n))
#define ZUN_ARENA_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace zun::tcx {

template <class T>
class Arena {
public:
    // Records per block: blocks of about 16 KB, which the heap takes from its
    // free lists rather than mapping fresh pages for each.
    static constexpr size_t per_block = sizeof(T) >= 1024 ? 16 : 16384 / sizeof(T);

    Arena() = default;
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;
    ~Arena() {
        release();
        for (T* b : blocks_) free_block(b);
    }

    // A new record, value-initialised or built from the arguments.
    template <class... Args>
    T* make(Args&&... args) {
        if (in_use_ == 0 || used_ == per_block) next_block();
        T* slot = blocks_[in_use_ - 1] + used_;
        ZUN_ARENA_UNPOISON(slot, sizeof(T));
        T* made = new (slot) T(std::forward<Args>(args)...);
        ++used_;
        ++count_;
        return made;
    }

    // Destroys every record; the blocks wait for the next ones.
    void release() {
        for (size_t b = 0; b < in_use_; ++b) {
            size_t n = b + 1 == in_use_ ? used_ : per_block;
            if constexpr (!std::is_trivially_destructible_v<T>)
                for (size_t i = 0; i < n; ++i) blocks_[b][i].~T();
            ZUN_ARENA_POISON(blocks_[b], n * sizeof(T));
        }
        in_use_ = 0;
        used_ = 0;
        count_ = 0;
#if defined(__SANITIZE_ADDRESS__)
        for (T* b : blocks_) free_block(b);
        blocks_.clear();
#endif
    }

    size_t size() const { return count_; }

private:
    void next_block() {
        if (in_use_ == blocks_.size()) {
            blocks_.reserve(blocks_.size() + 1);
            T* b = std::allocator<T>().allocate(per_block);
            ZUN_ARENA_POISON(b, per_block * sizeof(T));
            blocks_.push_back(b);
        }
        ++in_use_;
        used_ = 0;
    }
    static void free_block(T* b) {
        ZUN_ARENA_UNPOISON(b, per_block * sizeof(T));
        std::allocator<T>().deallocate(b, per_block);
    }

    std::vector<T*> blocks_;  // raw storage, per_block records each
    size_t in_use_ = 0;       // blocks holding records; the last one is being filled
    size_t used_ = 0;         // records made in the last block in use
    size_t count_ = 0;
};

}  // namespace zun::tcx
