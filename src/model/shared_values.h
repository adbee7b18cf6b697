#pragma once
// The values that start-up gives the shared state and that many operations read.
#include <array>
#include <string>

namespace quillaro {

// Texts of the black-and-white threshold and of the brightness at start-up and after a
// reset. The live texts are held in the parameter store (Held::Threshold, Held::Brightness)
// so that the window and the shared field TN(55) follow them.
inline constexpr const char* kInitialThreshold = "140";
inline constexpr const char* kInitialBrightness = "0";

// Working folders: 0 action programs, 1 source pictures, 2 settings files, 3 text files,
// 4 saved pictures, 5 the picture folder.
enum WorkingFolder : int {
  kFolderPrograms = 0,
  kFolderSource = 1,
  kFolderSettings = 2,
  kFolderTexts = 3,
  kFolderSaved = 4,
  kFolderPictures = 5,
};

struct SharedValues {
  double dotsPerMm = 23.622;  // exactly; 47.244 at 1200 dpi
  int resolution = 600;       // dots per inch of the working pictures
  int bitDepth = 1;           // 1, 8 or 24
  float printerMargin = 4.0f;              // mm
  float printerMarginDots = 94.488f;       // the margin times the dots-per-mm factor
  float printerMarginDotsView = 79.488f;   // the same less 15, for the edit view
  std::array<float, 4> scale{1.0f, 1.0f, 1.0f, 1.0f};
  int twipsPerPixel = 15;     // the screen's pixel width in window units of the layout
  std::string lineBreak = "\r\n";
  std::string quote = "\"";
  bool copySaved = true;      // no unsaved copy exists yet
  bool messageSwitch = true;  // messages of the open and copy pipelines are shown
  bool redrawGuard = false;   // while set, the edit view is not redrawn
  // Copies a print makes without asking ("copies=N" on the command line raises it): more are
  // asked about, and the question's default, No, is what a hidden run answers.
  int copiesWithoutQuestion = 100;
  std::string installFolder;
  std::string settingsPath;   // install folder + "/Quillaro.ini" unless chosen otherwise
  std::array<std::string, 6> folders;  // indexed by WorkingFolder
};

}  // namespace quillaro
