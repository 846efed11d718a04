#include "screens/article/articlewidget.h"

#include <QTextBrowser>
#include <QTextDocument>

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocument>
#include <QtMath>
#include <cstdlib>

#include "screens/widgets/theme.h"
#include "logic/news/article.h"
#include "logic/ads/bannerinfo.h"
#include "logic/news/briefcasestore.h"
#include "screens/article/articleform.h"
#include "screens/article/articlephotowidget.h"
#include "screens/article/articlescrollarea.h"
#include "screens/article/photoscrollarea.h"
#include "screens/article/photosscrollwidget.h"
#include "screens/sharing/sharearticledialog.h"
#include "screens/widgets/contenttextbrowser.h"
#include "screens/shell/messagebox.h"
#include "logic/base/hidpi.h"
#include "logic/base/util.h"

static const int teczkaQuestion = 1;
static const int noQuestion = -1;
static const int decidingMove = 4;
static const int swipeDeadZone = 10;

ArticleWidget::ArticleWidget(const Article& source, QWidget* parent)
    : BaseWidget(parent), ui(new Ui::ArticleWidget), article(nullptr), blockHorizontal(false), blockVertical(false),
      startTouchPoint(0, 0), numberOfTouches(0), currentDialog(nullptr), msgBoxId(noQuestion)
{
    article = new Article(this);
    article->updateFrom(source, true);
    ui->setupUi(this);

    ui->scrollArea->installEventFilter(this);
    ui->scrollArea->viewport()->installEventFilter(this);
    ui->photoWidget->installEventFilter(this);

    connect(ui->mainmenuButton, &QPushButton::clicked, this, &ArticleWidget::popToRoot);
    connect(ui->backButton, &QPushButton::clicked, this, &ArticleWidget::backClicked);
    connect(ui->exitButton, &QPushButton::clicked, this, &ArticleWidget::exitClicked);

    ui->titleLabel->setText(article->title);
    // The open article as a screen reader names it: title, then author and date; the body is the text field's.
    setAccessibleName(article->title);
    setAccessibleDescription(QStringList({article->signature, article->date}).join(QStringLiteral(", ")));
    ui->textBrowser->setAccessibleName(tr("Treść artykułu"));

    const QString& signature = article->signature;
    const QString& date = article->date;
    if (signature.isEmpty() && date.isEmpty())
        ui->authorLabel->hide();
    else if (signature.isEmpty())
        ui->authorLabel->setText(date);
    else if (date.isEmpty())
        ui->authorLabel->setText(QStringLiteral("<b>") + signature + QStringLiteral("</b>"));
    else
        ui->authorLabel->setText(QStringLiteral("<b>") + signature + QStringLiteral("</b>, ") + date);
    // The strip's height follows the label's width and font (fitAuthorLine), whatever the screen's.
    ui->authorLabel->installEventFilter(this);
    fitAuthorLine();

    ui->leadLabel->setText(article->lead);
    ui->textBrowser->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Set again at each change of look: links take their colour when the text is read.
    const QString body = article->content;
    QTextBrowser* browser = ui->textBrowser;
    Theme::follow(browser, [browser, body] {
        browser->document()->setDefaultStyleSheet(QStringLiteral("a { color: %1; }").arg(Theme::css(Theme::Link)));
        browser->setHtml(body);
    });

    connect(this, &ArticleWidget::showFinishedSignal, ui->photoWidget, &PhotosScrollWidget::showFinished);
    ui->photoWidget->hide();

    for (Photo* photo : article->photos) {
        ArticlePhotoWidget* page = new ArticlePhotoWidget(photo, ui->photoWidget);
        connect(page, &ArticlePhotoWidget::photoDownloadFinished, this, &ArticleWidget::showPhotos);
        page->hide();
        ui->photoWidget->addPhotoWidget(page);
    }

    BannerInfo* banner = BannerInfo::getSingleton();
    bottomBannerChanged(banner->bottomBannerImage, banner->bottomBannerLink);
    connect(banner, &BannerInfo::bottomBannerChanged, this, &ArticleWidget::bottomBannerChanged);

    connect(ui->bannerButton, &QPushButton::clicked, this, &ArticleWidget::reklamaClicked);
    connect(ui->shareButton, &QPushButton::clicked, this, &ArticleWidget::shareClicked);

    ui->textBrowser->setEnabled(false);
    ui->textBrowser->verticalScrollBar()->setEnabled(false);
    ui->textBrowser->horizontalScrollBar()->setEnabled(false);

    connect(ui->teczkaAddButton, &QPushButton::clicked, this, &ArticleWidget::teczkaAddClicked);
    connect(ui->teczkaRemoveButton, &QPushButton::clicked, this, &ArticleWidget::teczkaRemoveClicked);
    updateTeczkaButtons();
}

