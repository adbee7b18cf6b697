#pragma once
// Layer ui: the Qt window and its widgets, the only code that uses Qt; it binds widgets to
// the parameter store and is the workspace's view.
//
// The main window: a view over the workspace. The panels are built from the control table
// and bound to the parameter store; the views show the workspace's pictures; keys, mouse
// and timers start the workspace's operations.
#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "ops/file_list.h"
#include "presentation/keymap.h"
#include "model/journal.h"
#include "model/view_observer.h"
#include "automation/runner.h"
#include "presentation/view_logic.h"
#include "ui/panels.h"
#include "ui/qt_ports.h"

class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QTimer;
class QDockWidget;
class QWidget;
class QAction;
class QToolBar;

namespace quillaro {

class Workspace;
class PictureView;

// The window is the workspace's view: operations tell it what to show again.
class FormA4 : public QMainWindow, private ViewObserver {
public:
  explicit FormA4(Workspace& ws, QWidget* parent = nullptr);
  ~FormA4() override;

  // After the picture in the image buffer changed (opened, turned, masked): the views,
  // the size label and the frames.
  void showPicture();
  // The edit view and the A3 preview show the page image and the A3 buffer again.
  void showPageImage();

  // A key of the page view (also used by tests); `text` is the typed character, if any.
  void dispatchKey(const KeyPress& k, const QString& text = {});
  void runCommand(const KeyCommand& c);
  // The last command a key or the menu started; Cmd::None after forgetLastCommand().
  Cmd lastCommand() const { return lastCommand_; }
  void forgetLastCommand() { lastCommand_ = Cmd::None; }

  // Runs the whole action program; without one the run buttons are disabled.
  void setProgramRunner(std::function<void()> run);
  // TimerCom: the pending action program starts on the fifth tick of 500 ms; with
  // exitAfter the program ends afterwards.
  void startPendingProgram(bool exitAfter);

  // The close request with its save prompts; true when the window may close.
  bool shutdownAllowed();

  // The copy count label: N and its noun.
  void showCopies(int n);

  // For tests and the program.
  FileList& fileList() { return *files_; }
  class PrintPanel* printPanel() const { return printPanel_; }
  class EditTextWindow* editText() const { return editText_; }
  class BatchPanel* batchPanel() const { return batchPanel_; }
  PanelBinder& binder() { return *binder_; }
  PictureView* pageView() const { return picA4_; }
  PictureView* editView() const { return picE4_; }
  QListWidget* listOpen() const { return listOpen_; }
  QTabWidget* panels() const { return panels_; }
  QMenu* popupMenu() const { return popup_; }
  QtProgress& progress() { return *progress_; }
  Magnifier& magnifier() { return magnifier_; }
  bool snapshotShown() const;
  void showPanel(PanelId p);
  // Adds a section to a panel of the dock: a titled box holding `content`, placed after the
  // panel's own controls (before them with `first`). Returns the box; the panel scrolls
  // when it grows.
  QWidget* addPanel(const QString& title, QWidget* content, PanelId group, bool first = false);
  // The menu bar's entries of the key commands (object name "Menu" + command name).
  QAction* menuAction(Cmd c) const;
  // The status bar's texts: picture, mode and last result.
  QString statusPicture() const;
  QString statusMode() const;
  QString statusResult() const;
  // The pointer readout for a picture position (Lab(49), Lab(50), Lab(51)).
  void pointerAt(double x, double y);
  // Rebuilds the popup menu's captions and enabled states (done on every opening).
  void prepareMenu();

protected:
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  // What the workspace tells its view.
  void pictureChanged() override { showPicture(); }
  void editViewChanged() override { showPageImage(); }
  void pageImageChanged() override { showPageImage(); }
  void copyFrameChanged() override { updateFrames(); }
  void drawingRectChanged() override { updateFrames(); }
  void settingsApplied() override;
  void fileListChanged() override;
  void showField(int field) override;
  void askFileName(int field, const std::string& name) override;
  void printPanelChanged() override;
  void printed() override;
  void automaticCopyWaiting() override;
  void batchChanged(int form, int forms) override;
  void resultReported(const std::string& text) override;

