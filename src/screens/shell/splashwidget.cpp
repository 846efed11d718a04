#include "screens/shell/splashwidget.h"
#include "screens/widgets/theme.h"
#include "ui_splashwidget.h"

#include <QMouseEvent>
#include <QResizeEvent>
#include <QTimer>

#include "logic/ads/bannerinfo.h"
#include "logic/base/hidpi.h"
#include "logic/base/util.h"
#include "logic/news/settings.h"
#include "screens/shell/messageboxbridge.h"

static const int splashDuration = 3000;

SplashWidget::SplashWidget(QWidget* parent)
    : QWidget(parent), ui(new Ui_SplashWidget), showPartner(false), serviceClick(false),
      opennedUrl(false), alreadyStartedTimer(false)
{
    ui->setupUi(this);
    // The reader's own choice of look holds from the first picture on; the desktop is asked while
    // the splash shows, and its answer restyles the splash when it comes.
    Theme::setChoice(Settings(nullptr).appearance());
    Theme::desktop();
    Theme::follow(this, [this] {
        ui->label->setPixmap(Hidpi::pixmap(Theme::picture(QStringLiteral(":/IMG/SPLASH"))));
        setStyleSheet(QStringLiteral("background-color: %1;").arg(Theme::css(Theme::Page)));
    });
    BannerInfo* banner = BannerInfo::getSingleton();
    showPartner = banner->canShowSplash() && !banner->splashImage.isNull();
}

SplashWidget::~SplashWidget()
{
    delete ui;
}

void SplashWidget::showEvent(QShowEvent* e)
{
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
        showPicture(partner);
        ui->label->setAlignment(Qt::AlignCenter);
        QTimer::singleShot(splashDuration, this, SLOT(hideSplash()));
        return;
    }
    hide();
    showPicture(QPixmap());
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
        if (!link.isEmpty()) {
            Util::openUrl(link, false);
            opennedUrl = true;
        }
    }
    QWidget::mouseReleaseEvent(e);
}

void SplashWidget::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    fitPicture();
}

void SplashWidget::showPicture(const QPixmap& shown)
{
    picture = shown;
    ui->label->setPixmap(shown);
    fitPicture();
}

// The whole picture, as large as the widget allows with its proportions kept.
void SplashWidget::fitPicture()
{
    if (picture.isNull())
        picture = ui->label->pixmap(Qt::ReturnByValue);
    if (picture.isNull() || width() < 1 || height() < 1)
        return;
    const qreal ratio = devicePixelRatioF();
    const QSize natural = (QSizeF(picture.size()) / picture.devicePixelRatio()).toSize();
    const QSize fitted = natural.scaled(size(), Qt::KeepAspectRatio);
    if (fitted == natural && qFuzzyCompare(picture.devicePixelRatio(), ratio)) {
        ui->label->setPixmap(picture);
        return;
    }
    // `fitted` keeps the proportions; keeping them again at a fractional ratio would lose a row.
    QPixmap scaled = picture.scaled(fitted * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(ratio);
    ui->label->setPixmap(scaled);
}
