#include "auxkeys/ui/tec_virt.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "auxkeys/aux_keys.h"

namespace vexil {

namespace {

QToolButton* makeButton(QWidget* parent, const char* name, int index, const QString& caption) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setProperty("index", index);
    b->setText(caption);
    // The field being edited keeps the focus.
    b->setFocusPolicy(Qt::NoFocus);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    b->setMinimumSize(52, 30);
    return b;
}

}  // namespace

TecVirt::TecVirt(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowDoesNotAcceptFocus) {
    setObjectName(QStringLiteral("TecVirt"));
    setWindowTitle(QStringLiteral("Teclat Auxiliar"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);

    // The picture buttons: modifiers, then the frequent commands, showing what they write.
    auto* pictures = new QHBoxLayout;
    pictures->setSpacing(2);
    for (const AuxPictureButton& p : auxPictureButtons()) {
        QString caption;
        QStyle::StandardPixmap icon = QStyle::SP_CustomBase;
        switch (p.kind) {
            case PictureKind::Shift: caption = QStringLiteral("⇧ +"); break;
            case PictureKind::Ctrl: caption = QStringLiteral("Ctrl ^"); break;
            case PictureKind::Alt: caption = QStringLiteral("Alt %"); break;
            case PictureKind::Wait:
                caption = QString::fromLatin1(p.text);
                icon = QStyle::SP_BrowserReload;
                break;
            case PictureKind::LoadTemplate:
                caption = QString::fromLatin1(p.text) + QStringLiteral("…}");
                icon = QStyle::SP_DirOpenIcon;
                break;
            case PictureKind::RunProgram:
                caption = QString::fromLatin1(p.text) + QStringLiteral("…}");
                icon = QStyle::SP_MediaPlay;
                break;
            case PictureKind::TopLevel:
                caption = QString::fromLatin1(p.text);
                icon = QStyle::SP_ArrowUp;
                break;
            case PictureKind::PreviousLevel:
                caption = QString::fromLatin1(p.text);
                icon = QStyle::SP_ArrowBack;
                break;
            case PictureKind::None: continue;  // inserts nothing: no button
        }
        QToolButton* b = makeButton(this, "Picture2", p.index, caption);
        if (icon != QStyle::SP_CustomBase) {
            b->setIcon(style()->standardIcon(icon));
            b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
            b->setMinimumHeight(48);
        }
        b->setToolTip(QString::fromLatin1(p.text));
        const int index = p.index;
        connect(b, &QToolButton::clicked, this, [this, index] { emit pictureClicked(index); });
        pictures->addWidget(b);
    }
    column->addLayout(pictures);

    // The special keys: indices 1..24 four to a row, then the function keys in order.
    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    for (const AuxKeyButton& k : auxKeyButtons()) {
        QToolButton* b = makeButton(this, "Command1", k.index, QString::fromUtf8(k.caption));
        b->setToolTip(QString::fromLatin1(k.text));
        const int index = k.index;
        connect(b, &QToolButton::clicked, this, [this, index] { emit keyClicked(index); });
        if (k.index >= 1 && k.index <= 24) grid->addWidget(b, (k.index - 1) / 4, (k.index - 1) % 4);
    }
    column->addLayout(grid);
    // F1, F7 ... F12 under the rest.
    auto* functions = new QHBoxLayout;
    functions->setSpacing(2);
    for (int index : {30, 31, 29, 28, 27, 26, 0}) functions->addWidget(keyButton(index));
    column->addLayout(functions);
}

QAbstractButton* TecVirt::keyButton(int index) const {
    for (auto* b : findChildren<QAbstractButton*>(QStringLiteral("Command1")))
        if (b->property("index").toInt() == index) return b;
    return nullptr;
}

QAbstractButton* TecVirt::pictureButton(int index) const {
    for (auto* b : findChildren<QAbstractButton*>(QStringLiteral("Picture2")))
        if (b->property("index").toInt() == index) return b;
    return nullptr;
}

void TecVirt::closeEvent(QCloseEvent* event) {
    // The owner hides the window; a close comes from its close box.
    event->accept();
    emit closedByUser();
}

}  // namespace vexil
