#include "screens/widgets/busylabel.h"

#include <QLabel>
#include <QMovie>

#include "logic/base/hidpi.h"

static const char* const movieProperty = "kurendalBusyMovie";

void showBusyMovie(QLabel* label, QMovie* movie)
{
    if (label->property(movieProperty).value<QObject*>() == movie)
        return;
    label->setProperty(movieProperty, QVariant::fromValue<QObject*>(movie));
    QObject::connect(movie, &QMovie::frameChanged, label, [label, movie] { label->setPixmap(Hidpi::frame(movie)); });
    QObject::connect(movie, &QObject::destroyed, label,
                     [label] { label->setProperty(movieProperty, QVariant::fromValue<QObject*>(nullptr)); });
    if (!movie->currentPixmap().isNull())
        label->setPixmap(Hidpi::frame(movie));
}
