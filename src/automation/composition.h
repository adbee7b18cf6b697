#pragma once
// The composition root: connects a workspace to the journal, the action runner and every
// operation module. The program (with or without a window) and the tests call it alike.
namespace quillaro {

class Workspace;

void connectWorkspace(Workspace& ws);

}  // namespace quillaro
