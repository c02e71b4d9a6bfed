#include "editor/ui/rec_graf.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/ui/folder_browser.h"
#include "help/help_book.h"
#include "platform/paths.h"
#include "platform/picture_files.h"

namespace vexil {

RecGraf::RecGraf(const DriveMap& drives, const QString& folder, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("rec_graf"));
    setProperty("helpTopic", help_topic::Cover);
    setWindowTitle(QStringLiteral("Fitxers Gràfics"));
    browser_ = new FolderBrowser(drives, picturePatterns(), this);
    preview_ = new QLabel(this);
    preview_->setObjectName(QStringLiteral("Image1"));
    preview_->setFixedSize(160, 120);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setFrameShape(QFrame::Box);
    auto* ok = new QPushButton(QStringLiteral("D'Acord"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setProperty("index", 0);
    auto* cancel = new QPushButton(QStringLiteral("Cancelar"), this);
    cancel->setObjectName(QStringLiteral("Command1"));
    cancel->setProperty("index", 1);

    auto* side = new QVBoxLayout;
    side->addWidget(preview_);
    side->addStretch();
    side->addWidget(ok);
    side->addWidget(cancel);
    auto* row = new QHBoxLayout(this);
    row->addWidget(browser_, 1);
    row->addLayout(side);

    connect(browser_, &FolderBrowser::fileClicked, this, [this](const QString& path) {
        const QImage image = readPicture(path);
        preview_->setPixmap(image.isNull() ? QPixmap()
                                           : QPixmap::fromImage(image.scaled(preview_->size(),
                                                                             Qt::KeepAspectRatio)));
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        const QString file = browser_->selectedFile();
        if (file.isEmpty()) {
            reject();  // nothing selected: as "Cancelar"
            return;
        }
        chosen_ = QDir(browser_->folder()).filePath(file);
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    browser_->setFolder(QDir(folder).exists() ? folder : QDir::homePath());
}

}  // namespace vexil
