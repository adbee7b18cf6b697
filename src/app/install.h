#pragma once
// Fills a fresh workspace's operation entries, hooks and panel handlers from every module.
namespace quillaro {

class Workspace;

void installOperations(Workspace& ws);

}  // namespace quillaro
