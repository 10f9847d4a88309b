#include "shell/CommandSave.h"

#include "bitmap/DibSection.h"
#include "errors/Msg.h"
#include "imaging/ImageSaveDlg.h"
#include "imaging/ImgSaver.h"
#include "imaging/SaveFileTypes.h"

void CCommandSave::Execute(bool execute)
{
    if (!execute)
        return;
    // The capture and its image come first: their failures end the command
    // before any dialog is shown.
    const std::shared_ptr<CDibSection> dib = m_capture ? m_capture() : nullptr;
    const std::shared_ptr<CImg> image = MakeImgFromDib(dib);

    CImageSaveDlg dialog(*Msg());
    dialog.SetOwner(m_parent);
    if (dialog.Show() != IDOK)
        return;
    if (!Msg()->ConfirmOverwriteIfExists(dialog.Path()))
        return;

    wic::CImgSaver saver;
    saver.container = ContainerForFilter(dialog.FilterIndex());
    saver.Save(*image, dialog.Path());
}
