#pragma once
// The whole-picture commands of the page view: turning the picture over, left or right,
// converting it to 1 bit, and taking the page image of the last copy as the picture to
// edit. Each returns false (changing nothing and recording nothing) when it does not
// apply; on success the picture is marked changed and the command line is recorded.
#include <string>

namespace quillaro {

class Workspace;

// A picture is loaded, not being opened, and has pixels: picture operations may run.
bool pictureReady(const Workspace& ws);

bool turnPictureOver(Workspace& ws);   // "Over"
bool turnPictureLeft(Workspace& ws);   // "Left"
bool turnPictureRight(Workspace& ws);  // "Right"

// "ConvertTo1bit" (+ ", BW=" and the threshold when it is not "140"); 8-bit pictures only.
bool convertPictureTo1bit(Workspace& ws);


// Masks the drawing rectangle TN(24..27) of the picture with a pattern of four hexadecimal
// digits ("FFFF" erases); records "Mask, X, Y, W, H, pattern" or "Erase, X, Y, W, H".
bool maskSelection(Workspace& ws, const std::string& pattern);
// The erase key: the drawing rectangle is erased and its line goes in after the line that
// made the picture (not at the end of the program).
bool eraseByKey(Workspace& ws);


}  // namespace quillaro
