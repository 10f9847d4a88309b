#pragma once
#include <cstddef>

typedef struct _GBytes GBytes;

// One block of memory handed around as a whole (a packed DIB for the
// clipboard). Its data is reached through a lock; the block is freed with
// the owner unless it has been given away.
class CGlobalMemory {
public:
    CGlobalMemory() = default;
    explicit CGlobalMemory(size_t size) { Alloc(size); }
    ~CGlobalMemory() { Free(); }
    CGlobalMemory(const CGlobalMemory&) = delete;
    CGlobalMemory& operator=(const CGlobalMemory&) = delete;

    // Frees the old block; the new one is not zero-filled. False when out of memory.
    bool Alloc(size_t size);
    void Free();
    bool IsNull() const { return m_data == nullptr; }
    size_t Size() const { return m_size; }

    // The block's data; null without a block. Every lock takes one unlock.
    void* Lock();
    void Unlock();
    int LockCount() const { return m_locks; }

    // Gives the block away (to the clipboard, for example); this owner is
    // empty afterwards. Null without a block.
    GBytes* Detach();

private:
    void* m_data = nullptr;
    size_t m_size = 0;
    int m_locks = 0;
};

// Holds one lock on a block for its lifetime.
class CGlobalLocker {
public:
    explicit CGlobalLocker(CGlobalMemory& memory);
    ~CGlobalLocker();
    CGlobalLocker(const CGlobalLocker&) = delete;
    CGlobalLocker& operator=(const CGlobalLocker&) = delete;

    // Null when the block could not be locked.
    void* Data() const { return m_data; }

private:
    CGlobalMemory* m_memory = nullptr;
    void* m_data = nullptr;
};
