// The main window Dialogue drawn with Qt Widgets. It holds no logic: it shows the model's
// controls, forwards the user's clicks, ticks and typing to it, and redraws what it changes.
#pragma once

#include "app/dialogue.h"

#include <QDialog>
#include <map>

class QGridLayout;
class QLabel;
class QStackedLayout;

namespace quillon::gui {

class MainWindow : public QDialog {
  public:
    explicit MainWindow(Dialogue& dialogue, QWidget* parent = nullptr);

    // The widget drawn for the model's control of that name.
    QWidget* Widget(const std::string& name) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QWidget* Create(Control& control);
    QLabel* Legend(const std::string& name) const;
    bool IsLink(const Control& control) const;
    void Refresh(const Control& control);
    void FolderFieldLeft(const std::string& name);
    void BuildLayout();
    void AddTabKeys();
    int AddOptionBoxes(QGridLayout* grid, int row, std::initializer_list<const char*> names);
    void AddPageEnd(QGridLayout* grid, int row,
                    std::initializer_list<std::pair<const char*, const char*>> helpRows,
                    const char* mail, const char* openFormats, const char* save,
                    const char* address, const char* profile);
    QWidget* Tab1();
    QWidget* Tab2();
    QWidget* Tab3();
    QWidget* Outside();

    Dialogue& dialogue_;
    QStackedLayout* pages_ = nullptr;
    std::map<std::string, QWidget*> widgets_;
    bool checkingFolder_ = false;
};

} // namespace quillon::gui
