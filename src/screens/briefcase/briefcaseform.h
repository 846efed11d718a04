#ifndef TECZKAFORM_H
#define TECZKAFORM_H

class QFrame;
class QLabel;
class QPushButton;
class QWidget;
class ListView;

namespace Ui {

// The briefcase: top bar, info strip, the list, and a bottom bar with the main-menu button only.
class TeczkaWidget
{
public:
    void setupUi(QWidget* form);

    QFrame* frame_2;
    QPushButton* backButton;
    QPushButton* exitButton;
    QLabel* infoLabel;
    ListView* listView;
    QFrame* frame;
    QPushButton* mainmenuButton;
};

} // namespace Ui

#endif // TECZKAFORM_H
