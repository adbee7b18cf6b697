#pragma once
// Merging table cells (popup item MuCC "Объединить ячейки", key 2 or O, the U command
// line): the inner lines of the cells inside the drawing rectangle are whitened, the
// rectangle's border lines and the cells' contents stay.
namespace quillaro {

class Workspace;

// True when an inner line was taken away; then the picture is marked changed and
// "U" with the rectangle is recorded. Nothing changes (and nothing is recorded) when the
// rectangle is empty, lies outside the picture or holds no inner line.
bool mergeCells(Workspace& ws);

}  // namespace quillaro
