#ifndef PROGRAM_H
#define PROGRAM_H

#include <QtGlobal>

class QWidget;

// The program proper lives in a library of its own (libkurendalprogram.so), loaded by the
// launcher once its window shows: the window waits for QtWidgets alone, not for Qt Quick, the
// network, D-Bus, Bluetooth and libcrypto the rest links.
// The view goes into the window's layout.
extern "C" Q_DECL_EXPORT void kurendalStart(QWidget* window);
using ProgramStart = decltype(&kurendalStart);

#endif // PROGRAM_H
