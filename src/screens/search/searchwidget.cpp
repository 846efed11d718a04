#include "screens/search/searchwidget.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "logic/base/hidpi.h"
#include "logic/news/channel.h"
#include "screens/widgets/formstyle.h"
#include "screens/widgets/theme.h"

// Around the first word found in a body, this many characters on each side.
static const int snippetReach = 80;

SearchWidget::SearchWidget(ArticleSearch* index, QWidget* parent) : BaseWidget(parent), search(index)
{
    FormStyle::screenRoot(this, QStringLiteral("SearchWidget"), 480, Theme::ListPage);
    QVBoxLayout* layout = static_cast<QVBoxLayout*>(this->layout());
    layout->addWidget(FormStyle::topBar(this, QStringLiteral("frame_2"), QStringLiteral(":/IMG/TOP_BAR"), 89, 89,
                                        &backButton, &exitButton));

    field = new QLineEdit(this);
    field->setObjectName(QStringLiteral("searchField"));
    field->setPlaceholderText(tr("Szukaj w zapisanych artykułach"));
    field->setClearButtonEnabled(true);
    field->setAccessibleName(tr("Szukaj"));
    field->setMinimumHeight(44);
    layout->addWidget(field);

    countLabel = new QLabel(this);
    countLabel->setObjectName(QStringLiteral("infoLabel"));
    countLabel->setMinimumHeight(36);
    countLabel->setAlignment(Qt::AlignCenter);
    countLabel->setWordWrap(true);
    countLabel->setStyleSheet(QStringLiteral("color: white; border-image: ")
                              + Hidpi::borderImage(QStringLiteral(":/IMG/BELKA_CZERWONA"), 5, 0, 5, 0)
                              + QStringLiteral("; border-top: 5px; border-bottom: 5px;"));
    layout->addWidget(countLabel);

    results = new QListWidget(this);
    results->setObjectName(QStringLiteral("results"));
    results->setFrameShape(QFrame::NoFrame);
    results->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    results->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    layout->addWidget(results, 1);
    // The field, the rows and the hits' colours follow the look; the hits are written anew.
    Theme::follow(this, [this]() {
        field->setStyleSheet(QStringLiteral("QLineEdit { color: %1; background: %2; border: 1px solid %3;"
                                            " padding: 4px 8px; font-size: 18px; }")
                                 .arg(Theme::css(Theme::Text), Theme::css(Theme::Row), Theme::css(Theme::Separator))
                             + Theme::focusMark(QStringLiteral("QLineEdit:focus")));
        // The hit the keys chose stands out as a pressed row does.
        results->setStyleSheet(QStringLiteral("QListWidget { background: %1; }"
                                              "QListWidget::item { background: %2; margin-bottom: 1px; }"
                                              "QListWidget::item:selected { background: %3; }")
                                   .arg(Theme::css(Theme::ListPage), Theme::css(Theme::Row),
                                        Theme::css(Theme::RowPressed)));
        runSearch();
    });

    connect(field, &QLineEdit::textChanged, this, &SearchWidget::runSearch);
    field->installEventFilter(this);
    results->installEventFilter(this);
    connect(results, &QListWidget::itemClicked, this, &SearchWidget::hitClicked);
    connect(results, &QListWidget::itemActivated, this, &SearchWidget::hitClicked);
    connect(backButton, &QPushButton::clicked, this, &SearchWidget::backClicked);
    connect(exitButton, &QPushButton::clicked, this, &SearchWidget::exitClicked);
    // A refresh that lands while the user looks changes the hits under their eyes, as typing does.
    if (search)
        connect(search, &ArticleSearch::changed, this, &SearchWidget::runSearch);
}

MainWidget::InterfaceOrientation SearchWidget::getSupportedOrientation()
{
    return MainWidget::OrientationFree;
}

void SearchWidget::showFinished()
{
    BaseWidget::showFinished();
    field->setFocus();
}

