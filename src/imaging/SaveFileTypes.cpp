#include "imaging/SaveFileTypes.h"

#include "errors/StringTable.h"

#include <glib.h>

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

std::string AnyCasePattern(const std::string& pattern)
{
    std::string result;
    for (char c : pattern) {
        const char lower = g_ascii_tolower(c), upper = g_ascii_toupper(c);
        if (lower == upper)
            result += c;
        else
            result += std::string("[") + lower + upper + "]";
    }
    return result;
}