ArticleWidget::~ArticleWidget()
{
    delete ui;
}

MainWidget::InterfaceOrientation ArticleWidget::getSupportedOrientation()
{
    return MainWidget::OrientationFree;
}

void ArticleWidget::showFinished()
{
    emit showFinishedSignal();
}

void ArticleWidget::updateTeczkaButtons()
{
    const bool saved = SavedArticles::isArticleInSavedArticles(*article);
    ui->teczkaRemoveButton->setVisible(saved);
    ui->teczkaAddButton->setVisible(!saved);
}

void ArticleWidget::teczkaAddClicked()
{
    if (SavedArticles* saved = SavedArticles::getSingleton()) {
        if (saved->isUnreadable()) {
            MessageBox::showError(SavedArticles::unreadableText(), tr("Błąd"));
        } else if (saved->addArticle(*article)) {
            MessageBox::showInformation(tr("Artykuł dodano do teczki."), QString());
        } else if (!saved->isFull()) {
            // The briefcase had room but its file could not be written: the article is not in it.
            MessageBox::showError(tr("Artykułu nie dodano do teczki, bo nie udało się go zapisać."), tr("Błąd"));
        } else {
            msgBoxId = teczkaQuestion;
            MessageBox::showQuestion(tr("Masz już za dużo artykułów w teczce. Czy chcesz usunąć najstarszy "
                                            "artykuł z teczki i dodać ten artykuł?"),
                                     tr("Pytanie"), this);
        }
    }
    updateTeczkaButtons();
}

void ArticleWidget::onMsgBoxAccepted()
{
    if (msgBoxId != teczkaQuestion)
        return;
    SavedArticles* saved = SavedArticles::getSingleton();
    if (!saved || !saved->removeOldest()) {
        MessageBox::showError(tr("Podczas usuwania artykułu wystąpił błąd."), QString());
    } else {
        if (saved->addArticle(*article))
            MessageBox::showInformation(tr("Artykuł dodano do teczki."), QString());
        else
            MessageBox::showError(tr("Podczas dodawania artykułu wystąpił błąd."), QString());
        updateTeczkaButtons();
    }
    msgBoxId = noQuestion;
}

void ArticleWidget::onMsgBoxRejected()
{
    msgBoxId = noQuestion;
}

void ArticleWidget::teczkaRemoveClicked()
{
    if (SavedArticles* saved = SavedArticles::getSingleton()) {
        if (saved->isUnreadable())
            MessageBox::showError(SavedArticles::unreadableText(), tr("Błąd"));
        else if (saved->removeArticle(*article))
            MessageBox::showInformation(tr("Artykuł został usunięty z teczki."), QString());
        else
            MessageBox::showError(tr("Usuwanie artykułu z teczki nie powiodło się. Podczas usuwania artykułu "
                                         "z teczki nastąpił błąd. Artykuł nie został usunięty z teczki."),
                                  tr("Błąd"));
    }
    updateTeczkaButtons();
}

void ArticleWidget::bottomBannerChanged(QPixmap image, QString link)
{
    if (image.isNull()) {
        ui->bannerButton->hide();
        return;
    }
    // Scaled smoothly to the screen's device pixels here, once, rather than blown up when drawn.
    ui->bannerButton->setIcon(QIcon(Hidpi::scaledToWidth(image, image.width())));
    ui->bannerButton->show();
    linkForBanner = link;
}

void ArticleWidget::reklamaClicked()
{
    if (!linkForBanner.isEmpty())
        Util::openUrl(linkForBanner, false);
}

