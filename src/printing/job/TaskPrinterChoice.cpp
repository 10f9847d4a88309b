#include "printing/job/TaskPrinterChoice.h"

#include "errors/MessageFormat.h"
#include "errors/StringTable.h"
#include "printing/devices/PrinterSettings.h"
#include "printing/job/QuorvaTask.h"

void ApplyPrinterChoice(CQuorvaTask& task, const CPrinterChoice& choice)
{
    if (choice.printer.empty() || !task.ReopenPrinter({choice.printer}))
        return;
    // From the printer's defaults: what the stored choice names and the
    // printer still offers.
    CPrinterSettingsRequest request{choice.media, false, choice.orientation, std::nullopt};
    if (!choice.source.empty())
        request.source = choice.source;
    task.ReplaceDevMode(MakePrinterSettings(*task.Printer(), std::nullopt, request));
}

std::string PrintDestinationText(const CQuorvaTask& task)
{
    const std::optional<CDevMode> dm = task.CopyDevMode();
    if (!task.Printer() || !dm)
        return {};
    const CMediaInfo* media = task.Printer()->FindMedia(*dm);
    const std::string paper = (media ? media->displayName : dm->media) + " " +
                              LoadString(dm->orientation == DMORIENT_LANDSCAPE ? 168 : 167);
    return FormatMessageText(166, {task.Printer()->Name(), paper});
}

std::optional<CPrinterChoice> PrinterChoiceOf(const CQuorvaTask& task)
{
    const std::optional<CDevMode> dm = task.CopyDevMode();
    if (!task.Printer() || !dm)
        return std::nullopt;
    return CPrinterChoice{task.Printer()->Name(), dm->media, dm->orientation,
                          (dm->fields & DM_DEFAULTSOURCE) ? dm->source : std::string()};
}
