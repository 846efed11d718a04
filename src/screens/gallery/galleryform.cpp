#include "screens/gallery/galleryform.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "screens/gallery/pictureflow.h"
#include "screens/widgets/formstyle.h"

static QPushButton* galleryButton(QWidget* parent, const char* name, const QString& image, const QString& pressed,
                                  int width, int height)
{
    QPushButton* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setFixedSize(width, height);
    button->setFocusPolicy(Qt::TabFocus);
    QString style = QStringLiteral("QPushButton { border: none; background-color: transparent; background-image: url(")
                    + image + QStringLiteral("); background-position: center; background-repeat: no-repeat; }");
    if (!pressed.isEmpty())
        style += QStringLiteral("QPushButton:pressed { background-image: url(") + pressed + QStringLiteral("); }");
    style += QStringLiteral("QPushButton:focus { border: 2px solid white; }");
    button->setStyleSheet(style);
    return button;
}

void Ui_Gallery::setupUi(QWidget* form)
{
    form->setObjectName(QStringLiteral("Gallery"));
    form->setAttribute(Qt::WA_StyledBackground, true);
    form->setStyleSheet(QStringLiteral("#Gallery { background-color: rgb(0, 0, 0); }"));
    verticalLayout_2 = new QVBoxLayout(form);
    verticalLayout_2->setObjectName(QStringLiteral("verticalLayout_2"));
    verticalLayout_2->setSpacing(0);
    verticalLayout_2->setContentsMargins(0, 0, 0, 0);

    frame = new QFrame(form);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setFixedHeight(69);
    frame->setStyleSheet(QStringLiteral(
        "#frame { background-image: url(:/IMG/GALERIA_PASEK_GORNY);\nbackground-color: rgb(0, 0, 0); }"));
    horizontalLayout_3 = new QHBoxLayout(frame);
    horizontalLayout_3->setObjectName(QStringLiteral("horizontalLayout_3"));
    horizontalLayout_3->setContentsMargins(2, 0, 2, 0);
    backButton = galleryButton(frame, "backButton", QStringLiteral(":/IMG/GALERIA_BACK"), QString(), 64, 64);
    backButton->setAccessibleName(QObject::tr("Wstecz"));
    horizontalLayout_3->addWidget(backButton);
    horizontalLayout_3->addStretch();
    pictureTitleLabel = new QLabel(frame);
    pictureTitleLabel->setObjectName(QStringLiteral("pictureTitleLabel"));
    pictureTitleLabel->setMinimumHeight(41);
    // The title takes the room between the buttons; a long one is cut, it never widens the bar.
    pictureTitleLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QFont titleFont = pictureTitleLabel->font();
    titleFont.setPointSize(16);
    pictureTitleLabel->setFont(titleFont);
    pictureTitleLabel->setAlignment(Qt::AlignCenter);
    pictureTitleLabel->setStyleSheet(QStringLiteral(
        "color: rgb(255, 255, 255); background-color: transparent; background-image: url(:/res/trans.png);"));
    horizontalLayout_3->addWidget(pictureTitleLabel, 1);
    exitButton = galleryButton(frame, "exitButton", QStringLiteral(":/IMG/GALERIA_X"), QString(), 64, 64);
    exitButton->setAccessibleName(QObject::tr("Zamknij"));
    horizontalLayout_3->addWidget(exitButton);
    verticalLayout_2->addWidget(frame);

    widgetPictureFlow = new PictureFlow(form);
    widgetPictureFlow->setObjectName(QStringLiteral("widgetPictureFlow"));
    verticalLayout = new QVBoxLayout(widgetPictureFlow);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->addStretch();
    loadingLabel = new QLabel(widgetPictureFlow);
    loadingLabel->setObjectName(QStringLiteral("loadingLabel"));
    loadingLabel->setMinimumHeight(260);
    loadingLabel->setMaximumHeight(275);
    loadingLabel->setAlignment(Qt::AlignCenter);
    loadingLabel->setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 100);"));
    verticalLayout->addWidget(loadingLabel);
    verticalLayout->addStretch();
    verticalLayout_2->addWidget(widgetPictureFlow, 1);

    frame_2 = new QFrame(form);
    frame_2->setObjectName(QStringLiteral("frame_2"));
    frame_2->setFixedHeight(76);
    frame_2->setStyleSheet(QStringLiteral(
        "#frame_2 { background-image: url(:/IMG/GALERIA_PASEK_DOLNY);\nbackground-color: rgba(0, 0, 0, 0); }"));
    gridLayout = new QGridLayout(frame_2);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setSpacing(0);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    shareButton = galleryButton(frame_2, "shareButton", QStringLiteral(":/IMG/SHARE_SOFT_OFF"),
                                QStringLiteral(":/IMG/SHARE_SOFT_ON"), 120, 76);
    shareButton->setAccessibleName(QObject::tr("Udostępnij"));
    buttonRefresh = galleryButton(frame_2, "buttonRefresh", QStringLiteral(":/IMG/REFRESH_SOFT_OFF"),
                                  QStringLiteral(":/IMG/REFRESH_SOFT_ON"), 120, 76);
    buttonRefresh->setAccessibleName(QObject::tr("Odśwież"));
    menuButton = galleryButton(frame_2, "menuButton", QStringLiteral(":/IMG/MENU_GLOWNE_OFF"),
                               QStringLiteral(":/IMG/MENU_GLOWNE_ON"), 120, 76);
    menuButton->setAccessibleName(QObject::tr("Menu główne"));
    for (QPushButton* button : {shareButton, buttonRefresh, menuButton})
        FormStyle::fitInside(button, QSize(120, 76), QSize(120, 76), QMargins(), 3);
    gridLayout->addWidget(shareButton, 0, 0);
    gridLayout->addWidget(buttonRefresh, 0, 1);
    gridLayout->addWidget(menuButton, 0, 2);
    verticalLayout_2->addWidget(frame_2);
}
