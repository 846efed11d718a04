#include "Views/splashwidget.h"
#include "ui_splashwidget.h"

#include <QDebug>
#include <QMouseEvent>
#include <QTimer>

#include "Logic/bannerinfo.h"
#include "foundation/hidpi.h"
#include "foundation/util.h"
#include "msgboxslot.h"

static const int splashDuration = 3000;

SplashWidget::SplashWidget(QWidget* parent)
    : QWidget(parent), ui(new Ui_SplashWidget), showPartner(false), serviceClick(false),
      opennedUrl(false), alreadyStartedTimer(false)
{
    ui->setupUi(this);
    ui->label->setPixmap(Hidpi::pixmap(QStringLiteral(":/IMG/SPLASH")));
    BannerInfo* banner = BannerInfo::getSingleton();
    showPartner = banner->canShowSplash() && !banner->splashImage.isNull();
}

SplashWidget::~SplashWidget()
{
    delete ui;
}

void SplashWidget::showEvent(QShowEvent* e)
{
    qDebug() << "<<<<<<<<SplashWidget::showEvent";
    if (!alreadyStartedTimer) {
        QTimer::singleShot(splashDuration, this, SLOT(hideSplash()));
        alreadyStartedTimer = true;
    }
    QWidget::showEvent(e);
}

void SplashWidget::hideSplash()
{
    const QPixmap partner = BannerInfo::getSingleton()->splashImage;
    if (showPartner && !partner.isNull()) {
        showPartner = false;
        serviceClick = true;
        opennedUrl = false;
        ui->label->setPixmap(partner);
        ui->label->setAlignment(Qt::AlignCenter);
        QTimer::singleShot(splashDuration, this, SLOT(hideSplash()));
        return;
    }
    hide();
    ui->label->setPixmap(QPixmap());
    emit splashDidHide(this);
    hideSplashQML();
}

void SplashWidget::mousePressEvent(QMouseEvent* e)
{
    QWidget::mousePressEvent(e);
    e->accept();
}

void SplashWidget::mouseReleaseEvent(QMouseEvent* e)
{
    if (serviceClick && !opennedUrl) {
        const QString link = BannerInfo::getSingleton()->splashLink;
        qDebug() << ">> touch " << link;
        if (!link.isEmpty()) {
            Util::openUrl(link, false);
            opennedUrl = true;
        }
    }
    QWidget::mouseReleaseEvent(e);
}
