#ifndef CATEGORYLISTFORM_H
#define CATEGORYLISTFORM_H

class QFrame;
class QPushButton;
class QWidget;
class ListView;

namespace Ui {

// The category list: top bar with the exit button, the list, the bottom bar.
class CategoryListWidget
{
public:
    void setupUi(QWidget* form);

    QFrame* frame_2;
    QPushButton* exitButton;
    ListView* listView;
    QFrame* frame;
    QPushButton* teczkButton;
    QPushButton* refreshButton;
    QPushButton* settingsButton;
};

} // namespace Ui

#endif // CATEGORYLISTFORM_H
