#pragma once
#include <atomic>
#include <cstdint>

// How far the running print job has got. The worker writes it at each sheet
// and the user-interface thread reads it on a timer; each value stands alone,
// so relaxed atomics without a lock are enough.
class CPrintProgress {
public:
    struct Values {
        int32_t sheet = 0;  // the sheet being sent, from 1; 0 before the first
        int32_t sent = 0;   // sheets finished
        int32_t total = 0;  // sheets the job sends
    };

    Values Read() const
    {
        return {m_sheet.load(std::memory_order_relaxed), m_sent.load(std::memory_order_relaxed),
                m_total.load(std::memory_order_relaxed)};
    }

    // Worker side.
    void Begin(int32_t total)
    {
        m_sheet.store(0, std::memory_order_relaxed);
        m_sent.store(0, std::memory_order_relaxed);
        m_total.store(total, std::memory_order_relaxed);
    }
    void SheetStarted(int32_t sheet) { m_sheet.store(sheet, std::memory_order_relaxed); }
    void SheetSent(int32_t sheet) { m_sent.store(sheet, std::memory_order_relaxed); }

private:
    std::atomic<int32_t> m_sheet{0};
    std::atomic<int32_t> m_sent{0};
    std::atomic<int32_t> m_total{0};
};