  // F1 in the program text, ComRead, F4: the command at the text cursor (Ctrl+F1: variant).
  void readCommandAtCursor(bool variant);
  void buildUi();
  QWidget* buildFilePanel();
  void buildMenu();
  // The frame around the views (window_frame.cpp): menu bar, toolbar, status bar, zoom.
  void buildMenuBar();
  void buildToolBar();
  void buildStatusBar();
  void updateStatusBar();
  void buildA3Section();
  void showA3Sheet();
  void fitToScreen();
  void extendPanels();
  void storeChanged(const ControlId& id);
  void updateFrames();
  void updateFitMode();
  void applyTextFont();
  void folderButton(int k);
  void showFolderChooser(int k);
  void enterFolder(const QString& path);
  void toggleSnapshot();
  void takeSnapshot();
  void mousePress(double x, double y, Qt::MouseButton b, Qt::KeyboardModifiers m);
  void mouseMove(double x, double y, Qt::MouseButtons held);
  void mouseRelease(double x, double y, Qt::MouseButton b, Qt::KeyboardModifiers m);
  void magnifierTick();
  void stepRect(const KeyCommand& c);
  void normalFileMode();
  void pictureOperation(bool changed);
  void turn(TurnDirection d);
  void maskWith(const std::string& pattern);
  void runOp(bool (*op)(Workspace&));
  bool drawingMode() const;
  void setStatus(std::string_view caption, std::string_view status);

  Workspace& ws_;
  std::unique_ptr<QtProgress> progress_;
  std::unique_ptr<PanelBinder> binder_;
  FileList* files_ = nullptr;
  class PrintPanel* printPanel_ = nullptr;
  class BatchPanel* batchPanel_ = nullptr;
  QPushButton* comNextPage_ = nullptr;
  Magnifier magnifier_;
  int observer_ = 0;
  bool syncingWindow_ = false;

  PictureView* picA4_ = nullptr;
  PictureView* picE4_ = nullptr;
  PictureView* picDubl_ = nullptr;
  PictureView* a3Preview_ = nullptr;
  QStackedWidget* views_ = nullptr;
  QTabWidget* panels_ = nullptr;
  QDockWidget* dock_ = nullptr;
  QListWidget* listOpen_ = nullptr;
  QListWidget* dir1_ = nullptr;
  QLabel* dirPath_ = nullptr;
  QWidget* dirBox_ = nullptr;
  QPushButton* comPath_[6] = {};
  QPushButton* comCopy_ = nullptr;
  QPushButton* comTabAll_ = nullptr;
  QPushButton* comRead_ = nullptr;
  QPushButton* comSavEd_ = nullptr;
  QPlainTextEdit* tz_[8] = {};
  class EditTextWindow* editText_ = nullptr;
  QLineEdit* textFileName_ = nullptr;
  QWidget* picMask_ = nullptr;
  QMenu* popup_ = nullptr;
  QTimer* timerCom_ = nullptr;
  QTimer* timerRgb_ = nullptr;
  QTimer* timerMagni_ = nullptr;
  StartupTimer startup_;  // TimerCom's ticks: the automatic copy or the pending program
  std::function<void()> runProgram_;
  Cmd lastCommand_ = Cmd::None;
  int chooserFolder_ = -1;
  bool magniWasOn_ = false;
  bool dragging_ = false;
  double dragX_ = 0, dragY_ = 0;
  PixRect dragStart_;
  QPoint lastPointer_;
  Handle dragHandle_ = Handle::None;
  PixRect dragRect_;

  QToolBar* toolBar_ = nullptr;
  QPushButton* comA3_ = nullptr;
  QPushButton* comUnDo_ = nullptr;
  QPushButton* command1_ = nullptr;
  QLabel* labA4inA3_ = nullptr;
  PictureView* picA3View_ = nullptr;  // the A3 sheet in the main view
  QLabel* statusPicture_ = nullptr;
  QLabel* statusMode_ = nullptr;
  QLabel* statusResult_ = nullptr;
  QTimer* progressClear_ = nullptr;
  bool dockSized_ = false;  // takes "N %" out of the caption once work stops
};

}  // namespace quillaro
