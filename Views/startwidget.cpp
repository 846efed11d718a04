#include "Views/startwidget.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "Logic/rsschannel.h"
#include "foundation/constants.h"
#include "foundation/reachability.h"
#include "http/myhttp.h"

StartWidget::StartWidget(QVector<RSSChannel*>* allChannels, QWidget* parent)
    : BaseWidget(parent), infoLabel(nullptr), textBrowser(nullptr), exitButton(nullptr), request(nullptr),
      channels(allChannels)
{
    buildForm();
    for (RSSChannel* channel : *channels)
        connect(channel, &RSSChannel::articlesUpadted, this, &StartWidget::showContent);
    connect(exitButton, &QPushButton::clicked, this, &StartWidget::exitClicked);
    if (Reachability::singleton) {
        connect(Reachability::singleton, &Reachability::networkSessionOpened, this, &StartWidget::networkOpened);
        connect(Reachability::singleton, &Reachability::networkSessionCancelled, this, &StartWidget::networkCancelled);
    }
    if (Reachability::isConnectedToNetwork())
        networkOpened();
}

StartWidget::~StartWidget()
{
    if (request) {
        request->cancelRequestNoEmit();
        request->deleteLater();
    }
}

QString StartWidget::greetingUrl()
{
    return portalServerUrl + QStringLiteral("/aplikacja/powitanie.html");
}

void StartWidget::buildForm()
{
    setObjectName(QStringLiteral("StartWidget"));
    setStyleSheet(QStringLiteral("#StartWidget { background-color: rgb(255, 255, 255); }"));
    setAttribute(Qt::WA_StyledBackground, true);
    QVBoxLayout* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);

    QFrame* topBar = new QFrame(this);
    topBar->setObjectName(QStringLiteral("frame_2"));
    topBar->setFixedHeight(89);
    topBar->setMaximumWidth(854);
    topBar->setStyleSheet(QStringLiteral(
        "#frame_2 { background-image: url(:/IMG/TOP_BAR); background-position: center; border: none; }"
        "QPushButton { background-color: transparent; border: none; color: white; }"));
    QHBoxLayout* top = new QHBoxLayout(topBar);
    top->setSpacing(0);
    top->setContentsMargins(0, 0, 0, 0);
    top->addStretch();
    exitButton = new QPushButton(topBar);
    exitButton->setObjectName(QStringLiteral("exitButton"));
    exitButton->setFixedSize(89, 89);
    exitButton->setIcon(QIcon(QStringLiteral(":/IMG/X_BUTTON")));
    exitButton->setIconSize(QSize(60, 44));
    exitButton->setFocusPolicy(Qt::NoFocus);
    top->addWidget(exitButton);
    layout->addWidget(topBar);

    infoLabel = new QLabel(this);
    infoLabel->setObjectName(QStringLiteral("infoLabel"));
    infoLabel->setMinimumHeight(36);
    infoLabel->setAlignment(Qt::AlignCenter);
    infoLabel->setWordWrap(true);
    infoLabel->setStyleSheet(QStringLiteral(
        "color: white; border-image: url(:/IMG/BELKA_CZERWONA) 5 0 5 0; border-top: 5px; border-bottom: 5px;"));
    infoLabel->setText(trUtf8("Łączenie z siecią…"));
    layout->addWidget(infoLabel);

    textBrowser = new QTextBrowser(this);
    textBrowser->setObjectName(QStringLiteral("textBrowser"));
    textBrowser->setFrameShape(QFrame::NoFrame);
    textBrowser->setOpenExternalLinks(true);
    textBrowser->setStyleSheet(QStringLiteral("color: black; background-color: white; padding: 12px;"));
    layout->addWidget(textBrowser, 1);

    QFrame* bottomBar = new QFrame(this);
    bottomBar->setObjectName(QStringLiteral("frame"));
    bottomBar->setFixedHeight(79);
    bottomBar->setStyleSheet(QStringLiteral("#frame { background-image: url(:/IMG/BOTTOM_BAR); border: none; }"));
    layout->addWidget(bottomBar);
}

void StartWidget::networkOpened()
{
    if (request)
        return;
    infoLabel->setText(trUtf8("Pobieranie…"));
    request = Http::createGETrequest(greetingUrl(), QString());
    request->setTimeout(10000);
    connect(request, &Http::statusChanged, this, &StartWidget::greetingStatusChanged);
    request->execute();
}

void StartWidget::networkCancelled()
{
    if (!request)
        infoLabel->setText(trUtf8("Brak połączenia z Internetem"));
}

void StartWidget::greetingStatusChanged(Http* http)
{
    if (http != request || http->getStatus() == Http::STATE_RUNNING)
        return;
    if (http->getStatus() == Http::STATE_COMPLETED) {
        greeting = http->getResponseAsString();
        showContent();
        infoLabel->setText(trUtf8("Kurendal %1").arg(QStringLiteral("1.0.0")));
    } else {
        infoLabel->setText(trUtf8("Nie udało się pobrać wiadomości"));
    }
    request = nullptr;
    http->deleteLater();
}

void StartWidget::showContent()
{
    QString html = greeting;
    if (!channels->isEmpty()) {
        RSSChannel* first = channels->first();
        html += QStringLiteral("<h3 style=\"color:#c41230\">%1</h3>").arg(first->getInfoText());
        for (const Article* a : first->getArticles().mid(0, 8)) {
            html += QStringLiteral("<p><b>%1</b><br/><span style=\"color:#555\">%2</span></p>")
                        .arg(a->title.toHtmlEscaped(), a->lead.toHtmlEscaped());
        }
        QStringList counts;
        for (RSSChannel* c : *channels) {
            if (c->getUnreadArticlesCount() >= 0)
                counts << QStringLiteral("%1 (%2)").arg(c->getTitle()).arg(c->getUnreadArticlesCount());
        }
        html += QStringLiteral("<p style=\"color:#777\">%1</p>").arg(counts.join(QStringLiteral(" · ")));
    }
    textBrowser->setHtml(html);
}
