#pragma once
// `PlantForm` ("Dades globals"): the board's properties. It shows TemplateProperties'
// fields, writes every edit back into them and hands the buttons to it; "D'Acord" runs
// the acceptance, "Anul·lació" closes without copying anything.
#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace vexil {

class DriveMap;
class FolderBrowser;
class TemplateProperties;

class PlantForm : public QDialog {
    Q_OBJECT
public:
    PlantForm(TemplateProperties& properties, const DriveMap& drives, QWidget* parent = nullptr);

    // Shows the fields again (after a button changed them).
    void refresh();

    // "Tec Aux" (`HlpK`): shows the auxiliary keyboard; without one the button does nothing.
    std::function<void()> showAuxiliaryKeyboard;

private:
    void build(const DriveMap& drives);
    void wire();
    void run(void (TemplateProperties::*action)());

    TemplateProperties& p_;
    QLineEdit* fitxGraf_ = nullptr;
    QCheckBox* caratulaAuto_ = nullptr;
    QLineEdit* fitxDoc_ = nullptr;
    QLineEdit* descripcio_ = nullptr;
    QLineEdit* ordres_ = nullptr;
    QComboBox* programes_ = nullptr;
    QLineEdit* tecles_ = nullptr;
    QComboBox* macros_ = nullptr;
    QLineEdit* txFinestra_ = nullptr;
    QLineEdit* fitxClip_ = nullptr;
    QRadioButton* option1_[2] = {};
    QLineEdit* pathdefault_ = nullptr;
    QWidget* frame1_ = nullptr;
    FolderBrowser* browser_ = nullptr;
    const DriveMap* drives_ = nullptr;
    QListWidget* svIdioma_ = nullptr;
    QListWidget* svLocutor_ = nullptr;
    QLineEdit* svVelocitat_ = nullptr;
    bool refreshing_ = false;
};

}  // namespace vexil
