#include "RecordingPageDevice.h"

#include <sched.h>

int CRecordingPageDevice::StartDoc(const std::string& docName, SysErr& err)
{
    m_log->calls.push_back("StartDoc");
    m_log->docName = docName;
    ++m_log->startDocs;
    m_log->schedPolicy = sched_getscheduler(0);
    if (onStartDoc)
        onStartDoc();
    if (startDocResult <= 0)
        err = SysErr{13, "document refused"};
    return startDocResult;
}
