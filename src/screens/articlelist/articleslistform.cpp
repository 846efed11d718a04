#include "screens/articlelist/articleslistform.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "screens/widgets/formstyle.h"
#include "screens/widgets/listview.h"
#include "logic/base/hidpi.h"

namespace Ui {

void ArticlesListWidget::setupUi(QWidget* form)
{
    FormStyle::screenRoot(form, QStringLiteral("ArticlesListWidget"), 555, Theme::ListPage);
    QVBoxLayout* layout = static_cast<QVBoxLayout*>(form->layout());

    frame_2 = FormStyle::topBar(form, QStringLiteral("frame_2"), QStringLiteral(":/IMG/TOP_BAR"), 89, 89, &backButton,
                                &exitButton);
    layout->addWidget(frame_2);

    frame_3 = new QFrame(form);
    frame_3->setObjectName(QStringLiteral("frame_3"));
    frame_3->setMinimumHeight(36);
    frame_3->setStyleSheet(QStringLiteral("#frame_3 { border-image: ")
        + Hidpi::borderImage(QStringLiteral(":/IMG/BELKA_CZERWONA"), 5, 0, 5, 0) + QStringLiteral(
        "; border-top: 5px; border-bottom: 5px;"
        " margin-left: 3px; margin-right: 3px; }"
        "QLabel { color: white; background: transparent; border: none; }"));
    QGridLayout* strip = new QGridLayout(frame_3);
    strip->setContentsMargins(3, 0, 3, 0);
    processingLabel = new QLabel(frame_3);
    processingLabel->setObjectName(QStringLiteral("processingLabel"));
    processingLabel->setFixedSize(21, 21);
    processingLabel->setScaledContents(false);
    infoLabel = new QLabel(frame_3);
    infoLabel->setObjectName(QStringLiteral("infoLabel"));
    infoLabel->setAlignment(Qt::AlignCenter);
    infoLabel->setWordWrap(true);
    fakeLabel = new QLabel(frame_3);
    fakeLabel->setObjectName(QStringLiteral("fakeLabel"));
    fakeLabel->setFixedSize(21, 21);
    strip->addWidget(processingLabel, 0, 0);
    strip->addWidget(infoLabel, 0, 1);
    strip->setColumnStretch(1, 1);
    strip->addWidget(fakeLabel, 0, 3);
    processingLabel->hide();
    fakeLabel->hide();
    layout->addWidget(frame_3);

    listView = FormStyle::listView(form, Theme::ListPage);
    listView->setFlow(QListView::TopToBottom);
    listView->setWrapping(false);
    listView->setSpacing(1);
    layout->addWidget(listView, 1);

    QGridLayout* grid = nullptr;
    frame = FormStyle::bottomBar(form, QStringLiteral("frame"), &grid);
    teczkaButton = new QPushButton(frame);
    teczkaButton->setObjectName(QStringLiteral("teczkaButton"));
    FormStyle::imageButton(teczkaButton, QStringLiteral(":/IMG/TECZKA_SOFT_OFF"), QStringLiteral(":/IMG/TECZKA_SOFT_ON"));
    teczkaButton->setAccessibleName(QObject::tr("Teczka"));
    refreshButton = new QPushButton(frame);
    refreshButton->setObjectName(QStringLiteral("refreshButton"));
    FormStyle::imageButton(refreshButton, QStringLiteral(":/IMG/REFRESH_SOFT_OFF"),
                           QStringLiteral(":/IMG/REFRESH_SOFT_ON"));
    refreshButton->setAccessibleName(QObject::tr("Odśwież"));
    mainmenuButton = new QPushButton(frame);
    mainmenuButton->setObjectName(QStringLiteral("mainmenuButton"));
    FormStyle::imageButton(mainmenuButton, QStringLiteral(":/IMG/MENU_GLOWNE_OFF"),
                           QStringLiteral(":/IMG/MENU_GLOWNE_ON"));
    mainmenuButton->setAccessibleName(QObject::tr("Menu główne"));
    grid->addWidget(teczkaButton, 0, 0);
    grid->setColumnStretch(1, 1);
    grid->addWidget(refreshButton, 0, 2);
    grid->setColumnStretch(3, 1);
    grid->addWidget(mainmenuButton, 0, 4);
    layout->addWidget(frame);
}

} // namespace Ui
