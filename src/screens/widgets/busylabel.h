#ifndef BUSYLABEL_H
#define BUSYLABEL_H

class QLabel;
class QMovie;

// Shows a busy animation made by Hidpi::movie() in the label, each frame at the animation's own
// device pixel ratio (QLabel::setMovie() would draw a 2x frame twice as large). Calling it again
// with the same movie does nothing.
void showBusyMovie(QLabel* label, QMovie* movie);

#endif // BUSYLABEL_H
