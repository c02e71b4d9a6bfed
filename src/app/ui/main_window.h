#pragma once
// The main window: the board editor in edit mode, the board alone in use mode. It shows
// what the core asks through MainView and hands menu commands and board input to the
// actions it is given; the behaviour itself lives in the core.
#include <QCheckBox>
#include <QFrame>
#include <QMainWindow>
#include <QToolButton>
#include <array>

#include "app/ui/main_menus.h"
#include "session/view.h"

namespace vexil {

class AuxKeyboard;
class EditBoard;
class HelpSystem;
class Session;
class UseBoard;

class MainWindow : public QMainWindow, public MainView {
    Q_OBJECT
public:
    explicit MainWindow(Session& session, QWidget* parent = nullptr);
    ~MainWindow() override;

    Session& session() { return session_; }
    const MainMenus& menus() const { return menus_; }
    EditBoard* editBoard() const { return editBoard_; }
    UseBoard* useBoard() const { return useBoard_; }
    QToolButton* useModeButton() const { return butoEnge_; }
    QCheckBox* checkBox(int index) const { return check1_.at(size_t(index)); }
    // The auxiliary keyboard `TecVirt` of "&Teclat auxiliar" and "Tec. Aux.".
    AuxKeyboard* auxKeyboard() const { return auxKeyboard_; }
    // The program's help: F1, "&Índex de l'ajuda", "Seqüències de tecles".
    HelpSystem* help() const { return help_; }

    // MainView.
    void setTitle(const QString& title) override;
    void setCover(const QImage& cover) override;
    void redrawBoard() override;
    void setSoundOnCheck(bool checked) override;
    void setDrawingArmed(bool armed) override;
    void setMacroMenuCaption(const QString& caption) override;
    void showHighlight(int area) override;
    void hideHighlight() override;
    void setHighlightStyle(int thickness, QColor color) override;
    void setHighlightFill(double progress) override;
    void setDwellProgress(int area, double progress) override;
    void setScanPaused(bool paused) override;
    void showFilteredPress(FilteredPress why) override;
    void setBoardSign(BoardSign sign, bool on) override;
    void focusBoard() override;
    void setBusyCursor(bool busy) override;
    void enterUseModeDisplay(const QRect& boardRect) override;
    void placeBoardWindow(const QRect& boardRect) override;
    void leaveUseModeDisplay() override;
    void setTopMost(bool on) override;
    void exitProgram() override;
    void setAccessMenuCheck(int item) override;
    void closeAuxiliaryKeyboard() override;
    void showEmptyAreaPanel() override;
    void openTemplateProperties() override;
    void generateCover() override;

    // The editor that answers the editing calls (drawing armed, the empty panel, the
    // properties dialog, the cover on saving); null: none.
    void setEditorHooks(MainView* hooks) { editorHooks_ = hooks; }
    // The area property panel takes the place of `fitxa_area`.
    void setAreaPanel(QWidget* panel);

    bool inUseMode() const { return useMode_; }
    QRect savedWindowRect() const { return savedWindowRect_; }
    // The highlight's rectangle on the use-mode board for area n (rounded as the program
    // rounds board values).
    QRect highlightRect(int area) const;
    void setCoverCheck(bool checked);

    // Places the window so that its outer frame covers `window` (screen pixels).
    void setOuterGeometry(const QRect& window);
    // Closes the window without asking (the end of the orderly exit).
    void closeNow();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

signals:
    // "&Sortir" of the file menu or the window's close box: the owner runs the orderly exit.
    void exitRequested();
    // The edit page is about to be shown (the window shown in edit mode, use mode left).
    void editPageWanted();

private:
    void buildEditPage();
    void wireDisplayCommands();
    void setSoundOn(bool on);
    void setCoverShown(bool shown);

    Session& session_;
    MainMenus menus_;
    QWidget* editPage_ = nullptr;
    QWidget* fitxaArea_ = nullptr;
    MainView* editorHooks_ = nullptr;
    QToolButton* butoEnge_ = nullptr;
    std::array<QCheckBox*, 3> check1_{};
    EditBoard* editBoard_ = nullptr;
    AuxKeyboard* auxKeyboard_ = nullptr;
    HelpSystem* help_ = nullptr;
    QWidget* picture3_ = nullptr;
    UseBoard* useBoard_ = nullptr;
    bool useMode_ = false;
    QRect savedWindowRect_;
    QRect outerTarget_;
    int highlightThickness_ = 8;
    QColor highlightColor_ = Qt::red;
    bool drawingArmed_ = false;
    bool closing_ = false;
};

}  // namespace vexil
