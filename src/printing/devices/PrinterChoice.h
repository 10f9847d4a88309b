#pragma once
#include "printing/devices/DevMode.h"

#include <optional>
#include <string>

class CQuorvaTask;

// The printer, paper, orientation and source the user chose in the page
// setup dialog, kept between runs by their CUPS names.
struct CPrinterChoice {
    std::string printer;
    std::string media;
    int16_t orientation = DMORIENT_PORTRAIT;
    std::string source;
    bool operator==(const CPrinterChoice&) const = default;
};

// Puts a stored choice into the task: its printer when that still exists
// (else the task keeps the printer it has), the paper when the printer still
// offers it, the orientation, and the source when the printer offers it.
void ApplyPrinterChoice(CQuorvaTask& task, const CPrinterChoice& choice);

// The paper the page setup dialog shows while no printer could be opened:
// the last printer's paper and orientation when CUPS knows that paper, else
// A4 portrait.
CDevMode PaperWithoutPrinter(const std::optional<CPrinterChoice>& last);

// One line naming where a job goes: printer, paper and orientation.
std::string PrintDestinationText(const CQuorvaTask& task);

// What the task prints on now; nothing without a printer.
std::optional<CPrinterChoice> PrinterChoiceOf(const CQuorvaTask& task);
