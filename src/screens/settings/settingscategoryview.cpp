#include "screens/settings/settingscategoryview.h"

#include <QCheckBox>
#include <QFrame>
#include <QVBoxLayout>

#include "screens/widgets/theme.h"
#include "logic/news/channel.h"
#include "logic/news/settings.h"
#include "screens/settings/settingspages.h"

// The first box is channel type 2 (Kraj); types 0, 1 and 8 cannot be switched off.
static const int firstSwitchable = RSSChannel::Kraj;

SettingsCategoryView::SettingsCategoryView(Settings* model, QWidget* parent) : QWidget(parent), settings(model)
{
    setObjectName(QStringLiteral("SettingsCategoryView"));
    QVBoxLayout* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < 6; ++i) {
        if (i > 0) {
            QFrame* line = new QFrame(this);
            line->setFrameShape(QFrame::HLine);
            Theme::follow(line, [line] {
                line->setStyleSheet(QStringLiteral("color: %1;").arg(Theme::css(Theme::Separator)));
            });
            layout->addWidget(line);
        }
        const QByteArray name = "checkBoxCategory" + QByteArray::number(i + 1);
        const QString title = RSSChannel::titleForType(RSSChannel::ChannelType(firstSwitchable + i));
        QCheckBox* box = SettingsPages::checkBox(this, name.constData(), title);
        layout->addWidget(box);
        boxes.append(box);
        connect(box, &QCheckBox::toggled, this, [this, i](bool on) {
            if (!settings->setCategoryActive(firstSwitchable + i, on)) {
                updateData();
                SettingsPages::reportNotSaved();
            }
        });
    }
    updateData();
    resize(480, layout->sizeHint().height());
}

void SettingsCategoryView::updateData()
{
    for (int i = 0; i < boxes.size(); ++i) {
        const bool blocked = boxes.at(i)->blockSignals(true);
        boxes.at(i)->setChecked(settings->isCategoryActive(firstSwitchable + i));
        boxes.at(i)->blockSignals(blocked);
    }
}
