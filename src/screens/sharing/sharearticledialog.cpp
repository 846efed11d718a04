#include "screens/sharing/sharearticledialog.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "screens/sharing/blipdialog.h"
#include "logic/news/article.h"
#include "logic/sharing/twitterclient.h"
#include "screens/sharing/twitterdialog.h"
#include "screens/widgets/formstyle.h"
#include "screens/shell/messagebox.h"
#include "logic/base/constants.h"
#include "logic/base/hidpi.h"
#include "logic/base/util.h"

// The buttons' pictures stretch between their rounded ends, so a panel narrower than the picture
// (a 320 px screen) shows them whole; the 60 px picture sits in the middle of the 67 px button.
static QString panelButtonPicture(const QString& picture)
{
    return QStringLiteral("border-image: ") + Hidpi::borderImage(picture, 0, 15, 0, 15) + QStringLiteral(";");
}

static QString panelButtonStyle()
{
    return QStringLiteral("QPushButton { border: none; border-width: 0px 15px 0px 15px; margin: 3px 0px 4px 0px;"
                          " background-color: transparent; color: white; outline: none; ")
           + panelButtonPicture(QStringLiteral(":/IMG/MESSAGEBOX/NORMAL")) + QStringLiteral(" }")
           + QStringLiteral("QPushButton:disabled { ") + panelButtonPicture(QStringLiteral(":/IMG/MESSAGEBOX/NORMAL_DISABLED"))
           + QStringLiteral(" } QPushButton:pressed { ") + panelButtonPicture(QStringLiteral(":/IMG/MESSAGEBOX/NORMAL_ON"))
           + QStringLiteral(" }");
}

void Ui_ShareArticleDialog::setupUi(QWidget* form)
{
    form->setObjectName(QStringLiteral("ShareArticleDialog"));
    form->setWindowTitle(QStringLiteral("Form"));
    form->resize(854, 480);
    form->setMinimumSize(0, 0);
    gridLayout = new QGridLayout(form);
    gridLayout->setSpacing(0);
    gridLayout->setContentsMargins(0, 0, 0, 0);

    frame = new QFrame(form);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setFrameShape(QFrame::NoFrame);
    frame->setStyleSheet(QStringLiteral(
        "QFrame#frame\n{\nbackground-color: qradialgradient(spread:reflect, cx:0.5, cy:0.5, radius:0.75, fx:0.5, "
        "fy:0.5, stop:0 rgba(0, 0, 0, 100), stop:1 rgba(0, 0, 0, 200));\n}"));
    gridLayout_2 = new QGridLayout(frame);
    gridLayout_2->setSpacing(0);
    gridLayout_2->setContentsMargins(0, 0, 0, 0);
    gridLayout->addWidget(frame, 0, 0);

    mainFrame = new QFrame(frame);
    mainFrame->setObjectName(QStringLiteral("mainFrame"));
    mainFrame->setFrameShape(QFrame::NoFrame);
    FormStyle::fitInside(mainFrame, QSize(439, 450), QSize(439, 450));
    mainFrame->setStyleSheet(QStringLiteral("QFrame#mainFrame { border-image: ")
                             + Hidpi::borderImage(QStringLiteral(":/IMG/MESSAGEBOX/BACK"), 20, 28, 25, 28)
                             + QStringLiteral("; border-width: 20px 28px 25px 28px; background: transparent; }")
                             + panelButtonStyle());
    QVBoxLayout* verticalLayout = new QVBoxLayout(mainFrame);
    verticalLayout->setSpacing(0);
    // Inside the frame's border the design's margins (20, 10, 15, 20) are already taken up.
    verticalLayout->setContentsMargins(0, 0, 0, 0);
    QFont big = form->font();
    big.setPointSize(16);

    label = new QLabel(QObject::tr("Podziel się przez:"), mainFrame);
    label->setObjectName(QStringLiteral("label"));
    label->setMinimumHeight(35);
    label->setFont(big);
    label->setStyleSheet(QStringLiteral("color: white; background: transparent; background-image: none;"));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    verticalLayout->addWidget(label);

    auto button = [&](const char* name, const QString& title) {
        QPushButton* b = new QPushButton(title, mainFrame);
        b->setObjectName(QLatin1String(name));
        b->setFixedHeight(67);
        b->setFont(big);
        b->setFocusPolicy(Qt::NoFocus);
        verticalLayout->addWidget(b);
        return b;
    };
    emailButton = button("emailButton", QStringLiteral("E-mail"));
    smsButton = button("smsButton", QStringLiteral("SMS"));
    blipButton = button("blipButton", QStringLiteral("Blip"));
    blipButton->setStyleSheet(panelButtonStyle());
    twitterButton = button("twitterButton", QStringLiteral("Twitter"));
    facebookButton = button("facebookButton", QStringLiteral("Facebook"));
    verticalLayout->addStretch();
    cancelButton = button("cancelButton", QObject::tr("Zamknij"));
    cancelButton->setStyleSheet(QStringLiteral("QPushButton { ") + panelButtonPicture(QStringLiteral(":/IMG/MESSAGEBOX/RED"))
                                + QStringLiteral(" } QPushButton:pressed { ")
                                + panelButtonPicture(QStringLiteral(":/IMG/MESSAGEBOX/RED_ON")) + QStringLiteral(" }"));
    gridLayout_2->addWidget(mainFrame, 0, 0, Qt::AlignCenter);
}

