#include "screens/article/photosscrollwidget.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QResizeEvent>
#include <QVBoxLayout>

#include "screens/widgets/theme.h"
#include "screens/article/articlephotowidget.h"
#include "screens/article/photoscontentwidget.h"
#include "screens/article/photoscrollarea.h"

PhotosScrollWidget::PhotosScrollWidget(QWidget* parent)
    : QWidget(parent), area(nullptr), content(nullptr), bottomFrame(nullptr), dotsLayout(nullptr)
{
    setObjectName(QStringLiteral("PhotosScrollWidget"));
    setAttribute(Qt::WA_StyledBackground, true);
    QVBoxLayout* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);

    area = new PhotoScrollArea(this);
    area->setObjectName(QStringLiteral("scrollArea"));
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidgetResizable(true);
    content = new PhotosContentWidget();
    content->setObjectName(QStringLiteral("scrollAreaWidgetContents"));
    area->setWidget(content);
    layout->addWidget(area);

    bottomFrame = new QFrame(this);
    bottomFrame->setObjectName(QStringLiteral("bottomFrame"));
    bottomFrame->setFixedHeight(30);
    Theme::follow(bottomFrame, [this] {
        setStyleSheet(QStringLiteral("#PhotosScrollWidget { background-color: %1; }").arg(Theme::css(Theme::Page)));
        const QString dot = Theme::picture(QStringLiteral(":/IMG/KROPKA1"));
        bottomFrame->setStyleSheet(QStringLiteral(
            "QPushButton { border: none; background-image: url(%1); background-position: center;"
            " background-repeat: no-repeat; min-width: 25px; max-width: 25px; min-height: 30px; max-height: 30px; }"
            "QPushButton:pressed { background-image: url(%1); }"
            "QPushButton:checked { background-image: url(:/IMG/KROPKA2); }").arg(dot));
    });
    dotsLayout = new QHBoxLayout(bottomFrame);
    dotsLayout->setSpacing(10);
    dotsLayout->setContentsMargins(0, 0, 0, 0);
    dotsLayout->addStretch();
    dotsLayout->addStretch();
    layout->addWidget(bottomFrame);

    bottomFrame->hide();
    area->hide();
    connect(area, &PhotoScrollArea::scrollingFinished, this, &PhotosScrollWidget::finishedMoving);
}

void PhotosScrollWidget::addPhotoWidget(ArticlePhotoWidget* photo)
{
    area->show();
    connect(photo, &ArticlePhotoWidget::photoDownloadFinished, this, &PhotosScrollWidget::photoDownloadFinished);
    connect(this, &PhotosScrollWidget::showFinished, photo, &ArticlePhotoWidget::startDownloading);
    QPushButton* dot = new QPushButton(bottomFrame);
    dot->setFocusPolicy(Qt::NoFocus);
    buttons.append(dot);
    connect(dot, &QPushButton::clicked, this, &PhotosScrollWidget::kropkaClicked);
    const int index = content->addWidget(photo);
    dot->setAccessibleName(tr("Zdjęcie %1").arg(index + 1));
    bottomFrame->setVisible(content->getWidgetsCount() >= 2);
    dot->setCheckable(true);
    dot->setChecked(index == content->getCurrentIndex());
    dotsLayout->insertWidget(index + 1, dot);
    photo->setGeometry(index * width(), 0, width(), 0);
    content->updateGeometry();
    area->updateGeometry();
    updateGeometry();
}

void PhotosScrollWidget::installEventFilter(QObject* filter)
{
    QWidget::installEventFilter(filter);
    area->installEventFilter(filter);
    area->viewport()->installEventFilter(filter);
}

void PhotosScrollWidget::callMousePress(QMouseEvent* e)
{
    area->callMousePress(e);
}

void PhotosScrollWidget::photoDownloadFinished(ArticlePhotoWidget* photo)
{
    photo->show();
    photo->setGeometry(photo->x(), 0, width(), photo->sizeHint().height());
    photo->updateGeometry();
    if (photo == content->getCurrent()) {
        content->resizePhotos(width());
        updateGeometry();
    }
}

void PhotosScrollWidget::finishedMoving(int page)
{
    content->setCurrentIndex(page);
    for (QPushButton* dot : buttons)
        dot->setChecked(false);
    if (page >= 0 && page < buttons.size())
        buttons.at(page)->setChecked(true);
    content->updateGeometry();
    area->updateGeometry();
    updateGeometry();
    if (parentWidget())
        parentWidget()->updateGeometry();
}

void PhotosScrollWidget::kropkaClicked()
{
    const int i = buttons.indexOf(qobject_cast<QPushButton*>(sender()));
    const int c = content->getCurrentIndex();
    if (c < i && i < content->getWidgetsCount())
        area->scrollToPage(c + 1);
    else if (c > 0 && c > i)
        area->scrollToPage(c - 1);
    // A tap on the current page's dot keeps it checked.
    if (c >= 0 && c < buttons.size())
        buttons.at(c)->setChecked(true);
}

void PhotosScrollWidget::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    content->resizePhotos(width());
    content->updateGeometry();
    updateGeometry();
    // Only a new width moves the pages. The height follows the photo shown, which changes in the
    // middle of a swipe: paging then would take the strip from under the finger.
    if (e->size().width() != e->oldSize().width())
        area->scrollToPage(content->getCurrentIndex());
}

QSize PhotosScrollWidget::sizeHint() const
{
    content->resizePhotos(width());
    QSize size = content->minimumSize();
    if (!bottomFrame->isHidden())
        size.setHeight(size.height() + bottomFrame->height());
    return size;
}
