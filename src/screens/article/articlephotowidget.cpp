#include "screens/article/articlephotowidget.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "screens/widgets/theme.h"
#include "logic/news/photo.h"
#include "logic/base/hidpi.h"
#include "logic/net/reachability.h"

ArticlePhotoWidget::ArticlePhotoWidget(Photo* p, QWidget* parent)
    : QWidget(parent), photoImage(nullptr), authorLabel(nullptr), descLabel(nullptr), photo(p), downloaded(false),
      photoHeight(0)
{
    setObjectName(QStringLiteral("ArticlePhotoWidget"));
    QHBoxLayout* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();
    QFrame* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("frame"));
    QVBoxLayout* column = new QVBoxLayout(frame);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    photoImage = new QLabel(frame);
    photoImage->setObjectName(QStringLiteral("photoLabel"));
    photoImage->setAlignment(Qt::AlignCenter);
    authorLabel = new QLabel(frame);
    authorLabel->setObjectName(QStringLiteral("authorLabel"));

    authorLabel->setWordWrap(true);
    descLabel = new QLabel(frame);
    descLabel->setObjectName(QStringLiteral("descLabel"));
    Theme::follow(descLabel, [this] {
        authorLabel->setStyleSheet(QStringLiteral("color: %1;").arg(Theme::css(Theme::MutedText)));
        descLabel->setStyleSheet(QStringLiteral("color: %1;").arg(Theme::css(Theme::SecondaryText)));
    });
    descLabel->setWordWrap(true);
    column->addWidget(photoImage);
    column->addWidget(authorLabel);
    column->addWidget(descLabel);
    row->addWidget(frame);
    row->addStretch();

    connect(photo, &Photo::photoChanged, this, &ArticlePhotoWidget::downloadFinished);
    authorLabel->setText(photo->signature);
    authorLabel->setVisible(!photo->signature.isEmpty());
    descLabel->setText(photo->desc);
    descLabel->setVisible(!photo->desc.isEmpty());
}

QSize ArticlePhotoWidget::sizeHint() const
{
    int height = downloaded ? photoHeight : 0;
    for (const QLabel* label : {authorLabel, descLabel}) {
        if (label->isHidden())
            continue;
        const int wrapped = label->heightForWidth(maxPhotoWidth);
        height += wrapped > 0 ? wrapped : label->sizeHint().height();
    }
    return QSize(0, height);
}

void ArticlePhotoWidget::downloadFinished(QPixmap image)
{
    downloaded = true;
    if (!image.isNull()) {
        const QPixmap shown = Hidpi::scaledToWidth(image, maxPhotoWidth);
        photoImage->setPixmap(shown);
        photoHeight = qRound(shown.height() / shown.devicePixelRatio());
    }
    emit photoDownloadFinished(this);
}

void ArticlePhotoWidget::startDownloading()
{
    if (Reachability::isConnectedToNetwork()) {
        photo->downloadPhoto(false);
    } else if (Reachability::singleton) {
        photo->downloadPhoto(true);
        connect(Reachability::singleton, SIGNAL(networkSessionOpened()), photo, SLOT(downloadPhoto()),
                Qt::UniqueConnection);
    }
}
