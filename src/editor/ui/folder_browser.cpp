#include "editor/ui/folder_browser.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
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
    path_ = new QLabel(this);
    path_->setObjectName(QStringLiteral("Dir1Path"));
    path_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    dir_ = new QListWidget(this);
    dir_->setObjectName(QStringLiteral("Dir1"));
    file_ = new QListWidget(this);
    file_->setObjectName(QStringLiteral("File1"));

    auto* column = new QVBoxLayout;
    column->addWidget(drive_);
    column->addWidget(dir_);
    auto* row = new QHBoxLayout;
    row->addLayout(column);
    row->addWidget(file_);
    auto* whole = new QVBoxLayout(this);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->addWidget(path_);
    whole->addLayout(row);

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
    path_->setText(QDir::toNativeSeparators(folder_));
    // The drive the folder lies on: the entry with the longest folder that holds it.
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < drive_->count(); ++i) {
        const QString root = QDir::cleanPath(drive_->itemData(i).toString());
        const bool holds = folder_ == root || root == u'/' ||
                           folder_.startsWith(root + u'/', Qt::CaseInsensitive);
        if (holds && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    if (best >= 0) drive_->setCurrentIndex(best);
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
