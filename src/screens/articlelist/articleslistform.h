#ifndef ARTICLESLISTFORM_H
#define ARTICLESLISTFORM_H

class QFrame;
class QLabel;
class QPushButton;
class QWidget;
class ListView;

namespace Ui {

// An article list: top bar, the red info strip with its busy labels, the list, the bottom bar.
class ArticlesListWidget
{
public:
    void setupUi(QWidget* form);

    QFrame* frame_2;
    QPushButton* backButton;
    QPushButton* exitButton;
    QFrame* frame_3;
    QLabel* processingLabel;
    QLabel* infoLabel;
    QLabel* fakeLabel;
    ListView* listView;
    QFrame* frame;
    QPushButton* teczkaButton;
    QPushButton* refreshButton;
    QPushButton* mainmenuButton;
};

} // namespace Ui

#endif // ARTICLESLISTFORM_H
