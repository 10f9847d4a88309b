#pragma once
#include <cstdint>
#include <string>

// The error record every failure travels in: a string-table message id
// (0 = no error), the code it is about (an errno or GError code; 0 when none)
// and the finished text shown to the user.
struct CSimpleErr {
    uint32_t msgId = 0;
    int32_t value = 0;
    std::string text;

    bool Failed() const { return msgId != 0; }
    void Clear() { *this = CSimpleErr{}; }
};

// Mix-in for objects that keep the error of their last operation (the print
// task, the XML serializer) for a caller to report later.
template <class TErr = CSimpleErr>
class CHasErr {
public:
    const TErr& GetErr() const { return m_err; }
    bool HasErr() const { return m_err.Failed(); }
    void ClearErr() { m_err.Clear(); }
    void SetErr(const TErr& err) { m_err = err; }

protected:
    TErr m_err;
};
