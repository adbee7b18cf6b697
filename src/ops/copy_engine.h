#pragma once
// The copy engine: maps the copy zone of the opened picture into a frame of the page
// image through the kernels of kernels/copy_kernels.h; copyPage() is the whole operation
// over the workspace.
#include <string>
#include <string_view>

#include "image/bitmap.h"
#include "kernels/copy_kernels.h"

namespace quillaro {

class Progress;
class Workspace;

// The button's text: the ratio by the number formatter and "%"; empty when the picture is
// not a loaded 1-bit one.
std::string fillRatioText(Workspace& ws);

// The page number at the end of a file name ("scan12.bmp" -> 12); 0 when there is none.
int pageNumberFromName(std::string_view fileName);

// Checks used when a copy adds to a page and by the A3 sheet. Each returns the message of
// a refusal, or an empty text. With a verb the depth message is the "Если ..." question.
std::string copyDepthMessage(Workspace& ws, int pictureBits, const std::string& verb = "");
std::string copyResolutionMessage(Workspace& ws, int pictureDpi);

// The copy operation (ComCopy, the command "COPY", the batch). True when a copy was made.
// While the copy button reads "Стоп" it stops the waiting automatic copy and the batch
// instead.
bool copyPage(Workspace& ws);

// "2 стороны": the frame position (left and top on the paper) is remembered after a copy for
// odd and for even page numbers (the settings' frame memory), and put back when a page of
// that parity is opened (parity 1 odd, 2 even; anything else does nothing).
void rememberParityFrame(Workspace& ws, int pageNumber);
void applyParityFrame(Workspace& ws, int parity);

// Captions of the copy button.
inline constexpr const char* kCopyButtonCopy = "Копировать";
inline constexpr const char* kCopyButtonStop = "Стоп";

// The automatic copy after an opening, on the start-up timer's fifth tick: the button reads
// "Копировать" again and the copy is made. Nothing when no automatic copy waits.
bool runAutomaticCopy(Workspace& ws);
// Stops the waiting automatic copy and the batch; the button reads "Копировать".
void stopAutomaticCopy(Workspace& ws);

// Puts the remembered zone origin of the next place into the panel ("Помнить положения
// рамки"); called when a picture is opened and when the upper A5 is switched.
void restoreRememberedZone(Workspace& ws);

// Editing a copy (MuEReload, MuEReloadR, MuEReloadL): the page image becomes the opened
// picture, turned right ('R') or left ('L') when asked. Records "Reload" / "Reload, R".
bool reloadCopy(Workspace& ws, char turn = 0);

}  // namespace quillaro
