#pragma once
#include "printing/devices/PrinterChoice.h"

#include <optional>
#include <string>

class CQuorvaTask;

// Puts a stored choice into the task: its printer when that still exists
// (else the task keeps the printer it has), the paper when the printer still
// offers it, the orientation, and the source when the printer offers it.
void ApplyPrinterChoice(CQuorvaTask& task, const CPrinterChoice& choice);

// One line naming where a job goes: printer, paper and orientation.
std::string PrintDestinationText(const CQuorvaTask& task);

// What the task prints on now; nothing without a printer.
std::optional<CPrinterChoice> PrinterChoiceOf(const CQuorvaTask& task);
