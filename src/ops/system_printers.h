#pragma once
// The printers of a run without the window: the system's printers reached through CUPS,
// and the file printers "PDF" and "BMP". A system printer sends each print document as one
// PDF job: a page of the paper's full size (PdfPage) with the picture placed at the corner
// of the printable area, as the printer's own margins put it, with the paper and copies as
// job options.
#include <memory>
#include <string>
#include <vector>

#include "ops/printer.h"

namespace quillaro {

class Workspace;

// The media name of a paper code for a job ("iso_a4_210x297mm"), found by the paper's size.
std::string mediaForPaper(int code);
// The paper code of a media name (PWG, IPP legacy or PPD: "iso_a4_210x297mm", "iso-a4", "A4"),
// by its size; of codes of equal size the lowest. 0 when no code has that size or the name
// is unknown.
int paperForMedia(const std::string& media);

struct SystemPrinters {
  std::vector<std::unique_ptr<Printer>> printers;
  int defaultIndex = -1;  // the system's default printer, -1 when none is
};
// The printers the CUPS scheduler offers; none when no scheduler answers.
SystemPrinters systemPrinters();

// The printer list of a run without the window: the system printers when `wanted` (the
// command-line key "printer=") names a printer other than "BMP", then "PDF" and "BMP",
// which write into the folder for saved pictures. The current printer is the one named by
// `wanted`, else the system's default, else the first. A name that no printer has shows
// "Нет принтера " + the name on the workspace's prompts and leaves the default.
std::unique_ptr<PrinterList> makeCorePrinterList(Workspace& ws, const std::string& wanted);

}  // namespace quillaro
