#include "screens/settings/settingslookview.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "logic/news/settings.h"
#include "screens/settings/settingspages.h"
#include "screens/widgets/textscale.h"
#include "screens/widgets/theme.h"

SettingsLookView::SettingsLookView(Settings* model, QWidget* parent) : QWidget(parent), settings(model)
{
    setObjectName(QStringLiteral("SettingsLookView"));
    QVBoxLayout* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->setSpacing(0);
    QButtonGroup* group = new QButtonGroup(this);
    const QString names[] = {tr("Jak w systemie"), tr("Jasny"), tr("Ciemny")};
    for (int i = 0; i < 3; ++i) {
        QCheckBox* box = SettingsPages::checkBox(this, QByteArray("checkBoxLook" + QByteArray::number(i)).constData(), names[i]);
        group->addButton(box, i);
        layout->addWidget(box);
        looks.append(box);
        connect(box, &QCheckBox::toggled, this, [this, i](bool on) {
            if (on && !settings->setAppearance(Settings::Appearance(i))) {
                updateData();
                SettingsPages::reportNotSaved();
            }
        });
    }

    QLabel* heading = new QLabel(tr("  Wielkość tekstu:"), this);
    heading->setMinimumHeight(50);
    QHBoxLayout* row = new QHBoxLayout();
    smallerButton = SettingsPages::hourButton(this, "buttonTextSmaller", false);
    smallerButton->setAccessibleName(tr("Mniejszy tekst"));
    largerButton = SettingsPages::hourButton(this, "buttonTextLarger", true);
    largerButton->setAccessibleName(tr("Większy tekst"));
    scaleLabel = new QLabel(this);
    scaleLabel->setObjectName(QStringLiteral("labelTextScale"));
    scaleLabel->setAlignment(Qt::AlignCenter);
    scaleLabel->setMinimumWidth(100);
    Theme::follow(scaleLabel, [heading, this] {
        const QString style = QStringLiteral("color: %1;").arg(Theme::css(Theme::Text));
        heading->setStyleSheet(style);
        scaleLabel->setStyleSheet(style);
    });
    TextScale::follow(heading, 16, true);
    TextScale::follow(scaleLabel, 22, false);
    row->addStretch();
    row->addWidget(smallerButton);
    row->addWidget(scaleLabel);
    row->addWidget(largerButton);
    row->addStretch();
    layout->addWidget(heading);
    layout->addLayout(row);
    auto step = [this](int by) {
        if (!settings->setTextScale(TextScale::step(settings->textScale(), by))) {
            updateData();
            SettingsPages::reportNotSaved();
        }
    };
    connect(smallerButton, &QPushButton::clicked, this, [step] { step(-1); });
    connect(largerButton, &QPushButton::clicked, this, [step] { step(1); });
    connect(settings, &Settings::preferencesChanged, this, &SettingsLookView::updateData);
    updateData();
    resize(480, layout->sizeHint().height());
}

void SettingsLookView::updateData()
{
    QCheckBox* chosen = looks.value(settings->appearance());
    if (chosen) {
        const bool blocked = chosen->blockSignals(true);
        chosen->setChecked(true);
        chosen->blockSignals(blocked);
    }
    scaleLabel->setText(QStringLiteral("%1 %").arg(settings->textScale()));
    smallerButton->setEnabled(settings->textScale() > Settings::minTextScale);
    largerButton->setEnabled(settings->textScale() < Settings::maxTextScale);
}