ShareArticleDialog::ShareArticleDialog(const Article& source, QWidget* parent)
    : QWidget(parent), ui(new Ui_ShareArticleDialog), article(nullptr), twitterClient(nullptr)
{
    ui->setupUi(this);
    article = new Article(this);
    article->updateFrom(source, false);
    connectButtons();
}

ShareArticleDialog::ShareArticleDialog(const QString& title, const QString& address, QWidget* parent)
    : QWidget(parent), ui(new Ui_ShareArticleDialog), article(nullptr), text(title), link(address),
      twitterClient(nullptr)
{
    ui->setupUi(this);
    connectButtons();
}

ShareArticleDialog::~ShareArticleDialog()
{
    delete twitterClient;
    delete ui;
}

void ShareArticleDialog::connectButtons()
{
    connect(ui->cancelButton, &QPushButton::clicked, this, &ShareArticleDialog::cancelClicked);
    connect(ui->emailButton, &QPushButton::clicked, this, &ShareArticleDialog::emailClicked);
    connect(ui->smsButton, &QPushButton::clicked, this, &ShareArticleDialog::smsClicked);
    connect(ui->blipButton, &QPushButton::clicked, this, &ShareArticleDialog::blipClicked);
    connect(ui->twitterButton, &QPushButton::clicked, this, &ShareArticleDialog::twitterClicked);
    connect(ui->facebookButton, &QPushButton::clicked, this, &ShareArticleDialog::facebookClicked);
    // E-mail stays enabled: without a mail program a tap says so, as the other channels do.
    ui->facebookButton->setEnabled(true);
    ui->blipButton->setEnabled(true);
    ui->twitterButton->setEnabled(true);
}

QString ShareArticleDialog::sharedTitle() const
{
    return article ? article->title : text;
}

QString ShareArticleDialog::sharedLink() const
{
    return article ? article->link.toString() : link;
}

QString ShareArticleDialog::emailBody(const QString& address)
{
    return QStringLiteral("<html><body><a href=\"") + address + QStringLiteral("\">") + address +
           QStringLiteral("</a></body></html>");
}

QString ShareArticleDialog::composeEmailBody(const Article& source)
{
    return emailBody(source.link.toString());
}

void ShareArticleDialog::cancelClicked()
{
    hide();
    emit dialogClosed(this);
}

void ShareArticleDialog::emailClicked()
{
    if (!Util::isAnyEmailAccount()) {
        MessageBox::showError(tr("Brak skonfigurowanej skrzynki pocztowej na telefonie."), QString());
        return;
    }
    const QString body = article ? composeEmailBody(*article) : emailBody(link);
    if (Util::sendEmail(QString(), sharedTitle(), body))
        cancelClicked();
    else
        MessageBox::showError(tr("Wysyłanie maila nie powiodło się."), QString());
}

void ShareArticleDialog::smsClicked()
{
    if (Util::sendSMS(QString(), sharedLink()))
        cancelClicked();
    else
        MessageBox::showError(tr("Wysyłanie SMS nie powiodło się."), QString());
}

void ShareArticleDialog::facebookClicked()
{
    if (Util::openUrl(facebookFeedUrl + appID + QStringLiteral("&redirect_uri=") + newspaperHomeUrl +
                          QStringLiteral("&link=") + sharedLink(),
                      false))
        cancelClicked();
    else
        MessageBox::showError(tr("Otwieranie Facebooka w przeglądarce nie powiodło się."), QString());
}

void ShareArticleDialog::twitterClicked()
{
    ui->mainFrame->hide();
    delete twitterClient;
    twitterClient = new TwitterClient();
    TwitterDialog* dialog = new TwitterDialog(twitterClient, this);
    dialog->setGeometry(geometry());
    connect(dialog, &TwitterDialog::willHide, this, &ShareArticleDialog::cancelClicked);
    ui->gridLayout_2->addWidget(dialog, 0, 0);
    dialog->show();
    twitterClient->tweet(tr("Sprawdź ciekawy artykuł: ") + sharedLink());
}

void ShareArticleDialog::blipClicked()
{
    ui->mainFrame->hide();
    BlipDialog* dialog = new BlipDialog(this);
    dialog->setGeometry(geometry());
    connect(dialog, &BlipDialog::willHide, this, &ShareArticleDialog::cancelClicked);
    dialog->sendPost(sharedTitle(), sharedLink());
    ui->gridLayout_2->addWidget(dialog, 0, 0);
    dialog->show();
}

void ShareArticleDialog::onTwitterExit()
{
    if (twitterClient)
        twitterClient->deleteLater();
    twitterClient = nullptr;
    showFullScreen();
}
