// Drawing a result view into a PNG image or an SVG file, headless or not.
#pragma once

#include <string>

#include "view/MorvexView.h"

// Fits and draws the view's current graph into widthPx x heightPx pixels at dpi dots per
// inch, as the window of that size would show it; the file type follows the extension
// (.png or .svg). With caption, the graph's caption (the window's status pane 1) is written
// in the bottom-left corner. False with a reason in error when the file cannot be written.
bool RenderViewToFile(CMorvexView& view, int widthPx, int heightPx, double dpi,
                      const std::string& path, bool caption, std::string& error);
