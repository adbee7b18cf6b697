#pragma once
// Finding the inner lines of a block of table cells, so that merging the cells can take
// them away: rows and columns that are ink across the whole block are lines; the runs of
// them that touch the block's edges are its border and stay.
#include <vector>

#include "kernels/lines.h"

namespace quillaro {

// Ink: 1 bit black; 8 bits below 128; 24 bits the line colour or a grey below 128.
bool isInk(const Bitmap& picture, int x, int y, Rgb lineColour);

// The boxes of the inner lines of `block` (cut to the picture): each inner horizontal line
// between the left and right borders, each inner vertical line between the top and bottom
// borders. Empty when the block holds no inner line.
std::vector<PixelBox> innerLineBoxes(const Bitmap& picture, PixelBox block, Rgb lineColour);

// Whitens the box (cut to the picture): 1 bit set, 8 bits 255, 24 bits white.
void whitenBox(Bitmap& picture, PixelBox box);

}  // namespace quillaro