QString SearchWidget::rowText(const ArticleSearch::Hit& hit, const Article& article, const QStringList& words) const
{
    QString text = QStringLiteral("<div style='color: %1; font-size: 17px'>").arg(Theme::css(Theme::AccentText))
        + ArticleSearch::mark(article.title, words)
        + QStringLiteral("</div><div style='color: %1; font-size: 13px'>").arg(Theme::css(Theme::MutedText))
        + hit.source->getTitle().toHtmlEscaped();
    if (!article.date.isEmpty())
        text += QStringLiteral(" · ") + article.date.toHtmlEscaped();
    if (!article.signature.isEmpty())
        text += QStringLiteral(" · ") + ArticleSearch::mark(article.signature, words);
    text += QStringLiteral("</div><div style='color: %1; font-size: 14px'>").arg(Theme::css(Theme::Text));
    // The lead when a word stands in it, else the stretch of the body around the first one found.
    QString excerpt = article.lead;
    const QString foldedLead = ArticleSearch::fold(article.lead);
    const auto inText = [&](const QString& folded) {
        int first = -1;
        for (const QString& w : words) {
            int at = folded.indexOf(w);
            while (at > 0 && folded.at(at - 1).isLetterOrNumber())
                at = folded.indexOf(w, at + 1);
            if (at >= 0 && (first < 0 || at < first))
                first = at;
        }
        return first;
    };
    if (inText(foldedLead) < 0) {
        const QString body = ArticleSearch::plainBody(article.content).simplified();
        const int at = inText(ArticleSearch::fold(body));
        if (at >= 0) {
            const int from = qMax(0, at - snippetReach);
            excerpt = (from > 0 ? QStringLiteral("… ") : QString()) + body.mid(from, 2 * snippetReach)
                + (from + 2 * snippetReach < body.size() ? QStringLiteral(" …") : QString());
        }
    }
    if (excerpt.size() > 3 * snippetReach)
        excerpt = excerpt.left(3 * snippetReach) + QStringLiteral(" …");
    return text + ArticleSearch::mark(excerpt, words) + QStringLiteral("</div>");
}

void SearchWidget::resizeEvent(QResizeEvent* e)
{
    BaseWidget::resizeEvent(e);
    fitRows();
}

// The rows wrap to the list's width, and are as high as their text then needs.
void SearchWidget::fitRows()
{
    const int width = qMax(200, results->viewport()->width());
    for (int i = 0; i < results->count(); ++i) {
        QListWidgetItem* item = results->item(i);
        if (QLabel* row = qobject_cast<QLabel*>(results->itemWidget(item))) {
            row->setFixedWidth(width);
            item->setSizeHint(QSize(width, row->heightForWidth(width)));
        }
    }
}

void SearchWidget::runSearch()
{
    results->clear();
    hits.clear();
    const QString query = field->text();
    if (!search || ArticleSearch::queryWords(query).isEmpty()) {
        countLabel->setText(search ? tr("Artykułów w pamięci: %1").arg(search->documentCount()) : QString());
        return;
    }
    const QStringList words = ArticleSearch::queryWords(query);
    const QVector<ArticleSearch::Hit> found = search->search(query, maxHits);
    for (const ArticleSearch::Hit& hit : found) {
        const Article* article = ArticleSearch::articleOf(hit);
        if (!article)
            continue;
        QLabel* row = new QLabel(rowText(hit, *article, words));
        row->setTextFormat(Qt::RichText);
        row->setWordWrap(true);
        row->setContentsMargins(10, 6, 10, 8);
        row->setAttribute(Qt::WA_TransparentForMouseEvents);
        QListWidgetItem* item = new QListWidgetItem(results);
        item->setData(Qt::AccessibleTextRole, article->title);
        results->setItemWidget(item, row);
        hits.append(hit);
    }
    fitRows();
    countLabel->setText(hits.isEmpty() ? tr("Nic nie znaleziono") : tr("Znalezione artykuły: %1").arg(hits.size()));
}

bool SearchWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return BaseWidget::eventFilter(watched, event);
    const QKeyEvent* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    if (watched == field) {
        switch (key->key()) {
        case Qt::Key_Down:
            if (results->count() == 0)
                return false;
            results->setCurrentRow(0);
            results->setFocus();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (results->count() > 0)
                hitClicked(results->currentItem() ? results->currentItem() : results->item(0));
            return true;
        case Qt::Key_Escape:
            emit backClicked();
            return true;
        }
    } else if (watched == results && key->key() == Qt::Key_Up && results->currentRow() <= 0) {
        field->setFocus();
        return true;
    }
    return false;
}

void SearchWidget::hitClicked(QListWidgetItem* item)
{
    const int row = results->row(item);
    if (row < 0 || row >= hits.size())
        return;
    const ArticleSearch::Hit hit = hits.at(row);
    const Article* article = ArticleSearch::articleOf(hit);
    if (!article)
        return;
    Article copy(*article);
    hit.source->markArticleAsRead(copy);
    emit articleSelected(copy);
}
