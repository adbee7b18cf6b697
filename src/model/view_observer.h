#pragma once
// The one way from the workspace to whatever shows it: the window implements it; a hidden
// run shows nothing (NoView) or reports program lines on standard error.
#include <cstddef>
#include <string>

namespace quillaro {

class ViewObserver {
public:
  virtual ~ViewObserver() = default;
  // The opened picture was replaced or changed as a whole: every view shows it anew.
  virtual void pictureChanged() {}
  // Pixels of the picture changed: the edit view is redrawn (not while the workspace's
  // redraw guard is set).
  virtual void editViewChanged() {}
  // A copy was made or the page image changed: the page view shows it.
  virtual void pageImageChanged() {}
  // The copy zone or frame moved: the frames are drawn again.
  virtual void copyFrameChanged() {}
  // The drawing rectangle was set from a command line.
  virtual void drawingRectChanged() {}
  // The size labels of the opened picture changed.
  virtual void sizeLabelsChanged() {}
  // The per-picture lists of the edit view (found frames, objects) were emptied.
  virtual void editListsCleared() {}
  // Settings were read or reset: every panel shows the store again.
  virtual void settingsApplied() {}
  // The entries or the selection of the file list changed.
  virtual void fileListChanged() {}
  // Field 0 (the action program) or 3 (the text) is to be shown to the user.
  virtual void showField(int /*field*/) {}
  // The user is to type a file name for field `field` (the save panel).
  virtual void askFileName(int /*field*/, const std::string& /*name*/) {}
  // The print panel's printer, paper or file changed.
  virtual void printPanelChanged() {}
  // A print was sent: the focus moves on.
  virtual void printed() {}
  // An automatic copy waits: the window's timer is to start it.
  virtual void automaticCopyWaiting() {}
  // The imposition plan was made, or the batch moved to form `form` of `forms` (1-based)
  // or stopped: the plan view and the progress show it.
  virtual void batchChanged(int /*form*/, int /*forms*/) {}
  // An operation finished with a result the user should see ("Сохранено: path",
  // "Напечатано: printer").
  virtual void resultReported(const std::string& /*text*/) {}
  // The runner starts the line (position and length of the program in characters).
  virtual void programLine(const std::string& /*line*/, std::size_t /*position*/,
                           std::size_t /*length*/) {}
};

// No view: a hidden run, or a workspace the window has not bound.
class NoView final : public ViewObserver {};

}  // namespace quillaro
