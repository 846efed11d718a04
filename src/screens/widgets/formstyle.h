#ifndef FORMSTYLE_H
#define FORMSTYLE_H

#include <QMargins>
#include <QSize>
#include <QString>

#include "screens/widgets/theme.h"

class QFrame;
class QGridLayout;
class QPushButton;
class QWidget;
class ListView;

// Style pieces the screens' forms share.
namespace FormStyle {

// The thin overlay scroll bar, and the focus mark of the list, of the list screens over the given background colour.
QString listStyle(const QString& selector, const QString& background);

// A push button drawn by its normal and pressed images.
void imageButton(QPushButton* button, const QString& offImage, const QString& onImage, int size = 80);

// A top-bar button: one centred image as its icon.
void barButton(QPushButton* button, const QString& image, int width, int height);

// A top bar with the back button (when asked for) on the left and the exit button on the right.
QFrame* topBar(QWidget* form, const QString& name, const QString& image, int height, int buttonWidth,
               QPushButton** backButton, QPushButton** exitButton);

// The bottom bar; its grid holds the buttons.
// A search button in a top bar, just before the given button of that bar.
QPushButton* searchButton(QPushButton* beside);
QFrame* bottomBar(QWidget* form, const QString& name, QGridLayout** grid);

// The finger-scrolled list of the list screens, without frame, per-pixel, over the given background.
ListView* listView(QWidget* form, Theme::Role background);

// Keeps a piece between its design sizes where its parent widget (less the margins, shared by the
// given number of side-by-side pieces) has the room, and shrinks it to that room where it has not,
// also after every resize of the parent.
void fitInside(QWidget* piece, const QSize& minimum, const QSize& maximum, const QMargins& margins = QMargins(),
               int columns = 1);

// A screen's form root: design size to start with, background and a vertical layout without spacing.
void screenRoot(QWidget* form, const QString& name, int width, Theme::Role background);

} // namespace FormStyle

#endif // FORMSTYLE_H
