// SourceChooser drawn with Qt: one button a kind of source, each opening the system's folder or
// file dialog; the installations and users found; Ouvrir and Quitter.
#pragma once

#include "app/source_chooser.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;

namespace quillon::gui {

// The folder or file that the user picks in the system's dialog; empty when cancelled.
using PathAsker = std::function<QString(QWidget* parent, const SourceChooser::PathRequest&)>;
QString AskWithSystemDialog(QWidget* parent, const SourceChooser::PathRequest& request);

class SourceDialog : public QDialog {
  public:
    // Accepted once the user opens a row, whose registry is then chooser.Chosen().
    explicit SourceDialog(SourceChooser& chooser, PathAsker ask = AskWithSystemDialog,
                          QWidget* parent = nullptr);

  private:
    void Choose(SourceChooser::Source source);
    void ReadWithProgress(SourceChooser::Source source, const std::string& path);
    void ShowRows();      // after a source was read
    void ShowSelection(); // the status and Ouvrir, for the row selected

    // The progress window shows only for a reading longer than this; it is redrawn this often.
    static constexpr int kProgressDelayMs = 400;
    static constexpr int kRedrawMs = 50;

    SourceChooser& chooser_;
    PathAsker ask_;
    QLabel* reading_;
    QTableWidget* rows_;
    QLabel* status_;
    QPushButton* open_;
};

} // namespace quillon::gui
