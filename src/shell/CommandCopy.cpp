#include "shell/CommandCopy.h"

#include "bitmap/DibSection.h"
#include "browser/Clipboard.h"
#include "errors/Exception.h"

void CCommandCopy::Execute(bool execute)
{
    if (!execute)
        return;
    const std::shared_ptr<CDibSection> dib = m_capture ? m_capture() : nullptr;
    if (!WriteBitmapToClipboard(dib, m_owner))
        throw my::CException(191);
}
