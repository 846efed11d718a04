#include "screens/settings/settingsview.h"

#include <QFrame>
#include <QGridLayout>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QVBoxLayout>

#include "screens/sharing/blipsettings.h"
#include "screens/sharing/twittersettings.h"
#include "screens/settings/settingscategoryview.h"
#include "screens/settings/settingshelpview.h"
#include "screens/settings/settingslookview.h"
#include "screens/settings/settingsonlineview.h"
#include "screens/settings/settingsscrollarea.h"
#include "screens/settings/toolbox.h"
#include "screens/widgets/formstyle.h"

SettingsView::SettingsView(Settings* model, QWidget* parent) : BaseWidget(parent), settings(model)
{
    setupUi();
    connect(toolbox, &Toolbox::animateScrollBarToPosition, this, &SettingsView::animateScrollBarToPosition);

    settingsOnlineView = new SettingsOnlineView(settings, nullptr);
    settingsCategoryView = new SettingsCategoryView(settings, nullptr);
    settingsHelpView = new SettingsHelpView(nullptr);
    blipView = new BlipSettingsWidget(this);

    toolbox->addPage(tr("Kategorie"), settingsCategoryView, false);
    toolbox->addPage(tr("Wygląd"), new SettingsLookView(settings, nullptr), false);
    toolbox->addPage(tr("Online"), settingsOnlineView, false);
    twitterView = new SettingsTwitter(nullptr);
    toolbox->addPage(tr("Twitter"), twitterView, true);
    toolbox->addPage(tr("Blip"), blipView, true);
    toolbox->addPage(tr("Pomoc"), settingsHelpView, true);
    connect(settingsOnlineView, &SettingsOnlineView::contentSizeChanged, toolbox, &Toolbox::updateWidgets);
    connect(twitterView, &SettingsTwitter::contentSizeChanged, toolbox, &Toolbox::updateWidgets);
    connect(blipView, &BlipSettingsWidget::contentSizeChanged, toolbox, &Toolbox::updateWidgets);
    connect(settingsHelpView, &SettingsHelpView::contentSizeChanged, toolbox, &Toolbox::updateWidgets);

    connect(pushButton_3, &QPushButton::clicked, this, &SettingsView::popToRoot);
    connect(buttonExit, &QPushButton::clicked, this, &SettingsView::exitClicked);
    connect(backButton, &QPushButton::clicked, this, &SettingsView::backClicked);
}

void SettingsView::setupUi()
{
    FormStyle::screenRoot(this, QStringLiteral("SettingsView"), 480, Theme::SettingsPage);
    Theme::follow(this, [this] {
        setStyleSheet(QStringLiteral("#SettingsView { background-color: %1; color: %2; }")
                          .arg(Theme::css(Theme::SettingsPage), Theme::css(Theme::Text)));
    });
    QVBoxLayout* layout = static_cast<QVBoxLayout*>(this->layout());
    frame_2 = FormStyle::topBar(this, QStringLiteral("frame_2"), QStringLiteral(":/IMG/TOP_BAR"), 89, 89, &backButton,
                                &buttonExit);
    buttonExit->setObjectName(QStringLiteral("buttonExit"));
    layout->addWidget(frame_2);

    scrollArea = new SettingsScrollArea(this);
    scrollArea->setObjectName(QStringLiteral("scrollArea"));
    scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea->setWidgetResizable(true);
    scrollArea->setFrameShape(QFrame::NoFrame);
    toolbox = new Toolbox();
    Theme::follow(scrollArea, [this] {
        scrollArea->setStyleSheet(FormStyle::listStyle(QStringLiteral("QScrollArea"), Theme::css(Theme::SettingsPage)));
        toolbox->setStyleSheet(QStringLiteral("#toolbox { background-color: %1; }").arg(Theme::css(Theme::SettingsPage)));
    });
    toolbox->setAttribute(Qt::WA_StyledBackground, true);
    scrollArea->setWidget(toolbox);
    layout->addWidget(scrollArea, 1);

    QGridLayout* grid = nullptr;
    frame = FormStyle::bottomBar(this, QStringLiteral("frame"), &grid);
    pushButton_3 = new QPushButton(frame);
    pushButton_3->setObjectName(QStringLiteral("pushButton_3"));
    FormStyle::imageButton(pushButton_3, QStringLiteral(":/IMG/MENU_GLOWNE_OFF"), QStringLiteral(":/IMG/MENU_GLOWNE_ON"));
    pushButton_3->setAccessibleName(QObject::tr("Menu główne"));
    grid->setColumnStretch(0, 1);
    grid->addWidget(pushButton_3, 0, 1);
    grid->setColumnStretch(2, 1);
    layout->addWidget(frame);
}

void SettingsView::resizeEvent(QResizeEvent* e)
{
    // The tabs are as wide as the screen, up to the phone's 480.
    toolbox->setTabWidth(qMin(480, e->size().width()));
    BaseWidget::resizeEvent(e);
}

MainWidget::InterfaceOrientation SettingsView::getSupportedOrientation()
{
    return MainWidget::OrientationFree;
}

void SettingsView::animateScrollBarToPosition(int y)
{
    QPropertyAnimation* animation = new QPropertyAnimation(scrollArea->verticalScrollBar(), "value", this);
    animation->setEndValue(y);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}
