// Pictures of the window for the README: each tab and the directory chooser, as BMP files.
#pragma once

#include "app/dialogue.h"
#include "win32/main_window.h"

#include <string>

namespace quillon::win32 {

// Saves onglet1.bmp, onglet2.bmp, onglet3.bmp and choix-repertoire.bmp into `folder`.
// False when a picture could not be written.
bool SaveScreenshots(MainWindow& window, Dialogue& dialogue, HINSTANCE instance,
                     const std::string& folder);

} // namespace quillon::win32
