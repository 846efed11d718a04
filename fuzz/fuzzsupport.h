#ifndef FUZZSUPPORT_H
#define FUZZSUPPORT_H

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// What every fuzz target shares: one offscreen application and a private data folder.
namespace FuzzSupport {

void start();
QByteArray bytes(const uint8_t* data, size_t size);
// Puts the input where the loader reads it, under the data folder.
void writeDataFile(const QString& name, const uint8_t* data, size_t size);

} // namespace FuzzSupport

#endif // FUZZSUPPORT_H
