// Pictures of the window for the README: each tab and the directory chooser, as BMP files.
#pragma once

#include "app/dialogue.h"
#include "app/source_chooser.h"
#include "win32/main_window.h"
#include "win32/win32_ui.h"

#include <string>

namespace quillon::win32 {

// Saves onglet1.bmp, onglet2.bmp, onglet3.bmp and choix-repertoire.bmp into `folder`, then
// the message boxes of tab 1 at work with its mail box ticked (message-1.bmp ...), through
// `ui`. False when a picture could not be written.
bool SaveScreenshots(MainWindow& window, Dialogue& dialogue, Win32Ui& ui, HINSTANCE instance,
                     const std::string& folder);

// Saves choix-registre.bmp into `folder`: the source chooser as `chooser` lists what it read.
bool SaveSourceChooserScreenshot(SourceChooser& chooser, Win32Ui& ui, HINSTANCE instance,
                                 const std::string& folder);

// Lets the windows draw themselves before a picture is taken.
void Settle();
// The window as it is on screen, frame included, as a 24-bit BMP file.
bool SavePicture(HWND window, const std::string& path);

} // namespace quillon::win32
