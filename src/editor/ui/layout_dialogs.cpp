#include "editor/ui/layout_dialogs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "help/help_book.h"

namespace vexil {

namespace {

QScrollBar* verticalBar(QWidget* parent, const char* name, int min, int max, int value) {
    auto* bar = new QScrollBar(Qt::Vertical, parent);
    bar->setObjectName(QLatin1String(name));
    bar->setRange(min, max);
    bar->setValue(value);
    bar->setFixedHeight(40);
    return bar;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int index) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setProperty("index", index);
    return b;
}

int countOf(const QScrollBar* bar) {
    return bar->maximum() - bar->value() + 1;
}

}  // namespace

RdmDialog::RdmDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("RDM"));
    setProperty("helpTopic", help_topic::LayoutTools);
    setWindowTitle(QStringLiteral("Redimensionar "));
    auto* grid = new QGridLayout(this);
    hor_ = new QLineEdit(QStringLiteral("100"), this);
    hor_->setObjectName(QStringLiteral("Hor"));
    ver_ = new QLineEdit(QStringLiteral("100"), this);
    ver_->setObjectName(QStringLiteral("ver"));
    vscroll1_ = verticalBar(this, "VScroll1", 0, 100, 0);
    vscroll2_ = verticalBar(this, "VScroll2", 0, 100, 0);
    grid->addWidget(new QLabel(QStringLiteral("% Horitzontal"), this), 0, 0);
    grid->addWidget(hor_, 0, 1);
    grid->addWidget(vscroll1_, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("% Vertical"), this), 1, 0);
    grid->addWidget(ver_, 1, 1);
    grid->addWidget(vscroll2_, 1, 2);
    auto* accept = button(this, "buto", QStringLiteral("Acceptar"), 0);
    auto* cancel = button(this, "buto", QStringLiteral("Cancelar"), 1);
    accept->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addWidget(accept);
    row->addWidget(cancel);
    grid->addLayout(row, 2, 0, 1, 3);

    connect(vscroll1_, &QScrollBar::valueChanged, this,
            [this](int v) { hor_->setText(QString::number(100 - v)); });
    connect(vscroll2_, &QScrollBar::valueChanged, this,
            [this](int v) { ver_->setText(QString::number(100 - v)); });
    connect(accept, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString RdmDialog::horizontal() const {
    return hor_->text();
}
QString RdmDialog::vertical() const {
    return ver_->text();
}

QuadriculaDialog::QuadriculaDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Quadricula"));
    setProperty("helpTopic", help_topic::LayoutTools);
    setWindowTitle(QStringLiteral("Subdividir l'àrea"));
    auto* grid = new QGridLayout(this);
    scrollH_ = verticalBar(this, "ScrollH", 1, 10, 10);
    scrollV_ = verticalBar(this, "ScrollV", 1, 10, 10);
    txH_ = new QLabel(QStringLiteral("1"), this);
    txH_->setObjectName(QStringLiteral("TxH"));
    txV_ = new QLabel(QStringLiteral("1"), this);
    txV_->setObjectName(QStringLiteral("TxV"));
    grid->addWidget(new QLabel(QStringLiteral("Columnes:"), this), 0, 0);
    grid->addWidget(txH_, 0, 1);
    grid->addWidget(scrollH_, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Files:"), this), 1, 0);
    grid->addWidget(txV_, 1, 1);
    grid->addWidget(scrollV_, 1, 2);
    auto* accept = button(this, "Command1", QStringLiteral("D'Acord"), 0);
    auto* cancel = button(this, "Command2", QStringLiteral("Cancelar"), 0);
    accept->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addWidget(accept);
    row->addWidget(cancel);
    grid->addLayout(row, 2, 0, 1, 3);

    // Moving a spinner's value down raises the count.
    connect(scrollH_, &QScrollBar::valueChanged, this,
            [this] { txH_->setText(QString::number(countOf(scrollH_))); });
    connect(scrollV_, &QScrollBar::valueChanged, this,
            [this] { txV_->setText(QString::number(countOf(scrollV_))); });
    connect(accept, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int QuadriculaDialog::columns() const {
    return countOf(scrollH_);
}
int QuadriculaDialog::rows() const {
    return countOf(scrollV_);
}

}  // namespace vexil
