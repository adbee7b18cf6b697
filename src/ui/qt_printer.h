#pragma once
// The printers of the platform behind the core's Printer interface: the system's printers
// through Qt Print Support (CUPS), and "PDF", which writes each print document as
// "Print-0001.pdf" (numbered after the highest existing) into the folder for saved pictures.
#include <memory>
#include <string>

namespace quillaro {

class Workspace;
class PrinterList;
class Printer;

// The printer list of a run: the system printers (only when a Qt application exists),
// then "PDF" and "BMP". The current printer is the one named by `wanted` (the command-line
// key "printer="), else the system's default printer, else the first. A name that no
// printer has is reported on the workspace's prompts and leaves the default.
std::unique_ptr<PrinterList> makePrinterList(Workspace& ws, const std::string& wanted);

// Separate makers, for tests.
std::unique_ptr<Printer> makePdfPrinter(Workspace& ws);

}  // namespace quillaro
