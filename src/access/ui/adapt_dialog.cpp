#include "access/ui/adapt_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "i18n/texts.h"
#include "settings/adapt_settings.h"

namespace vexil {

namespace {

const AdaptKey& keyOf(const char* key) {
    for (const AdaptKey& k : adaptKeys())
        if (qstrcmp(k.key, key) == 0) return k;
    return adaptKeys().front();
}

}  // namespace

AdaptDialog::AdaptDialog(UserProfile& profile, QWidget* parent, AdaptHooks hooks)
    : QDialog(parent), profile_(profile), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("Adaptacio"));
    setWindowTitle(QString::fromUtf8("Adaptació"));
    setModal(true);
    setProperty("helpTopic", kAdaptHelpTopic);

    auto* layout = new QVBoxLayout(this);
    const auto group = [&](const char* caption) {
        auto* box = new QGroupBox(QString::fromUtf8(caption), this);
        auto* form = new QFormLayout(box);
        layout->addWidget(box);
        return form;
    };
    const auto numberRow = [&](QFormLayout* form, const char* caption, const char* key) {
        const AdaptKey& k = keyOf(key);
        auto* box = new QSpinBox(this);
        box->setObjectName(QLatin1String(key));
        box->setRange(k.min, k.max);
        numbers_[QLatin1String(key)] = box;
        form->addRow(QString::fromUtf8(caption), box);
    };
    const auto checkRow = [&](QFormLayout* form, const char* caption, const char* key) {
        auto* box = new QCheckBox(QString::fromUtf8(caption), this);
        box->setObjectName(QLatin1String(key));
        checks_[QLatin1String(key)] = box;
        form->addRow(box);
    };

    QFormLayout* switches = group("Polsadors");
    numberRow(switches, "Temps d'acceptació (ms)", "Acceptacio");
    numberRow(switches, "Temps mort després d'acceptar (ms)", "TempsMort");
    checkRow(switches, "Escanejar mentre es manté premut", "MantenirPerEscanejar");
    numberRow(switches, "Premuda llarga per seleccionar (ms, 0: no)", "PremudaLlarga");
    checkRow(switches, "Avisar amb un so de les premudes descartades", "AvisFiltre");

    QFormLayout* scanning = group("Escaneig automàtic");
    numberRow(scanning, "Retard del primer element (ms)", "PrimerElement");
    numberRow(scanning, "Voltes abans d'aturar-se (0: mai)", "Voltes");
    checkRow(scanning, "Escurçar l'anunci al pas en lloc d'esperar-lo", "AnunciAjustat");
    numberRow(scanning, "Voltes dins d'un grup abans de sortir-ne (0: mai)", "VoltesGrup");

    QFormLayout* cue = group("Guia auditiva");
    checkRow(cue, "Dir cada àrea amb la veu guia", "GuiaAuditiva");
    checkRow(cue, "Esperar que la guia acabi", "GuiaEspera");
    output_ = new QComboBox(this);
    output_->setObjectName(QStringLiteral("GuiaSortida"));
    output_->setEditable(true);
    // The main output first (an empty name), then what the server offers, by name with
    // its description shown beside it.
    output_->addItem(QString());
    if (hooks_.outputs)
        for (const auto& [name, description] : hooks_.outputs())
            output_->addItem(
                description.isEmpty() ? name : name + QStringLiteral(" — ") + description, name);
    test_ = new QPushButton(QStringLiteral("Provar"), this);
    test_->setObjectName(QStringLiteral("ProvarGuia"));
    test_->setEnabled(bool(hooks_.testOutput));
    auto* outputRow = new QHBoxLayout;
    outputRow->addWidget(output_, 1);
    outputRow->addWidget(test_);
    cue->addRow(QString::fromUtf8("Sortida d'àudio de la guia"), outputRow);
    numberRow(cue, "Volum de la guia (%)", "VolumGuia");
    numberRow(cue, "Velocitat de la guia", "GuiaVelocitat");
    numberRow(cue, "Veu de la guia", "GuiaVeu");

    QFormLayout* dwell = group("Permanència del ratolí");
    numberRow(dwell, "Temps de permanència (ms)", "Permanencia");
    numberRow(dwell, "Radi de tolerància (píxels)", "PermanenciaRadi");
    numberRow(dwell, "Temps de repetició (ms)", "PermanenciaRepeticio");

    QFormLayout* record = group("Registre");
    checkRow(record, "Registre d'ús", "RegistreUs");
    clear_ = new QPushButton(QStringLiteral("Esborrar el registre"), this);
    clear_->setObjectName(QStringLiteral("EsborrarRegistre"));
    clear_->setEnabled(bool(hooks_.clearRecord));
    record->addRow(clear_);
    connect(clear_, &QPushButton::clicked, this, [this] {
        const bool cleared = hooks_.clearRecord();
        QMessageBox::information(
            this, windowTitle(),
            translateCaption(cleared
                                 ? QString::fromUtf8("El registre d'ús s'ha esborrat.")
                                 : QString::fromUtf8("No s'ha pogut esborrar el registre d'ús.")));
    });
    connect(test_, &QPushButton::clicked, this,
            [this] { hooks_.testOutput(outputName(), number("VolumGuia")->value()); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    accept_ = new QPushButton(QStringLiteral("Acceptar"), this);
    accept_->setObjectName(QStringLiteral("buto_0"));
    accept_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancelar"), this);
    cancel_->setObjectName(QStringLiteral("buto_1"));
    buttons->addWidget(accept_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    connect(accept_, &QPushButton::clicked, this, [this] {
        profile_.adapt = settings();
        accept();
    });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    load(profile.adapt);
}

void AdaptDialog::load(const AdaptSettings& a) {
    for (const AdaptKey& k : adaptKeys()) {
        const QString key = QLatin1String(k.key);
        if (auto n = numbers_.find(key); n != numbers_.end()) n->second->setValue(a.*k.field);
        if (auto c = checks_.find(key); c != checks_.end()) c->second->setChecked(a.*k.field != 0);
    }
    const int listed = output_->findData(a.GuiaSortida);
    if (a.GuiaSortida.isEmpty())
        output_->setCurrentIndex(0);
    else if (listed >= 0)
        output_->setCurrentIndex(listed);
    else
        output_->setEditText(a.GuiaSortida);
}

QString AdaptDialog::outputName() const {
    // A listed output by its name; a typed one as typed.
    const int i = output_->findText(output_->currentText());
    if (i >= 0 && output_->itemData(i).isValid()) return output_->itemData(i).toString();
    return output_->currentText().trimmed();
}

AdaptSettings AdaptDialog::settings() const {
    AdaptSettings a;
    for (const AdaptKey& k : adaptKeys()) {
        const QString key = QLatin1String(k.key);
        if (auto n = numbers_.find(key); n != numbers_.end())
            a.*k.field = std::int16_t(n->second->value());
        if (auto c = checks_.find(key); c != checks_.end())
            a.*k.field = c->second->isChecked() ? 1 : 0;
    }
    a.GuiaSortida = outputName();
    return a;
}

QSpinBox* AdaptDialog::number(const char* key) const {
    const auto n = numbers_.find(QLatin1String(key));
    return n == numbers_.end() ? nullptr : n->second;
}

QCheckBox* AdaptDialog::check(const char* key) const {
    const auto c = checks_.find(QLatin1String(key));
    return c == checks_.end() ? nullptr : c->second;
}

}  // namespace vexil
