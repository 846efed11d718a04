#include "screens/article/articleform.h"

#include <QFrame>
#include <QGridLayout>
#include <QPalette>
#include <QTextDocument>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "screens/article/articlescrollarea.h"
#include "screens/article/photosscrollwidget.h"
#include "screens/widgets/contenttextbrowser.h"
#include "screens/widgets/formstyle.h"
#include "screens/widgets/textscale.h"
#include "logic/base/hidpi.h"

namespace Ui {

static QLabel* columnLabel(QWidget* parent, const char* name, int pointSize, bool bold, const QString& style)
{
    QLabel* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    label->setFont(font);
    label->setStyleSheet(style);
    label->setWordWrap(true);
    label->setTextFormat(Qt::AutoText);
    return label;
}

void ArticleWidget::setupUi(QWidget* form)
{
    FormStyle::screenRoot(form, QStringLiteral("ArticleWidget"), 480, Theme::Page);
    QVBoxLayout* layout = static_cast<QVBoxLayout*>(form->layout());

    frame = FormStyle::topBar(form, QStringLiteral("frame"), QStringLiteral(":/IMG/ARTICLE_TOP_BAR"), 53, 80,
                              &backButton, &exitButton);
    layout->addWidget(frame);

    scrollArea = new ArticleScrollArea(form);
    scrollArea->setObjectName(QStringLiteral("scrollArea"));
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea->setWidgetResizable(true);
    scrollAreaWidgetContents = new QWidget();
    scrollAreaWidgetContents->setObjectName(QStringLiteral("scrollAreaWidgetContents"));
    scrollAreaWidgetContents->setAttribute(Qt::WA_StyledBackground, true);
    QVBoxLayout* column = new QVBoxLayout(scrollAreaWidgetContents);
    column->setSpacing(5);
    column->setContentsMargins(0, 5, 0, 5);

    titleLabel = columnLabel(scrollAreaWidgetContents, "titleLabel", 18, false, QString());
    titleLabel->setMargin(4);
    titleLabel->setIndent(6);
    column->addWidget(titleLabel);

    authorLabel = columnLabel(scrollAreaWidgetContents, "authorLabel", 14, false,
                              QStringLiteral("color: white; border-image: ")
                                  + Hidpi::borderImage(QStringLiteral(":/IMG/BELKA_CZERWONA"), 5, 0, 5, 0)
                                  + QStringLiteral("; border-top: 5px; border-bottom: 5px;"));
    authorLabel->setMinimumHeight(36);
    authorLabel->setMargin(2);
    authorLabel->setIndent(8);
    column->addWidget(authorLabel);

    photoWidget = new PhotosScrollWidget(scrollAreaWidgetContents);
    photoWidget->setObjectName(QStringLiteral("photoWidget"));
    column->addWidget(photoWidget);

    leadLabel = columnLabel(scrollAreaWidgetContents, "leadLabel", 16, true, QString());
    leadLabel->setMargin(6);
    leadLabel->setIndent(4);
    column->addWidget(leadLabel);

    textBrowser = new ContentTextBrowser(scrollAreaWidgetContents);
    textBrowser->setObjectName(QStringLiteral("textBrowser"));
    QFont bodyFont = textBrowser->font();
    bodyFont.setPointSize(16);
    textBrowser->setFont(bodyFont);
    textBrowser->setFrameShape(QFrame::NoFrame);
    textBrowser->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    textBrowser->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    textBrowser->setLineWrapMode(QTextEdit::WidgetWidth);
    textBrowser->setTextInteractionFlags(Qt::NoTextInteraction);
    textBrowser->setOpenLinks(false);
    textBrowser->setOpenExternalLinks(false);
    textBrowser->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    column->addWidget(textBrowser);
    TextScale::follow(titleLabel, 18, false);
    TextScale::follow(leadLabel, 16, true);
    TextScale::follow(textBrowser, 16, false);

    bannerButton = new QPushButton(scrollAreaWidgetContents);
    bannerButton->setObjectName(QStringLiteral("bannerButton"));
    bannerButton->setMinimumHeight(80);
    bannerButton->setIconSize(QSize(320, 80));
    bannerButton->setFlat(true);
    bannerButton->setAccessibleName(QObject::tr("Reklama"));
    bannerButton->setFocusPolicy(Qt::NoFocus);
    column->addWidget(bannerButton);
    column->addStretch();

    scrollArea->setWidget(scrollAreaWidgetContents);
    Theme::follow(scrollArea, [this] {
        const QString page = Theme::css(Theme::Page);
        scrollArea->setStyleSheet(FormStyle::listStyle(QStringLiteral("QScrollArea"), page));
        scrollAreaWidgetContents->setStyleSheet(QStringLiteral("#scrollAreaWidgetContents { background-color: %1; }").arg(page));
        titleLabel->setStyleSheet(QStringLiteral("color: %1;").arg(Theme::css(Theme::AccentText)));
        leadLabel->setStyleSheet(QStringLiteral("color: %1;").arg(Theme::css(Theme::Text)));
        textBrowser->setStyleSheet(QStringLiteral("QTextBrowser, QTextBrowser:disabled { background-color: %1; color: %2;"
                                                  " margin: 4px; }").arg(page, Theme::css(Theme::Text)));
        // Links in the body take the look's link colour.
        QPalette palette = textBrowser->palette();
        palette.setColor(QPalette::Link, Theme::color(Theme::Link));
        textBrowser->setPalette(palette);
        bannerButton->setStyleSheet(QStringLiteral("background-color: %1; border: none;").arg(page));
    });
    layout->addWidget(scrollArea, 1);

    QGridLayout* grid = nullptr;
    frame_2 = FormStyle::bottomBar(form, QStringLiteral("frame_2"), &grid);
    teczkaAddButton = new QPushButton(frame_2);
    teczkaAddButton->setObjectName(QStringLiteral("teczkaAddButton"));
    FormStyle::imageButton(teczkaAddButton, QStringLiteral(":/IMG/TECZKA+SOFT_OFF"),
                           QStringLiteral(":/IMG/TECZKA+SOFT_ON"));
    teczkaAddButton->setAccessibleName(QObject::tr("Dodaj do teczki"));
    teczkaRemoveButton = new QPushButton(frame_2);
    teczkaRemoveButton->setObjectName(QStringLiteral("teczkaRemoveButton"));
    FormStyle::imageButton(teczkaRemoveButton, QStringLiteral(":/IMG/TECZKA-SOFT_OFF"),
                           QStringLiteral(":/IMG/TECZKA-SOFT_ON"));
    teczkaRemoveButton->setAccessibleName(QObject::tr("Usuń z teczki"));
    shareButton = new QPushButton(frame_2);
    shareButton->setObjectName(QStringLiteral("shareButton"));
    FormStyle::imageButton(shareButton, QStringLiteral(":/IMG/SHARE_SOFT_OFF"), QStringLiteral(":/IMG/SHARE_SOFT_ON"));
    shareButton->setAccessibleName(QObject::tr("Udostępnij"));
    mainmenuButton = new QPushButton(frame_2);
    mainmenuButton->setObjectName(QStringLiteral("mainmenuButton"));
    FormStyle::imageButton(mainmenuButton, QStringLiteral(":/IMG/MENU_GLOWNE_OFF"),
                           QStringLiteral(":/IMG/MENU_GLOWNE_ON"));
    mainmenuButton->setAccessibleName(QObject::tr("Menu główne"));
    grid->addWidget(teczkaAddButton, 0, 0);
    grid->addWidget(teczkaRemoveButton, 0, 1);
    grid->setColumnStretch(2, 1);
    grid->addWidget(shareButton, 0, 3);
    grid->setColumnStretch(4, 1);
    grid->addWidget(mainmenuButton, 0, 5);
    layout->addWidget(frame_2);
}

} // namespace Ui
