#include "app/ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "app/ui/board_geometry.h"
#include "app/ui/edit_board.h"
#include "app/ui/use_board.h"
#include "auxkeys/ui/aux_keyboard.h"
#include "help/help_book.h"
#include "help/ui/help_window.h"
#include "i18n/texts.h"
#include "session/session.h"

namespace vexil {

MainWindow::MainWindow(Session& session, QWidget* parent) : QMainWindow(parent), session_(session) {
    setObjectName(QStringLiteral("Vexil"));
    menus_ = MainMenus::build(menuBar());

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildEditPage();
    layout->addWidget(editPage_);

    // `Picture3`: the use-mode container, `Tauvirt` fills it.
    picture3_ = new QWidget(central);
    picture3_->setObjectName(QStringLiteral("Picture3"));
    auto* useLayout = new QVBoxLayout(picture3_);
    useLayout->setContentsMargins(0, 0, 0, 0);
    useBoard_ = new UseBoard(session_.tmpl, picture3_);
    useLayout->addWidget(useBoard_);
    picture3_->hide();
    layout->addWidget(picture3_);
    setCentralWidget(central);

    auxKeyboard_ = new AuxKeyboard(session_, menus_.teclatAuxiliar, this);
    help_ = new HelpSystem(session_.folders.programFolder, interfaceLanguage(),
                           session_.platform.dialogs, this);
    wireDisplayCommands();
    setTitle(boardWindowTitle(session_.tmpl.templatePath));
    session_.setView(this);
}

MainWindow::~MainWindow() {
    delete help_;
    session_.setView(nullptr);
}

void MainWindow::buildEditPage() {
    editPage_ = new QWidget(this);
    editPage_->setObjectName(QStringLiteral("editPage"));
    auto* column = new QVBoxLayout(editPage_);
    column->setContentsMargins(4, 4, 4, 4);

    auto* row = new QHBoxLayout;
    butoEnge_ = new QToolButton(editPage_);
    butoEnge_->setObjectName(QStringLiteral("BUTO_ENGE"));
    butoEnge_->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    butoEnge_->setIconSize(QSize(24, 24));
    row->addWidget(butoEnge_);
    const char* const captions[] = {"So actiu", "Tec. Aux.", "Caràtula"};
    for (int i = 0; i < 3; ++i) {
        auto* box = new QCheckBox(QString::fromUtf8(captions[i]), editPage_);
        box->setObjectName(QStringLiteral("Check1_%1").arg(i));
        check1_.at(size_t(i)) = box;
        row->addWidget(box);
    }
    check1_[2]->setChecked(true);
    row->addStretch();
    column->addLayout(row);

    // The area property panel takes this place.
    auto* placeholder = new QFrame(editPage_);
    placeholder->setObjectName(QStringLiteral("fitxa_area"));
    placeholder->setFrameShape(QFrame::StyledPanel);
    placeholder->setMinimumHeight(60);
    fitxaArea_ = placeholder;
    column->addWidget(fitxaArea_);

    editBoard_ = new EditBoard(session_.tmpl, editPage_);
    column->addWidget(editBoard_, 0, Qt::AlignLeft | Qt::AlignTop);
}

void MainWindow::wireDisplayCommands() {
    connect(check1_[0], &QCheckBox::toggled, this, [this](bool on) { setSoundOn(on); });
    connect(menus_.soActiu, &QAction::triggered, this, [this](bool on) { setSoundOn(on); });
    connect(check1_[1], &QCheckBox::toggled, menus_.teclatAuxiliar, &QAction::setChecked);
    // The box follows the menu item whoever ticks it (the keyboard's own close box too).
    connect(menus_.teclatAuxiliar, &QAction::toggled, check1_[1], &QCheckBox::setChecked);
    connect(check1_[2], &QCheckBox::toggled, this, [this](bool on) { setCoverShown(on); });
    connect(menus_.caratula, &QAction::triggered, this, [this](bool on) { setCoverShown(on); });
    connect(menus_.sortir, &QAction::triggered, this, &MainWindow::exitRequested);
    connect(menus_.quantAl, &QAction::triggered, this, [this] {
        session_.platform.dialogs.message(aboutText(), messageText(7), MessageButtons::Ok,
                                          MessageIcon::Information);
    });
    connect(menus_.indexAjuda, &QAction::triggered, this,
            [this] { help_->showTopic(help_topic::Index); });
    connect(menus_.seqTecles, &QAction::triggered, this,
            [this] { help_->showTopic(help_topic::KeySequences); });
}

void MainWindow::setSoundOn(bool on) {
    session_.tmpl.settings.soundOn = on ? -1 : 0;
    setSoundOnCheck(on);
}

void MainWindow::setCoverShown(bool shown) {
    setCoverCheck(shown);
    redrawBoard();
}

void MainWindow::setTitle(const QString& title) {
    setWindowTitle(title);
}

void MainWindow::setCover(const QImage& cover) {
    editBoard_->setCover(cover);
    useBoard_->setCover(cover);
}

void MainWindow::redrawBoard() {
    editBoard_->redraw();
    useBoard_->update();
}

void MainWindow::setSoundOnCheck(bool checked) {
    const QSignalBlocker a(check1_[0]);
    const QSignalBlocker b(menus_.soActiu);
    check1_[0]->setChecked(checked);
    menus_.soActiu->setChecked(checked);
}

void MainWindow::setCoverCheck(bool checked) {
    const QSignalBlocker a(check1_[2]);
    const QSignalBlocker b(menus_.caratula);
    check1_[2]->setChecked(checked);
    menus_.caratula->setChecked(checked);
    editBoard_->setCoverVisible(checked);
}

void MainWindow::setDrawingArmed(bool armed) {
    drawingArmed_ = armed;
    editBoard_->setCursor(armed ? Qt::CrossCursor : Qt::ArrowCursor);
    if (editorHooks_) editorHooks_->setDrawingArmed(armed);
}

void MainWindow::showEmptyAreaPanel() {
    if (editorHooks_) editorHooks_->showEmptyAreaPanel();
}

void MainWindow::openTemplateProperties() {
    if (editorHooks_) editorHooks_->openTemplateProperties();
}

void MainWindow::generateCover() {
    if (editorHooks_) editorHooks_->generateCover();
}

void MainWindow::setAreaPanel(QWidget* panel) {
    QLayout* column = editPage_->layout();
    panel->setParent(editPage_);
    delete column->replaceWidget(fitxaArea_, panel);
    delete fitxaArea_;
    fitxaArea_ = panel;
}

void MainWindow::setOuterGeometry(const QRect& window) {
    outerTarget_ = window;
    const QRect inner = geometry();
    const QRect outer = frameGeometry();
    int extraW = outer.width() - inner.width();
    int extraH = outer.height() - inner.height();
    if (!isVisible() && extraH == 0) {
        // Not framed yet: allow for a title bar until the window manager says better.
        extraH = style()->pixelMetric(QStyle::PM_TitleBarHeight);
    }
    move(window.topLeft());
    resize(std::max(1, window.width() - extraW), std::max(1, window.height() - extraH));
}

void MainWindow::showEvent(QShowEvent* event) {
    if (!useMode_) emit editPageWanted();
    QMainWindow::showEvent(event);
    // Once the window manager has framed the window, its frame is known: place it again.
    if (useMode_ && outerTarget_.isValid()) {
        QTimer::singleShot(100, this, [this] {
            if (useMode_ && frameGeometry() != outerTarget_) setOuterGeometry(outerTarget_);
        });
    }
}

void MainWindow::enterUseModeDisplay(const QRect& boardRect) {
    savedWindowRect_ = frameGeometry();
    useMode_ = true;
    // The board takes every key: no help, no auxiliary keyboard.
    auxKeyboard_->setUseMode(true);
    help_->setSuspended(true);
    setDrawingArmed(false);
    menus_.showMode(true);
    editPage_->hide();
    const QPointF scale = session_.access.scale;
    useBoard_->setScale(scale.x(), scale.y());
    picture3_->show();
    // The editor's fixed sizes no longer hold the window open.
    setMinimumSize(0, 0);
    // On Wayland the board never takes the focus from the application that gets the keys.
    if (!session_.platform.windows.boardTakesFocus()) {
        // Changing the flag hides the window (it is shown again below, on the board); the
        // new native window refuses the focus before the desktop first shows it.
        setWindowFlag(Qt::WindowDoesNotAcceptFocus, true);
        session_.platform.windows.refuseFocus(WindowHandle(winId()));
    }
    setOuterGeometry(boardRect);
    // Entering use mode at start-up shows the window here, on the board, before the start
    // programs open theirs.
    if (!isVisible()) show();
    useBoard_->setFocus(Qt::OtherFocusReason);
}

void MainWindow::placeBoardWindow(const QRect& boardRect) {
    const QPointF scale = session_.access.scale;
    useBoard_->setScale(scale.x(), scale.y());
    setOuterGeometry(boardRect);
    update();
}

void MainWindow::leaveUseModeDisplay() {
    useMode_ = false;
    help_->setSuspended(false);
    useBoard_->hideHighlight();
    picture3_->hide();
    menus_.showMode(false);
    emit editPageWanted();
    editPage_->show();
    showEmptyAreaPanel();
    if (testAttribute(Qt::WA_WState_Created) && (windowFlags() & Qt::WindowDoesNotAcceptFocus)) {
        setWindowFlag(Qt::WindowDoesNotAcceptFocus, false);
        show();
    }
    if (savedWindowRect_.isValid()) setOuterGeometry(savedWindowRect_);
    auxKeyboard_->setUseMode(false);
}

QRect MainWindow::highlightRect(int area) const {
    const Template& t = session_.tmpl;
    if (area < 1 || area > t.areaCount()) return {};
    const Area& r = t.area(1);
    const Area& a = t.area(area);
    const QPointF scale = session_.access.scale;
    return QRect(toInt16((a.x0 - r.x0) * scale.x()), toInt16((a.y0 - r.y0) * scale.y()),
                 toInt16((a.x1 - a.x0) * scale.x()), toInt16((a.y1 - a.y0) * scale.y()));
}

void MainWindow::showHighlight(int area) {
    const QRect r = highlightRect(area);
    if (r.isNull()) return;
    useBoard_->showHighlight(r, highlightThickness_, highlightColor_);
    focusBoard();
}

void MainWindow::hideHighlight() {
    useBoard_->hideHighlight();
}

void MainWindow::setHighlightStyle(int thickness, QColor color) {
    highlightThickness_ = thickness;
    highlightColor_ = color;
    if (useBoard_->highlight()->isVisible()) useBoard_->highlight()->setLook(thickness, color);
}

void MainWindow::setHighlightFill(double progress) {
    useBoard_->highlight()->setFill(progress);
}

void MainWindow::setDwellProgress(int area, double progress) {
    useBoard_->setDwell(highlightRect(area), progress);
}

void MainWindow::setScanPaused(bool paused) {
    setBoardSign(BoardSign::ScanPaused, paused);
}

void MainWindow::showFilteredPress(FilteredPress why) {
    switch (why) {
        case FilteredPress::TooShort:
            useBoard_->flashSign(translateCaption(QString::fromUtf8("Premuda massa curta")));
            break;
        case FilteredPress::DeadTime:
            useBoard_->flashSign(translateCaption(QString::fromUtf8("Premuda en temps mort")));
            break;
        case FilteredPress::SameIntent:
            useBoard_->flashSign(translateCaption(QString::fromUtf8("Ja seleccionat")));
            break;
    }
}

void MainWindow::setBoardSign(BoardSign sign, bool on) {
    QString text;
    switch (sign) {
        case BoardSign::Listening:
            text = QString::fromUtf8("Escoltant la veu");
            break;
        case BoardSign::Recording:
            text = QString::fromUtf8("Registre d'ús actiu");
            break;
        case BoardSign::ScanPaused:
            text = QString::fromUtf8("Escaneig aturat: premeu per continuar");
            break;
    }
    useBoard_->setSign(int(sign), on ? translateCaption(text) : QString());
}

void MainWindow::focusBoard() {
    if (!useBoard_->isVisible() || !session_.platform.windows.boardTakesFocus()) return;
    if (!isActiveWindow()) activateWindow();
    useBoard_->setFocus(Qt::OtherFocusReason);
}

void MainWindow::setBusyCursor(bool busy) {
    useBoard_->setCursor(busy ? Qt::WaitCursor : Qt::ArrowCursor);
}

void MainWindow::setTopMost(bool on) {
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    show();
}

void MainWindow::setAccessMenuCheck(int item) {
    menus_.checkAccessItem(item);
}

void MainWindow::closeAuxiliaryKeyboard() {
    // The menu item loses its tick and the box follows.
    auxKeyboard_->close();
}

void MainWindow::setMacroMenuCaption(const QString& caption) {
    menus_.seleccionar->setTitle(QString(caption).replace(u'&', QStringLiteral("&&")));
}

void MainWindow::exitProgram() {
    closeNow();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // The window itself answers Backspace with a beep and nothing else.
    if (event->key() == Qt::Key_Backspace) {
        QApplication::beep();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::closeNow() {
    closing_ = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The close box runs the same orderly exit as "&Sortir"; the owner closes for real.
    if (closing_) {
        event->accept();
        return;
    }
    event->ignore();
    emit exitRequested();
}

}  // namespace vexil
