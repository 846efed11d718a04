#ifndef ARTICLEFORM_H
#define ARTICLEFORM_H

class ArticleScrollArea;
class ContentTextBrowser;
class PhotosScrollWidget;
class QFrame;
class QLabel;
class QPushButton;
class QWidget;

namespace Ui {

// The article: top bar, one scrolling column (title, author strip, photos, lead, body, banner), bottom bar.
class ArticleWidget
{
public:
    void setupUi(QWidget* form);

    QFrame* frame;
    QPushButton* backButton;
    QPushButton* exitButton;
    ArticleScrollArea* scrollArea;
    QWidget* scrollAreaWidgetContents;
    QLabel* titleLabel;
    QLabel* authorLabel;
    PhotosScrollWidget* photoWidget;
    QLabel* leadLabel;
    ContentTextBrowser* textBrowser;
    QPushButton* bannerButton;
    QFrame* frame_2;
    QPushButton* teczkaAddButton;
    QPushButton* teczkaRemoveButton;
    QPushButton* shareButton;
    QPushButton* mainmenuButton;
};

} // namespace Ui

#endif // ARTICLEFORM_H
