#include "screens/categories/categorylistform.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "screens/widgets/formstyle.h"
#include "screens/widgets/listview.h"

namespace Ui {

void CategoryListWidget::setupUi(QWidget* form)
{
    FormStyle::screenRoot(form, QStringLiteral("CategoryListWidget"), 480, Theme::Page);
    QVBoxLayout* layout = static_cast<QVBoxLayout*>(form->layout());

    frame_2 = FormStyle::topBar(form, QStringLiteral("frame_2"), QStringLiteral(":/IMG/TOP_BAR"), 89, 89, nullptr,
                                &exitButton);
    layout->addWidget(frame_2);

    listView = FormStyle::listView(form, Theme::Page);
    layout->addWidget(listView, 1);

    QGridLayout* grid = nullptr;
    frame = FormStyle::bottomBar(form, QStringLiteral("frame"), &grid);
    teczkButton = new QPushButton(frame);
    teczkButton->setObjectName(QStringLiteral("teczkButton"));
    FormStyle::imageButton(teczkButton, QStringLiteral(":/IMG/TECZKA_SOFT_OFF"), QStringLiteral(":/IMG/TECZKA_SOFT_ON"));
    teczkButton->setAccessibleName(QObject::tr("Teczka"));
    refreshButton = new QPushButton(frame);
    refreshButton->setObjectName(QStringLiteral("refreshButton"));
    FormStyle::imageButton(refreshButton, QStringLiteral(":/IMG/REFRESH_SOFT_OFF"),
                           QStringLiteral(":/IMG/REFRESH_SOFT_ON"));
    refreshButton->setAccessibleName(QObject::tr("Odśwież"));
    settingsButton = new QPushButton(frame);
    settingsButton->setObjectName(QStringLiteral("settingsButton"));
    FormStyle::imageButton(settingsButton, QStringLiteral(":/IMG/SETTINGS_SOFT_OFF"),
                           QStringLiteral(":/IMG/SETTINGS_SOFT_ON"));
    settingsButton->setAccessibleName(QObject::tr("Ustawienia"));
    grid->addWidget(teczkButton, 0, 0);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    grid->addWidget(refreshButton, 0, 3);
    grid->setColumnStretch(4, 2);
    grid->addWidget(settingsButton, 0, 5);
    layout->addWidget(frame);
}

} // namespace Ui
