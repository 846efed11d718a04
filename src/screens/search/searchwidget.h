#ifndef SEARCHWIDGET_H
#define SEARCHWIDGET_H

#include <QPointer>
#include <QVector>

#include "logic/news/article.h"
#include "logic/news/articlesearch.h"
#include "screens/shell/basewidget.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// Search in the stored articles: a field, the number of hits and the hits, best first, with
// the words found in bold. The hits follow the typing and every refresh of the index.
class SearchWidget : public BaseWidget
{
    Q_OBJECT
public:
    SearchWidget(ArticleSearch* index, QWidget* parent);

    MainWidget::InterfaceOrientation getSupportedOrientation() override;
    void showFinished() override;

    // How many hits the screen shows at most.
    static constexpr int maxHits = 50;

signals:
    void articleSelected(const Article& article);

protected:
    void resizeEvent(QResizeEvent* e) override;
    // The keys between the field and the hits: Down and Up move between them, Return opens the
    // chosen hit (the first from the field), Escape in the field goes back as elsewhere.
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void runSearch();
    void hitClicked(QListWidgetItem* item);

private:
    void fitRows();
    QString rowText(const ArticleSearch::Hit& hit, const Article& article, const QStringList& words) const;

    QPointer<ArticleSearch> search;
    QLineEdit* field;
    QLabel* countLabel;
    QListWidget* results;
    QPushButton* backButton;
    QPushButton* exitButton;
    QVector<ArticleSearch::Hit> hits;
};

#endif // SEARCHWIDGET_H
