#include "bitmap/GlobalMemory.h"

#include <glib.h>

bool CGlobalMemory::Alloc(size_t size)
{
    Free();
    if (size == 0)
        return false;
    m_data = g_try_malloc(size);
    if (!m_data)
        return false;
    m_size = size;
    return true;
}

void CGlobalMemory::Free()
{
    g_free(m_data);
    m_data = nullptr;
    m_size = 0;
    m_locks = 0;
}

void* CGlobalMemory::Lock()
{
    if (!m_data)
        return nullptr;
    ++m_locks;
    return m_data;
}

void CGlobalMemory::Unlock()
{
    if (m_locks > 0)
        --m_locks;
}

GBytes* CGlobalMemory::Detach()
{
    if (!m_data)
        return nullptr;
    GBytes* bytes = g_bytes_new_take(m_data, m_size);
    m_data = nullptr;
    m_size = 0;
    m_locks = 0;
    return bytes;
}

CGlobalLocker::CGlobalLocker(CGlobalMemory& memory) : m_data(memory.Lock())
{
    if (m_data)
        m_memory = &memory;
}

CGlobalLocker::~CGlobalLocker()
{
    if (m_memory)
        m_memory->Unlock();
}
