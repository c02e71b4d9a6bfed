#pragma once
// `rec_graf` ("Fitxers Gràfics"): the picture chooser of the panel and of "Dades globals",
// drive, folder and file lists with a preview. "D'Acord" with a file selected leaves its
// full path; "Cancelar", or "D'Acord" without a file, leaves nothing.
#include <QDialog>
#include <optional>

class QLabel;

namespace vexil {

class DriveMap;
class FolderBrowser;

class RecGraf : public QDialog {
    Q_OBJECT
public:
    RecGraf(const DriveMap& drives, const QString& folder, QWidget* parent = nullptr);

    // `chosenPicture` after the dialog closed.
    std::optional<QString> chosenPicture() const { return chosen_; }
    FolderBrowser* browser() const { return browser_; }

private:
    FolderBrowser* browser_ = nullptr;
    QLabel* preview_ = nullptr;
    std::optional<QString> chosen_;
};

}  // namespace vexil
