#pragma once
// The A3 assembly buffer: two page images side by side on one sheet, with the gap of twice
// the printer margin between them. The pixels are Workspace::a3; the bookkeeping is in the
// copy state.
#include <string>

namespace quillaro {

class Workspace;

// To A3 (ComA3, the follow-up step "в A3,", the action "A3"): puts the page image into the
// next free half. True when a half was filled.
bool toA3(Workspace& ws);

// "A3, 1" / "A3, 2" of an action program: the half that the next A3 step fills. The first
// half begins a new sheet (a sheet in the buffer is erased as by Erase A3, with its
// question); the second half of a full sheet is made white again for the next page.
void selectA3Half(Workspace& ws, int half);

// Erase A3 (double click on LabA4inA3): asks "Стереть A3 ?" when "Напоминать" is on.
bool eraseA3(Workspace& ws);

// The consistency check before an operation that replaces the picture (such as opening,
// verb "открыть") with a picture of newBits and newDpi. True: the caller goes on.
bool checkComposition(Workspace& ws, const std::string& verb, int newBits, int newDpi);

// The A3 depth and resolution refusals for a page of pageBits / pageDpi; empty when none.
std::string a3DepthMessage(Workspace& ws, int pictureBits, int pageBits);
std::string a3ResolutionMessage(Workspace& ws, int dpi);

// Caption of LabA4inA3 for a state: "1 A4 в A3"; empty for 0.
std::string a3Caption(int state);

}  // namespace quillaro
