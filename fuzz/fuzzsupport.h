#ifndef FUZZSUPPORT_H
#define FUZZSUPPORT_H

// What every fuzz target shares: one offscreen application and a private data folder.
namespace FuzzSupport {

void start();

} // namespace FuzzSupport

#endif // FUZZSUPPORT_H
