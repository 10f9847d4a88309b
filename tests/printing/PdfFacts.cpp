#include "PdfCheck.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>
#include <set>

namespace {

void Open(QPDF& pdf, const std::string& data)
{
    pdf.setSuppressWarnings(true);
    pdf.setAttemptRecovery(false);
    pdf.processMemoryFile("pdf", data.data(), data.size());
}

bool IsTransparencyGroup(QPDFObjectHandle group)
{
    return group.isDictionary() && group.getKey("/S").isNameAndEquals("/Transparency");
}

// The document written again by qpdf with dates and /ID taken out.
std::string WithoutDates(const std::string& data)
{
    QPDF pdf;
    Open(pdf, data);
    QPDFObjectHandle info = pdf.getTrailer().getKey("/Info");
    if (info.isDictionary()) {
        info.removeKey("/CreationDate");
        info.removeKey("/ModDate");
    }
    pdf.getTrailer().removeKey("/ID");
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.setDecodeLevel(qpdf_dl_none);
    writer.setObjectStreamMode(qpdf_o_disable);
    writer.setStaticID(true);
    writer.write();
    auto buffer = writer.getBufferSharedPointer();
    return std::string(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize());
}

}  // namespace

std::optional<CPdfFacts> ReadPdfFacts(const std::string& data, std::string& why)
{
    try {
        QPDF pdf;
        Open(pdf, data);
        CPdfFacts facts;
        for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
            ++facts.pages;
            if (IsTransparencyGroup(page.getObjectHandle().getKey("/Group")))
                ++facts.pageGroups;
            const QPDFObjectHandle::Rectangle box = page.getMediaBox().getArrayAsRectangle();
            facts.mediaBoxes.push_back({box.urx - box.llx, box.ury - box.lly});
        }
        // An image's soft mask is an image too, but not one of the pictures.
        std::set<QPDFObjGen> masks;
        for (QPDFObjectHandle object : pdf.getAllObjects())
            if (object.isStream() && object.getDict().getKey("/SMask").isStream())
                masks.insert(object.getDict().getKey("/SMask").getObjGen());
        for (QPDFObjectHandle object : pdf.getAllObjects()) {
            QPDFObjectHandle dict = object.isStream() ? object.getDict() : object;
            if (!dict.isDictionary())
                continue;
            if (dict.getKey("/Type").isNameAndEquals("/ObjStm"))
                ++facts.objectStreams;
            if (object.isStream() && dict.getKey("/Subtype").isNameAndEquals("/Image") && !masks.count(object.getObjGen())) {
                QPDFObjectHandle filter = dict.getKey("/Filter");
                facts.images.push_back({dict.getKey("/Width").getIntValueAsInt(),
                                        dict.getKey("/Height").getIntValueAsInt(),
                                        filter.isName() ? filter.getName() : filter.unparse(),
                                        dict.getKey("/SMask").isStream()});
            }
            if (object.isStream() && dict.getKey("/Subtype").isNameAndEquals("/Form") &&
                IsTransparencyGroup(dict.getKey("/Group")))
                ++facts.groupForms;
            if (dict.getKey("/Type").isNameAndEquals("/ExtGState") && dict.getKey("/SMask").isDictionary())
                ++facts.softMaskStates;
        }
        return facts;
    } catch (const std::exception& e) {
        why = e.what();
        return std::nullopt;
    }
}

bool SamePdfApartFromDates(const std::string& a, const std::string& b, std::string& why)
{
    try {
        if (WithoutDates(a) == WithoutDates(b))
            return true;
        why = "the documents' objects differ";
    } catch (const std::exception& e) {
        why = e.what();
    }
    return false;
}
