#include "automation/launch.h"

#include "automation/runner.h"
#include "ops/settings_file.h"
#include "model/workspace.h"
#include "ops/copy_params.h"

namespace quillaro {

LaunchResult launch(Workspace& ws, std::string_view commandLine, const LaunchOptions& options) {
  LaunchResult result;
  ParamStore& p = ws.params;
  SharedValues& s = ws.shared;

  // Initial values of the shared state and of the fields start-up owns.
  s.bitDepth = 1;
  s.scale = {1.0f, 1.0f, 1.0f, 1.0f};
  s.dotsPerMm = 23.622;
  s.resolution = 600;
  s.printerMargin = 4.0f;
  s.printerMarginDots = static_cast<float>(4.0 * 23.622);
  s.printerMarginDotsView = s.printerMarginDots - 15.0f;
  p.setChb(check::kAutoCopy, false);
  p.setTn(field::kDecimals, "1");
  p.setTn(field::kSpeed, "4");

  const std::string install = options.installFolder.empty() ? installFolder() : options.installFolder;
  const std::string progFolder = options.programFolder.empty() ? programFolder() : options.programFolder;
  s.installFolder = install;
  s.settingsPath = settingsFilePath(install);
  s.folders.fill(install);
  p.setTn(field::kAngle, "0");
  p.setTn(field::kDirt, "15");

  {
    const bool guard = s.redrawGuard;
    s.redrawGuard = true;
    p.runHandler(checkId(Check::ChForm));
    s.redrawGuard = guard;
  }
  ws.redrawEditView();
  p.setListIndex(ListSel::ListFontName, 0);
  p.setTn(field::kFontSize, "72");
  ws.setMaskPattern("5A5A");
  s.messageSwitch = true;
  s.copySaved = true;
  p.setHeld(Held::Threshold, kInitialThreshold);
  p.setHeld(Held::Brightness, kInitialBrightness);
  p.runHandler(chbId(check::kOpenAs1Bit));

  result.commandLine = parseCommandLine(commandLine, ws.reader);
  const CommandLine& cmd = result.commandLine;

  s.settingsPath = chooseSettingsFile(s.settingsPath, cmd.iniCandidate, progFolder);
  const WorkingFolders folders = makeWorkingFolders(install);
  s.folders[kFolderPrograms] = folders[kFolderPrograms];
  s.folders[kFolderSettings] = folders[kFolderSettings];
  s.folders[kFolderTexts] = folders[kFolderTexts];

  readSettings(ws, s.settingsPath);
  // Copy fields that neither the settings nor a record gave show the values a copy uses.
  normalizeCopyFrame(ws, /*keepFrame=*/true);

  if (!cmd.programPath.empty()) {
    ActionProgramText program = readActionProgram(cmd.programPath);
    if (program.read) {
      result.programRead = true;
      p.setTz(text::kProgram, std::move(program.text), false);
      p.setTzModified(text::kProgram, false);
      if (!p.tz(text::kProgram).empty()) {
        if (!cmd.hide) {
          result.programPending = true;
          return result;  // the window is shown; its timer starts the program
        }
        runAll(ws);
        result.programRan = true;
      }
    }
  }
  result.endNow = cmd.exit;
  return result;
}

}  // namespace quillaro
