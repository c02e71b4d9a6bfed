#pragma once
// `fitxa_area`: the area property panel as widgets. It shows the panel state the core keeps
// (`PanelState`) and hands every change and button to AreaPanel and PanelFiles; it holds no
// behaviour of its own. Controls carry their design names as object names.
#include <QFrame>
#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace vexil {

class Editor;

class AreaPanelWidget : public QFrame {
    Q_OBJECT
public:
    explicit AreaPanelWidget(Editor& editor, QWidget* parent = nullptr);

    // Shows the panel state again (after the core changed it).
    void refresh();
    // The keyboard focus goes to `TxText`.
    void focusKeys();
    QLineEdit* keysField() const { return txText_; }

    // The picture chooser `Icona_buscar` opens, in the folder given; nothing when it was
    // cancelled. Without one the button does nothing.
    std::function<std::optional<QString>(const QString& folder)> choosePicture;

signals:
    // `CODI_MODUS_BOTO`: 0 "Tecles text", 1 "Assistent tecles".
    void keysModeChosen(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void wire();
    // Runs a change of the core, then shows the state it left.
    void change(const std::function<void()>& action);

    Editor& e_;
    QLabel* msgArea_ = nullptr;
    std::array<QScrollBar*, 4> scroll_{};
    std::array<QLineEdit*, 4> edgeText_{};
    QLineEdit* txText_ = nullptr;
    QLineEdit* txApp_ = nullptr;
    std::array<QRadioButton*, 2> option1_{};
    QLineEdit* iconaText_ = nullptr;
    QLineEdit* soText_ = nullptr;
    QCheckBox* chRepe_ = nullptr;
    QPushButton* prevArea_ = nullptr;
    QPushButton* nextArea_ = nullptr;
    QPushButton* buscaClip_ = nullptr;
    QPushButton* veureClip_ = nullptr;
    QPushButton* iconaBuscar_ = nullptr;
    QPushButton* iconaVeure_ = nullptr;
    QPushButton* soBuscar_ = nullptr;
    QPushButton* soEscoltar_ = nullptr;
    bool refreshing_ = false;
};

}  // namespace vexil
