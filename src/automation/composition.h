#pragma once
// Layer automation: the interpreter, the runner, start-up, the hidden run and the composition
// root. It calls the operations directly; nothing below calls it except through ports.
//
// The composition root: connects a workspace to the journal, the action runner and every
// operation module. The program (with or without a window) and the tests call it alike.
namespace quillaro {

class Workspace;

void connectWorkspace(Workspace& ws);

}  // namespace quillaro
