#ifndef FORMSTYLE_H
#define FORMSTYLE_H

#include <QString>

class QFrame;
class QGridLayout;
class QPushButton;
class QWidget;
class ListView;

// Style pieces the screens' forms share.
namespace FormStyle {

// The thin overlay scroll bar of the list screens over the given background colour.
QString listStyle(const QString& selector, const QString& background);

// A push button drawn by its normal and pressed images.
void imageButton(QPushButton* button, const QString& offImage, const QString& onImage, int size = 80);

// A top-bar button: one centred image as its icon.
void barButton(QPushButton* button, const QString& image, int width, int height);

// A top bar with the back button (when asked for) on the left and the exit button on the right.
QFrame* topBar(QWidget* form, const QString& name, const QString& image, int height, int buttonWidth,
               QPushButton** backButton, QPushButton** exitButton);

// The bottom bar; its grid holds the buttons.
QFrame* bottomBar(QWidget* form, const QString& name, QGridLayout** grid);

// The finger-scrolled list of the list screens, without frame, per-pixel, over the given background.
ListView* listView(QWidget* form, const QString& background);

// A screen's form root: fixed design size, background and a vertical layout without spacing.
void screenRoot(QWidget* form, const QString& name, int width, const QString& background);

} // namespace FormStyle

#endif // FORMSTYLE_H
