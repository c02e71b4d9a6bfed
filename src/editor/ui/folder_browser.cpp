#include "editor/ui/folder_browser.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QListWidget>
#include <QVBoxLayout>

#include "platform/paths.h"

namespace vexil {

FolderBrowser::FolderBrowser(const DriveMap& drives, const QStringList& patterns, QWidget* parent)
    : QWidget(parent), patterns_(patterns) {
    drive_ = new QComboBox(this);
    drive_->setObjectName(QStringLiteral("Drive1"));
    for (QChar letter : drives.letters())
        drive_->addItem(QString(letter) + QStringLiteral(": ") + drives.folderOf(letter),
                        drives.folderOf(letter));
    for (const QFileInfo& root : QDir::drives())
        drive_->addItem(root.absoluteFilePath(), root.absoluteFilePath());
    dir_ = new QListWidget(this);
    dir_->setObjectName(QStringLiteral("Dir1"));
    file_ = new QListWidget(this);
    file_->setObjectName(QStringLiteral("File1"));

    auto* column = new QVBoxLayout;
    column->addWidget(drive_);
    column->addWidget(dir_);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addLayout(column);
    row->addWidget(file_);

    connect(drive_, &QComboBox::activated, this,
            [this](int index) { setFolder(drive_->itemData(index).toString()); });
    connect(dir_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        setFolder(QDir(folder_).absoluteFilePath(item->text()));
    });
    connect(file_, &QListWidget::currentTextChanged, this, [this](const QString& name) {
        if (!name.isEmpty()) emit fileClicked(QDir(folder_).filePath(name));
    });
}

void FolderBrowser::setFolder(const QString& folder) {
    const QDir dir(folder);
    if (!dir.exists()) return;
    folder_ = QDir::cleanPath(dir.absolutePath());
    dir_->clear();
    if (!dir.isRoot()) dir_->addItem(QStringLiteral(".."));
    dir_->addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    file_->clear();
    QDir files(folder_);
    files.setNameFilters(patterns_);
    file_->addItems(files.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
}

QString FolderBrowser::selectedFile() const {
    const QListWidgetItem* item = file_->currentItem();
    return item ? item->text() : QString();
}

}  // namespace vexil
