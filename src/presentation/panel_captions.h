#pragma once
// The text beside a control in the window's panels. Some captions of the control table
// were parts of a wider row ("A5,", ", табуляция", "Масштаб        %"): in a panel of one
// control per row they are shown as whole phrases. The table and the settings keep the
// captions as they are.
#include <string>

#include "base/controls.h"

namespace quillaro {

// The caption as a panel row shows it.
std::string wholeCaption(ControlId id, const std::string& caption);

}  // namespace quillaro
