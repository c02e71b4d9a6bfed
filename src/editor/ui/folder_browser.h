#pragma once
// The drive, folder and file lists of the editor's choosers (`Drive1`, `Dir1`, `File1`):
// the drives are the letters of the drive map and the file-system roots; activating a
// folder enters it; the file list shows the files matching the patterns. The folder shown
// is written above the lists, and the drive list shows the drive it lies on.
#include <QWidget>

class QComboBox;
class QLabel;
class QListWidget;

namespace vexil {

class DriveMap;

class FolderBrowser : public QWidget {
    Q_OBJECT
public:
    FolderBrowser(const DriveMap& drives, const QStringList& patterns, QWidget* parent = nullptr);

    // Shows `folder` (a path of this machine) in the folder and file lists.
    void setFolder(const QString& folder);
    QString folder() const { return folder_; }
    // The selected file's name, empty when none.
    QString selectedFile() const;

signals:
    void fileClicked(const QString& path);

private:
    QComboBox* drive_ = nullptr;
    QLabel* path_ = nullptr;
    QListWidget* dir_ = nullptr;
    QListWidget* file_ = nullptr;
    QStringList patterns_;
    QString folder_;
};

}  // namespace vexil
