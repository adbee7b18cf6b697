#pragma once
// The tone operations over the workspace: brightness and contrast of the drawing
// rectangle ("DBC"), contrast relative to white ("DarkRelWhite") and the conversion of the
// whole picture to 1 bit ("ConvertTo1bit"). Each reads its values from the panels when it
// starts, changes the picture in place, redraws and records its line; one that does not
// apply to the picture returns false and records nothing.
namespace quillaro {

class Workspace;

// "DBC": the tone map with protected black and white over TN(24..27). 8 and 24 bits.
bool brightnessContrastOp(Workspace& ws);
// "DarkRelWhite": contrast relative to white (TN(57)) over TN(24..27). 8 bits only.
bool darkRelWhiteOp(Workspace& ws);


}  // namespace quillaro
