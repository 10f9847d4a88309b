#pragma once
#include "errors/SimpleErr.h"

#include <exception>
#include <string>
#include <vector>

typedef struct _GError GError;
typedef struct _GtkWidget GtkWidget;

// A system error: its code and its text (errno with g_strerror, or a GError).
struct SysErr {
    int32_t code = 0;
    std::string text;
    static SysErr FromErrno(int code);
    static SysErr FromGError(const GError* error);
};

namespace my {

// The program's exception: carries one error record.
class CException : public std::exception {
public:
    explicit CException(uint32_t msgId);
    CException(uint32_t msgId, const SysErr& sys, const std::vector<std::string>& inserts = {});
    CException(uint32_t msgId, const std::vector<std::string>& inserts);
    explicit CException(const CSimpleErr& err);

    const CSimpleErr& Err() const { return m_err; }
    uint32_t MsgId() const { return m_err.msgId; }
    const char* what() const noexcept override { return m_err.text.c_str(); }

private:
    CSimpleErr m_err;
};

// A failure about one control: the command guard gives that control the
// keyboard focus before showing the message.
class CCtrlException : public CException {
public:
    CCtrlException(const CException& e, GtkWidget* control = nullptr) : CException(e.Err()), m_control(control) {}
    CCtrlException(const CSimpleErr& err, GtkWidget* control = nullptr) : CException(err), m_control(control) {}
    GtkWidget* Control() const { return m_control; }

private:
    GtkWidget* m_control = nullptr;
};

}  // namespace my

CSimpleErr MakeErr(uint32_t msgId, const std::vector<std::string>& inserts = {});
CSimpleErr MakeErr(uint32_t msgId, const SysErr& sys, const std::vector<std::string>& inserts = {});