void ArticleWidget::shareClicked()
{
    ShareArticleDialog* dialog = new ShareArticleDialog(*article, this);
    dialog->setGeometry(rect());
    connect(dialog, &ShareArticleDialog::dialogClosed, this, &ArticleWidget::shareDialogEnded);
    currentDialog = dialog;
    dialog->showFullScreen();
}

void ArticleWidget::shareDialogEnded(ShareArticleDialog* dialog)
{
    currentDialog = nullptr;
    dialog->hide();
    dialog->deleteLater();
}

void ArticleWidget::showPhotos(ArticlePhotoWidget*)
{
    ui->photoWidget->show();
}

bool ArticleWidget::isColumn(QObject* watched) const
{
    return watched == ui->scrollArea || watched == ui->scrollArea->viewport();
}

// The author strip is 36 px a line, as many lines as its text takes at the label's own width.
void ArticleWidget::fitAuthorLine()
{
    QLabel* label = ui->authorLabel;
    const int room = label->contentsRect().width() - 2 * label->margin() - qMax(0, label->indent());
    if (room <= 0)
        return;
    QTextDocument text;
    text.setDefaultFont(label->font());
    text.setDocumentMargin(0);
    text.setHtml(label->text());
    text.setTextWidth(room);
    const int lines = qCeil(text.size().height() / QFontMetricsF(label->font()).lineSpacing() - 0.25);
    const int height = 36 * qMax(1, lines);
    if (label->minimumHeight() != height || label->maximumHeight() != height)
        label->setFixedHeight(height);
}

bool ArticleWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->authorLabel) {
        if (event->type() == QEvent::Resize || event->type() == QEvent::FontChange)
            fitAuthorLine();
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        QMouseEvent* e = static_cast<QMouseEvent*>(event);
        if (startTouchPoint == QPoint(0, 0))
            startTouchPoint = e->globalPosition().toPoint();
        numberOfTouches = 0;
        blockHorizontal = true;
        blockVertical = article->photos.size() > 1;
        // Both surfaces learn where the touch began, in their own coordinates.
        QMouseEvent forColumn(e->type(), ui->scrollArea->viewport()->mapFromGlobal(e->globalPosition().toPoint()), e->globalPosition().toPoint(),
                              e->button(), e->buttons(), e->modifiers());
        QMouseEvent forStrip(e->type(), ui->photoWidget->scrollArea()->mapFromGlobal(e->globalPosition().toPoint()), e->globalPosition().toPoint(),
                             e->button(), e->buttons(), e->modifiers());
        ui->scrollArea->callMousePress(&forColumn);
        ui->photoWidget->callMousePress(&forStrip);
        return true;
    }
    case QEvent::MouseMove: {
        QMouseEvent* e = static_cast<QMouseEvent*>(event);
        if (blockHorizontal && blockVertical) {
            ++numberOfTouches;
            if (startTouchPoint == QPoint(0, 0))
                startTouchPoint = e->globalPosition().toPoint();
            if (numberOfTouches < decidingMove)
                return true;
            const int dx = std::abs(e->globalPosition().toPoint().x() - startTouchPoint.x());
            const int dy = std::abs(e->globalPosition().toPoint().y() - startTouchPoint.y());
            if (dx > swipeDeadZone && dx > dy) {
                blockHorizontal = false;
                blockVertical = true;
            } else if (dy > swipeDeadZone && dy > dx) {
                blockVertical = false;
                blockHorizontal = true;
            } else {
                return true;
            }
        }
        if (!blockVertical) {
            if (isColumn(watched)) {
                e->accept();
                return false;
            }
            e->ignore();
            return true;
        }
        if (isColumn(watched)) {
            e->ignore();
            return true;
        }
        e->accept();
        return false;
    }
    case QEvent::MouseButtonRelease: {
        startTouchPoint = QPoint(0, 0);
        numberOfTouches = 0;
        if (blockHorizontal && !isColumn(watched)) {
            event->ignore();
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

void ArticleWidget::resizeEvent(QResizeEvent* e)
{
    BaseWidget::resizeEvent(e);
    updateGeometry();
    for (QPushButton* button : {ui->teczkaAddButton, ui->teczkaRemoveButton, ui->shareButton, ui->mainmenuButton,
                                ui->exitButton, ui->backButton, ui->bannerButton})
        button->setDown(false);
    if (currentDialog)
        currentDialog->setGeometry(rect());
}
