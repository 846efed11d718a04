#include "screens/briefcase/briefcaseform.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "screens/widgets/formstyle.h"
#include "screens/widgets/listview.h"
#include "logic/base/hidpi.h"

namespace Ui {

void TeczkaWidget::setupUi(QWidget* form)
{
    FormStyle::screenRoot(form, QStringLiteral("TeczkaWidget"), 480, Theme::ListPage);
    QVBoxLayout* layout = static_cast<QVBoxLayout*>(form->layout());

    frame_2 = FormStyle::topBar(form, QStringLiteral("frame_2"), QStringLiteral(":/IMG/TOP_BAR"), 89, 89, &backButton,
                                &exitButton);
    layout->addWidget(frame_2);

    infoLabel = new QLabel(form);
    infoLabel->setObjectName(QStringLiteral("infoLabel"));
    infoLabel->setMinimumHeight(36);
    infoLabel->setAlignment(Qt::AlignCenter);
    infoLabel->setWordWrap(true);
    infoLabel->setStyleSheet(QStringLiteral(
        "color: white; border-image: ") + Hidpi::borderImage(QStringLiteral(":/IMG/BELKA_CZERWONA"), 5, 0, 5, 0)
        + QStringLiteral("; border-top: 5px; border-bottom: 5px;"));
    layout->addWidget(infoLabel);

    listView = FormStyle::listView(form, Theme::ListPage);
    listView->setSpacing(1);
    layout->addWidget(listView, 1);

    QGridLayout* grid = nullptr;
    frame = FormStyle::bottomBar(form, QStringLiteral("frame"), &grid);
    mainmenuButton = new QPushButton(frame);
    mainmenuButton->setObjectName(QStringLiteral("mainmenuButton"));
    FormStyle::imageButton(mainmenuButton, QStringLiteral(":/IMG/MENU_GLOWNE_OFF"),
                           QStringLiteral(":/IMG/MENU_GLOWNE_ON"));
    mainmenuButton->setAccessibleName(QObject::tr("Menu główne"));
    grid->setColumnStretch(0, 1);
    grid->addWidget(mainmenuButton, 0, 1);
    grid->setColumnStretch(2, 1);
    layout->addWidget(frame);
}

} // namespace Ui
