#pragma once
// Line density and line width over the drawing rectangle, as operations of the workspace:
// undo save, the kernel, redraw, and the recorded line.
namespace quillaro {

class Workspace;

// "DenseThin": thin lines widened to TN(10) dots, or by one dot with `plus`; 1 and 8 bits.
bool denseThinOp(Workspace& ws, bool plus);
// "D+"/"D-": every line one dot thicker or thinner; 1-bit pictures.
bool lineWidthOp(Workspace& ws, bool thicker, bool variant);


}  // namespace quillaro
