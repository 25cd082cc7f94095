#include "win32/screenshots.h"

#include "adapt/directory_chooser.h"
#include "win32/chooser_dialog.h"
#include "win32/source_dialog.h"

#include <cstdio>
#include <vector>

namespace quillon::win32 {

// Lets the window draw itself before a picture is taken.
void Settle() {
    for (int round = 0; round < 20; ++round) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(20);
    }
}

bool SavePicture(HWND window, const std::string& path) {
    RECT area;
    GetWindowRect(window, &area);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const int rowBytes = (width * 3 + 3) & ~3;
    std::vector<char> pixels(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42; // "BM"
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(&header, sizeof header, 1, file) == 1 &&
                         std::fwrite(&info, sizeof info, 1, file) == 1 &&
                         std::fwrite(pixels.data(), pixels.size(), 1, file) == 1;
    return std::fclose(file) == 0 && written;
}

namespace {

struct ChooserShot {
    std::string Path;
    bool Saved = false;
};
ChooserShot* pendingShot = nullptr;

// Takes the picture of the chooser once it is on screen, then closes it.
void CALLBACK ShootChooser(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND chooser = FindWindowA(nullptr, ChoixRepertSauve::Caption);
    if (chooser == nullptr || pendingShot == nullptr) {
        return;
    }
    KillTimer(nullptr, timer);
    Settle();
    pendingShot->Saved = SavePicture(chooser, pendingShot->Path);
    PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
}

} // namespace

bool SaveScreenshots(MainWindow& window, Dialogue& dialogue, Win32Ui& ui, HINSTANCE instance,
                     const std::string& folder) {
    CreateDirectoryA(folder.c_str(), nullptr);
    SetForegroundWindow(window.Handle());
    bool saved = true;
    for (int tab = 1; tab <= 3; ++tab) {
        dialogue.Onglets.Select(tab);
        dialogue.Onglets_Click();
        Settle();
        saved = SavePicture(window.Handle(), folder + "\\onglet" + std::to_string(tab) + ".bmp") &&
                saved;
    }
    std::string r;
    ChoixRepertSauve chooser(r, AvailableDrives(), [](const std::string&) { return true; });
    ChooserShot shot{folder + "\\choix-repertoire.bmp"};
    pendingShot = &shot;
    SetTimer(nullptr, 0, 200, ShootChooser);
    ChooserDialog(chooser, "C:\\windows").Run(instance, window.Handle());
    pendingShot = nullptr;

    char work[MAX_PATH] = {};
    GetTempPathA(sizeof work, work);
    const std::string workFolder = std::string(work) + "quillon-captures";
    CreateDirectoryA(workFolder.c_str(), nullptr);
    ui.CaptureMessages(folder, workFolder);
    dialogue.Onglets.Select(1);
    dialogue.Onglets_Click();
    dialogue.CourrierAvec1.SetValue(1);
    dialogue.CourrierOuvert1.SetValue(1);
    dialogue.BoutonSauvegarder1_Click();
    dialogue.BoutonProfil_Click(1);
    ui.CaptureMessages({}, {});
    return saved && shot.Saved;
}

bool SaveSourceChooserScreenshot(SourceChooser& chooser, Win32Ui& ui, HINSTANCE instance,
                                 const std::string& folder) {
    SourceDialog dialog(chooser, ui, [](const SourceChooser::PathRequest&) {
        return std::optional<std::string>();
    });
    HWND shown = dialog.Show(instance, nullptr);
    if (shown == nullptr) {
        return false;
    }
    SetForegroundWindow(shown);
    Settle();
    const bool saved = SavePicture(shown, folder + "\\choix-registre.bmp");
    DestroyWindow(shown);
    return saved;
}

} // namespace quillon::win32
