#pragma once
// The copy record: one text line starting with "Copy" that states the whole copy parameter
// set. Written before every copy (for the recorder and the imposition batch) and read back
// by the action runner before it copies.
#include <string>
#include <string_view>

namespace quillaro {

class Workspace;

// The record of the current parameter set. `lastCopies` is the number of copies the last
// run made: the multi-copy fields are written only when it is above 1.
std::string buildCopyRecord(Workspace& ws, int lastCopies = 1);

// Sets the parameter set from a record ("Copy, ..." in any letter case; the command word
// may be missing). Every flag is set: a key the record does not name turns its flag off.
void applyCopyRecord(Workspace& ws, std::string_view record);
// The record of the copy as is: the whole standard page, upright or landscape.
std::string copyAsIsRecord(bool landscape);

// Copy as is (MuCopyAsIs): the whole page 1:1 with the default set, then the previous set
// again when the page image was standard. Returns what the copy returned.
bool copyAsIs(Workspace& ws);

}  // namespace quillaro
