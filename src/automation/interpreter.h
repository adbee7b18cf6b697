#pragma once
// The action interpreter: takes one command line of an action program, sets the panels
// (the parameter store) from its fields and keys, starts the operations that need no
// further confirmation (open, new sheet, turns, reload, conversion to 1 bit) and returns
// the command kind that tells the runner which operation to start.
#include <string>
#include <string_view>

namespace quillaro {

class Workspace;

// Command kinds returned to the runner.
enum CommandKind : int {
  kCmdNothing = 0,        // comment, unknown word, or nothing further to do
  kCmdTable = 1,          // H, T, V
  kCmdText = 2,           // X, X-
  kCmdCopy = 3,           // COPY
  kCmdMask = 4,           // MASK with a pattern
  kCmdErase = 5,          // ERASE
  kCmdDensity = 6,        // DENSETHIN without PLUS
  kCmdDone = 7,           // OPEN, NEW..., OVER, RIGHT, LEFT (already done)
  kCmdMergeCells = 8,     // U
  kCmdPrint = 9,          // PRINT with a number
  kCmdThicker = 10,       // D with "+"
  kCmdThinner = 11,       // D with "-"
  kCmdThickerVariant = 12,  // D with "+" and "/"
  kCmdThinnerVariant = 13,  // D with "-" and "/"
  kCmdDarkRelWhite = 14,  // DARKRELWHITE
  kCmdReloaded = 15,      // RELOAD, CONVERTTO1BIT (already done)
  kCmdA3 = 16,            // A3
  kCmdDensityPlus = 17,   // DENSETHIN with PLUS
  kCmdBrightnessContrast = 18,  // DBC
  kCmdBatch = 19,         // BATCH: the imposition batch
};

// Interprets one command line. The running flag of the workspace is on while the line is
// applied (and cleared at the end, also for a line without a command word).
int interpret(Workspace& ws, std::string_view line);

// True when the first character is a Latin letter (the line may be a command).
bool startsWithCommandLetter(std::string_view line);

}  // namespace quillaro
