#ifndef GALLERYFORM_H
#define GALLERYFORM_H

class PictureFlow;
class QFrame;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;
class QWidget;

// The gallery: top bar with the picture's title, the cover-flow with its busy label, bottom bar.
class Ui_Gallery
{
public:
    void setupUi(QWidget* form);

    QVBoxLayout* verticalLayout_2;
    QFrame* frame;
    QHBoxLayout* horizontalLayout_3;
    QPushButton* backButton;
    QLabel* pictureTitleLabel;
    QPushButton* exitButton;
    PictureFlow* widgetPictureFlow;
    QVBoxLayout* verticalLayout;
    QLabel* loadingLabel;
    QFrame* frame_2;
    QGridLayout* gridLayout;
    QPushButton* shareButton;
    QPushButton* buttonRefresh;
    QPushButton* menuButton;
};

#endif // GALLERYFORM_H
