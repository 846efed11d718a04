#include "Views/splashwidget.h"
#include "ui_splashwidget.h"

#include <QDebug>
#include <QMouseEvent>
#include <QTimer>

#include "foundation/util.h"
#include "msgboxslot.h"

static const int splashDuration = 3000;

SplashWidget::SplashWidget(QWidget* parent)
    : QWidget(parent), ui(new Ui_SplashWidget), showPartner(false), serviceClick(false),
      opennedUrl(false), alreadyStartedTimer(false)
{
    ui->setupUi(this);
    showPartner = !partnerImage().isNull();
}

SplashWidget::~SplashWidget()
{
    delete ui;
}

// No advertisement is stored yet on this build; the banner store supplies it.
QPixmap SplashWidget::partnerImage() const
{
    return QPixmap();
}

QString SplashWidget::partnerLink() const
{
    return QString();
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
    const QPixmap partner = partnerImage();
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
        const QString link = partnerLink();
        qDebug() << ">> touch " << link;
        if (!link.isEmpty()) {
            Util::openUrl(link, false);
            opennedUrl = true;
        }
    }
    QWidget::mouseReleaseEvent(e);
}
