#pragma once
// The text settings record: the key values behind the "X" command that describe how a
// text is drawn (font, size, styles, alignment, placement, spacing, colour and the column
// alignments), written from the panel so that a recorded X line redraws the same text,
// and the default set kept in the settings file between "<DefTextSet>" and "</DefTextSet>".
// Reading is done by the X and X- commands of the interpreter.
#include <string>

namespace quillaro {

class Workspace;
class ParamStore;

// The font family of the text settings: a family named by an FN key outside the font list,
// else the list's entry.
std::string textFontFamily(const ParamStore& p);

// The key part of an X line, each key with one leading blank. `defaultSet`: the record of
// the settings file (the tab width and the stretch limit are always written). `textHasTab`:
// the text to draw holds a tab character (the tab width is written only then).
std::string textSettingsKeys(const Workspace& ws, bool defaultSet, bool textHasTab);

// The X line without its text block: "X", the drawing rectangle, the table fields, ",",
// the keys. In font-attributes-only mode: "X-," and " FA=" with the style letters when any
// style is on. The text of TZ(1) decides about the tab width.
std::string textSettingsLine(const Workspace& ws);
// The same for a given text to draw (which decides about the tab width).
std::string textSettingsLine(const Workspace& ws, const std::string& text);

// The record of the settings file (the key part, written as the default set).
std::string defaultTextSettingsRecord(const Workspace& ws);

// Applies a text-settings line as an X command: a line whose first field is "X" (or
// "X-") as it is, a key part with "X," in front of it.
void applyTextSettingsLine(Workspace& ws, const std::string& line);

// The drawing rectangle as its line text: ", " left ", " top ", " width ", " height.
std::string rectangleText(const Workspace& ws);

// --- The column alignment box TextHAlign ---

// Colours of the column number: green for a column with a code, black without, red for a
// number outside 1..32 (packed red + 256 green + 65536 blue).
inline constexpr unsigned kColumnSetColour = 192u * 256u;
inline constexpr unsigned kColumnUnsetColour = 0u;
inline constexpr unsigned kColumnBadColour = 255u;

struct ColumnAlignShown {
  int column = 0;        // 1..32, or 0 when the box holds no valid column number
  unsigned colour = 0;   // the colour of the number
};

// The box changed: a column with a code selects the matching OptionHA button.
ColumnAlignShown columnAlignChanged(Workspace& ws);
// Enter: the selected OptionHA index becomes the code of the column.
ColumnAlignShown columnAlignEnter(Workspace& ws);
// Esc: the column has no code again.
ColumnAlignShown columnAlignEscape(Workspace& ws);
// Up (+1) and Down (-1): the number steps within 1..32.
ColumnAlignShown columnAlignStep(Workspace& ws, int step);


}  // namespace quillaro
