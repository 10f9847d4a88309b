#include "imaging/SaveFileTypes.h"

#include "errors/StringTable.h"

const std::vector<CSaveFileType>& SaveFileTypes()
{
    static const std::vector<CSaveFileType> types = {
        {58578, "*.jpg;*.jpeg;*.jpe;*.jfif", "jpg", ImgContainer::Jpeg},
        {58579, "*.png", "png", ImgContainer::Png},
        {58583, "*.tif;*.tiff", "tif", ImgContainer::Tiff},
        {58584, "*.bmp;*.dib", "bmp", ImgContainer::Bmp},
    };
    return types;
}

ImgContainer ContainerForFilter(int filterIndex)
{
    const auto& types = SaveFileTypes();
    if (filterIndex < 1 || filterIndex > int(types.size()))
        return ImgContainer::Jpeg;
    return types[size_t(filterIndex - 1)].container;
}

std::string FilterDisplayText(const CSaveFileType& type)
{
    return LoadString(type.nameId) + " (" + type.patterns + ")";
}

std::string CompleteExtension(const std::string& path, int filterIndex)
{
    const auto& types = SaveFileTypes();
    if (filterIndex < 1 || filterIndex > int(types.size()))
        return path;
    const size_t last = path.find_last_of("/.");
    if (last != std::string::npos && path[last] == '.')
        return path;
    return path + "." + types[size_t(filterIndex - 1)].extension;
}
